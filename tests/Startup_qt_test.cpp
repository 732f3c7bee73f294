#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWindow>
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/GameBuilder.h"
#include "support/Games.h"
#include "support/Scripted.h"
#include "support/TempDir.h"
#include "ui/Startup.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// Ann's values, stored and as her bars show them: in hundreds, halfway rounded to even;
// job performance from -100 to 100 on a bar of 0 to 200.
using P = build::PersonSpec;
const std::tuple<std::int16_t P::*, const char*, std::int16_t, int> kAnnsValues[] = {
    // clang-format off
    {&P::neat, "Neat", 250, 2}, {&P::outgoing, "Outgoing", 350, 4}, {&P::active, "Active", 449, 4},
    {&P::playful, "Playful", 451, 5}, {&P::nice, "Nice", 1000, 10}, {&P::cleaning, "Cleaning", 0, 0},
    {&P::cooking, "Cooking", 150, 2}, {&P::mechanical, "Mechanical", 650, 6},
    {&P::charisma, "Charisma", 950, 10}, {&P::body, "Body", 50, 0}, {&P::logic, "Logic", 749, 7},
    {&P::creativity, "Creativity", 551, 6}, {&P::jobPerformance, "Perf", -35, 65},
    // clang-format on
};

// Two persons in one family and Wisp, whose file the loader rejects.
build::GameSpec cleanGame(bool withRejected = false) {
    build::PersonSpec ann = testing::person("Ann", 12, 1);
    for (const auto& [field, name, stored, shown] : kAnnsValues)
        ann.*field = stored;
    build::PersonSpec bo = testing::person("Bo", 3, 2);
    build::PersonSpec wisp = testing::person("Wisp", 9, 3);
    wisp.omitAnchor = true;
    build::GameSpec game;
    game.persons = {bo, ann};
    if (withRejected)
        game.persons.push_back(wisp);
    game.families = {{"Orrin", 3, 4321, {ann.key, bo.key}, true}};
    return game;
}

class StartupTest : public ::testing::Test {
  protected:
    // A folder of the temporary one: with the game, or empty.
    std::string folder(const std::string& name, bool withGame = true, bool withRejected = false) {
        const fs::path path = temp_.path() / name;
        fs::create_directories(path);
        if (withGame)
            build::writeGameFolder(build::build(cleanGame(withRejected)), path);
        return path.string();
    }
    std::unique_ptr<MainWindow> start(std::optional<std::string> gameDir = std::nullopt) {
        std::unique_ptr<MainWindow> window = startUp(services_, {gameDir}, splash_);
        QApplication::processEvents();
        return window;
    }
    Strings shownTexts() const {
        Strings texts;
        for (const ScriptedMessageBoxes::Shown& box : messages_.shown)
            texts.push_back(box.text);
        return texts;
    }
    Gauge* gauge(MainWindow& window, const std::string& name) {
        return qobject_cast<Gauge*>(window.element(QString::fromStdString("prg" + name)));
    }

    testing::TempDir temp_;
    ScriptedRegistry registry_;
    ScriptedSettings settings_;
    ScriptedFolderPicker picker_;
    ScriptedMessageBoxes messages_;
    PlatformServices services_{registry_, settings_, picker_, messages_,
                               nullptr,   nullptr,   nullptr, {}};
    SplashWindow splash_;
};

TEST_F(StartupTest, ShowsTheGameWithProgressPortraitsAndTheFirstPerson) {
    const std::string game = folder("game", true, true);
    const std::unique_ptr<MainWindow> window = start(game);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(splash_.isVisible());
    EXPECT_EQ(splash_.lblVersion->text(), QStringLiteral("0.40.0"));
    EXPECT_EQ(splash_.lblWait->text(), QStringLiteral("Please wait..."));
    EXPECT_EQ(window->gameFolder().string(), game + "/");
    EXPECT_TRUE(window->household()->isSaved());
    EXPECT_EQ(
        shownTexts(),
        Strings{"Error on trying to read the file Wisp.iff\nThe editor will ignore this file"});
    EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Critical);
    // Six steps for each of the three files.
    EXPECT_EQ(splash_.prgProgress->maximum(), 18);
    EXPECT_EQ(splash_.prgProgress->value(), 18);

    // One portrait per file in file order, then the placeholder; the rejected file has none
    // in the picker.
    QStringList faces;
    for (int k = 1; k <= window->faces().count(); ++k)
        faces << window->faces().key(k);
    EXPECT_EQ(faces, (QStringList{"ID=12", "ID=3", "ID=9", "Unknown"}));
    ImagePicker* picker = window->personView().picker();
    std::vector<std::pair<QString, int>> entries;
    for (int i = 1; i <= picker->count(); ++i)
        entries.emplace_back(picker->entryText(i), picker->entryPicture(i));
    EXPECT_EQ(entries, (std::vector<std::pair<QString, int>>{{"Orrin, Ann", 1}, {"Orrin, Bo", 2}}));

    // Ann is on screen, her values in hundreds rounded to even, the picker has the focus.
    EXPECT_EQ(picker->selectedIndex(), 1);
    EXPECT_EQ(window->currentId(), 12);
    EXPECT_EQ(QApplication::focusWidget(), picker);
    for (const auto& [field, name, stored, shown] : kAnnsValues)
        EXPECT_EQ(gauge(*window, name)->value(), shown) << name;
}

// The registry names "registered" and the settings remember "remembered", both with the
// game; "named" is named for the run, "bare" holds no game. Each case: the folder named for
// the run, the one picked in the dialog ("" cancels), the one started on and the one
// remembered ("": none).
TEST_F(StartupTest, FindsTheGameFolderAndRemembersOnlyAPickedOne) {
    const std::array<std::string, 4> cases[] = {
        {"", "", "registered", ""},
        {"named", "", "named", ""},
        {"bare", "picked", "picked", "picked"},
        {"bare", "", "", ""},
    };
    for (const std::string name : {"registered", "remembered", "named", "picked"})
        folder(name);
    folder("bare", false);
    const auto at = [&](const std::string& name) { return (temp_.path() / name).string(); };
    registry_.setString("Software\\Norvo\\The Veks", "VEKS_DATA", "C:\\Veks");
    registry_.pathMap = {{"C:\\Veks\\", at("registered") + "/"}};
    settings_.values[{"KWAL", "Conf", "PathOfTheVeks"}] = at("remembered");
    for (const auto& [named, picked, used, remembered] : cases) {
        SCOPED_TRACE(named + " " + picked);
        settings_.writes.clear();
        picker_.titles.clear();
        picker_.answers = {picked.empty() ? std::nullopt : std::optional(at(picked))};
        const std::unique_ptr<MainWindow> window =
            start(named.empty() ? std::nullopt : std::optional(at(named)));
        EXPECT_EQ(window ? window->gameFolder().string() : "", used.empty() ? "" : at(used) + "/");
        EXPECT_EQ(picker_.titles.size(), named == "bare" ? 1u : 0u);
        Strings remembers;
        for (const auto& write : settings_.writes)
            remembers.push_back(std::get<3>(write));
        EXPECT_EQ(remembers, remembered.empty() ? Strings{} : Strings{at(remembered) + "/"});
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_FALSE(qobject_cast<MainWindow*>(w) && w->isVisible() && !window);
    }
}

TEST_F(StartupTest, AGameWithoutCharactersEndsWithAMessage) {
    const fs::path characters = fs::path(folder("game")) / "UserData" / "Characters";
    for (const auto& entry : fs::directory_iterator(characters))
        fs::remove(entry.path());
    EXPECT_EQ(start(characters.parent_path().parent_path().string()), nullptr);
    fs::remove_all(characters);
    EXPECT_EQ(start(characters.parent_path().parent_path().string()), nullptr);
    EXPECT_EQ(shownTexts(),
              (Strings{"No veks detected!",
                       "The game folder holds no folder of characters: " + characters.string() +
                           "\nVondrel cannot go on without it."}));
}

// The Exit button or closing the window asks first, warning of changes not saved.
TEST_F(StartupTest, TheExitQuestionWarnsOfUnsavedChangesAndLeavesOnlyOnYes) {
    enum Edit { None, Edited, Undone };
    const std::tuple<bool, Edit, MessageAnswer> cases[] = {
        {true, Edited, MessageAnswer::No},
        {false, Edited, MessageAnswer::No},
        {true, Undone, MessageAnswer::Yes},
        {false, None, MessageAnswer::Yes},
    };
    const std::string game = folder("game");
    for (const auto& [button, edit, answer] : cases) {
        SCOPED_TRACE(std::to_string(button) + " " + std::to_string(edit));
        messages_.shown.clear();
        std::unique_ptr<MainWindow> window = start(game);
        ASSERT_NE(window, nullptr);
        int exits = 0;
        QObject::connect(window.get(), &MainWindow::exitConfirmed, [&exits] { ++exits; });
        if (edit != None)
            window->household()->setAttribute(12, Attribute::Neat, 0);
        if (edit == Undone)
            window->undo();
        messages_.answers = {answer};
        const bool yes = answer == MessageAnswer::Yes;
        if (button) {
            const QPoint at = window->element(QStringLiteral("btnExit"))->geometry().center();
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
        } else {
            EXPECT_EQ(window->close(), yes);
        }
        QApplication::processEvents();
        EXPECT_EQ(exits, yes ? 1 : 0);
        ASSERT_EQ(messages_.shown.size(), 1u);
        EXPECT_EQ(messages_.shown[0].text,
                  edit == Edited ? "Are you sure ?\n(you will lose any changes you have made)"
                                 : "Are you sure ?");
        EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Question);
        EXPECT_EQ(messages_.shown[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(window->isVisible(), !(yes && !button));
        EXPECT_EQ(window->household()->person(12).Neat, edit == Edited ? 0 : 250);
    }
}

}  // namespace
}  // namespace vondrel
