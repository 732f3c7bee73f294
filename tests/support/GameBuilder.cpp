#include "support/GameBuilder.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>

#include "base/FileIO.h"

namespace vondrel::build {
namespace {

constexpr std::size_t kAnchorOffset = 40;
constexpr std::size_t kNameOffset = 24;
constexpr std::size_t kMaxFirstName = 79;
constexpr std::size_t kKeyOffset = 104;
constexpr std::size_t kPortraitBlockOffset = 140;
constexpr std::size_t kPortraitDistance = 76;
constexpr std::uint8_t kPortraitHeader[] = {'B',  'M',  'P',  '_',  0x00, 0x00, 0x07,
                                            0xEE, 0x07, 0xD4, 0x00, 0x10, 't',  'h',
                                            'u',  'm',  'b',  'n',  'a',  'i',  'l'};
constexpr std::size_t kMaxRecordName = 22;
constexpr std::size_t kRecordSize = 192;
constexpr std::size_t kFamilySize = 64;

void put16(Bytes& b, std::size_t at, std::int16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8);
}
void put32(Bytes& b, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
    }
}
void append32(Bytes& b, std::int32_t v) {
    b.resize(b.size() + 4);
    put32(b, b.size() - 4, v);
}
void appendText(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
}

// Filler that can never form a letter, a record name or one of the markers searched for.
void appendFiller(Bytes& b, std::size_t count, std::mt19937& rng) {
    std::uniform_int_distribution<int> pick(0, 0x7F);
    for (std::size_t i = 0; i < count; ++i) {
        const int v = pick(rng);
        b.push_back(static_cast<std::uint8_t>(v < 0x7D ? 0x80 + v : v - 0x7D));
    }
}

void appendArbitrary(Bytes& b, std::size_t count, std::mt19937& rng) {
    const Bytes more = arbitraryBytes(count, rng);
    b.insert(b.end(), more.begin(), more.end());
}

Bytes recordBytes(const PersonSpec& p) {
    const std::string name = recordNameFor(p);
    if (name.size() > kMaxRecordName)
        throw std::invalid_argument("record name too long: " + name);
    Bytes r(kRecordSize, 0);
    std::copy(name.begin(), name.end(), r.begin());
    put16(r, 22, p.nice);
    put16(r, 24, p.active);
    put16(r, 28, p.playful);
    put16(r, 30, p.outgoing);
    put16(r, 32, p.neat);
    put16(r, 36, p.cleaning);
    put16(r, 38, p.cooking);
    put16(r, 40, p.charisma);
    put16(r, 42, p.mechanical);
    put16(r, 48, p.creativity);
    put16(r, 52, p.body);
    put16(r, 54, p.logic);
    put16(r, 130, p.jobTrack);
    put16(r, 132, p.jobLevel);
    put16(r, 144, p.jobPerformance);
    put16(r, 148, p.sex);
    put16(r, 152, p.lingerHouse);
    put16(r, 154, p.ghost);
    put16(r, 178, p.id);
    put16(r, 184, p.relationFlag.value_or(p.relations.empty() ? 0 : -1));
    put16(r, 188, p.relationCount.value_or(static_cast<std::int16_t>(p.relations.size())));
    for (const Relationship& rel : p.relations) {
        append32(r, 1);
        append32(r, rel.otherId);
        append32(r, rel.valueCount);
        append32(r, rel.value);
        if (rel.valueCount == 2)
            append32(r, rel.loves ? 1 : 0);
    }
    append32(r, 0);  // ends the list
    return r;
}

Bytes familyBytes(const FamilySpec& f) {
    if (f.members.size() > 8)
        throw std::invalid_argument("a family holds at most 8 members");
    Bytes b(kFamilySize, 0);
    b[0] = 'I';
    b[1] = 'M';
    b[2] = 'A';
    b[3] = 'F';
    put16(b, 4, f.house);
    put32(b, 12, f.money);
    for (std::size_t i = 0; i < f.members.size(); ++i) {
        std::copy(f.members[i].begin(), f.members[i].end(),
                  b.begin() + 32 + static_cast<std::ptrdiff_t>(4 * i));
    }
    if (f.nameMarker) {
        b.insert(b.end(), {0xFD, 0xFF, 0x01, 0x00, static_cast<std::uint8_t>(f.name.size())});
        appendText(b, f.name);
        b.push_back(0);
    }
    return b;
}

}  // namespace

std::string recordNameFor(const PersonSpec& person) {
    if (!person.recordName.empty())
        return person.recordName;
    std::string name =
        person.fileName.substr(0, person.fileName.size() >= 4 ? person.fileName.size() - 4 : 0);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

Bytes characterFileBytes(const PersonSpec& p) {
    if (p.firstName.size() > kMaxFirstName)
        throw std::invalid_argument("first name too long");
    Bytes b(kAnchorOffset + kPortraitBlockOffset, 0);
    const std::string header = "VEKSCHAR";
    std::copy(header.begin(), header.end(), b.begin());
    if (!p.omitAnchor) {
        b[kAnchorOffset] = 'O';
        b[kAnchorOffset + 1] = 'B';
        b[kAnchorOffset + 2] = 'J';
        b[kAnchorOffset + 3] = 'D';
    }
    std::copy(p.firstName.begin(), p.firstName.end(), b.begin() + kAnchorOffset + kNameOffset);
    std::copy(p.key.begin(), p.key.end(), b.begin() + kAnchorOffset + kKeyOffset);
    std::mt19937 rng(p.bytesSeed);
    appendArbitrary(b, p.bytesBeforePortrait, rng);
    if (p.portrait) {
        b.insert(b.end(), std::begin(kPortraitHeader), std::end(kPortraitHeader));
        b.resize(b.size() + kPortraitDistance - sizeof kPortraitHeader, 0);
        b.insert(b.end(), p.portrait->begin(), p.portrait->end());
    }
    b.resize(b.size() + 16, 0);
    appendArbitrary(b, p.bytesAfterPortrait, rng);
    return b;
}

Bytes neighborhoodBytes(const GameSpec& game, Layout* layout) {
    std::mt19937 rng(game.seed);
    Bytes b;
    appendText(b, "VEKSNBHD");
    b.resize(32, 0);

    std::vector<Bytes> records;
    std::vector<Bytes> families;
    std::size_t content = b.size();
    for (const PersonSpec& p : game.persons) {
        if (p.inNeighborhood)
            content += records.emplace_back(recordBytes(p)).size();
    }
    for (const FamilySpec& f : game.families)
        content += families.emplace_back(familyBytes(f)).size();
    // Spread: the room left is shared out evenly before each record and after the last.
    std::size_t gap = game.fillerBetween;
    if (game.spread && game.minimumSize > content) {
        gap = std::max(gap, (game.minimumSize - content) / (records.size() + families.size() + 1));
    }
    const auto filler = [&](std::size_t count) {
        if (game.spread)
            appendArbitrary(b, count, rng);
        else
            appendFiller(b, count, rng);
    };
    b.reserve(std::max(game.minimumSize, content + gap * (records.size() + families.size() + 1)));

    std::size_t r = 0;
    for (const PersonSpec& p : game.persons) {
        if (!p.inNeighborhood)
            continue;
        filler(gap);
        if (layout)
            layout->recordOffset.emplace(recordNameFor(p), b.size());
        b.insert(b.end(), records[r].begin(), records[r].end());
        ++r;
    }
    for (const Bytes& f : families) {
        filler(gap);
        if (layout)
            layout->familyOffset.push_back(b.size());
        b.insert(b.end(), f.begin(), f.end());
    }
    filler(game.spread ? std::min(gap, game.fillerBetween) : game.fillerBetween);
    if (b.size() < game.minimumSize)
        filler(game.minimumSize - b.size());
    return b;
}

BuiltGame build(const GameSpec& game) {
    BuiltGame built;
    for (const PersonSpec& p : game.persons) {
        built.characterFiles.emplace_back(p.fileName, characterFileBytes(p));
    }
    built.neighborhood = neighborhoodBytes(game, &built.layout);
    return built;
}

void writeGameFolder(const BuiltGame& game, const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    const fs::path characters = folder / "UserData" / "Characters";
    fs::create_directories(characters);
    const auto write = [](const fs::path& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + utf8Of(path));
    };
    write(folder / "VEKS.EXE", Bytes{'M', 'Z'});
    for (const auto& [name, bytes] : game.characterFiles)
        write(characters / pathFromUtf8(name), bytes);
    write(folder / "UserData" / "Neighborhood.iff", game.neighborhood);
}

GameSpec randomGame(std::mt19937& rng, int persons, std::size_t minimumSize) {
    static const char* const kFirst[] = {"Ada",  "Bram", "Cleo",  "Dario", "Edda", "Finn", "Gwen",
                                         "Hugo", "Isla", "Jonas", "Kira",  "Lev",  "Mila", "Nico",
                                         "Opal", "Pim",  "Rhea",  "Sami",  "Tove", "Ugo"};
    static const char* const kFamily[] = {"Arden",   "Brisk",    "Corran", "Dunmore", "Ellery",
                                          "Fenwick", "Galloway", "Harrow", "Ivel",    "Jessop"};
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto value = [&] { return static_cast<std::int16_t>(uniform(0, 10) * 100); };

    GameSpec game;
    game.seed = static_cast<std::uint32_t>(rng());
    game.minimumSize = minimumSize;
    std::vector<int> ids(501);
    for (int i = 0; i < 501; ++i)
        ids[static_cast<std::size_t>(i)] = i;
    std::shuffle(ids.begin(), ids.end(), rng);

    for (int i = 0; i < persons; ++i) {
        PersonSpec p;
        char file[32];
        std::snprintf(file, sizeof file, "Vek%04d.iff", i);
        p.fileName = file;
        p.firstName = kFirst[uniform(0, 19)];
        p.key = {static_cast<std::uint8_t>(0xA0 + i % 32), static_cast<std::uint8_t>(i / 32),
                 static_cast<std::uint8_t>(uniform(0, 255)), 0x5A};
        p.portrait = drawPortrait(static_cast<std::uint32_t>(rng()));
        p.id = static_cast<std::int16_t>(ids[static_cast<std::size_t>(i)]);
        p.nice = value();
        p.active = value();
        p.playful = value();
        p.outgoing = value();
        p.neat = value();
        p.cleaning = value();
        p.cooking = value();
        p.charisma = value();
        p.mechanical = value();
        p.creativity = value();
        p.body = value();
        p.logic = value();
        p.jobTrack = static_cast<std::int16_t>(uniform(-1, 10));
        p.jobLevel = static_cast<std::int16_t>(uniform(0, 9));
        p.jobPerformance = static_cast<std::int16_t>(uniform(-100, 100));
        p.sex = static_cast<std::int16_t>(uniform(0, 1));
        game.persons.push_back(p);
    }
    for (auto& p : game.persons) {
        const int count = uniform(0, std::min(5, persons - 1));
        for (int r = 0; r < count; ++r) {
            const auto& other = game.persons[static_cast<std::size_t>(uniform(0, persons - 1))];
            if (other.id == p.id)
                continue;
            p.relations.push_back(
                {other.id, static_cast<std::int16_t>(uniform(-100, 100)), uniform(0, 3) == 0, 2});
        }
    }
    for (int i = 0; i < persons;) {
        const int size = uniform(1, 4);
        if (uniform(0, 7) == 0) {  // someone living alone, without a family
            ++i;
            continue;
        }
        FamilySpec f;
        f.name = kFamily[uniform(0, 9)];
        f.house = static_cast<std::int16_t>(uniform(0, 10));
        f.money = uniform(0, 999999);
        for (int m = 0; m < size && i < persons; ++m, ++i) {
            f.members.push_back(game.persons[static_cast<std::size_t>(i)].key);
        }
        game.families.push_back(f);
    }
    return game;
}

Bytes arbitraryBytes(std::size_t count, std::mt19937& rng) {
    static const char* const kWords[] = {"thumbnail ", "Body", "Bed ",  "BMP_", "BOOK", "IMA",
                                         "OBJ",        "name", "Brick", "lot ", "Ba",   "BMP",
                                         "family ",    "B",    "ghost", "vek "};
    Bytes b;
    b.reserve(count + 64);
    const auto below = [&](std::uint32_t n) { return static_cast<std::uint32_t>(rng() % n); };
    while (b.size() < count) {
        switch (below(16)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
            case 5:
            case 6:
            case 7:  // random bytes
                for (std::uint32_t n = 8 + below(500); n > 0; --n)
                    b.push_back(static_cast<std::uint8_t>(rng()));
                break;
            case 8:
            case 9:
            case 10:  // zeros
                b.resize(b.size() + 2 + below(62), 0);
                break;
            case 11:
            case 12:  // text
                for (std::uint32_t n = 1 + below(6); n > 0; --n)
                    appendText(b, kWords[below(std::size(kWords))]);
                break;
            case 13: {  // a picture block of another size
                std::uint32_t size = 100 + below(60000);
                if (size == 2030)
                    ++size;
                appendText(b, "BMP_");
                b.insert(b.end(), {static_cast<std::uint8_t>(size >> 24),
                                   static_cast<std::uint8_t>(size >> 16),
                                   static_cast<std::uint8_t>(size >> 8),
                                   static_cast<std::uint8_t>(size), 0x07, 0xD4, 0x00, 0x10});
                appendText(b, "thumbnail");
                break;
            }
            case 14:  // the start of the family name marker
                b.insert(b.end(), {0xFD, 0xFF, 0x01, static_cast<std::uint8_t>(1 + below(255))});
                break;
            default:  // small 16-bit numbers
                for (std::uint32_t n = 8 + below(56); n > 0; --n) {
                    const std::uint32_t v = below(1001);
                    b.push_back(static_cast<std::uint8_t>(v));
                    b.push_back(static_cast<std::uint8_t>(v >> 8));
                }
                break;
        }
    }
    b.resize(count);
    return b;
}

GameSpec playedGame(std::mt19937& rng, int persons, std::size_t neighborhoodSize) {
    GameSpec game = randomGame(rng, persons, neighborhoodSize);
    game.spread = true;
    for (PersonSpec& p : game.persons) {
        p.bytesBeforePortrait = 34000 + rng() % 4000;
        p.bytesAfterPortrait = 2000 + rng() % 2000;
        p.bytesSeed = static_cast<std::uint32_t>(rng());
    }
    return game;
}

GameSpec demoGame() {
    GameSpec game;
    game.seed = 2026;
    game.fillerBetween = 96;
    std::uint8_t nextKey = 1;
    const auto person = [&](const char* file, const char* first, std::int16_t id, std::int16_t sex,
                            std::uint32_t face) {
        PersonSpec p;
        p.fileName = file;
        p.firstName = first;
        p.key = {0xC3, nextKey++, 0x4B, 0x11};
        p.portrait = drawPortrait(face);
        p.id = id;
        p.sex = sex;
        return p;
    };

    PersonSpec mira = person("Mira.iff", "Mira", 1, 1, 11);
    mira.jobTrack = 3;
    mira.jobLevel = 4;
    mira.jobPerformance = 40;
    mira.charisma = 700;
    PersonSpec oskar = person("Oskar.iff", "Oskar", 2, 0, 12);
    oskar.jobTrack = 7;
    oskar.jobLevel = 2;
    oskar.jobPerformance = -20;
    oskar.mechanical = 800;
    PersonSpec lio = person("Lio.iff", "Lio", 3, 0, 13);
    PersonSpec eldra = person("Eldra.iff", "Eldra", 4, 1, 14);
    eldra.ghost = 1;
    eldra.lingerHouse = 2;
    PersonSpec ada = person("Ada.iff", "Ada", 5, 1, 15);
    ada.jobTrack = 1;
    ada.jobLevel = 8;
    ada.jobPerformance = 90;
    PersonSpec bram = person("Bram.iff", "Bram", 6, 0, 16);
    PersonSpec juno = person("Juno.iff", "Juno", 7, 1, 17);
    PersonSpec sol = person("Sol.iff", "Sol", 8, 0, 18);
    PersonSpec broken = person("Wisp.iff", "Wisp", 9, 1, 19);
    broken.omitAnchor = true;

    mira.relations = {{2, 95, true}, {3, 80, false}, {5, 40, false}};
    oskar.relations = {{1, 90, true}, {3, 75, false}, {8, -30, false}};
    lio.relations = {{1, 85, false}, {2, 70, false}, {9, 10, false}};
    ada.relations = {{6, 88, true}, {1, 35, false}};
    bram.relations = {{5, 92, true}, {7, 20, false}};
    juno.relations = {{6, 15, false}};
    sol.relations = {{2, -45, false}};

    game.persons = {mira, oskar, lio, eldra, ada, bram, juno, sol, broken};
    game.families = {
        {"Tandor", 1, 34500, {mira.key, oskar.key, lio.key, eldra.key}, true},
        {"Quill", 2, 8200, {ada.key, bram.key}, true},
        {"Voss", 4, 120000, {juno.key}, true},
    };
    return game;
}

}  // namespace vondrel::build
