#include <gtest/gtest.h>

#include <QKeySequence>
#include <QLineEdit>
#include <QWheelEvent>
#include <array>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "support/Games.h"
#include "support/RunningWindow.h"
#include "ui/AttributeBars.h"
#include "ui/SkinnedButton.h"

namespace vondrel {
namespace {

const QColor kNavy(7, 0, 128), kBlue(0, 0, 255);

// The pixels of `w` as it paints itself, inside `area` when given, that are exactly `colour`.
int countPixels(QWidget& w, const QColor& colour, QRect area = {}) {
    const QImage image = w.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(area);
    int found = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            found += image.pixel(x, y) == colour.rgb() ? 1 : 0;
    }
    return found;
}

TEST(BarValueAt, RoundsToTheNearestValueTiesToEvenAndClampsToTheBar) {
    const std::tuple<double, float, int, int> cases[] = {
        {3.05, 61, 10, 0}, {15.25, 61, 10, 2},   {45.75, 61, 10, 8},   {3.1, 61, 10, 1},
        {-500, 61, 10, 0}, {1e6, 61, 10, 10},    {2.125, 170, 200, 2}, {10.625, 170, 200, 12},
        {-3, 170, 200, 0}, {400, 170, 200, 200},
    };
    for (const auto& [x, width, max, expected] : cases)
        EXPECT_EQ(barValueAt(x, width, max), expected) << x << " on " << width;
}

TEST(Gauge, FillsTheValueShareDrawingValuesOutsideTheRangeClampedAndOutlinesItsCaption) {
    Gauge gauge;
    gauge.resize(170, 27);
    gauge.setMaximum(200);
    gauge.setBackColor(kNavy);
    gauge.setFillColor(kBlue);
    QString caption;
    QObject::connect(&gauge, &Gauge::captionRequested, [&](QString& c, int) { c = caption; });
    // From colours, then from pictures (the full one covering the value's share of the empty).
    QPixmap empty(59, 25), full(59, 25);
    empty.fill(kNavy);
    full.fill(kBlue);
    for (bool pictures : {false, true}) {
        if (pictures)
            gauge.setPictures(empty, full);
        for (const auto& [value, columns] :
             {std::pair{100, 85}, std::pair{200, 170}, std::pair{260, 170}, std::pair{-30, 0}}) {
            gauge.setValue(value);
            EXPECT_EQ(gauge.value(), value);
            EXPECT_EQ(countPixels(gauge, kBlue), columns * 27) << value << " " << pictures;
            EXPECT_EQ(countPixels(gauge, kNavy), (170 - columns) * 27) << value << " " << pictures;
        }
    }
    caption = QStringLiteral("WWW");
    EXPECT_GT(countPixels(gauge, Qt::white, QRect(40, 0, 90, 27)), 10);
    // White text on a white fill still shows, by its outline.
    gauge.setPictures(QPixmap(), QPixmap());
    gauge.setFillColor(Qt::white);
    gauge.setValue(200);
    EXPECT_GT(170 * 27 - countPixels(gauge, Qt::white), 10);
}

using People = std::array<PersonRecord, 9>;  // by id

// The window on the odd household (testing::oddHousehold), showing Ann (1), whose Neat of 250
// shows as 2 (halves go to the even neighbour). The portrait of the person without a first
// name is all mask colour.
class MainWindowInputTest : public ::testing::Test {
  protected:
    static build::GameSpec game() {
        build::GameSpec spec = testing::oddHousehold();
        spec.persons[0].neat = 250;
        spec.persons[6].portrait = build::solidPortrait({192, 192, 192});
        return spec;
    }
    void SetUp() override {
        ASSERT_TRUE(run_.choose(1));
        std::istringstream names(
            "imgSave lblSave imgExit lblExit imgHelp lblHelp imgAbout lblAbout imgGhost lblGhost "
            "pctMaxVek - pctMaxFAM -");
        std::string faces, caption;
        for (SkinnedButton& b : buttons_) {
            names >> faces >> caption;
            for (int i = 0; i < 3; ++i)
                b.faces[i] = run_.get<QLabel>((faces + "(" + std::to_string(i) + ")").c_str());
            b.caption = run_.get<QLabel>(caption.c_str());
        }
    }

    // Save, Exit, Help, About, Ghost, maximize person, maximize family: the face each shows, or
    // '!' when the caption's colour is not the face's.
    std::string states() const {
        std::string s;
        for (const SkinnedButton& b : buttons_) {
            const QColor colour = b.state() == 0 ? QColor(255, 255, 255) : QColor(244, 245, 170);
            s += b.caption && b.caption->palette().color(QPalette::WindowText) != colour
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

    testing::RunningWindow run_{game()};
    MainWindow& window_ = *run_.window;
    std::array<SkinnedButton, 7> buttons_;
};

TEST_F(MainWindowInputTest, ThePointerLightsTheButtonUnderItAndAnyButtonPressesOne) {
    // Over the element (the bare window when ""), the gesture; the states before and after.
    const std::array<const char*, 4> steps[] = {
        {"btnSave", ">2,2", "2222222", "1000222"},
        {"btnHelp", "L2,2 >3,3", "1111111", "0020111"},
        {"btnAbout", "R2,2 >3,3", "2222222", "0001222"},
        {"imgMaxVEK", ">2,2", "2222222", "2222210"},
        {"imgMaxFAM", "L2,2 >3,3", "1111111", "1111102"},
        {"pctUI(0)", ">1,1", "1212111", "0212111"},
        {"pctUI(4)", ">1,1", "1212111", "0212111"},
        {"", ">1,1", "1111111", "0000000"},
        // Pressed by any button; let go away from it, it is lit and not clicked.
        {"btnSave", "M5,5", "0000000", "2000000"},
        {"btnAbout", "R5,5 r5,-60", "0000000", "0001000"},
        {"imgMaxFAM", "L5,5", "0000000", "0000002"},
        {"imgMaxVEK", "M5,5 m5,60", "0000000", "0000010"},
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
    for (const auto& [on, script, before, after] : steps) {
        SCOPED_TRACE(std::string(on) + " " + script);
        for (std::size_t b = 0; b < buttons_.size(); ++b)
            paintButtonState(buttons_[b], before[b] - '0');
        testing::gesture(*on ? run_.get(on) : &window_, script);
        EXPECT_EQ(states(), after);
        testing::releaseHeld(&window_);
    }
    ASSERT_EQ(run_.messages.shown.size(), loaded + 1);
    EXPECT_EQ(run_.messages.shown.back().buttons, MessageButtons::YesNo);
    EXPECT_EQ(run_.help.opened, (std::vector<std::string>{"VDL.chm#0"}));
}

TEST_F(MainWindowInputTest, EveryControlStoresThroughTheHouseholdIntoItsOwnRecordAndField) {
    People expected = people();
    auto* perf = run_.get<Gauge>("prgPerf");
    std::istringstream words(
        "0 Dismal 30 Dismal 31 Poor 50 Poor 51 Average 130 Average 131 Good 150 Good "
        "151 Excellent 200 Excellent");
    std::string word;
    for (int value; words >> value >> word;) {
        perf->setValue(value);
        EXPECT_EQ(perf->captionText().toStdString(), word) << value;
    }

    using P = People;
    struct Edit {
        const char* control;
        const char* input;  // a gesture, "@" and a key, or "#" and the list entry chosen
        std::function<void(P&)> effect;  // none: nothing changes
        const char* listShows = "";
    };
    const Edit edits[] = {
        {"prgNeat", "@Right", [](P& p) { p[1].Neat = 300; }},
        {"prgOutgoing", "L58 l58", [](P& p) { p[1].Outgoing = 1000; }},
        {"prgActive", "@End", [](P& p) { p[1].Active = 1000; }},
        {"prgPlayful", "@Home", [](P& p) { p[1].Playful = 0; }},
        // Only the left button drags a bar; where it is let go, the value is stored.
        {"prgNice", ">2 >59", {}},
        {"prgNice", "L20 >30 >101,40 l101,40", [](P& p) { p[1].Nice = 1000; }},
        {"prgNice", "R50 >55 >20 r20", {}},
        {"prgNice", "L50 R50 >5 >101 r101", {}},
        {"prgNice", "l50", [](P& p) { p[1].Nice = 800; }},
        {"prgNice", "L4 l4", [](P& p) { p[1].Nice = 100; }},
        {"prgCleaning", "@Left", [](P& p) { p[1].Cleaning = 200; }},
        {"prgCooking", "@Up", [](P& p) { p[1].Cooking = 400; }},
        {"prgMechanical", "@Down", [](P& p) { p[1].Mechanical = 200; }},
        {"prgCharisma", "L57 l57", [](P& p) { p[1].Charisma = 900; }},
        {"prgBody", "@PgUp", [](P& p) { p[1].Body = 400; }},
        {"prgLogic", "@PgDown", [](P& p) { p[1].Logic = 200; }},
        {"prgCreativity", "L0 l0", [](P& p) { p[1].Creativity = 0; }},
        // Performance and feelings are stored while they are dragged.
        {"prgPerf", "@PgDown", [](P& p) { p[1].JobPerformance = -20; }},
        {"prgPerf", "R60 >30 r30", {}},
        {"prgPerf", "L10 >17", [](P& p) { p[1].JobPerformance = -80; }},
        {"prgPerf", ">-30 l-30 >100", [](P& p) { p[1].JobPerformance = -100; }},
        {"prgYFeel", "@Left", [](P& p) { p[1].Relation[2] = 39; }},
        {"prgYFeel", "L10 >47 l47", [](P& p) { p[1].Relation[2] = -50; }},
        {"prgSFeel", "L10 >94 l94", [](P& p) { p[2].Relation[1] = 0; }},
        {"prgSFeel", "@End", [](P& p) { p[2].Relation[1] = 100; }},
        {"chkYLove", "@Space", [](P& p) { p[1].Loves[2] = kFalse; }},
        {"chkSLove", "@Space", [](P& p) { p[2].Loves[1] = kTrue; }},
        {"chkYLove", "L5,5 l5,5", [](P& p) { p[1].Loves[2] = kTrue; }},
        {"imcJobIcon", "#5", [](P& p) { p[1].JobTrack = 4; }},
        {"imcJobs", "#7", [](P& p) { p[1].JobLevel = 7; }, "Counterfeiter"},
        {"btnGhost", "@Space",
         [](P& p) {
             p[1].IsGhost = kTrue;
             p[1].LingerHouse = 3;  // the family's house
         }},
        {"cmbLingering", "#0", [](P& p) { p[1].LingerHouse = 1; }, "01"},
        {"cmbLingering", "#9", [](P& p) { p[1].LingerHouse = 10; }, "10"},
        {"btnGhost", "L5,5 l5,5", [](P& p) { p[1].IsGhost = kFalse; }},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(std::string(e.control) + " " + e.input);
        QWidget* control = run_.get(e.control);
        if (*e.input == '@') {
            control->setFocus();
            QTest::keyClick(control, QKeySequence(e.input + 1)[0].key());
        } else if (*e.input == '#') {
            run_.choose(qobject_cast<QComboBox*>(control), std::atoi(e.input + 1));
        } else {
            testing::gesture(control, e.input);
        }
        if (e.effect)
            e.effect(expected);
        EXPECT_TRUE(people() == expected);
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            EXPECT_EQ(list->currentText().toStdString(), e.listShows);
        }
    }
    // Maximizing asks both questions first (answered Yes) and shows the result.
    run_.messages.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    run_.play("imgMaxVEK", "L5,5 l5,5");
    EXPECT_TRUE(run_.messages.answers.empty());
    EXPECT_EQ(run_.person(1).Creativity, 1000);
    EXPECT_EQ(run_.person(2).Relation[1], 100);
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
    QMenu* menu = window_.contextMenu();
    QTest::keyClick(focused(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(menu->isVisible());
    menu->close();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, {}, {});
    QApplication::sendEvent(run_.get("prgNeat"), &menuKey);
    EXPECT_TRUE(menu->isVisible());
    menu->close();

    // The background's menu puts the copy kept by the save back, and keeps the file too.
    testing::gesture(&window_, "R578,1");
    ASSERT_TRUE(menu->isVisible());
    QStringList actions;
    for (QAction* a : menu->actions())
        actions << a->text() + (a->isEnabled() ? "" : "-");
    EXPECT_EQ(actions.join('|').toStdString(), "Undo|Redo-||Restore a backup...||Help|About");
    run_.chooser.answer = 0;
    run_.messages.answers = {MessageAnswer::Yes};
    menu->actions()[3]->trigger();
    menu->close();
    EXPECT_EQ(run_.onDisk(), run_.built.neighborhood);
    EXPECT_EQ(run_.person(1).Neat, 250);                // loaded again,
    EXPECT_EQ(run_.get<Gauge>("prgNeat")->value(), 5);  // Al's on screen
    ASSERT_EQ(run_.chooser.offered.size(), 1u);
    EXPECT_EQ(run_.chooser.offered[0].size(), 1u);
    window_.restoreBackup();
    EXPECT_EQ(run_.chooser.offered.back().size(), 2u);
}

// Every person and each of their relationships as the window shows them, chosen with the
// keyboard: nothing is stored. Commas in names, two persons of one name, two families of one
// name: each edit reaches the record the entry was made from.
TEST_F(MainWindowInputTest, EveryPersonShowsAndEditsTheirOwnRecordAndUndoBringsItBack) {
    const People before = people();
    ImagePicker* faces = window_.personView().picker();
    auto* relations = run_.get<ImagePicker>("imcRelationship");
    auto* money = run_.get<QLineEdit>("txtMoney");
    const auto caption = [this](const char* gauge) {
        return run_.get<Gauge>(gauge)->captionText().toStdString();
    };
    // The red of a portrait is its person's id; "clear" where the mask colour was.
    const auto face = [](const ImagePicker* list) {
        const QColor c = list->itemIcon(list->currentIndex()).pixmap(25).toImage().pixelColor(8, 8);
        return c.alpha() == 0     ? "clear"
               : c.blue() == 0x40 ? "#" + std::to_string(c.red())
                                  : "other";
    };
    QTest::keyClick(faces, Qt::Key_Home);
    std::string seen;
    for (int i = 0; i < faces->count(); ++i) {
        if (i > 0)
            QTest::keyClick(faces, Qt::Key_Down);
        seen += "\n" + faces->currentText().toStdString() + face(faces) + " $" +
                money->text().toStdString() + (money->isReadOnly() ? "-" : "");
        for (int r = 0; r < relations->count(); ++r) {
            if (r > 0)
                QTest::keyClick(relations, Qt::Key_Down);
            seen += " [" + relations->currentText().toStdString() + face(relations) + " " +
                    caption("prgYFeel") + "/" + caption("prgSFeel") +
                    (window_.relationships().youLoveShown() ? "Y" : "") +
                    (window_.relationships().theyLoveShown() ? "S" : "") + "]";
        }
        window_.grab();
    }
    const char* const none = "No relationships!other No relationships!/No relationships!]";
    EXPECT_EQ(
        seen,
        std::string("\nSmith, Jones, Al#4 $-500 [") + none +
            "\nDoe, Ann#1 $5000 [Doe, Bob#2 40/35Y] [Doe, Cy#3 20/5] [Eve#5 10/No relationships!]"
            "\nDoe, Bob#2 $5000 [Doe, Ann#1 35/40S]\nDoe, Cy#3 $100 [Doe, Ann#1 5/20]"
            "\nEve#5 $0- [" +
            none + "\nRich, clear $12345678 [" + none + "\nEve#6 $0- [" + none);
    EXPECT_TRUE(run_.household().isSaved());
    run_.messages.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(window_.save());
    EXPECT_EQ(run_.onDisk(), run_.built.neighborhood);

    ASSERT_TRUE(run_.choose(4));  // "Smith, Jones, Al"
    money->setFocus();
    money->selectAll();
    QTest::keyClicks(money, QStringLiteral("9x12345678"));  // seven digits at most
    ASSERT_TRUE(run_.choose(3));                            // the other Doe family
    QTest::keyClicks(money, QStringLiteral("7"));
    ASSERT_TRUE(run_.choose(6));  // the second Eve
    run_.play("prgNeat", "L60 l60");
    People expected = before;
    expected[4].Money = 9123456;
    expected[3].Money = 1007;
    expected[6].Neat = 1000;
    EXPECT_TRUE(people() == expected);

    // Undo with the focus in the money entry; the undone edit's person comes on screen.
    ASSERT_TRUE(run_.choose(1));
    for (int id : {6, 3, 4}) {
        QTest::keyClick(money, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(window_.currentId(), id);
    }
    EXPECT_TRUE(people() == before);
    EXPECT_EQ(money->text(), QStringLiteral("-500"));
    EXPECT_TRUE(run_.household().isSaved());
    QTest::keyClick(money, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(money, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    expected[6] = before[6];
    EXPECT_TRUE(people() == expected);
}

// The wheel over the person list turns it only when the list has the focus.
TEST_F(MainWindowInputTest, TabVisitsEveryControlInReadingOrderMarkingTheFocus) {
    ImagePicker* faces = window_.personView().picker();
    const QPointF at(faces->width() / 2.0, faces->height() / 2.0);
    QWheelEvent wheel(at, faces->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    EXPECT_EQ(focused(), faces);
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
        QApplication::sendEvent(faces, &wheel);
    }
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(window_.currentId(), 2);  // only the last turn, with the focus back on the list
}

}  // namespace
}  // namespace vondrel
