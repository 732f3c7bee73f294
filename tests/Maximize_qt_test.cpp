#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <filesystem>
#include <string>
#include <vector>

#include "editing/Maximize.h"
#include "gamedata/PersonLoader.h"
#include "support/GameBuilder.h"
#include "support/Games.h"
#include "support/Scripted.h"
#include "support/TempDir.h"
#include "ui/Startup.h"

namespace vondrel {
namespace {

const std::string kAskRelationships = "Would you like to maximize all relationships ?";
const std::string kAskBestJob = "Would you like to have the best job ?";

// Records the whole person table each time a question is asked.
class SnapshotMessageBoxes : public ScriptedMessageBoxes {
  public:
    explicit SnapshotMessageBoxes(const Persons& table) : table_(table) {}
    std::vector<Persons> tables;

    MessageAnswer show(std::string_view text, MessageIcon icon, MessageButtons buttons) override {
        tables.push_back(table_);
        return ScriptedMessageBoxes::show(text, icon, buttons);
    }

  private:
    const Persons& table_;
};

// The Tandor family: Mira (2, shown), Ivo (6) and Kai (11), and a slot of that family that
// holds no person (30). Lia (40) and Ned (50) are the Orrins; Solo (20) and Lone (21) have
// no family.
constexpr int kMira = 2, kIvo = 6, kKai = 11, kEmptyTandor = 30, kLia = 40, kNed = 50;
constexpr int kSolo = 20, kLone = 21;
constexpr int kTandors[] = {kMira, kIvo, kKai};

struct Answers {
    bool relationships;
    bool bestJob;
};
std::string nameOf(const ::testing::TestParamInfo<Answers>& info) {
    return std::string(info.param.relationships ? "Yes" : "No") + "Relationships" +
           (info.param.bestJob ? "Yes" : "No") + "BestJob";
}

class MaximizeTest : public ::testing::TestWithParam<Answers> {
  protected:
    void SetUp() override {
        add(kMira, "Mira", "Tandor");
        add(kIvo, "Ivo", "Tandor");
        add(kKai, "Kai", "Tandor").Sex = 1;
        state_.persons[kEmptyTandor].FamilyName = "Tandor";
        add(kLia, "Lia", "Orrin");
        add(kNed, "Ned", "Orrin");
        add(kSolo, "Solo", "");
        add(kLone, "Lone", "");
        relate(kMira, kIvo, 10);
        relate(kIvo, kMira, 20);
        relate(kMira, kLia, -30);  // Lia has no entry for Mira
        relate(kKai, kNed, 5);
        relate(kNed, kKai, 7);
        relate(kSolo, kLone, 1);
        relate(kLone, kSolo, 2);
        relate(kLia, kNed, 40);
        for (int i = 1; i <= 12; ++i)
            window_.imcJobIcon->addEntry(QString(), i);
        window_.setCaptions();
    }

    PersonRecord& add(int id, const std::string& first, const std::string& family) {
        PersonRecord& p = state_.persons[id];
        p.Id = static_cast<Integer>(id);
        p.FirstName = first;
        p.FamilyName = family;
        Integer value = 300;
        for (Integer PersonRecord::*field : kAttributeFields)
            p.*field = value += 10;
        p.JobTrack = 5;
        p.JobLevel = 3;
        p.JobPerformance = -20;
        p.Money = 900;
        p.House = 2;
        return p;
    }
    void relate(int from, int to, Long value) {
        state_.persons[from].HasRelation[to] = kTrue;
        state_.persons[from].Relation[to] = value;
    }
    // Chooses the person as the user does; the marks showing leaves are then forgotten, and
    // the relationship gauges set apart, so that a test sees only what a maximize does.
    void showPerson(int id) {
        const PersonRecord& p = state_.persons[id];
        const std::string text =
            p.FamilyName.empty() ? p.FirstName : p.FamilyName + ", " + p.FirstName;
        window_.imcFaces->addEntry(QString::fromStdString(text), 0);
        window_.imcFaces->select(window_.imcFaces->count());
        window_.personChosen();
        ASSERT_EQ(state_.CurrentId, std::optional<Integer>(id));
        for (PersonRecord& person : state_.persons)
            person.Changed = kFalse;
        state_.Saved = true;
        window_.prgYFeel->setValue(37);
        window_.prgSFeel->setValue(63);
        before_ = state_.persons;
        messages_.answers.clear();
        if (GetParam().relationships || GetParam().bestJob) {
            messages_.answers = {GetParam().relationships ? MessageAnswer::Yes : MessageAnswer::No,
                                 GetParam().bestJob ? MessageAnswer::Yes : MessageAnswer::No};
        }
    }
    // A click of the left button on a maximize picture.
    void click(SkinnedButton& button) {
        QWidget* area = button.hitArea;
        const QPointF at(area->width() / 2.0, area->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, area->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(area, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, area->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(area, &release);
    }

    // The table as it must be after the values of `ids` were raised.
    static void raiseAttributes(Persons& table, std::initializer_list<int> ids) {
        for (const int id : ids) {
            for (Integer PersonRecord::*field : kAttributeFields)
                table[id].*field = 1000;
            table[id].Changed = kTrue;
        }
    }
    static void bestJob(Persons& table, int id) {
        table[id].JobTrack = 2;
        table[id].JobLevel = 9;
        table[id].JobPerformance = 100;
    }
    static void setBoth(Persons& table, int a, int b) {
        table[a].Relation[b] = 100;
        table[b].Relation[a] = 100;
        table[a].Changed = table[b].Changed = kTrue;
    }

    void expectTable(const Persons& expected) {
        for (int id = 0; id <= kMaxId; ++id) {
            const PersonRecord& got = state_.persons[id];
            const PersonRecord& want = expected[id];
            if (got == want)
                continue;
            ADD_FAILURE() << "person " << id << " (" << want.FirstName << ")";
            for (Integer PersonRecord::*field : kAttributeFields)
                EXPECT_EQ(got.*field, want.*field) << id;
            EXPECT_EQ(got.JobTrack, want.JobTrack) << id;
            EXPECT_EQ(got.JobLevel, want.JobLevel) << id;
            EXPECT_EQ(got.JobPerformance, want.JobPerformance) << id;
            EXPECT_EQ(got.Changed, want.Changed) << id;
            for (int j = 0; j <= kMaxId; ++j)
                EXPECT_EQ(got.Relation[j], want.Relation[j]) << id << " towards " << j;
            EXPECT_EQ(got.HasRelation, want.HasRelation) << id;
        }
    }
    void expectQuestions() {
        ASSERT_EQ(messages_.shown.size(), 2u);
        EXPECT_EQ(messages_.shown[0].text, kAskRelationships);
        EXPECT_EQ(messages_.shown[1].text, kAskBestJob);
        for (const auto& box : messages_.shown) {
            EXPECT_EQ(box.icon, MessageIcon::Question);
            EXPECT_EQ(box.buttons, MessageButtons::YesNo);
        }
    }
    void expectShownAttributesAtTen() {
        for (const AttributeBar& bar : window_.bars)
            EXPECT_EQ(bar.gauge->value(), 10) << bar.name;
    }
    void expectShownFeelings() {
        const bool raised = GetParam().relationships;
        EXPECT_EQ(window_.prgYFeel->value(), raised ? 200 : 37);
        EXPECT_EQ(window_.prgSFeel->value(), raised ? 200 : 63);
    }
    // The job controls show the best job, or still the shown person's own (track 5, level 3,
    // performance -20).
    void expectShownJob() {
        if (GetParam().bestJob) {
            EXPECT_EQ(window_.imcJobIcon->selectedIndex(), 4);
            EXPECT_EQ(window_.imcJobs->currentText(), QStringLiteral("Superstar"));
            EXPECT_EQ(window_.imcJobs->currentIndex(), 9);
            EXPECT_EQ(window_.prgPerf->value(), 200);
            EXPECT_EQ(window_.prgPerf->captionText(), QStringLiteral("Excellent"));
        } else {
            EXPECT_EQ(window_.imcJobIcon->selectedIndex(), 7);
            EXPECT_EQ(window_.imcJobs->currentIndex(), 3);
            EXPECT_EQ(window_.prgPerf->value(), 80);
        }
    }

    WindowState state_;
    SnapshotMessageBoxes messages_{state_.persons};
    MainWindow window_{state_, messages_};
    Persons before_;
};

// ---------------------------------------------------------------------------------------------
// The shown person.

TEST_P(MaximizeTest, PersonIsRaisedWithTheAnsweredGroups) {
    showPerson(kMira);
    click(window_.maxVek);

    expectQuestions();
    Persons expected = before_;
    raiseAttributes(expected, {kMira});
    if (GetParam().relationships) {
        setBoth(expected, kMira, kIvo);
        setBoth(expected, kMira, kLia);
    }
    if (GetParam().bestJob)
        bestJob(expected, kMira);
    expectTable(expected);
    EXPECT_FALSE(isTrue(state_.persons[kLia].HasRelation[kMira]));
    EXPECT_FALSE(state_.Saved);
    expectShownAttributesAtTen();
    expectShownFeelings();
    expectShownJob();
}

TEST_P(MaximizeTest, PersonValuesAreRaisedBeforeTheQuestions) {
    showPerson(kMira);
    click(window_.maxVek);
    ASSERT_EQ(messages_.tables.size(), 2u);
    Persons raised = before_;
    raiseAttributes(raised, {kMira});
    raised[kMira].Changed = kFalse;
    EXPECT_TRUE(messages_.tables[0] == raised);
}

TEST_P(MaximizeTest, PersonWithoutRelationshipsStillGetsTheQuestion) {
    showPerson(kLone);
    state_.persons[kLone].HasRelation = {};
    state_.persons[kLone].Relation = {};
    before_ = state_.persons;
    click(window_.maxVek);

    expectQuestions();
    Persons expected = before_;
    raiseAttributes(expected, {kLone});
    if (GetParam().bestJob)
        bestJob(expected, kLone);
    expectTable(expected);
    expectShownFeelings();
    expectShownJob();
}

// ---------------------------------------------------------------------------------------------
// The shown person's family.

TEST_P(MaximizeTest, FamilyIsRaisedWithTheAnsweredGroups) {
    showPerson(kIvo);
    click(window_.maxFam);

    expectQuestions();
    Persons expected = before_;
    raiseAttributes(expected, {kMira, kIvo, kKai});
    if (GetParam().relationships) {
        setBoth(expected, kMira, kIvo);
        setBoth(expected, kMira, kLia);
        setBoth(expected, kKai, kNed);
    }
    if (GetParam().bestJob) {
        for (const int id : kTandors)
            bestJob(expected, id);
    }
    expectTable(expected);
    // The slot of the family that holds nobody, the Orrins' own relationship and every
    // relationship flag are as they were.
    EXPECT_TRUE(state_.persons[kEmptyTandor] == before_[kEmptyTandor]);
    EXPECT_EQ(state_.persons[kLia].Relation[kNed], 40);
    EXPECT_FALSE(state_.Saved);
    expectShownAttributesAtTen();
    expectShownFeelings();
    expectShownJob();
}

TEST_P(MaximizeTest, FamilyQuestionsComeBeforeAnyChange) {
    showPerson(kKai);
    click(window_.maxFam);
    expectQuestions();
    ASSERT_EQ(messages_.tables.size(), 2u);
    EXPECT_TRUE(messages_.tables[0] == before_);
    EXPECT_TRUE(messages_.tables[1] == before_);
    // The female member's best title reads the same.
    if (GetParam().bestJob) {
        EXPECT_EQ(window_.imcJobs->currentText(), QStringLiteral("Superstar"));
    }
}

TEST_P(MaximizeTest, FamilyOfAPersonWithoutFamilyIsEveryoneWithoutOne) {
    showPerson(kSolo);
    click(window_.maxFam);

    expectQuestions();
    Persons expected = before_;
    raiseAttributes(expected, {kSolo, kLone});
    if (GetParam().relationships)
        setBoth(expected, kSolo, kLone);
    if (GetParam().bestJob) {
        bestJob(expected, kSolo);
        bestJob(expected, kLone);
    }
    expectTable(expected);
}

INSTANTIATE_TEST_SUITE_P(EveryAnswer, MaximizeTest,
                         ::testing::Values(Answers{false, false}, Answers{true, false},
                                           Answers{false, true}, Answers{true, true}),
                         nameOf);

// ---------------------------------------------------------------------------------------------
// Maximize, save, and the values the game file then holds.

class NoLoadSink : public LoadSink {
  public:
    void begin(int) override {}
    void advance(int) override {}
    void message(const std::string& text) override { ADD_FAILURE() << text; }
    void image(const std::string&, const std::optional<Bytes>&) override {}
};

// A person of the test game: in a career, with a middling performance.
build::PersonSpec gamePerson(const std::string& first, std::int16_t id, std::uint8_t keyByte) {
    build::PersonSpec p = testing::person(first, id, keyByte);
    p.jobTrack = 3;
    p.jobLevel = 2;
    p.jobPerformance = -10;
    return p;
}

TEST(MaximizeAndSave, SavedFileHoldsTheRaisedValues) {
    build::PersonSpec ann = gamePerson("Ann", 12, 1);
    build::PersonSpec bo = gamePerson("Bo", 3, 2);
    build::PersonSpec cy = gamePerson("Cy", 8, 3);
    ann.relations = {{3, 10, false}, {8, -30, false}};
    bo.relations = {{12, 20, true}};
    cy.relations = {{3, 5, false}};
    build::GameSpec game;
    game.persons = {ann, bo, cy};
    game.families = {{"Orrin", 3, 4321, {ann.key, bo.key}, true}, {"Tal", 5, 100, {cy.key}, true}};
    testing::TempDir temp;
    const std::filesystem::path folder = temp.path() / "game";
    build::writeGameFolder(build::build(game), folder);

    WindowState state;
    ScriptedRegistry registry;
    ScriptedSettings settings;
    ScriptedFolderPicker picker;
    ScriptedMessageBoxes messages;
    PlatformServices services{registry, settings, picker, messages};
    SplashWindow splash;
    StartOptions options;
    options.gameDir = folder.string();
    const std::unique_ptr<MainWindow> window = startUp(state, services, options, splash);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(state.CurrentId, std::optional<Integer>(12));

    messages.answers = {MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::Yes};
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(window->maxFam.hitArea, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(window->maxFam.hitArea, &release);
    window->saveClicked();
    ASSERT_TRUE(state.Saved) << messages.shown.back().text;
    window->close();

    Persons saved;
    NoLoadSink sink;
    ASSERT_EQ(loadGameFolder(folder, saved, sink).status, LoadStatus::Loaded);
    for (const int id : {12, 3}) {
        for (Integer PersonRecord::*field : kAttributeFields)
            EXPECT_EQ(saved[id].*field, 1000) << id;
        EXPECT_EQ(saved[id].JobTrack, 2) << id;
        EXPECT_EQ(saved[id].JobLevel, 9) << id;
        EXPECT_EQ(saved[id].JobPerformance, 100) << id;
    }
    EXPECT_EQ(saved[12].Relation[3], 100);
    EXPECT_EQ(saved[12].Relation[8], 100);
    EXPECT_EQ(saved[3].Relation[12], 100);
    EXPECT_TRUE(isTrue(saved[3].Loves[12]));
    // The other family keeps its values, and Cy gains no entry for Ann.
    EXPECT_EQ(saved[8].Neat, 500);
    EXPECT_EQ(saved[8].Logic, 300);
    EXPECT_EQ(saved[8].JobTrack, 3);
    EXPECT_EQ(saved[8].Relation[3], 5);
    EXPECT_FALSE(isTrue(saved[8].HasRelation[12]));
}

}  // namespace
}  // namespace vondrel
