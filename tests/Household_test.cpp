#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#ifndef _WIN32
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/FileIO.h"
#include "editing/Backups.h"
#include "editing/FamilyMoney.h"
#include "editing/Household.h"
#include "editing/SaveCommand.h"
#include "support/FailingFiles.h"
#include "support/Games.h"
#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

using testing::person;

class HouseholdTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game = build::build(testing::oddHousehold());
        // Ann's value toward Cy holds 1 in its upper half; her love word toward Eve is 2.
        game.neighborhood[relation("ann", 1) + 2] = 1;
        game.neighborhood[relation("ann", 2) + 4] = 2;
        build::writeGameFolder(game, dir.path());
        load();
    }
    void load(FileOpener& files = systemFiles()) {
        Persons persons;
        LoadLog log;
        GameFolderLoad loaded = loadGameFolder(dir.path(), persons, log);
        ASSERT_EQ(loaded.status, LoadStatus::Loaded);
        path = loaded.neighborhoodPath;
        h = std::make_unique<Household>(path, loaded.neighborhood, std::move(persons),
                                        loaded.entries, files);
    }
    std::uint64_t record(const char* name) const { return game.layout.recordOffset.at(name); }
    // The value of the n-th relationship entry of a record (each entry is 20 bytes long).
    std::uint64_t relation(const char* name, int n) const {
        return record(name) + 192 + 20 * static_cast<std::uint64_t>(n) + 12;
    }
    std::uint64_t money(int family) const {
        return game.layout.familyOffset[static_cast<std::size_t>(family)] + 12;
    }
    Bytes onDisk() const { return *readWholeFile(path).bytes; }
    Bytes with(const std::vector<Patch>& patches) const {
        Bytes bytes = game.neighborhood;
        for (const Patch& p : patches) {
            for (int b = 0; b < p.width; ++b)
                bytes[p.offset + static_cast<std::uint64_t>(b)] =
                    static_cast<std::uint8_t>(static_cast<std::uint32_t>(p.value) >> (8 * b));
        }
        return bytes;
    }

    testing::TempDir dir;
    build::BuiltGame game;
    std::filesystem::path path;
    std::unique_ptr<Household> h;
};

TEST_F(HouseholdTest, EachEditWritesExactlyItsValuesInTheRecordItNames) {
    const auto attributes = [this](const char* name, std::int32_t value) {
        std::vector<Patch> patches;
        for (std::uint64_t at : {22, 24, 28, 30, 32, 36, 38, 40, 42, 48, 52, 54})
            patches.push_back({record(name) + at, 2, value});
        return patches;
    };
    std::vector<Patch> maxBob = attributes("bob", 1000);
    maxBob.insert(maxBob.end(), {{record("bob") + 130, 2, 2},
                                 {record("bob") + 132, 2, 9},
                                 {record("bob") + 144, 2, 100},
                                 {relation("bob", 0), 4, 100},
                                 {relation("ann", 0), 4, 100}});
    std::sort(maxBob.begin(), maxBob.end(),
              [](const Patch& a, const Patch& b) { return a.offset < b.offset; });
    std::vector<Patch> maxDoe = attributes("ann", 1000);
    const std::vector<Patch> bobs = attributes("bob", 1000);
    maxDoe.insert(maxDoe.end(), bobs.begin(), bobs.end());
    std::sort(maxDoe.begin(), maxDoe.end(),
              [](const Patch& a, const Patch& b) { return a.offset < b.offset; });

    const struct {
        const char* what;
        std::function<bool(Household&)> edit;
        std::vector<Patch> writes;
    } cases[] = {
        {"attribute",
         [](Household& x) { return x.setAttribute(1, Attribute::Neat, 1000); },
         {{record("ann") + 32, 2, 1000}}},
        {"cleaning",
         [](Household& x) { return x.setAttribute(1, Attribute::Cleaning, 0); },
         {{record("ann") + 36, 2, 0}}},
        {"performance",
         [](Household& x) { return x.setPerformance(1, -37); },
         {{record("ann") + 144, 2, -37}}},
        {"student",
         [](Household& x) { return x.chooseCareer(1, -1); },
         {{record("ann") + 130, 2, -1}, {record("ann") + 132, 2, 0}}},
        {"career keeps level",
         [](Household& x) { return x.chooseCareer(1, 5); },
         {{record("ann") + 130, 2, 5}}},
        {"title", [](Household& x) { return x.chooseTitle(1, 7); }, {{record("ann") + 132, 2, 7}}},
        {"feeling",
         [](Household& x) { return x.setRelation(1, 2, -37); },
         {{relation("ann", 0), 4, -37}}},
        {"their love",
         [](Household& x) { return x.setLoves(2, 1, true); },
         {{relation("bob", 0) + 4, 2, 1}}},
        {"money of one Doe household",
         [](Household& x) { return x.setFamilyMoney(2, 777); },
         {{money(0), 4, 777}}},
        {"money of the other",
         [](Household& x) { return x.setFamilyMoney(3, 7); },
         {{money(1), 4, 7}}},
        {"comma in the family name",
         [](Household& x) { return x.setFamilyMoney(4, 9); },
         {{money(2), 4, 9}}},
        {"empty first name",
         [](Household& x) { return x.setAttribute(7, Attribute::Logic, 500); },
         {{record("nameless") + 54, 2, 500}}},
        {"second of two Eves",
         [](Household& x) { return x.setAttribute(6, Attribute::Neat, 0); },
         {{record("twin") + 32, 2, 0}}},
        {"ghost",
         [](Household& x) { return x.setGhost(1, true); },
         {{record("ann") + 152, 2, 3}, {record("ann") + 154, 2, 1}}},
        {"ghost of a house below 1",
         [](Household& x) { return x.setGhost(7, true); },
         {{record("nameless") + 152, 2, 1}, {record("nameless") + 154, 2, 1}}},
        {"lingering",
         [](Household& x) { return x.setLingerHouse(1, 10); },
         {{record("ann") + 152, 2, 10}}},
        {"maximize person", [](Household& x) { return x.maximizePerson(2, true, true); }, maxBob},
        {"maximize one Doe household",
         [](Household& x) { return x.maximizeFamily(1, false, false); }, maxDoe},
        {"rejected file", [](Household& x) { return x.setAttribute(8, Attribute::Neat, 0); }, {}},
        {"empty slot", [](Household& x) { return x.setAttribute(9, Attribute::Neat, 0); }, {}},
        {"no entry toward Cy", [](Household& x) { return x.setRelation(2, 3, 50); }, {}},
        {"money without a family", [](Household& x) { return x.setFamilyMoney(5, 50); }, {}},
        {"the value it has",
         [](Household& x) { return x.setAttribute(1, Attribute::Neat, 500); },
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        EXPECT_EQ(c.edit(*h), !c.writes.empty());
        EXPECT_EQ(h->pendingWrites(), c.writes);
        EXPECT_EQ(h->isSaved(), c.writes.empty());
        ASSERT_TRUE(h->save().saved);
        EXPECT_EQ(onDisk(), with(c.writes));
        EXPECT_TRUE(h->isSaved());
    }
}

TEST_F(HouseholdTest, ShowingNothingButTheLoadSavesNoByte) {
    EXPECT_TRUE(h->isSaved());
    EXPECT_TRUE(h->pendingWrites().empty());
    EXPECT_EQ(h->person(4).Money, -500);
    EXPECT_EQ(h->person(7).Money, 12345678);
    ASSERT_TRUE(h->save().saved);
    EXPECT_EQ(onDisk(), game.neighborhood);
}

TEST_F(HouseholdTest, UndoAndRedoRestoreValuesAndSavedFollowsThem) {
    EXPECT_FALSE(h->canUndo());
    ASSERT_TRUE(h->setAttribute(1, Attribute::Neat, 1000));
    EXPECT_FALSE(h->isSaved());
    EXPECT_EQ(h->undo(), 1);
    EXPECT_EQ(h->person(1).Neat, 500);
    EXPECT_TRUE(h->isSaved());
    EXPECT_EQ(h->redo(), 1);
    EXPECT_EQ(h->person(1).Neat, 1000);
    ASSERT_TRUE(h->save().saved);
    EXPECT_TRUE(h->isSaved());
    h->undo();  // the file now holds 1000
    EXPECT_FALSE(h->isSaved());
    ASSERT_TRUE(h->save().saved);
    EXPECT_EQ(onDisk(), game.neighborhood);

    // A drag is one step; so is typing the money; the end of a gesture starts a new one.
    h->setPerformance(1, 10);
    h->setPerformance(1, 20);
    h->endGesture();
    h->setPerformance(1, 30);
    h->setFamilyMoney(1, 1);
    h->setFamilyMoney(2, 12);
    EXPECT_EQ(h->person(2).Money, 12);
    h->undo();
    EXPECT_EQ(h->person(1).Money, 5000);
    EXPECT_EQ(h->person(2).Money, 5000);
    h->undo();
    EXPECT_EQ(h->person(1).JobPerformance, 20);
    h->undo();
    EXPECT_EQ(h->person(1).JobPerformance, 0);
    EXPECT_TRUE(h->isSaved());

    // A family step comes back on the person it was made on; a new edit drops the redo.
    h->maximizeFamily(2, true, true);
    EXPECT_EQ(h->undo(), 2);
    EXPECT_EQ(h->person(1).Relation[2], 40);
    h->setLoves(1, 2, false);
    EXPECT_FALSE(h->canRedo());
    h->setLoves(1, 2, true);  // back to the value in the file
    EXPECT_TRUE(h->isSaved());
}

TEST_F(HouseholdTest, InterruptedSaveIsReportedAndTheNextOneFinishesTheJob) {
    testing::FailingFiles files;
    load(files);
    h->setAttribute(1, Attribute::Neat, 1000);
    h->setFamilyMoney(1, 777);
    files.failAfterBytes = 1;  // the first byte of Ann's value lands, nothing else
    SaveOutcome outcome = h->save();
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(outcome.message, "Could not save the file " + path.string() + " (the device failed)");
    EXPECT_FALSE(h->isSaved());
    EXPECT_NE(onDisk(), game.neighborhood);

    // The player takes the value back: the next save puts the byte that landed right too.
    h->undo();
    h->undo();
    EXPECT_FALSE(h->isSaved());
    files.failAfterBytes.reset();
    files.failFlush = true;
    outcome = h->save();
    EXPECT_EQ(outcome.message, "Could not save the file " + path.string() + " (the disk failed)");
    EXPECT_FALSE(h->isSaved());
    files.failFlush = false;
    h->redo();
    ASSERT_TRUE(h->save().saved);
    EXPECT_TRUE(h->isSaved());
    EXPECT_EQ(onDisk(), with({{record("ann") + 32, 2, 1000}}));

    files.failOpen = true;
    h->setAttribute(1, Attribute::Neat, 0);
    EXPECT_EQ(h->save().message,
              "Could not save the file " + path.string() + " (refused for the test)");
}

TEST_F(HouseholdTest, FileChangedByAnotherProgramIsNeverWritten) {
    h->setAttribute(1, Attribute::Neat, 1000);
    Bytes changed = game.neighborhood;
    changed[7] ^= 1;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(changed.data()), static_cast<long>(changed.size()));
    const SaveOutcome outcome = h->save();
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(outcome.message.rfind("Nothing was saved. Another program changed this file", 0), 0u);
    EXPECT_NE(outcome.message.find(path.string()), std::string::npos);
    EXPECT_EQ(onDisk(), changed);
    EXPECT_FALSE(h->isSaved());

    std::ofstream(path, std::ios::binary | std::ios::app).put(0);  // grown: refused too
    EXPECT_FALSE(h->save().saved);
}

TEST_F(HouseholdTest, FirstSaveKeepsACopyOfTheFileAsLoaded) {
    Backups backups(dir.path() / "data", dir.path());
    h->setBackups(&backups);
    h->setAttribute(1, Attribute::Neat, 1000);
    ASSERT_TRUE(h->save().saved);
    h->setAttribute(1, Attribute::Neat, 0);
    ASSERT_TRUE(h->save().saved);
    const auto copies = backups.list();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(*readWholeFile(copies[0]).bytes, game.neighborhood);
    EXPECT_EQ(copies[0].parent_path().parent_path(), dir.path() / "data");

    // Without a place for the copy nothing is saved.
    load();
    std::ofstream(dir.path() / "blocked") << "a file where the folder should be";
    Backups blocked(dir.path() / "blocked", dir.path());
    h->setBackups(&blocked);
    h->setAttribute(1, Attribute::Neat, 1000);
    const SaveOutcome outcome = h->save();
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(outcome.message.rfind("Nothing was saved: Vondrel could not keep a copy", 0), 0u);
    EXPECT_NE(outcome.message.find((dir.path() / "blocked").string()), std::string::npos);
    EXPECT_EQ(onDisk(), with({{record("ann") + 32, 2, 0}}));
    EXPECT_FALSE(h->isSaved());
}

TEST(Backups, KeepTheNewestTwentyInAFolderOfEachGame) {
    testing::TempDir dir;
    Backups backups(dir.path(), "/games/The Veks/");
    EXPECT_EQ(backups.folder().parent_path(), dir.path());
    EXPECT_EQ(backups.folder().filename().string().rfind("The Veks-", 0), 0u);
    // The name must stay the same from one version to the next, or older copies are lost.
    EXPECT_EQ(backups.folder().filename(), "The Veks-d8c0f031");
    EXPECT_NE(Backups(dir.path(), "/other/The Veks").folder(), backups.folder());
    EXPECT_EQ(backupFolderName(pathFromUtf8("/games/Vé:ks*")),
              backupFolderName(pathFromUtf8("/games/Vé:ks*/")));
    EXPECT_EQ(backupFolderName(pathFromUtf8("/games/Vé:ks*")).substr(0, 7), "V___ks_");

    const auto t0 = std::chrono::system_clock::from_time_t(1'700'000'000);
    for (int i = 0; i < 22; ++i) {
        const Bytes bytes{static_cast<std::uint8_t>(i)};
        ASSERT_EQ(backups.keep(bytes, t0 + std::chrono::seconds(i < 21 ? i : 20)), "");
    }
    const auto copies = backups.list();
    ASSERT_EQ(copies.size(), 20u);
    EXPECT_EQ(*readWholeFile(copies.front()).bytes, Bytes{21});  // a second copy in one second
    EXPECT_EQ(*readWholeFile(copies[1]).bytes, Bytes{20});
    EXPECT_EQ(*readWholeFile(copies.back()).bytes, Bytes{2});
    EXPECT_EQ(copies.front().extension(), ".iff");
}

TEST(MoneyEntry, KeepsTheFirstSevenDigitsOfWhatIsPasted) {
    EXPECT_EQ(moneyDigits("1a0b2-0 3"), "10203");
    EXPECT_EQ(moneyDigits("123456789"), "1234567");
    EXPECT_EQ(moneyValue("x0090"), 90);
    EXPECT_EQ(moneyValue("-"), 0);
}

TEST_F(HouseholdTest, SaveAsksFirstAndWarnsWhileTheGameRuns) {
    ScriptedMessageBoxes messages;
    ScriptedRunningGame running;
    Backups backups(dir.path() / "data", dir.path());
    h->setBackups(&backups);
    h->setAttribute(1, Attribute::Neat, 1000);

    EXPECT_FALSE(saveAfterAsking(*h, messages, running));  // No
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Are you sure ?\nA copy of the file as it was loaded is kept in:\n" +
                  backups.folder().string());
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Question);

    running.running = true;
    messages.shown.clear();
    messages.answers = {MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_FALSE(saveAfterAsking(*h, messages, running));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text,
              "The game seems to be running (VEKS.EXE).\nIt may overwrite "
              "what you save, or lose it. Save anyway?");
    EXPECT_EQ(onDisk(), game.neighborhood);

    messages.shown.clear();
    messages.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    EXPECT_TRUE(saveAfterAsking(*h, messages, running));
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[2].text, "Saved!");
    EXPECT_EQ(messages.shown[2].icon, MessageIcon::None);
    EXPECT_TRUE(h->isSaved());

    // A failed save says why, and never "Saved!".
    std::filesystem::remove(path);
    h->setAttribute(1, Attribute::Neat, 0);
    messages.shown.clear();
    messages.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    EXPECT_FALSE(saveAfterAsking(*h, messages, running));
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[2].icon, MessageIcon::Critical);
    EXPECT_EQ(messages.shown[2].text.rfind("Could not save the file " + path.string(), 0), 0u);
}

#ifndef _WIN32
// Wine runs a Windows program with its Windows path as the process's first argument.
TEST(ProcessTable, FindsTheGameWhileItRuns) {
    ProcessTable processes;
    ASSERT_FALSE(processes.isRunning());
    char program[] = "C:\\Games\\The Veks\\VEKS.EXE";
    char seconds[] = "30";
    char* argv[] = {program, seconds, nullptr};
    pid_t game = 0;
    ASSERT_EQ(posix_spawnp(&game, "sleep", nullptr, nullptr, argv, environ), 0);
    bool seen = false;
    for (int i = 0; i < 50 && !seen; ++i) {
        seen = processes.isRunning();
        if (!seen)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(game, SIGKILL);
    waitpid(game, nullptr, 0);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(processes.isRunning());
}

// A neighbourhood file with its records past 4 GiB (a sparse file, with the size limit
// raised): every position keeps all its bits, and the save writes there and nowhere else.
TEST(HouseholdLargeFile, RecordsPastFourGibLoadAndSaveInPlace) {
    testing::TempDir dir;
    build::PersonSpec ann = person("Ann", 1, 1);
    ann.relations = {{2, 10, false}};
    const build::PersonSpec bob = person("Bob", 2, 2);
    build::GameSpec spec;
    spec.persons = {ann, bob};
    spec.families = {{"Doe", 3, 5000, {ann.key, bob.key}, true}};
    const build::BuiltGame game = build::build(spec);
    build::writeGameFolder(game, dir.path());
    const auto path = dir.path() / "UserData" / "Neighborhood.iff";
    constexpr std::uint64_t kShift = (std::uint64_t{1} << 32) + 4099;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.seekp(static_cast<std::streamoff>(kShift));
        out.write(reinterpret_cast<const char*>(game.neighborhood.data()),
                  static_cast<std::streamsize>(game.neighborhood.size()));
        ASSERT_TRUE(out.good());
    }
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    if (static_cast<std::uint64_t>(info.st_blocks) * 512 > 64 * kMebibyte)
        GTEST_SKIP() << "the file system of " << dir.path() << " keeps no sparse files";

    Persons persons;
    LoadLog log;
    FileLimits limits;
    limits.neighborhood = 5 * (std::uint64_t{1} << 30);
    GameFolderLoad load = loadGameFolder(dir.path(), persons, log, StringTable::builtIn(), limits);
    ASSERT_EQ(load.status, LoadStatus::Loaded);
    const std::uint64_t record = kShift + game.layout.recordOffset.at("ann");
    const std::uint64_t money = kShift + game.layout.familyOffset[0] + 12;
    const std::uint64_t relation = record + 192 + 12;
    EXPECT_EQ(persons[1].NamePos, static_cast<FilePos>(record + 1));
    EXPECT_EQ(persons[1].MoneyPos, static_cast<FilePos>(money + 1));
    EXPECT_EQ(persons[1].RelationPos[2], static_cast<FilePos>(relation + 1));

    Household h(load.neighborhoodPath, std::move(load.neighborhood), std::move(persons),
                load.entries);
    ASSERT_TRUE(h.setAttribute(1, Attribute::Neat, 900));
    ASSERT_TRUE(h.setFamilyMoney(1, 777777));
    ASSERT_TRUE(h.setRelation(1, 2, 55));
    ASSERT_TRUE(h.save().saved);

    std::string error;
    const auto file = systemFiles().openForUpdate(path, error);
    ASSERT_TRUE(file) << error;
    const auto bytesAt = [&](std::uint64_t at, std::size_t count) {
        Bytes out(count);
        EXPECT_TRUE(file->readAt(at, out, error)) << error;
        return out;
    };
    EXPECT_EQ(bytesAt(record + 32, 2), (Bytes{0x84, 0x03}));
    EXPECT_EQ(bytesAt(money, 4), (Bytes{0x31, 0xDE, 0x0B, 0x00}));
    EXPECT_EQ(bytesAt(relation, 4), (Bytes{55, 0, 0, 0}));
    // 4 GiB below, in the hole, nothing was written.
    const std::uint64_t low = std::uint64_t{1} << 32;
    for (const std::uint64_t at : {record + 32 - low, money - low, relation - low})
        EXPECT_EQ(bytesAt(at, 4), (Bytes{0, 0, 0, 0})) << at;
}
#endif

}  // namespace
}  // namespace vondrel
