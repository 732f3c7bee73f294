#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#ifndef _WIN32
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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

class HouseholdTest : public ::testing::Test {
  protected:
    void SetUp() override {
        build::GameSpec spec = testing::oddHousehold();
        // A file name beyond ASCII (UTF-8), the record's in the game's code page.
        spec.persons[5].fileName = "Tw\xC3\xAFn.iff";
        spec.persons[5].recordName = "tw\xEFn";
        game = build::build(spec);
        // Ann's value toward Cy holds 1 in its upper half; her love word toward Eve is 2.
        game.neighborhood[relation("ann", 1) + 2] = 1;
        game.neighborhood[relation("ann", 2) + 4] = 2;
        build::writeGameFolder(game, dir.path());
        load();
    }
    void load(FileOpener& files = systemFiles(), std::uint64_t limit = FileLimits().neighborhood) {
        Persons persons;
        LoadLog log;
        GameFolderLoad loaded = loadGameFolder(utf8Of(dir.path()), persons, log,
                                               StringTable::builtIn(), FileLimits{limit});
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
        for (const Patch& p : patches)
            for (int b = 0; b < p.width; ++b)
                bytes[p.offset + static_cast<std::uint64_t>(b)] =
                    static_cast<std::uint8_t>(static_cast<std::uint32_t>(p.value) >> (8 * b));
        return bytes;
    }

    testing::TempDir dir;
    build::BuiltGame game;
    std::filesystem::path path;
    std::unique_ptr<Household> h;
};

// Each edit and the bytes its save writes: exactly its values, in the record it names.
TEST_F(HouseholdTest, EachEditWritesExactlyItsValuesInTheRecordItNames) {
    using H = Household;
    using A = Attribute;
    const std::uint64_t ann = record("ann"), bob = record("bob"), twin = record("tw\xEFn"),
                        nameless = record("nameless"), feel = relation("ann", 0),
                        theirs = relation("bob", 0);
    const auto best = [this](std::vector<const char*> names, std::vector<Patch> more) {
        for (const char* name : names) {
            for (std::uint64_t at : {22, 24, 28, 30, 32, 36, 38, 40, 42, 48, 52, 54})
                more.push_back({record(name) + at, 2, 1000});
        }
        std::sort(more.begin(), more.end(), [](auto& a, auto& b) { return a.offset < b.offset; });
        return more;
    };
    // Bob as a top professional, on the best terms with Ann both ways.
    const std::vector<Patch> bobsBest = {
        {bob + 130, 2, 2}, {bob + 132, 2, 9}, {bob + 144, 2, 100}, {theirs, 4, 100}, {feel, 4, 100},
    };
    const struct {
        std::function<bool(H&)> edit;
        std::vector<Patch> writes;
    } cases[] = {
        {[](H&) { return false; }, {}},
        {[](H& x) { return x.setAttribute(1, A::Neat, 1000); }, {{ann + 32, 2, 1000}}},
        {[](H& x) { return x.setAttribute(1, A::Cleaning, 0); }, {{ann + 36, 2, 0}}},
        {[](H& x) { return x.setPerformance(1, -37); }, {{ann + 144, 2, -37}}},
        // A student has title 0; another career keeps the level.
        {[](H& x) { return x.chooseCareer(1, -1); }, {{ann + 130, 2, -1}, {ann + 132, 2, 0}}},
        {[](H& x) { return x.chooseCareer(1, 5); }, {{ann + 130, 2, 5}}},
        {[](H& x) { return x.chooseTitle(1, 7); }, {{ann + 132, 2, 7}}},
        {[](H& x) { return x.setRelation(1, 2, -37); }, {{feel, 4, -37}}},
        {[](H& x) { return x.setLoves(2, 1, true); }, {{theirs + 4, 2, 1}}},
        // The money of the right one of two families called Doe, and of "Smith, Jones".
        {[](H& x) { return x.setFamilyMoney(2, 777); }, {{money(0), 4, 777}}},
        {[](H& x) { return x.setFamilyMoney(3, 7); }, {{money(1), 4, 7}}},
        {[](H& x) { return x.setFamilyMoney(4, 9); }, {{money(2), 4, 9}}},
        // The person without a first name, the second Eve.
        {[](H& x) { return x.setAttribute(7, A::Logic, 5); }, {{nameless + 54, 2, 5}}},
        {[](H& x) { return x.setAttribute(6, A::Neat, 0); }, {{twin + 32, 2, 0}}},
        // A ghost haunts its family's house, or house 1 when the house is below 1.
        {[](H& x) { return x.setGhost(1, true); }, {{ann + 152, 2, 3}, {ann + 154, 2, 1}}},
        {[](H& x) { return x.setGhost(7, true); },
         {{nameless + 152, 2, 1}, {nameless + 154, 2, 1}}},
        {[](H& x) { return x.setLingerHouse(1, 10); }, {{ann + 152, 2, 10}}},
        {[](H& x) { return x.maximizePerson(2, true, true); }, best({"bob"}, bobsBest)},
        {[](H& x) { return x.maximizeFamily(1, 0, 0); }, best({"ann", "bob"}, {})},
        // No house 11, a rejected file, an empty slot, no entry toward Cy, no family, the value
        // it has.
        {[](H& x) { return x.setLingerHouse(1, 11); }, {}},
        {[](H& x) { return x.setAttribute(8, A::Neat, 0); }, {}},
        {[](H& x) { return x.setAttribute(9, A::Neat, 0); }, {}},
        {[](H& x) { return x.setRelation(2, 3, 50); }, {}},
        {[](H& x) { return x.setFamilyMoney(5, 50); }, {}},
        {[](H& x) { return x.setAttribute(1, A::Neat, 500); }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        SetUp();
        EXPECT_EQ(c.edit(*h), !c.writes.empty());
        EXPECT_EQ(h->pendingWrites(), c.writes);
        EXPECT_EQ(h->isSaved(), c.writes.empty());
        ASSERT_TRUE(h->save().saved);
        EXPECT_EQ(onDisk(), with(c.writes));
        EXPECT_TRUE(h->isSaved());
        // Undone after the save, the file no longer holds what is shown until saved again.
        EXPECT_EQ(h->undo().has_value(), !c.writes.empty());
        EXPECT_EQ(h->isSaved(), c.writes.empty());
        ASSERT_TRUE(h->save().saved);
        EXPECT_EQ(onDisk(), game.neighborhood);
    }
}

// A drag is one step; so is typing the money; the end of a gesture starts a new one.
TEST_F(HouseholdTest, UndoTakesBackOneStepAndAGestureIsOne) {
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

// A save that fails part-way says why and is not saved; once the values are taken back, the
// next save puts back the bytes that landed, and the one after writes exactly the edits.
TEST_F(HouseholdTest, InterruptedSaveIsReportedAndTheNextOneFinishesTheJob) {
    using Failing = testing::FailingFiles;
    const std::vector<Patch> edits = {{record("ann") + 32, 2, 1000}, {money(0), 4, 777}};
    const std::string couldNot = "Could not save the file " + path.string() + " (";
    std::ofstream(dir.path() / "blocked") << "a file where the folder should be";
    Backups blocked(dir.path() / "blocked", dir.path());
    const struct {
        std::function<void(Failing&, Household&)> fail;
        std::string message;
        std::vector<Patch> landed;
    } cases[] = {
        {[](Failing& f, Household&) { f.failOpen = true; }, couldNot + "refused for the test)", {}},
        {[](Failing& f, Household&) { f.failAfterBytes = 0; }, couldNot + "the device failed)", {}},
        {[](Failing& f, Household&) { f.failAfterBytes = 1; },
         couldNot + "the device failed)",
         {{record("ann") + 32, 1, 0xE8}}},
        {[](Failing& f, Household&) { f.failFlush = true; }, couldNot + "the disk failed)", edits},
        {[&](Failing&, Household& x) { x.setBackups(&blocked); },
         "Nothing was saved: Vondrel could not keep a copy of the file first:\n" +
             (dir.path() / "blocked").string(),
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        SetUp();
        Failing files;
        load(files);
        h->setAttribute(1, Attribute::Neat, 1000);
        h->setFamilyMoney(1, 777);
        c.fail(files, *h);
        const SaveOutcome outcome = h->save();
        EXPECT_FALSE(outcome.saved);
        EXPECT_EQ(outcome.message.substr(0, c.message.size()), c.message);
        EXPECT_EQ(onDisk(), with(c.landed));
        EXPECT_FALSE(h->isSaved());
        files = Failing();
        h->setBackups(nullptr);
        h->undo();
        h->undo();
        ASSERT_TRUE(h->save().saved);
        EXPECT_EQ(onDisk(), game.neighborhood);
        h->redo();
        h->redo();
        ASSERT_TRUE(h->save().saved);
        EXPECT_EQ(onDisk(), with(edits));
    }
}

// A file another program changed (here: made longer) is never written, and the save says so.
TEST_F(HouseholdTest, FileChangedByAnotherProgramIsNeverWritten) {
    h->setAttribute(1, Attribute::Neat, 1000);
    std::ofstream(path, std::ios::binary | std::ios::app).put(0);
    EXPECT_EQ(h->save().message,
              "Nothing was saved. Another program changed this file after Vondrel read it: " +
                  path.string() + "\nClose the game, start Vondrel again and repeat your changes.");
    Bytes longer = game.neighborhood;
    longer.push_back(0);
    EXPECT_EQ(onDisk(), longer);
    EXPECT_FALSE(h->isSaved());
    // Nor is a read the system refused taken for the file's contents.
    std::string error;
    Bytes two(2);
    EXPECT_FALSE(systemFiles().openForUpdate(path, error)->readAt(1ull << 63, two, error));

    // A change of the last byte of a file of several hundred kilobytes is seen too.
    Bytes big = game.neighborhood;
    big.resize(big.size() + 300'000, 0x55);
    const auto put = [&] {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(big.data()),
                   static_cast<std::streamsize>(big.size()));
    };
    put();
    load();
    h->setAttribute(1, Attribute::Neat, 1000);
    big.back() ^= 1;
    put();
    EXPECT_FALSE(h->save().saved);
    EXPECT_EQ(onDisk(), big);
}

TEST(Backups, KeepTheNewestTwentyInAFolderOfEachGame) {
    testing::TempDir dir;
    Backups backups(dir.path(), "/games/The Veks/");
    EXPECT_EQ(backups.folder().parent_path(), dir.path());
    // The name must stay the same from one version to the next, or older copies are lost.
    EXPECT_EQ(backups.folder().filename(), "The Veks-d8c0f031");
    EXPECT_NE(Backups(dir.path(), "/other/The Veks").folder(), backups.folder());
    EXPECT_EQ(backupFolderName(pathFromUtf8("/games/Vé:ks*")),
              backupFolderName(pathFromUtf8("/games/Vé:ks*/")));
    EXPECT_EQ(backupFolderName(pathFromUtf8("/games/Vé:ks 2.b-c_d*")).substr(0, 15),
              "V___ks 2.b-c_d_");
    EXPECT_EQ(backupFolderName("/").substr(0, 5), "game-");

    const auto t0 = std::chrono::system_clock::from_time_t(1'700'000'000);
    for (int i = 0; i < 22; ++i)
        ASSERT_EQ(backups.keep(Bytes{std::uint8_t(i)}, t0 + std::chrono::seconds(std::min(i, 20))),
                  "");
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

// Each row answers the questions of one save; the last box shown says how it ended.
TEST_F(HouseholdTest, SaveAsksFirstAndWarnsWhileTheGameRuns) {
    testing::FailingFiles files;
    load(files);
    Backups backups(dir.path() / "data", dir.path());
    h->setBackups(&backups);
    const std::string sure = "Are you sure ?\nA copy of the file as it was loaded is kept in:\n" +
                             backups.folder().string();
    const std::string runs =
        "The game seems to be running (VEKS.EXE).\nIt may overwrite what "
        "you save, or lose it. Save anyway?";
    const std::string refused =
        "Could not save the file " + path.string() + " (refused for the test)";
    using enum MessageAnswer;
    const struct {
        bool running, failing;
        std::deque<MessageAnswer> answers;
        std::vector<std::string> texts;
        MessageIcon icon;
    } cases[] = {
        {false, false, {No}, {sure}, MessageIcon::Question},
        {true, false, {Yes, No}, {sure, runs}, MessageIcon::Question},
        {true, false, {Yes, Yes}, {sure, runs, "Saved!"}, MessageIcon::None},
        {false, true, {Yes}, {sure, refused}, MessageIcon::Critical},
        {true, false, {Yes, Yes}, {sure, runs, "Saved!"}, MessageIcon::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texts.back());
        ScriptedMessageBoxes messages;
        messages.answers = c.answers;
        ScriptedRunningGame running;
        running.running = c.running;
        files.failOpen = c.failing;
        h->setAttribute(1, Attribute::Neat, static_cast<Integer>(h->person(1).Neat + 1));
        const bool saved = c.texts.back() == "Saved!";
        EXPECT_EQ(saveAfterAsking(*h, messages, running), saved);
        EXPECT_EQ(h->isSaved(), saved);
        std::vector<std::string> texts;
        for (const auto& shown : messages.shown)
            texts.push_back(shown.text);
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(messages.shown.back().icon, c.icon);
    }
    // The first save that wrote kept a copy of the file as loaded; the next did not.
    ASSERT_EQ(backups.list().size(), 1u);
    EXPECT_EQ(*readWholeFile(backups.list()[0]).bytes, game.neighborhood);
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
    for (int i = 0; i < 50 && !(seen = processes.isRunning()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(game, SIGKILL);
    waitpid(game, nullptr, 0);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(processes.isRunning());
}

// The neighbourhood file with its records past 4 GiB (a sparse file, with the size limit
// raised): every position keeps all its bits, and the save writes there and nowhere else.
class HouseholdLargeFile : public HouseholdTest {};
TEST_F(HouseholdLargeFile, RecordsPastFourGibLoadAndSaveInPlace) {
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
    load(systemFiles(), 5 * (std::uint64_t{1} << 30));
    ASSERT_TRUE(h->setAttribute(1, Attribute::Neat, 900));
    ASSERT_TRUE(h->setFamilyMoney(1, 777777));
    ASSERT_TRUE(h->setRelation(1, 2, 55));
    ASSERT_TRUE(h->save().saved);

    std::string error;
    const auto file = systemFiles().openForUpdate(path, error);
    ASSERT_TRUE(file) << error;
    const auto bytesAt = [&](std::uint64_t at, std::size_t count) {
        Bytes out(count);
        EXPECT_TRUE(file->readAt(at, out, error)) << error;
        return out;
    };
    const std::uint64_t shifted[] = {kShift + record("ann") + 32, kShift + money(0),
                                     kShift + relation("ann", 0)};
    EXPECT_EQ(bytesAt(shifted[0], 2), (Bytes{0x84, 0x03}));
    EXPECT_EQ(bytesAt(shifted[1], 4), (Bytes{0x31, 0xDE, 0x0B, 0x00}));
    EXPECT_EQ(bytesAt(shifted[2], 4), (Bytes{55, 0, 0, 0}));
    for (const std::uint64_t at : shifted)  // 4 GiB below, in the hole, nothing was written
        EXPECT_EQ(bytesAt(at - (std::uint64_t{1} << 32), 4), (Bytes{0, 0, 0, 0})) << at;
}
#endif

}  // namespace
}  // namespace vondrel
