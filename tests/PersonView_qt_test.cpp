#include <gtest/gtest.h>

#include "support/Games.h"
#include "support/RunningWindow.h"

namespace vondrel {
namespace {

using testing::person;

int barValue(MainWindow& w, const char* name) {
    return static_cast<Gauge*>(w.element(QString::fromLatin1(name)))->value();
}

TEST(PersonView, BarsShowHundredthsRoundedToEven) {
    build::PersonSpec ann = person("Ann", 3, 1);
    ann.neat = 450;
    ann.outgoing = 550;
    ann.active = 1000;
    ann.playful = 449;
    ann.nice = -5;
    ann.jobPerformance = -100;
    testing::RunningWindow run(build::GameSpec{{ann}, {}, 48, 0, 1});
    MainWindow& w = *run.window;
    EXPECT_EQ(run.state->CurrentId, std::optional<Integer>(3));
    EXPECT_EQ(barValue(w, "prgNeat"), 4);
    EXPECT_EQ(barValue(w, "prgOutgoing"), 6);
    EXPECT_EQ(barValue(w, "prgActive"), 10);
    EXPECT_EQ(barValue(w, "prgPlayful"), 4);
    EXPECT_EQ(barValue(w, "prgNice"), 0);
    EXPECT_EQ(w.prgPerf->value(), 0);
}

TEST(PersonView, PerformanceAndCareerEntries) {
    build::PersonSpec a = person("Ann", 1, 1);
    a.jobPerformance = 0;
    a.jobTrack = -1;
    build::PersonSpec b = person("Bob", 2, 2);
    b.jobPerformance = 100;
    b.jobTrack = 10;
    b.jobLevel = 9;
    testing::RunningWindow run(build::GameSpec{{a, b}, {}, 48, 0, 1});
    MainWindow& w = *run.window;
    ASSERT_TRUE(run.choose("Ann"));
    EXPECT_EQ(w.prgPerf->value(), 100);
    EXPECT_EQ(w.imcJobIcon->selectedIndex(), 1);
    ASSERT_TRUE(run.choose("Bob"));
    EXPECT_EQ(w.prgPerf->value(), 200);
    EXPECT_EQ(w.prgPerf->captionText(), "Excellent");
    EXPECT_EQ(w.imcJobIcon->selectedIndex(), 12);
    EXPECT_EQ(w.imcJobs->currentText(), "International Spy");
}

TEST(PersonView, RelationshipEntriesInIdOrderWithPortraitsByKey) {
    build::PersonSpec zed = person("Zed", 9, 1);
    zed.relations = {{7, 10, false}, {2, 20, false}, {0, 30, false}, {400, 5, false}};
    build::PersonSpec bo = person("Bo", 0, 2);
    build::PersonSpec cy = person("Cy", 2, 3);
    build::PersonSpec di = person("Di", 7, 4);
    di.portrait.reset();
    build::GameSpec game{{zed, bo, cy, di}, {}, 48, 0, 1};
    game.families = {{"Ash", 1, 10, {cy.key}, true}};
    testing::RunningWindow run(game);
    MainWindow& w = *run.window;
    ASSERT_TRUE(run.choose("Zed"));
    ASSERT_EQ(w.imcRelationship->count(), 4);
    EXPECT_EQ(w.imcRelationship->entryText(1), "Bo");
    EXPECT_EQ(w.imcRelationship->entryText(2), "Ash, Cy");
    EXPECT_EQ(w.imcRelationship->entryText(3), "Di");
    EXPECT_EQ(w.imcRelationship->entryText(4), "");  // id 400 holds nobody
    EXPECT_EQ(w.imgFaces.key(w.imcRelationship->entryPicture(1)), "ID=0");
    EXPECT_EQ(w.imgFaces.key(w.imcRelationship->entryPicture(2)), "ID=2");
    // Di's file has no portrait: the placeholder under her own key.
    EXPECT_EQ(w.imgFaces.key(w.imcRelationship->entryPicture(3)), "ID=7");
    EXPECT_EQ(w.imgFaces.key(w.imcRelationship->entryPicture(4)), "Unknown");
    EXPECT_EQ(w.imcRelationship->selectedIndex(), 1);
}

TEST(PersonView, APersonWithoutRelationshipsGetsOneEntry) {
    testing::RunningWindow run(build::GameSpec{{person("Ann", 1, 1)}, {}, 48, 0, 1});
    MainWindow& w = *run.window;
    ASSERT_EQ(w.imcRelationship->count(), 1);
    EXPECT_EQ(w.imcRelationship->entryText(1), "No relationships!");
    EXPECT_EQ(w.imgFaces.key(w.imcRelationship->entryPicture(1)), "Unknown");
    EXPECT_EQ(w.imcRelationship->selectedIndex(), 1);
}

TEST(PersonView, TwoPersonsWithTheSameNamesShowTheLowerId) {
    build::PersonSpec first = person("Ann", 4, 1);
    first.neat = 100;
    build::PersonSpec second = person("Ann", 2, 2);
    second.fileName = "Ann2.iff";
    second.neat = 900;
    testing::RunningWindow run(build::GameSpec{{first, second}, {}, 48, 0, 1});
    MainWindow& w = *run.window;
    ASSERT_EQ(w.imcFaces->count(), 2);
    w.imcFaces->select(1);
    w.personChosen();
    EXPECT_EQ(run.state->CurrentId, std::optional<Integer>(2));
    w.imcFaces->select(2);
    w.personChosen();
    EXPECT_EQ(run.state->CurrentId, std::optional<Integer>(2));
    EXPECT_EQ(barValue(w, "prgNeat"), 9);
}

TEST(PersonView, TextThatNamesNobodyShowsRecordZero) {
    testing::RunningWindow run(build::GameSpec{{person("Ann", 1, 1)}, {}, 48, 0, 1});
    MainWindow& w = *run.window;
    w.imcFaces->addEntry(QStringLiteral("Nobody, Here"), 1);
    w.imcFaces->select(w.imcFaces->count());
    w.personChosen();
    EXPECT_EQ(run.state->CurrentId, std::nullopt);
    EXPECT_EQ(run.state->currentIndex(), 0);
}

TEST(PersonView, ARejectedPersonCannotBeEditedAndTheNextOneCan) {
    build::PersonSpec ann = person("Ann", 1, 1);
    build::PersonSpec bob = person("Bob", 2, 2);
    testing::RunningWindow run(build::GameSpec{{ann, bob}, {}, 48, 0, 1});
    MainWindow& w = *run.window;
    // A rejected file has no picker entry; the entry text of its slot still names it.
    run.person(2).FirstName = "Bob *UNK*";
    run.person(2).IsGhost = kTrue;
    w.imcFaces->addEntry(QStringLiteral("Bob *UNK*"), 2);
    w.imcFaces->select(w.imcFaces->count());
    w.personChosen();
    EXPECT_FALSE(w.element("prgNeat")->isEnabled());
    EXPECT_FALSE(w.imcJobIcon->isEnabled());
    EXPECT_FALSE(w.txtMoney->isEnabled());
    EXPECT_FALSE(w.prgPerf->isEnabled());
    EXPECT_EQ(run.person(2).IsGhost, kFalse);
    ASSERT_TRUE(run.choose("Ann"));
    EXPECT_TRUE(w.element("prgNeat")->isEnabled());
    EXPECT_TRUE(w.imcJobIcon->isEnabled());
    EXPECT_TRUE(w.txtMoney->isEnabled());
}

TEST(PersonView, ChoosingTwiceGivesTheSameResult) {
    build::PersonSpec ann = person("Ann", 1, 1);
    ann.relations = {{2, 40, true}};
    build::PersonSpec bob = person("Bob", 2, 2);
    testing::RunningWindow run(build::GameSpec{{ann, bob}, {}, 48, 0, 1});
    MainWindow& w = *run.window;
    ASSERT_TRUE(run.choose("Ann"));
    const Persons once = run.state->persons;
    const int relationships = w.imcRelationship->count();
    w.personChosen();
    EXPECT_EQ(run.state->persons, once);
    EXPECT_EQ(w.imcRelationship->count(), relationships);
}

}  // namespace
}  // namespace vondrel
