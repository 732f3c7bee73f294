#include <gtest/gtest.h>

#include <QLineEdit>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <functional>
#include <sstream>
#include <string>

#include "support/Games.h"
#include "support/RunningWindow.h"
#include "ui/SkinnedButton.h"

namespace vondrel {
namespace {

using People = std::array<PersonRecord, 9>;  // by id

// The window on the odd household (testing::oddHousehold), showing Ann (1).
class MainWindowInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(run_.choose(1));
        std::istringstream names(
            "imgSave lblSave btnSave imgExit lblExit btnExit imgHelp lblHelp btnHelp imgAbout "
            "lblAbout btnAbout imgGhost lblGhost btnGhost pctMaxVek - imgMaxVEK pctMaxFAM - "
            "imgMaxFAM");
        std::string faces, caption, hit;
        for (SkinnedButton& b : buttons_) {
            names >> faces >> caption >> hit;
            for (int i = 0; i < 3; ++i)
                b.faces[i] = run_.get<QLabel>((faces + "(" + std::to_string(i) + ")").c_str());
            b.caption = run_.get<QLabel>(caption.c_str());
            b.hitArea = run_.get(hit.c_str());
        }
    }

    // Save, Exit, Help, About, Ghost, maximize person, maximize family: the face each shows, or
    // '?' when it does not show exactly one, or '!' when the caption's colour is not the face's.
    std::string states() const {
        std::string s;
        for (const SkinnedButton& b : buttons_) {
            const auto shown = std::count_if(b.faces.begin(), b.faces.end(),
                                             [](QLabel* f) { return !f->isHidden(); });
            const QColor colour = b.state() == 0 ? QColor(255, 255, 255) : QColor(244, 245, 170);
            s += shown != 1 ? '?'
                 : b.caption && b.caption->palette().color(QPalette::WindowText) != colour
                     ? '!'
                     : static_cast<char>('0' + b.state());
        }
        return s;
    }
    People people() const {
        People all;
        for (int id = 1; id <= 8; ++id)
            all[id] = run_.person(id);
        return all;
    }
    QWidget* focused() const { return QApplication::focusWidget(); }

    testing::RunningWindow run_{testing::oddHousehold()};
    MainWindow& window_ = *run_.window;
    std::array<SkinnedButton, 7> buttons_;
};

TEST_F(MainWindowInputTest, ThePointerLightsTheButtonUnderItAndAnyButtonPressesOne) {
    struct Step {
        const char* on;  // "" for the bare window
        const char* script;
        const char* before;
        const char* after;
    };
    const Step steps[] = {
        {"btnSave", ">2,2", "2222222", "1000222"},
        {"btnExit", ">2,2", "1000000", "0100000"},
        {"btnHelp", "L2,2 >3,3", "1111111", "0020111"},
        {"btnAbout", "R2,2 >3,3", "2222222", "0001222"},
        {"btnExit", "L2,2 R2,2 >3,3", "2222222", "0100222"},
        {"imgMaxVEK", ">2,2", "2222222", "2222210"},
        {"imgMaxFAM", "L2,2 >3,3", "1111111", "1111102"},
        {"imgMaxVEK", "R2,2 >3,3", "2222222", "2222210"},
        {"pctUI(0)", ">1,1", "1212111", "0212111"},
        {"pctUI(1)", ">1,1", "1212111", "0212111"},
        {"pctUI(2)", ">1,1", "1212111", "0212111"},
        {"pctUI(3)", ">1,1", "1212111", "0212111"},
        {"pctUI(4)", ">1,1", "1212111", "0212111"},
        {"", ">1,1", "1111111", "0000000"},
        // Pressed by any button; let go away from it, it is lit and not clicked.
        {"btnSave", "M5,5", "0000000", "2000000"},
        {"btnSave", "M5,5 m5,-60", "0000000", "1000000"},
        {"btnAbout", "R5,5 r5,-60", "0000000", "0001000"},
        {"imgMaxFAM", "L5,5", "0000000", "0000002"},
        {"imgMaxFAM", "L5,5 l5,60", "0000000", "0000001"},
        // Clicks: Save asks first (answered No), Help opens the help file.
        {"btnSave", "L20 l24", "0000000", "1000000"},
        {"btnHelp", "L20 l24", "0000000", "0010000"},
        // The Ghost button stays pressed while the person is a ghost.
        {"btnGhost", "L5,5 l5,5", "0000000", "0000200"},
        {"", ">1,1", "1111111", "0000200"},
        {"btnGhost", "L5,5 l5,5", "0000000", "0000100"},
        {"", ">1,1", "1111111", "0000000"},
    };
    const std::size_t loaded = run_.messages.shown.size();  // the rejected file's
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.on) + " " + s.script);
        for (std::size_t b = 0; b < buttons_.size(); ++b)
            paintButtonState(buttons_[b], s.before[b] - '0');
        testing::gesture(*s.on ? run_.get(s.on) : &window_, s.script);
        EXPECT_EQ(states(), s.after);
        testing::releaseHeld(&window_);
    }
    ASSERT_EQ(run_.messages.shown.size(), loaded + 1);
    EXPECT_EQ(run_.messages.shown.back().buttons, MessageButtons::YesNo);
    EXPECT_EQ(run_.help.opened, (std::vector<std::string>{"VDL.chm#0"}));
}

TEST_F(MainWindowInputTest, EveryControlStoresThroughTheHouseholdIntoItsOwnRecordAndField) {
    using P = People;
    struct Edit {
        const char* control;
        const char* input;  // a gesture, or "#" and the list entry chosen
        int key;
        std::function<void(P&)> effect;
        const char* listShows = "";
    };
    const Edit edits[] = {
        {"prgNeat", "", Qt::Key_Right, [](P& p) { p[1].Neat = 600; }},
        {"prgOutgoing", "L58 l58", 0, [](P& p) { p[1].Outgoing = 1000; }},
        {"prgActive", "", Qt::Key_End, [](P& p) { p[1].Active = 1000; }},
        {"prgPlayful", "", Qt::Key_Home, [](P& p) { p[1].Playful = 0; }},
        {"prgNice", "L4 l4", 0, [](P& p) { p[1].Nice = 100; }},
        {"prgCleaning", "", Qt::Key_Left, [](P& p) { p[1].Cleaning = 200; }},
        {"prgCooking", "", Qt::Key_Up, [](P& p) { p[1].Cooking = 400; }},
        {"prgMechanical", "", Qt::Key_Down, [](P& p) { p[1].Mechanical = 200; }},
        {"prgCharisma", "L57 l57", 0, [](P& p) { p[1].Charisma = 900; }},
        {"prgBody", "", Qt::Key_PageUp, [](P& p) { p[1].Body = 400; }},
        {"prgLogic", "", Qt::Key_PageDown, [](P& p) { p[1].Logic = 200; }},
        {"prgCreativity", "L0 l0", 0, [](P& p) { p[1].Creativity = 0; }},
        {"prgPerf", "", Qt::Key_PageDown, [](P& p) { p[1].JobPerformance = -20; }},
        {"prgYFeel", "", Qt::Key_Left, [](P& p) { p[1].Relation[2] = 39; }},
        {"prgSFeel", "", Qt::Key_End, [](P& p) { p[2].Relation[1] = 100; }},
        {"chkYLove", "", Qt::Key_Space, [](P& p) { p[1].Loves[2] = kFalse; }},
        {"chkSLove", "", Qt::Key_Space, [](P& p) { p[2].Loves[1] = kTrue; }},
        {"chkYLove", "L5,5 l5,5", 0, [](P& p) { p[1].Loves[2] = kTrue; }},
        {"imcJobIcon", "#5", 0, [](P& p) { p[1].JobTrack = 4; }},
        {"imcJobs", "#7", 0, [](P& p) { p[1].JobLevel = 7; }, "Counterfeiter"},
        {"btnGhost", "", Qt::Key_Space,
         [](P& p) {
             p[1].IsGhost = kTrue;
             p[1].LingerHouse = 3;  // the family's house
         }},
        {"cmbLingering", "#9", 0, [](P& p) { p[1].LingerHouse = 10; }, "10"},
        {"btnGhost", "L5,5 l5,5", 0, [](P& p) { p[1].IsGhost = kFalse; }},
    };
    People expected = people();
    for (const Edit& e : edits) {
        SCOPED_TRACE(std::string(e.control) + " " + e.input + " " + std::to_string(e.key));
        QWidget* control = run_.get(e.control);
        if (e.key) {
            control->setFocus();
            QTest::keyClick(control, static_cast<Qt::Key>(e.key));
        } else if (*e.input == '#') {
            run_.choose(qobject_cast<QComboBox*>(control), std::atoi(e.input + 1));
        } else {
            testing::gesture(control, e.input);
        }
        e.effect(expected);
        EXPECT_TRUE(people() == expected);
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            EXPECT_EQ(list->currentText().toStdString(), e.listShows);
        }
    }
    // Maximizing asks both questions first (answered Yes) and shows the result.
    run_.messages.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    run_.play("imgMaxVEK", "L5,5 l5,5");
    EXPECT_EQ(run_.person(1).Creativity, 1000);
    EXPECT_EQ(run_.person(2).Relation[1], 100);
    EXPECT_EQ(run_.get<Gauge>("prgCreativity")->value(), 10);
    EXPECT_EQ(run_.get<QComboBox>("imcJobs")->currentText(), QStringLiteral("Superstar"));
    EXPECT_EQ(run_.get<Gauge>("prgYFeel")->value(), 200);

    // Ctrl+S saves; Enter presses the focused button; Ctrl+Q asks before leaving; F1 is help.
    run_.messages.answers = {MessageAnswer::Yes};
    QTest::keyClick(&window_, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(run_.household().isSaved());
    EXPECT_NE(run_.onDisk(), run_.built.neighborhood);
    const std::size_t asked = run_.messages.shown.size();
    run_.get("btnSave")->setFocus();
    QTest::keyClick(focused(), Qt::Key_Return);
    QTest::keyClick(focused(), Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(run_.messages.shown.size(), asked + 2);
    EXPECT_EQ(run_.messages.shown.back().text, "Are you sure ?");
    QTest::keyClick(focused(), Qt::Key_F1);
    EXPECT_EQ(run_.help.opened.size(), 1u);
    // Shift+F10 and the menu key (which the desktop delivers to the focused control).
    QTest::keyClick(focused(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(window_.contextMenu()->isVisible());
    window_.contextMenu()->close();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, {}, {});
    QApplication::sendEvent(run_.get("prgNeat"), &menuKey);
    EXPECT_TRUE(window_.contextMenu()->isVisible());
    window_.contextMenu()->close();
}

TEST_F(MainWindowInputTest, BarsFollowLeftDragsAndTheReleaseStores) {
    auto* perf = run_.get<Gauge>("prgPerf");
    const std::pair<int, const char*> words[] = {
        {0, "Dismal"},    {30, "Dismal"}, {31, "Poor"},  {50, "Poor"},       {51, "Average"},
        {130, "Average"}, {131, "Good"},  {150, "Good"}, {151, "Excellent"}, {200, "Excellent"},
    };
    for (const auto& [value, word] : words) {
        perf->setValue(value);
        EXPECT_EQ(perf->captionText().toStdString(), word) << value;
    }
    const auto stored = [this](const std::string& bar) {
        return bar == "prgNice"    ? run_.person(1).Nice
               : bar == "prgPerf"  ? run_.person(1).JobPerformance
               : bar == "prgYFeel" ? run_.person(1).Relation[2]
                                   : run_.person(2).Relation[1];
    };
    // The pointer shape: 9 while dragging, 0 after; -1: not a dragged shape.
    const std::tuple<const char*, const char*, int, int, int> steps[] = {
        {"prgNice", ">2 >59", 5, 500, -1},
        {"prgNice", "L20 >30 >101,40 l101,40", 10, 1000, -1},
        {"prgNice", "L20 >-40,40 l-40,40", 0, 0, -1},
        {"prgNice", "L10 >101 >31 l31", 5, 500, -1},
        {"prgNice", "R50 >55 >101 r101", 5, 500, -1},
        {"prgNice", "L50 R50 >5 >101 r101", 5, 500, -1},
        {"prgNice", "l50", 8, 800, -1},
        {"prgPerf", ">30", 100, 0, 0},
        {"prgPerf", "R60 >30 r30", 100, 0, 0},
        {"prgPerf", "L60 R60 >10 r10 l10", 100, 0, 0},
        {"prgPerf", "L10 >17", 20, -80, 9},
        {"prgPerf", ">169", 199, 99, 9},
        {"prgPerf", ">175", 200, 100, 9},
        {"prgPerf", ">-30 l-30", 0, -100, 9},
        {"prgPerf", ">100", 0, -100, 0},
        {"prgYFeel", "L10 >47 l47", 50, -50, 9},
        {"prgSFeel", "L10 >94 l94 >20", 100, 0, 0},
    };
    for (const auto& [bar, script, value, kept, shape] : steps) {
        SCOPED_TRACE(std::string(bar) + " " + script);
        auto* gauge = run_.get<Gauge>(bar);
        gauge->setPointerShape(9 - shape);
        run_.play(bar, script);
        EXPECT_EQ(gauge->value(), value);
        EXPECT_EQ(stored(bar), kept);
        if (shape >= 0) {
            EXPECT_EQ(gauge->pointerShape(), shape);
            EXPECT_EQ(gauge->cursor().shape(), shape ? Qt::SizeHorCursor : Qt::ArrowCursor);
        }
    }
}

// Every person and each of their relationships as the window shows them, chosen with the
// keyboard; then saving writes the file as it was.
TEST_F(MainWindowInputTest, ShowingEveryPersonAndRelationshipChangesNoByte) {
    ImagePicker* faces = window_.personView().picker();
    auto* relations = run_.get<ImagePicker>("imcRelationship");
    auto* money = run_.get<QLineEdit>("txtMoney");
    const auto caption = [this](const char* gauge) {
        return run_.get<Gauge>(gauge)->captionText().toStdString();
    };
    QTest::keyClick(faces, Qt::Key_Home);
    std::string seen;
    for (int i = 0; i < faces->count(); ++i) {
        if (i > 0)
            QTest::keyClick(faces, Qt::Key_Down);
        seen += "\n" + faces->currentText().toStdString() + " $" + money->text().toStdString() +
                (money->isReadOnly() ? "-" : "");
        for (int r = 0; r < relations->count(); ++r) {
            if (r > 0)
                QTest::keyClick(relations, Qt::Key_Down);
            seen += " [" + relations->currentText().toStdString() + " " + caption("prgYFeel") +
                    "/" + caption("prgSFeel") +
                    (window_.relationships().youLoveShown() ? "Y" : "") +
                    (window_.relationships().theyLoveShown() ? "S" : "") + "]";
        }
        window_.grab();
    }
    const char* const none = "No relationships! No relationships!/No relationships!]";
    EXPECT_EQ(seen,
              std::string("\nSmith, Jones, Al $-500 [") + none +
                  "\nDoe, Ann $5000 [Doe, Bob 40/35Y] [Doe, Cy 20/5] [Eve 10/No relationships!]"
                  "\nDoe, Bob $5000 [Doe, Ann 35/40S]\nDoe, Cy $100 [Doe, Ann 5/20]"
                  "\nEve $0- [" +
                  none + "\nRich,  $12345678 [" + none + "\nEve $0- [" + none);
    EXPECT_TRUE(run_.household().isSaved());
    run_.messages.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(window_.save());
    EXPECT_EQ(run_.onDisk(), run_.built.neighborhood);
}

// Commas in names, two persons of one name, two families of one name: each edit reaches the
// record the entry was made from. Undo brings back the edit's person.
TEST_F(MainWindowInputTest, EditsReachTheChosenRecordAndUndoBringsItBack) {
    auto* money = run_.get<QLineEdit>("txtMoney");
    ASSERT_TRUE(run_.choose(4));  // "Smith, Jones, Al"
    money->setFocus();
    money->selectAll();
    QTest::keyClicks(money, QStringLiteral("91"));
    EXPECT_EQ(run_.person(4).Money, 91);
    EXPECT_EQ(run_.person(1).Money, 5000);
    ASSERT_TRUE(run_.choose(3));  // the other Doe family
    QTest::keyClicks(money, QStringLiteral("7"));
    EXPECT_EQ(run_.person(3).Money, 1007);
    EXPECT_EQ(run_.person(1).Money, 5000);
    ASSERT_TRUE(run_.choose(6));  // the second Eve
    run_.play("prgNeat", "L60 l60");
    EXPECT_EQ(run_.person(6).Neat, 1000);
    EXPECT_EQ(run_.person(5).Neat, 500);

    // Undo with the focus in the money entry; the undone edit's person comes on screen.
    ASSERT_TRUE(run_.choose(1));
    money->setFocus();
    const std::pair<int, const char*> undone[] = {{6, "5"}, {3, "100"}, {4, "-500"}};
    for (const auto& [id, shows] : undone) {
        QTest::keyClick(focused(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(window_.currentId(), id);
        EXPECT_EQ((id == 6 ? QString::number(run_.get<Gauge>("prgNeat")->value()) : money->text())
                      .toStdString(),
                  shows);
    }
    EXPECT_TRUE(run_.household().isSaved());
    QTest::keyClick(focused(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(run_.person(4).Money, 91);
    QTest::keyClick(focused(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(run_.person(3).Money, 1007);
}

TEST_F(MainWindowInputTest, TabVisitsEveryControlInReadingOrderAndTheFocusIsAlwaysMarked) {
    EXPECT_EQ(focused(), window_.personView().picker());
    const QStringList expected =
        QString(
            "imcFaces imgMaxVEK imgMaxFAM prgNeat prgOutgoing prgActive prgPlayful prgNice "
            "prgCleaning prgCooking prgMechanical prgCharisma prgBody prgLogic prgCreativity "
            "imcRelationship prgYFeel chkYLove prgSFeel chkSLove imcJobIcon imcJobs prgPerf "
            "btnGhost txtMoney btnSave btnExit btnHelp btnAbout imcFaces")
            .split(' ');
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QWidget* was = focused();
        ASSERT_NE(was, nullptr);
        visited << was->objectName();
        const QImage marked = was->grab().toImage();
        QTest::keyClick(was, Qt::Key_Tab);
        // The mark leaves with the focus.
        EXPECT_TRUE(was->grab().toImage() != marked) << was->objectName().toStdString();
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(MainWindowInputTest, TheWheelTurnsOnlyAListWithTheFocus) {
    ImagePicker* faces = window_.personView().picker();
    const QPointF at(faces->width() / 2.0, faces->height() / 2.0);
    QWheelEvent wheel(at, faces->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    run_.get("prgNeat")->setFocus();
    QApplication::sendEvent(faces, &wheel);
    EXPECT_EQ(window_.currentId(), 1);
    EXPECT_EQ(run_.get("prgNeat"), focused());
    faces->setFocus();
    QApplication::sendEvent(faces, &wheel);
    EXPECT_EQ(window_.currentId(), 2);
}

TEST_F(MainWindowInputTest, TheBackgroundMenuPutsAKeptCopyBack) {
    run_.play("prgNeat", "R5 r5");  // a control's own menu is not the window's
    EXPECT_FALSE(window_.contextMenu()->isVisible());
    const QPoint background(window_.width() - 2, 1);
    QContextMenuEvent onBackground(QContextMenuEvent::Mouse, background,
                                   window_.mapToGlobal(background));
    QApplication::sendEvent(&window_, &onBackground);
    QMenu* menu = window_.contextMenu();
    ASSERT_TRUE(menu->isVisible());
    QStringList actions;
    for (QAction* a : menu->actions())
        actions << a->text() + (a->isEnabled() ? "" : "-");
    EXPECT_EQ(actions.join('|').toStdString(), "Undo-|Redo-||Restore a backup...||Help|About");
    menu->close();

    window_.restoreBackup();  // nothing kept yet
    EXPECT_EQ(run_.messages.shown.back().icon, MessageIcon::Information);
    run_.play("prgNeat", "L60 l60");
    run_.messages.answers = {MessageAnswer::Yes};
    ASSERT_TRUE(window_.save());
    ASSERT_NE(run_.onDisk(), run_.built.neighborhood);
    run_.chooser.answer = 0;
    run_.messages.answers = {MessageAnswer::Yes};
    menu->actions()[3]->trigger();
    EXPECT_EQ(run_.onDisk(), run_.built.neighborhood);
    EXPECT_EQ(run_.person(1).Neat, 500);  // loaded again
    EXPECT_EQ(run_.get<Gauge>("prgNeat")->value(), 5);
    // The file as it was before is kept too.
    EXPECT_EQ(run_.chooser.offered.back().size(), 1u);
    window_.restoreBackup();
    EXPECT_EQ(run_.chooser.offered.back().size(), 2u);
}

}  // namespace
}  // namespace vondrel
