#include "support/RandomGames.h"

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "support/GameBuilder.h"
#include "support/Oracle.h"

namespace vondrel::testing {
namespace {

using build::FamilySpec;
using build::GameSpec;
using build::PersonKey;
using build::PersonSpec;

// File name stems (UTF-8). Several are parts of others, some are one or two letters long.
const char* const kShortStems[] = {
    "Ann",    "Anna", "Joanna", "Jo",     "A",  "An",  "Bo",    "Bob", "Bobby", "Al",    "Alma",
    "Kalman", "Mia",  "Emil",   "Emilia", "Li", "Lia", "Julia", "Ed",  "Ted",   "Teddy", "ia"};
// Letters outside ASCII, in both cases; Ł, Ğ and the CJK ones have no Windows-1252 form,
// so their files name no record (the game's file holds them as '?').
const char* const kForeignStems[] = {"Zoë",   "ÉMILE", "Ölaf",  "Åsa",      "Łukasz", "Renée",
                                     "ÆGIR",  "Šárka", "Œdipe", "Ÿvonne",   "Ñandú",  "日和",
                                     "Ørjan", "ÇAĞLA", "Dürer", "MÜLLER",   "Žofia",  "Þóra",
                                     "€uro",  "„Ab“",  "Tom™",  "x\u0090y", "ƒ•†—"};
const char* const kExtensions[] = {".iff", ".IFF", ".Iff", ".iFf"};
// First names as the game stores them (Windows-1252 bytes).
const char* const kOddFirstNames[] = {"",       "Zo\xEB", "Doe, Jr", "\xC9mile", "X", "\x8A\x61rka",
                                      "O'Neil", "a b c",  "\xFF\xFE"};

// Where a neighbour record holds the values the loader tests, and its other fields.
constexpr std::size_t kValueFields[] = {22, 24, 28, 30, 32,  36,  38,  40,
                                        42, 48, 52, 54, 130, 132, 144, 152};
constexpr std::size_t kStructureFields[] = {154, 178, 184, 188, 192, 196, 200,
                                            204, 208, 212, 216, 220, 228, 232};

std::string recordNameOfStem(const std::string& stem) {
    return literalCp1252Lower(literalCp1252(stem).value_or(std::string(stem.size(), '?')));
}

void put16(Bytes& b, std::size_t at, std::int16_t v) {
    if (at + 2 > b.size())
        return;
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8);
}

void append(Bytes& b, std::initializer_list<std::uint8_t> bytes) {
    b.insert(b.end(), bytes.begin(), bytes.end());
}

class Generator {
  public:
    explicit Generator(std::uint32_t seed) : rng_(seed) {}
    RandomFolder run();

  private:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    std::size_t index(std::size_t size) {
        return static_cast<std::size_t>(uniform(0, static_cast<int>(size) - 1));
    }
    bool chance(int percent) { return uniform(0, 99) < percent; }
    template <typename T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[index(N)];
    }
    std::int16_t anyInt16() { return static_cast<std::int16_t>(uniform(-32768, 32767)); }
    void note(std::string text) { out_.notes.push_back(std::move(text)); }

    GameSpec baseGame();
    void rename(GameSpec& g);
    void prefixNames(GameSpec& g);
    void shape(GameSpec& g);
    void damageGame(GameSpec& g);
    void damageCharacters();
    void damageNeighborhood(build::BuiltGame& built, const GameSpec& g);
    void addTailRecord(GameSpec& g);
    void appendTail(build::BuiltGame& built, const GameSpec& g);
    bool checkWellFormed(const Bytes& nb, const build::Layout& layout, const GameSpec& g) const;

    std::mt19937 rng_;
    RandomFolder out_;
    bool damaged_ = false;
    // Persons whose record goes at the very end of the file, cut inside its relationships.
    std::vector<PersonSpec> tailRecords_;
    bool tailFamily_ = false;
    bool tailNameMarker_ = false;
    std::string keylessFile_;
    // Record names too long for the builder, with the id to plant after them.
    std::vector<std::pair<std::string, std::int16_t>> longNames_;
};

GameSpec Generator::baseGame() {
    const int persons = chance(2)    ? 0
                        : chance(1)  ? uniform(60, 300)
                        : chance(60) ? uniform(1, 8)
                                     : uniform(9, 30);
    GameSpec g = build::randomGame(rng_, persons);
    if (chance(25))
        g.fillerBetween = static_cast<std::size_t>(uniform(0, 12));
    note(std::to_string(persons) + " persons, " + std::to_string(g.families.size()) +
         " families, filler " + std::to_string(g.fillerBetween));
    return g;
}

// File names in other letter cases, with letters outside ASCII and, in a damaged folder,
// names that are one or two letters long or parts of each other.
void Generator::rename(GameSpec& g) {
    std::set<std::string> used;
    for (PersonSpec& p : g.persons) {
        if (!chance(60)) {
            used.insert(recordNameFor(p));
            continue;
        }
        if (damaged_ && chance(3)) {
            // A name longer than a record's name field: it runs into its own values.
            std::string stem(static_cast<std::size_t>(uniform(23, 250)), 'a');
            for (char& c : stem)
                c = static_cast<char>((chance(20) ? 'A' : 'a') + uniform(0, 2));
            p.fileName = stem + pick(kExtensions);
            p.inNeighborhood = false;
            longNames_.push_back({recordNameOfStem(stem), p.id});
            note("file of " + std::to_string(stem.size()) + " letters");
            continue;
        }
        std::string stem = damaged_ && chance(50) ? pick(kShortStems) : pick(kForeignStems);
        if (chance(50)) {
            for (char& c : stem) {
                if (c >= 'a' && c <= 'z' && chance(40))
                    c = static_cast<char>(c - 'a' + 'A');
            }
        }
        const std::string record = recordNameOfStem(stem);
        if (!damaged_ && used.count(record))
            continue;
        used.insert(record);
        p.fileName = stem + pick(kExtensions);
        p.recordName = record;
        note("file " + p.fileName);
    }
}

// Two record names of which the later one is the start of the earlier one, as "user1" after
// "user10": the later one's own record follows its name with a NUL, the earlier one does not.
void Generator::prefixNames(GameSpec& g) {
    if (g.persons.size() < 2)
        return;
    const std::size_t later = 1 + index(g.persons.size() - 1);
    const std::size_t earlier = index(later);
    const std::string stem = "user" + std::to_string(uniform(1, 9));
    const std::string longer = stem + std::to_string(uniform(0, 9));
    g.persons[earlier].fileName = longer + pick(kExtensions);
    g.persons[earlier].recordName = longer;
    g.persons[later].fileName = stem + pick(kExtensions);
    g.persons[later].recordName = stem;
    note("names " + g.persons[earlier].fileName + " before " + g.persons[later].fileName);
}

// Variety that the game itself can produce.
void Generator::shape(GameSpec& g) {
    for (PersonSpec& p : g.persons) {
        if (chance(15))
            p.portrait.reset();
        if (chance(8))
            p.firstName = pick(kOddFirstNames);
        if (chance(3))
            p.firstName = std::string(79, 'n');
        if (chance(10)) {
            p.ghost = 1;
            p.lingerHouse = static_cast<std::int16_t>(uniform(0, 10));
        }
        if (chance(10))
            p.sex = anyInt16();
        if (chance(10)) {
            // A value at the edge of what loads, or a negative one, which loads too.
            switch (uniform(0, 5)) {
                case 0:
                    p.neat = 1000;
                    break;
                case 1:
                    p.logic = -32768;
                    break;
                case 2:
                    p.jobTrack = -1;
                    break;
                case 3:
                    p.jobLevel = 9;
                    break;
                case 4:
                    p.jobPerformance = 100;
                    break;
                default:
                    p.lingerHouse = 10;
                    break;
            }
        }
    }
    for (std::size_t i = 0; i < g.families.size(); ++i) {
        FamilySpec& f = g.families[i];
        if (chance(8)) {
            f.nameMarker = false;
            note("family " + std::to_string(i) + " without name marker");
        }
        if (chance(5)) {
            f.name.clear();
            note("family " + std::to_string(i) + " with empty name");
        }
        if (chance(8))
            f.house = static_cast<std::int16_t>(uniform(-5, 10));
        if (chance(8))
            f.money = chance(50) ? uniform(-1000, -1) : 2147483647;
        if (chance(15) && !f.members.empty()) {
            // Shift the member list by a few bytes so that keys straddle member slots.
            Bytes raw;
            const int shift = uniform(1, 3);
            for (int s = 0; s < shift; ++s)
                raw.push_back(static_cast<std::uint8_t>(uniform(0, 255)));
            for (const PersonKey& k : f.members)
                raw.insert(raw.end(), k.begin(), k.end());
            raw.resize(std::min<std::size_t>(raw.size(), 32));
            f.members.clear();
            for (std::size_t at = 0; at < raw.size(); at += 4) {
                PersonKey k{};
                for (std::size_t b = 0; b < 4 && at + b < raw.size(); ++b)
                    k[b] = raw[at + b];
                f.members.push_back(k);
            }
            note("family " + std::to_string(i) + " keys shifted by " + std::to_string(shift));
        }
        if (chance(15) && !f.members.empty() && f.members.size() < 8) {
            // A full member list with the family's own keys last, up against the end of the
            // window.
            std::vector<PersonKey> full;
            while (full.size() + f.members.size() < 8) {
                PersonKey k;
                for (auto& b : k)
                    b = static_cast<std::uint8_t>(uniform(0, 255));
                full.push_back(k);
            }
            full.insert(full.end(), f.members.begin(), f.members.end());
            f.members = full;
            note("family " + std::to_string(i) + " with a full member list");
        }
        if (chance(10) && !g.persons.empty() && f.members.size() < 8) {
            // A key in two families: the first in the file wins.
            f.members.push_back(g.persons[index(g.persons.size())].key);
            note("family " + std::to_string(i) + " shares a key");
        }
    }
}

void Generator::damageGame(GameSpec& g) {
    // Relationship lists the game would not write, spread over the persons.
    for (PersonSpec& p : g.persons) {
        if (p.relations.empty() || !chance(20))
            continue;
        const auto size = static_cast<std::int16_t>(p.relations.size());
        switch (uniform(0, 3)) {
            case 0:
                // Fewer than the list holds: the count ends the walk.
                p.relationCount = static_cast<std::int16_t>(uniform(1, std::max(1, size - 1)));
                break;
            case 1:
                p.relations[index(p.relations.size())].valueCount =
                    static_cast<std::int16_t>(chance(50) ? 1 : uniform(-2, 5));
                break;
            case 2:
                p.relations[index(p.relations.size())].otherId = static_cast<std::int16_t>(
                    chance(50) ? uniform(501, 32767) : uniform(-32768, -1));
                break;
            default:
                p.relationCount = static_cast<std::int16_t>(chance(50) ? uniform(-32768, 0)
                                                                       : uniform(size, 32767));
                break;
        }
        note(p.fileName + ": relationship list changed");
    }

    PersonSpec spare;
    const int kinds = uniform(1, 6);
    for (int k = 0; k < kinds; ++k) {
        const int what = uniform(0, 16);
        // Most kinds change a person; a game without persons only gets the others.
        if (g.persons.empty() && what < 14)
            continue;
        PersonSpec& p = g.persons.empty() ? spare : g.persons[index(g.persons.size())];
        switch (what) {
            case 0: {
                const std::int16_t bad = chance(50) ? anyInt16() : static_cast<std::int16_t>(1001);
                std::int16_t* fields[] = {&p.neat, &p.outgoing, &p.active,     &p.playful,
                                          &p.nice, &p.cooking,  &p.mechanical, &p.charisma,
                                          &p.body, &p.logic,    &p.creativity, &p.cleaning};
                *fields[index(std::size(fields))] = bad;
                note(p.fileName + ": a personality or skill value of " + std::to_string(bad));
                break;
            }
            case 1: {
                switch (uniform(0, 5)) {
                    case 0:
                        p.jobTrack = static_cast<std::int16_t>(chance(50) ? -2 : 11);
                        break;
                    case 1:
                        p.jobLevel = 10;
                        break;
                    case 2:
                        p.jobPerformance = 101;
                        break;
                    case 3:
                        p.lingerHouse = static_cast<std::int16_t>(chance(50) ? -1 : 11);
                        break;
                    default:
                        p.jobTrack = anyInt16();
                        break;
                }
                note(p.fileName + ": a job or linger value out of range");
                break;
            }
            case 2:
                p.ghost = static_cast<std::int16_t>(chance(50) ? 2 : chance(50) ? -1 : 256);
                note(p.fileName + ": ghost flag " + std::to_string(p.ghost));
                break;
            case 3: {
                const std::int16_t ids[] = {-1, 501, 32767, -32768, 500, 0};
                p.id = pick(ids);
                note(p.fileName + ": id " + std::to_string(p.id));
                break;
            }
            case 4:
                p.id = g.persons[index(g.persons.size())].id;
                note(p.fileName + ": shares id " + std::to_string(p.id));
                break;
            case 5:
                p.omitAnchor = true;
                note(p.fileName + ": no OBJD");
                break;
            case 6:
                p.inNeighborhood = false;
                note(p.fileName + ": no neighbour record");
                break;
            case 7: {
                const auto size = static_cast<std::int16_t>(p.relations.size());
                const std::int16_t counts[] = {0,
                                               1,
                                               -1,
                                               -3,
                                               32767,
                                               -32768,
                                               static_cast<std::int16_t>(size + 2),
                                               static_cast<std::int16_t>(size - 1),
                                               static_cast<std::int16_t>(size / 2),
                                               static_cast<std::int16_t>(size - 1)};
                p.relationCount = pick(counts);
                note(p.fileName + ": relationship count " + std::to_string(*p.relationCount));
                break;
            }
            case 8:
                if (!p.relations.empty()) {
                    const std::int16_t counts[] = {0, 1, 3, -1, 4};
                    p.relations[index(p.relations.size())].valueCount = pick(counts);
                    note(p.fileName + ": an entry with another value count");
                }
                break;
            case 9:
                if (!p.relations.empty()) {
                    const std::int16_t ids[] = {-1, 501, 32767, -32768};
                    p.relations[index(p.relations.size())].otherId = pick(ids);
                    note(p.fileName + ": an entry naming no slot");
                }
                break;
            case 10: {
                const std::int16_t flags[] = {0, 1, -2, -1};
                p.relationFlag = pick(flags);
                note(p.fileName + ": relationship flag " + std::to_string(*p.relationFlag));
                break;
            }
            case 11: {
                // Names that are parts of each other, in either order.
                const char* const pairs[][2] = {
                    {"Ann", "Joanna"}, {"Jo", "Joanna"},   {"A", "Alma"},  {"Bo", "Bobby"},
                    {"Li", "Lia"},     {"Emil", "Emilia"}, {"ia", "Julia"}};
                const auto& pair = pairs[index(std::size(pairs))];
                PersonSpec& q = g.persons[index(g.persons.size())];
                const bool swap = chance(50);
                p.fileName = std::string(pair[swap ? 1 : 0]) + ".iff";
                p.recordName = recordNameOfStem(pair[swap ? 1 : 0]);
                q.fileName = std::string(pair[swap ? 0 : 1]) + ".IFF";
                q.recordName = recordNameOfStem(pair[swap ? 0 : 1]);
                note("names " + p.fileName + " and " + q.fileName);
                break;
            }
            case 12:
                // The record holds the name in another form than the loader looks for.
                p.recordName = chance(50) ? std::string("X") + recordNameFor(p) : "UPPER";
                note(p.fileName + ": record under another name");
                break;
            case 13:
                p.fileName = chance(50) ? ".iff" : "ab";
                p.recordName.clear();
                note("a file named " + p.fileName);
                break;
            case 14:
                if (!g.families.empty()) {
                    FamilySpec& f = g.families[index(g.families.size())];
                    f.house = static_cast<std::int16_t>(chance(50) ? 11 : uniform(12, 32767));
                    note("a family in house " + std::to_string(f.house));
                }
                break;
            case 15:
                addTailRecord(g);
                break;
            default:
                tailFamily_ = tailFamily_ || chance(50);
                tailNameMarker_ = true;
                if (!g.families.empty())
                    g.families.back().nameMarker = chance(30);
                note("family markers at the end of the file");
                break;
        }
    }
    if (chance(15))
        addTailRecord(g);
    if (chance(4) && !g.persons.empty()) {
        // A person without key: the first family whose member window holds any byte is
        // theirs, and a family record cut off before its window does not count.
        keylessFile_ = g.persons[index(g.persons.size())].fileName;
        tailFamily_ = true;
        if (chance(50))
            g.families.clear();
        note(keylessFile_ + ": no key, " + std::to_string(g.families.size()) + " families");
    }
    if (chance(10)) {
        tailFamily_ = true;
        note("a family record at the end of the file");
    }
    if (chance(10)) {
        tailNameMarker_ = true;
        if (!g.families.empty() && chance(50))
            g.families.back().nameMarker = false;
        note("a family name marker at the end of the file");
    }
}

// A person whose record ends the file, cut inside its relationship list.
void Generator::addTailRecord(GameSpec& g) {
    PersonSpec t;
    t.fileName = "tail" + std::to_string(tailRecords_.size()) + ".iff";
    t.firstName = "Tail";
    t.key = {0x7E, static_cast<std::uint8_t>(tailRecords_.size()), 0x7E, 0x7E};
    t.id = static_cast<std::int16_t>(uniform(0, 500));
    const int entries = uniform(1, 6);
    for (int e = 0; e < entries; ++e) {
        t.relations.push_back({static_cast<std::int16_t>(uniform(0, 500)),
                               static_cast<std::int16_t>(uniform(-100, 100)), chance(50),
                               static_cast<std::int16_t>(chance(80) ? 2 : 1)});
    }
    if (chance(40)) {
        const std::int16_t counts[] = {0, -1, 32767, 2};
        t.relationCount = pick(counts);
    }
    tailRecords_.push_back(t);
    t.inNeighborhood = false;
    g.persons.push_back(t);
    note("a record at the end of the file");
}

void Generator::damageCharacters() {
    for (CharacterSource& file : out_.files) {
        if (file.fileName != keylessFile_ || !file.bytes)
            continue;
        const std::size_t anchor = findBytes(*file.bytes, asBytes("OBJD"));
        if (anchor != kNoMatch)
            file.bytes->resize(std::min(file.bytes->size(), anchor + 104));
    }
    const int kinds = uniform(0, 4);
    for (int k = 0; k < kinds && !out_.files.empty(); ++k) {
        CharacterSource& file = out_.files[index(out_.files.size())];
        if (!file.bytes)
            continue;
        Bytes& b = *file.bytes;
        const std::size_t anchor = findBytes(b, asBytes("OBJD"));
        const std::size_t header = findBytes(b, asBytes("BMP_"));
        const auto cut = [&](std::size_t size) { b.resize(std::min(b.size(), size)); };
        switch (uniform(0, 9)) {
            case 0:
                file.bytes.reset();
                note(file.fileName + ": unreadable");
                break;
            case 1:
                if (anchor != kNoMatch) {
                    b[anchor + static_cast<std::size_t>(uniform(0, 3))] ^= 0x20;
                    note(file.fileName + ": OBJD spelt otherwise");
                }
                break;
            case 2:
                if (anchor != kNoMatch) {
                    // The name runs to the end of the file.
                    if (chance(50))
                        cut(anchor + 24 + static_cast<std::size_t>(uniform(0, 3)));
                    std::fill(
                        b.begin() + static_cast<std::ptrdiff_t>(std::min(b.size(), anchor + 24)),
                        b.end(), 'z');
                    note(file.fileName + ": name without NUL");
                }
                break;
            case 3:
                if (anchor != kNoMatch) {
                    cut(anchor + 104 + static_cast<std::size_t>(uniform(0, 3)));
                    note(file.fileName + ": key cut to " + std::to_string(b.size() - anchor - 104) +
                         " bytes");
                }
                break;
            case 4:
                cut(index(b.size() + 1));
                note(file.fileName + ": cut to " + std::to_string(b.size()) + " bytes");
                break;
            case 5:
                if (header != kNoMatch) {
                    cut(header +
                        static_cast<std::size_t>(chance(50) ? uniform(0, 80) : uniform(80, 2000)));
                    note(file.fileName + ": portrait cut at " + std::to_string(b.size()));
                }
                break;
            case 6: {
                const int flips = uniform(1, 4);
                for (int f = 0; f < flips && !b.empty(); ++f) {
                    b[index(b.size())] ^= static_cast<std::uint8_t>(uniform(1, 255));
                }
                note(file.fileName + ": bytes flipped");
                break;
            }
            case 7:
                if (b.size() >= 12) {
                    // An earlier anchor: name and key come from the wrong place.
                    std::copy_n("OBJD", 4, b.begin() + static_cast<std::ptrdiff_t>(uniform(0, 8)));
                    note(file.fileName + ": an early OBJD");
                }
                break;
            case 8: {
                // The portrait block before the anchor is not looked at.
                if (header != kNoMatch && anchor != kNoMatch && header > anchor) {
                    Bytes moved(b.begin() + static_cast<std::ptrdiff_t>(header), b.end());
                    moved.insert(moved.end(), b.begin(),
                                 b.begin() + static_cast<std::ptrdiff_t>(header));
                    b = moved;
                    note(file.fileName + ": portrait before the anchor");
                }
                break;
            }
            default:
                b = chance(50) ? Bytes{} : Bytes{'O', 'B', 'J', 'D'};
                note(file.fileName + ": nearly empty");
                break;
        }
    }
}

void Generator::appendTail(build::BuiltGame& built, const GameSpec& g) {
    Bytes& nb = built.neighborhood;
    std::vector<int> order;
    for (std::size_t t = 0; t < tailRecords_.size(); ++t)
        order.push_back(static_cast<int>(t));
    if (tailFamily_)
        order.push_back(-1);
    if (tailNameMarker_)
        order.push_back(-2);
    for (std::size_t n = 0; n < longNames_.size(); ++n)
        order.push_back(-3 - static_cast<int>(n));
    std::shuffle(order.begin(), order.end(), rng_);
    for (const int item : order) {
        if (item >= 0) {
            GameSpec single;
            single.persons = {tailRecords_[static_cast<std::size_t>(item)]};
            single.fillerBetween = 0;
            const Bytes alone = build::neighborhoodBytes(single);
            Bytes record(alone.begin() + 32, alone.end());
            // Keep every fixed field, cut somewhere in the relationship list.
            record.resize(194 + index(record.size() - 194 + 1));
            nb.insert(nb.end(), record.begin(), record.end());
        } else if (item <= -3) {
            const auto& [name, id] = longNames_[static_cast<std::size_t>(-3 - item)];
            Bytes record(std::max<std::size_t>(name.size(), 200), 0);
            std::copy(name.begin(), name.end(), record.begin());
            if (name.size() <= 178)
                put16(record, 178, id);
            nb.insert(nb.end(), record.begin(), record.end());
        } else if (item == -1) {
            // A family record at the very end; its member window is short or missing.
            append(nb, {'I', 'M', 'A', 'F'});
            const std::size_t rest = index(70);
            Bytes tail(rest, 0);
            if (!g.persons.empty() && rest > 32) {
                const PersonKey& key = g.persons[index(g.persons.size())].key;
                const std::size_t at = 28 + index(rest - 28);
                for (std::size_t b = 0; b < 4 && at + b < rest; ++b)
                    tail[at + b] = key[b];
            }
            if (rest > 2)
                put16(tail, 0, static_cast<std::int16_t>(uniform(0, 12)));
            if (chance(40)) {
                // A name of its own that fits before where the window would start.
                const std::size_t at = 2 + index(11);
                const Bytes named = {0xFD, 0xFF, 0x01, 0x00, 3, 'E', 'n', 'd'};
                tail.resize(std::max(tail.size(), at + named.size() + 1), 0);
                std::copy(named.begin(), named.end(),
                          tail.begin() + static_cast<std::ptrdiff_t>(at));
                tail[at + named.size()] = 0;
            }
            nb.insert(nb.end(), tail.begin(), tail.end());
        } else {
            append(nb, {0xFD, 0xFF, 0x01, 0x00});
            switch (uniform(0, 2)) {
                case 0:
                    break;  // nothing after the marker
                case 1:
                    nb.push_back(3);
                    break;
                default:
                    append(nb, {4, 'T', 'a', 'i', 'l'});
                    break;  // no NUL before the end
            }
        }
    }
}

void Generator::damageNeighborhood(build::BuiltGame& built, const GameSpec& g) {
    Bytes& nb = built.neighborhood;
    // The tail goes on before or after the other damage, which may cut it off again.
    const bool tailFirst = chance(50);
    if (tailFirst)
        appendTail(built, g);
    const int kinds = uniform(0, 4);
    for (int k = 0; k < kinds && !nb.empty(); ++k) {
        switch (uniform(0, 6)) {
            case 0: {
                const int flips = uniform(1, 8);
                for (int f = 0; f < flips; ++f)
                    nb[index(nb.size())] ^= static_cast<std::uint8_t>(uniform(1, 255));
                note("neighbourhood: " + std::to_string(flips) + " bytes flipped");
                break;
            }
            case 1: {
                if (built.layout.recordOffset.empty())
                    break;
                auto it = built.layout.recordOffset.begin();
                std::advance(it, static_cast<long>(index(built.layout.recordOffset.size())));
                const std::size_t at =
                    it->second + (chance(30) ? pick(kValueFields) : pick(kStructureFields));
                const std::int16_t values[] = {0, 1, 2, -1, 3, 501, 32767, -32768};
                put16(nb, at, chance(60) ? pick(values) : anyInt16());
                note("neighbourhood: record " + it->first + " field at +" +
                     std::to_string(at - it->second));
                break;
            }
            case 2: {
                std::size_t size = index(nb.size() + 1);
                if (chance(60) && !built.layout.recordOffset.empty()) {
                    auto it = built.layout.recordOffset.begin();
                    std::advance(it, static_cast<long>(index(built.layout.recordOffset.size())));
                    size = it->second + static_cast<std::size_t>(uniform(150, 300));
                } else if (chance(50) && !built.layout.familyOffset.empty()) {
                    size = built.layout.familyOffset[index(built.layout.familyOffset.size())] +
                           static_cast<std::size_t>(uniform(0, 80));
                }
                nb.resize(std::min(nb.size(), size));
                note("neighbourhood cut to " + std::to_string(nb.size()) + " bytes");
                break;
            }
            case 3:
                if (!built.layout.familyOffset.empty()) {
                    const std::size_t f =
                        built.layout.familyOffset[index(built.layout.familyOffset.size())];
                    const std::size_t at = f + index(80);
                    if (at < nb.size())
                        nb[at] ^= static_cast<std::uint8_t>(uniform(1, 255));
                    note("neighbourhood: family byte +" + std::to_string(at - f) + " changed");
                }
                break;
            case 4:
                if (!g.persons.empty() && nb.size() > 32) {
                    // The record name also occurs in the file's header, before its record.
                    const std::string name = recordNameFor(g.persons[index(g.persons.size())]);
                    if (!name.empty() && name.size() <= 20) {
                        std::copy(
                            name.begin(), name.end(),
                            nb.begin() + 8 + static_cast<std::ptrdiff_t>(index(24 - name.size())));
                        note("neighbourhood: a record name also in the header");
                    }
                }
                break;
            case 5:
                if (!g.persons.empty()) {
                    // A record name right at the end of the file, whole or cut short.
                    std::string name = recordNameFor(g.persons[index(g.persons.size())]);
                    if (chance(50) && !name.empty())
                        name.pop_back();
                    nb.insert(nb.end(), name.begin(), name.end());
                    note("neighbourhood ends in a record name");
                }
                break;
            default:
                if (!g.persons.empty()) {
                    // A stray copy of a key outside any member list, or inside another one.
                    const PersonKey& key = g.persons[index(g.persons.size())].key;
                    const std::size_t at = index(nb.size());
                    for (std::size_t b = 0; b < 4 && at + b < nb.size(); ++b)
                        nb[at + b] = key[b];
                    note("neighbourhood: a key copied to " + std::to_string(at));
                }
                break;
        }
    }
    if (!tailFirst)
        appendTail(built, g);
}

bool Generator::checkWellFormed(const Bytes& nb, const build::Layout& layout,
                                const GameSpec& g) const {
    std::set<std::string> names;
    for (const PersonSpec& p : g.persons) {
        const std::string name = recordNameFor(p);
        if (!names.insert(name).second)
            return false;
        const auto at = layout.recordOffset.find(name);
        if (at == layout.recordOffset.end())
            return false;
        const std::string terminated = name + '\0';
        if (findBytes(nb, asBytes(terminated)) != at->second)
            return false;
    }
    return true;
}

RandomFolder Generator::run() {
    damaged_ = !chance(30);
    GameSpec g = baseGame();
    if (chance(50))
        rename(g);
    if (chance(15))
        prefixNames(g);
    shape(g);
    if (damaged_)
        damageGame(g);

    build::BuiltGame built = build::build(g);
    for (const auto& [name, bytes] : built.characterFiles)
        out_.files.push_back({name, bytes});
    if (chance(30)) {
        std::shuffle(out_.files.begin(), out_.files.end(), rng_);
        note("files shuffled");
    }
    if (damaged_) {
        damageCharacters();
        damageNeighborhood(built, g);
    }
    out_.neighborhood = std::move(built.neighborhood);
    out_.wellFormed = !damaged_ && checkWellFormed(out_.neighborhood, built.layout, g);
    if (!damaged_ && !out_.wellFormed)
        note("record names occur before their records");
    return std::move(out_);
}

}  // namespace

std::string RandomFolder::describe() const {
    std::string text = wellFormed ? "well-formed" : "not well-formed";
    for (const std::string& n : notes)
        text += "; " + n;
    return text;
}

RandomFolder randomFolder(std::uint32_t seed) {
    return Generator(seed).run();
}

}  // namespace vondrel::testing
