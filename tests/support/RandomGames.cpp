#include "support/RandomGames.h"

#include <algorithm>
#include <random>
#include <set>

#include "support/GameBuilder.h"
#include "support/Oracle.h"

namespace vondrel::testing {
namespace {

using build::FamilySpec;
using build::GameSpec;
using build::PersonSpec;

// File name stems (UTF-8). First letters outside ASCII in both cases, every character of the
// code page's 0x80-0x9F row and letters the code page lacks (Ł, Ğ, CJK; their files name no
// record); then, for damaged folders, names that are parts of each other.
const char* const kStems[] = {
    "Zoë",  "ÉMILE",  "Ölaf",   "Łukasz", "Renée", "ÆGIR",   "Šárka", "Œdipe", "Ÿvonne",
    "日和", "ÇAĞLA",  "MÜLLER", "Žofia",  "Þóra",  "€uro",   "„Ab“",  "Tom™",  "x\u0090y",
    "ƒ•†—", "‚…‡ˆ‰‹", "‘’”–˜š", "›œž",    "Ann",   "Joanna", "Jo",    "Bobby", "Bo",
    "Emil", "Emilia", "Li",     "Lia",    "ia",    "Julia",  "A"};
constexpr int kForeignStems = 22;
const char* const kExtensions[] = {".iff", ".IFF", ".Iff", ".iFf"};
// First names as the game stores them (Windows-1252 bytes).
const char* const kFirstNames[] = {"", "Zo\xEB", "Doe, Jr", "\x8A\x61rka", "a b c", "\xFF\xFE"};

// The values the loader checks, with the limits that load.
struct Limits {
    std::int16_t PersonSpec::*field;
    std::int16_t lo, hi;
};
const Limits kLimits[] = {
    {&PersonSpec::neat, -32768, 1000},       {&PersonSpec::outgoing, -32768, 1000},
    {&PersonSpec::active, -32768, 1000},     {&PersonSpec::playful, -32768, 1000},
    {&PersonSpec::nice, -32768, 1000},       {&PersonSpec::cooking, -32768, 1000},
    {&PersonSpec::mechanical, -32768, 1000}, {&PersonSpec::charisma, -32768, 1000},
    {&PersonSpec::body, -32768, 1000},       {&PersonSpec::logic, -32768, 1000},
    {&PersonSpec::creativity, -32768, 1000}, {&PersonSpec::jobTrack, -1, 10},
    {&PersonSpec::jobLevel, -32768, 9},      {&PersonSpec::jobPerformance, -32768, 100},
    {&PersonSpec::cleaning, -32768, 1000},   {&PersonSpec::lingerHouse, 0, 10}};

// Where a neighbour record keeps the values the loader reads.
constexpr std::size_t kFields[] = {22,  24,  28,  30,  32,  36,  38,  40,  42,  48,
                                   52,  54,  130, 132, 144, 152, 154, 178, 184, 188,
                                   192, 196, 200, 204, 208, 212, 216, 220, 228, 232};

std::size_t search(const Bytes& b, std::string_view pattern) {
    return static_cast<std::size_t>(
        std::search(b.begin(), b.end(), pattern.begin(), pattern.end()) - b.begin());
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
    template <typename T>
    T& pick(std::vector<T>& items) {
        return items[index(items.size())];
    }
    template <typename T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[index(N)];
    }
    std::int16_t any16() { return static_cast<std::int16_t>(uniform(-32768, 32767)); }

    void vary(GameSpec& g);
    void damage(GameSpec& g);
    void damageFile(Bytes& b);
    void damageNeighborhood(Bytes& nb, const build::Layout& layout, const GameSpec& g);
    void appendTail(Bytes& nb, const GameSpec& g);

    std::mt19937 rng_;
    bool damaged_ = false;
    std::vector<PersonSpec> tailRecords_;  // records cut inside their relationships at the end
    std::vector<std::pair<std::string, std::int16_t>> longNames_;  // too long for a record
    int tailFamilies_ = 0, tailMarkers_ = 0;
    std::set<std::size_t> keyless_;  // persons whose file ends before the key
};

// Variety the game itself produces: other file names, missing portraits, odd first names,
// values at the edge of what loads, families without name, shifted or shared member lists.
void Generator::vary(GameSpec& g) {
    std::set<std::string> used;
    const bool rename = chance(50);
    for (PersonSpec& p : g.persons) {
        if (rename && chance(60)) {
            std::string stem =
                kStems[uniform(0, damaged_ ? int(std::size(kStems)) - 1 : kForeignStems - 1)];
            for (char& c : stem)
                c = c >= 'a' && c <= 'z' && chance(20) ? static_cast<char>(c - 32) : c;
            const std::string record =
                literalCp1252Lower(literalCp1252(stem).value_or(std::string(stem.size(), '?')));
            if (damaged_ || used.insert(record).second) {
                p.fileName = stem + pick(kExtensions);
                p.recordName = record;
            }
        }
        used.insert(recordNameFor(p));
        if (chance(15))
            p.portrait.reset();
        if (chance(8))
            p.firstName = chance(80) ? pick(kFirstNames) : std::string(79, 'n');
        if (chance(10)) {
            p.ghost = 1;
            p.lingerHouse = static_cast<std::int16_t>(uniform(0, 10));
        }
        if (chance(10))
            p.sex = any16();
        if (chance(10)) {
            const Limits& l = pick(kLimits);
            p.*l.field = chance(50) ? l.lo : l.hi;
        }
    }
    if (g.persons.size() >= 2 && chance(15)) {
        // "user1" after "user10": only the later one follows its name with a NUL.
        const std::size_t later = 1 + index(g.persons.size() - 1), earlier = index(later);
        const std::string stem = "user" + std::to_string(uniform(1, 9));
        g.persons[earlier].recordName = stem + std::to_string(uniform(0, 9));
        g.persons[earlier].fileName = g.persons[earlier].recordName + pick(kExtensions);
        g.persons[later].recordName = stem;
        g.persons[later].fileName = stem + pick(kExtensions);
    }
    for (FamilySpec& f : g.families) {
        f.nameMarker = !chance(8);
        if (chance(5))
            f.name.clear();
        if (chance(8))
            f.house = static_cast<std::int16_t>(uniform(-5, 10));
        if (chance(8))
            f.money = chance(50) ? uniform(-1000, -1) : 2147483647;
        if (chance(15) && !f.members.empty()) {
            // Keys shifted by a few bytes, straddling member slots.
            Bytes raw(static_cast<std::size_t>(uniform(1, 3)), 0x33);
            for (const auto& k : f.members)
                raw.insert(raw.end(), k.begin(), k.end());
            raw.resize(std::min<std::size_t>((raw.size() + 3) / 4 * 4, 32), 0);
            f.members.resize(raw.size() / 4);
            for (std::size_t m = 0; m < f.members.size(); ++m)
                std::copy_n(raw.begin() + static_cast<long>(4 * m), 4, f.members[m].begin());
        }
        if (chance(15) && f.members.size() < 8)
            f.members.insert(f.members.begin(), 8 - f.members.size(), {9, 8, 7, 6});  // full list
        if (chance(10) && !g.persons.empty() && f.members.size() < 8)
            f.members.push_back(pick(g.persons).key);  // a key in two families: the first wins
    }
}

// Records and families the game would not write.
void Generator::damage(GameSpec& g) {
    for (int k = uniform(1, 8); k > 0; --k) {
        const int what = uniform(0, 12);
        if (g.persons.empty()) {
            tailFamilies_ += what < 6;
            tailMarkers_ += what >= 6;
            continue;
        }
        const std::size_t n = index(g.persons.size());
        PersonSpec& p = g.persons[n];
        switch (what) {
            case 0: {  // a value just outside its limits, or anything
                const Limits& l = pick(kLimits);
                p.*l.field = chance(30) ? any16() : chance(50) ? l.hi + 1 : l.lo - 1;
                break;
            }
            case 1:
                p.ghost = static_cast<std::int16_t>(chance(50) ? 2 : chance(50) ? -1 : 256);
                break;
            case 2:
                p.id = chance(50) ? pick(g.persons).id : pick({-1, 501, 32767, -32768, 500, 0});
                break;
            case 3:
                if (chance(50))
                    p.omitAnchor = true;  // a file to turn away
                else
                    p.inNeighborhood = false;  // a person without record
                break;
            case 4:  // a relationship list the game would not write
                p.relationFlag = chance(60) ? -1 : pick({0, 1, -2});
                if (chance(50))
                    p.relationCount =
                        static_cast<std::int16_t>(chance(50) ? uniform(-3, 8) : any16());
                for (auto& r : p.relations) {
                    if (chance(30))
                        r.valueCount = pick({0, 1, 3, -1});
                    else if (chance(30))
                        r.otherId = pick({-1, 501, 32767, -32768});
                }
                break;
            case 5: {  // names that are parts of each other, in either order
                PersonSpec& q = pick(g.persons);
                const int s = uniform(kForeignStems, int(std::size(kStems)) - 2);
                p.recordName = literalCp1252Lower(kStems[s]);
                p.fileName = std::string(kStems[s]) + ".iff";
                q.recordName = literalCp1252Lower(kStems[s + 1]);
                q.fileName = std::string(kStems[s + 1]) + ".IFF";
                break;
            }
            case 6:  // the record holds another name than the loader looks for
                p.recordName = chance(50) ? "X" + recordNameFor(p) : "UPPER";
                break;
            case 7:
                p.fileName = chance(50) ? ".iff" : "ab";
                p.recordName.clear();
                break;
            case 8:
                if (!g.families.empty())
                    pick(g.families).house =
                        static_cast<std::int16_t>(chance(50) ? 11 : uniform(12, 32767));
                break;
            case 9: {  // a file name longer than a record's name field, run into its values
                std::string stem(static_cast<std::size_t>(uniform(23, 250)), 'a');
                for (char& c : stem)
                    c = static_cast<char>((chance(20) ? 'A' : 'a') + uniform(0, 2));
                p.fileName = stem + pick(kExtensions);
                p.inNeighborhood = false;
                p.recordName.clear();
                longNames_.push_back({literalCp1252Lower(stem), p.id});
                break;
            }
            case 10: {  // a record ending the file, cut inside its relationships
                PersonSpec t;
                t.fileName = "tail" + std::to_string(tailRecords_.size()) + ".iff";
                t.firstName = "Tail";
                t.key = {0x7E, static_cast<std::uint8_t>(tailRecords_.size()), 0x7E, 0x7E};
                t.id = static_cast<std::int16_t>(uniform(0, 500));
                for (int e = uniform(1, 6); e > 0; --e)
                    t.relations.push_back({static_cast<std::int16_t>(uniform(0, 500)), 7,
                                           chance(50),
                                           static_cast<std::int16_t>(chance(80) ? 2 : 1)});
                if (chance(40))
                    t.relationCount = pick({0, -1, 32767, 2});
                tailRecords_.push_back(t);
                t.inNeighborhood = false;
                g.persons.push_back(t);
                break;
            }
            case 11:  // a person without key: the first member list holding any byte is theirs
                keyless_.insert(n);
                if (chance(50))
                    g.families.clear();
                ++tailFamilies_;
                break;
            default:
                ++(chance(50) ? tailFamilies_ : tailMarkers_);
                if (!g.families.empty())
                    g.families.back().nameMarker = chance(30);
                break;
        }
    }
}

void Generator::damageFile(Bytes& b) {
    const std::size_t anchor = search(b, "OBJD");
    const std::size_t header = search(b, "BMP_");
    const auto cut = [&](std::size_t size) { b.resize(std::min(b.size(), size)); };
    switch (uniform(0, 7)) {
        case 0: {  // cut anywhere, in the first name, in the key or in the portrait
            const std::size_t at[] = {index(b.size() + 1), anchor + 20 + index(12),
                                      anchor + 104 + index(4), header + index(2100)};
            cut(pick(at));
            break;
        }
        case 1:
            if (anchor < b.size())
                b[anchor + static_cast<std::size_t>(uniform(0, 3))] ^=
                    0x20;  // OBJD spelt otherwise
            break;
        case 2:
            if (anchor < b.size()) {  // a first name of about 255 bytes, or one without NUL
                const std::size_t length = 253 + index(5);
                b.resize(std::max(b.size(), anchor + 24 + length + 1), 0);
                b[anchor + 24 + length] = 0;
                std::fill(
                    b.begin() + static_cast<long>(anchor + 24),
                    chance(30) ? b.end() : b.begin() + static_cast<long>(anchor + 24 + length),
                    'z');
            }
            break;
        case 3:
            for (int f = uniform(1, 4); f > 0 && !b.empty(); --f)
                b[index(b.size())] ^= static_cast<std::uint8_t>(uniform(1, 255));
            break;
        case 4:
            if (b.size() >= 12)  // an earlier anchor: name and key come from the wrong place
                std::copy_n("OBJD", 4, b.begin() + uniform(0, 8));
            break;
        case 5:
            if (header < b.size() && anchor < header)  // the portrait before the anchor
                std::rotate(b.begin(), b.begin() + static_cast<long>(header), b.end());
            break;
        default:
            b = chance(50) ? Bytes{} : Bytes{'O', 'B', 'J', 'D'};
            break;
    }
}

void Generator::damageNeighborhood(Bytes& nb, const build::Layout& layout, const GameSpec& g) {
    std::vector<std::size_t> records;
    for (const auto& [name, offset] : layout.recordOffset)
        records.push_back(offset);
    for (int k = uniform(0, 4); k > 0 && !nb.empty(); --k) {
        switch (uniform(0, 4)) {
            case 0:
                for (int f = uniform(1, 8); f > 0; --f)
                    nb[index(nb.size())] ^= static_cast<std::uint8_t>(uniform(1, 255));
                break;
            case 1: {  // a telling value in a record's fields or a family's
                std::size_t at = index(nb.size());
                if (!records.empty() && chance(70))
                    at = pick(records) + pick(kFields);
                else if (!layout.familyOffset.empty())
                    at = layout.familyOffset[index(layout.familyOffset.size())] + index(80);
                if (at + 2 <= nb.size()) {
                    const std::int16_t v =
                        chance(60) ? pick({0, 1, 2, -1, 3, 11, 501, 32767, -32768}) : any16();
                    nb[at] = static_cast<std::uint8_t>(v);
                    nb[at + 1] = static_cast<std::uint8_t>(v >> 8);
                }
                break;
            }
            case 2: {  // cut, often inside a record or a family
                std::size_t size = index(nb.size() + 1);
                if (!records.empty() && chance(60))
                    size = pick(records) + static_cast<std::size_t>(uniform(150, 300));
                else if (!layout.familyOffset.empty() && chance(50))
                    size = layout.familyOffset[index(layout.familyOffset.size())] + index(80);
                nb.resize(std::min(nb.size(), size));
                break;
            }
            case 3:
                if (!g.persons.empty()) {  // a record name in the header, or at the end cut short
                    std::string name = recordNameFor(g.persons[index(g.persons.size())]);
                    if (chance(50) && !name.empty() && name.size() <= 20 && nb.size() > 32)
                        std::copy(name.begin(), name.end(),
                                  nb.begin() + 8 + static_cast<long>(index(24 - name.size())));
                    else
                        nb.insert(nb.end(), name.begin(),
                                  name.end() - (chance(50) && !name.empty()));
                }
                break;
            default:
                if (!g.persons.empty()) {  // a stray copy of a key, in a member list or not
                    const auto& key = g.persons[index(g.persons.size())].key;
                    const std::size_t at = index(nb.size());
                    std::copy_n(key.begin(), std::min<std::size_t>(4, nb.size() - at),
                                nb.begin() + static_cast<long>(at));
                }
                break;
        }
    }
}

// The pieces that go at the very end of the file, in random order.
void Generator::appendTail(Bytes& nb, const GameSpec& g) {
    std::vector<int> order;
    for (int t = 0; t < static_cast<int>(tailRecords_.size() + longNames_.size()); ++t)
        order.push_back(t);
    order.insert(order.end(), static_cast<std::size_t>(tailFamilies_), -1);
    order.insert(order.end(), static_cast<std::size_t>(tailMarkers_), -2);
    std::shuffle(order.begin(), order.end(), rng_);
    for (const int item : order) {
        Bytes piece;
        if (item >= static_cast<int>(tailRecords_.size())) {
            const auto& [name, id] =
                longNames_[static_cast<std::size_t>(item) - tailRecords_.size()];
            piece.assign(std::max<std::size_t>(name.size(), 200), 0);
            std::copy(name.begin(), name.end(), piece.begin());
            if (name.size() <= 178) {
                piece[178] = static_cast<std::uint8_t>(id);
                piece[179] = static_cast<std::uint8_t>(id >> 8);
            }
        } else if (item >= 0) {  // every fixed field, cut somewhere in the relationship list
            GameSpec single{{tailRecords_[static_cast<std::size_t>(item)]}, {}, 0};
            piece = build::neighborhoodBytes(single);
            piece.erase(piece.begin(), piece.begin() + 32);
            piece.resize(194 + index(piece.size() - 194 + 1));
        } else if (item == -1) {  // a family whose member list is short or missing
            piece.assign(index(70), 0);
            if (!g.persons.empty() && piece.size() > 32) {
                const auto& key = g.persons[index(g.persons.size())].key;
                const std::size_t at = 28 + index(piece.size() - 28);
                std::copy_n(key.begin(), std::min<std::size_t>(4, piece.size() - at),
                            piece.begin() + static_cast<long>(at));
            }
            if (piece.size() > 2)
                piece[0] = static_cast<std::uint8_t>(uniform(0, 12));
            if (chance(40)) {  // a name of its own, before where the list would start
                const Bytes named = {0xFD, 0xFF, 0x01, 0x00, 3, 'E', 'n', 'd', 0};
                const std::size_t at = 2 + index(11);
                piece.resize(std::max(piece.size(), at + named.size()), 0);
                std::copy(named.begin(), named.end(), piece.begin() + static_cast<long>(at));
            }
            piece.insert(piece.begin(), {'I', 'M', 'A', 'F'});
        } else {  // a family name marker with nothing, a length or a name without NUL after it
            piece = {0xFD, 0xFF, 0x01, 0x00, 4, 'T', 'a', 'i', 'l'};
            piece.resize(4 + index(3) * 5 / 2);
        }
        nb.insert(nb.end(), piece.begin(), piece.end());
    }
}

RandomFolder Generator::run() {
    damaged_ = !chance(30);
    const int persons = chance(2)    ? 0
                        : chance(1)  ? uniform(60, 300)
                        : chance(60) ? uniform(1, 8)
                                     : uniform(9, 30);
    GameSpec g = build::randomGame(rng_, persons);
    if (chance(25))
        g.fillerBetween = static_cast<std::size_t>(uniform(0, 12));
    vary(g);
    if (damaged_)
        damage(g);

    build::BuiltGame built = build::build(g);
    RandomFolder out;
    for (std::size_t i = 0; i < g.persons.size(); ++i) {
        Bytes& b = built.characterFiles[i].second;
        if (keyless_.count(i))
            b.resize(std::min(b.size(), search(b, "OBJD") + 104));
        out.files.push_back({built.characterFiles[i].first, b});
        if (damaged_ && chance(25))
            chance(20) ? out.files.back().bytes.reset() : damageFile(*out.files.back().bytes);
    }
    if (chance(30))
        std::shuffle(out.files.begin(), out.files.end(), rng_);
    const bool tailFirst = chance(50);  // the other damage may cut the tail off again
    if (tailFirst)
        appendTail(built.neighborhood, g);
    if (damaged_)
        damageNeighborhood(built.neighborhood, built.layout, g);
    if (!tailFirst)
        appendTail(built.neighborhood, g);
    out.neighborhood = std::move(built.neighborhood);

    out.wellFormed = !damaged_;
    std::set<std::string> names;
    for (const PersonSpec& p : g.persons) {
        const std::string name = recordNameFor(p);
        const auto at = built.layout.recordOffset.find(name);
        out.wellFormed = out.wellFormed && names.insert(name).second &&
                         at != built.layout.recordOffset.end() &&
                         search(out.neighborhood, name + '\0') == at->second;
    }
    return out;
}

}  // namespace

RandomFolder randomFolder(std::uint32_t seed) {
    return Generator(seed).run();
}

}  // namespace vondrel::testing
