#include "support/RandomGames.h"

#include <algorithm>
#include <random>
#include <set>

#include "support/GameBuilder.h"
#include "support/Oracle.h"

namespace vondrel::testing {
namespace {

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

// Where a neighbour record keeps what the loader reads (values, ghost flag, id,
// relationships), and values that tell: at the edges of what loads, or far out.
constexpr std::size_t kFields[] = {22,  24,  28,  30,  32,  36,  38,  40,  42,  48,
                                   52,  54,  130, 132, 144, 152, 154, 178, 184, 188,
                                   192, 196, 200, 204, 208, 212, 216, 220, 228, 232};
constexpr int kTelling[] = {-32768, -2, -1,  0,   1,   2,    3,    9,
                            10,     11, 100, 101, 501, 1000, 1001, 32767};

std::size_t search(const Bytes& b, std::string_view pattern) {
    return static_cast<std::size_t>(
        std::search(b.begin(), b.end(), pattern.begin(), pattern.end()) - b.begin());
}

struct Dice {
    std::mt19937 rng;
    int operator()(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>((*this)(0, int(n) - 1)); }
    bool chance(int percent) { return (*this)(0, 99) < percent; }
    std::int16_t any() { return static_cast<std::int16_t>((*this)(-32768, 32767)); }
    template <typename C>
    auto& pick(C& items) {
        return items[below(std::size(items))];
    }
    template <typename T>
    T pick(std::initializer_list<T> items) {
        return items.begin()[below(items.size())];
    }
};

void put16(Bytes& b, std::size_t at, int v) {
    if (at + 2 <= b.size()) {
        b[at] = static_cast<std::uint8_t>(v);
        b[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
}

// Variety the game itself produces: other file names, missing portraits, odd first names,
// values at the edge of what loads, families without name, shifted or shared member lists.
void vary(GameSpec& g, Dice& d, bool damaged) {
    const bool rename = d.chance(50);
    for (std::size_t i = 0; i < g.persons.size(); ++i) {
        PersonSpec& p = g.persons[i];
        if (rename && d.chance(60)) {  // in a folder the game wrote, no two names alike
            std::string stem =
                kStems[d(0, damaged ? int(std::size(kStems)) - 1 : kForeignStems - 1)] +
                (damaged ? "" : std::to_string(i));
            for (char& c : stem)
                c = c >= 'a' && c <= 'z' && d.chance(20) ? static_cast<char>(c - 32) : c;
            p.fileName = stem + d.pick(kExtensions);
            p.recordName =
                literalCp1252Lower(literalCp1252(stem).value_or(std::string(stem.size(), '?')));
        }
        if (d.chance(15))
            p.portrait.reset();
        if (d.chance(8))
            p.firstName = d.chance(80) ? d.pick(kFirstNames) : std::string(79, 'n');
        if (d.chance(10))
            p.ghost = 1;
    }
    for (build::FamilySpec& f : g.families) {
        f.nameMarker = !d.chance(8);
        if (d.chance(5))
            f.name.clear();
        if (d.chance(8))
            f.house = static_cast<std::int16_t>(d(-5, 10));
        if (d.chance(8))
            f.money = d.chance(50) ? d(-1000, -1) : 2147483647;
        if (d.chance(15) && f.members.size() < 8)  // a full list, the family's keys last
            f.members.insert(f.members.begin(), 8 - f.members.size(), {9, 8, 7, 6});
        if (d.chance(10) && !g.persons.empty() && f.members.size() < 8)
            f.members.push_back(d.pick(g.persons).key);  // a key in two families
    }
}

// Records and families the game would not write, and pieces for the end of the file.
void damage(GameSpec& g, Dice& d, std::vector<Bytes>& tail) {
    for (int k = d(1, 8); k > 0; --k) {
        PersonSpec spare;
        PersonSpec& p = g.persons.empty() ? spare : d.pick(g.persons);
        switch (g.persons.empty() ? 8 : d(1, 8)) {
            case 1:
                p.ghost = d.pick({2, -1, 256});
                break;
            case 2:
                p.id =
                    d.chance(50) ? d.pick(g.persons).id : d.pick({-1, 501, 32767, -32768, 500, 0});
                break;
            case 3:  // a file to turn away, or a person without record
                p.omitAnchor = d.chance(50);
                p.inNeighborhood = p.inNeighborhood && p.omitAnchor;
                break;
            case 4:
                p.relationFlag = d.chance(60) ? -1 : d.pick({0, 1, -2});
                if (d.chance(50))
                    p.relationCount = d.chance(50) ? d.pick({-3, 0, 1, 2, 8}) : d.any();
                for (auto& r : p.relations) {
                    if (d.chance(30))
                        r.valueCount = d.pick({0, 1, 3, -1});
                    else if (d.chance(30))
                        r.otherId = d.pick({-1, 501, 32767, -32768});
                }
                break;
            case 5:  // a record under another name than the loader looks for, or a tiny name
                p.recordName =
                    d.pick({"X" + recordNameFor(p), std::string("UPPER"), std::string("")});
                p.fileName = p.recordName.empty() ? d.pick({".iff", "ab"}) : p.fileName;
                break;
            case 6:
                if (!g.families.empty())
                    d.pick(g.families).house =
                        d.chance(50) ? 11 : static_cast<std::int16_t>(d(12, 32767));
                break;
            case 7: {  // a name longer than a record's name field, its record at an end
                std::string stem(static_cast<std::size_t>(d(23, 250)), 'a');
                for (char& c : stem)
                    c = static_cast<char>('a' + d(0, 2));
                p.fileName = stem + d.pick(kExtensions);
                p.inNeighborhood = false;
                p.recordName.clear();
                Bytes& record = tail.emplace_back(stem.begin(), stem.end());
                record.resize(std::max<std::size_t>(stem.size(), 200), 0);
                if (stem.size() <= 178)
                    put16(record, 178, p.id);
                break;
            }
            default: {  // a family at the end (or start), named or not, whose member list
                        // is cut short and alone holds a key
                Bytes& f = tail.emplace_back(
                    Bytes{'I', 'M', 'A', 'F', static_cast<std::uint8_t>(d(0, 12)), 0});
                if (d.chance(40))
                    f.insert(f.end(), {0xFD, 0xFF, 0x01, 0x00, 3, 'E', 'n', 'd', 0});
                f.resize(std::max(f.size(), d.below(74)), 0);
                if (!g.persons.empty() && f.size() > 32) {
                    const std::size_t at = 32 + d.below(f.size() - 32);
                    const build::PersonKey key = d.pick(g.persons).key;
                    std::copy_n(key.begin(), std::min<std::size_t>(4, f.size() - at),
                                f.begin() + static_cast<long>(at));
                    for (build::FamilySpec& other : g.families)
                        std::erase(other.members, key);
                }
                break;
            }
        }
    }
}

void damageFile(Bytes& b, Dice& d) {
    const std::size_t anchor = search(b, "OBJD"), header = search(b, "BMP_");
    switch (d(0, 4)) {
        case 0: {  // cut anywhere, in the first name, in the key or in the portrait
            const std::size_t at[] = {d.below(b.size() + 1), anchor + 20 + d.below(12),
                                      anchor + 104 + d.below(4), header + d.below(2100)};
            b.resize(std::min(b.size(), d.pick(at)));
            break;
        }
        case 1:  // bytes flipped, often in the anchor
            for (int f = d(1, 4); f > 0 && !b.empty(); --f)
                b[d.chance(50) && anchor < b.size() ? anchor + d.below(4) : d.below(b.size())] ^=
                    static_cast<std::uint8_t>(d(1, 255));
            break;
        case 2:
            if (anchor < b.size()) {  // a first name of about 255 bytes, or one without NUL
                const std::size_t end = anchor + 24 + 253 + d.below(5);
                b.resize(std::max(b.size(), end + 1), 0);
                b[end] = 0;
                std::fill(b.begin() + static_cast<long>(anchor + 24),
                          d.chance(30) ? b.end() : b.begin() + static_cast<long>(end), 'z');
            }
            break;
        case 3:
            if (b.size() >= 12)  // an earlier anchor: name and key come from the wrong place
                std::copy_n("OBJD", 4, b.begin() + d(0, 8));
            break;
        default:
            if (header < b.size() && anchor < header)  // the portrait before the anchor
                std::rotate(b.begin(), b.begin() + static_cast<long>(header), b.end());
            break;
    }
}

void damageNeighborhood(Bytes& nb, const build::Layout& layout, const GameSpec& g, Dice& d) {
    std::vector<std::size_t> records;
    for (const auto& [name, at] : layout.recordOffset) {
        records.push_back(at);
        if (d.chance(20))  // a telling value in one of the record's fields
            put16(nb, at + d.pick(kFields), d.chance(80) ? d.pick(kTelling) : d.any());
    }
    for (const std::size_t at : layout.familyOffset) {
        if (d.chance(20))  // and in a family's
            put16(nb, at + d.below(64), d.chance(80) ? d.pick(kTelling) : d.any());
    }
    for (int k = d(0, 3); k > 0 && !nb.empty(); --k) {
        const std::size_t at = d.below(nb.size());
        // Cut, often inside a record or a family; a stray copy of a key, in a member list or
        // not; a record name in the header, or at the end whole or cut short.
        const int what = g.persons.empty() ? 0 : d(0, 3);
        if (what == 0) {
            const std::size_t cuts[] = {
                at, at, records.empty() ? at : d.pick(records) + d(150, 300),
                layout.familyOffset.empty() ? at : d.pick(layout.familyOffset) + d(0, 80)};
            nb.resize(std::min(nb.size(), d.pick(cuts)));
        } else if (what == 1) {
            const auto& key = d.pick(g.persons).key;
            std::copy_n(key.begin(), std::min<std::size_t>(4, nb.size() - at),
                        nb.begin() + static_cast<long>(at));
        } else {
            const std::string name = recordNameFor(d.pick(g.persons));
            if (what == 2 && name.size() <= 20 && nb.size() > 32)
                std::copy(name.begin(), name.end(),
                          nb.begin() + 8 + static_cast<long>(d.below(24 - name.size())));
            else {  // and then followed by a NUL, or with no copy followed by one
                nb.insert(nb.end(), name.begin(), name.end() - (d.chance(50) && !name.empty()));
                const auto r = layout.recordOffset.find(name);
                if (d.chance(30))
                    nb.push_back(0);
                else if (r != layout.recordOffset.end() && r->second + name.size() < nb.size())
                    nb[r->second + name.size()] = '+';
            }
        }
    }
}

}  // namespace

RandomFolder randomFolder(std::uint32_t seed) {
    Dice d{std::mt19937(seed)};
    const bool damaged = !d.chance(30);
    const int persons = d.chance(2)    ? 0
                        : d.chance(1)  ? d(60, 300)
                        : d.chance(60) ? d(1, 8)
                                       : d(9, 30);
    GameSpec g = build::randomGame(d.rng, persons);
    if (d.chance(25))
        g.fillerBetween = d.below(13);
    vary(g, d, damaged);
    std::vector<Bytes> tail;
    if (damaged)
        damage(g, d, tail);

    build::BuiltGame built = build::build(g);
    for (const std::size_t f : built.layout.familyOffset) {  // keys straddling member slots
        if (d.chance(15))
            std::rotate(built.neighborhood.begin() + static_cast<long>(f + 32),
                        built.neighborhood.begin() + static_cast<long>(f + 61) + d(0, 2),
                        built.neighborhood.begin() + static_cast<long>(f + 64));
    }
    RandomFolder out;
    for (std::size_t i = 0; i < g.persons.size(); ++i) {
        CharacterSource& file = out.files.emplace_back(
            CharacterSource{built.characterFiles[i].first, built.characterFiles[i].second});
        if (damaged && d.chance(25))
            d.chance(20) ? file.bytes.reset() : damageFile(*file.bytes, d);
    }
    if (d.chance(30))
        std::shuffle(out.files.begin(), out.files.end(), d.rng);
    std::shuffle(tail.begin(), tail.end(), d.rng);
    for (const Bytes& piece : tail) {
        Bytes& nb = built.neighborhood;
        nb.insert(d.chance(20) ? nb.begin() : nb.end(), piece.begin(), piece.end());
    }
    if (damaged)
        damageNeighborhood(built.neighborhood, built.layout, g, d);
    out.neighborhood = std::move(built.neighborhood);

    out.wellFormed = !damaged;
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

}  // namespace vondrel::testing
