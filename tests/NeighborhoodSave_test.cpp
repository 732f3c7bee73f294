#include <gtest/gtest.h>

#include <fstream>

#include "base/FileIO.h"
#include "gamedata/NeighborhoodSave.h"
#include "support/Games.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

using testing::person;

PersonRecord changedPerson() {
    PersonRecord p;
    p.FirstName = "Ann";
    p.NamePos = 1001;
    p.Changed = kTrue;
    p.Neat = 1;
    p.Outgoing = 2;
    p.Active = 3;
    p.Playful = 4;
    p.Nice = 5;
    p.Cooking = 6;
    p.Mechanical = 7;
    p.Charisma = 8;
    p.Body = 9;
    p.Logic = 10;
    p.Creativity = 11;
    p.JobTrack = 12;
    p.JobLevel = 13;
    p.JobPerformance = -14;
    p.Cleaning = 15;
    p.LingerHouse = 16;
    p.Money = 123456;
    p.MoneyPos = 5001;
    p.IsGhost = kTrue;
    return p;
}

TEST(SavePatches, WritesEveryFieldOfAChangedPersonInOrderAtItsPosition) {
    Persons persons;
    persons[3] = changedPerson();
    persons[3].HasRelation[7] = kTrue;
    persons[3].Relation[7] = -70;
    persons[3].RelationPos[7] = 2001;
    persons[3].Loves[7] = kTrue;
    persons[3].HasRelation[2] = kTrue;
    persons[3].Relation[2] = 100;
    persons[3].RelationPos[2] = 3001;
    persons[3].Loves[2] = 1;           // only -1 counts as True
    persons[3].RelationPos[9] = 4001;  // stale position without a relation: never used

    const std::vector<Patch> expected = {
        {1000 + 32, 2, 1},   {1000 + 30, 2, 2},    {1000 + 24, 2, 3},  {1000 + 28, 2, 4},
        {1000 + 22, 2, 5},   {1000 + 38, 2, 6},    {1000 + 42, 2, 7},  {1000 + 40, 2, 8},
        {1000 + 52, 2, 9},   {1000 + 54, 2, 10},   {1000 + 48, 2, 11}, {1000 + 130, 2, 12},
        {1000 + 132, 2, 13}, {1000 + 144, 2, -14}, {1000 + 36, 2, 15}, {1000 + 152, 2, 16},
        {5000, 4, 123456},   {1000 + 154, 2, 1},   {3000, 4, 100},     {3004, 2, 0},
        {2000, 4, -70},      {2004, 2, 1},
    };
    EXPECT_EQ(savePatches(persons), expected);
}

TEST(SavePatches, SkipsUnchangedUnnamedAndRejectedPersons) {
    Persons persons;
    persons[1] = changedPerson();
    persons[1].Changed = kFalse;
    persons[2] = changedPerson();
    persons[2].FirstName.clear();
    persons[3] = changedPerson();
    persons[3].Rejected = kTrue;
    persons[4] = changedPerson();
    persons[4].Changed = 1;  // not True
    EXPECT_TRUE(savePatches(persons).empty());
}

TEST(SavePatches, NoMoneyWithoutFamilyAndGhostAsOneOrZero) {
    Persons persons;
    persons[0] = changedPerson();
    persons[0].MoneyPos = 0;
    persons[0].IsGhost = kFalse;
    const auto patches = savePatches(persons);
    ASSERT_EQ(patches.size(), 17u);
    EXPECT_EQ(patches.back(), (Patch{1000 + 154, 2, 0}));
}

TEST(ApplyPatches, WritesLittleEndianAndNeverPastTheEnd) {
    Bytes image(10, 0xEE);
    EXPECT_EQ(applyPatches(image, {{0, 4, -2}, {4, 2, 0x1234}, {8, 4, 1}, {9, 2, 1}}), 2u);
    EXPECT_EQ(image, (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12, 0xEE, 0xEE, 0xEE, 0xEE}));
}

class SaveToDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        build::PersonSpec ann = person("Ann", 1, 1);
        ann.relations = {{2, 40, false}};
        build::PersonSpec bob = person("Bob", 2, 2);
        bob.relations = {{1, 30, true}};
        build::PersonSpec sol = person("Sol", 3, 3);
        spec.persons = {ann, bob, sol};
        spec.families = {{"Doe", 2, 500, {ann.key, bob.key}, true}};
        game = build::build(spec);
        build::writeGameFolder(game, dir.path());
        LoadLog log;
        load = loadGameFolder(dir.path(), persons, log);
        ASSERT_EQ(load.status, LoadStatus::Loaded);
    }
    Bytes onDisk() const { return *readWholeFile(load.neighborhoodPath).bytes; }
    std::size_t record(const char* name) const { return game.layout.recordOffset.at(name); }

    testing::TempDir dir;
    build::GameSpec spec;
    build::BuiltGame game;
    Persons persons;
    GameFolderLoad load;
};

TEST_F(SaveToDisk, PatchesOnlyTheChangedPersonsFieldsInPlace) {
    persons[1].Neat = 1000;
    persons[1].Money = 777;
    persons[2].Money = 777;
    persons[1].Relation[2] = 100;
    persons[1].Loves[2] = kTrue;
    persons[1].Changed = kTrue;
    persons[2].Neat = 0;  // edited but not marked: not written

    NeighborhoodSaver saver(load.neighborhoodPath, load.neighborhood);
    const SaveOutcome outcome = saver.save(persons);
    ASSERT_TRUE(outcome.saved) << outcome.message;

    Bytes expected = game.neighborhood;
    const std::size_t ann = record("ann");
    expected[ann + 32] = 0xE8;  // 1000
    expected[ann + 33] = 0x03;
    const std::size_t money = game.layout.familyOffset[0] + 12;
    expected[money] = 0x09;  // 777
    expected[money + 1] = 0x03;
    expected[money + 2] = 0;
    expected[money + 3] = 0;
    const std::size_t relation = ann + 192 + 12;
    expected[relation] = 100;
    expected[relation + 4] = 1;
    EXPECT_EQ(onDisk(), expected);
    EXPECT_EQ(saver.expected(), expected);
}

TEST_F(SaveToDisk, SavingTwiceWritesTheSameBytesAgain) {
    persons[3].Logic = 900;
    persons[3].Changed = kTrue;
    NeighborhoodSaver saver(load.neighborhoodPath, load.neighborhood);
    ASSERT_TRUE(saver.save(persons).saved);
    const Bytes first = onDisk();
    ASSERT_TRUE(saver.save(persons).saved);
    EXPECT_EQ(onDisk(), first);
    persons[3].Logic = 100;
    ASSERT_TRUE(saver.save(persons).saved);
    EXPECT_EQ(onDisk()[record("sol") + 54], 100);
    EXPECT_EQ(onDisk().size(), game.neighborhood.size());
}

TEST_F(SaveToDisk, RefusesWhenAnotherProgramChangedTheFile) {
    persons[1].Neat = 0;
    persons[1].Changed = kTrue;
    Bytes changed = game.neighborhood;
    changed[7] ^= 1;
    {
        std::ofstream out(load.neighborhoodPath, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(changed.data()), static_cast<long>(changed.size()));
    }
    NeighborhoodSaver saver(load.neighborhoodPath, load.neighborhood);
    const SaveOutcome outcome = saver.save(persons);
    EXPECT_FALSE(outcome.saved);
    EXPECT_NE(outcome.message.find(load.neighborhoodPath.string()), std::string::npos);
    EXPECT_NE(outcome.message.find("Nothing was saved"), std::string::npos);
    EXPECT_EQ(onDisk(), changed);

    // A file that grew is refused too.
    changed.push_back(0);
    {
        std::ofstream out(load.neighborhoodPath, std::ios::binary | std::ios::app);
        out.put(0);
    }
    EXPECT_FALSE(saver.save(persons).saved);
    EXPECT_EQ(onDisk(), changed);
}

TEST_F(SaveToDisk, MissingOrReadOnlyFileGivesAMessageNamingIt) {
    persons[1].Changed = kTrue;
    persons[1].Neat = 0;
    NeighborhoodSaver saver(load.neighborhoodPath, load.neighborhood);

    std::filesystem::permissions(load.neighborhoodPath, std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::group_read);
    if (FilePtr probe = openFile(load.neighborhoodPath, "r+b"); !probe) {  // root may write anyway
        const SaveOutcome readOnly = saver.save(persons);
        EXPECT_FALSE(readOnly.saved);
        EXPECT_NE(
            readOnly.message.find("Could not save the file " + load.neighborhoodPath.string()),
            std::string::npos);
        EXPECT_EQ(onDisk(), game.neighborhood);
    }
    std::filesystem::permissions(load.neighborhoodPath, std::filesystem::perms::owner_all);

    std::filesystem::remove(load.neighborhoodPath);
    const SaveOutcome missing = saver.save(persons);
    EXPECT_FALSE(missing.saved);
    EXPECT_NE(missing.message.find(load.neighborhoodPath.string()), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(load.neighborhoodPath));
}

TEST_F(SaveToDisk, RejectedPersonIsNeverWrittenEvenWhenMarked) {
    build::GameSpec broken = spec;
    broken.persons[2].jobLevel = 10;  // Sol's file is rejected
    game = build::build(broken);
    build::writeGameFolder(game, dir.path());
    persons = Persons{};
    LoadLog log;
    load = loadGameFolder(dir.path(), persons, log);
    ASSERT_EQ(persons[3].Rejected, kTrue);
    ASSERT_EQ(persons[3].JobLevel, 0);  // the substitute
    persons[3].Changed = kTrue;
    NeighborhoodSaver saver(load.neighborhoodPath, load.neighborhood);
    ASSERT_TRUE(saver.save(persons).saved);
    EXPECT_EQ(onDisk(), game.neighborhood);
}

}  // namespace
}  // namespace vondrel
