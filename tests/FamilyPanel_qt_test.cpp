#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <string>

#include "base/Cp1252.h"
#include "support/Scripted.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

// The Tandor family (ids 3, 7 and 9) lives in house 3; "tandor" (id 4) is another family,
// Solo (id 5) has none.
constexpr int kMira = 7;
constexpr int kSolo = 5;

class FamilyPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        add(3, "Ivo", "Tandor", 3, 1500);
        add(kMira, "Mira", "Tandor", 3, 1500);
        add(9, "Kai", "Tandor", 3, 1500);
        add(4, "Lia", "tandor", 6, 80);
        add(kSolo, "Solo", "", 0, 42);
        window_.setCaptions();
    }

    PersonRecord& add(int id, const std::string& first, const std::string& family, Integer house,
                      Long money) {
        PersonRecord& p = state_.persons[id];
        p.Id = static_cast<Integer>(id);
        p.FirstName = first;
        p.FamilyName = family;
        p.House = house;
        p.Money = money;
        return p;
    }
    // Chooses the person in the person picker, as the user does, and forgets the marks that
    // showing it left so that a test sees only its own edits.
    void showPerson(int id) {
        const PersonRecord& p = state_.persons[id];
        const std::string text =
            p.FamilyName.empty() ? p.FirstName : p.FamilyName + ", " + p.FirstName;
        window_.imcFaces->addEntry(QString::fromStdString(cp1252ToUtf8(text)), 0);
        window_.imcFaces->select(window_.imcFaces->count());
        window_.personChosen();
        ASSERT_EQ(state_.CurrentId, std::optional<Integer>(id));
        clearMarks();
    }
    void clearMarks() {
        for (PersonRecord& p : state_.persons)
            p.Changed = kFalse;
        state_.Saved = true;
    }
    PersonRecord& person(int id) { return state_.persons[id]; }

    // Keys go to the money entry as the keyboard delivers them.
    void key(int code, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
        QCoreApplication::sendEvent(window_.txtMoney, &press);
        QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
        QCoreApplication::sendEvent(window_.txtMoney, &release);
    }
    void type(const QString& text) {
        for (const QChar c : text)
            key(Qt::Key_0 + (c.unicode() - '0'), QString(c));
    }
    void backspace() { key(Qt::Key_Backspace, QStringLiteral("\b")); }
    void clearMoney() {
        window_.txtMoney->end(false);
        while (!window_.txtMoney->text().isEmpty())
            backspace();
    }

    void mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
    // Presses the Ghost button with `button`; the view changes on the press.
    void pressGhost(Qt::MouseButton button = Qt::LeftButton) {
        mouse(window_.ghost.hitArea, QEvent::MouseButtonPress, button, button);
    }
    void releaseGhost(Qt::MouseButton button = Qt::LeftButton) {
        mouse(window_.ghost.hitArea, QEvent::MouseButtonRelease, button, Qt::NoButton);
    }
    void toggleGhost() {
        pressGhost();
        releaseGhost();
    }

    // Which view is on the window: the six family controls or the two ghost controls, never
    // a mix.
    bool familyViewShown() const {
        const QWidget* family[] = {window_.lbllFamName, window_.lblFamName, window_.lbllAddress,
                                   window_.lblAddress,  window_.lblMoney,   window_.txtMoney};
        const QWidget* ghost[] = {window_.lblLingering, window_.cmbLingering};
        int shown = 0;
        for (const QWidget* w : family)
            shown += w->isVisibleTo(&window_) ? 1 : 0;
        for (const QWidget* w : ghost)
            shown += w->isVisibleTo(&window_) ? 0 : 1;
        EXPECT_TRUE(shown == 0 || shown == 8) << "mixed views: " << shown;
        return shown == 8;
    }

    WindowState state_;
    ScriptedMessageBoxes messages_;
    MainWindow window_{state_, messages_};
};

// ---------------------------------------------------------------------------------------------
// The view of a shown person.

TEST_F(FamilyPanelTest, PersonWhoIsNoGhostShowsTheFamilyView) {
    showPerson(kMira);
    EXPECT_TRUE(familyViewShown());
    EXPECT_EQ(window_.lblFamName->text(), QStringLiteral("Tandor"));
    EXPECT_EQ(window_.lblAddress->text(), QStringLiteral("3"));
    EXPECT_EQ(window_.txtMoney->text(), QStringLiteral("1500"));
    EXPECT_EQ(window_.lblLingering->text(), QStringLiteral("Add:"));
    EXPECT_FALSE(state_.GhostShown);
    EXPECT_EQ(window_.ghost.state(), Normal);
}

TEST_F(FamilyPanelTest, GhostShowsTheGhostViewWithItsHouse) {
    person(9).IsGhost = kTrue;
    person(9).LingerHouse = 3;
    showPerson(9);
    EXPECT_FALSE(familyViewShown());
    EXPECT_EQ(window_.cmbLingering->currentText(), QStringLiteral("03"));
    EXPECT_TRUE(state_.GhostShown);
    EXPECT_EQ(window_.ghost.state(), Pressed);

    // A ghost without a lingering house shows no house; the next person turns the view back.
    person(3).IsGhost = kTrue;
    showPerson(3);
    EXPECT_FALSE(familyViewShown());
    EXPECT_EQ(window_.cmbLingering->currentIndex(), -1);
    EXPECT_EQ(person(3).LingerHouse, 0);
    showPerson(kMira);
    EXPECT_TRUE(familyViewShown());
    EXPECT_FALSE(state_.GhostShown);
    EXPECT_EQ(window_.ghost.state(), Normal);
}

TEST_F(FamilyPanelTest, ShownMoneyIsStoredForTheWholeFamily) {
    // Members that disagree about their money take the shown person's.
    person(3).Money = 10;
    person(9).Money = 20;
    window_.imcFaces->addEntry(QStringLiteral("Tandor, Mira"), 0);
    window_.imcFaces->select(window_.imcFaces->count());
    window_.personChosen();
    EXPECT_EQ(person(3).Money, 1500);
    EXPECT_EQ(person(9).Money, 1500);
    EXPECT_TRUE(isTrue(person(3).Changed));
    EXPECT_TRUE(isTrue(person(9).Changed));
    EXPECT_EQ(person(4).Money, 80);
    EXPECT_FALSE(isTrue(person(4).Changed));
}

// ---------------------------------------------------------------------------------------------
// Money entry.

TEST_F(FamilyPanelTest, TypedMoneyGoesToEveryMemberAndNoOneElse) {
    showPerson(kMira);
    clearMoney();
    type(QStringLiteral("250"));
    EXPECT_EQ(window_.txtMoney->text(), QStringLiteral("250"));
    for (const int id : {3, kMira, 9}) {
        EXPECT_EQ(person(id).Money, 250) << id;
        EXPECT_TRUE(isTrue(person(id).Changed)) << id;
    }
    EXPECT_FALSE(state_.Saved);
    // Another letter case is another family; no-family persons and empty slots stay as well.
    EXPECT_EQ(person(4).Money, 80);
    EXPECT_EQ(person(kSolo).Money, 42);
    EXPECT_EQ(person(0).Money, 0);
    for (const int id : {4, kSolo, 0, 1})
        EXPECT_FALSE(isTrue(person(id).Changed)) << id;
}

TEST_F(FamilyPanelTest, ClearingTheMoneyStoresZeroForEveryMember) {
    showPerson(kMira);
    clearMoney();
    EXPECT_EQ(window_.txtMoney->text(), QString());
    for (const int id : {3, kMira, 9}) {
        EXPECT_EQ(person(id).Money, 0) << id;
        EXPECT_TRUE(isTrue(person(id).Changed)) << id;
    }
    EXPECT_EQ(person(4).Money, 80);
}

TEST_F(FamilyPanelTest, FamilyNameWithAccentsFindsItsMembers) {
    add(11, "Eva", "\xC9lan", 2, 5);
    add(12, "Ole", "\xC9lan", 2, 5);
    add(13, "Uma", "Elan", 2, 5);
    showPerson(11);
    EXPECT_EQ(window_.lblFamName->text(), QString::fromUtf8("\xC3\x89lan"));
    type(QStringLiteral("7"));
    EXPECT_EQ(person(11).Money, 57);
    EXPECT_EQ(person(12).Money, 57);
    EXPECT_EQ(person(13).Money, 5);
}

TEST_F(FamilyPanelTest, KeyFilterLetsOnlyDigitsAndBackspaceThrough) {
    showPerson(kMira);
    clearMoney();
    type(QStringLiteral("12"));
    key(Qt::Key_A, QStringLiteral("a"));
    key(Qt::Key_A, QStringLiteral("A"), Qt::ShiftModifier);
    key(Qt::Key_Minus, QStringLiteral("-"));
    key(Qt::Key_Plus, QStringLiteral("+"));
    key(Qt::Key_Space, QStringLiteral(" "));
    key(Qt::Key_Period, QStringLiteral("."));
    key(Qt::Key_Return, QStringLiteral("\r"));
    key(Qt::Key_unknown, QString(QChar(0x00B2)));  // a superscript two is no digit
    EXPECT_EQ(window_.txtMoney->text(), QStringLiteral("12"));
    EXPECT_EQ(person(3).Money, 12);

    // The copy, paste and cut characters are discarded like any other: nothing is cut and
    // nothing from the clipboard arrives.
    QApplication::clipboard()->setText(QStringLiteral("999"));
    window_.txtMoney->selectAll();
    key(Qt::Key_C, QString(QChar(3)), Qt::ControlModifier);
    key(Qt::Key_V, QString(QChar(22)), Qt::ControlModifier);
    key(Qt::Key_X, QString(QChar(24)), Qt::ControlModifier);
    key(Qt::Key_V, QString(), Qt::ControlModifier);
    key(Qt::Key_X, QString(), Qt::ControlModifier);
    window_.txtMoney->end(false);
    EXPECT_EQ(window_.txtMoney->text(), QStringLiteral("12"));
    EXPECT_EQ(person(3).Money, 12);

    // Backspace deletes; digits go in where the cursor is.
    backspace();
    EXPECT_EQ(window_.txtMoney->text(), QStringLiteral("1"));
    EXPECT_EQ(person(9).Money, 1);
    key(Qt::Key_Home, QString());
    type(QStringLiteral("8"));
    EXPECT_EQ(window_.txtMoney->text(), QStringLiteral("81"));
    EXPECT_EQ(person(9).Money, 81);
}

TEST_F(FamilyPanelTest, MoneyTakesAtMostSevenDigits) {
    showPerson(kMira);
    clearMoney();
    type(QStringLiteral("123456789"));
    EXPECT_EQ(window_.txtMoney->text(), QStringLiteral("1234567"));
    EXPECT_EQ(person(3).Money, 1234567);
}

TEST_F(FamilyPanelTest, PastedMoneyKeepsItsDigits) {
    showPerson(kMira);
    QApplication::clipboard()->setText(QStringLiteral("12a34"));
    window_.txtMoney->selectAll();
    window_.txtMoney->paste();
    EXPECT_EQ(window_.txtMoney->text(), QStringLiteral("1234"));
    for (const int id : {3, kMira, 9})
        EXPECT_EQ(person(id).Money, 1234) << id;

    QApplication::clipboard()->setText(QStringLiteral("987654321"));
    window_.txtMoney->selectAll();
    window_.txtMoney->paste();
    EXPECT_EQ(window_.txtMoney->text(), QStringLiteral("9876543"));
    EXPECT_EQ(person(9).Money, 9876543);

    // Text made of something else than digits gives 0, as an empty entry does.
    QApplication::clipboard()->setText(QStringLiteral("-x"));
    window_.txtMoney->selectAll();
    window_.txtMoney->paste();
    EXPECT_EQ(window_.txtMoney->text(), QString());
    EXPECT_EQ(person(3).Money, 0);
    EXPECT_EQ(person(4).Money, 80);
}

TEST_F(FamilyPanelTest, PersonWithoutFamilyHasNoMoneyToEdit) {
    showPerson(kSolo);
    EXPECT_TRUE(familyViewShown());
    EXPECT_EQ(window_.lblFamName->text(), QString());
    EXPECT_EQ(window_.txtMoney->text(), QStringLiteral("42"));
    clearMarks();
    type(QStringLiteral("5"));
    backspace();
    backspace();
    EXPECT_EQ(person(kSolo).Money, 42);
    for (const PersonRecord& p : state_.persons)
        EXPECT_FALSE(isTrue(p.Changed)) << p.Id;
    EXPECT_TRUE(state_.Saved);
}

// ---------------------------------------------------------------------------------------------
// Ghost toggle.

TEST_F(FamilyPanelTest, BecomingAGhostLingersAtTheFamilysHouse) {
    showPerson(kMira);
    pressGhost();
    EXPECT_TRUE(isTrue(person(kMira).IsGhost));
    EXPECT_TRUE(state_.GhostShown);
    EXPECT_EQ(person(kMira).LingerHouse, 3);
    EXPECT_EQ(window_.cmbLingering->currentText(), QStringLiteral("03"));
    EXPECT_FALSE(familyViewShown());
    EXPECT_TRUE(isTrue(person(kMira).Changed));
    EXPECT_FALSE(state_.Saved);
    EXPECT_EQ(window_.ghost.state(), Pressed);
    releaseGhost();
    EXPECT_EQ(window_.ghost.state(), Pressed);
    // Only the toggled person changed.
    EXPECT_FALSE(isTrue(person(3).Changed));
    EXPECT_FALSE(isTrue(person(3).IsGhost));
}

TEST_F(FamilyPanelTest, BecomingAGhostWithoutAHouseLingersAtHouseOne) {
    showPerson(kSolo);
    toggleGhost();
    EXPECT_EQ(person(kSolo).LingerHouse, 1);
    EXPECT_EQ(window_.cmbLingering->currentText(), QStringLiteral("01"));
    EXPECT_TRUE(isTrue(person(kSolo).IsGhost));
}

TEST_F(FamilyPanelTest, GhostKeepsTheHouseItAlreadyHas) {
    person(kMira).LingerHouse = 7;
    showPerson(kMira);
    toggleGhost();
    EXPECT_EQ(person(kMira).LingerHouse, 7);
    EXPECT_EQ(window_.cmbLingering->currentText(), QStringLiteral("07"));
}

TEST_F(FamilyPanelTest, TogglingTwiceReturnsToTheFamilyView) {
    showPerson(kMira);
    toggleGhost();
    // The money shown before is typed over while the ghost view hides the entry; leaving it
    // shows the stored money again.
    person(kMira).Money = 1500;
    clearMarks();
    pressGhost();
    EXPECT_FALSE(isTrue(person(kMira).IsGhost));
    EXPECT_FALSE(state_.GhostShown);
    EXPECT_TRUE(familyViewShown());
    EXPECT_EQ(person(kMira).LingerHouse, 3);
    EXPECT_EQ(window_.lblFamName->text(), QStringLiteral("Tandor"));
    EXPECT_EQ(window_.lblAddress->text(), QStringLiteral("3"));
    EXPECT_EQ(window_.txtMoney->text(), QStringLiteral("1500"));
    EXPECT_TRUE(isTrue(person(kMira).Changed));
    EXPECT_FALSE(state_.Saved);
    EXPECT_EQ(window_.ghost.state(), Pressed);
    releaseGhost();
    EXPECT_EQ(window_.ghost.state(), Hover);
}

TEST_F(FamilyPanelTest, AnyMouseButtonToggles) {
    showPerson(kMira);
    pressGhost(Qt::RightButton);
    releaseGhost(Qt::RightButton);
    EXPECT_TRUE(isTrue(person(kMira).IsGhost));
    pressGhost(Qt::MiddleButton);
    releaseGhost(Qt::MiddleButton);
    EXPECT_FALSE(isTrue(person(kMira).IsGhost));
}

TEST_F(FamilyPanelTest, PointerOverTheToggleLightsItOnlyWhileTheViewIsOff) {
    showPerson(kMira);
    mouse(window_.ghost.hitArea, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(window_.ghost.state(), Hover);
    EXPECT_EQ(window_.ghost.caption->palette().color(QPalette::WindowText), kCaptionLit);
    toggleGhost();
    mouse(window_.ghost.hitArea, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(window_.ghost.state(), Pressed);
    // Moving over the toggle changes nothing stored.
    EXPECT_TRUE(isTrue(person(kMira).IsGhost));
}

// ---------------------------------------------------------------------------------------------
// Lingering list.

TEST_F(FamilyPanelTest, PickingTheLastHouseStoresTen) {
    showPerson(kMira);
    toggleGhost();
    clearMarks();
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QCoreApplication::sendEvent(window_.cmbLingering, &end);
    EXPECT_EQ(window_.cmbLingering->currentText(), QStringLiteral("10"));
    EXPECT_EQ(person(kMira).LingerHouse, 10);
    EXPECT_TRUE(isTrue(person(kMira).Changed));
    EXPECT_FALSE(state_.Saved);
    EXPECT_FALSE(isTrue(person(3).Changed));
}

TEST_F(FamilyPanelTest, HouseSelectedFromCodeIsStoredToo) {
    showPerson(kMira);
    toggleGhost();
    clearMarks();
    window_.cmbLingering->setCurrentIndex(4);
    EXPECT_EQ(person(kMira).LingerHouse, 5);
    EXPECT_TRUE(isTrue(person(kMira).Changed));
    EXPECT_FALSE(state_.Saved);
}

TEST_F(FamilyPanelTest, ShowingAGhostStoresItsHouseBack) {
    person(9).IsGhost = kTrue;
    person(9).LingerHouse = 4;
    person(9).JobTrack = 42;  // no career: showing the job marks nothing
    window_.imcFaces->addEntry(QStringLiteral("Tandor, Kai"), 0);
    window_.imcFaces->select(window_.imcFaces->count());
    clearMarks();
    window_.personChosen();
    EXPECT_EQ(person(9).LingerHouse, 4);
    EXPECT_TRUE(isTrue(person(9).Changed));
    EXPECT_FALSE(state_.Saved);
}

}  // namespace
}  // namespace vondrel
