#include <gtest/gtest.h>

#include <fstream>

#include "base/FileIO.h"
#include "support/Games.h"
#include "support/RunningWindow.h"

namespace vondrel {
namespace {

using testing::person;

std::int16_t int16At(const Bytes& b, std::size_t at) {
    return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}

build::GameSpec household() {
    build::PersonSpec ann = person("Ann", 1, 1);
    ann.relations = {{2, 40, false}};
    build::PersonSpec bob = person("Bob", 2, 2);
    bob.relations = {{1, -10, true}};
    build::PersonSpec sol = person("Sol", 3, 3);
    build::GameSpec game{{ann, bob, sol}, {}, 48, 0, 1};
    game.families = {{"Doe", 2, 500, {ann.key, bob.key}, true}};
    return game;
}

class EditAndSave : public ::testing::Test {
  protected:
    EditAndSave() : run(household()) {}
    MainWindow& w() { return *run.window; }
    Bytes onDisk() { return *readWholeFile(run.neighborhoodPath()).bytes; }
    std::size_t record(const char* name) { return run.built.layout.recordOffset.at(name); }
    // Drags an attribute bar to its right end and clicks it, as the player does.
    void maximizeBar(const char* name) {
        auto* bar = static_cast<Gauge*>(w().element(QString::fromLatin1(name)));
        emit bar->mouseMoved(1, 0, 500.0, 5.0);
        emit bar->mouseReleased(1, 0, 500.0, 5.0);
        emit bar->clicked();
    }
    void save(MessageAnswer answer = MessageAnswer::Yes) {
        run.messages.answers.push_back(answer);
        run.messages.shown.clear();
        w().saveClicked();
    }

    testing::RunningWindow run;
};

TEST_F(EditAndSave, AskedQuestionThenSavedNotice) {
    save(MessageAnswer::No);
    ASSERT_EQ(run.messages.shown.size(), 1u);
    EXPECT_EQ(run.messages.shown[0].text, "Are you sure ?\n(This version don't make backups!)");
    EXPECT_EQ(run.messages.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(run.messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_FALSE(run.state->Saved);
    EXPECT_EQ(onDisk(), run.built.neighborhood);

    save();
    ASSERT_EQ(run.messages.shown.size(), 2u);
    EXPECT_EQ(run.messages.shown[1].text, "Saved!");
    EXPECT_EQ(run.messages.shown[1].icon, MessageIcon::None);
    EXPECT_EQ(run.messages.shown[1].buttons, MessageButtons::Ok);
    EXPECT_TRUE(run.state->Saved);
}

TEST_F(EditAndSave, WritesTheEditsInPlaceAndNothingElse) {
    ASSERT_TRUE(run.choose("Sol"));
    maximizeBar("prgLogic");
    w().imcJobIcon->select(5);  // law enforcement
    w().jobIconChosen();
    save();
    ASSERT_TRUE(run.state->Saved);

    const Bytes after = onDisk();
    ASSERT_EQ(after.size(), run.built.neighborhood.size());
    const std::size_t sol = record("sol");
    EXPECT_EQ(int16At(after, sol + 54), 1000);
    EXPECT_EQ(int16At(after, sol + 130), 3);
    Bytes expected = run.built.neighborhood;
    expected[sol + 54] = 0xE8;
    expected[sol + 55] = 0x03;
    expected[sol + 130] = 3;
    expected[sol + 131] = 0;
    EXPECT_EQ(after, expected);
}

TEST_F(EditAndSave, EditsShowAfterARestart) {
    ASSERT_TRUE(run.choose("Doe, Bob"));
    maximizeBar("prgNeat");
    save();
    run.start();
    ASSERT_TRUE(run.choose("Doe, Bob"));
    EXPECT_EQ(static_cast<Gauge*>(w().element("prgNeat"))->value(), 10);
    EXPECT_EQ(run.person(2).Neat, 1000);
}

TEST_F(EditAndSave, SavingTwiceWritesAgainAndEditsAfterASaveAskTheLongExitQuestion) {
    ASSERT_TRUE(run.choose("Sol"));
    maximizeBar("prgBody");
    save();
    const Bytes first = onDisk();
    save();
    EXPECT_EQ(run.messages.shown.back().text, "Saved!");
    EXPECT_EQ(onDisk(), first);
    EXPECT_TRUE(run.state->Saved);

    maximizeBar("prgCharisma");
    EXPECT_FALSE(run.state->Saved);
    run.messages.shown.clear();
    EXPECT_FALSE(w().askExit());
    EXPECT_EQ(run.messages.shown.back().text,
              "Are you sure ?\n(you will lose any changes you have made)");
}

TEST_F(EditAndSave, AFailedSaveSaysWhyAndNeverClaimsSuccess) {
    ASSERT_TRUE(run.choose("Sol"));
    maximizeBar("prgBody");
    // The game changed the file meanwhile.
    Bytes changed = run.built.neighborhood;
    changed[3] ^= 0x55;
    {
        std::ofstream out(run.neighborhoodPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(changed.data()),
                  static_cast<std::streamsize>(changed.size()));
    }
    save();
    ASSERT_EQ(run.messages.shown.size(), 2u);
    EXPECT_EQ(run.messages.shown[1].icon, MessageIcon::Critical);
    EXPECT_NE(run.messages.shown[1].text.find("Neighborhood.iff"), std::string::npos);
    EXPECT_FALSE(run.state->Saved);
    EXPECT_EQ(onDisk(), changed);
}

}  // namespace
}  // namespace vondrel
