#include <gtest/gtest.h>

#include "support/Games.h"
#include "support/RunningWindow.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// Folders of the temporary one: "game" holds Ann, Bo and Wisp, whose file the loader
// rejects; "other" holds Ann and Bo; "bare" holds nothing; "nochars" the game without its
// characters folder.
class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        build::PersonSpec wisp = testing::person("Wisp", 9, 3);
        wisp.omitAnchor = true;
        build::GameSpec game;
        game.persons = {testing::person("Bo", 3, 2), testing::person("Ann", 12, 1)};
        game.families = {{"Orrin", 3, 4321, {game.persons[1].key, game.persons[0].key}, true}};
        for (const char* name : {"other", "nochars"})
            build::writeGameFolder(build::build(game), at(name));
        game.persons.push_back(wisp);
        build::writeGameFolder(build::build(game), at("game"));
        fs::create_directories(at("bare"));
        fs::remove_all(at("nochars") + "/UserData/Characters");
    }
    std::string at(const std::string& name) const { return (temp_.path() / name).string(); }

    testing::TempDir temp_;
};

// The folder named for the run (--game-dir), the registry's and the remembered one; each pick
// of the folder dialog ("" cancels) and the answers to its wrong-folder boxes, R(etry) or
// C(ancel); a settings write failure. Then the folder started on (nullptr: the program ends),
// the splash gauge's maximum, the folder remembered and the messages shown.
struct StartCase {
    const char *what, *named, *registered, *remembered;
    Strings picks;
    std::string answers, writeFailure;
    const char* used;
    int progress;
    const char* remembers;
    Strings shown;
};

TEST_F(StartupTest, FindsAndLoadsTheGameFolderWithProgressAndMessages) {
    const std::string wisp =
        "Error on trying to read the file Wisp.iff\nThe editor will ignore this file";
    const std::string wrong = "You selected a wrong dir!";
    const std::string noChars = "The game folder holds no folder of characters: " + at("nochars") +
                                "/UserData/Characters\nVondrel cannot go on without it.";
    // clang-format off
    const StartCase cases[] = {
        {"registry first", nullptr, "game", "other", {}, "", "", "game", 18, nullptr, {wisp}},
        {"stale key", nullptr, "bare", "other", {}, "", "", "other", 12, nullptr, {}},
        {"stale remembered", nullptr, nullptr, "bare", {"other"}, "", "", "other", 12, "other", {}},
        {"retry", nullptr, nullptr, nullptr, {"", "bare", "game"}, "RR", "", "game", 18, "game",
         {wrong, wrong, wisp}},
        {"cancelled", nullptr, "bare", nullptr, {"bare"}, "C", "", nullptr, 0, nullptr, {wrong}},
        {"not remembered", nullptr, nullptr, nullptr, {"other"}, "", "f (no)", "other", 12, nullptr,
         {"Could not write the settings file f (no)"}},
        {"--game-dir first", "other", "game", "game", {}, "", "", "other", 12, nullptr, {}},
        {"--game-dir without game", "bare", "game", nullptr, {"other"}, "", "", "other", 12,
         "other", {}},
        {"no characters folder", "nochars", nullptr, nullptr, {}, "", "", nullptr, 0, nullptr,
         {noChars}},
    };
    // clang-format on
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedRegistry registry;
        ScriptedSettings settings;
        ScriptedFolderPicker picker;
        ScriptedMessageBoxes messages;
        PlatformServices services{registry, settings, picker,  messages,
                                  nullptr,  nullptr,  nullptr, {}};
        SplashWindow splash;
        for (const char* name : {"game", "other", "bare"})
            registry.pathMap.emplace_back("C:\\" + std::string(name) + "\\", at(name) + "/");
        if (c.registered)
            registry.setString("Software\\Norvo\\The Veks", "VEKS_DATA",
                               "C:\\" + std::string(c.registered));
        if (c.remembered)
            settings.values[{"KWAL", "Conf", "PathOfTheVeks"}] = at(c.remembered);
        settings.writeFailure = c.writeFailure;
        for (const std::string& pick : c.picks)
            picker.answers.push_back(pick.empty() ? std::nullopt : std::optional(at(pick)));
        for (const char answer : c.answers)
            messages.answers.push_back(answer == 'R' ? MessageAnswer::Retry
                                                     : MessageAnswer::Cancel);

        const std::unique_ptr<MainWindow> window =
            startUp(services, {c.named ? std::optional(at(c.named)) : std::nullopt}, splash);
        QApplication::processEvents();
        EXPECT_EQ(window ? window->gameFolder().string() : "", c.used ? at(c.used) + "/" : "");
        EXPECT_EQ(picker.titles.size(), c.picks.size());
        std::vector<std::tuple<std::string, std::string, std::string, std::string>> remembers;
        if (c.remembers)
            remembers.emplace_back("KWAL", "Conf", "PathOfTheVeks", at(c.remembers) + "/");
        EXPECT_EQ(settings.writes, remembers);
        Strings shown;
        for (const ScriptedMessageBoxes::Shown& box : messages.shown)
            shown.push_back(box.text);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(splash.lblVersion->text(), QStringLiteral("0.40.0"));
        if (!window)
            continue;
        // Six steps a file; the main window replaces the splash with the first person.
        EXPECT_EQ(splash.prgProgress->maximum(), c.progress);
        EXPECT_EQ(splash.prgProgress->value(), c.progress);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(splash.isVisible());
        EXPECT_EQ(window->currentId(), 12);
        // One portrait per file in file order, then the placeholder.
        QStringList faces;
        for (int k = 1; k <= window->faces().count(); ++k)
            faces << window->faces().key(k);
        EXPECT_EQ(faces.join(' '),
                  c.progress == 18 ? "ID=12 ID=3 ID=9 Unknown" : "ID=12 ID=3 Unknown");
    }
}

// The Exit button or closing the window asks first, warning of changes not saved, and leaves
// only on Yes.
TEST(StartupExit, TheExitQuestionWarnsOfUnsavedChanges) {
    testing::RunningWindow run(testing::oddHousehold());
    const std::string sure = "Are you sure ?";
    const std::string lose = "Are you sure ?\n(you will lose any changes you have made)";
    enum Edit { None, Edited, Undone };
    using A = MessageAnswer;
    const std::tuple<bool, Edit, A, std::string> cases[] = {
        {true, Edited, A::No, lose},
        {false, Edited, A::No, lose},
        {true, Undone, A::Yes, sure},
        {false, None, A::Yes, sure},
    };
    for (const auto& [button, edit, answer, question] : cases) {
        SCOPED_TRACE(std::to_string(button) + " " + std::to_string(edit));
        run.start();
        MainWindow& window = *run.window;
        int exits = 0;
        QObject::connect(&window, &MainWindow::exitConfirmed, [&exits] { ++exits; });
        if (edit != None)
            run.household().setAttribute(1, Attribute::Neat, 0);
        if (edit == Undone)
            window.undo();
        run.messages.shown.clear();
        run.messages.answers = {answer};
        const bool yes = answer == A::Yes;
        if (button)
            testing::gesture(run.get("btnExit"), "L5 l5");
        else
            EXPECT_EQ(window.close(), yes);
        QApplication::processEvents();
        EXPECT_EQ(exits, yes ? 1 : 0);
        ASSERT_EQ(run.messages.shown.size(), 1u);
        EXPECT_EQ(run.messages.shown[0].text, question);
        EXPECT_EQ(run.messages.shown[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(run.person(1).Neat, edit == Edited ? 0 : 500);
    }
}

}  // namespace
}  // namespace vondrel
