#include "base/Cp1252.h"

#include <array>
#include <cstdint>

namespace vondrel {
namespace {

constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t decodeByte(unsigned char b) {
    return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char32_t{b};
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char encodeCodePoint(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes)
        appendUtf8(out, decodeByte(b));
    return out;
}

namespace {

// UTF-8 to the code page. Malformed bytes become '?', or stay as they are with `keepBytes`;
// `unheld` is set when a character the code page cannot hold was met (it becomes '?').
std::string toCp1252(std::string_view utf8, bool keepBytes, bool& unheld) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t len = lead < 0x80           ? 1
                          : (lead >> 5) == 0x6  ? 2
                          : (lead >> 4) == 0xE  ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 0;
        if (len == 0 || i + len > utf8.size()) {
            out += keepBytes ? utf8[i] : '?';
            ++i;
            continue;
        }
        char32_t c = len == 1 ? lead : lead & (0x7F >> len);
        bool valid = true;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cont = static_cast<unsigned char>(utf8[i + k]);
            if ((cont & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            c = (c << 6) | (cont & 0x3F);
        }
        // Over-long forms and surrogates are malformed: two spellings of one name, or a
        // hidden NUL, must not pass.
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (c < kSmallest[len] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)) {
            valid = false;
        }
        if (!valid) {
            out += keepBytes ? utf8[i] : '?';
            ++i;
            continue;
        }
        const char encoded = encodeCodePoint(c);
        unheld = unheld || (encoded == '?' && c != U'?');
        out += encoded;
        i += len;
    }
    return out;
}

}  // namespace

std::string utf8ToCp1252(std::string_view utf8) {
    bool unheld = false;
    return toCp1252(utf8, false, unheld);
}

std::optional<std::string> fileNameToCp1252(std::string_view name) {
    bool unheld = false;
    std::string out = toCp1252(name, true, unheld);
    if (unheld)
        return std::nullopt;
    return out;
}

std::string cp1252Lower(std::string_view bytes) {
    std::string out(bytes);
    for (char& ch : out) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
            ch = static_cast<char>(b + 0x20);
        } else if (b == 0x8A || b == 0x8C || b == 0x8E) {
            ch = static_cast<char>(b + 0x10);
        } else if (b == 0x9F) {
            ch = static_cast<char>(0xFF);
        }
    }
    return out;
}

}  // namespace vondrel
