#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
#include <array>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/Games.h"
#include "support/RunningWindow.h"
#include "ui/AttributeBars.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kLit(244, 245, 170);
constexpr int kPersonId = 7;

// Each attribute bar by its design name, and the record field it edits.
struct BarField {
    const char* gauge;
    Integer PersonRecord::*field;
};
constexpr BarField kBarFields[] = {
    {"prgNeat", &PersonRecord::Neat},         {"prgOutgoing", &PersonRecord::Outgoing},
    {"prgActive", &PersonRecord::Active},     {"prgPlayful", &PersonRecord::Playful},
    {"prgNice", &PersonRecord::Nice},         {"prgCleaning", &PersonRecord::Cleaning},
    {"prgCooking", &PersonRecord::Cooking},   {"prgMechanical", &PersonRecord::Mechanical},
    {"prgCharisma", &PersonRecord::Charisma}, {"prgBody", &PersonRecord::Body},
    {"prgLogic", &PersonRecord::Logic},       {"prgCreativity", &PersonRecord::Creativity},
};
constexpr int kBarCount = static_cast<int>(std::size(kBarFields));
// Bar i starts at 100 + 50 i: 100, 150, 200, 250, ...
int startValue(int i) {
    return 100 + 50 * i;
}

// Mouse events go to the top-level window, as the window system delivers them, so that Qt
// picks the receiving widget (mouse tracking, the implicit grab while a button is held).
class MainWindowMouseTest : public ::testing::Test {
  protected:
    static build::GameSpec game() {
        build::PersonSpec mira = testing::person("Mira", kPersonId, 7);
        std::int16_t* values[] = {&mira.neat,     &mira.outgoing, &mira.active,  &mira.playful,
                                  &mira.nice,     &mira.cleaning, &mira.cooking, &mira.mechanical,
                                  &mira.charisma, &mira.body,     &mira.logic,   &mira.creativity};
        for (int i = 0; i < kBarCount; ++i)
            *values[i] = static_cast<std::int16_t>(startValue(i));
        mira.jobPerformance = 20;
        build::PersonSpec lio = testing::person("Lio", 3, 3);
        lio.jobPerformance = -100;
        build::GameSpec spec;
        spec.persons = {lio, mira};
        spec.families = {{"Tandor", 1, 100, {lio.key, mira.key}, true}};
        return spec;
    }
    void SetUp() override {
        ASSERT_TRUE(run_.choose(kPersonId));
        ASSERT_EQ(window_.currentId(), kPersonId);
        window_.show();
        ASSERT_NE(window_.windowHandle(), nullptr);
        const auto button = [this](const char* faces, const char* caption, const char* hit) {
            SkinnedButton b;
            for (int i = 0; i < 3; ++i) {
                b.faces[static_cast<std::size_t>(i)] = qobject_cast<QLabel*>(
                    window_.element(QStringLiteral("%1(%2)").arg(faces).arg(i)));
            }
            b.caption = caption ? qobject_cast<QLabel*>(window_.element(caption)) : nullptr;
            b.hitArea = window_.element(hit);
            return b;
        };
        save_ = button("imgSave", "lblSave", "btnSave");
        exit_ = button("imgExit", "lblExit", "btnExit");
        help_ = button("imgHelp", "lblHelp", "btnHelp");
        about_ = button("imgAbout", "lblAbout", "btnAbout");
        ghost_ = button("imgGhost", "lblGhost", "btnGhost");
        maxVek_ = button("pctMaxVek", nullptr, "imgMaxVEK");
        maxFam_ = button("pctMaxFAM", nullptr, "imgMaxFAM");
    }
    void TearDown() override {
        // Let go of anything still held so that no grab outlives the test.
        release(QPoint(1, 1), Qt::LeftButton, Qt::NoButton);
    }

    void send(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, at, window_.mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(window_.windowHandle(), &event);
    }
    void press(QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
        send(QEvent::MouseButtonPress, at, button, held);
    }
    void press(QPointF at, Qt::MouseButton button = Qt::LeftButton) { press(at, button, button); }
    void move(QPointF at, Qt::MouseButtons held) {
        send(QEvent::MouseMove, at, Qt::NoButton, held);
    }
    void release(QPointF at, Qt::MouseButton button, Qt::MouseButtons stillHeld = Qt::NoButton) {
        send(QEvent::MouseButtonRelease, at, button, stillHeld);
    }

    QRect inWindow(const QWidget* w) const {
        return QRect(w->mapTo(&window_, QPoint(0, 0)), w->size());
    }
    QPoint centreOf(const QWidget* w) const { return inWindow(w).center(); }
    // A point over `w` itself, not over anything laid on it.
    QPoint bareSpotOf(QWidget* w) const {
        const QRect r = inWindow(w);
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                if (window_.childAt(QPoint(x, y)) == w)
                    return {x, y};
            }
        }
        ADD_FAILURE() << "no bare spot on " << w->objectName().toStdString();
        return {};
    }
    // A point of the window where no element lies.
    QPoint bareBackground() const {
        for (int y = 0; y < window_.height(); ++y) {
            for (int x = 0; x < window_.width(); ++x) {
                if (!window_.childAt(QPoint(x, y)))
                    return {x, y};
            }
        }
        ADD_FAILURE() << "no bare background";
        return {};
    }

    std::array<SkinnedButton*, 4> bottom() { return {&save_, &exit_, &help_, &about_}; }
    std::array<SkinnedButton*, 7> allButtons() {
        return {&save_, &exit_, &help_, &about_, &ghost_, &maxVek_, &maxFam_};
    }
    static QColor captionColour(const SkinnedButton& b) {
        return b.caption->palette().color(QPalette::WindowText);
    }
    // The face shown and the caption colour (white or lit) agree with `state`.
    static void expectShows(const SkinnedButton& b, int state, const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(b.state(), state);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(b.faces[static_cast<std::size_t>(i)]->isHidden(), i != state) << i;
        if (b.caption) {
            EXPECT_EQ(captionColour(b).name().toStdString(),
                      (state == Normal ? kWhite : kLit).name().toStdString());
        }
    }
    const PersonRecord& person() { return run_.person(kPersonId); }
    bool saved() { return run_.household().isSaved(); }

    struct Bar {
        Gauge* gauge;
        Integer PersonRecord::*field;
        const char* name;
    };
    Bar barAt(int i) const {
        const BarField& b = kBarFields[i];
        auto* gauge = qobject_cast<Gauge*>(window_.element(QString::fromLatin1(b.gauge)));
        EXPECT_NE(gauge, nullptr) << b.gauge;
        return {gauge, b.field, b.gauge};
    }

    testing::RunningWindow run_{game()};
    MainWindow& window_ = *run_.window;
    SkinnedButton save_, exit_, help_, about_, ghost_, maxVek_, maxFam_;
};

// ---------------------------------------------------------------------------------------------
// The bottom buttons.

using BottomButtonTest = MainWindowMouseTest;

// The buttons' own actions (saving, help, the About box, maximizing) run on a click; the
// face changes are tested with the button released away from it, which is no click: the
// button keeps the pointer from the press to the release all the same.

TEST_F(BottomButtonTest, AnyMouseButtonPressedShowsThePressedFaceAndReleaseTheHoverFace) {
    const char* const names[] = {"Save", "Exit", "Help", "About"};
    const QPoint away = bareBackground();
    for (int i = 0; i < 4; ++i) {
        SkinnedButton& b = *bottom()[static_cast<std::size_t>(i)];
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            SCOPED_TRACE(std::string(names[i]) + " button " + std::to_string(button));
            paintButtonState(b, Normal);
            const QPoint at = centreOf(b.hitArea);
            press(at, button);
            expectShows(b, Pressed, "pressed");
            release(away, button);
            expectShows(b, Hover, "released");
        }
    }
    EXPECT_TRUE(run_.messages.shown.empty());
}

TEST_F(BottomButtonTest, ReleasedOnTheButtonItShowsTheHoverFace) {
    // Save and Exit ask first; the scripted answer is No.
    for (SkinnedButton* b : {&save_, &exit_}) {
        SCOPED_TRACE(b->hitArea->objectName().toStdString());
        const QPoint at = centreOf(b->hitArea);
        press(at, Qt::LeftButton);
        expectShows(*b, Pressed, "pressed");
        release(at + QPoint(4, 3), Qt::LeftButton);
        expectShows(*b, Hover, "released");
    }
    EXPECT_EQ(run_.messages.shown.size(), 2u);
    EXPECT_TRUE(window_.isVisible());
}

TEST_F(BottomButtonTest, MovingOverAButtonLightsItAndDimsTheOtherThree) {
    for (std::size_t i = 0; i < 4; ++i) {
        SkinnedButton& own = *bottom()[i];
        const QPoint at = centreOf(own.hitArea);
        const auto dimmedOthers = [&](const char* what) {
            for (std::size_t j = 0; j < 4; ++j) {
                if (j != i)
                    expectShows(*bottom()[j], Normal, what);
            }
        };
        for (SkinnedButton* b : bottom())
            paintButtonState(*b, Pressed);
        move(at, Qt::NoButton);
        expectShows(own, Hover, "no button");
        dimmedOthers("no button");

        // A button held down was pressed somewhere: on the button itself, which keeps the
        // pointer until it is released.
        press(at, Qt::LeftButton);
        for (SkinnedButton* b : bottom()) {
            if (b != &own)
                paintButtonState(*b, Hover);
        }
        paintButtonState(own, Hover);
        move(at + QPoint(3, 2), Qt::LeftButton);
        expectShows(own, Pressed, "left button held");
        dimmedOthers("left button held");
        release(bareBackground(), Qt::LeftButton);

        press(at, Qt::RightButton);
        for (SkinnedButton* b : bottom())
            paintButtonState(*b, Pressed);
        move(at + QPoint(-3, 1), Qt::RightButton);
        expectShows(own, Hover, "right button held");
        dimmedOthers("right button held");
        release(bareBackground(), Qt::RightButton);
    }
}

TEST_F(BottomButtonTest, MovingFromSaveStraightOntoExitHandsTheHoverOver) {
    move(centreOf(save_.hitArea), Qt::NoButton);
    expectShows(save_, Hover, "over Save");
    move(centreOf(exit_.hitArea), Qt::NoButton);
    expectShows(save_, Normal, "then over Exit");
    expectShows(exit_, Hover, "then over Exit");
}

TEST_F(BottomButtonTest, MovingOverASkinPanelDimsOnlySave) {
    for (int i = 0; i < 5; ++i) {
        QWidget* panel = window_.element(QStringLiteral("pctUI(%1)").arg(i));
        SCOPED_TRACE(panel->objectName().toStdString());
        paintButtonState(save_, Hover);
        paintButtonState(help_, Hover);
        paintButtonState(exit_, Pressed);
        paintButtonState(ghost_, Hover);
        paintButtonState(maxVek_, Hover);
        move(bareSpotOf(panel), Qt::NoButton);
        expectShows(save_, Normal, "Save");
        expectShows(help_, Hover, "Help");
        expectShows(exit_, Pressed, "Exit");
        expectShows(ghost_, Hover, "Ghost");
        expectShows(maxVek_, Hover, "maximize");
    }
}

TEST_F(BottomButtonTest, MovingOverTheBareWindowDimsEveryButton) {
    const QPoint bare = bareBackground();
    for (bool ghostShown : {false, true}) {
        SCOPED_TRACE(ghostShown ? "ghost shown" : "ghost not shown");
        run_.household().setGhost(kPersonId, ghostShown);
        window_.refresh();
        for (SkinnedButton* b : allButtons())
            paintButtonState(*b, Hover);
        move(bare, Qt::NoButton);
        for (SkinnedButton* b : bottom())
            expectShows(*b, Normal, "bottom button");
        expectShows(maxVek_, Normal, "maximize Vek");
        expectShows(maxFam_, Normal, "maximize family");
        expectShows(ghost_, ghostShown ? Pressed : Normal, "ghost");
    }
}

// ---------------------------------------------------------------------------------------------
// The maximize buttons.

TEST_F(BottomButtonTest, MaximizeButtonsFollowTheirOwnTable) {
    struct Pair {
        SkinnedButton* own;
        SkinnedButton* other;
    };
    for (const Pair& pair : {Pair{&maxVek_, &maxFam_}, Pair{&maxFam_, &maxVek_}}) {
        SkinnedButton& own = *pair.own;
        SkinnedButton& other = *pair.other;
        SCOPED_TRACE(own.hitArea->objectName().toStdString());
        const QPoint at = centreOf(own.hitArea);
        const QPoint away = bareBackground();

        press(at, Qt::LeftButton);
        expectShows(own, Pressed, "pressed");
        release(away, Qt::LeftButton);
        expectShows(own, Hover, "released");
        press(at, Qt::RightButton);
        expectShows(own, Pressed, "pressed with the right button");
        release(away, Qt::RightButton);
        expectShows(own, Hover, "released the right button");

        press(at, Qt::LeftButton);
        paintButtonState(other, Hover);
        paintButtonState(own, Normal);
        move(at + QPoint(2, 2), Qt::LeftButton);
        expectShows(own, Pressed, "left button held");
        expectShows(other, Normal, "the other, left button held");
        release(away, Qt::LeftButton);

        paintButtonState(other, Pressed);
        paintButtonState(own, Normal);
        move(at, Qt::NoButton);
        expectShows(own, Hover, "no button");
        expectShows(other, Normal, "the other, no button");

        press(at, Qt::RightButton);
        paintButtonState(other, Hover);
        paintButtonState(own, Pressed);
        move(at + QPoint(-2, 2), Qt::RightButton);
        expectShows(own, Hover, "right button held");
        expectShows(other, Normal, "the other, right button held");
        release(away, Qt::RightButton);
    }
    // Nothing was clicked, so nothing was maximized.
    EXPECT_TRUE(run_.messages.shown.empty());
    EXPECT_EQ(person().Neat, 100);
}

// ---------------------------------------------------------------------------------------------
// Botao itself.

// Fails the test whenever a face is shown or hidden and the button is left without a face.
class FaceWatcher : public QObject {
  public:
    explicit FaceWatcher(SkinnedButton& button) : button_(button) {
        for (QLabel* face : button_.faces)
            face->installEventFilter(this);
    }
    int changes = 0;
    int faceless = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) {
            ++changes;
            int shown = 0;
            for (QLabel* face : button_.faces)
                shown += face->isHidden() ? 0 : 1;
            faceless += shown == 0 ? 1 : 0;
        }
        return false;
    }

  private:
    SkinnedButton& button_;
};

TEST_F(BottomButtonTest, BotaoNeverLeavesAButtonWithoutAFace) {
    for (SkinnedButton* b : allButtons()) {
        SCOPED_TRACE(b->hitArea->objectName().toStdString());
        FaceWatcher watcher(*b);
        for (int from = 0; from < 3; ++from) {
            for (int to = 0; to < 3; ++to) {
                paintButtonState(*b, from);
                paintButtonState(*b, to);
                expectShows(*b, to, "after a change");
            }
        }
        // And through the mouse.
        const QPoint at = centreOf(b->hitArea);
        move(at, Qt::NoButton);
        press(at, Qt::LeftButton);
        move(at, Qt::LeftButton);
        release(at + QPoint(500, 500), Qt::LeftButton);
        move(bareBackground(), Qt::NoButton);
        EXPECT_GT(watcher.changes, 0);
        EXPECT_EQ(watcher.faceless, 0);
    }
}

TEST_F(BottomButtonTest, BotaoWithAnUnknownStateChangesNothing) {
    for (SkinnedButton* b : allButtons()) {
        SCOPED_TRACE(b->hitArea->objectName().toStdString());
        for (int state : {Normal, Hover, Pressed}) {
            paintButtonState(*b, state);
            for (int bad : {-1, 3, 4, 255}) {
                paintButtonState(*b, bad);
                expectShows(*b, state, "after an unknown state");
            }
        }
    }
}

TEST_F(BottomButtonTest, BotaoOnAButtonWithoutCaptionChangesOnlyItsFaces) {
    ASSERT_EQ(maxVek_.caption, nullptr);
    std::vector<std::pair<QLabel*, QColor>> captions;
    for (SkinnedButton* b : allButtons()) {
        if (b->caption)
            captions.emplace_back(b->caption, captionColour(*b));
    }
    for (int state : {Pressed, Hover, Normal, Hover}) {
        paintButtonState(maxVek_, state);
        EXPECT_EQ(maxVek_.state(), state);
        paintButtonState(maxFam_, state);
        EXPECT_EQ(maxFam_.state(), state);
        for (const auto& [label, colour] : captions)
            EXPECT_EQ(label->palette().color(QPalette::WindowText), colour);
    }
}

// ---------------------------------------------------------------------------------------------
// The attribute bars.

using AttributeBarTest = MainWindowMouseTest;

TEST(BarValueAt, RoundsToTheNearestValueTiesToEven) {
    // A bar of 61 pixels with values 0..10: x = 3.05 lies exactly between 0 and 1.
    EXPECT_EQ(barValueAt(3.05, 61, 10), 0);
    EXPECT_EQ(barValueAt(15.25, 61, 10), 2);  // 2.5
    EXPECT_EQ(barValueAt(45.75, 61, 10), 8);  // 7.5
    EXPECT_EQ(barValueAt(3.0, 61, 10), 0);
    EXPECT_EQ(barValueAt(3.1, 61, 10), 1);
    EXPECT_EQ(barValueAt(4.0, 61, 10), 1);
    EXPECT_EQ(barValueAt(57.0, 61, 10), 9);
    EXPECT_EQ(barValueAt(58.0, 61, 10), 10);
    EXPECT_EQ(barValueAt(0.0, 61, 10), 0);
    EXPECT_EQ(barValueAt(61.0, 61, 10), 10);
    // The performance bar: 170 pixels, 0..200.
    EXPECT_EQ(barValueAt(2.125, 170, 200), 2);    // 2.5
    EXPECT_EQ(barValueAt(10.625, 170, 200), 12);  // 12.5
    EXPECT_EQ(barValueAt(85.0, 170, 200), 100);
    EXPECT_EQ(barValueAt(169.0, 170, 200), 199);
}

TEST(BarValueAt, PositionsOutsideTheBarCountAsItsEnds) {
    EXPECT_EQ(barValueAt(-0.5, 61, 10), 0);
    EXPECT_EQ(barValueAt(-500.0, 61, 10), 0);
    EXPECT_EQ(barValueAt(61.5, 61, 10), 10);
    EXPECT_EQ(barValueAt(1e6, 61, 10), 10);
    EXPECT_EQ(barValueAt(-3.0, 170, 200), 0);
    EXPECT_EQ(barValueAt(400.0, 170, 200), 200);
}

TEST_F(AttributeBarTest, BarsShowTheCurrentPersonsValuesInHundreds) {
    for (int i = 0; i < kBarCount; ++i) {
        const Bar bar = barAt(i);
        ASSERT_NE(bar.gauge, nullptr);
        const int value = startValue(i);
        EXPECT_EQ(bar.gauge->maximum(), 10) << bar.name;
        EXPECT_EQ(bar.gauge->width(), 61) << bar.name;
        // The halves round to the even neighbour: 150 -> 2, 250 -> 2, 350 -> 4.
        const int expected = value / 100 + ((value % 100 == 50 && (value / 100) % 2 == 1) ? 1 : 0);
        EXPECT_EQ(bar.gauge->value(), expected) << bar.name << " " << value;
    }
}

TEST_F(AttributeBarTest, ClickingEachBarStoresIntoItsOwnField) {
    for (int i = 0; i < kBarCount; ++i) {
        const Bar bar = barAt(i);
        ASSERT_NE(bar.gauge, nullptr);
        SCOPED_TRACE(bar.name);
        const QRect r = inWindow(bar.gauge);
        const QPoint at(r.left() + 58, r.center().y());
        const PersonRecord before = person();

        press(at, Qt::LeftButton);
        release(at, Qt::LeftButton);

        EXPECT_EQ(bar.gauge->value(), 10);
        EXPECT_EQ(person().*bar.field, 1000);
        EXPECT_FALSE(saved());
        // Nothing else of the record changed.
        PersonRecord expected = before;
        expected.*bar.field = 1000;
        EXPECT_TRUE(person() == expected);
    }
}

TEST_F(AttributeBarTest, DraggingPastEitherEndAndReleasingThereStoresTheEndValue) {
    const Bar bar = barAt(4);
    const QRect r = inWindow(bar.gauge);
    const int y = r.center().y();
    for (const auto& [pastX, value] :
         std::vector<std::pair<int, int>>{{r.right() + 40, 10}, {r.left() - 40, 0}}) {
        SCOPED_TRACE(value);

        press(QPoint(r.left() + 20, y), Qt::LeftButton);
        move(QPoint(r.left() + 30, y), Qt::LeftButton);
        move(QPoint(pastX, y + 25), Qt::LeftButton);
        EXPECT_EQ(bar.gauge->value(), value) << "while dragging";
        release(QPoint(pastX, y + 25), Qt::LeftButton);

        EXPECT_EQ(bar.gauge->value(), value);
        EXPECT_EQ(person().*bar.field, value * 100) << "the record disagrees with the bar";
        EXPECT_FALSE(saved());
    }
}

TEST_F(AttributeBarTest, DraggingBackOntoTheBarAndReleasingStoresTheValueThere) {
    const Bar bar = barAt(3);
    const QRect r = inWindow(bar.gauge);
    const int y = r.center().y();
    press(QPoint(r.left() + 10, y), Qt::LeftButton);
    move(QPoint(r.right() + 40, y), Qt::LeftButton);
    EXPECT_EQ(bar.gauge->value(), 10);
    move(QPoint(r.left() + 31, y), Qt::LeftButton);
    release(QPoint(r.left() + 31, y), Qt::LeftButton);
    EXPECT_EQ(bar.gauge->value(), 5);  // 31 * 10 / 61 = 5.08
    EXPECT_EQ(person().*bar.field, 500);
}

TEST_F(AttributeBarTest, ClickWithoutMovingSetsTheValueUnderThePointer) {
    const Bar bar = barAt(7);
    const QRect r = inWindow(bar.gauge);
    const int y = r.center().y();
    // 3 * 10 / 61 = 0.49, 4 * 10 / 61 = 0.66, 57 * 10 / 61 = 9.34, 58 * 10 / 61 = 9.51
    for (const auto& [x, value] :
         std::vector<std::pair<int, int>>{{3, 0}, {4, 1}, {57, 9}, {58, 10}, {31, 5}, {0, 0}}) {
        SCOPED_TRACE(x);
        press(QPoint(r.left() + x, y), Qt::LeftButton);
        release(QPoint(r.left() + x, y), Qt::LeftButton);
        EXPECT_EQ(bar.gauge->value(), value);
        EXPECT_EQ(person().*bar.field, value * 100);
        EXPECT_FALSE(saved());
    }
}

TEST_F(AttributeBarTest, RightButtonOrBothButtonsDoNotMoveTheBar) {
    const Bar bar = barAt(0);
    const QRect r = inWindow(bar.gauge);
    const int y = r.center().y();
    const int before = bar.gauge->value();
    ASSERT_EQ(before, 1);

    press(QPoint(r.left() + 50, y), Qt::RightButton);
    move(QPoint(r.left() + 55, y), Qt::RightButton);
    move(QPoint(r.right() + 40, y), Qt::RightButton);
    release(QPoint(r.right() + 40, y), Qt::RightButton);
    EXPECT_EQ(bar.gauge->value(), before);
    EXPECT_EQ(person().*bar.field, 100);

    press(QPoint(r.left() + 50, y), Qt::LeftButton);
    press(QPoint(r.left() + 50, y), Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    const int afterPress = bar.gauge->value();
    move(QPoint(r.left() + 5, y), Qt::LeftButton | Qt::RightButton);
    move(QPoint(r.right() + 40, y), Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(bar.gauge->value(), afterPress);
    release(QPoint(r.right() + 40, y), Qt::RightButton, Qt::LeftButton);
    EXPECT_EQ(bar.gauge->value(), afterPress);
    release(QPoint(r.right() + 40, y), Qt::LeftButton);
}

TEST_F(AttributeBarTest, MovingWithoutAButtonChangesNothing) {
    const Bar bar = barAt(11);
    const QRect r = inWindow(bar.gauge);
    const PersonRecord before = person();
    move(QPoint(r.left() + 2, r.center().y()), Qt::NoButton);
    move(QPoint(r.right() - 2, r.center().y()), Qt::NoButton);
    EXPECT_EQ(bar.gauge->value(), 6);  // 650 as loaded
    EXPECT_TRUE(person() == before);
    EXPECT_TRUE(saved());
}

// ---------------------------------------------------------------------------------------------
// The performance bar.

using PerformanceBarTest = MainWindowMouseTest;

TEST_F(PerformanceBarTest, DraggingWithTheLeftButtonSetsTheValueAndTheResizePointer) {
    Gauge* bar = run_.get<Gauge>("prgPerf");
    const QRect r = inWindow(bar);
    ASSERT_EQ(r.width(), 170);
    const int y = r.center().y();
    press(QPoint(r.left() + 10, y), Qt::LeftButton);
    for (const auto& [x, value] : std::vector<std::pair<int, int>>{
             {85, 100}, {0, 0}, {1, 1}, {17, 20}, {100, 118}, {169, 199}, {250, 200}, {-30, 0}}) {
        SCOPED_TRACE(x);
        bar->setPointerShape(0);
        move(QPoint(r.left() + x, y), Qt::LeftButton);
        EXPECT_EQ(bar->value(), value);
        EXPECT_EQ(bar->pointerShape(), 9);
        EXPECT_EQ(bar->cursor().shape(), Qt::SizeHorCursor);
        EXPECT_EQ(person().JobPerformance, value - 100);
    }
    release(QPoint(r.left() - 30, y), Qt::LeftButton);
}

TEST_F(PerformanceBarTest, MovingWithoutTheLeftButtonRestoresThePointerAndKeepsTheValue) {
    Gauge* bar = run_.get<Gauge>("prgPerf");
    const QRect r = inWindow(bar);
    const int y = r.center().y();
    ASSERT_EQ(bar->value(), 120);
    const auto expectArrowAndValueKept = [&](QPoint to, Qt::MouseButtons held, const char* what) {
        SCOPED_TRACE(what);
        bar->setPointerShape(9);
        move(to, held);
        EXPECT_EQ(bar->pointerShape(), 0);
        EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(bar->value(), 120);
    };
    expectArrowAndValueKept(QPoint(r.left() + 30, y), Qt::NoButton, "no button");

    press(QPoint(r.left() + 60, y), Qt::RightButton);
    expectArrowAndValueKept(QPoint(r.left() + 30, y), Qt::RightButton, "right button");
    release(QPoint(r.left() + 30, y), Qt::RightButton);

    press(QPoint(r.left() + 60, y), Qt::LeftButton);
    press(QPoint(r.left() + 60, y), Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    expectArrowAndValueKept(QPoint(r.left() + 10, y), Qt::LeftButton | Qt::RightButton,
                            "both buttons");
    release(QPoint(r.left() + 10, y), Qt::RightButton, Qt::LeftButton);
    release(QPoint(r.left() + 10, y), Qt::LeftButton);
    EXPECT_EQ(person().JobPerformance, 20);
}

TEST_F(PerformanceBarTest, CaptionNamesThePerformanceWithoutStoringIt) {
    const std::vector<std::pair<int, const char*>> words = {
        {0, "Dismal"},   {30, "Dismal"},     {31, "Poor"},       {50, "Poor"},
        {51, "Average"}, {100, "Average"},   {130, "Average"},   {131, "Good"},
        {150, "Good"},   {151, "Excellent"}, {200, "Excellent"},
    };
    Gauge* bar = run_.get<Gauge>("prgPerf");
    for (const auto& [value, word] : words) {
        SCOPED_TRACE(value);
        bar->setValue(value);
        bar->repaint();
        EXPECT_EQ(bar->captionText().toStdString(), word);
    }
    EXPECT_EQ(person().JobPerformance, 20);
    EXPECT_TRUE(saved());
}

TEST_F(PerformanceBarTest, ShowingAPersonPutsTheirPerformanceOnTheBar) {
    Gauge* bar = run_.get<Gauge>("prgPerf");
    EXPECT_EQ(bar->value(), 120);
    EXPECT_EQ(bar->captionText(), QStringLiteral("Average"));
    ASSERT_TRUE(run_.choose(3));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->captionText(), QStringLiteral("Dismal"));
    EXPECT_TRUE(saved());
}

}  // namespace
}  // namespace vondrel
