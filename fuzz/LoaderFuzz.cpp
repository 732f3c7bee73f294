// libFuzzer target for the per-file load pass and the save's writes. The input holds
// several character files and a neighbourhood file:
//
//   byte 0         number of character files, modulo 17
//   per file       one byte: bits 0-4 the name's length, bit 7 set when the file could not
//                  be read; the name (UTF-8 as the file system shows it); the file's length
//                  as two little-endian bytes; the file's bytes
//   the rest       the neighbourhood file
//
// Fields cut short by the end of the input are shorter (or empty). fuzz/make_seeds.cpp
// writes whole games in this form.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Bytes.h"
#include "editing/Household.h"
#include "gamedata/CharacterFile.h"
#include "gamedata/NameFinder.h"
#include "gamedata/NeighborhoodFile.h"
#include "gamedata/PersonLoader.h"
#include "model/Persons.h"
#include "resources/StringTable.h"
#include "support/LoadLog.h"

namespace {

using vondrel::Bytes;
using vondrel::ByteView;
using vondrel::CharacterSource;
using vondrel::LoadLog;
using vondrel::PickerEntry;
using Entries = std::vector<PickerEntry>;
using Kind = vondrel::LoadLog::Kind;

constexpr std::size_t kMaxFiles = 17;
constexpr std::uint8_t kNameLengthBits = 0x1F;
constexpr std::uint8_t kUnreadableBit = 0x80;

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "LoaderFuzz: broken invariant: %s\n", what);
        std::abort();
    }
}

struct Input {
    std::vector<CharacterSource> files;
    ByteView neighborhood;
};

class Reader {
  public:
    explicit Reader(ByteView data) : data_(data) {}
    ByteView take(std::size_t count) {
        count = std::min(count, data_.size() - at_);
        const ByteView part = data_.subspan(at_, count);
        at_ += count;
        return part;
    }
    std::size_t byte() {
        const ByteView b = take(1);
        return b.empty() ? 0 : b[0];
    }
    ByteView rest() { return take(data_.size() - at_); }

  private:
    ByteView data_;
    std::size_t at_ = 0;
};

Input splitInput(ByteView data) {
    Input input;
    Reader reader(data);
    const std::size_t count = reader.byte() % kMaxFiles;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t flags = reader.byte();
        const ByteView name = reader.take(flags & kNameLengthBits);
        const std::size_t low = reader.byte();
        const std::size_t length = low | reader.byte() << 8;
        const ByteView bytes = reader.take(length);
        CharacterSource source;
        source.fileName.assign(reinterpret_cast<const char*>(name.data()), name.size());
        if (!(flags & kUnreadableBit))
            source.bytes = Bytes(bytes.begin(), bytes.end());
        input.files.push_back(std::move(source));
    }
    input.neighborhood = reader.rest();
    return input;
}

// "ID=" and an id of the table, written as std::to_string writes it.
bool isSlotKey(const std::string& key) {
    if (key.size() < 4 || key.size() > 6 || key.compare(0, 3, "ID=") != 0)
        return false;
    const std::string digits = key.substr(3);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    if (digits.size() > 1 && digits[0] == '0')
        return false;
    return vondrel::isValidId(std::stoi(digits));
}

// Each name's place, found one name at a time with plain searches: the first occurrence
// followed by a NUL, else the first occurrence.
void checkNameSearch(ByteView data, const std::vector<std::string>& names) {
    const std::vector<std::size_t> found = vondrel::findRecordNames(data, names);
    require(found.size() == names.size(), "one answer per name");
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
        std::size_t at = std::string_view::npos;
        if (!names[k].empty()) {
            at = text.find(names[k] + '\0');
            if (at == std::string_view::npos)
                at = text.find(names[k]);
        }
        const std::size_t expected = at == std::string_view::npos ? vondrel::kNoMatch : at;
        require(found[k] == expected, "name search differs from a plain search");
    }
}

// The neighbourhood searched in pieces of `pieceSize` bytes finds what one piece finds: each
// name's place and each key's family.
void checkPieces(ByteView data, const std::vector<std::string>& names,
                 const std::vector<std::string>& keys, std::size_t pieceSize) {
    const vondrel::NeighborhoodIndex whole(data, names, keys);
    vondrel::NeighborhoodScan scan(data, names, pieceSize);
    scan.scanPieces();
    vondrel::NeighborhoodIndex pieces(scan);
    pieces.indexFamilies(keys);
    for (std::size_t k = 0; k < names.size(); ++k)
        require(pieces.nameOffset(k) == whole.nameOffset(k), "a name lands elsewhere in pieces");
    for (const std::string& key : keys) {
        const auto family = pieces.familyOf(key), expected = whole.familyOf(key);
        require(family.has_value() == expected.has_value() &&
                    (!family || family->offset == expected->offset),
                "a key finds another family in pieces");
    }
}

// The message that a file took the slot an earlier file named.
bool isSameSlotMessage(const LoadLog::Event& e) {
    return e.kind == Kind::Message &&
           e.text.rfind(vondrel::StringTable::builtIn().text(vondrel::text::SamePerson), 0) == 0;
}

// What the sink was told, file by file, and the entries the load returned.
void checkEvents(const LoadLog& log, const Entries& entries, std::size_t fileCount) {
    std::size_t images = 0;
    std::size_t fileMessages = 0;
    std::size_t sameSlotMessages = 0;
    std::vector<std::string> imageKeys;
    long progress = 0;
    for (std::size_t i = 0; i < log.events.size(); ++i) {
        const LoadLog::Event& e = log.events[i];
        switch (e.kind) {
            case Kind::Begin:
                require(false, "the per-file pass set the progress maximum");
                break;
            case Kind::Advance:
                require(e.number > 0, "progress does not move forward");
                progress += e.number;
                break;
            case Kind::Message:
                require(!e.text.empty(), "empty message");
                ++(isSameSlotMessage(e) ? sameSlotMessages : fileMessages);
                break;
            case Kind::Image:
                ++images;
                imageKeys.push_back(e.text);
                if (images == fileCount + 1) {
                    require(i + 1 == log.events.size(), "events after the last picture");
                    require(e.text == vondrel::kUnknownImageKey && !e.portrait,
                            "last picture is not the unknown face");
                } else {
                    require(images <= fileCount, "more pictures than files");
                    require(e.text.empty() || isSlotKey(e.text), "malformed picture key");
                    require(!e.text.empty() || !e.portrait, "portrait for a rejected file");
                    require(!e.portrait || e.portrait->size() <= vondrel::kPortraitSize,
                            "portrait longer than a bitmap file");
                }
                break;
            case Kind::Log:  // free-form lines for the log file
                break;
        }
    }
    require(images == fileCount + 1, "not one picture per file plus the unknown face");
    std::vector<int> ids;
    int lastImage = 0;
    for (const PickerEntry& e : entries) {
        require(e.imageNumber > lastImage && static_cast<std::size_t>(e.imageNumber) <= fileCount,
                "picker entries out of file order");
        lastImage = e.imageNumber;
        require(imageKeys[static_cast<std::size_t>(e.imageNumber - 1)] == vondrel::imageKeyOf(e.id),
                "picker entry does not show its slot's picture");
        ids.push_back(e.id);
    }
    std::sort(ids.begin(), ids.end());
    require(std::adjacent_find(ids.begin(), ids.end()) == ids.end(), "two entries for one slot");
    // Every file either makes an entry or is told about; an entry goes only with a slot
    // taken over.
    require(entries.size() + fileMessages <= fileCount, "an entry for a file with an error");
    require(entries.size() + fileMessages + sameSlotMessages >= fileCount,
            "a file without entry or message");
    require(progress == static_cast<long>(vondrel::kProgressPerFile * fileCount),
            "progress is not 6 per file");
}

// The slots a load wrote to: every file that fills a slot, or rejects it, shows the
// slot's picture key.
std::vector<int> touchedSlots(const LoadLog& log) {
    std::vector<int> ids;
    for (const LoadLog::Event& e : log.events) {
        if (e.kind == Kind::Image && isSlotKey(e.text))
            ids.push_back(std::stoi(e.text.substr(3)));
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

// The tables are 3 MB each; they are kept between inputs and every slot a load touched is
// cleared again afterwards, so each input starts from an empty table.
class Table {
  public:
    vondrel::Persons& get() { return persons_; }
    void clear(const std::vector<int>& ids) {
        for (int id : ids)
            persons_[id] = vondrel::PersonRecord{};
    }

  private:
    vondrel::Persons persons_;
};

// Slots that no file named stay empty.
void checkUntouched(const vondrel::Persons& persons, const std::vector<int>& touched) {
    for (int id = vondrel::kMinId; id <= vondrel::kMaxId; ++id) {
        if (std::binary_search(touched.begin(), touched.end(), id))
            continue;
        const vondrel::PersonRecord& p = persons[id];
        require(p.NamePos == 0 && p.MoneyPos == 0 && p.FirstName.empty() && p.Id == 0 &&
                    !vondrel::isTrue(p.Rejected),
                "a slot changed without its picture");
    }
}

// The events without the messages about slots named twice, which depend on earlier files.
std::vector<LoadLog::Event> ownEvents(const LoadLog& log) {
    std::vector<LoadLog::Event> own;
    for (const LoadLog::Event& e : log.events) {
        if (!isSameSlotMessage(e))
            own.push_back(e);
    }
    return own;
}

// Loads files[from, to) alone and checks that their own events are exactly their part of the
// whole load's (which start at `at`), and their entries that are left in the whole load are
// there in order: so the files before and after them, and their names, change nothing but
// which entries a later file takes over. Returns where the part's events end.
std::size_t checkPart(const Input& input, std::size_t from, std::size_t to,
                      const std::vector<LoadLog::Event>& whole, const Entries& wholeEntries,
                      std::size_t at, Table& scratch) {
    const std::vector<CharacterSource> part(input.files.begin() + static_cast<std::ptrdiff_t>(from),
                                            input.files.begin() + static_cast<std::ptrdiff_t>(to));
    LoadLog log;
    const Entries entries = vondrel::loadPersons(part, input.neighborhood, scratch.get(), log);
    scratch.clear(touchedSlots(log));
    checkEvents(log, entries, part.size());
    std::vector<LoadLog::Event> own = ownEvents(log);
    own.pop_back();  // the unknown face
    for (const LoadLog::Event& e : own) {
        require(at < whole.size() && whole[at] == e, "a file's events depend on the other files");
        ++at;
    }
    const int first = static_cast<int>(from) + 1;
    const int last = static_cast<int>(to);
    std::size_t k = 0;
    for (const PickerEntry& e : wholeEntries) {
        if (e.imageNumber < first || e.imageNumber > last)
            continue;
        while (k < entries.size() && entries[k].imageNumber + first - 1 != e.imageNumber)
            ++k;
        require(k < entries.size() && entries[k].id == e.id && entries[k].text == e.text,
                "an entry the part alone does not make");
        ++k;
    }
    return at;
}

// A slot that a file filled (and no later file rejected) holds exactly the values found at
// its positions; a relationship's value and love flag lie at its position in every slot.
void checkValues(const vondrel::Persons& loaded, const std::vector<int>& touched,
                 ByteView neighborhood) {
    namespace nbr = vondrel::nbr;
    constexpr std::pair<vondrel::Integer vondrel::PersonRecord::*, std::size_t> kFields[] = {
        {&vondrel::PersonRecord::Nice, nbr::Nice},
        {&vondrel::PersonRecord::Active, nbr::Active},
        {&vondrel::PersonRecord::Playful, nbr::Playful},
        {&vondrel::PersonRecord::Outgoing, nbr::Outgoing},
        {&vondrel::PersonRecord::Neat, nbr::Neat},
        {&vondrel::PersonRecord::Cleaning, nbr::Cleaning},
        {&vondrel::PersonRecord::Cooking, nbr::Cooking},
        {&vondrel::PersonRecord::Charisma, nbr::Charisma},
        {&vondrel::PersonRecord::Mechanical, nbr::Mechanical},
        {&vondrel::PersonRecord::Creativity, nbr::Creativity},
        {&vondrel::PersonRecord::Body, nbr::Body},
        {&vondrel::PersonRecord::Logic, nbr::Logic},
        {&vondrel::PersonRecord::JobTrack, nbr::JobTrack},
        {&vondrel::PersonRecord::JobLevel, nbr::JobLevel},
        {&vondrel::PersonRecord::JobPerformance, nbr::JobPerformance},
        {&vondrel::PersonRecord::LingerHouse, nbr::LingerHouse},
        {&vondrel::PersonRecord::Sex, nbr::Sex},
    };
    const auto int16At = [&](std::int64_t position, std::size_t field) {
        return vondrel::readInt16(neighborhood, static_cast<std::size_t>(position - 1) + field);
    };
    for (int id : touched) {
        const vondrel::PersonRecord& p = loaded[id];
        for (int j = vondrel::kMinId; j <= vondrel::kMaxId; ++j) {
            if (!vondrel::isTrue(p.HasRelation[j]))
                continue;
            require(int16At(p.RelationPos[j], 0) == p.Relation[j],
                    "relationship value is not the file's");
            require(vondrel::toBoolean(int16At(p.RelationPos[j], 4) == 1) == p.Loves[j],
                    "love flag is not the file's");
        }
        if (vondrel::isTrue(p.Rejected))
            continue;
        require(p.NamePos != 0, "a filled slot without its record");
        for (const auto& [field, offset] : kFields) {
            require(int16At(p.NamePos, offset) == p.*field, "value is not the file's");
        }
        require(vondrel::toBoolean(int16At(p.NamePos, nbr::IsGhost) == 1) == p.IsGhost,
                "ghost flag is not the file's");
        require((p.MoneyPos != 0) == !p.FamilyName.empty(), "family money without a family");
        if (p.MoneyPos != 0) {
            require(vondrel::readInt32(neighborhood, static_cast<std::size_t>(p.MoneyPos - 1)) ==
                        p.Money,
                    "family money is not the file's");
        }
    }
}

// The table holds file positions only where the save's writes fit into the file. Marks
// the slots changed on the way.
void checkPositions(vondrel::Persons& loaded, const std::vector<int>& touched, Bytes neighborhood) {
    const std::size_t size = neighborhood.size();
    const auto fits = [size](long position, std::size_t width) {
        return position >= 1 && static_cast<std::size_t>(position - 1) <= size &&
               size - static_cast<std::size_t>(position - 1) >= width;
    };
    for (int id : touched) {
        vondrel::PersonRecord& p = loaded[id];
        if (p.NamePos != 0) {
            require(fits(p.NamePos, vondrel::nbr::RecordSize), "NamePos too close to the end");
            require(p.Id == id, "person's id is not its slot");
        }
        if (p.MoneyPos != 0)
            require(fits(p.MoneyPos, 4), "MoneyPos too close to the end");
        for (int j = vondrel::kMinId; j <= vondrel::kMaxId; ++j) {
            if (vondrel::isTrue(p.HasRelation[j])) {
                require(fits(p.RelationPos[j], 6), "RelationPos too close to the end");
            } else {
                require(p.RelationPos[j] == 0, "position of a missing relationship");
            }
        }
    }

    // Every edit the window offers, on every person this input filled: whatever the file held,
    // the save must only ever write inside it.
    vondrel::Household household("unused", neighborhood, loaded, {});
    for (int id : touched) {
        household.maximizePerson(id, true, true);
        household.setGhost(id, true);
        household.setFamilyMoney(id, 1);
        household.setLoves(id, (id + 1) % vondrel::kSlotCount, true);
    }
    const std::vector<vondrel::Patch> patches = household.pendingWrites();
    for (const vondrel::Patch& patch : patches) {
        require(patch.width == 2 || patch.width == 4, "patch width");
        require(
            patch.offset <= size && size - patch.offset >= static_cast<std::size_t>(patch.width),
            "a save would write past the end of the file");
    }
    for (const vondrel::Patch& patch : patches) {
        for (int b = 0; b < patch.width; ++b)
            neighborhood[patch.offset + static_cast<std::size_t>(b)] =
                static_cast<std::uint8_t>(static_cast<std::uint32_t>(patch.value) >> (8 * b));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Table table;
    static Table scratch;
    const Input input = splitInput(ByteView(data, size));

    std::vector<std::string> recordNames;
    for (const CharacterSource& file : input.files) {
        recordNames.push_back(vondrel::recordNameOf(file.fileName));
    }
    checkNameSearch(input.neighborhood, recordNames);
    std::vector<std::string> keys;
    for (const CharacterSource& file : input.files) {
        if (file.bytes)
            keys.push_back(vondrel::readCharacterFile(file.fileName, *file.bytes).personKey);
    }
    checkPieces(input.neighborhood, recordNames, keys, size == 0 ? 1 : 1 + data[0] % 200);

    LoadLog log;
    const Entries entries = vondrel::loadPersons(input.files, input.neighborhood, table.get(), log);
    const std::vector<int> touched = touchedSlots(log);
    checkEvents(log, entries, input.files.size());
    checkUntouched(table.get(), touched);

    // The whole load is the load of the files before a split point followed by the load of
    // the files after it; the input chooses the point.
    const std::size_t split = size == 0 ? 0 : (data[size - 1] + size) % (input.files.size() + 1);
    const std::vector<LoadLog::Event> own = ownEvents(log);
    const std::size_t end = checkPart(input, 0, split, own, entries, 0, scratch);
    require(
        checkPart(input, split, input.files.size(), own, entries, end, scratch) + 1 == own.size(),
        "the whole load has more events than its files");

    checkValues(table.get(), touched, input.neighborhood);
    checkPositions(table.get(), touched,
                   Bytes(input.neighborhood.begin(), input.neighborhood.end()));
    table.clear(touched);
    return 0;
}
