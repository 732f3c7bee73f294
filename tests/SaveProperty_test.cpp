#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <tuple>

#include "base/FileIO.h"
#include "editing/Household.h"
#include "gamedata/PersonLoader.h"
#include "support/LoadLog.h"
#include "support/Oracle.h"
#include "support/RandomGames.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

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
                    h.setAttribute(id, static_cast<Attribute>(a), uniform(0, 10) * 100);
            }
            if (chance(40))
                h.chooseCareer(id, uniform(-1, 10));
            if (chance(40))
                h.chooseTitle(id, uniform(0, 9));
            if (chance(40))
                h.setPerformance(id, uniform(-100, 100));
            if (chance(30))
                h.setLingerHouse(id, uniform(1, 10));
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

// A folder is loaded, edited at random, saved and read back; the next save writes nothing.
TEST(SaveProperty, SavedFileHoldsTheEditsAndNothingElse) {
    const char* many = std::getenv("VONDREL_SEEDS");
    const std::uint32_t seeds =
        many ? static_cast<std::uint32_t>(std::strtoul(many, nullptr, 10)) : 1500;
    testing::TempDir dir;
    long moneyEdits = 0, relationEdits = 0, readBack = 0;
    for (std::uint32_t seed = 1; seed <= seeds && !::testing::Test::HasFailure(); ++seed) {
        const testing::RandomFolder folder = testing::randomFolder(seed);
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Bytes& before = folder.neighborhood;
        const auto path = dir.path() / ("Neighborhood" + std::to_string(seed) + ".iff");
        // A file of its own: truncating and rewriting one file makes some file systems wait
        // for the disk on every close.
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(before.data()), static_cast<long>(before.size()));
        Persons loaded;
        LoadLog log;
        std::vector<PickerEntry> entries = loadPersons(folder.files, before, loaded, log);
        Household h(path, before, loaded, std::move(entries));
        edit(h, seed * 7919u + 17u);
        const Persons& edited = h.persons();
        const SaveOutcome outcome = h.save();
        ASSERT_TRUE(outcome.saved) << outcome.message;
        ASSERT_TRUE(h.isSaved());

        // The bytes of each edited value hold it, the rest keep theirs; a byte two records
        // write (a record name found inside another record) may hold either.
        Bytes expected = before;
        std::set<std::tuple<std::size_t, int, std::int32_t>> writes;  // one family, one money
        for (int id = 0; id < kSlotCount; ++id) {
            const auto now = testing::oracleWrites(edited[id]);
            const auto was = testing::oracleWrites(loaded[id]);
            for (std::size_t w = 0; w < now.size() && !(edited[id] == loaded[id]); ++w) {
                const auto [at, width, value] = now[w];
                writes.insert({at, width, value});
                if (value == was.at(w).value)
                    continue;
                const bool money = at + 1 == static_cast<std::size_t>(edited[id].MoneyPos);
                (money ? moneyEdits : relationEdits) += width == 4;
                for (int b = 0; b < width; ++b)
                    expected.at(at + b) =
                        static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * b));
            }
        }
        std::vector<int> writers(before.size());
        for (const auto& [at, width, value] : writes)
            std::for_each(writers.begin() + at, writers.begin() + at + width, [](int& n) { ++n; });
        Bytes after = readWholeFile(path, 1u << 30).bytes.value();
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t b = 0; b < after.size(); ++b) {
            if (writers[b] > 1) {
                EXPECT_FALSE(folder.wellFormed) << "byte " << b << " written for two records";
            } else if (after[b] != expected[b]) {
                ADD_FAILURE() << "byte " << b << " is " << int(after[b]) << ", not "
                              << int(expected[b]);
                break;
            }
        }
        if (folder.wellFormed) {  // read back, every record holds its edits
            Persons reloaded;
            loadPersons(folder.files, after, reloaded, log);
            for (int id = 0; id < kSlotCount; ++id) {
                EXPECT_TRUE(reloaded[id] == edited[id]) << "slot " << id;
                readBack += edited[id].NamePos > 0 && !(edited[id] == loaded[id]);
            }
        }
        EXPECT_TRUE(h.save().saved);
        EXPECT_EQ(readWholeFile(path, 1u << 30).bytes.value(), after);
        std::filesystem::remove(path);
    }
    if (const long n = seeds; n >= 300) {  // edits of every kind are saved and read back
        EXPECT_GT(moneyEdits, n / 2);
        EXPECT_GT(relationEdits, n);
        EXPECT_GT(readBack, n / 2);
    }
}

}  // namespace
}  // namespace vondrel
