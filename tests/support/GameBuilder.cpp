#include "support/GameBuilder.h"

#include <algorithm>
#include <fstream>
#include <numeric>
#include <stdexcept>
#include <string_view>

#include "base/FileIO.h"

namespace vondrel::build {
namespace {

using namespace std::string_view_literals;
constexpr auto kPortraitHeader = "BMP_\0\0\x07\xEE\x07\xD4\0\x10thumbnail"sv;

void put(Bytes& b, std::size_t at, std::int32_t v, int width) {
    for (int i = 0; i < width; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
void append32(Bytes& b, std::int32_t v) {
    b.resize(b.size() + 4);
    put(b, b.size() - 4, v, 4);
}

// Filler that can never form a letter, a record name or one of the markers searched for.
void appendFiller(Bytes& b, std::size_t count, std::mt19937& rng) {
    for (std::size_t i = 0; i < count; ++i) {
        const auto v = static_cast<std::uint8_t>(rng() % 128);
        b.push_back(v < 0x7D ? 0x80 + v : v - 0x7D);
    }
}

// Bytes as a played game's files hold between the records this program looks for: random
// bytes, zeros, text and pieces of the patterns searched for ("BMP_" blocks of other sizes,
// "IMA", "OBJ", the family name marker's first bytes).
void appendArbitrary(Bytes& b, std::size_t count, std::mt19937& rng) {
    constexpr auto kPieces =
        "BMP_\0\0\x12\x34\x07\xD4\0\x10thumbnail IMA OBJ name \xFD\xFF\x01\x05"sv;
    const std::size_t end = b.size() + count;
    while (b.size() < end) {
        const std::uint32_t kind = rng() % 4, n = 2 + rng() % 200;
        const auto piece = kPieces.substr(n % kPieces.size(), kind < 2 ? 0 : n % 16 + 3);
        b.insert(b.end(), piece.begin(), piece.end());
        for (std::uint32_t i = 0; i < n && kind < 2; ++i)
            b.push_back(kind == 0 ? static_cast<std::uint8_t>(rng()) : 0);
    }
    b.resize(end);
}

Bytes recordBytes(const PersonSpec& p) {
    const std::string name = recordNameFor(p);
    if (name.size() > 22)
        throw std::invalid_argument("record name too long: " + name);
    Bytes r(192, 0);
    std::copy(name.begin(), name.end(), r.begin());
    const std::pair<std::size_t, std::int16_t> fields[] = {
        {22, p.nice},       {24, p.active},       {28, p.playful},
        {30, p.outgoing},   {32, p.neat},         {36, p.cleaning},
        {38, p.cooking},    {40, p.charisma},     {42, p.mechanical},
        {48, p.creativity}, {52, p.body},         {54, p.logic},
        {130, p.jobTrack},  {132, p.jobLevel},    {144, p.jobPerformance},
        {148, p.sex},       {152, p.lingerHouse}, {154, p.ghost},
        {178, p.id}};
    for (const auto& [at, v] : fields)
        put(r, at, v, 2);
    put(r, 184, p.relationFlag.value_or(p.relations.empty() ? 0 : -1), 2);
    put(r, 188, p.relationCount.value_or(static_cast<std::int16_t>(p.relations.size())), 2);
    for (const Relationship& rel : p.relations) {
        for (const std::int32_t v :
             {1, std::int32_t{rel.otherId}, std::int32_t{rel.valueCount}, std::int32_t{rel.value}})
            append32(r, v);
        if (rel.valueCount == 2)
            append32(r, rel.loves ? 1 : 0);
    }
    append32(r, 0);  // ends the list
    return r;
}

Bytes familyBytes(const FamilySpec& f) {
    if (f.members.size() > 8)
        throw std::invalid_argument("a family holds at most 8 members");
    Bytes b(64, 0);
    std::copy_n("IMAF", 4, b.begin());
    put(b, 4, f.house, 2);
    put(b, 12, f.money, 4);
    for (std::size_t i = 0; i < f.members.size(); ++i)
        std::copy(f.members[i].begin(), f.members[i].end(), b.begin() + 32 + 4 * i);
    if (f.nameMarker) {
        b.insert(b.end(), {0xFD, 0xFF, 0x01, 0x00, static_cast<std::uint8_t>(f.name.size())});
        b.insert(b.end(), f.name.begin(), f.name.end());
        b.push_back(0);
    }
    return b;
}

}  // namespace

std::string recordNameFor(const PersonSpec& person) {
    if (!person.recordName.empty())
        return person.recordName;
    std::string name =
        person.fileName.substr(0, std::max<std::size_t>(person.fileName.size(), 4) - 4);
    for (char& c : name)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    return name;
}

Bytes characterFileBytes(const PersonSpec& p) {
    if (p.firstName.size() > 79)
        throw std::invalid_argument("first name too long");
    Bytes b(180, 0);
    std::copy_n("VEKSCHAR", 8, b.begin());
    if (!p.omitAnchor)
        std::copy_n("OBJD", 4, b.begin() + 40);
    std::copy(p.firstName.begin(), p.firstName.end(), b.begin() + 64);
    std::copy(p.key.begin(), p.key.end(), b.begin() + 144);
    std::mt19937 rng(
        static_cast<std::uint32_t>(p.key[0] << 24 | p.key[1] << 16 | p.key[2] << 8 | p.key[3]));
    appendArbitrary(b, p.padding, rng);
    if (p.portrait) {
        b.insert(b.end(), kPortraitHeader.begin(), kPortraitHeader.end());
        b.resize(b.size() + 76 - kPortraitHeader.size(), 0);
        b.insert(b.end(), p.portrait->begin(), p.portrait->end());
    }
    b.resize(b.size() + 16, 0);
    appendArbitrary(b, p.padding / 16, rng);
    return b;
}

BuiltGame build(const GameSpec& game) {
    BuiltGame built;
    for (const PersonSpec& p : game.persons)
        built.characterFiles.emplace_back(p.fileName, characterFileBytes(p));
    std::mt19937 rng(game.seed);
    std::vector<std::pair<std::string, Bytes>> items;  // record name (none for a family), bytes
    std::size_t content = 32;
    for (const PersonSpec& p : game.persons) {
        if (p.inNeighborhood)
            content += items.emplace_back(recordNameFor(p), recordBytes(p)).second.size();
    }
    for (const FamilySpec& f : game.families)
        content += items.emplace_back("", familyBytes(f)).second.size();
    std::size_t gap = game.fillerBetween;
    if (game.minimumSize > content)
        gap = std::max(gap, (game.minimumSize - content) / (items.size() + 1));
    const auto filler = [&](Bytes& b, std::size_t count) {
        game.spread ? appendArbitrary(b, count, rng) : appendFiller(b, count, rng);
    };

    Bytes& b = built.neighborhood = Bytes(32, 0);
    std::copy_n("VEKSNBHD", 8, b.begin());
    for (const auto& [name, bytes] : items) {
        filler(b, gap);
        if (name.empty())
            built.layout.familyOffset.push_back(b.size());
        else
            built.layout.recordOffset.emplace(name, b.size());
        b.insert(b.end(), bytes.begin(), bytes.end());
    }
    filler(b,
           std::max(game.fillerBetween, game.minimumSize - std::min(game.minimumSize, b.size())));
    return built;
}

void writeGameFolder(const BuiltGame& game, const std::filesystem::path& folder) {
    const std::filesystem::path characters = folder / "UserData" / "Characters";
    std::filesystem::create_directories(characters);
    const auto write = [](const std::filesystem::path& path, const Bytes& bytes) {
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
    static const char* const kFirst[] = {"Ada", "Bram", "Cleo", "Dario", "Edda", "Finn", "Gwen"};
    static const char* const kFamily[] = {"Arden", "Brisk", "Corran", "Dunmore", "Ellery"};
    const auto uniform = [&](int lo, int hi) {
        return static_cast<std::int16_t>(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    GameSpec game{{}, {}, 48, minimumSize, false, static_cast<std::uint32_t>(rng())};
    std::vector<std::int16_t> ids(501);
    std::iota(ids.begin(), ids.end(), std::int16_t{0});
    std::shuffle(ids.begin(), ids.end(), rng);
    for (int i = 0; i < persons; ++i) {
        PersonSpec& p = game.persons.emplace_back();
        p.fileName = "Vek" + std::to_string(10000 + i).substr(1) + ".iff";
        p.firstName = kFirst[uniform(0, 6)];
        p.key = {static_cast<std::uint8_t>(0xA0 + i % 32), static_cast<std::uint8_t>(i / 32),
                 static_cast<std::uint8_t>(uniform(0, 255)), 0x5A};
        p.portrait = drawPortrait(static_cast<std::uint32_t>(rng()));
        p.id = ids[static_cast<std::size_t>(i)];
        for (std::int16_t* v :
             {&p.nice, &p.active, &p.playful, &p.outgoing, &p.neat, &p.cleaning, &p.cooking,
              &p.charisma, &p.mechanical, &p.creativity, &p.body, &p.logic})
            *v = static_cast<std::int16_t>(uniform(0, 10) * 100);
        p.jobTrack = uniform(-1, 10);
        p.jobLevel = uniform(0, 9);
        p.jobPerformance = uniform(-100, 100);
        p.sex = uniform(0, 1);
    }
    for (PersonSpec& p : game.persons) {
        for (int r = uniform(0, std::min(5, persons - 1)); r > 0; --r) {
            const std::int16_t other = ids[static_cast<std::size_t>(uniform(0, persons - 1))];
            if (other != p.id)
                p.relations.push_back({other, uniform(-100, 100), uniform(0, 3) == 0});
        }
    }
    // Families of up to four; now and then someone lives alone, without a family.
    for (int i = 0, size = uniform(1, 4); i < persons; i += size, size = uniform(1, 4)) {
        if (uniform(0, 7) == 0)
            continue;
        auto& f = game.families.emplace_back(
            FamilySpec{kFamily[uniform(0, 4)], uniform(0, 10), uniform(0, 32767) * 30, {}, true});
        for (int m = i; m < i + size && m < persons; ++m)
            f.members.push_back(game.persons[static_cast<std::size_t>(m)].key);
    }
    return game;
}

GameSpec playedGame(std::mt19937& rng, int persons, std::size_t neighborhoodSize) {
    GameSpec game = randomGame(rng, persons, neighborhoodSize);
    game.spread = true;
    for (PersonSpec& p : game.persons)
        p.padding = 34000 + rng() % 4000;
    return game;
}

GameSpec demoGame() {
    // A small household a new player can look at: jobs, a ghost, loves both ways, and one
    // file the program turns away.
    GameSpec game;
    game.seed = 2026;
    game.fillerBetween = 96;
    const struct {
        const char* name;
        std::int16_t sex, track, level, performance;
        std::vector<Relationship> relations;
    } people[] = {
        {"Mira", 1, 3, 4, 40, {{2, 95, true}, {3, 80}, {5, 40}}},
        {"Oskar", 0, 7, 2, -20, {{1, 90, true}, {3, 75}, {8, -30}}},
        {"Lio", 0, -1, 0, 0, {{1, 85}, {2, 70}, {9, 10}}},
        {"Eldra", 1, -1, 0, 0, {}},
        {"Ada", 1, 1, 8, 90, {{6, 88, true}, {1, 35}}},
        {"Bram", 0, -1, 0, 0, {{5, 92, true}, {7, 20}}},
        {"Juno", 1, -1, 0, 0, {{6, 15}}},
        {"Sol", 0, -1, 0, 0, {{2, -45}}},
        {"Wisp", 1, -1, 0, 0, {}},
    };
    for (const auto& d : people) {
        PersonSpec p;
        const auto n = static_cast<std::uint8_t>(game.persons.size() + 1);
        p.fileName = std::string(d.name) + ".iff";
        p.firstName = d.name;
        p.key = {0xC3, n, 0x4B, 0x11};
        p.portrait = drawPortrait(10u + n);
        p.id = n;
        p.sex = d.sex;
        p.jobTrack = d.track;
        p.jobLevel = d.level;
        p.jobPerformance = d.performance;
        p.relations = d.relations;
        game.persons.push_back(p);
    }
    auto& ps = game.persons;
    ps[0].charisma = 700;
    ps[1].mechanical = 800;
    ps[3].ghost = 1;
    ps[3].lingerHouse = 2;
    ps[8].omitAnchor = true;
    game.families = {{"Tandor", 1, 34500, {ps[0].key, ps[1].key, ps[2].key, ps[3].key}, true},
                     {"Quill", 2, 8200, {ps[4].key, ps[5].key}, true},
                     {"Voss", 4, 120000, {ps[6].key}, true}};
    return game;
}

}  // namespace vondrel::build
