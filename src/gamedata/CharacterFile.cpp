#include "gamedata/CharacterFile.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/Cp1252.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

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

// Two of the header's rarest bytes in a played game's files, the low bytes of its two numbers:
// "BMP_" and the numbers after it begin every picture block, and its letters are common in any
// text; pixels and other numbers hold either byte now and then, both at this distance hardly
// ever. Only where both sit is the header compared in full.
constexpr std::size_t kRareByte = 7;
constexpr std::size_t kOtherRareByte = 9;
static_assert(kPortraitHeader[kRareByte] == 0xEE && kPortraitHeader[kOtherRareByte] == 0xD4);

bool headerAt(const std::uint8_t* p) {
    return p[kOtherRareByte] == kPortraitHeader[kOtherRareByte] &&
           std::memcmp(p, kPortraitHeader, sizeof kPortraitHeader) == 0;
}

// The first portrait header at or after `from`.
std::size_t findPortraitHeader(ByteView data, std::size_t from) {
    constexpr std::size_t length = sizeof kPortraitHeader;
    if (from > data.size() || data.size() - from < length)
        return kNoMatch;
    const std::uint8_t* const base = data.data();
    // The last place a header can start.
    const std::size_t last = data.size() - length;
    std::size_t at = from;
#if defined(__SSE2__) || defined(_M_X64)
    // 64 places at a time: the two rare bytes compared, a mask of where both sit.
    const __m128i rare = _mm_set1_epi8(static_cast<char>(kPortraitHeader[kRareByte]));
    const __m128i other = _mm_set1_epi8(static_cast<char>(kPortraitHeader[kOtherRareByte]));
    const auto both = [&](const std::uint8_t* p) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + kRareByte));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + kOtherRareByte));
        return _mm_and_si128(_mm_cmpeq_epi8(a, rare), _mm_cmpeq_epi8(b, other));
    };
    const auto bits = [](__m128i m) {
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(m)));
    };
    // Each block reads up to 64 + kOtherRareByte + 15 bytes on, all inside the data while a
    // header could still start 64 places on.
    for (; last - at >= 64; at += 64) {
        const std::uint8_t* p = base + at;
        const __m128i m0 = both(p), m1 = both(p + 16), m2 = both(p + 32), m3 = both(p + 48);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(m0, m1), _mm_or_si128(m2, m3))) == 0)
            continue;
        const std::uint64_t mask = bits(m0) | bits(m1) << 16 | bits(m2) << 32 | bits(m3) << 48;
        for (std::uint64_t m = mask; m != 0; m &= m - 1) {
            const auto bit = static_cast<std::size_t>(std::countr_zero(m));
            if (headerAt(p + bit))
                return at + bit;
        }
    }
#endif
    for (; at <= last; ++at) {
        if (base[at + kRareByte] == kPortraitHeader[kRareByte] && headerAt(base + at))
            return at;
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
