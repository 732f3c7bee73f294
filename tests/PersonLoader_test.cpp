#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>

#include "gamedata/NeighborhoodFile.h"
#include "support/Games.h"
#include "support/OddFiles.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

using testing::loadSpec;
using testing::person;
using Kind = LoadLog::Kind;

const std::string kFileError =
    "Error on trying to read the file Ann.iff\nThe editor will ignore this file";
const std::string kValueError =
    "Error on trying to read the file Ann.iff\nThe expected value is bigger than the game "
    "accepts!\nThe editor will ignore this file";

build::GameSpec family(std::vector<build::PersonSpec> persons, std::string name = "Doe",
                       std::int16_t house = 3, std::int32_t money = 4321) {
    build::GameSpec g;
    build::FamilySpec f{std::move(name), house, money, {}, true};
    for (const auto& p : persons)
        f.members.push_back(p.key);
    g.persons = std::move(persons);
    g.families = {f};
    return g;
}

TEST(PersonLoader, OneReadableFileFillsItsSlotAndTellsTheWindowEverything) {
    build::PersonSpec ann = person("Ann", 42, 1);
    ann.neat = 700;
    ann.outgoing = 600;
    ann.active = -5;
    ann.playful = 1000;
    ann.nice = 0;
    ann.cooking = 100;
    ann.mechanical = 200;
    ann.charisma = 300;
    ann.body = 400;
    ann.logic = 500;
    ann.creativity = 600;
    ann.cleaning = 900;
    ann.jobTrack = -1;
    ann.jobLevel = 9;
    ann.jobPerformance = 100;
    ann.sex = 7;
    ann.lingerHouse = 0;
    ann.ghost = 1;
    const build::BuiltGame game = build::build(family({ann}));
    const auto run = testing::loadBuilt(game);

    const PersonRecord& p = run.persons[42];
    EXPECT_EQ(p.Id, 42);
    EXPECT_EQ(p.FirstName, "Ann");
    EXPECT_EQ(p.FamilyName, "Doe");
    EXPECT_EQ(p.NamePos, static_cast<Long>(game.layout.recordOffset.at("ann") + 1));
    EXPECT_EQ(p.MoneyPos, static_cast<Long>(game.layout.familyOffset[0] + 12 + 1));
    EXPECT_EQ(p.Money, 4321);
    EXPECT_EQ(p.House, 3);
    EXPECT_EQ(p.Neat, 700);
    EXPECT_EQ(p.Outgoing, 600);
    EXPECT_EQ(p.Active, -5);
    EXPECT_EQ(p.Playful, 1000);
    EXPECT_EQ(p.Nice, 0);
    EXPECT_EQ(p.Cooking, 100);
    EXPECT_EQ(p.Mechanical, 200);
    EXPECT_EQ(p.Charisma, 300);
    EXPECT_EQ(p.Body, 400);
    EXPECT_EQ(p.Logic, 500);
    EXPECT_EQ(p.Creativity, 600);
    EXPECT_EQ(p.Cleaning, 900);
    EXPECT_EQ(p.JobTrack, -1);
    EXPECT_EQ(p.JobLevel, 9);
    EXPECT_EQ(p.JobPerformance, 100);
    EXPECT_EQ(p.Sex, 7);
    EXPECT_EQ(p.LingerHouse, 0);
    EXPECT_EQ(p.IsGhost, kTrue);
    EXPECT_EQ(p.Rejected, kFalse);

    const std::vector<LoadLog::Event> expected = {
        {Kind::Advance, 1, {}, {}},
        {Kind::Advance, 1, {}, {}},
        {Kind::Advance, 1, {}, {}},
        {Kind::Advance, 1, {}, {}},
        {Kind::Image, 0, "ID=42", *ann.portrait},
        {Kind::Advance, 1, {}, {}},
        {Kind::Advance, 1, {}, {}},
        {Kind::Image, 0, "Unknown", {}},
    };
    EXPECT_EQ(run.log.events, expected);
    EXPECT_EQ(run.entries, (std::vector<PickerEntry>{{42, "Doe, Ann", 1}}));
}

TEST(PersonLoader, EntriesCarryTheIdOfTheSlotTheyWereMadeFrom) {
    // Same names in two slots, and a first name with a comma: the text cannot tell them apart.
    build::PersonSpec ann = person("Ann", 9, 1);
    build::PersonSpec twin = person("Ann", 4, 2);
    twin.fileName = "Ann2.iff";
    build::PersonSpec jr = person("Jr", 300, 3);
    jr.firstName = "Jo, Jr";
    const auto run = loadSpec(family({ann, twin, jr}));
    EXPECT_EQ(run.entries, (std::vector<PickerEntry>{
                               {9, "Doe, Ann", 1}, {4, "Doe, Ann", 2}, {300, "Doe, Jo, Jr", 3}}));
}

TEST(PersonLoader, EveryFileAdvancesTheProgressBySixWhateverHappens) {
    build::PersonSpec ok = person("Ann", 1, 1);
    build::PersonSpec noAnchor = person("Bob", 2, 2);
    noAnchor.omitAnchor = true;
    build::PersonSpec badValue = person("Cid", 3, 3);
    badValue.logic = 1001;
    build::PersonSpec badGhost = person("Dee", 4, 4);
    badGhost.ghost = 2;
    build::PersonSpec badHouse = person("Eve", 5, 5);
    build::PersonSpec absent = person("Fay", 6, 6);
    absent.inNeighborhood = false;
    build::PersonSpec badId = person("Gus", 501, 7);
    build::GameSpec g = family({ok, noAnchor, badValue, badGhost, absent, badId});
    g.persons.push_back(badHouse);
    g.families.push_back({"Far", 11, 5, {badHouse.key}, true});

    const auto run = loadSpec(g);
    EXPECT_EQ(run.log.progress(), 6 * 7);
    EXPECT_EQ(run.log.texts(Kind::Message).size(), 6u);
    // One picture per file plus the last one, so picture i + 1 belongs to file i.
    EXPECT_EQ(run.log.texts(Kind::Image), (std::vector<std::string>{"ID=1", "ID=2", "ID=3", "ID=4",
                                                                    "", "", "ID=5", "Unknown"}));
    EXPECT_EQ(run.entries, (std::vector<PickerEntry>{{1, "Doe, Ann", 1}}));
}

TEST(PersonLoader, FileWithoutAnchorMarksTheSlotItsRecordNames) {
    build::PersonSpec ann = person("Ann", 12, 1);
    ann.omitAnchor = true;
    const auto run = loadSpec(family({ann}));
    EXPECT_EQ(run.log.texts(Kind::Message), std::vector<std::string>{kFileError});
    const PersonRecord& p = run.persons[12];
    EXPECT_EQ(p.FirstName, "*UNK*");
    EXPECT_EQ(p.NamePos, 0);  // nothing of the record was stored
    EXPECT_EQ(p.Rejected, kTrue);
    EXPECT_TRUE(run.entries.empty());
}

TEST(PersonLoader, ValueAboveItsLimitStoresTheSubstituteAndStopsReading) {
    build::PersonSpec ann = person("Ann", 9, 1);
    ann.neat = 1001;
    ann.outgoing = 200;
    ann.ghost = 1;
    ann.sex = 1;
    const auto run = loadSpec(family({ann}));
    EXPECT_EQ(run.log.texts(Kind::Message), std::vector<std::string>{kValueError});
    const PersonRecord& p = run.persons[9];
    EXPECT_EQ(p.Neat, 1000);
    EXPECT_EQ(p.Outgoing, 0);  // not read
    EXPECT_EQ(p.Sex, 1);
    EXPECT_EQ(p.IsGhost, kTrue);
    EXPECT_EQ(p.FamilyName, "Doe");
    EXPECT_EQ(p.FirstName, "Ann *UNK*");
    EXPECT_EQ(run.log.progress(), 6);
}

struct RangeCase {
    const char* field;
    std::int16_t build::PersonSpec::*spec;
    Integer PersonRecord::*record;
    std::int16_t lowestAccepted, highestAccepted;
    Integer substitute;
};

TEST(PersonLoader, EachValueHasItsRangeAndSubstitute) {
    const RangeCase cases[] = {
        {"JobTrack", &build::PersonSpec::jobTrack, &PersonRecord::JobTrack, -1, 10, 0},
        {"JobLevel", &build::PersonSpec::jobLevel, &PersonRecord::JobLevel, -32768, 9, 0},
        {"JobPerformance", &build::PersonSpec::jobPerformance, &PersonRecord::JobPerformance,
         -32768, 100, 50},
        {"LingerHouse", &build::PersonSpec::lingerHouse, &PersonRecord::LingerHouse, 0, 10, 0},
// Every personality and skill value: at most 1000, substitute 1000.
#define VONDREL_SKILL(Field, spec) \
    {#Field, &build::PersonSpec::spec, &PersonRecord::Field, -32768, 1000, 1000}
        VONDREL_SKILL(Neat, neat),
        VONDREL_SKILL(Outgoing, outgoing),
        VONDREL_SKILL(Active, active),
        VONDREL_SKILL(Playful, playful),
        VONDREL_SKILL(Nice, nice),
        VONDREL_SKILL(Cleaning, cleaning),
        VONDREL_SKILL(Cooking, cooking),
        VONDREL_SKILL(Mechanical, mechanical),
        VONDREL_SKILL(Charisma, charisma),
        VONDREL_SKILL(Body, body),
        VONDREL_SKILL(Logic, logic),
        VONDREL_SKILL(Creativity, creativity),
#undef VONDREL_SKILL
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.field);
        for (const std::int16_t v : {c.lowestAccepted, c.highestAccepted}) {
            build::PersonSpec ann = person("Ann", 1, 1);
            ann.*c.spec = v;
            const auto run = loadSpec(family({ann}));
            EXPECT_TRUE(run.log.texts(Kind::Message).empty()) << v;
            EXPECT_EQ(run.persons[1].*c.record, v);
        }
        std::vector<std::int16_t> rejected = {static_cast<std::int16_t>(c.highestAccepted + 1)};
        if (c.lowestAccepted > -32768)
            rejected.push_back(static_cast<std::int16_t>(c.lowestAccepted - 1));
        for (const std::int16_t v : rejected) {
            build::PersonSpec ann = person("Ann", 1, 1);
            ann.*c.spec = v;
            const auto run = loadSpec(family({ann}));
            EXPECT_EQ(run.log.texts(Kind::Message), std::vector<std::string>{kValueError}) << v;
            EXPECT_EQ(run.persons[1].*c.record, c.substitute) << v;
        }
    }
}

TEST(PersonLoader, GhostFlagOtherThanZeroOrOneIsAFileError) {
    build::PersonSpec ann = person("Ann", 1, 1);
    ann.ghost = -1;
    const auto run = loadSpec(family({ann}));
    EXPECT_EQ(run.log.texts(Kind::Message), std::vector<std::string>{kFileError});
    EXPECT_EQ(run.persons[1].FirstName, "Ann *UNK*");
    EXPECT_EQ(run.persons[1].Neat, 0);
}

TEST(PersonLoader, HouseElevenOrMoreRejectsBeforeAnythingIsStored) {
    build::PersonSpec ann = person("Ann", 1, 1);
    const auto run = loadSpec(family({ann}, "Doe", 11));
    EXPECT_EQ(run.log.texts(Kind::Message), std::vector<std::string>{kFileError});
    EXPECT_EQ(run.persons[1].FirstName, "*UNK*");
    EXPECT_EQ(run.persons[1].FamilyName, "");
    const auto ok = loadSpec(family({ann}, "Doe", 10));
    EXPECT_TRUE(ok.log.texts(Kind::Message).empty());
    const auto negative = loadSpec(family({ann}, "Doe", -3));
    EXPECT_EQ(negative.persons[1].House, -3);
}

TEST(PersonLoader, RecordNameMissingOrIdOutOfRangeTouchesNoSlot) {
    build::PersonSpec absent = person("Ann", 1, 1);
    absent.inNeighborhood = false;
    build::PersonSpec negative = person("Bob", -1, 2);
    build::PersonSpec big = person("Cid", 501, 3);
    const auto run = loadSpec(family({absent, negative, big}));
    EXPECT_EQ(run.log.texts(Kind::Message).size(), 3u);
    EXPECT_EQ(run.persons, Persons{});
    EXPECT_EQ(run.log.progress(), 18);
}

TEST(PersonLoader, RecordCutOffByTheEndOfTheFileIsAFileError) {
    build::PersonSpec ann = person("Ann", 1, 1);
    build::BuiltGame game = build::build(family({ann}));
    game.neighborhood.resize(game.layout.recordOffset.at("ann") + 193);  // one byte short
    const auto run = testing::loadBuilt(game);
    EXPECT_EQ(run.log.texts(Kind::Message), std::vector<std::string>{kFileError});
    EXPECT_EQ(run.persons, Persons{});
}

TEST(PersonLoader, FirstFamilyHoldingTheKeyWinsAlsoUnaligned) {
    build::PersonSpec ann = person("Ann", 1, 1);
    build::GameSpec g;
    g.persons = {ann};
    build::FamilySpec first{"First", 1, 100, {}, true};
    build::FamilySpec second{"Second", 2, 200, {ann.key}, true};
    // In the first family the key straddles two member slots.
    first.members = {{0x00, 0x00, 0x00, 0xE1}, {0x01, 0x00, 0x7F, 0x00}};
    g.families = {first, second};
    const auto run = loadSpec(g);
    EXPECT_EQ(run.persons[1].FamilyName, "First");
    EXPECT_EQ(run.persons[1].Money, 100);

    g.families = {second, build::FamilySpec{"Third", 3, 300, {ann.key}, true}};
    EXPECT_EQ(loadSpec(g).persons[1].FamilyName, "Second");
}

TEST(PersonLoader, FamilyWithoutNameMarkerLeavesItsMembersFamilyLess) {
    build::PersonSpec ann = person("Ann", 1, 1);
    build::GameSpec g = family({ann});
    g.families[0].nameMarker = false;
    const auto run = loadSpec(g);
    const PersonRecord& p = run.persons[1];
    EXPECT_EQ(p.FamilyName, "");
    EXPECT_EQ(p.Money, 0);
    EXPECT_EQ(p.MoneyPos, 0);
    EXPECT_EQ(p.House, 0);
    EXPECT_EQ(run.entries, (std::vector<PickerEntry>{{1, "Ann", 1}}));
}

TEST(PersonLoader, FamilyNameIsFoundPastTheFamilyRecord) {
    // Without a marker of its own, a family takes the name that follows it, here the next
    // family's.
    build::PersonSpec ann = person("Ann", 1, 1);
    build::PersonSpec bob = person("Bob", 2, 2);
    build::GameSpec g;
    g.persons = {ann, bob};
    g.families = {{"Unseen", 5, 50, {ann.key}, false}, {"Next", 6, 60, {bob.key}, true}};
    const auto run = loadSpec(g);
    EXPECT_EQ(run.persons[1].FamilyName, "Next");
    EXPECT_EQ(run.persons[1].House, 5);
    EXPECT_EQ(run.persons[1].Money, 50);
}

TEST(PersonLoader, PersonWithoutFamilyOrPortrait) {
    build::PersonSpec sol = person("Sol", 8, 8);
    sol.portrait.reset();
    build::GameSpec g;
    g.persons = {sol};
    const auto run = loadSpec(g);
    EXPECT_EQ(run.persons[8].FamilyName, "");
    EXPECT_EQ(run.persons[8].MoneyPos, 0);
    EXPECT_EQ(run.entries, (std::vector<PickerEntry>{{8, "Sol", 1}}));
    // The placeholder under the person's own key keeps pictures aligned with files.
    ASSERT_EQ(run.log.texts(Kind::Image), (std::vector<std::string>{"ID=8", "Unknown"}));
    for (const auto& e : run.log.events) {
        if (e.kind == Kind::Image) {
            EXPECT_FALSE(e.portrait);
        }
    }
}

TEST(PersonLoader, RelationshipWalkStoresTheEntriesItReaches) {
    const std::vector<build::Relationship> three = {{2, 50, true}, {3, -20, false}, {4, 77, true}};
    // The 0-based place of entry n of Ann's list (entries of two values are 20 bytes long).
    const auto entry = [](const build::BuiltGame& g, std::size_t n) {
        return g.layout.recordOffset.at("ann") + 192 + 20 * n;
    };
    const struct {
        const char* what;
        std::vector<build::Relationship> relations;
        std::optional<std::int16_t> flag, count;
        std::function<void(build::BuiltGame&)> damage;
        std::vector<int> found;
    } cases[] = {
        {"every next marker 1", three, {}, {}, {}, {2, 3, 4}},
        {"the second next marker 0",
         three,
         {},
         {},
         [&](build::BuiltGame& g) { g.neighborhood[entry(g, 2)] = 0; },
         {2, 3}},
        {"count 0 reads one", three, {}, 0, {}, {2}},
        {"count 1", three, {}, 1, {}, {2}},
        {"count 2", three, {}, 2, {}, {2, 3}},
        {"count past the list", three, {}, 9, {}, {2, 3, 4}},
        {"negative count", three, {}, -1, {}, {2, 3, 4}},
        {"flag not -1", three, 1, {}, {}, {}},
        {"one value: skipped", {{2, 50, true, 1}, {3, 60, true, 2}}, {}, {}, {}, {3}},
        {"id 600: skipped, the walk goes on",
         {{2, 50, true}, {600, 60, true}, {3, 70, false}},
         {},
         {},
         {},
         {2, 3}},
        {"cut inside the last love flag",
         {{2, 50, true}, {600, 60, true}, {3, 70, false}},
         {},
         {},
         [&](build::BuiltGame& g) { g.neighborhood.resize(entry(g, 2) + 17); },
         {2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        build::PersonSpec ann = person("Ann", 1, 1);
        ann.relations = c.relations;
        ann.relationFlag = c.flag;
        ann.relationCount = c.count;
        build::BuiltGame game = build::build(build::GameSpec{{ann}, {}, 0, 0, 1});
        if (c.damage)
            c.damage(game);
        const auto run = testing::loadBuilt(game);
        std::vector<int> found;
        for (int j = 0; j < kSlotCount; ++j) {
            if (isTrue(run.persons[1].HasRelation[j]))
                found.push_back(j);
        }
        EXPECT_EQ(found, c.found);
        if (c.found.size() == 3) {
            const PersonRecord& p = run.persons[1];
            const auto e = static_cast<FilePos>(entry(game, 0)) + 1;
            EXPECT_EQ(p.Relation[3], -20);
            EXPECT_EQ(p.RelationPos[2], e + 12);
            EXPECT_EQ(p.RelationPos[3], e + 20 + 12);
            EXPECT_EQ(p.Loves[2], kTrue);
            EXPECT_EQ(p.Loves[3], kFalse);
        }
    }
}

TEST(PersonLoader, LaterFileWithTheSameIdOverwritesWhatItReads) {
    build::PersonSpec ann = person("Ann", 5, 1);
    ann.neat = 100;
    ann.relations = {{2, 50, true}};
    build::PersonSpec bob = person("Bob", 5, 2);
    bob.neat = 900;
    const auto run = loadSpec(family({ann, bob}));
    EXPECT_EQ(run.persons[5].FirstName, "Bob");
    EXPECT_EQ(run.persons[5].Neat, 900);
    // Ann's relationships lie in Ann's record: they must not stay with Bob.
    EXPECT_EQ(run.persons[5].HasRelation[2], kFalse);
    EXPECT_EQ(run.persons[5].RelationPos[2], 0);
    EXPECT_EQ(run.log.texts(Kind::Image), (std::vector<std::string>{"ID=5", "ID=5", "Unknown"}));
}

TEST(PersonLoader, TwoFilesInOneSlotLeaveOnlyTheLaterAndSaySo) {
    const std::string kSameSlot =
        "Two character files name the same person: Ann.iff and Bob.iff\nVondrel keeps only the "
        "later one.";
    const std::string kBobError =
        "Error on trying to read the file Bob.iff\nThe editor will ignore this file";
    struct Case {
        const char* what;
        bool annRejected, bobRejected;
        std::vector<std::string> messages;
        std::vector<PickerEntry> entries;
    };
    const Case cases[] = {
        {"later accepted", false, false, {kSameSlot}, {{8, "Doe, Cid", 2}, {5, "Doe, Bob", 3}}},
        {"later rejected", false, true, {kBobError, kSameSlot}, {{8, "Doe, Cid", 2}}},
        {"earlier rejected",
         true,
         false,
         {kFileError, kSameSlot},
         {{8, "Doe, Cid", 2}, {5, "Doe, Bob", 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        build::PersonSpec ann = person("Ann", 5, 1);
        ann.omitAnchor = c.annRejected;
        build::PersonSpec bob = person("Bob", 5, 2);
        bob.omitAnchor = c.bobRejected;
        const auto run = loadSpec(family({ann, person("Cid", 8, 3), bob}));
        EXPECT_EQ(run.log.texts(Kind::Message), c.messages);
        EXPECT_EQ(run.entries, c.entries);
        EXPECT_EQ(run.log.progress(), 18);
    }
}

TEST(PersonLoader, RecordNameFollowedByNulWinsOverAnEarlierLongerName) {
    // "user1" first occurs as the start of "user10", whose record comes earlier.
    build::PersonSpec user10 = person("user10", 1, 1);
    build::PersonSpec user1 = person("user1", 2, 2);
    user1.neat = 800;
    const build::BuiltGame game = build::build(family({user10, user1}));
    const auto run = testing::loadBuilt(game);
    EXPECT_EQ(run.persons[2].NamePos, static_cast<Long>(game.layout.recordOffset.at("user1") + 1));
    EXPECT_EQ(run.persons[2].Neat, 800);
    EXPECT_EQ(run.persons[1].FirstName, "user10");
    EXPECT_TRUE(run.log.texts(Kind::Message).empty());

    // A name that is never followed by a NUL is taken where it first occurs: "ann" in
    // "joanna", two bytes in, where the id read is 0.
    build::PersonSpec joanna = person("Joanna", 1, 1);
    build::PersonSpec ann = person("Ann", 2, 2);
    ann.inNeighborhood = false;
    const build::BuiltGame inside = build::build(family({joanna, ann}));
    const Long joannaPos = static_cast<Long>(inside.layout.recordOffset.at("joanna")) + 1;
    EXPECT_EQ(testing::loadBuilt(inside).persons[0].NamePos, joannaPos + 2);
}

TEST(GameFolderLoad, ListsIffFilesInAnyCaseSortedIgnoringCase) {
    testing::TempDir dir;
    build::GameSpec g;
    for (const char* name : {"bob.IFF", "Ann.iff", "carl.Iff"}) {
        build::PersonSpec p = person("x", static_cast<std::int16_t>(g.persons.size()),
                                     static_cast<std::uint8_t>(g.persons.size() + 1));
        p.fileName = name;
        p.firstName = std::string(name).substr(0, 3);
        g.persons.push_back(p);
    }
    build::writeGameFolder(build::build(g), dir.path());
    const auto chars = dir.path() / "UserData" / "Characters";
    std::filesystem::create_directories(chars / "folder.iff");
    { std::ofstream(chars / "notes.txt") << "x"; }
    { std::ofstream(chars / ".hidden.iff") << "x"; }

    std::vector<std::string> names;
    for (const auto& p : listCharacterFiles(chars))
        names.push_back(p.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"Ann.iff", "bob.IFF", "carl.Iff"}));

    Persons persons;
    LoadLog log;
    const GameFolderLoad load = loadGameFolder(dir.path(), persons, log);
    EXPECT_EQ(load.status, LoadStatus::Loaded);
    EXPECT_EQ(log.events.front(), (LoadLog::Event{Kind::Begin, 18, {}, {}}));
    EXPECT_EQ(load.entries,
              (std::vector<PickerEntry>{{1, "Ann", 1}, {0, "bob", 2}, {2, "car", 3}}));
    EXPECT_EQ(load.neighborhood, build::build(g).neighborhood);
}

TEST(GameFolderLoad, FindsFoldersWrittenInAnotherLetterCase) {
    testing::TempDir dir;
    build::GameSpec g;
    g.persons = {person("Ann", 1, 1)};
    build::writeGameFolder(build::build(g), dir.path());
    // Through a third name: a file system that ignores case may take a rename to the same
    // name in other letters for one that has nothing to do.
    const auto recase = [](const std::filesystem::path& from, const std::filesystem::path& to) {
        std::filesystem::rename(from, to.parent_path() / "recased");
        std::filesystem::rename(to.parent_path() / "recased", to);
    };
    recase(dir.path() / "UserData" / "Neighborhood.iff",
           dir.path() / "UserData" / "NEIGHBORHOOD.IFF");
    recase(dir.path() / "UserData" / "Characters", dir.path() / "UserData" / "characters");
    recase(dir.path() / "UserData", dir.path() / "userdata");
    Persons persons;
    LoadLog log;
    const GameFolderLoad load = loadGameFolder(dir.path(), persons, log);
    EXPECT_EQ(load.status, LoadStatus::Loaded);
    EXPECT_EQ(persons[1].FirstName, "Ann");
    EXPECT_EQ(load.neighborhoodPath.filename(), "NEIGHBORHOOD.IFF");
}

TEST(GameFolderLoad, EmptyMissingAndUnreadableFoldersSayWhy) {
    testing::TempDir dir;
    Persons persons;
    LoadLog missing;
    EXPECT_EQ(loadGameFolder(dir.path(), persons, missing).status,
              LoadStatus::CharactersFolderMissing);
    ASSERT_EQ(missing.texts(Kind::Message).size(), 1u);
    EXPECT_NE(missing.texts(Kind::Message)[0].find("Characters"), std::string::npos);

    std::filesystem::create_directories(dir.path() / "UserData" / "Characters");
    LoadLog empty;
    EXPECT_EQ(loadGameFolder(dir.path(), persons, empty).status, LoadStatus::NoCharacters);
    EXPECT_EQ(empty.texts(Kind::Message), std::vector<std::string>{"No veks detected!"});
    EXPECT_EQ(empty.events.front(), (LoadLog::Event{Kind::Begin, 0, {}, {}}));

    { std::ofstream(dir.path() / "UserData" / "Characters" / "Ann.iff") << "x"; }
    LoadLog noNeighborhood;
    EXPECT_EQ(loadGameFolder(dir.path(), persons, noNeighborhood).status,
              LoadStatus::NeighborhoodUnreadable);
    ASSERT_EQ(noNeighborhood.texts(Kind::Message).size(), 1u);
    EXPECT_NE(noNeighborhood.texts(Kind::Message)[0].find("Neighborhood.iff"), std::string::npos);
    EXPECT_EQ(persons, Persons{});
}

#ifndef _WIN32

// A pipe, a device or a file over the limit where a game file should be: refused at once,
// with the file's name and what is wrong.
TEST(GameFolderLoad, OddFilesInAGameFilesPlaceAreRefusedWithoutWaiting) {
    using testing::Odd;
    struct Case {
        bool neighborhood;
        Odd odd;
        std::string says;
    };
    const Case cases[] = {
        {true, Odd::Fifo, "Neighborhood.iff (not a regular file)"},
        {true, Odd::DeviceLink, "Neighborhood.iff (not a regular file)"},
        {true, Odd::Folder, "Neighborhood.iff (it is a folder)"},
        {true, Odd::TooLarge, "Neighborhood.iff (it holds 256 MiB (268435457 bytes)"},
        {false, Odd::Fifo, "Error on trying to read the file Ann.iff (not a regular file)\n"},
        {false, Odd::DeviceLink, "Error on trying to read the file Ann.iff (not a regular file)"},
        {false, Odd::TooLarge, "Ann.iff (it holds 16 MiB (16777217 bytes), more than the 16 MiB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.neighborhood ? "neighbourhood: " : "character: ") +
                     testing::nameOf(c.odd));
        testing::TempDir dir;
        build::writeGameFolder(build::build(family({person("Ann", 1, 1), person("Bob", 2, 2)})),
                               dir.path());
        const auto userData = dir.path() / "UserData";
        testing::putOdd(
            c.neighborhood ? userData / "Neighborhood.iff" : userData / "Characters" / "Ann.iff",
            c.odd, (c.neighborhood ? 256 : 16) * kMebibyte + 1);
        Persons persons;
        LoadLog log;
        const GameFolderLoad load = loadGameFolder(dir.path(), persons, log);
        EXPECT_EQ(load.status,
                  c.neighborhood ? LoadStatus::NeighborhoodUnreadable : LoadStatus::Loaded);
        const std::vector<std::string> messages = log.texts(Kind::Message);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(c.says), std::string::npos) << messages[0];
        EXPECT_EQ(persons[2].FirstName, c.neighborhood ? "" : "Bob");
    }
}

TEST(GameFolderLoad, AfterTenMessagesTheRestComeInOneThatListsThem) {
    testing::TempDir dir;
    build::writeGameFolder(build::build(family({person("Ann", 1, 1)})), dir.path());
    for (int i = 0; i < 1000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Bad%04d.iff", i);
        std::ofstream(dir.path() / "UserData" / "Characters" / name) << "no anchor";
    }
    Persons persons;
    LoadLog log;
    const GameFolderLoad load = loadGameFolder(dir.path(), persons, log);
    ASSERT_EQ(load.status, LoadStatus::Loaded);
    EXPECT_EQ(load.entries, (std::vector<PickerEntry>{{1, "Doe, Ann", 1}}));
    const std::vector<std::string> messages = log.texts(Kind::Message);
    ASSERT_EQ(messages.size(), 11u);
    EXPECT_EQ(messages[9],
              "Error on trying to read the file Bad0009.iff\n"
              "The editor will ignore this file");
    const std::string& last = messages.back();
    EXPECT_EQ(last.rfind("More files could not be read or were left out: 990\n"
                         "Error on trying to read the file Bad0010.iff\n",
                         0),
              0u)
        << last;
    EXPECT_NE(last.find("Bad0029.iff\n...\nThe full list is printed to the standard error"),
              std::string::npos)
        << last;
    EXPECT_EQ(last.find("Bad0030.iff"), std::string::npos);
    const std::vector<std::string> logged = log.texts(Kind::Log);
    ASSERT_EQ(logged.size(), 990u);
    EXPECT_EQ(logged.back().rfind("Error on trying to read the file Bad0999.iff\n", 0), 0u);
}

// Names as the file system gives them: a folder and a file named in bytes that are not
// UTF-8 load; names the game's code page cannot hold name no record, and never each other's.
TEST(GameFolderLoad, NamesThatAreNotUtf8Load) {
    testing::TempDir dir;
    const std::string folder = dir.path().string() + "/Veks \xff\xfe";
    build::PersonSpec jerome = person("Jerome", 1, 1);
    jerome.fileName = "J\xe9r\xf4me.iff";  // Windows-1252 bytes, not UTF-8
    jerome.recordName = "j\xe9r\xf4me";
    build::PersonSpec han = person("Han", 2, 2);
    han.fileName = "\xe6\x97\xa5\xe5\x92\x8c.iff";  // two CJK characters
    han.recordName = "??";
    build::PersonSpec kan = person("Kan", 3, 3);
    kan.fileName = "\xe6\xbc\xa2\xe5\xad\x97.iff";
    kan.recordName = "?";
    build::writeGameFolder(build::build(family({jerome, han, kan})), folder);

    Persons persons;
    LoadLog log;
    const GameFolderLoad load = loadGameFolder(folder, persons, log);
    ASSERT_EQ(load.status, LoadStatus::Loaded);
    EXPECT_EQ(load.entries, (std::vector<PickerEntry>{{1, "Doe, Jerome", 3}}));
    EXPECT_EQ(log.texts(Kind::Message),
              (std::vector<std::string>{
                  "Error on trying to read the file \xe6\x97\xa5\xe5\x92\x8c.iff\nThe editor "
                  "will ignore this file",
                  "Error on trying to read the file \xe6\xbc\xa2\xe5\xad\x97.iff\nThe editor "
                  "will ignore this file"}));
}

#endif

}  // namespace
}  // namespace vondrel
