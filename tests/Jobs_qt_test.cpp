#include <gtest/gtest.h>

#include "support/Games.h"
#include "support/RunningWindow.h"

namespace vondrel {
namespace {

using testing::person;

build::PersonSpec worker(const std::string& name, std::int16_t id, std::int16_t track,
                         std::int16_t level, std::int16_t sex) {
    build::PersonSpec p = person(name, id, static_cast<std::uint8_t>(id));
    p.jobTrack = track;
    p.jobLevel = level;
    p.sex = sex;
    return p;
}

QStringList titles(const MainWindow& w) {
    QStringList out;
    for (int i = 0; i < w.imcJobs->count(); ++i)
        out << w.imcJobs->itemText(i);
    return out;
}

class JobPanel : public ::testing::Test {
  protected:
    JobPanel()
        : run(build::GameSpec{
              {worker("Ann", 1, 2, 0, 1), worker("Bob", 2, 2, 0, 0), worker("Cid", 3, 7, 6, 0),
               worker("Dee", 4, 7, 6, 1), worker("Eve", 5, 5, 4, 1), worker("Fay", 6, -1, 0, 0),
               worker("Gus", 7, 1, 8, 0)},
              {},
              48,
              0,
              1}) {}
    MainWindow& w() { return *run.window; }
    testing::RunningWindow run;
};

TEST_F(JobPanel, ShowsTheTitleOfTheStoredLevelForEitherSex) {
    ASSERT_TRUE(run.choose("Ann"));
    EXPECT_EQ(w().imcJobIcon->selectedIndex(), 4);
    EXPECT_EQ(w().imcJobs->currentText(), "Waitress");
    ASSERT_TRUE(run.choose("Bob"));
    EXPECT_EQ(w().imcJobs->currentText(), "Waiter");
    ASSERT_TRUE(run.choose("Cid"));
    EXPECT_EQ(w().imcJobs->currentText(), "Congressman");
    ASSERT_TRUE(run.choose("Dee"));
    EXPECT_EQ(w().imcJobs->currentText(), "Congresswoman");
    EXPECT_EQ(titles(w()).size(), 10);
    ASSERT_TRUE(run.choose("Gus"));
    EXPECT_EQ(w().imcJobs->currentText(), "Business Tycoon");
    EXPECT_EQ(titles(w()).size(), 9);
    ASSERT_TRUE(run.choose("Fay"));
    EXPECT_EQ(w().imcJobIcon->selectedIndex(), 1);
    EXPECT_EQ(titles(w()), QStringList{"Student"});
}

TEST_F(JobPanel, ShowingAPersonMarksItChanged) {
    run.state->Saved = true;
    ASSERT_TRUE(run.choose("Bob"));
    EXPECT_EQ(run.person(2).Changed, kTrue);
    EXPECT_FALSE(run.state->Saved);
    EXPECT_EQ(run.person(2).JobTrack, 2);
    EXPECT_EQ(run.person(2).JobLevel, 0);
}

TEST_F(JobPanel, AnotherCareerKeepsTheLevel) {
    ASSERT_TRUE(run.choose("Eve"));
    w().imcJobIcon->select(11);  // science
    w().jobIconChosen();
    EXPECT_EQ(run.person(5).JobTrack, 9);
    EXPECT_EQ(run.person(5).JobLevel, 4);
    EXPECT_EQ(w().imcJobs->currentText(), "Project Leader");
}

TEST_F(JobPanel, StudentAndUnemployedStoreLevelZero) {
    ASSERT_TRUE(run.choose("Eve"));
    w().imcJobIcon->select(1);
    w().jobIconChosen();
    EXPECT_EQ(run.person(5).JobTrack, -1);
    EXPECT_EQ(run.person(5).JobLevel, 0);
    w().imcJobIcon->select(2);
    w().jobIconChosen();
    EXPECT_EQ(run.person(5).JobTrack, 0);
    EXPECT_EQ(run.person(5).JobLevel, 0);
    EXPECT_EQ(w().imcJobs->currentText(), "Unemployed");
}

TEST_F(JobPanel, LevelBeyondTheTracksTitlesSelectsNoneAndKeepsTheStoredLevel) {
    ASSERT_TRUE(run.choose("Dee"));  // level 6
    run.person(4).JobLevel = 9;
    w().imcJobIcon->select(3);  // track 1 has nine titles, levels 0 to 8
    w().jobIconChosen();
    EXPECT_EQ(w().imcJobs->currentIndex(), -1);
    EXPECT_EQ(run.person(4).JobLevel, 9);
    EXPECT_EQ(run.person(4).JobTrack, 1);
    // Picking a title then stores it.
    w().imcJobs->setCurrentIndex(2);
    w().titleChosen();
    EXPECT_EQ(run.person(4).JobLevel, 2);
}

TEST_F(JobPanel, ChoosingTheSameCareerTwiceGivesTheSameResult) {
    ASSERT_TRUE(run.choose("Cid"));
    w().jobIconChosen();
    w().jobIconChosen();
    EXPECT_EQ(run.person(3).JobTrack, 7);
    EXPECT_EQ(run.person(3).JobLevel, 6);
    EXPECT_EQ(w().imcJobs->currentText(), "Congressman");
}

TEST(JobPanelUnknownTrack, SelectsNoCareerAndLeavesTheRecordAlone) {
    // A track the game does not have cannot come from a loaded file (the loader rejects
    // it), but a record can hold one after another program's edit of the table.
    testing::RunningWindow run(build::GameSpec{{worker("Ann", 1, 3, 2, 0)}, {}, 48, 0, 1});
    run.person(1).JobTrack = 12;
    run.person(1).Changed = kFalse;
    ASSERT_TRUE(run.choose("Ann"));
    EXPECT_EQ(run.window->imcJobIcon->selectedIndex(), 0);
    EXPECT_EQ(run.person(1).JobTrack, 12);
    EXPECT_EQ(run.person(1).JobLevel, 2);
}

}  // namespace
}  // namespace vondrel
