#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
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

// Two persons in one family, Ann's values halfway between two bar steps, and Wisp, whose
// file the loader rejects.
build::GameSpec cleanGame(bool withRejected = false) {
    build::PersonSpec ann = testing::person("Ann", 12, 1);
    ann.neat = 250;
    ann.outgoing = 350;
    ann.active = 449;
    ann.playful = 451;
    ann.nice = 1000;
    ann.cleaning = 0;
    ann.cooking = 150;
    ann.mechanical = 650;
    ann.charisma = 950;
    ann.body = 50;
    ann.logic = 749;
    ann.creativity = 551;
    ann.jobPerformance = -35;
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
    const std::pair<const char*, int> shown[] = {
        {"Neat", 2},     {"Outgoing", 4},   {"Active", 4},     {"Playful", 5},   {"Nice", 10},
        {"Cleaning", 0}, {"Cooking", 2},    {"Mechanical", 6}, {"Charisma", 10}, {"Body", 0},
        {"Logic", 7},    {"Creativity", 6}, {"Perf", 65},
    };
    for (const auto& [name, value] : shown)
        EXPECT_EQ(gauge(*window, name)->value(), value) << name;
}

struct FindCase {
    const char* what;
    std::optional<std::string> gameDir;  // "named" holds the game, "bare" does not
    std::vector<std::optional<std::string>> picks;
    std::optional<std::string> expected;
    std::size_t pickerCalls;
    Strings remembers;
};

// The registry names "registered", the settings remember "remembered", both with the game.
TEST_F(StartupTest, FindsTheGameFolderAndRemembersOnlyAPickedOne) {
    const FindCase cases[] = {
        {"registry", std::nullopt, {}, "registered", 0, {}},
        {"named for the run", "named", {}, "named", 0, {}},
        {"named without the game", "bare", {"picked"}, "picked", 1, {"picked"}},
        {"named without the game, cancel", "bare", {std::nullopt}, std::nullopt, 1, {}},
        {"dialog, wrong folder, cancel", "bare", {"bare"}, std::nullopt, 1, {}},
    };
    for (const std::string name : {"registered", "remembered", "named", "picked"})
        folder(name);
    folder("bare", false);
    const auto at = [&](const std::string& name) { return (temp_.path() / name).string(); };
    registry_.setString("Software\\Norvo\\The Veks", "VEKS_DATA", "C:\\Veks");
    registry_.pathMap = {{"C:\\Veks\\", at("registered") + "/"}};
    settings_.values[{"KWAL", "Conf", "PathOfTheVeks"}] = at("remembered");
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.what);
        settings_.writes.clear();
        picker_.titles.clear();
        for (const auto& pick : c.picks)
            picker_.answers.push_back(pick ? std::optional(at(*pick)) : std::nullopt);
        const std::unique_ptr<MainWindow> window =
            start(c.gameDir ? std::optional(at(*c.gameDir)) : std::nullopt);
        EXPECT_EQ(window != nullptr, c.expected.has_value());
        if (window && c.expected) {
            EXPECT_EQ(window->gameFolder().string(), at(*c.expected) + "/");
            EXPECT_EQ(window->personView().picker()->count(), 2);
        }
        EXPECT_EQ(picker_.titles.size(), c.pickerCalls);
        Strings remembers;
        for (const auto& write : settings_.writes)
            remembers.push_back(std::get<3>(write));
        Strings expected;
        for (const std::string& name : c.remembers)
            expected.push_back(at(name) + "/");
        EXPECT_EQ(remembers, expected);
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

TEST_F(StartupTest, TheExitQuestionWarnsOfUnsavedChangesAndLeavesOnlyOnYes) {
    enum How { Ask, Button, Close };
    enum Edit { None, Edited, Undone };
    const struct {
        How how;
        Edit edit;
        MessageAnswer answer;
    } cases[] = {
        {Ask, Edited, MessageAnswer::Yes},  {Button, Edited, MessageAnswer::No},
        {Close, Edited, MessageAnswer::No}, {Ask, Undone, MessageAnswer::No},
        {Button, None, MessageAnswer::Yes}, {Close, None, MessageAnswer::Yes},
    };
    const std::string game = folder("game");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.how) + " " + std::to_string(c.edit));
        messages_.shown.clear();
        std::unique_ptr<MainWindow> window = start(game);
        ASSERT_NE(window, nullptr);
        int exits = 0;
        QObject::connect(window.get(), &MainWindow::exitConfirmed, [&exits] { ++exits; });
        if (c.edit != None)
            window->household()->setAttribute(12, Attribute::Neat, 0);
        if (c.edit == Undone)
            window->undo();
        messages_.answers = {c.answer};
        const bool yes = c.answer == MessageAnswer::Yes;
        if (c.how == Ask) {
            EXPECT_EQ(window->askExit(), yes);
        } else if (c.how == Close) {
            EXPECT_EQ(window->close(), yes);
            EXPECT_EQ(exits, yes ? 1 : 0);
        } else {
            const QPointF at = window->element(QStringLiteral("btnExit"))->geometry().center();
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QMouseEvent event(type, at, at, window->mapToGlobal(at), Qt::LeftButton,
                                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                  Qt::NoModifier);
                QCoreApplication::sendEvent(window->windowHandle(), &event);
            }
            EXPECT_EQ(exits, yes ? 1 : 0);
        }
        QApplication::processEvents();
        ASSERT_EQ(messages_.shown.size(), 1u);
        EXPECT_EQ(messages_.shown[0].text,
                  c.edit == Edited ? "Are you sure ?\n(you will lose any changes you have made)"
                                   : "Are you sure ?");
        EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Question);
        EXPECT_EQ(messages_.shown[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(window->isVisible(), !(yes && c.how == Close));
        EXPECT_EQ(window->household()->person(12).Neat, c.edit == Edited ? 0 : 250);
    }
}

}  // namespace
}  // namespace vondrel
