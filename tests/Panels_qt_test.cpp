#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>
#include <functional>

#include "base/FileIO.h"
#include "support/Games.h"
#include "support/RunningWindow.h"
#include "ui/AboutBox.h"

namespace vondrel {
namespace {

using testing::person;

class PanelsTest : public ::testing::Test {
  protected:
    void SetUp() override { window_.show(); }
    void TearDown() override { testing::releaseHeld(&window_); }

    void play(const char* name, const std::string& script) {
        testing::gesture(run_.get(name), script);
    }
    void choose(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    Bytes onDisk() { return *readWholeFile(run_.neighborhoodPath()).bytes; }

    testing::RunningWindow run_{testing::oddHousehold()};
    MainWindow& window_ = *run_.window;
};

TEST_F(PanelsTest, ShowingEveryPersonAndRepaintingChangesNothing) {
    ImagePicker* faces = window_.personView().picker();
    auto* relations = run_.get<ImagePicker>("imcRelationship");
    for (int i = 1; i <= faces->count(); ++i) {
        choose(faces, i - 1);
        for (int r = 1; r <= relations->count(); ++r)
            choose(relations, r - 1);
        window_.grab();
    }
    window_.aboutClicked();
    for (AboutBox* box : window_.findChildren<AboutBox*>())
        box->close();
    EXPECT_TRUE(run_.household().isSaved());
    run_.messages.answers = {MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_TRUE(window_.save());
    EXPECT_EQ(onDisk(), run_.built.neighborhood);
    EXPECT_FALSE(window_.askExit());
    EXPECT_EQ(run_.messages.shown.back().text, "Are you sure ?");
}

TEST_F(PanelsTest, EntriesReachTheRecordTheyWereMadeFromAndMoneyShowsInFull) {
    auto* money = run_.get<QLineEdit>("txtMoney");
    ASSERT_TRUE(run_.choose(4));  // "Smith, Jones, Al"
    EXPECT_EQ(money->text(), QStringLiteral("-500"));
    money->setFocus();
    money->selectAll();
    QTest::keyClicks(money, QStringLiteral("9x1"));
    EXPECT_EQ(money->text(), QStringLiteral("91"));
    EXPECT_EQ(run_.person(4).Money, 91);
    EXPECT_EQ(run_.person(1).Money, 5000);

    ASSERT_TRUE(run_.choose(7));  // no first name
    EXPECT_EQ(money->text(), QStringLiteral("12345678"));
    ASSERT_TRUE(run_.choose(6));  // the second Eve
    play("prgNeat", "L60 l60");
    EXPECT_EQ(run_.person(6).Neat, 1000);
    EXPECT_EQ(run_.person(5).Neat, 500);

    // One Doe household's money is its own.
    ASSERT_TRUE(run_.choose(3));
    EXPECT_EQ(money->text(), QStringLiteral("100"));
    ASSERT_TRUE(run_.choose(5));  // without a family: nothing to type into
    EXPECT_TRUE(money->isReadOnly());
}

TEST_F(PanelsTest, EachPanelEditsThroughTheHouseholdAndShowsTheResult) {
    ASSERT_TRUE(run_.choose(1));
    choose(run_.get<ImagePicker>("imcJobIcon"), 5);  // track 4
    EXPECT_EQ(run_.person(1).JobTrack, 4);
    choose(run_.get<QComboBox>("imcJobs"), 7);
    EXPECT_EQ(run_.person(1).JobLevel, 7);
    EXPECT_EQ(run_.get<QComboBox>("imcJobs")->currentText(), QStringLiteral("Counterfeiter"));

    play("prgSFeel", "L10 >0 l0");  // how Bob feels about Ann
    EXPECT_EQ(run_.person(2).Relation[1], -100);
    EXPECT_EQ(run_.person(1).Relation[2], 40);

    QTest::mouseClick(run_.get("chkSLove"), Qt::LeftButton);
    EXPECT_TRUE(isTrue(run_.person(2).Loves[1]));
    EXPECT_TRUE(window_.relationships().theyLoveShown());
    QTest::mouseClick(run_.get("chkYLove"), Qt::LeftButton);
    EXPECT_FALSE(isTrue(run_.person(1).Loves[2]));
    EXPECT_FALSE(window_.relationships().youLoveShown());

    QTest::mouseClick(run_.get("btnGhost"), Qt::LeftButton);
    EXPECT_TRUE(isTrue(run_.person(1).IsGhost));
    EXPECT_TRUE(run_.get("cmbLingering")->isVisibleTo(&window_));
    EXPECT_EQ(run_.get<QComboBox>("cmbLingering")->currentText(), QStringLiteral("03"));
    choose(run_.get<QComboBox>("cmbLingering"), 9);
    EXPECT_EQ(run_.person(1).LingerHouse, 10);

    run_.messages.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    QTest::mouseClick(run_.get("imgMaxVEK"), Qt::LeftButton);
    EXPECT_EQ(run_.person(1).Creativity, 1000);
    EXPECT_EQ(run_.person(2).Relation[1], 100);
    EXPECT_EQ(run_.get<Gauge>("prgCreativity")->value(), 10);
    EXPECT_EQ(run_.get<QComboBox>("imcJobs")->currentText(), QStringLiteral("Superstar"));
    EXPECT_EQ(run_.get<Gauge>("prgSFeel")->value(), 200);
}

TEST_F(PanelsTest, UndoAndRedoKeysBringBackWhatTheWindowShows) {
    QApplication::setActiveWindow(&window_);
    ASSERT_TRUE(run_.choose(2));
    play("prgNeat", "L60 l60");
    ASSERT_EQ(run_.person(2).Neat, 1000);
    ASSERT_TRUE(run_.choose(1));
    QTest::keyClick(&window_, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(run_.person(2).Neat, 500);
    EXPECT_EQ(window_.currentId(), 2);  // the undone edit's person comes on screen
    EXPECT_EQ(run_.get<Gauge>("prgNeat")->value(), 5);
    EXPECT_TRUE(run_.household().isSaved());
    QTest::keyClick(&window_, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(run_.get<Gauge>("prgNeat")->value(), 10);
    QTest::keyClick(&window_, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(run_.household().canRedo());
}

TEST_F(PanelsTest, TabVisitsEveryControlInReadingOrderAndTheFocusIsAlwaysMarked) {
    QApplication::setActiveWindow(&window_);
    ASSERT_TRUE(run_.choose(1));  // Ann: a family, a relationship both ways, no ghost
    EXPECT_EQ(window_.focusWidget(), window_.personView().picker());
    const QStringList expected =
        QString(
            "imcFaces imgMaxVEK imgMaxFAM prgNeat prgOutgoing prgActive prgPlayful prgNice "
            "prgCleaning "
            "prgCooking prgMechanical prgCharisma prgBody prgLogic prgCreativity imcRelationship "
            "prgYFeel chkYLove prgSFeel chkSLove imcJobIcon imcJobs prgPerf btnGhost txtMoney "
            "btnSave "
            "btnExit btnHelp btnAbout imcFaces")
            .split(' ');
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        visited << focused->objectName();
        const QImage marked = focused->grab().toImage();
        QTest::keyClick(focused, Qt::Key_Tab);
        // The mark leaves with the focus.
        EXPECT_TRUE(focused->grab().toImage() != marked) << focused->objectName().toStdString();
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(PanelsTest, KeysEditThroughTheHouseholdAsTheMouseDoes) {
    QApplication::setActiveWindow(&window_);
    ASSERT_TRUE(run_.choose(1));
    const PersonRecord& ann = run_.person(1);
    const PersonRecord& bob = run_.person(2);
    struct KeyCase {
        const char* control;
        int key;
        std::function<long()> stored;
        long expected;
    };
    const KeyCase cases[] = {
        {"prgNeat", Qt::Key_Right, [&] { return long{ann.Neat}; }, 600},
        {"prgNeat", Qt::Key_End, [&] { return long{ann.Neat}; }, 1000},
        {"prgNeat", Qt::Key_Home, [&] { return long{ann.Neat}; }, 0},
        {"prgCreativity", Qt::Key_PageUp, [&] { return long{ann.Creativity}; }, 400},
        {"prgPerf", Qt::Key_PageDown, [&] { return long{ann.JobPerformance}; }, -20},
        {"prgYFeel", Qt::Key_Left, [&] { return long{ann.Relation[2]}; }, 39},
        {"prgSFeel", Qt::Key_End, [&] { return long{bob.Relation[1]}; }, 100},
        {"chkYLove", Qt::Key_Space, [&] { return long{ann.Loves[2]}; }, 0},
        {"chkSLove", Qt::Key_Space, [&] { return long{bob.Loves[1]}; }, -1},
        {"btnGhost", Qt::Key_Space, [&] { return long{ann.IsGhost}; }, -1},
    };
    for (const KeyCase& c : cases) {
        run_.get(c.control)->setFocus();
        QTest::keyClick(run_.get(c.control), static_cast<Qt::Key>(c.key));
        EXPECT_EQ(c.stored(), c.expected) << c.control;
    }
    EXPECT_EQ(run_.get<Gauge>("prgNeat")->value(), 0);

    QTest::keyClick(&window_, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(isTrue(ann.IsGhost));
    run_.messages.answers = {MessageAnswer::Yes};
    QTest::keyClick(&window_, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(run_.household().isSaved());
    EXPECT_NE(onDisk(), run_.built.neighborhood);

    // Enter presses a focused button; Ctrl+Q asks before leaving.
    const std::size_t asked = run_.messages.shown.size();
    run_.get("btnSave")->setFocus();
    run_.messages.answers = {MessageAnswer::No};
    QTest::keyClick(run_.get("btnSave"), Qt::Key_Return);
    run_.messages.answers = {MessageAnswer::No};
    QTest::keyClick(&window_, Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(run_.messages.shown.size(), asked + 2);
    EXPECT_EQ(run_.messages.shown.back().text, "Are you sure ?");

    QTest::keyClick(&window_, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(window_.contextMenu()->isVisible());
    window_.contextMenu()->close();
    // The menu key, which the desktop delivers to the focused control.
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2),
                              run_.get("prgNeat")->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(run_.get("prgNeat"), &menuKey);
    EXPECT_TRUE(window_.contextMenu()->isVisible());
    window_.contextMenu()->close();
}

TEST_F(PanelsTest, TheWheelTurnsOnlyAListWithTheFocus) {
    QApplication::setActiveWindow(&window_);
    ImagePicker* faces = window_.personView().picker();
    const auto wheelDown = [faces] {
        const QPointF at(faces->width() / 2.0, faces->height() / 2.0);
        QWheelEvent wheel(at, faces->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(faces, &wheel);
    };
    run_.get("prgNeat")->setFocus();
    const int shown = window_.currentId();
    wheelDown();
    EXPECT_EQ(window_.currentId(), shown);
    EXPECT_EQ(run_.get("prgNeat"), QApplication::focusWidget());
    faces->setFocus();
    wheelDown();
    EXPECT_NE(window_.currentId(), shown);
}

TEST_F(PanelsTest, TheBackgroundMenuPutsAKeptCopyBack) {
    const QPoint background(window_.width() - 2, 1);
    QContextMenuEvent onBackground(QContextMenuEvent::Mouse, background,
                                   window_.mapToGlobal(background));
    QApplication::sendEvent(&window_, &onBackground);
    QMenu* menu = window_.contextMenu();
    ASSERT_TRUE(menu->isVisible());
    QStringList actions;
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator())
            actions << a->text();
    }
    EXPECT_EQ(actions, (QStringList{"Undo", "Redo", "Restore a backup...", "Help", "About"}));
    menu->close();

    window_.restoreBackup();  // nothing kept yet
    EXPECT_EQ(run_.messages.shown.back().icon, MessageIcon::Information);

    play("prgNeat", "L60 l60");
    run_.messages.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(window_.save());
    ASSERT_NE(onDisk(), run_.built.neighborhood);
    run_.chooser.answer = 0;
    run_.messages.answers = {MessageAnswer::Yes};
    window_.restoreBackup();
    EXPECT_EQ(onDisk(), run_.built.neighborhood);
    EXPECT_EQ(run_.person(1).Neat, 500);  // loaded again
    EXPECT_EQ(run_.get<Gauge>("prgNeat")->value(), 5);
    // The file as it was before is kept too.
    EXPECT_EQ(run_.chooser.offered.back().size(), 1u);
    window_.restoreBackup();
    EXPECT_EQ(run_.chooser.offered.back().size(), 2u);
}

}  // namespace
}  // namespace vondrel
