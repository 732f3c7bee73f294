#include "support/Oracle.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace vondrel::testing {
namespace {

using Iter = Bytes::const_iterator;

const Bytes kObjd = {'O', 'B', 'J', 'D'};
const Bytes kImaf = {'I', 'M', 'A', 'F'};
const Bytes kFamilyNameMarker = {0xFD, 0xFF, 0x01, 0x00};
const Bytes kPortraitHeader = {'B',  'M', 'P', '_', 0x00, 0x00, 0x07, 0xEE, 0x07, 0xD4, 0x00,
                               0x10, 't', 'h', 'u', 'm',  'b',  'n',  'a',  'i',  'l'};

std::string fileErrorText(const std::string& fileName) {
    return "Error on trying to read the file " + fileName + "\n" +
           "The editor will ignore this file";
}

std::string valueErrorText(const std::string& fileName) {
    return "Error on trying to read the file " + fileName + "\n" +
           "The expected value is bigger than the game accepts!" + "\n" +
           "The editor will ignore this file";
}

std::string sameSlotText(const std::string& earlier, const std::string& later) {
    return "Two character files name the same person: " + earlier + " and " + later + "\n" +
           "Vondrel keeps only the later one.";
}

std::string keyOf(int id) {
    return "ID=" + std::to_string(id);
}

// The 0-based offset of the first `pattern` in `data` at or after `from`, if any.
std::optional<std::size_t> searchFrom(const Bytes& data, std::size_t from, const Bytes& pattern) {
    if (from > data.size())
        return std::nullopt;
    const Iter hit = std::search(data.begin() + static_cast<std::ptrdiff_t>(from), data.end(),
                                 pattern.begin(), pattern.end());
    if (hit == data.end())
        return std::nullopt;
    return static_cast<std::size_t>(hit - data.begin());
}

// Callers make sure the bytes are there.
Integer int16At(const Bytes& data, std::size_t at) {
    const unsigned lo = data.at(at);
    const unsigned hi = data.at(at + 1);
    return static_cast<Integer>(static_cast<std::uint16_t>(lo | (hi << 8)));
}

Long int32At(const Bytes& data, std::size_t at) {
    std::uint32_t v = 0;
    for (int b = 3; b >= 0; --b)
        v = (v << 8) | data.at(at + static_cast<std::size_t>(b));
    return static_cast<Long>(v);
}

struct Character {
    bool accepted = false;
    std::string firstName;
    Bytes key;
    std::optional<Bytes> portrait;
};

Character readCharacter(const Bytes& file) {
    Character c;
    const std::optional<std::size_t> anchor = searchFrom(file, 0, kObjd);
    if (!anchor)
        return c;
    const std::size_t o = *anchor;

    // The name runs from O + 24 to the first NUL at or after it; no NUL, no file.
    if (o + 24 >= file.size())
        return c;
    std::optional<std::size_t> nul;
    for (std::size_t at = o + 24; at < file.size(); ++at) {
        if (file[at] == 0) {
            nul = at;
            break;
        }
    }
    // Nor a name of more than 255 bytes.
    if (!nul || *nul - (o + 24) > 255)
        return c;
    for (std::size_t at = o + 24; at < *nul; ++at)
        c.firstName += static_cast<char>(file[at]);

    for (std::size_t at = o + 104; at < o + 108 && at < file.size(); ++at) {
        c.key.push_back(file[at]);
    }

    if (const auto header = searchFrom(file, o + 12, kPortraitHeader)) {
        Bytes portrait;
        for (std::size_t at = *header + 76; at < *header + 76 + 1954 && at < file.size(); ++at) {
            portrait.push_back(file[at]);
        }
        c.portrait = portrait;
    }
    c.accepted = true;
    return c;
}

Bytes recordNameOfFile(const std::string& fileName) {
    // A name with a character the code page lacks names no record.
    std::optional<std::string> name = literalCp1252(fileName);
    if (!name)
        return {};
    name->erase(name->size() >= 4 ? name->size() - 4 : 0);
    const std::string lower = literalCp1252Lower(*name);
    return Bytes(lower.begin(), lower.end());
}

// Where the record of `name` starts: its first occurrence with a NUL right after it, else its
// first occurrence at all.
std::optional<std::size_t> recordOf(const Bytes& nb, const Bytes& name, OracleCounters& count) {
    if (name.empty())
        return std::nullopt;
    Bytes withNul = name;
    withNul.push_back(0);
    const std::optional<std::size_t> bare = searchFrom(nb, 0, name);
    const std::optional<std::size_t> whole = searchFrom(nb, 0, withNul);
    if (whole) {
        if (*whole != *bare)
            ++count.wholeNameAfterBare;
        return whole;
    }
    if (bare)
        ++count.bareNameOnly;
    return bare;
}

class Pass {
  public:
    Pass(const std::vector<CharacterSource>& files, const Bytes& nb, Persons& persons,
         LoadSink& sink, OracleCounters& count)
        : files_(files), nb_(nb), persons_(persons), sink_(sink), count_(count) {}

    void file(std::size_t i);
    std::vector<PickerEntry> entries() const { return entries_; }

  private:
    // File i is about to change slot `id`: a file that named the same slot before it gives
    // the slot up, and its picker entry goes.
    void claim(std::size_t i, int id) {
        for (std::size_t n = named_.size(); n-- > 0;) {
            if (named_[n].second != id)
                continue;
            const std::size_t earlier = named_[n].first;
            ++count_.sameSlot;
            sameSlot_ = true;
            sink_.message(sameSlotText(files_[earlier].fileName, files_[i].fileName));
            for (std::size_t e = 0; e < entries_.size(); ++e) {
                if (entryFiles_[e] == earlier) {
                    ++count_.sameSlotEntryDropped;
                    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(e));
                    entryFiles_.erase(entryFiles_.begin() + static_cast<std::ptrdiff_t>(e));
                    break;
                }
            }
            break;
        }
        named_.push_back({i, id});
    }

    void markRejected(int id) {
        if (sameSlot_)
            ++count_.sameSlotLaterRejected;
        PersonRecord& r = persons_[id];
        if (r.FirstName.empty()) {
            r.FirstName = "*UNK*";
        } else {
            r.FirstName = r.FirstName + " *UNK*";
        }
        r.Rejected = -1;
        sink_.image(keyOf(id), std::nullopt);
    }

    // Stores the value at p + offset into `field` when it lies in lo..hi; otherwise stores
    // the substitute, rejects the file and returns false.
    bool take(Integer& field, std::size_t offset, int lo, int hi, Integer substitute) {
        const Integer v = int16At(nb_, p_ + offset);
        if (v < lo || v > hi) {
            field = substitute;
            sink_.message(valueErrorText(fileName_));
            sink_.advance(3);
            markRejected(id_);
            ++count_.valueRejected;
            return false;
        }
        field = v;
        return true;
    }

    void relationships();

    const std::vector<CharacterSource>& files_;
    const Bytes& nb_;
    Persons& persons_;
    LoadSink& sink_;
    OracleCounters& count_;
    std::string fileName_;
    std::size_t p_ = 0;
    int id_ = 0;
    // Every (file, slot) so far in which a file named a slot.
    std::vector<std::pair<std::size_t, int>> named_;
    std::vector<PickerEntry> entries_;
    std::vector<std::size_t> entryFiles_;
    bool sameSlot_ = false;  // the current file took a slot from an earlier one
};

void Pass::file(std::size_t i) {
    const CharacterSource& source = files_[i];
    ++count_.files;
    fileName_ = source.fileName;
    sameSlot_ = false;
    sink_.advance(1);

    const Bytes empty;
    if (!source.bytes)
        ++count_.unreadable;
    const Character c = readCharacter(source.bytes ? *source.bytes : empty);
    if (c.accepted && c.key.size() < 4)
        ++count_.shortKeys;
    if (c.accepted && c.key.empty())
        ++count_.emptyKeys;

    const Bytes recordName = recordNameOfFile(source.fileName);
    const std::optional<std::size_t> p = recordOf(nb_, recordName, count_);
    std::optional<int> slot;
    if (p && *p + 194 <= nb_.size()) {
        const Integer id = int16At(nb_, *p + 178);
        if (id >= 0 && id <= 500)
            slot = id;
    }

    if (!c.accepted) {
        ++count_.characterRejected;
        sink_.message(fileErrorText(fileName_));
        sink_.advance(5);
        if (slot) {
            ++count_.rejectedWithSlot;
            claim(i, *slot);
            markRejected(*slot);
        } else {
            sink_.image("", std::nullopt);
        }
        return;
    }
    if (!slot) {
        ++count_.noSlot;
        sink_.message(fileErrorText(fileName_));
        sink_.advance(5);
        sink_.image("", std::nullopt);
        return;
    }
    p_ = *p;
    id_ = *slot;
    sink_.advance(1);

    // The first family record whose member window holds the key.
    std::optional<std::size_t> family;
    for (std::optional<std::size_t> f = searchFrom(nb_, 0, kImaf); f;
         f = searchFrom(nb_, *f + 1, kImaf)) {
        const std::size_t windowStart = std::min(*f + 32, nb_.size());
        const std::size_t windowEnd = std::min(*f + 64, nb_.size());
        bool holdsKey = false;
        if (c.key.empty()) {
            holdsKey = windowStart < windowEnd;
        } else {
            const Iter from = nb_.begin() + static_cast<std::ptrdiff_t>(windowStart);
            const Iter to = nb_.begin() + static_cast<std::ptrdiff_t>(windowEnd);
            holdsKey = std::search(from, to, c.key.begin(), c.key.end()) != to;
        }
        if (holdsKey) {
            family = f;
            break;
        }
    }

    std::string familyName;
    Long money = 0;
    FilePos moneyPos = 0;
    Integer house = 0;
    if (family) {
        const std::size_t f = *family;
        if (const auto marker = searchFrom(nb_, f, kFamilyNameMarker)) {
            const std::size_t start = *marker + 5;
            std::optional<std::size_t> nul;
            for (std::size_t at = start; at < nb_.size(); ++at) {
                if (nb_[at] == 0) {
                    nul = at;
                    break;
                }
            }
            if (nul) {
                for (std::size_t at = start; at < *nul; ++at) {
                    familyName += static_cast<char>(nb_[at]);
                }
            }
        }
        if (familyName.empty()) {
            ++count_.unnamedFamilies;
        } else {
            house = int16At(nb_, f + 4);
            if (house > 10) {
                ++count_.houseRejected;
                sink_.message(fileErrorText(fileName_));
                sink_.advance(4);
                claim(i, id_);
                markRejected(id_);
                return;
            }
            money = int32At(nb_, f + 12);
            moneyPos = static_cast<FilePos>(f + 12 + 1);
        }
    }

    sink_.advance(1);
    claim(i, id_);
    PersonRecord& r = persons_[id_];
    r.NamePos = static_cast<FilePos>(p_ + 1);
    r.Id = static_cast<Integer>(id_);
    r.FirstName = c.firstName;
    r.FamilyName = familyName;
    r.Money = money;
    r.MoneyPos = moneyPos;
    r.House = house;
    r.Rejected = 0;
    for (int j = 0; j <= 500; ++j) {
        r.HasRelation[j] = 0;
        r.Relation[j] = 0;
        r.RelationPos[j] = 0;
        r.Loves[j] = 0;
    }

    r.Sex = int16At(nb_, p_ + 148);
    const Integer ghost = int16At(nb_, p_ + 154);
    if (ghost == 1) {
        r.IsGhost = -1;
    } else if (ghost == 0) {
        r.IsGhost = 0;
    } else {
        ++count_.ghostRejected;
        sink_.message(fileErrorText(fileName_));
        sink_.advance(3);
        markRejected(id_);
        return;
    }

    const bool allPassed =
        take(r.Neat, 32, -32768, 1000, 1000) && take(r.Outgoing, 30, -32768, 1000, 1000) &&
        take(r.Active, 24, -32768, 1000, 1000) && take(r.Playful, 28, -32768, 1000, 1000) &&
        take(r.Nice, 22, -32768, 1000, 1000) && take(r.Cooking, 38, -32768, 1000, 1000) &&
        take(r.Mechanical, 42, -32768, 1000, 1000) && take(r.Charisma, 40, -32768, 1000, 1000) &&
        take(r.Body, 52, -32768, 1000, 1000) && take(r.Logic, 54, -32768, 1000, 1000) &&
        take(r.Creativity, 48, -32768, 1000, 1000) && take(r.JobTrack, 130, -1, 10, 0) &&
        take(r.JobLevel, 132, -32768, 9, 0) && take(r.JobPerformance, 144, -32768, 100, 50) &&
        take(r.Cleaning, 36, -32768, 1000, 1000) && take(r.LingerHouse, 152, 0, 10, 0);
    if (!allPassed)
        return;

    sink_.advance(1);
    sink_.image(keyOf(id_), c.portrait);
    PickerEntry entry;
    entry.id = id_;
    entry.text = r.FamilyName.empty() ? r.FirstName : r.FamilyName + ", " + r.FirstName;
    entry.imageNumber = static_cast<int>(i) + 1;
    entries_.push_back(entry);
    entryFiles_.push_back(i);
    sink_.advance(1);
    ++count_.accepted;
    if (c.portrait)
        ++count_.portraits;
    if (r.FamilyName.empty()) {
        ++count_.acceptedFamilyLess;
    } else {
        ++count_.acceptedWithFamily;
    }

    relationships();
    sink_.advance(1);
}

void Pass::relationships() {
    if (int16At(nb_, p_ + 184) != -1 || int16At(nb_, p_ + 192) != 1)
        return;
    PersonRecord& r = persons_[id_];
    std::size_t e = p_ + 192;
    int count = int16At(nb_, p_ + 188);
    for (;;) {
        if (e + 10 > nb_.size()) {
            ++count_.walksCutByEnd;
            return;
        }
        const int other = int16At(nb_, e + 4);
        const int values = int16At(nb_, e + 8);
        if (values == 2 && e + 18 > nb_.size()) {
            ++count_.walksCutByEnd;
            return;
        }
        if (values == 2 && other >= 0 && other <= 500) {
            r.HasRelation[other] = -1;
            r.Relation[other] = int16At(nb_, e + 12);
            r.RelationPos[other] = static_cast<FilePos>(e + 12 + 1);
            r.Loves[other] = int16At(nb_, e + 16) == 1 ? -1 : 0;
            ++count_.relationsStored;
        } else if (values == 2) {
            ++count_.relationsOtherIdBad;
        } else {
            ++count_.relationsSkipped;
        }
        const std::size_t next = values == 2 ? e + 20 : e + 16;
        if (next + 2 <= nb_.size() && int16At(nb_, next) == 1) {
            e = next;
        } else {
            count = 0;
            ++count_.walksEndedByMarker;
        }
        if (count == 0)
            return;
        count -= 1;
        if (count == 0) {
            ++count_.walksEndedByCount;
            return;
        }
    }
}

}  // namespace

OracleCounters& OracleCounters::operator+=(const OracleCounters& o) {
    files += o.files;
    unreadable += o.unreadable;
    characterRejected += o.characterRejected;
    rejectedWithSlot += o.rejectedWithSlot;
    noSlot += o.noSlot;
    houseRejected += o.houseRejected;
    ghostRejected += o.ghostRejected;
    valueRejected += o.valueRejected;
    accepted += o.accepted;
    acceptedWithFamily += o.acceptedWithFamily;
    acceptedFamilyLess += o.acceptedFamilyLess;
    unnamedFamilies += o.unnamedFamilies;
    shortKeys += o.shortKeys;
    emptyKeys += o.emptyKeys;
    portraits += o.portraits;
    relationsStored += o.relationsStored;
    relationsSkipped += o.relationsSkipped;
    relationsOtherIdBad += o.relationsOtherIdBad;
    walksCutByEnd += o.walksCutByEnd;
    walksEndedByMarker += o.walksEndedByMarker;
    walksEndedByCount += o.walksEndedByCount;
    wholeNameAfterBare += o.wholeNameAfterBare;
    bareNameOnly += o.bareNameOnly;
    sameSlot += o.sameSlot;
    sameSlotEntryDropped += o.sameSlotEntryDropped;
    sameSlotLaterRejected += o.sameSlotLaterRejected;
    return *this;
}

std::vector<PickerEntry> oracleLoad(const std::vector<CharacterSource>& files,
                                    ByteView neighborhood, Persons& persons, LoadSink& sink,
                                    OracleCounters* counters) {
    const Bytes nb(neighborhood.begin(), neighborhood.end());
    OracleCounters ignored;
    Pass pass(files, nb, persons, sink, counters ? *counters : ignored);
    for (std::size_t i = 0; i < files.size(); ++i)
        pass.file(i);
    sink.image("Unknown", std::nullopt);
    return pass.entries();
}

std::vector<OracleWrite> oracleWrites(const PersonRecord& r) {
    std::vector<OracleWrite> writes;
    if (r.NamePos <= 0 || r.Rejected == -1)
        return writes;
    const std::size_t record = static_cast<std::size_t>(r.NamePos) - 1;
    writes.push_back({record + 32, 2, r.Neat});
    writes.push_back({record + 30, 2, r.Outgoing});
    writes.push_back({record + 24, 2, r.Active});
    writes.push_back({record + 28, 2, r.Playful});
    writes.push_back({record + 22, 2, r.Nice});
    writes.push_back({record + 38, 2, r.Cooking});
    writes.push_back({record + 42, 2, r.Mechanical});
    writes.push_back({record + 40, 2, r.Charisma});
    writes.push_back({record + 52, 2, r.Body});
    writes.push_back({record + 54, 2, r.Logic});
    writes.push_back({record + 48, 2, r.Creativity});
    writes.push_back({record + 130, 2, r.JobTrack});
    writes.push_back({record + 132, 2, r.JobLevel});
    writes.push_back({record + 144, 2, r.JobPerformance});
    writes.push_back({record + 36, 2, r.Cleaning});
    writes.push_back({record + 152, 2, r.LingerHouse});
    if (r.MoneyPos != 0)
        writes.push_back({static_cast<std::size_t>(r.MoneyPos) - 1, 4, r.Money});
    writes.push_back({record + 154, 2, r.IsGhost == -1 ? 1 : 0});
    for (int j = 0; j <= 500; ++j) {
        if (r.HasRelation[j] != -1)
            continue;
        const std::size_t at = static_cast<std::size_t>(r.RelationPos[j]) - 1;
        writes.push_back({at, 4, r.Relation[j]});
        writes.push_back({at + 4, 2, r.Loves[j] == -1 ? 1 : 0});
    }
    return writes;
}

std::vector<std::pair<std::size_t, int>> oracleWrittenRanges(const PersonRecord& r) {
    std::vector<std::pair<std::size_t, int>> ranges;
    for (const OracleWrite& w : oracleWrites(r))
        ranges.emplace_back(w.offset, w.width);
    return ranges;
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
        // The length of a well-formed sequence starting here, 0 when there is none.
        std::size_t length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            length = 1;
            c = lead;
        } else if (lead >= 0xC2 && lead <= 0xF4) {
            const std::size_t want = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            c = lead & (want == 2 ? 0x1F : want == 3 ? 0x0F : 0x07);
            std::size_t k = 1;
            for (; k < want && i + k < utf8.size(); ++k) {
                const auto next = static_cast<unsigned char>(utf8[i + k]);
                if ((next & 0xC0) != 0x80)
                    break;
                c = c << 6 | (next & 0x3F);
            }
            const char32_t least = want == 2 ? 0x80 : want == 3 ? 0x800 : 0x10000;
            if (k == want && c >= least && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF))
                length = want;
        }
        if (length == 0) {
            out += utf8[i++];  // not UTF-8: the byte is taken as the code page's own
            continue;
        }
        i += length;
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) ||
            (c >= 0x80 && c <= 0x9F && kHigh[c - 0x80] == 0)) {
            out += static_cast<char>(c);
            continue;
        }
        const auto* at = std::find(std::begin(kHigh), std::end(kHigh), c);
        if (c == 0 || at == std::end(kHigh))
            return std::nullopt;
        out += static_cast<char>(0x80 + (at - std::begin(kHigh)));
    }
    return out;
}

std::string literalCp1252Lower(std::string_view bytes) {
    std::string out;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        unsigned lower = b;
        if (b >= 'A' && b <= 'Z')
            lower = b + 32;
        else if (b >= 0xC0 && b <= 0xDE && b != 0xD7)
            lower = b + 32;  // À..Þ, not ×
        else if (b == 0x8A || b == 0x8C || b == 0x8E)
            lower = b + 16;  // Š Œ Ž
        else if (b == 0x9F)
            lower = 0xFF;  // Ÿ
        out += static_cast<char>(lower);
    }
    return out;
}

}  // namespace vondrel::testing
