#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/Games.h"
#include "support/RunningWindow.h"
#include "ui/AttributeBars.h"
#include "ui/MainWindow.h"
#include "ui/SkinnedButton.h"

namespace vondrel {
namespace {

constexpr int kPersonId = 7;

TEST(BarValueAt, RoundsToTheNearestValueTiesToEvenAndClampsToTheBar) {
    const std::tuple<double, float, int, int> cases[] = {
        {3.05, 61, 10, 0},   {15.25, 61, 10, 2}, {45.75, 61, 10, 8},   {3.0, 61, 10, 0},
        {3.1, 61, 10, 1},    {4.0, 61, 10, 1},   {57.0, 61, 10, 9},    {58.0, 61, 10, 10},
        {-500, 61, 10, 0},   {1e6, 61, 10, 10},  {2.125, 170, 200, 2}, {10.625, 170, 200, 12},
        {85, 170, 200, 100}, {-3, 170, 200, 0},  {400, 170, 200, 200},
    };
    for (const auto& [x, width, max, expected] : cases)
        EXPECT_EQ(barValueAt(x, width, max), expected) << x << " on " << width;
}

class MainWindowInputTest : public ::testing::Test {
  protected:
    static build::GameSpec game() {
        build::PersonSpec mira = testing::person("Mira", kPersonId, 7);
        std::int16_t* values[] = {&mira.neat,     &mira.outgoing, &mira.active,  &mira.playful,
                                  &mira.nice,     &mira.cleaning, &mira.cooking, &mira.mechanical,
                                  &mira.charisma, &mira.body,     &mira.logic,   &mira.creativity};
        for (int i = 0; i < 12; ++i)  // 100, 150, 200, ..., 650
            *values[i] = static_cast<std::int16_t>(100 + 50 * i);
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
        window_.show();
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
    void TearDown() override { testing::releaseHeld(&window_); }

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
    void paint(const std::string& states) {
        for (std::size_t b = 0; b < buttons_.size(); ++b)
            paintButtonState(buttons_[b], states[b] - '0');
    }
    // A point of the window over `w` itself (the bare window when null), not over anything
    // laid on it, whose lower right neighbour is too.
    QPoint bareSpotOf(const QWidget* w) const {
        for (int y = 1; y < window_.height() - 1; ++y) {
            for (int x = 1; x < window_.width() - 1; ++x) {
                if (window_.childAt(x, y) == w && window_.childAt(x + 1, y + 1) == w)
                    return {x, y};
            }
        }
        ADD_FAILURE() << "no bare spot";
        return {};
    }
    void play(const char* bar, const std::string& script) {
        testing::gesture(run_.get(bar), script);
    }
    const PersonRecord& person() const { return run_.person(kPersonId); }

    testing::RunningWindow run_{game()};
    MainWindow& window_ = *run_.window;
    std::array<SkinnedButton, 7> buttons_;
};

TEST_F(MainWindowInputTest, PointerMovesLightTheButtonUnderThePointerAndDimTheOthers) {
    struct Move {
        const char* over;  // "" for the bare window
        const char* held;
        const char* before;
        const char* after;
        bool ghostShown = false;
    };
    const Move moves[] = {
        {"btnSave", "", "2222222", "1000222"},    {"btnExit", "", "1000000", "0100000"},
        {"btnHelp", "L", "1111111", "0020111"},   {"btnAbout", "R", "2222222", "0001222"},
        {"btnExit", "LR", "2222222", "0100222"},  {"imgMaxVEK", "", "2222222", "2222210"},
        {"imgMaxFAM", "L", "1111111", "1111102"}, {"imgMaxVEK", "R", "2222222", "2222210"},
        {"pctUI(0)", "", "1212111", "0212111"},   {"pctUI(1)", "", "1212111", "0212111"},
        {"pctUI(2)", "", "1212111", "0212111"},   {"pctUI(3)", "", "1212111", "0212111"},
        {"pctUI(4)", "", "1212111", "0212111"},   {"", "", "1111111", "0000000"},
        {"", "", "1111111", "0000200", true},
    };
    for (const Move& m : moves) {
        SCOPED_TRACE(std::string(m.over) + " held " + m.held);
        run_.household().setGhost(kPersonId, m.ghostShown);
        window_.refresh();
        const QPoint at = bareSpotOf(*m.over ? run_.get(m.over) : nullptr);
        testing::mouse(QTest::MouseMove, &window_, at, Qt::NoButton);
        for (const char* b = m.held; *b; ++b)
            testing::mouse(QTest::MousePress, &window_, at,
                           *b == 'L' ? Qt::LeftButton : Qt::RightButton);
        paint(m.before);
        testing::mouse(QTest::MouseMove, &window_, at + QPoint(1, 1), Qt::NoButton);
        EXPECT_EQ(states(), m.after);
        testing::releaseHeld(&window_);
    }
    // Any other state, 3 or -1, changes nothing.
    paint("0120120");
    paint("3333333");
    paint("///////");
    EXPECT_EQ(states(), "0120120");
}

TEST_F(MainWindowInputTest, AnyMouseButtonPressesAButtonAndItsReleaseLightsIt) {
    const QPoint away = bareSpotOf(nullptr);
    for (std::size_t b : {0, 1, 2, 3, 5, 6}) {
        for (Qt::MouseButton mb : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            SCOPED_TRACE(buttons_[b].hitArea->objectName().toStdString() + " " +
                         std::to_string(mb));
            paint("0000000");
            std::string expected = "0000000";
            testing::mouse(QTest::MousePress, buttons_[b].hitArea, {5, 5}, mb);
            expected[b] = '2';
            EXPECT_EQ(states(), expected);
            testing::mouse(QTest::MouseRelease, &window_, away, mb);  // away: no click
            expected[b] = '1';
            EXPECT_EQ(states(), expected);
        }
    }
    EXPECT_TRUE(run_.messages.shown.empty());
    // Released on the button it is a click: Save and Exit ask first (answered No).
    paint("0000000");
    play("btnSave", "L20 l24");
    play("btnExit", "L20 l24");
    EXPECT_EQ(states(), "0100000");
    EXPECT_EQ(run_.messages.shown.size(), 2u);
}

TEST_F(MainWindowInputTest, BarsShowThePersonsValuesAndAClickStoresIntoTheBarsOwnField) {
    const std::pair<const char*, Integer PersonRecord::*> bars[] = {
        {"prgNeat", &PersonRecord::Neat},         {"prgOutgoing", &PersonRecord::Outgoing},
        {"prgActive", &PersonRecord::Active},     {"prgPlayful", &PersonRecord::Playful},
        {"prgNice", &PersonRecord::Nice},         {"prgCleaning", &PersonRecord::Cleaning},
        {"prgCooking", &PersonRecord::Cooking},   {"prgMechanical", &PersonRecord::Mechanical},
        {"prgCharisma", &PersonRecord::Charisma}, {"prgBody", &PersonRecord::Body},
        {"prgLogic", &PersonRecord::Logic},       {"prgCreativity", &PersonRecord::Creativity},
    };
    // 100, 150, ..., 650 in hundreds, halves to the even neighbour.
    const int shown[] = {1, 2, 2, 2, 3, 4, 4, 4, 5, 6, 6, 6};
    for (int i = 0; i < 12; ++i) {
        auto* gauge = run_.get<Gauge>(bars[i].first);
        EXPECT_EQ(gauge->value(), shown[i]) << bars[i].first;
        EXPECT_EQ(gauge->maximum(), 10);
        EXPECT_EQ(gauge->width(), 61);
    }
    EXPECT_TRUE(run_.household().isSaved());
    for (const auto& [name, field] : bars) {
        PersonRecord expected = person();
        expected.*field = 1000;
        play(name, "L58 l58");
        EXPECT_EQ(run_.get<Gauge>(name)->value(), 10) << name;
        EXPECT_TRUE(person() == expected) << name;
        EXPECT_FALSE(run_.household().isSaved());
    }
}

TEST_F(MainWindowInputTest, AttributeBarFollowsLeftDragsAndStoresOnTheClick) {
    // On prgNice, which starts at 300; the left button is held from one step to the next.
    const std::tuple<const char*, int, int> steps[] = {
        {">2 >59", 3, 300},
        {"L20 >30 >101,40 l101,40", 10, 1000},
        {"L20 >-40,40 l-40,40", 0, 0},
        {"L10 >101 >31 l31", 5, 500},
        {"R50 >55 >101 r101", 5, 500},
        {"L50 R50 >5 >101 r101", 5, 500},
        {"l50", 8, 800},
        {"L3 l3", 0, 0},
        {"L4 l4", 1, 100},
        {"L57 l57", 9, 900},
        {"L58 l58", 10, 1000},
        {"L0 l0", 0, 0},
    };
    for (const auto& [script, value, stored] : steps) {
        play("prgNice", script);
        EXPECT_EQ(run_.get<Gauge>("prgNice")->value(), value) << script;
        EXPECT_EQ(person().Nice, stored) << script;
        EXPECT_EQ(run_.household().isSaved(), stored == 300) << script;
    }
}

TEST_F(MainWindowInputTest, PerformanceBarFollowsLeftDragsWithTheResizePointer) {
    auto* bar = run_.get<Gauge>("prgPerf");
    ASSERT_EQ(bar->width(), 170);
    const std::tuple<const char*, int, int> steps[] = {
        {">30", 120, 0},
        {"R60 >30 r30", 120, 0},
        {"L60 R60 >10 r10 l10", 120, 0},
        {"L10 >85", 100, 9},
        {">0", 0, 9},
        {">1", 1, 9},
        {">17", 20, 9},
        {">100", 118, 9},
        {">169", 199, 9},
        {">175", 200, 9},
        {">-30 l-30", 0, 9},
    };
    for (const auto& [script, value, shape] : steps) {
        bar->setPointerShape(9 - shape);
        play("prgPerf", script);
        EXPECT_EQ(bar->value(), value) << script;
        EXPECT_EQ(person().JobPerformance, value - 100) << script;
        EXPECT_EQ(bar->pointerShape(), shape) << script;
        EXPECT_EQ(bar->cursor().shape(), shape ? Qt::SizeHorCursor : Qt::ArrowCursor) << script;
    }
}

TEST_F(MainWindowInputTest, PerformanceBarNamesItsValueWithoutStoringIt) {
    auto* bar = run_.get<Gauge>("prgPerf");
    EXPECT_EQ(bar->value(), 120);
    EXPECT_EQ(bar->captionText(), QStringLiteral("Average"));
    const std::pair<int, const char*> words[] = {
        {0, "Dismal"},    {30, "Dismal"}, {31, "Poor"},  {50, "Poor"},       {51, "Average"},
        {130, "Average"}, {131, "Good"},  {150, "Good"}, {151, "Excellent"}, {200, "Excellent"},
    };
    for (const auto& [value, word] : words) {
        bar->setValue(value);
        bar->repaint();
        EXPECT_EQ(bar->captionText().toStdString(), word) << value;
    }
    EXPECT_EQ(person().JobPerformance, 20);
    ASSERT_TRUE(run_.choose(3));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->captionText(), QStringLiteral("Dismal"));
    EXPECT_TRUE(run_.household().isSaved());
}

}  // namespace
}  // namespace vondrel
