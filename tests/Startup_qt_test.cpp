#include <gtest/gtest.h>

#include "support/Games.h"
#include "support/RunningWindow.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// The folder named for the run (--game-dir), the registry's and the remembered one; each pick
// of the folder dialog ("" cancels); a settings write failure. Then the folder started on (nullptr:
// the program ends), the splash gauge's maximum, the folder remembered and the messages shown.
struct StartCase {
    const char *what, *named, *registered, *remembered;
    Strings picks;
    std::string writeFailure;
    const char* used;
    int progress;
    const char* remembers;
    Strings shown;
};

// Folders: "game" holds Ann, Bo and Wisp, whose file the loader rejects; "other" holds Ann
// and Bo; "bare" holds nothing; "nochars" the game without its characters folder.
TEST(Startup, FindsAndLoadsTheGameFolderWithProgressAndMessages) {
    testing::TempDir temp;
    const auto at = [&](const std::string& name) { return (temp.path() / name).string(); };
    build::GameSpec game;
    game.persons = {testing::person("Bo", 3, 2), testing::person("Ann", 12, 1)};
    game.families = {{"Orrin", 3, 4321, {game.persons[1].key, game.persons[0].key}, true}};
    for (const char* name : {"other", "nochars"})
        build::writeGameFolder(build::build(game), at(name));
    game.persons.push_back(testing::person("Wisp", 9, 3));
    game.persons.back().omitAnchor = true;
    build::writeGameFolder(build::build(game), at("game"));
    fs::create_directories(at("bare"));
    fs::remove_all(at("nochars") + "/UserData/Characters");
    const std::string wisp =
        "Error on trying to read the file Wisp.iff\nThe editor will ignore this file";
    const std::string wrong = "You selected a wrong dir!";
    // clang-format off
    const StartCase cases[] = {
        {"registry first", nullptr, "game", "other", {}, "", "game", 18, nullptr, {wisp}},
        {"stale key", nullptr, "bare", "other", {}, "", "other", 12, nullptr, {}},
        {"stale remembered", nullptr, nullptr, "bare", {"other"}, "", "other", 12, "other", {}},
        {"retry", nullptr, nullptr, nullptr, {"", "bare", "game"}, "", "game", 18, "game",
         {wrong, wrong, wisp}},
        {"cancelled", nullptr, "bare", nullptr, {"bare"}, "", nullptr, 0, nullptr, {wrong}},
        {"not remembered", nullptr, nullptr, nullptr, {"other"}, "f (no)", "other", 12, nullptr,
         {"Could not write the settings file f (no)"}},
        {"--game-dir first", "other", "game", "game", {}, "", "other", 12, nullptr, {}},
        {"--game-dir without game", "bare", "game", nullptr, {"other"}, "", "other", 12,
         "other", {}},
        {"no characters folder", "nochars", nullptr, nullptr, {}, "", nullptr, 0, nullptr,
         {"The game folder holds no folder of characters: " + at("nochars") +
          "/UserData/Characters\nVondrel cannot go on without it."}},
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
        if (c.registered) {
            registry.setString("Software\\Norvo\\The Veks", "VEKS_DATA", "C:\\Veks");
            registry.pathMap = {{"C:\\Veks\\", at(c.registered) + "/"}};
        }
        if (c.remembered)
            settings.values[{"KWAL", "Conf", "PathOfTheVeks"}] = at(c.remembered);
        settings.writeFailure = c.writeFailure;
        for (const std::string& pick : c.picks)
            picker.answers.push_back(pick.empty() ? std::nullopt : std::optional(at(pick)));
        // Retry after each pick that holds no game but the last, which is cancelled.
        messages.answers.resize(c.picks.empty() ? 0 : c.picks.size() - 1, MessageAnswer::Retry);

        const std::unique_ptr<MainWindow> window =
            startUp(services, {c.named ? std::optional(at(c.named)) : std::nullopt}, splash);
        QApplication::processEvents();
        EXPECT_EQ(window ? window->gameFolder().string() : "", c.used ? at(c.used) + "/" : "");
        using Writes = decltype(settings.writes);
        const Writes remembers = {
            {"KWAL", "Conf", "PathOfTheVeks", c.remembers ? at(c.remembers) + "/" : ""}};
        EXPECT_EQ(settings.writes, c.remembers ? remembers : Writes{});
        Strings shown;
        for (const ScriptedMessageBoxes::Shown& box : messages.shown)
            shown.push_back(box.text);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(splash.lblVersion->text(), QStringLiteral("0.40.0"));
        if (!window)
            continue;
        // Six steps a file; then the main window in place of the splash, with the first person
        // and one portrait per file in file order, then the placeholder.
        EXPECT_EQ(splash.prgProgress->maximum(), c.progress);
        EXPECT_EQ(splash.prgProgress->value(), c.progress);
        EXPECT_TRUE(window->isVisible() && !splash.isVisible());
        EXPECT_EQ(window->currentId(), 12);
        QStringList faces;
        for (int k = 1; k <= window->faces().count(); ++k)
            faces << window->faces().key(k);
        EXPECT_EQ(faces.join(' '),
                  c.progress == 18 ? "ID=12 ID=3 ID=9 Unknown" : "ID=12 ID=3 Unknown");
    }
}

// Leaving asks first, warning of changes not saved: after an edit No keeps the window; once
// the edit is undone the plain question comes and Yes leaves, by the Exit button too.
TEST(Startup, TheExitQuestionWarnsOfUnsavedChanges) {
    testing::RunningWindow run(testing::oddHousehold());
    MainWindow& window = *run.window;
    int exits = 0;
    QObject::connect(&window, &MainWindow::exitConfirmed, [&exits] { ++exits; });
    run.household().setAttribute(1, Attribute::Neat, 0);
    run.messages.shown.clear();
    run.messages.answers = {MessageAnswer::No, MessageAnswer::No, MessageAnswer::Yes};
    EXPECT_FALSE(window.close());
    window.undo();
    testing::gesture(run.get("btnExit"), "L5 l5");
    EXPECT_EQ(exits, 0);
    testing::gesture(run.get("btnExit"), "L5 l5");
    EXPECT_EQ(exits, 1);
    ASSERT_EQ(run.messages.shown.size(), 3u);
    EXPECT_EQ(run.messages.shown[0].text,
              "Are you sure ?\n(you will lose any changes you have made)");
    EXPECT_EQ(run.messages.shown[1].text, "Are you sure ?");
    EXPECT_EQ(run.messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(run.person(1).Neat, 500);
}

}  // namespace
}  // namespace vondrel
