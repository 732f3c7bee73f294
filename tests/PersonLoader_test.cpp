#include <gtest/gtest.h>

#include <fstream>

#include "support/Games.h"
#include "support/OddFiles.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

using testing::loadSpec;
using testing::person;
using Kind = LoadLog::Kind;
using Strings = std::vector<std::string>;
using Entries = std::vector<PickerEntry>;

const std::string kValueError =
    "Error on trying to read the file Ann.iff\nThe expected value is bigger than the game "
    "accepts!\nThe editor will ignore this file";

build::GameSpec family(std::vector<build::PersonSpec> persons) {
    build::GameSpec g;
    g.families = {{"Doe", 3, 4321, {}, true}};
    for (const auto& p : persons)
        g.families[0].members.push_back(p.key);
    g.persons = std::move(persons);
    return g;
}

TEST(PersonLoader, OneReadableFileFillsItsSlotAndTellsTheWindowEverything) {
    build::PersonSpec ann = person("Ann", 42, 1);
    ann.sex = 7;
    ann.ghost = 1;
    const build::BuiltGame game = build::build(family({ann}));
    const auto run = testing::loadBuilt(game);
    const PersonRecord& p = run.persons[42];
    EXPECT_EQ(p.Id, 42);
    EXPECT_EQ(p.FirstName, "Ann");
    EXPECT_EQ(p.FamilyName, "Doe");
    EXPECT_EQ(p.NamePos, static_cast<Long>(game.layout.recordOffset.at("ann") + 1));
    EXPECT_EQ(p.Money, 4321);
    EXPECT_EQ(p.MoneyPos, static_cast<Long>(game.layout.familyOffset[0] + 12 + 1));
    EXPECT_EQ(p.House, 3);
    EXPECT_EQ(p.Sex, 7);
    EXPECT_EQ(p.IsGhost, kTrue);
    EXPECT_EQ(p.Rejected, kFalse);
    std::vector<LoadLog::Event> events(8, {Kind::Advance, 1, {}, {}});
    events[4] = {Kind::Image, 0, "ID=42", *ann.portrait};
    events[7] = {Kind::Image, 0, "Unknown", {}};
    EXPECT_EQ(run.log.events, events);
    EXPECT_EQ(run.entries, (Entries{{42, "Doe, Ann", 1}}));
}

TEST(PersonLoader, EachValueHasItsRangeAndSubstitute) {
    using S = build::PersonSpec;
    using R = PersonRecord;
    struct Range {
        std::int16_t S::*spec;
        Integer R::*record;
        std::int16_t lowest = -32768, highest = 1000;
        Integer substitute = 1000;
    };
    std::vector<Range> cases = {{&S::jobTrack, &R::JobTrack, -1, 10, 0},
                                {&S::jobLevel, &R::JobLevel, -32768, 9, 0},
                                {&S::jobPerformance, &R::JobPerformance, -32768, 100, 50},
                                {&S::lingerHouse, &R::LingerHouse, 0, 10, 0}};
    const std::pair<std::int16_t S::*, Integer R::*> attributes[] = {
        {&S::neat, &R::Neat},         {&S::outgoing, &R::Outgoing},
        {&S::active, &R::Active},     {&S::playful, &R::Playful},
        {&S::nice, &R::Nice},         {&S::cleaning, &R::Cleaning},
        {&S::cooking, &R::Cooking},   {&S::mechanical, &R::Mechanical},
        {&S::charisma, &R::Charisma}, {&S::body, &R::Body},
        {&S::logic, &R::Logic},       {&S::creativity, &R::Creativity}};
    for (const auto& [spec, record] : attributes)
        cases.push_back({spec, record});
    for (const auto& c : cases) {
        // Both ends load; one past either end stores the substitute.
        const std::int16_t values[] = {c.lowest, c.highest,
                                       static_cast<std::int16_t>(c.highest + 1),
                                       static_cast<std::int16_t>(c.lowest - 1)};
        for (int i = 0; i < (c.lowest == -32768 ? 3 : 4); ++i) {
            SCOPED_TRACE(::testing::Message() << "case " << &c - &cases[0] << ", " << values[i]);
            build::PersonSpec ann = person("Ann", 1, 1);
            ann.*c.spec = values[i];
            const auto run = loadSpec(family({ann}));
            EXPECT_EQ(run.log.texts(Kind::Message), i < 2 ? Strings{} : Strings{kValueError});
            EXPECT_EQ(run.persons[1].*c.record, i < 2 ? values[i] : c.substitute);
        }
    }
}

TEST(PersonLoader, FirstFamilyWhoseMemberListHoldsTheKeyGivesNameHouseAndMoney) {
    build::PersonSpec ann = person("Ann", 1, 1);
    ann.key = {0xE1, 0x01, 0xFD, 0xFF};  // its end is how a family name marker starts
    using F = build::FamilySpec;
    const F second{"Second", 10, 200, {ann.key}, true};
    // Only the start of the key ends its member list; the rest lies past it.
    const F past{"Past", 1, 100, {{}, {}, {}, {}, {}, {}, {}, {0, 0, 0xE1, 1}}};
    const struct {
        std::vector<F> families;
        std::string name;
        Integer house;
        Long money;
    } cases[] = {
        {{second, {"Third", 3, 300, {ann.key}, true}}, "Second", 10, 200},
        {{{"Across", -3, 100, {{0, 0, 0, 0xE1}, {1, 0xFD, 0xFF}}}, second}, "Across", -3, 100},
        {{past, second}, "Second", 10, 200},
        // Without a name marker of its own, the next family's name is taken.
        {{{"Unseen", 5, 50, {ann.key}, false}, {"Next", 6, 60, {}}}, "Next", 5, 50},
        {{{"Unseen", 5, 50, {ann.key}, false}}, "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const auto run = loadSpec(build::GameSpec{{ann}, c.families});
        const PersonRecord& p = run.persons[1];
        EXPECT_EQ(p.FamilyName, c.name);
        EXPECT_EQ(p.House, c.house);
        EXPECT_EQ(p.Money, c.money);
    }
}

TEST(PersonLoader, ManyFilesOfOneRecordNameLeaveTheSlotToTheLast) {
    // As files whose names differ only in letter case do.
    build::BuiltGame game = build::build(family({person("Ann", 5, 1)}));
    game.characterFiles = std::vector(20, game.characterFiles[0]);
    const auto run = testing::loadBuilt(game);
    EXPECT_EQ(run.entries, (Entries{{5, "Doe, Ann", 20}}));
    EXPECT_EQ(run.log.texts(Kind::Message),
              Strings(19,
                      "Two character files name the same person: Ann.iff and Ann.iff\nVondrel "
                      "keeps only the later one."));
}

#ifndef _WIN32

// Names as the file system gives them: ".iff" in any letter case, sorted ignoring case; a
// folder and a file named in bytes that are not UTF-8; folders in another letter case; names
// the game's code page cannot hold name no record, and never each other's.
TEST(GameFolderLoad, ListsIffFilesSortedIgnoringCaseWhateverTheirNames) {
    testing::TempDir dir;
    const std::filesystem::path root = dir.path().string() + "/Veks \xff\xfe";
    build::GameSpec g;
    const char* const files[][3] = {{"bob.IFF", "bob", ""},
                                    {"Ann.iff", "Ann", ""},
                                    {"carl.Iff", "carl", ""},
                                    {"J\xe9r\xf4me.iff", "Jerome", "j\xe9r\xf4me"},
                                    {"\xe6\x97\xa5\xe5\x92\x8c.iff", "Han", "??"},
                                    {"\xe6\xbc\xa2\xe5\xad\x97.iff", "Kan", "?"}};
    for (const auto& [file, first, record] : files) {
        const auto n = static_cast<std::int16_t>(g.persons.size());
        g.persons.push_back(person(first, n, static_cast<std::uint8_t>(n + 1)));
        g.persons.back().fileName = file;
        g.persons.back().recordName = record;
    }
    build::writeGameFolder(build::build(g), root);
    // Through a third name: a file system that ignores case may take a rename to the same
    // name in other letters for one that has nothing to do.
    const auto recase = [&](const std::string& from, const std::string& to) {
        std::filesystem::rename(root / from, root / "recased");
        std::filesystem::rename(root / "recased", root / to);
    };
    recase("UserData/Neighborhood.iff", "UserData/NEIGHBORHOOD.IFF");
    recase("UserData/Characters", "UserData/characters");
    recase("UserData", "userdata");
    const auto chars = root / "userdata" / "characters";
    std::filesystem::create_directories(chars / "folder.iff");
    std::ofstream(chars / "notes.txt") << "x";
    std::ofstream(chars / ".hidden.iff") << "x";

    Persons persons;
    LoadLog log;
    const GameFolderLoad load = loadGameFolder(root.string(), persons, log);
    ASSERT_EQ(load.status, LoadStatus::Loaded);
    EXPECT_EQ(load.neighborhoodPath.filename(), "NEIGHBORHOOD.IFF");
    EXPECT_EQ(load.neighborhood, build::build(g).neighborhood);
    EXPECT_EQ(log.events.front(), (LoadLog::Event{Kind::Begin, 36, {}, {}}));
    EXPECT_EQ(load.entries,
              (Entries{{1, "Ann", 3}, {0, "bob", 4}, {2, "carl", 5}, {3, "Jerome", 6}}));
    const std::string ignored = ".iff\nThe editor will ignore this file";
    EXPECT_EQ(log.texts(Kind::Message),
              (Strings{"Error on trying to read the file \xe6\x97\xa5\xe5\x92\x8c" + ignored,
                       "Error on trying to read the file \xe6\xbc\xa2\xe5\xad\x97" + ignored}));
    EXPECT_EQ(log.texts(Kind::Image), (Strings{"", "", "ID=1", "ID=0", "ID=2", "ID=3", "Unknown"}));
}

// Nothing, a pipe, a device, a folder or a file over the limit where a game file or folder
// should be: refused at once, saying which and what is wrong.
TEST(GameFolderLoad, WhatCannotBeReadIsRefusedWithoutWaitingAndSaysWhy) {
    using enum testing::Odd;
    using enum LoadStatus;
    const std::string kAnn = "Error on trying to read the file Ann.iff (",
                      kNb = "Neighborhood.iff (";
    const struct {
        const char* path;
        testing::Odd odd;
        LoadStatus status;
        std::string says;
    } cases[] = {
        {"Characters", Missing, CharactersFolderMissing, "Characters"},
        {"Characters", Folder, NoCharacters, "No veks detected!"},
        {"Neighborhood.iff", Missing, NeighborhoodUnreadable, kNb},
        {"Neighborhood.iff", Fifo, NeighborhoodUnreadable, kNb + "not a regular file)"},
        {"Neighborhood.iff", DeviceLink, NeighborhoodUnreadable, kNb + "not a regular file)"},
        {"Neighborhood.iff", Folder, NeighborhoodUnreadable, kNb + "it is a folder)"},
        {"Neighborhood.iff", TooLarge, NeighborhoodUnreadable,
         kNb + "it holds 256 MiB (268435457 bytes)"},
        {"Characters/Ann.iff", Fifo, Loaded, kAnn + "not a regular file)\n"},
        {"Characters/Ann.iff", DeviceLink, Loaded, kAnn + "not a regular file)\n"},
        {"Characters/Ann.iff", TooLarge, Loaded,
         kAnn + "it holds 16 MiB (16777217 bytes), more than the 16 MiB (16777216 bytes)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        testing::TempDir dir;
        build::writeGameFolder(build::build(family({person("Ann", 1, 1), person("Bob", 2, 2)})),
                               dir.path());
        const bool neighborhood = c.path[0] == 'N';
        testing::putOdd(dir.path() / "UserData" / c.path, c.odd,
                        (neighborhood ? 256 : 16) * kMebibyte + 1);
        Persons persons;
        LoadLog log;
        EXPECT_EQ(loadGameFolder(dir.path(), persons, log).status, c.status);
        const Strings messages = log.texts(Kind::Message);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(c.says), std::string::npos) << messages[0];
        EXPECT_EQ(persons[2].FirstName, c.status == Loaded ? "Bob" : "");
    }
}

TEST(GameFolderLoad, AfterTenMessagesTheRestComeInOneThatListsTwentyOfThem) {
    testing::TempDir dir;
    build::writeGameFolder(build::build(family({person("Ann", 1, 1)})), dir.path());
    const auto error = [](int i) {
        return "Error on trying to read the file Bad" + std::string(i < 10 ? "0" : "") +
               std::to_string(i) + ".iff";
    };
    for (const int bad : {30, 31}) {
        for (int i = 0; i < bad; ++i)
            std::ofstream(dir.path() / "UserData" / "Characters" / (error(i).substr(33))) << "x";
        Persons persons;
        LoadLog log;
        ASSERT_EQ(loadGameFolder(dir.path(), persons, log).entries, (Entries{{1, "Doe, Ann", 1}}));
        const Strings messages = log.texts(Kind::Message);
        ASSERT_EQ(messages.size(), 11u);
        EXPECT_EQ(messages[9], error(9) + "\nThe editor will ignore this file");
        std::string gathered = "More files could not be read or were left out: ";
        gathered += std::to_string(bad - 10);
        for (int i = 10; i < 30; ++i)
            gathered += "\n" + error(i);
        EXPECT_EQ(messages[10], gathered + (bad > 30 ? "\n..." : "") +
                                    "\nThe full list is printed to the standard error output.");
        const Strings logged = log.texts(Kind::Log);
        ASSERT_EQ(logged.size(), bad - 10u);
        EXPECT_EQ(logged.back(), error(bad - 1) + "\nThe editor will ignore this file");
    }
}

#endif

}  // namespace
}  // namespace vondrel
