#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vondrel {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

inline constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);

inline ByteView asBytes(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// Little-endian signed numbers at a 0-based offset; nothing when they would run past the end.
inline std::optional<std::int16_t> readInt16(ByteView data, std::size_t offset) {
    if (offset > data.size() || data.size() - offset < 2)
        return std::nullopt;
    return static_cast<std::int16_t>(data[offset] | (data[offset + 1] << 8));
}

inline std::optional<std::int32_t> readInt32(ByteView data, std::size_t offset) {
    if (offset > data.size() || data.size() - offset < 4)
        return std::nullopt;
    const std::uint32_t v = std::uint32_t{data[offset]} | (std::uint32_t{data[offset + 1]} << 8) |
                            (std::uint32_t{data[offset + 2]} << 16) |
                            (std::uint32_t{data[offset + 3]} << 24);
    return static_cast<std::int32_t>(v);
}

// The 0-based offset of the first occurrence of `pattern` at or after `from`, or kNoMatch.
// An empty pattern matches at `from` when `from` lies inside the data.
std::size_t findBytes(ByteView data, ByteView pattern, std::size_t from = 0);

}  // namespace vondrel
