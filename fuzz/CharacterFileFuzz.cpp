// libFuzzer target: the input is the bytes of one character file. It is read once under a
// fixed file name and once under a name taken from the input's last bytes (the last byte
// gives the name's length, the bytes before it the name), and both readings are checked
// against a plain second reading of the layout and against what an accepted file may hold.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "base/Bytes.h"
#include "base/Cp1252.h"
#include "gamedata/CharacterFile.h"

namespace {

using vondrel::Bytes;
using vondrel::ByteView;
using vondrel::CharacterFile;

constexpr std::string_view kFixedName = "Fuzz.iff";
constexpr std::string_view kFixedRecordName = "fuzz";
constexpr std::size_t kMaxChosenName = 40;
constexpr std::size_t kMaxKey = 4;
// The Windows-1252 round trip is checked on at most this many input bytes.
constexpr std::size_t kMaxRoundTrip = 4096;

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "CharacterFileFuzz: broken invariant: %s\n", what);
        std::abort();
    }
}

std::string_view textOf(ByteView data) {
    return {reinterpret_cast<const char*>(data.data()), data.size()};
}

// The same layout read with string_view searches: "OBJD", the NUL-terminated first name 24
// bytes after it, up to 4 key bytes 104 bytes after it, and the portrait 76 bytes after the
// first portrait header that starts at least 12 bytes after the anchor.
CharacterFile plainReading(std::string_view fileName, ByteView data) {
    static constexpr char kHeader[] = {'B',    'M',    'P',    '_',    '\x00', '\x00', '\x07',
                                       '\xEE', '\x07', '\xD4', '\x00', '\x10', 't',    'h',
                                       'u',    'm',    'b',    'n',    'a',    'i',    'l'};
    const std::string_view text = textOf(data);
    CharacterFile file;
    file.recordName = vondrel::recordNameOf(fileName);

    const std::size_t anchor = text.find("OBJD");
    if (anchor == std::string_view::npos)
        return file;
    const std::size_t nameStart = anchor + 24;
    if (nameStart >= text.size())
        return file;
    const std::size_t nul = text.find('\0', nameStart);
    if (nul == std::string_view::npos || nul - nameStart > vondrel::kMaxFirstName)
        return file;
    file.firstName = std::string(text.substr(nameStart, nul - nameStart));
    if (anchor + 104 < text.size())
        file.personKey = std::string(text.substr(anchor + 104, 4));
    const std::size_t header = text.find(std::string_view(kHeader, sizeof kHeader), anchor + 12);
    if (header != std::string_view::npos) {
        const std::size_t start = std::min(header + 76, text.size());
        const std::size_t len = std::min(vondrel::kPortraitSize, text.size() - start);
        file.portrait = Bytes(data.begin() + static_cast<std::ptrdiff_t>(start),
                              data.begin() + static_cast<std::ptrdiff_t>(start + len));
    }
    file.accepted = true;
    return file;
}

void checkRecordName(std::string_view fileName, const std::string& recordName) {
    require(recordName == vondrel::recordNameOf(fileName), "record name depends on the data");
    // A name with a character the code page lacks names no record; bytes that are not
    // UTF-8 stay as they are, so the record name is no longer than the file name.
    const std::optional<std::string> held = vondrel::fileNameToCp1252(fileName);
    if (!held) {
        require(recordName.empty(), "a name the code page cannot hold names a record");
        return;
    }
    const std::string& cp1252 = *held;
    require(cp1252.size() <= fileName.size(), "Windows-1252 name longer than the file name");
    if (cp1252 != vondrel::utf8ToCp1252(fileName)) {
        require(vondrel::cp1252ToUtf8(cp1252) != std::string(fileName),
                "a UTF-8 name read as something else");
    }
    require(recordName.size() == (cp1252.size() >= 4 ? cp1252.size() - 4 : 0),
            "record name is not the name without its last four characters");
    require(vondrel::cp1252Lower(cp1252.substr(0, recordName.size())) == recordName,
            "record name is not the lower-case start of the name");
    require(vondrel::cp1252Lower(recordName) == recordName, "record name holds capitals");
}

void checkFile(std::string_view fileName, ByteView data, const CharacterFile& file) {
    checkRecordName(fileName, file.recordName);
    require(file == plainReading(fileName, data), "reading differs from the plain reading");
    if (!file.accepted) {
        require(file.firstName.empty() && file.personKey.empty() && !file.portrait,
                "a rejected file carries values");
        return;
    }
    require(file.firstName.find('\0') == std::string::npos, "first name holds a NUL");
    require(file.firstName.size() < data.size(), "first name as long as the file");
    require(file.personKey.size() <= kMaxKey, "key longer than 4 bytes");
    require(!file.portrait || file.portrait->size() <= vondrel::kPortraitSize,
            "portrait longer than a bitmap file");
    require(textOf(data).find("OBJD") != std::string_view::npos, "accepted without the anchor");
    require(textOf(data).find(file.firstName + '\0') != std::string_view::npos,
            "first name not in the file");
    if (file.portrait && !file.portrait->empty()) {
        const std::string_view portrait = textOf(*file.portrait);
        require(textOf(data).find(portrait) != std::string_view::npos, "portrait not in the file");
    }
}

void checkCp1252(std::string_view bytes) {
    bytes = bytes.substr(0, std::min(bytes.size(), kMaxRoundTrip));
    const std::string utf8 = vondrel::cp1252ToUtf8(bytes);
    require(vondrel::utf8ToCp1252(utf8) == bytes, "Windows-1252 does not survive UTF-8");
    const std::string lower = vondrel::cp1252Lower(bytes);
    require(lower.size() == bytes.size(), "lower case changes the length");
    require(vondrel::cp1252Lower(lower) == lower, "lower case is not stable");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteView bytes(data, size);

    const CharacterFile fixed = vondrel::readCharacterFile(kFixedName, bytes);
    require(fixed.recordName == kFixedRecordName, "fixed record name");
    checkFile(kFixedName, bytes, fixed);

    std::string_view chosenName;
    if (size > 0) {
        const std::size_t length = std::min<std::size_t>(data[size - 1] % kMaxChosenName, size - 1);
        chosenName = textOf(bytes.subspan(size - 1 - length, length));
    }
    const CharacterFile chosen = vondrel::readCharacterFile(chosenName, bytes);
    checkFile(chosenName, bytes, chosen);
    CharacterFile renamed = chosen;
    renamed.recordName = fixed.recordName;
    require(renamed == fixed, "the file name changes more than the record name");

    checkCp1252(textOf(bytes));
    return 0;
}
