#include "gamedata/CharacterFile.h"

#include <algorithm>
#include <cstring>

#include "base/Cp1252.h"

namespace vondrel {
namespace {

constexpr std::string_view kAnchor = "OBJD";
constexpr std::size_t kNameOffset = 24;
constexpr std::size_t kKeyOffset = 104;
constexpr std::size_t kSearchOffset = 12;
constexpr std::size_t kPortraitOffset = 76;
// "BMP_", a big-endian 2030 (76 + 1954), big-endian 2004 and 16, then "thumbnail".
constexpr std::uint8_t kPortraitHeader[] = {'B',  'M',  'P',  '_',  0x00, 0x00, 0x07,
                                            0xEE, 0x07, 0xD4, 0x00, 0x10, 't',  'h',
                                            'u',  'm',  'b',  'n',  'a',  'i',  'l'};

// The header's rarest byte in a played game's files, the low byte of its first number:
// "BMP_" and the numbers after it begin every picture block, and its letters are common in
// any text. The library's byte search finds it many bytes at a time; only its hits, and of
// those only the ones with the other number's low byte two places on, are compared in full.
constexpr std::size_t kRareByte = 7;
constexpr std::size_t kOtherRareByte = 9;
static_assert(kPortraitHeader[kRareByte] == 0xEE && kPortraitHeader[kOtherRareByte] == 0xD4);

// The first portrait header at or after `from`.
std::size_t findPortraitHeader(ByteView data, std::size_t from) {
    constexpr std::size_t length = sizeof kPortraitHeader;
    if (from > data.size() || data.size() - from < length)
        return kNoMatch;
    const std::uint8_t* const base = data.data();
    // The rare byte of the last place a header can start.
    const std::uint8_t* const last = base + (data.size() - length) + kRareByte;
    for (const std::uint8_t* p = base + from + kRareByte; p <= last; ++p) {
        p = static_cast<const std::uint8_t*>(
            std::memchr(p, kPortraitHeader[kRareByte], static_cast<std::size_t>(last - p) + 1));
        if (p == nullptr)
            return kNoMatch;
        const std::uint8_t* const start = p - kRareByte;
        if (start[kOtherRareByte] == kPortraitHeader[kOtherRareByte] &&
            std::memcmp(start, kPortraitHeader, length) == 0) {
            return static_cast<std::size_t>(start - base);
        }
    }
    return kNoMatch;
}

}  // namespace

std::string recordNameOf(std::string_view fileNameUtf8) {
    // A name the game cannot have written names no record; it must not become a name of
    // question marks that another such file shares.
    std::string name = fileNameToCp1252(fileNameUtf8).value_or("");
    name.resize(name.size() >= 4 ? name.size() - 4 : 0);
    return cp1252Lower(name);
}

CharacterFile readCharacterFile(std::string_view fileNameUtf8, ByteView data) {
    CharacterFile file;
    file.recordName = recordNameOf(fileNameUtf8);

    const std::size_t anchor = findBytes(data, asBytes(kAnchor));
    if (anchor == kNoMatch)
        return file;

    const std::size_t nameStart = anchor + kNameOffset;
    if (nameStart >= data.size())
        return file;
    const auto nul = std::find(data.begin() + static_cast<std::ptrdiff_t>(nameStart), data.end(),
                               std::uint8_t{0});
    if (nul == data.end() ||
        static_cast<std::size_t>(nul - data.begin()) - nameStart > kMaxFirstName)
        return file;
    file.firstName.assign(data.begin() + static_cast<std::ptrdiff_t>(nameStart), nul);

    const std::size_t keyStart = anchor + kKeyOffset;
    if (keyStart < data.size()) {
        const std::size_t keyLen = std::min<std::size_t>(4, data.size() - keyStart);
        file.personKey.assign(reinterpret_cast<const char*>(data.data() + keyStart), keyLen);
    }

    const std::size_t header = findPortraitHeader(data, anchor + kSearchOffset);
    if (header != kNoMatch) {
        const std::size_t start = std::min(header + kPortraitOffset, data.size());
        const std::size_t len = std::min(kPortraitSize, data.size() - start);
        file.portrait = Bytes(data.begin() + static_cast<std::ptrdiff_t>(start),
                              data.begin() + static_cast<std::ptrdiff_t>(start + len));
    }
    file.accepted = true;
    return file;
}

}  // namespace vondrel
