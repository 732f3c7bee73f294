#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "editing/Household.h"
#include "gamedata/PersonLoader.h"
#include "support/LoadLog.h"
#include "support/Oracle.h"
#include "support/RandomGames.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

std::uint32_t seedCount(std::uint32_t normal) {
    const char* many = std::getenv("VONDREL_SEEDS");
    return many ? static_cast<std::uint32_t>(std::strtoul(many, nullptr, 10)) : normal;
}

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every folder gets a file of its own: truncating and rewriting one file makes some file
// systems wait for the disk on every close.
std::filesystem::path writeNewFile(const testing::TempDir& dir, std::uint32_t seed,
                                   const Bytes& bytes) {
    const auto path = dir.path() / ("Neighborhood" + std::to_string(seed) + ".iff");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Random edits as the window makes them, through the household: values within what the
// bars and lists offer, family money, relationships, maximizing, and some undo and redo.
void edit(Household& h, std::uint32_t seed) {
    std::mt19937 rng(seed);
    const auto uniform = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    const auto chance = [&](int percent) { return uniform(0, 99) < percent; };
    for (int id = 0; id < kSlotCount; ++id) {
        if (!h.isEditable(id)) {  // edits of slots the save cannot write change nothing
            if (chance(5)) {
                EXPECT_FALSE(h.setAttribute(id, Attribute::Neat, 500)) << id;
            }
            continue;
        }
        if (chance(50)) {
            for (int a = 0; a < kAttributeCount; ++a) {
                if (chance(40))
                    h.setAttribute(id, static_cast<Attribute>(a),
                                   static_cast<Integer>(uniform(0, 10) * 100));
            }
            if (chance(40))
                h.chooseCareer(id, static_cast<Integer>(uniform(-1, 10)));
            if (chance(40))
                h.chooseTitle(id, static_cast<Integer>(uniform(0, 9)));
            if (chance(40))
                h.setPerformance(id, static_cast<Integer>(uniform(-100, 100)));
            if (chance(30))
                h.setLingerHouse(id, static_cast<Integer>(uniform(1, 10)));
            if (chance(30))
                h.setGhost(id, chance(50));
            for (int j = 0; j < kSlotCount; ++j) {
                if (isTrue(h.person(id).HasRelation[j]) && chance(50)) {
                    h.setRelation(id, j, uniform(-100, 100));
                    h.setLoves(id, j, chance(50));
                }
            }
        }
        if (chance(10))  // 0x0001FFFD would read as a family name marker
            h.setFamilyMoney(id, chance(5) ? (chance(50) ? -250 : 2147483647) : uniform(0, 99999));
        if (chance(3))
            h.maximizePerson(id, chance(50), chance(50));
        if (chance(10))
            h.undo();
        if (chance(5))
            h.redo();
    }
}

TEST(SaveProperty, SavedFileHoldsTheEditsAndNothingElse) {
    const std::uint32_t seeds = seedCount(1500);
    testing::TempDir dir;
    long valueEdits = 0, moneyEdits = 0, relationEdits = 0, readBack = 0;
    for (std::uint32_t seed = 1; seed <= seeds && !::testing::Test::HasFailure(); ++seed) {
        const testing::RandomFolder folder = testing::randomFolder(seed);
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Bytes& before = folder.neighborhood;
        const auto path = writeNewFile(dir, seed, before);
        Persons loaded;
        LoadLog log;
        std::vector<PickerEntry> entries = loadPersons(folder.files, before, loaded, log);
        Household h(path, before, loaded, std::move(entries));
        edit(h, seed * 7919u + 17u);
        const Persons edited = h.persons();
        const SaveOutcome outcome = h.save();
        ASSERT_TRUE(outcome.saved) << outcome.message;
        ASSERT_TRUE(h.isSaved());

        // The bytes of each edited value hold it, the rest keep theirs; a byte two records
        // write (a record name found inside another record) may hold either.
        Bytes expected = before;
        std::vector<std::pair<std::size_t, std::int32_t>> writer(before.size(), {0, 0});
        std::vector<bool> shared(before.size(), false);
        for (int id = 0; id < kSlotCount; ++id) {
            if (edited[id] == loaded[id])
                continue;
            const auto now = testing::oracleWrites(edited[id]);
            const auto was = testing::oracleWrites(loaded[id]);
            ASSERT_EQ(now.size(), was.size());
            for (std::size_t w = 0; w < now.size(); ++w) {
                const auto [at, width, value] = now[w];
                const bool changed = value != was[w].value;
                const bool money = at + 1 == static_cast<std::size_t>(edited[id].MoneyPos);
                valueEdits += changed && width == 2;
                moneyEdits += changed && money;
                relationEdits += changed && width == 4 && !money;
                // Members of one family write the same money at the same place.
                const std::pair<std::size_t, std::int32_t> me{at * 8 + 1 + width, value};
                for (std::size_t b = at; b < at + static_cast<std::size_t>(width); ++b) {
                    shared.at(b) = shared[b] || (writer[b].first != 0 && writer[b] != me);
                    writer[b] = me;
                    if (changed)
                        expected[b] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >>
                                                                (8 * (b - at)));
                }
            }
        }
        const Bytes after = readFile(path);
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t b = 0; b < after.size(); ++b) {
            if (shared[b]) {
                EXPECT_FALSE(folder.wellFormed) << "byte " << b << " written for two records";
            } else if (after[b] != expected[b]) {
                ADD_FAILURE() << "byte " << b << " is " << int(after[b]) << ", not "
                              << int(expected[b]);
                break;
            }
        }

        // Read back, every record holds its edits.
        if (folder.wellFormed) {
            Persons reloaded;
            loadPersons(folder.files, after, reloaded, log);
            for (int id = 0; id < kSlotCount; ++id) {
                EXPECT_TRUE(reloaded[id] == edited[id]) << "slot " << id;
                readBack += edited[id].NamePos > 0 && !(edited[id] == loaded[id]);
            }
        }
        // Nothing changed since: the same bytes again.
        EXPECT_TRUE(h.save().saved);
        EXPECT_EQ(readFile(path), after);
        std::filesystem::remove(path);
    }
    if (seeds >= 300) {
        const long n = static_cast<long>(seeds);
        EXPECT_GT(valueEdits, 20 * n);
        EXPECT_GT(moneyEdits, n / 2);
        EXPECT_GT(relationEdits, n);
        EXPECT_GT(readBack, n / 2);
    }
}

TEST(SaveProperty, FileChangedByAnotherProgramIsLeftAlone) {
    const std::uint32_t seeds = std::min<std::uint32_t>(seedCount(200), 200);
    testing::TempDir dir;
    std::mt19937 rng(4242);
    int refused = 0;
    for (std::uint32_t seed = 1; seed <= seeds && !::testing::Test::HasFailure(); ++seed) {
        const testing::RandomFolder folder = testing::randomFolder(seed);
        if (folder.neighborhood.empty())
            continue;
        SCOPED_TRACE("seed " + std::to_string(seed));
        const auto path = writeNewFile(dir, seed, folder.neighborhood);
        Persons persons;
        LoadLog log;
        std::vector<PickerEntry> entries =
            loadPersons(folder.files, folder.neighborhood, persons, log);
        Household h(path, folder.neighborhood, std::move(persons), std::move(entries));
        edit(h, seed);
        if (seed % 2 == 0) {  // half the time the program has saved once before the change
            ASSERT_TRUE(h.save().saved);
            edit(h, seed + 1);
        }

        // Another program changes one byte in place.
        Bytes theirs = readFile(path);
        const std::size_t at =
            std::uniform_int_distribution<std::size_t>(0, theirs.size() - 1)(rng);
        theirs[at] ^= static_cast<std::uint8_t>(std::uniform_int_distribution<int>(1, 255)(rng));
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(static_cast<std::streamoff>(at));
        file.put(static_cast<char>(theirs[at]));
        file.close();

        const SaveOutcome outcome = h.save();
        EXPECT_FALSE(outcome.saved) << "byte " << at << " changed by someone else";
        EXPECT_NE(outcome.message.find(path.string()), std::string::npos) << outcome.message;
        EXPECT_EQ(readFile(path), theirs) << "byte " << at;
        refused += !outcome.saved;
        std::filesystem::remove(path);
    }
    EXPECT_GT(refused, static_cast<int>(seeds) / 2);
}

}  // namespace
}  // namespace vondrel
