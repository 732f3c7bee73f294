#include "platform/WineRegistry.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

#include "base/FileIO.h"

namespace vondrel {
namespace {

// Longer paths cannot be opened (PATH_MAX on Linux); components past it are not looked up.
constexpr std::size_t kLongestLookedUpPath = 4096;

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

// A key path without the backslashes that may lead or trail it.
std::string_view trimBackslashes(std::string_view key) {
    while (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    return key;
}

// The file's lines one by one, without their line ends.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : rest_(text) {}

    bool next(std::string_view& line) {
        if (done_)
            return false;
        const std::size_t end = rest_.find('\n');
        if (end == std::string_view::npos) {
            line = rest_;
            done_ = true;
        } else {
            line = rest_.substr(0, end);
            rest_.remove_prefix(end + 1);
        }
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return true;
    }

  private:
    std::string_view rest_;
    bool done_ = false;
};

// UTF-8 text built from the file's bytes, which pass through as they are, and from
// escaped UTF-16 code units, whose surrogate pairs are joined. A surrogate without its
// partner becomes U+FFFD.
class Utf8Builder {
  public:
    void addByte(char c) {
        flushPending();
        out_ += c;
    }

    void addCodeUnit(std::uint32_t unit) {
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            flushPending();
            pendingHigh_ = unit;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (pendingHigh_ != 0) {
                addCodePoint(0x10000 + ((pendingHigh_ - 0xD800) << 10) + (unit - 0xDC00));
                pendingHigh_ = 0;
            } else {
                addCodePoint(0xFFFD);
            }
        } else {
            flushPending();
            addCodePoint(unit);
        }
    }

    std::string take() {
        flushPending();
        return std::move(out_);
    }

  private:
    void flushPending() {
        if (pendingHigh_ == 0)
            return;
        pendingHigh_ = 0;
        addCodePoint(0xFFFD);
    }

    void addCodePoint(std::uint32_t cp) {
        if (cp < 0x80) {
            out_ += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out_ += static_cast<char>(0xC0 | (cp >> 6));
            out_ += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out_ += static_cast<char>(0xE0 | (cp >> 12));
            out_ += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out_ += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out_ += static_cast<char>(0xF0 | (cp >> 18));
            out_ += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out_ += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out_ += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::string out_;
    std::uint32_t pendingHigh_ = 0;
};

// Decodes the escaped text starting at `pos` up to the first unescaped `terminator` and
// leaves `pos` just past it. Nothing when the line ends first.
//
// Escapes as Wine writes them: \xHHHH (1 to 4 hex digits, a UTF-16 code unit), octal
// \ooo (1 to 3 digits, so \0 is NUL), the C letters \a \b \e \f \n \r \t \v, and a
// backslash before any other character standing for that character (\\ \" \[ \]).
std::optional<std::string> parseEscaped(std::string_view line, std::size_t& pos, char terminator) {
    Utf8Builder text;
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == terminator)
            return text.take();
        if (c != '\\') {
            text.addByte(c);
            continue;
        }
        if (pos >= line.size())
            return std::nullopt;
        const char e = line[pos++];
        if (e == 'x' && pos < line.size() && hexDigit(line[pos]) >= 0) {
            std::uint32_t unit = 0;
            for (int n = 0; n < 4 && pos < line.size() && hexDigit(line[pos]) >= 0; ++n) {
                unit = unit * 16 + static_cast<std::uint32_t>(hexDigit(line[pos++]));
            }
            text.addCodeUnit(unit);
        } else if (e >= '0' && e <= '7') {
            std::uint32_t unit = static_cast<std::uint32_t>(e - '0');
            for (int n = 1; n < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7';
                 ++n) {
                unit = unit * 8 + static_cast<std::uint32_t>(line[pos++] - '0');
            }
            text.addCodeUnit(unit);
        } else {
            switch (e) {
                case 'a':
                    text.addByte('\a');
                    break;
                case 'b':
                    text.addByte('\b');
                    break;
                case 'e':
                    text.addByte('\x1b');
                    break;
                case 'f':
                    text.addByte('\f');
                    break;
                case 'n':
                    text.addByte('\n');
                    break;
                case 'r':
                    text.addByte('\r');
                    break;
                case 't':
                    text.addByte('\t');
                    break;
                case 'v':
                    text.addByte('\v');
                    break;
                default:
                    text.addByte(e);
                    break;
            }
        }
    }
    return std::nullopt;
}

// "01,02,ab" (the part after "hex:") as bytes; nothing when it is not such a list. A
// trailing comma is allowed, as is an empty list.
std::optional<std::string> parseHexBytes(std::string_view list) {
    std::string bytes;
    std::size_t pos = 0;
    for (;;) {
        while (pos < list.size() && (list[pos] == ' ' || list[pos] == '\t'))
            ++pos;
        if (pos == list.size())
            return bytes;
        int value = 0;
        int digits = 0;
        while (pos < list.size() && hexDigit(list[pos]) >= 0) {
            if (++digits > 2)
                return std::nullopt;
            value = value * 16 + hexDigit(list[pos++]);
        }
        if (digits == 0)
            return std::nullopt;
        bytes += static_cast<char>(value);
        while (pos < list.size() && (list[pos] == ' ' || list[pos] == '\t'))
            ++pos;
        if (pos == list.size())
            return bytes;
        if (list[pos] != ',')
            return std::nullopt;
        ++pos;
    }
}

// The value that `data` (everything after the '=') describes; nothing when it is malformed.
std::optional<RegistryValue> parseValueData(std::string_view data) {
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 1;
        std::optional<std::string> text = parseEscaped(data, pos, '"');
        if (!text)
            return std::nullopt;
        const std::size_t nul = text->find('\0');
        if (nul != std::string::npos)
            text->resize(nul);
        return RegistryValue{RegistryType::String, std::move(*text)};
    }
    constexpr std::string_view kHex = "hex:";
    if (data.starts_with(kHex)) {
        std::optional<std::string> bytes = parseHexBytes(data.substr(kHex.size()));
        if (!bytes)
            return std::nullopt;
        return RegistryValue{RegistryType::Binary, std::move(*bytes)};
    }
    return RegistryValue{RegistryType::Other, {}};
}

}  // namespace

WineRegistry::WineRegistry(std::filesystem::path prefix) : prefix_(std::move(prefix)) {}

std::filesystem::path WineRegistry::prefixFromEnvironment() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') {
        return prefix;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / ".wine";
}

std::optional<RegistryValue> WineRegistry::read(std::string_view subkey, std::string_view name) {
    const std::filesystem::path path = prefix_ / "system.reg";
    const ReadResult file = readWholeFile(path, kRegistryLimit);
    problem_.clear();
    if (!file.bytes) {
        std::error_code ec;
        if (std::filesystem::exists(path, ec))
            problem_ = utf8Of(path) + " (" + file.error + ")";
        return std::nullopt;
    }
    return find(
        std::string_view(reinterpret_cast<const char*>(file.bytes->data()), file.bytes->size()),
        subkey, name);
}

std::optional<RegistryValue> WineRegistry::find(std::string_view text, std::string_view subkey,
                                                std::string_view name) {
    const std::string_view wantedKey = trimBackslashes(subkey);

    // A key may be listed more than once; as when Wine loads the file, the last
    // definition of a value wins.
    std::optional<RegistryValue> found;
    bool inWantedKey = false;
    LineReader lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (line.empty())
            continue;
        if (line.front() == '[') {
            std::size_t pos = 1;
            const std::optional<std::string> key = parseEscaped(line, pos, ']');
            inWantedKey = key && equalsIgnoringAsciiCase(trimBackslashes(*key), wantedKey);
            continue;
        }
        if (!inWantedKey)
            continue;

        // "name"=data or @=data (the key's default value, asked for with an empty name).
        // Anything else in a key (#time=..., stray text) is skipped.
        std::size_t pos = 1;
        std::string valueName;
        if (line.front() == '"') {
            std::optional<std::string> parsed = parseEscaped(line, pos, '"');
            if (!parsed)
                continue;
            valueName = std::move(*parsed);
        } else if (line.front() != '@') {
            continue;
        }
        std::string_view rest = trimLeft(line.substr(pos));
        if (rest.empty() || rest.front() != '=')
            continue;
        rest = trimLeft(rest.substr(1));

        // Hex data may go on over lines that end with a backslash.
        std::string data(rest);
        if (data.starts_with("hex")) {
            std::string_view more;
            while (!data.empty() && data.back() == '\\' && lines.next(more)) {
                data.pop_back();
                data += trimLeft(more);
            }
        }
        if (!equalsIgnoringAsciiCase(valueName, name))
            continue;
        if (std::optional<RegistryValue> value = parseValueData(data))
            found = std::move(value);
    }
    return found;
}

std::string WineRegistry::toLocalPath(std::string_view registryPath) const {
    std::string slashed(registryPath);
    for (char& c : slashed) {
        if (c == '\\')
            c = '/';
    }
    if (slashed.size() < 2 || !isAsciiLetter(slashed[0]) || slashed[1] != ':')
        return slashed;

    const std::string drive{asciiLower(slashed[0]), ':'};
    std::filesystem::path local = prefix_ / "dosdevices" / drive;
    std::error_code ec;
    if (drive == "c:" && !std::filesystem::exists(local, ec))
        local = prefix_ / "drive_c";

    // Each component is looked up in the folder built so far, until one is missing (then no
    // later one can be on disk) or the path grows longer than any the system opens; the
    // rest is appended as it stands. The path is built as text, so a value of any length
    // takes time in proportion to it.
    std::string result = local.string();
    bool onDisk = true;
    const std::string_view rest = std::string_view(slashed).substr(2);
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find('/', start);
        if (end == std::string_view::npos)
            end = rest.size();
        const std::string_view component = rest.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".")
            continue;
        if (onDisk && result.size() + component.size() < kLongestLookedUpPath) {
            const std::filesystem::path base(result);
            const std::filesystem::path child = childIgnoringCase(base, std::string(component));
            if (std::filesystem::exists(child, ec)) {
                result = child.string();
                continue;
            }
            onDisk = false;
        }
        if (result.empty() || result.back() != '/')
            result += '/';
        result += component;
    }
    if (!rest.empty() && rest.back() == '/')
        result += '/';
    return result;
}

}  // namespace vondrel
