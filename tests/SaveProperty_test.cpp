#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <set>

#include "editing/Household.h"
#include "gamedata/PersonLoader.h"
#include "support/LoadLog.h"
#include "support/Oracle.h"
#include "support/RandomGames.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

using testing::RandomFolder;

std::uint32_t seedCount(std::uint32_t normal) {
    if (const char* many = std::getenv("VONDREL_SEEDS")) {
        return static_cast<std::uint32_t>(std::strtoul(many, nullptr, 10));
    }
    return normal;
}

// Every folder gets a file of its own: truncating and rewriting one file makes some file
// systems wait for the disk on every close.
void writeNewFile(const std::filesystem::path& path, const Bytes& bytes) {
    ASSERT_FALSE(std::filesystem::exists(path)) << path;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Changes one byte of the file in place, as another program would.
void changeByte(const std::filesystem::path& path, std::size_t at, std::uint8_t value) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(at));
    file.put(static_cast<char>(value));
    ASSERT_TRUE(file.good()) << path;
}

std::filesystem::path fileFor(const testing::TempDir& dir, std::uint32_t seed) {
    return dir.path() / ("Neighborhood" + std::to_string(seed) + ".iff");
}

// Random edits as the window makes them, through the household: values within what the
// bars and lists offer, family money, relationships, maximizing, and some undo and redo.
class Editor {
  public:
    explicit Editor(std::uint32_t seed) : rng_(seed) {}

    void edit(Household& h) {
        for (int id = 0; id < kSlotCount; ++id) {
            // Edits of slots the save cannot write must change nothing.
            if (!h.isEditable(id)) {
                if (chance(5)) {
                    EXPECT_FALSE(h.setAttribute(id, Attribute::Neat, bar())) << id;
                }
                continue;
            }
            if (chance(50))
                editValues(h, id);
            if (chance(10))
                h.setFamilyMoney(id, money());
            if (chance(3))
                h.maximizePerson(id, chance(50), chance(50));
            if (chance(10))
                h.undo();
            if (chance(5))
                h.redo();
        }
    }

  private:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(int percent) { return uniform(0, 99) < percent; }
    Integer bar() { return static_cast<Integer>(uniform(0, 10) * 100); }
    Long money() {
        Long value = uniform(0, 999999);
        if (chance(5))
            value = chance(50) ? -250 : 2147483647;
        // Those four bytes would read as a family name marker.
        return value == 0x0001FFFD ? 0 : value;
    }

    void editValues(Household& h, int id) {
        for (int a = 0; a < kAttributeCount; ++a) {
            if (chance(40))
                h.setAttribute(id, static_cast<Attribute>(a), bar());
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
            if (!isTrue(h.person(id).HasRelation[j]) || !chance(50))
                continue;
            h.setRelation(id, j, uniform(-100, 100));
            h.setLoves(id, j, chance(50));
        }
    }

    std::mt19937 rng_;
};

// The slots a load filled: each gets a picture under its key.
std::vector<int> filledSlots(const LoadLog& log) {
    std::vector<int> ids;
    for (const LoadLog::Event& e : log.events) {
        if (e.kind == LoadLog::Kind::Image && e.text.rfind("ID=", 0) == 0) {
            ids.push_back(std::stoi(e.text.substr(3)));
        }
    }
    return ids;
}

// The saved records whose written bytes no other write touches: a write into another
// record's field (a record name found inside another record, a relationship kept from an
// earlier file with the same id) leaves the value of whichever comes last.
std::set<int> recordsWrittenAlone(const Persons& persons, std::size_t fileSize) {
    constexpr long kNobody = -1;
    constexpr long kMoneyTag = 1'000'000'000;
    std::vector<long> owner(fileSize, kNobody);
    std::set<long> clashing;
    std::map<int, std::vector<long>> tagsOf;
    long nextTag = 0;
    for (int id = 0; id < kSlotCount; ++id) {
        const PersonRecord& r = persons[id];
        for (const auto& [offset, width] : testing::oracleWrittenRanges(r)) {
            // Members of one family write the same money at the same place.
            const bool money =
                r.MoneyPos != 0 && offset == static_cast<std::size_t>(r.MoneyPos) - 1;
            const long tag = money ? kMoneyTag + r.MoneyPos : nextTag++;
            tagsOf[id].push_back(tag);
            for (std::size_t b = offset; b < offset + static_cast<std::size_t>(width); ++b) {
                if (owner.at(b) == kNobody) {
                    owner[b] = tag;
                } else if (owner[b] != tag) {
                    clashing.insert(owner[b]);
                    clashing.insert(tag);
                }
            }
        }
    }
    std::set<int> alone;
    for (const auto& [id, tags] : tagsOf) {
        if (std::none_of(tags.begin(), tags.end(), [&](long t) { return clashing.count(t); })) {
            alone.insert(id);
        }
    }
    return alone;
}

// Whether the reload found the record where the first load did, so that its values come
// from the bytes the save wrote.
bool sameStructure(const PersonRecord& before, const PersonRecord& after) {
    return before.NamePos == after.NamePos && before.Id == after.Id &&
           before.MoneyPos == after.MoneyPos && before.FirstName == after.FirstName &&
           before.FamilyName == after.FamilyName && before.House == after.House &&
           after.Rejected == kFalse && before.HasRelation == after.HasRelation &&
           before.RelationPos == after.RelationPos;
}

void expectEditedValues(const PersonRecord& want, const PersonRecord& got) {
    EXPECT_EQ(got.Neat, want.Neat);
    EXPECT_EQ(got.Outgoing, want.Outgoing);
    EXPECT_EQ(got.Active, want.Active);
    EXPECT_EQ(got.Playful, want.Playful);
    EXPECT_EQ(got.Nice, want.Nice);
    EXPECT_EQ(got.Cooking, want.Cooking);
    EXPECT_EQ(got.Mechanical, want.Mechanical);
    EXPECT_EQ(got.Charisma, want.Charisma);
    EXPECT_EQ(got.Body, want.Body);
    EXPECT_EQ(got.Logic, want.Logic);
    EXPECT_EQ(got.Creativity, want.Creativity);
    EXPECT_EQ(got.JobTrack, want.JobTrack);
    EXPECT_EQ(got.JobLevel, want.JobLevel);
    EXPECT_EQ(got.JobPerformance, want.JobPerformance);
    EXPECT_EQ(got.Cleaning, want.Cleaning);
    EXPECT_EQ(got.LingerHouse, want.LingerHouse);
    EXPECT_EQ(got.Money, want.Money);
    EXPECT_EQ(got.IsGhost, want.IsGhost);
    for (int j = 0; j < kSlotCount; ++j) {
        if (!isTrue(want.HasRelation[j]))
            continue;
        EXPECT_EQ(got.Relation[j], want.Relation[j]) << "relation to " << j;
        EXPECT_EQ(got.Loves[j], want.Loves[j]) << "love for " << j;
    }
}

TEST(SaveProperty, SavedFileHoldsTheEditsAndNothingElse) {
    const std::uint32_t seeds = seedCount(1500);
    testing::TempDir dir;
    long savedRecords = 0, checkedRecords = 0, clashingRecords = 0, movedRecords = 0;
    long moneyWrites = 0, relationWrites = 0, keptValues = 0;
    Persons reloaded;
    LoadLog relog;

    for (std::uint32_t seed = 1; seed <= seeds; ++seed) {
        const RandomFolder folder = testing::randomFolder(seed);
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + folder.describe());
        const auto path = fileFor(dir, seed);
        writeNewFile(path, folder.neighborhood);

        Persons loaded;
        LoadLog log;
        std::vector<PickerEntry> entries =
            loadPersons(folder.files, folder.neighborhood, loaded, log);
        Household h(path, folder.neighborhood, loaded, std::move(entries));
        Editor(seed * 7919u + 17u).edit(h);
        const Persons& edited = h.persons();

        const SaveOutcome outcome = h.save();
        ASSERT_TRUE(outcome.saved) << outcome.message;
        ASSERT_TRUE(h.isSaved());

        // Bytes change only inside the values of records that hold an edit.
        const Bytes after = readFile(path);
        ASSERT_EQ(after.size(), folder.neighborhood.size());
        std::vector<bool> writable(after.size(), false);
        for (int id = 0; id < kSlotCount; ++id) {
            if (edited[id] == loaded[id])
                continue;
            for (const auto& [offset, width] : testing::oracleWrittenRanges(edited[id])) {
                for (int b = 0; b < width; ++b)
                    writable.at(offset + static_cast<std::size_t>(b)) = true;
            }
        }
        for (std::size_t b = 0; b < after.size(); ++b) {
            if (!writable[b] && after[b] != folder.neighborhood[b]) {
                ADD_FAILURE() << "byte " << b << " changed outside every edited record";
                break;
            }
        }

        for (const int id : filledSlots(relog))
            reloaded[id] = Persons{}[id];
        relog.events.clear();
        testing::oracleLoad(folder.files, after, reloaded, relog);
        const std::set<int> alone = recordsWrittenAlone(edited, after.size());
        for (int id = 0; id < kSlotCount; ++id) {
            const PersonRecord& want = edited[id];
            if (want.NamePos <= 0 || isTrue(want.Rejected))
                continue;
            ++savedRecords;
            moneyWrites += want.MoneyPos != 0 && want.Money != loaded[id].Money;
            relationWrites += want.Relation != loaded[id].Relation;
            if (!alone.count(id)) {
                ++clashingRecords;
                EXPECT_FALSE(folder.wellFormed) << "slot " << id << " shares written bytes";
                continue;
            }
            // Each value holds its edit; a value not edited keeps its bytes exactly.
            const auto now = testing::oracleWrites(want);
            const auto before = testing::oracleWrites(loaded[id]);
            ASSERT_EQ(now.size(), before.size());
            for (std::size_t w = 0; w < now.size(); ++w) {
                const bool changed = now[w].value != before[w].value;
                keptValues += !changed;
                const auto bits = static_cast<std::uint32_t>(now[w].value);
                for (int b = 0; b < now[w].width; ++b) {
                    const std::size_t at = now[w].offset + static_cast<std::size_t>(b);
                    EXPECT_EQ(after[at], changed ? static_cast<std::uint8_t>(bits >> (8 * b))
                                                 : folder.neighborhood[at])
                        << "slot " << id << ", byte " << b << " of the value at " << now[w].offset;
                }
            }
            if (!sameStructure(want, reloaded[id])) {
                ++movedRecords;
                EXPECT_FALSE(folder.wellFormed) << "slot " << id << " not found again";
                continue;
            }
            ++checkedRecords;
            SCOPED_TRACE("slot " + std::to_string(id));
            expectEditedValues(want, reloaded[id]);
        }

        // Nothing changed since: the same bytes again.
        const SaveOutcome again = h.save();
        EXPECT_TRUE(again.saved) << again.message;
        EXPECT_EQ(readFile(path), after);
        std::filesystem::remove(path);
        if (::testing::Test::HasFailure())
            break;
    }

    std::cout << "[ counters ] " << seeds << " folders: " << savedRecords << " records editable, "
              << checkedRecords << " read back, " << clashingRecords << " sharing written bytes, "
              << movedRecords << " found elsewhere on reload, " << moneyWrites << " money edits, "
              << relationWrites << " records with relationship edits, " << keptValues
              << " values kept\n";
    if (seeds < 300)
        return;
    const long n = static_cast<long>(seeds);
    EXPECT_GT(checkedRecords, 4 * n);
    EXPECT_GT(moneyWrites, n / 2);
    EXPECT_GT(relationWrites, n);
    // Records that cannot be read back must stay the exception, or a save that garbles
    // values could hide among them.
    EXPECT_LT(20 * (clashingRecords + movedRecords), savedRecords);
}

TEST(SaveProperty, FileChangedByAnotherProgramIsLeftAlone) {
    const std::uint32_t seeds = std::min<std::uint32_t>(seedCount(200), 200);
    testing::TempDir dir;
    std::mt19937 rng(4242);
    int refused = 0;
    for (std::uint32_t seed = 1; seed <= seeds; ++seed) {
        const RandomFolder folder = testing::randomFolder(seed);
        if (folder.neighborhood.empty())
            continue;
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + folder.describe());
        const auto path = fileFor(dir, seed);
        writeNewFile(path, folder.neighborhood);

        Persons persons;
        LoadLog log;
        std::vector<PickerEntry> entries =
            loadPersons(folder.files, folder.neighborhood, persons, log);
        Household h(path, folder.neighborhood, std::move(persons), std::move(entries));
        Editor(seed).edit(h);

        // Half the time the program has saved once already, and the change comes after.
        if (seed % 2 == 0) {
            ASSERT_TRUE(h.save().saved);
            Editor(seed + 1).edit(h);
        }

        Bytes theirs = readFile(path);
        const std::size_t at =
            std::uniform_int_distribution<std::size_t>(0, theirs.size() - 1)(rng);
        theirs[at] ^= static_cast<std::uint8_t>(std::uniform_int_distribution<int>(1, 255)(rng));
        changeByte(path, at, theirs[at]);
        ASSERT_EQ(readFile(path), theirs);

        const SaveOutcome outcome = h.save();
        EXPECT_FALSE(outcome.saved) << "byte " << at << " changed by someone else";
        EXPECT_NE(outcome.message.find(path.string()), std::string::npos) << outcome.message;
        EXPECT_EQ(readFile(path), theirs) << "byte " << at;
        refused += !outcome.saved;
        std::filesystem::remove(path);
        if (::testing::Test::HasFailure())
            break;
    }
    EXPECT_GT(refused, static_cast<int>(seeds) / 2);
}

}  // namespace
}  // namespace vondrel
