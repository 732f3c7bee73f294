#include "gamedata/Bytes.h"

#include <algorithm>
#include <functional>

namespace vondrel {

std::size_t findBytes(ByteView data, ByteView pattern, std::size_t from) {
    if (from > data.size())
        return kNoMatch;
    if (pattern.empty())
        return from < data.size() ? from : kNoMatch;
    if (pattern.size() > data.size() - from)
        return kNoMatch;
    const auto begin = data.begin() + static_cast<std::ptrdiff_t>(from);
    auto it = pattern.size() < 4
                  ? std::search(begin, data.end(), pattern.begin(), pattern.end())
                  : std::search(begin, data.end(),
                                std::boyer_moore_horspool_searcher(pattern.begin(), pattern.end()));
    return it == data.end() ? kNoMatch : static_cast<std::size_t>(it - data.begin());
}

}  // namespace vondrel
