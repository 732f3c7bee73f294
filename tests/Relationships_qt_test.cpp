#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWindow>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <vector>

#include "support/Games.h"
#include "support/RunningWindow.h"

namespace vondrel {
namespace {

using testing::person;

constexpr int kAnn = 1, kBob = 2, kCid = 3, kDee = 4, kEve = 5, kKit = 6, kZed = 0;
const QString kNoRelationships = QStringLiteral("No relationships!");

// Ann and Bob feel for each other and Bob loves Ann; Ann's feeling for Cid is not returned;
// Dee has nobody, though Zed (record 0) loves her; Eve's file is rejected, yet Ann still has
// a relationship toward her; Kit's own name carries the rejected mark.
build::GameSpec households() {
    build::PersonSpec ann = person("Ann", kAnn, 1);
    ann.relations = {{kBob, -37, false}, {kCid, 20, false}, {kEve, 60, true}, {kKit, 5, false}};
    build::PersonSpec bob = person("Bob", kBob, 2);
    bob.relations = {{kAnn, 80, true}};
    build::PersonSpec cid = person("Cid", kCid, 3);
    build::PersonSpec dee = person("Dee", kDee, 4);
    build::PersonSpec eve = person("Eve", kEve, 5);
    eve.omitAnchor = true;
    build::PersonSpec kit = person("Kit", kKit, 6);
    kit.firstName = "Kit *UNK*";
    kit.relations = {{kAnn, 15, true}};
    build::PersonSpec zed = person("Zed", kZed, 7);
    zed.relations = {{kDee, -20, true}};
    return build::GameSpec{{ann, bob, cid, dee, eve, kit, zed}, {}, 48, 0, 1};
}

// What the relationship panel shows.
struct PanelView {
    int yValue, sValue;
    QString yCaption, sCaption;
    bool yEnabled, sEnabled;
    bool yLoveShown, sLoveShown;
    bool yLoveChecked, sLoveChecked;

    bool operator==(const PanelView&) const = default;
};

void PrintTo(const PanelView& v, std::ostream* os) {
    *os << "{you " << v.yValue << " \"" << v.yCaption.toStdString() << "\""
        << (v.yEnabled ? " enabled" : " disabled") << (v.yLoveShown ? " love" : " no-love")
        << (v.yLoveChecked ? "/checked" : "/unchecked") << "; they " << v.sValue << " \""
        << v.sCaption.toStdString() << "\"" << (v.sEnabled ? " enabled" : " disabled")
        << (v.sLoveShown ? " love" : " no-love") << (v.sLoveChecked ? "/checked" : "/unchecked")
        << "}";
}

class Relationships : public ::testing::Test {
  protected:
    Relationships() : run(households()) {}

    void SetUp() override {
        ASSERT_NE(run.window, nullptr);
        ASSERT_TRUE(w().isVisible());
        ASSERT_NE(w().windowHandle(), nullptr);
        // The two check pictures must be told apart for the love tests to mean anything.
        ASSERT_NE(w().pctLove.toImage(), w().pctNoLove.toImage());
    }

    MainWindow& w() { return *run.window; }
    PersonRecord& rec(int id) { return run.person(id); }

    // Chooses a person, then the relationship entry whose text contains `other`.
    void choose(const QString& who, const QString& other) {
        ASSERT_TRUE(run.choose(who)) << who.toStdString();
        const std::optional<int> k = entryOf(other);
        ASSERT_TRUE(k.has_value()) << other.toStdString();
        w().imcRelationship->select(*k);
        w().relationshipChosen();
    }
    std::optional<int> entryOf(const QString& text) {
        for (int k = 1; k <= w().imcRelationship->count(); ++k) {
            if (w().imcRelationship->entryText(k).contains(text))
                return k;
        }
        return std::nullopt;
    }
    // Forgets every change mark, as if everything had just been saved.
    void markAllSaved() {
        for (PersonRecord& p : run.state->persons)
            p.Changed = kFalse;
        run.state->Saved = true;
    }

    bool showsLove(const PictureBox* box) {
        return box->pixmap().toImage() == w().pctLove.toImage();
    }
    PanelView view() {
        return {w().prgYFeel->value(),       w().prgSFeel->value(),     w().prgYFeel->captionText(),
                w().prgSFeel->captionText(), w().prgYFeel->isEnabled(), w().prgSFeel->isEnabled(),
                showsLove(w().chkYLove),     showsLove(w().chkSLove),   run.state->YLoveChecked,
                run.state->SLoveChecked};
    }

    // Mouse input as the window system delivers it: to the window, at a point of `target`.
    void send(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButton button,
              Qt::MouseButtons held) {
        const QPointF inWindow = target->mapTo(&w(), at);
        QMouseEvent event(type, inWindow, inWindow, w().mapToGlobal(inWindow), button, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(w().windowHandle(), &event);
    }
    // Presses the left button on the gauge, drags it to x and lets go there.
    void drag(Gauge* gauge, double x) {
        const double y = gauge->height() / 2.0;
        send(gauge, QEvent::MouseButtonPress, {1, y}, Qt::LeftButton, Qt::LeftButton);
        send(gauge, QEvent::MouseMove, {x, y}, Qt::NoButton, Qt::LeftButton);
        send(gauge, QEvent::MouseButtonRelease, {x, y}, Qt::LeftButton, Qt::NoButton);
    }
    void click(PictureBox* box) {
        const QPointF centre(box->width() / 2.0, box->height() / 2.0);
        send(box, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
        send(box, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
    }

    testing::RunningWindow run;
};

// ---------------------------------------------------------------------------------------------
// Choosing a relationship.

TEST_F(Relationships, ChoosingAnEntryShowsBothFeelingsAndLoves) {
    choose("Ann", "Bob");
    EXPECT_EQ(view(), (PanelView{63, 180, "-37", "80", true, true, false, true, false, true}));

    // The same pair seen from Bob.
    choose("Bob", "Ann");
    EXPECT_EQ(view(), (PanelView{180, 63, "80", "-37", true, true, true, false, true, false}));
}

TEST_F(Relationships, CaptionIsTheFeelingAcrossTheWholeRange) {
    choose("Ann", "Bob");
    drag(w().prgYFeel, -5);
    EXPECT_EQ(w().prgYFeel->captionText(), "-100");
    drag(w().prgYFeel, 94);
    EXPECT_EQ(w().prgYFeel->captionText(), "0");
    drag(w().prgYFeel, 188);
    EXPECT_EQ(w().prgYFeel->captionText(), "100");
}

TEST_F(Relationships, ADirectionWithoutRelationshipIsShownEmptyAndLocked) {
    // Cid does not return Ann's feeling.
    choose("Ann", "Cid");
    EXPECT_EQ(view(), (PanelView{120, 100, "20", kNoRelationships, true, false, false, false, false,
                                 false}));

    // The next pair with a relationship both ways shows numbers again.
    w().imcRelationship->select(*entryOf("Bob"));
    w().relationshipChosen();
    EXPECT_EQ(w().prgSFeel->captionText(), "80");
    EXPECT_TRUE(w().prgSFeel->isEnabled());
}

TEST_F(Relationships, ChoosingTwiceGivesTheSameState) {
    const auto twice = [this](const QString& who, const QString& other) {
        choose(who, other);
        const PanelView first = view();
        const Persons data = run.state->persons;
        w().relationshipChosen();
        EXPECT_EQ(view(), first) << other.toStdString();
        EXPECT_TRUE(run.state->persons == data) << other.toStdString();
    };
    twice("Ann", "Bob");
    twice("Ann", "Cid");
    twice("Ann", "*UNK*");
    twice("Bob", "Ann");
    twice("Dee", kNoRelationships);
    twice("Kit *UNK*", "Ann");
}

// ---------------------------------------------------------------------------------------------
// Dragging a feeling.

TEST_F(Relationships, DraggingMapsTheUsableWidthOntoTheFeelings) {
    choose("Ann", "Bob");
    struct Case {
        double x;
        int value;
    };
    // 10 -> 10.64; outside the usable width the ends hold.
    const Case dragged[] = {{94, 100}, {10, 11}, {187, 199}, {300, 200}, {-5, 0}, {188, 200}};
    for (const Case& c : dragged) {
        drag(w().prgYFeel, c.x);
        EXPECT_EQ(w().prgYFeel->value(), c.value) << "x = " << c.x;
        EXPECT_EQ(rec(kAnn).Relation[kBob], c.value - 100) << "x = " << c.x;
        EXPECT_EQ(w().prgYFeel->pointerShape(), Gauge::kHorizontalResizePointer);
    }
    // Positions between pixels, as the gauge reports them: 11.75 -> 12.5 and 35.25 -> 37.5
    // round to the even neighbour.
    const Case between[] = {{11.75, 12}, {35.25, 38}, {187.5, 199}};
    for (const Case& c : between) {
        emit w().prgYFeel->mouseMoved(1, 0, c.x, 5);
        EXPECT_EQ(w().prgYFeel->value(), c.value) << "x = " << c.x;
        EXPECT_EQ(rec(kAnn).Relation[kBob], c.value - 100) << "x = " << c.x;
    }
}

TEST_F(Relationships, EachGaugeStoresIntoTheRecordOfItsDirection) {
    choose("Ann", "Bob");
    markAllSaved();
    drag(w().prgYFeel, 47);
    EXPECT_EQ(rec(kAnn).Relation[kBob], -50);
    EXPECT_EQ(rec(kBob).Relation[kAnn], 80);
    EXPECT_EQ(rec(kAnn).Changed, kTrue);
    EXPECT_EQ(rec(kBob).Changed, kFalse);
    EXPECT_FALSE(run.state->Saved);

    markAllSaved();
    drag(w().prgSFeel, 141);
    EXPECT_EQ(rec(kBob).Relation[kAnn], 50);
    EXPECT_EQ(rec(kAnn).Relation[kBob], -50);
    EXPECT_EQ(rec(kBob).Changed, kTrue);
    EXPECT_EQ(rec(kAnn).Changed, kFalse);
    EXPECT_FALSE(run.state->Saved);
    EXPECT_EQ(w().prgSFeel->captionText(), "50");
}

TEST_F(Relationships, OtherButtonsStoreNothingAndResetThePointer) {
    choose("Ann", "Bob");
    drag(w().prgYFeel, 94);
    markAllSaved();
    Gauge* gauge = w().prgYFeel;
    const double y = gauge->height() / 2.0;

    // Pressed and moved with the right button.
    gauge->setPointerShape(Gauge::kHorizontalResizePointer);
    send(gauge, QEvent::MouseButtonPress, {20, y}, Qt::RightButton, Qt::RightButton);
    send(gauge, QEvent::MouseMove, {150, y}, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(gauge->pointerShape(), Gauge::kDefaultPointer);
    send(gauge, QEvent::MouseButtonRelease, {150, y}, Qt::RightButton, Qt::NoButton);

    // Left and right together.
    gauge->setPointerShape(Gauge::kHorizontalResizePointer);
    send(gauge, QEvent::MouseButtonPress, {20, y}, Qt::LeftButton, Qt::LeftButton);
    send(gauge, QEvent::MouseButtonPress, {20, y}, Qt::RightButton,
         Qt::LeftButton | Qt::RightButton);
    send(gauge, QEvent::MouseMove, {150, y}, Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(gauge->pointerShape(), Gauge::kDefaultPointer);
    send(gauge, QEvent::MouseButtonRelease, {150, y}, Qt::RightButton, Qt::LeftButton);
    send(gauge, QEvent::MouseButtonRelease, {150, y}, Qt::LeftButton, Qt::NoButton);

    // Only moving, no button.
    gauge->setPointerShape(Gauge::kHorizontalResizePointer);
    send(gauge, QEvent::MouseMove, {30, y}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(gauge->pointerShape(), Gauge::kDefaultPointer);

    EXPECT_EQ(gauge->value(), 100);
    EXPECT_EQ(rec(kAnn).Relation[kBob], 0);
    EXPECT_EQ(rec(kAnn).Changed, kFalse);
    EXPECT_TRUE(run.state->Saved);
}

// ---------------------------------------------------------------------------------------------
// The love checks.

TEST_F(Relationships, TwoLoveClicksRestorePictureAndFlag) {
    choose("Ann", "Bob");
    for (const bool loves : {true, false}) {
        markAllSaved();
        click(w().chkYLove);
        EXPECT_EQ(showsLove(w().chkYLove), loves);
        EXPECT_EQ(run.state->YLoveChecked, loves);
        EXPECT_EQ(rec(kAnn).Loves[kBob], toBoolean(loves));
        EXPECT_EQ(rec(kAnn).Changed, kTrue);
        EXPECT_EQ(rec(kBob).Changed, kTrue);
        EXPECT_FALSE(run.state->Saved);
    }
    // Bob's love for Ann goes the other way round: it starts checked.
    markAllSaved();
    click(w().chkSLove);
    EXPECT_FALSE(showsLove(w().chkSLove));
    EXPECT_EQ(rec(kBob).Loves[kAnn], kFalse);
    EXPECT_EQ(rec(kAnn).Changed, kTrue);
    EXPECT_EQ(rec(kBob).Changed, kTrue);
    EXPECT_EQ(rec(kAnn).Loves[kBob], kFalse);
}

TEST_F(Relationships, LoveClickWithoutRelationshipOnlyDrawsUnchecked) {
    choose("Ann", "Cid");
    markAllSaved();
    const Persons before = run.state->persons;
    w().chkSLoveValor(true);
    click(w().chkSLove);
    EXPECT_FALSE(showsLove(w().chkSLove));
    EXPECT_FALSE(run.state->SLoveChecked);
    EXPECT_TRUE(run.state->persons == before);
    EXPECT_TRUE(run.state->Saved);

    // Ann's side of her rejected neighbour, once the entry has dropped it.
    choose("Ann", "*UNK*");
    markAllSaved();
    const Persons dropped = run.state->persons;
    w().chkYLoveValor(true);
    click(w().chkYLove);
    EXPECT_FALSE(showsLove(w().chkYLove));
    EXPECT_FALSE(run.state->YLoveChecked);
    EXPECT_TRUE(run.state->persons == dropped);
    EXPECT_TRUE(run.state->Saved);
}

// ---------------------------------------------------------------------------------------------
// Entries that must not be edited.

TEST_F(Relationships, RejectedEntryLocksTheGaugesAndDropsTheRelationship) {
    ASSERT_TRUE(run.choose("Ann"));
    ASSERT_EQ(rec(kAnn).HasRelation[kEve], kTrue);
    ASSERT_EQ(rec(kAnn).Loves[kEve], kTrue);
    markAllSaved();
    w().imcRelationship->select(*entryOf("*UNK*"));
    w().relationshipChosen();

    const PanelView shown = view();
    EXPECT_FALSE(shown.yEnabled);
    EXPECT_FALSE(shown.sEnabled);
    EXPECT_FALSE(shown.yLoveShown);
    EXPECT_FALSE(shown.sLoveShown);
    EXPECT_FALSE(run.state->YLoveChecked);
    EXPECT_FALSE(run.state->SLoveChecked);
    EXPECT_EQ(rec(kAnn).HasRelation[kEve], kFalse);
    EXPECT_EQ(rec(kAnn).Changed, kFalse);
    EXPECT_TRUE(run.state->Saved);

    // Real mouse input on the locked gauges changes nothing.
    drag(w().prgYFeel, 150);
    drag(w().prgSFeel, 150);
    EXPECT_EQ(view(), shown);
    EXPECT_EQ(rec(kAnn).Relation[kEve], 60);
    EXPECT_EQ(rec(kAnn).Changed, kFalse);

    // Choosing another person unlocks them again.
    choose("Bob", "Ann");
    EXPECT_TRUE(w().prgYFeel->isEnabled());
    EXPECT_TRUE(w().prgSFeel->isEnabled());
}

TEST_F(Relationships, PlaceholderEntryNeverEditsRecordZero) {
    ASSERT_TRUE(run.choose("Dee"));
    ASSERT_EQ(w().imcRelationship->count(), 1);
    ASSERT_EQ(w().imcRelationship->text(), kNoRelationships);
    // Record 0 is a real person who loves Dee: the entry must not show or edit that pair.
    ASSERT_EQ(rec(kZed).HasRelation[kDee], kTrue);
    EXPECT_EQ(view(), (PanelView{100, 100, kNoRelationships, kNoRelationships, false, false, false,
                                 false, false, false}));

    markAllSaved();
    const Persons before = run.state->persons;
    drag(w().prgYFeel, 20);
    drag(w().prgSFeel, 20);
    // Even a notification that reaches the handlers directly.
    emit w().prgSFeel->mouseMoved(1, 0, 20, 5);
    emit w().prgYFeel->mouseMoved(1, 0, 20, 5);
    click(w().chkYLove);
    click(w().chkSLove);
    click(w().chkSLove);

    EXPECT_TRUE(run.state->persons == before);
    EXPECT_EQ(rec(kZed).Loves[kDee], kTrue);
    EXPECT_EQ(rec(kZed).Relation[kDee], -20);
    EXPECT_TRUE(run.state->Saved);
    EXPECT_EQ(view(), (PanelView{100, 100, kNoRelationships, kNoRelationships, false, false, false,
                                 false, false, false}));
}

TEST_F(Relationships, RejectedChosenPersonKeepsTheGaugesLocked) {
    ASSERT_TRUE(run.choose("Kit *UNK*"));
    ASSERT_EQ(w().imcRelationship->text(), "Ann");
    ASSERT_FALSE(w().imcRelationship->isEnabled());
    // Both directions exist, yet nothing is editable for this person.
    EXPECT_EQ(view(), (PanelView{115, 105, "15", "5", false, false, true, false, true, false}));
}

// ---------------------------------------------------------------------------------------------
// Saving.

std::vector<std::uint8_t> readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The feeling (4 bytes) and love flag (2 bytes) stored at a 1-based position.
std::pair<std::int32_t, std::int16_t> relationAt(const std::vector<std::uint8_t>& bytes,
                                                 Long position) {
    const std::size_t at = static_cast<std::size_t>(position) - 1;
    const auto u = [&](std::size_t i) { return static_cast<std::uint32_t>(bytes.at(at + i)); };
    const std::uint32_t value = u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
    return {static_cast<std::int32_t>(value), static_cast<std::int16_t>(u(4) | u(5) << 8)};
}

TEST_F(Relationships, SavingWritesFeelingsAndLovesIntoTheNeighborhood) {
    choose("Ann", "Bob");
    click(w().chkYLove);      // Ann now loves Bob
    click(w().chkSLove);      // Bob no longer loves Ann
    drag(w().prgYFeel, 141);  // Ann feels 50
    drag(w().prgSFeel, 47);   // Bob feels -50
    const Long annToBob = rec(kAnn).RelationPos[kBob];
    const Long bobToAnn = rec(kBob).RelationPos[kAnn];
    ASSERT_GT(annToBob, 0);
    ASSERT_GT(bobToAnn, 0);

    run.messages.answers = {MessageAnswer::Yes};
    w().saveClicked();
    EXPECT_TRUE(run.state->Saved);

    const std::vector<std::uint8_t> file = readAll(run.neighborhoodPath());
    EXPECT_EQ(relationAt(file, annToBob), (std::pair<std::int32_t, std::int16_t>{50, 1}));
    EXPECT_EQ(relationAt(file, bobToAnn), (std::pair<std::int32_t, std::int16_t>{-50, 0}));

    // After a restart the panel shows what was saved.
    run.start();
    ASSERT_NE(run.window, nullptr);
    choose("Ann", "Bob");
    EXPECT_EQ(view(), (PanelView{150, 50, "50", "-50", true, true, true, false, true, false}));
}

}  // namespace
}  // namespace vondrel
