#include "support/Oracle.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>

namespace vondrel::testing {
namespace {

const Bytes kObjd = {'O', 'B', 'J', 'D'};
const Bytes kImaf = {'I', 'M', 'A', 'F'};
const Bytes kNameMarker = {0xFD, 0xFF, 0x01, 0x00};
const Bytes kNul = {0};
const Bytes kPortraitHeader = {'B',  'M', 'P', '_', 0x00, 0x00, 0x07, 0xEE, 0x07, 0xD4, 0x00,
                               0x10, 't', 'h', 'u', 'm',  'b',  'n',  'a',  'i',  'l'};

// The 0-based offset of the first `pattern` lying wholly in data[from, to), if any.
std::optional<std::size_t> find(const Bytes& data, const Bytes& pattern, std::size_t from = 0,
                                std::size_t to = SIZE_MAX) {
    to = std::min(to, data.size());
    if (pattern.empty())
        return from <= to ? std::optional(from) : std::nullopt;
    for (std::size_t at = from; at + pattern.size() <= to; ++at) {
        // On to the next byte that could start it.
        const void* next = std::memchr(&data[at], pattern[0], to - at);
        if (!next)
            break;
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(next) - data.data());
        if (at + pattern.size() <= to &&
            std::memcmp(&data[at], pattern.data(), pattern.size()) == 0)
            return at;
    }
    return std::nullopt;
}

// Little-endian signed values; callers make sure the bytes are there.
int i16(const Bytes& d, std::size_t at) {
    return static_cast<std::int16_t>(d.at(at) | d.at(at + 1) << 8);
}
std::int32_t i32(const Bytes& d, std::size_t at) {
    return static_cast<std::int32_t>(static_cast<std::uint16_t>(i16(d, at)) | i16(d, at + 2) << 16);
}

struct Character {
    std::string firstName;
    Bytes key;
    std::optional<Bytes> portrait;
};

// From the first "OBJD" at O: the first name from O + 24 up to a NUL (none, or more than 255
// bytes: no file), up to 4 key bytes from O + 104, and the portrait 76 bytes after the
// first portrait header at or after O + 12, cut short by the end of the file.
std::optional<Character> readCharacter(const Bytes& file) {
    Character c;
    const auto o = find(file, kObjd);
    if (!o)
        return std::nullopt;
    const std::size_t name = *o + 24;
    const auto nul = find(file, kNul, name);
    if (!nul || *nul - name > 255)
        return std::nullopt;
    c.firstName.assign(file.begin() + static_cast<long>(name),
                       file.begin() + static_cast<long>(*nul));
    for (std::size_t at = *o + 104; at < *o + 108 && at < file.size(); ++at)
        c.key.push_back(file[at]);
    if (const auto header = find(file, kPortraitHeader, *o + 12)) {
        const std::size_t from = std::min(*header + 76, file.size());
        const std::size_t to = std::min(*header + 76 + 1954, file.size());
        c.portrait =
            Bytes(file.begin() + static_cast<long>(from), file.begin() + static_cast<long>(to));
    }
    return c;
}

struct Value {
    Integer PersonRecord::*field;
    std::size_t offset;
    int lo, hi, substitute;
};
// The neighbour values in the order they are tested: where each is, its limits and what
// replaces a value out of them.
using R = PersonRecord;
const Value kValues[] = {
    {&R::Neat, 32, -32768, 1000, 1000},       {&R::Outgoing, 30, -32768, 1000, 1000},
    {&R::Active, 24, -32768, 1000, 1000},     {&R::Playful, 28, -32768, 1000, 1000},
    {&R::Nice, 22, -32768, 1000, 1000},       {&R::Cooking, 38, -32768, 1000, 1000},
    {&R::Mechanical, 42, -32768, 1000, 1000}, {&R::Charisma, 40, -32768, 1000, 1000},
    {&R::Body, 52, -32768, 1000, 1000},       {&R::Logic, 54, -32768, 1000, 1000},
    {&R::Creativity, 48, -32768, 1000, 1000}, {&R::JobTrack, 130, -1, 10, 0},
    {&R::JobLevel, 132, -32768, 9, 0},        {&R::JobPerformance, 144, -32768, 100, 50},
    {&R::Cleaning, 36, -32768, 1000, 1000},   {&R::LingerHouse, 152, 0, 10, 0}};

}  // namespace

std::vector<PickerEntry> oracleLoad(const std::vector<CharacterSource>& files,
                                    ByteView neighborhood, Persons& persons, LoadSink& sink) {
    const Bytes nb(neighborhood.begin(), neighborhood.end());
    std::map<int, std::size_t> holder;                         // the last file that named each slot
    std::vector<std::pair<std::size_t, PickerEntry>> entries;  // with the file that made each
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& fileName = files[i].fileName;
        // File i is about to change `slot`: the last file that named it gives it up.
        const auto claim = [&](int slot) {
            if (const auto h = holder.find(slot); h != holder.end()) {
                sink.message(
                    "Two character files name the same person: " + files[h->second].fileName +
                    " and " + fileName + "\nVondrel keeps only the later one.");
                std::erase_if(entries, [&](const auto& e) { return e.first == h->second; });
            }
            holder[slot] = i;
        };
        // The file is turned away; the slot it names, if any, is marked.
        const auto reject = [&](int progress, std::optional<int> slot, bool claims,
                                const char* why = "") {
            sink.message("Error on trying to read the file " + fileName + why +
                         "\nThe editor will ignore this file");
            sink.advance(progress);
            if (slot && claims)
                claim(*slot);
            if (slot) {
                PersonRecord& r = persons[*slot];
                r.FirstName = r.FirstName.empty() ? "*UNK*" : r.FirstName + " *UNK*";
                r.Rejected = -1;
            }
            sink.image(slot ? "ID=" + std::to_string(*slot) : "", std::nullopt);
        };

        sink.advance(1);
        const std::optional<Character> c = readCharacter(files[i].bytes.value_or(Bytes{}));
        // The record: the first occurrence of its name followed by a NUL, else of its name.
        // The name is the file's in the code page, lower case, without ".iff"; a name with a
        // character the code page lacks names no record.
        std::optional<std::size_t> p;
        if (const auto name = literalCp1252(fileName); name && name->size() > 4) {
            const std::string lower = literalCp1252Lower(name->substr(0, name->size() - 4));
            Bytes record(lower.begin(), lower.end());
            record.push_back(0);
            p = find(nb, record);
            p = p ? p : find(nb, Bytes(lower.begin(), lower.end()));
        }
        std::optional<int> slot;
        if (p && *p + 194 <= nb.size() && i16(nb, *p + 178) >= 0 && i16(nb, *p + 178) <= 500)
            slot = i16(nb, *p + 178);
        if (!c || !slot) {
            reject(5, c ? std::nullopt : slot, true);
            continue;
        }
        const std::size_t at = *p;
        const int id = *slot;
        sink.advance(1);

        // The first family record whose 32-byte member list holds the key (an empty key: any
        // list not cut off), named by the first name marker at or after it.
        std::optional<std::size_t> family;
        for (auto f = find(nb, kImaf); f && !family; f = find(nb, kImaf, *f + 1)) {
            if (*f + 32 < nb.size() && find(nb, c->key, *f + 32, *f + 64))
                family = f;
        }
        std::string familyName;
        if (const auto marker = family ? find(nb, kNameMarker, *family) : std::nullopt) {
            if (const auto nul = find(nb, kNul, *marker + 5))
                familyName.assign(nb.begin() + static_cast<long>(*marker + 5),
                                  nb.begin() + static_cast<long>(*nul));
        }
        if (!familyName.empty() && i16(nb, *family + 4) > 10) {
            reject(4, id, true);
            continue;
        }
        sink.advance(1);
        claim(id);
        PersonRecord& r = persons[id];
        r.NamePos = static_cast<FilePos>(at + 1);
        r.Id = static_cast<Integer>(id);
        r.FirstName = c->firstName;
        r.FamilyName = familyName;
        r.Money = familyName.empty() ? 0 : i32(nb, *family + 12);
        r.MoneyPos = familyName.empty() ? 0 : static_cast<FilePos>(*family + 13);
        r.House = static_cast<Integer>(familyName.empty() ? 0 : i16(nb, *family + 4));
        r.Rejected = 0;
        r.HasRelation.fill(0);
        r.Relation.fill(0);
        r.RelationPos.fill(0);
        r.Loves.fill(0);
        r.Sex = static_cast<Integer>(i16(nb, at + 148));
        const int ghost = i16(nb, at + 154);
        if (ghost != 0 && ghost != 1) {
            reject(3, id, false);
            continue;
        }
        r.IsGhost = ghost == 1 ? -1 : 0;
        const auto misfit =
            std::find_if(std::begin(kValues), std::end(kValues), [&](const Value& v) {
                const int value = i16(nb, at + v.offset);
                const bool fits = value >= v.lo && value <= v.hi;
                r.*v.field = static_cast<Integer>(fits ? value : v.substitute);
                return !fits;
            });
        if (misfit != std::end(kValues)) {
            reject(3, id, false, "\nThe expected value is bigger than the game accepts!");
            continue;
        }
        sink.advance(1);
        sink.image("ID=" + std::to_string(id), c->portrait);
        const std::string text =
            familyName.empty() ? c->firstName : familyName + ", " + c->firstName;
        entries.push_back({i, {id, text, static_cast<int>(i) + 1}});
        sink.advance(1);

        // The relationship list: when flagged -1 and started by a marker 1, entries of
        // (1, other id, value count, value, [love flag]) as 32-bit words, each followed by the
        // next marker 1 until the count runs out (a count of 0 reads one entry). An entry that
        // would run past the end of the file ends the list.
        std::size_t e = at + 192;
        for (int count = i16(nb, at + 188); i16(nb, at + 184) == -1 && i16(nb, e) == 1;) {
            if (e + 10 > nb.size())
                break;
            const int other = i16(nb, e + 4), values = i16(nb, e + 8);
            if (values == 2 && e + 18 > nb.size())
                break;
            if (values == 2 && other >= 0 && other <= 500) {
                r.HasRelation[other] = -1;
                r.Relation[other] = static_cast<Integer>(i16(nb, e + 12));
                r.RelationPos[other] = static_cast<FilePos>(e + 13);
                r.Loves[other] = i16(nb, e + 16) == 1 ? -1 : 0;
            }
            e += values == 2 ? 20 : 16;
            if (e + 2 > nb.size() || count == 0 || --count == 0)
                break;
        }
        sink.advance(1);
    }
    sink.image("Unknown", std::nullopt);
    std::vector<PickerEntry> out;
    for (const auto& e : entries)
        out.push_back(e.second);
    return out;
}

std::vector<OracleWrite> oracleWrites(const PersonRecord& r) {
    std::vector<OracleWrite> writes;
    if (r.NamePos <= 0 || r.Rejected == -1)
        return writes;
    for (const Value& v : kValues)
        writes.push_back({static_cast<std::size_t>(r.NamePos) - 1 + v.offset, 2, r.*v.field});
    if (r.MoneyPos != 0)
        writes.push_back({static_cast<std::size_t>(r.MoneyPos) - 1, 4, r.Money});
    writes.push_back({static_cast<std::size_t>(r.NamePos) - 1 + 154, 2, r.IsGhost == -1 ? 1 : 0});
    for (int j = 0; j <= 500; ++j) {
        if (r.HasRelation[j] == -1) {
            const auto at = static_cast<std::size_t>(r.RelationPos[j]) - 1;
            writes.push_back({at, 4, r.Relation[j]});
            writes.push_back({at + 4, 2, r.Loves[j] == -1 ? 1 : 0});
        }
    }
    return writes;
}

std::optional<std::string> literalCp1252(std::string_view utf8) {
    // What bytes 0x80 to 0x9F stand for; where the code page leaves a byte undefined, the
    // control character of its own number.
    static const char* const kHigh[32] = {
        "€", "\u0081", "‚",      "ƒ", "„",      "…",      "†", "‡",      "ˆ", "‰", "Š",
        "‹", "Œ",      "\u008D", "Ž", "\u008F", "\u0090", "‘", "’",      "“", "”", "•",
        "–", "—",      "˜",      "™", "š",      "›",      "œ", "\u009D", "ž", "Ÿ"};
    // Each byte of the code page by the UTF-8 form of its character; from 0xA0 on the byte is
    // the character's number.
    static const std::map<std::string, char> kBytes = [] {
        std::map<std::string, char> bytes;
        for (unsigned b = 0; b < 256; ++b) {
            bytes[b < 0x80   ? std::string(1, static_cast<char>(b))
                  : b < 0xA0 ? std::string(kHigh[b - 0x80])
                             : std::string{static_cast<char>(0xC0 | b >> 6),
                                           static_cast<char>(0x80 | (b & 0x3F))}] =
                static_cast<char>(b);
        }
        return bytes;
    }();
    std::string out;
    for (std::size_t i = 0, length = 1; i < utf8.size(); i += length) {
        for (length = 1; length <= 3 && !kBytes.count(std::string(utf8.substr(i, length)));)
            ++length;
        if (length > 3)
            return std::nullopt;  // a character the code page lacks
        out += kBytes.at(std::string(utf8.substr(i, length)));
    }
    return out;
}

std::string literalCp1252Lower(std::string_view bytes) {
    std::string out;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
            out += static_cast<char>(b + 32);  // A-Z, À-Þ but ×
        else if (b == 0x8A || b == 0x8C || b == 0x8E)
            out += static_cast<char>(b + 16);  // Š Œ Ž
        else
            out += static_cast<char>(b == 0x9F ? 0xFF : b);  // Ÿ
    }
    return out;
}

}  // namespace vondrel::testing
