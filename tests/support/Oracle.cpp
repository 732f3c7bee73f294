#include "support/Oracle.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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
    return static_cast<std::int32_t>(d.at(at) | d.at(at + 1) << 8 | d.at(at + 2) << 16 |
                                     static_cast<std::uint32_t>(d.at(at + 3)) << 24);
}

struct Character {
    bool accepted = false;
    std::string firstName;
    Bytes key;
    std::optional<Bytes> portrait;
};

// From the first "OBJD" at O: the first name from O + 24 up to a NUL (none, or more than 255
// bytes: no file), up to 4 key bytes from O + 104, and the portrait 76 bytes after the
// first portrait header at or after O + 12, cut short by the end of the file.
Character readCharacter(const Bytes& file) {
    Character c;
    const auto o = find(file, kObjd);
    if (!o)
        return c;
    const std::size_t name = *o + 24;
    const auto nul = find(file, kNul, name);
    if (!nul || *nul - name > 255)
        return c;
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
    c.accepted = true;
    return c;
}

// The record name of a file: its name in the code page, lower case, without ".iff"; a name
// with a character the code page lacks names no record.
Bytes recordNameOf(const std::string& fileName) {
    std::optional<std::string> name = literalCp1252(fileName);
    if (!name)
        return {};
    name->erase(name->size() >= 4 ? name->size() - 4 : 0);
    const std::string lower = literalCp1252Lower(*name);
    return Bytes(lower.begin(), lower.end());
}

struct Value {
    Integer PersonRecord::*field;
    std::size_t offset;
    int lo, hi, substitute;
};
// The neighbour values in the order they are tested, where they are, their limits and what
// replaces a value out of them.
const Value kValues[] = {
    {&PersonRecord::Neat, 32, -32768, 1000, 1000},
    {&PersonRecord::Outgoing, 30, -32768, 1000, 1000},
    {&PersonRecord::Active, 24, -32768, 1000, 1000},
    {&PersonRecord::Playful, 28, -32768, 1000, 1000},
    {&PersonRecord::Nice, 22, -32768, 1000, 1000},
    {&PersonRecord::Cooking, 38, -32768, 1000, 1000},
    {&PersonRecord::Mechanical, 42, -32768, 1000, 1000},
    {&PersonRecord::Charisma, 40, -32768, 1000, 1000},
    {&PersonRecord::Body, 52, -32768, 1000, 1000},
    {&PersonRecord::Logic, 54, -32768, 1000, 1000},
    {&PersonRecord::Creativity, 48, -32768, 1000, 1000},
    {&PersonRecord::JobTrack, 130, -1, 10, 0},
    {&PersonRecord::JobLevel, 132, -32768, 9, 0},
    {&PersonRecord::JobPerformance, 144, -32768, 100, 50},
    {&PersonRecord::Cleaning, 36, -32768, 1000, 1000},
    {&PersonRecord::LingerHouse, 152, 0, 10, 0},
};

}  // namespace

std::vector<PickerEntry> oracleLoad(const std::vector<CharacterSource>& files,
                                    ByteView neighborhood, Persons& persons, LoadSink& sink,
                                    std::map<std::string, long>* paths) {
    const Bytes nb(neighborhood.begin(), neighborhood.end());
    std::map<std::string, long> ignored;
    std::map<std::string, long>& seen = paths ? *paths : ignored;
    std::vector<std::pair<std::size_t, int>> named;            // every (file, slot) a file named
    std::vector<std::pair<std::size_t, PickerEntry>> entries;  // with the file that made each

    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& fileName = files[i].fileName;
        const std::string fileError =
            "Error on trying to read the file " + fileName + "\nThe editor will ignore this file";
        bool tookSlot = false;
        // File i is about to change `slot`: the last file that named it gives it up.
        const auto claim = [&](int slot) {
            for (auto n = named.rbegin(); n != named.rend(); ++n) {
                if (n->second != slot)
                    continue;
                ++seen["slot named twice"];
                tookSlot = true;
                sink.message(
                    "Two character files name the same person: " + files[n->first].fileName +
                    " and " + fileName + "\nVondrel keeps only the later one.");
                const auto e = std::find_if(entries.begin(), entries.end(),
                                            [&](const auto& x) { return x.first == n->first; });
                if (e != entries.end()) {
                    ++seen["entry of a slot named twice dropped"];
                    entries.erase(e);
                }
                break;
            }
            named.push_back({i, slot});
        };
        const auto reject = [&](int slot) {
            seen["later file of a slot named twice rejected"] += tookSlot;
            PersonRecord& r = persons[slot];
            r.FirstName = r.FirstName.empty() ? "*UNK*" : r.FirstName + " *UNK*";
            r.Rejected = -1;
            sink.image("ID=" + std::to_string(slot), std::nullopt);
        };

        sink.advance(1);
        seen["unreadable"] += !files[i].bytes;
        const Character c = readCharacter(files[i].bytes.value_or(Bytes{}));
        if (c.accepted && c.key.size() < 4)
            ++seen[c.key.empty() ? "empty key" : "short key"];

        // The record: the first occurrence of its name followed by a NUL, else of its name.
        std::optional<std::size_t> p;
        if (const Bytes name = recordNameOf(fileName); !name.empty()) {
            Bytes whole = name;
            whole.push_back(0);
            const auto bare = find(nb, name);
            p = find(nb, whole);
            seen["record name whole past a bare one"] += p && *p != *bare;
            seen["record name only bare"] += !p && bare;
            if (!p)
                p = bare;
        }
        std::optional<int> slot;
        if (p && *p + 194 <= nb.size() && i16(nb, *p + 178) >= 0 && i16(nb, *p + 178) <= 500)
            slot = i16(nb, *p + 178);

        if (!c.accepted || !slot) {
            ++seen[c.accepted ? "no slot" : "character rejected"];
            sink.message(fileError);
            sink.advance(5);
            if (slot) {
                ++seen["character rejected, slot marked"];
                claim(*slot);
                reject(*slot);
            } else {
                sink.image("", std::nullopt);
            }
            continue;
        }
        const std::size_t at = *p;
        const int id = *slot;
        sink.advance(1);

        // The first family record whose 32-byte member list holds the key (an empty key: any
        // list not cut off), named by the first name marker at or after it.
        std::optional<std::size_t> family;
        for (auto f = find(nb, kImaf); f && !family; f = find(nb, kImaf, *f + 1)) {
            const std::size_t from = std::min(*f + 32, nb.size());
            if (from < nb.size() && find(nb, c.key, from, *f + 64))
                family = f;
        }
        std::string familyName;
        Long money = 0;
        FilePos moneyPos = 0;
        Integer house = 0;
        if (family) {
            if (const auto marker = find(nb, kNameMarker, *family)) {
                if (const auto nul = find(nb, kNul, *marker + 5))
                    familyName.assign(nb.begin() + static_cast<long>(*marker + 5),
                                      nb.begin() + static_cast<long>(*nul));
            }
            if (familyName.empty()) {
                ++seen["family without name"];
            } else if (i16(nb, *family + 4) > 10) {
                ++seen["house rejected"];
                sink.message(fileError);
                sink.advance(4);
                claim(id);
                reject(id);
                continue;
            } else {
                house = static_cast<Integer>(i16(nb, *family + 4));
                money = i32(nb, *family + 12);
                moneyPos = static_cast<FilePos>(*family + 13);
            }
        }

        sink.advance(1);
        claim(id);
        PersonRecord& r = persons[id];
        r.NamePos = static_cast<FilePos>(at + 1);
        r.Id = static_cast<Integer>(id);
        r.FirstName = c.firstName;
        r.FamilyName = familyName;
        r.Money = money;
        r.MoneyPos = moneyPos;
        r.House = house;
        r.Rejected = 0;
        r.HasRelation.fill(0);
        r.Relation.fill(0);
        r.RelationPos.fill(0);
        r.Loves.fill(0);
        r.Sex = static_cast<Integer>(i16(nb, at + 148));
        const int ghost = i16(nb, at + 154);
        if (ghost != 0 && ghost != 1) {
            ++seen["ghost rejected"];
            sink.message(fileError);
            sink.advance(3);
            reject(id);
            continue;
        }
        r.IsGhost = ghost == 1 ? -1 : 0;
        bool valuesFit = true;
        for (const Value& v : kValues) {
            const int value = i16(nb, at + v.offset);
            valuesFit = value >= v.lo && value <= v.hi;
            r.*v.field = static_cast<Integer>(valuesFit ? value : v.substitute);
            if (!valuesFit)
                break;
        }
        if (!valuesFit) {
            ++seen["value rejected"];
            sink.message("Error on trying to read the file " + fileName +
                         "\nThe expected value is bigger than the game accepts!\nThe editor will "
                         "ignore this file");
            sink.advance(3);
            reject(id);
            continue;
        }
        sink.advance(1);
        sink.image("ID=" + std::to_string(id), c.portrait);
        const std::string text = familyName.empty() ? c.firstName : familyName + ", " + c.firstName;
        entries.push_back({i, {id, text, static_cast<int>(i) + 1}});
        sink.advance(1);
        ++seen[familyName.empty() ? "accepted without family" : "accepted with family"];
        seen["accepted with portrait"] += c.portrait.has_value();

        // The relationship list: when flagged -1 and started by a marker 1, entries of
        // (1, other id, value count, value, [love flag]) as 32-bit words, each ended by the
        // next marker 1 or by the count running out; a count of 0 reads one entry.
        if (i16(nb, at + 184) == -1 && i16(nb, at + 192) == 1) {
            std::size_t e = at + 192;
            for (int count = i16(nb, at + 188);;) {
                const int values = e + 10 <= nb.size() ? i16(nb, e + 8) : 0;
                if (e + 10 > nb.size() || (values == 2 && e + 18 > nb.size())) {
                    ++seen["relationships cut by the end"];
                    break;
                }
                const int other = i16(nb, e + 4);
                if (values == 2 && other >= 0 && other <= 500) {
                    ++seen["relationship stored"];
                    r.HasRelation[other] = -1;
                    r.Relation[other] = static_cast<Integer>(i16(nb, e + 12));
                    r.RelationPos[other] = static_cast<FilePos>(e + 13);
                    r.Loves[other] = i16(nb, e + 16) == 1 ? -1 : 0;
                } else {
                    ++seen[values == 2 ? "relationship naming no slot" : "relationship skipped"];
                }
                const std::size_t next = e + (values == 2 ? 20 : 16);
                if (next + 2 > nb.size() || i16(nb, next) != 1) {
                    ++seen["relationships ended by a marker"];
                    break;
                }
                e = next;
                if (count == 0 || --count == 0) {
                    ++seen["relationships ended by the count"];
                    break;
                }
            }
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
    // What bytes 0x80 to 0x9F stand for; 0 where the code page leaves a byte undefined (that
    // byte then stands for the control character of its own number).
    static constexpr char32_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80    ? 1
                                   : lead > 0xF4  ? 0
                                   : lead >= 0xF0 ? 4
                                   : lead >= 0xE0 ? 3
                                   : lead >= 0xC2 ? 2
                                                  : 0;
        char32_t c = length == 1 ? lead : lead & (0xFFu >> (length + 1));
        bool wellFormed = length > 0 && i + length <= utf8.size();
        for (std::size_t k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            wellFormed = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        if (!wellFormed) {
            out += utf8[i++];  // not UTF-8: the byte stands for itself
            continue;
        }
        i += length;
        const auto* high = std::find(std::begin(kHigh), std::end(kHigh), c);
        if (c <= 0xFF && (c < 0x80 || c > 0x9F || kHigh[c - 0x80] == 0))
            out += static_cast<char>(c);
        else if (c != 0 && high != std::end(kHigh))
            out += static_cast<char>(0x80 + (high - std::begin(kHigh)));
        else
            return std::nullopt;
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
