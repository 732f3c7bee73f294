#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QWindow>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/GameBuilder.h"
#include "support/Games.h"
#include "support/Scripted.h"
#include "support/TempDir.h"
#include "ui/Startup.h"

namespace vondrel {
namespace {

Gauge* gauge(const MainWindow& window, const char* name) {
    return qobject_cast<Gauge*>(window.element(QString::fromLatin1(name)));
}

using testing::person;

namespace fs = std::filesystem;

// The folder as start-up keeps it: in the platform's form with one trailing separator.
std::string asGamePath(const fs::path& folder) {
    return (folder / "").string();
}

// Two persons in one family, every file well-formed; the first file holds values halfway
// between two bar steps.
build::GameSpec cleanGame() {
    build::PersonSpec ann = person("Ann", 12, 1);
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
    build::PersonSpec bo = person("Bo", 3, 2);
    build::GameSpec game;
    game.persons = {ann, bo};
    game.families = {{"Orrin", 3, 4321, {ann.key, bo.key}, true}};
    return game;
}

// The game's persons in the order the program lists their files.
std::vector<build::PersonSpec> inFileOrder(std::vector<build::PersonSpec> persons) {
    const auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    };
    std::sort(persons.begin(), persons.end(),
              [&](const build::PersonSpec& a, const build::PersonSpec& b) {
                  return lower(a.fileName) < lower(b.fileName);
              });
    return persons;
}

std::string familyOf(const build::GameSpec& game, const build::PersonSpec& p) {
    for (const build::FamilySpec& family : game.families) {
        if (std::find(family.members.begin(), family.members.end(), p.key) != family.members.end())
            return family.name;
    }
    return {};
}

class StartupTest : public ::testing::Test {
  protected:
    // Writes `game` into a folder of the temporary one and returns the folder.
    fs::path writeGame(const build::GameSpec& game, const std::string& name = "game") {
        const fs::path folder = temp_.path() / name;
        build::writeGameFolder(build::build(game), folder);
        return folder;
    }
    fs::path emptyFolder(const std::string& name) {
        const fs::path folder = temp_.path() / name;
        fs::create_directories(folder);
        return folder;
    }
    std::unique_ptr<MainWindow> start(const StartOptions& options = {}) {
        std::unique_ptr<MainWindow> window = startUp(services_, options, splash_);
        QApplication::processEvents();
        return window;
    }
    void remember(const std::string& folder) {
        settings_.values[{"KWAL", "Conf", "PathOfTheVeks"}] = folder;
    }
    // The registry holds the game at a Windows path that maps onto `folder`.
    void registerGame(const fs::path& folder) {
        registry_.setString("Software\\Norvo\\The Veks", "VEKS_DATA",
                            "C:\\Program Files\\Norvo\\The Veks");
        registry_.pathMap = {{"C:\\Program Files\\Norvo\\The Veks\\", asGamePath(folder)}};
    }
    static bool anyMainWindowShown() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<MainWindow*>(w) && w->isVisible())
                return true;
        }
        return false;
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

// ---------------------------------------------------------------------------------------------
// A start with a game folder named for the run.

TEST_F(StartupTest, StartShowsTheWindowLoadedWithTheGame) {
    const build::GameSpec game = build::demoGame();
    const fs::path folder = writeGame(game);
    StartOptions options;
    options.gameDir = folder.string();
    const std::unique_ptr<MainWindow> window = start(options);
    ASSERT_NE(window, nullptr);

    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(splash_.isVisible());
    EXPECT_EQ(window->gameFolder().string(), asGamePath(folder));
    EXPECT_TRUE(window->household()->isSaved());

    // Progress: six steps per listed file.
    const int files = static_cast<int>(game.persons.size());
    EXPECT_EQ(splash_.prgProgress->maximum(), 6 * files);
    EXPECT_EQ(splash_.prgProgress->value(), 6 * files);

    // One portrait per file in file order, then the placeholder.
    const std::vector<build::PersonSpec> ordered = inFileOrder(game.persons);
    ASSERT_EQ(window->faces().count(), files + 1);
    for (int k = 0; k < files; ++k) {
        EXPECT_EQ(window->faces().key(k + 1).toStdString(),
                  "ID=" + std::to_string(ordered[static_cast<std::size_t>(k)].id))
            << ordered[static_cast<std::size_t>(k)].fileName;
    }
    EXPECT_EQ(window->faces().key(files + 1), QStringLiteral("Unknown"));

    // One picker entry per accepted file, showing that file's portrait.
    std::vector<std::pair<std::string, int>> expected;
    for (int k = 0; k < files; ++k) {
        const build::PersonSpec& p = ordered[static_cast<std::size_t>(k)];
        if (!p.omitAnchor) {
            const std::string family = familyOf(game, p);
            expected.emplace_back(family.empty() ? p.firstName : family + ", " + p.firstName,
                                  k + 1);
        }
    }
    std::vector<std::pair<std::string, int>> entries;
    for (int i = 1; i <= window->personView().picker()->count(); ++i) {
        entries.emplace_back(window->personView().picker()->entryText(i).toStdString(),
                             window->personView().picker()->entryPicture(i));
    }
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(qobject_cast<ImagePicker*>(window->element(QStringLiteral("imcJobIcon")))->count(),
              12);

    // The first person is on screen.
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(window->personView().picker()->selectedIndex(), 1);
    EXPECT_EQ(window->currentId(), ordered.front().id);
    EXPECT_EQ(gauge(*window, "prgNeat")->value(), ordered.front().neat / 100);
}

TEST_F(StartupTest, SplashShowsTheVersionWithoutLeadingZeros) {
    StartOptions options;
    options.gameDir = writeGame(cleanGame()).string();
    const std::unique_ptr<MainWindow> window = start(options);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(splash_.lblVersion->text(), versionText());
    static const QRegularExpression kVersion(
        QStringLiteral("^(0|[1-9][0-9]*)\\.(0|[1-9][0-9]*)\\.(0|[1-9][0-9]*)$"));
    EXPECT_TRUE(kVersion.match(versionText()).hasMatch()) << versionText().toStdString();
}

TEST_F(StartupTest, FirstPersonsValuesAppearInHundredsRoundedToEven) {
    const build::GameSpec game = cleanGame();
    StartOptions options;
    options.gameDir = writeGame(game).string();
    const std::unique_ptr<MainWindow> window = start(options);
    ASSERT_NE(window, nullptr);

    ASSERT_EQ(window->currentId(), 12);
    EXPECT_EQ(window->personView().picker()->text(), QStringLiteral("Orrin, Ann"));
    const std::vector<std::pair<const char*, int>> shown = {
        {"Neat", 2},      {"Outgoing", 4}, {"Active", 4},  {"Playful", 5},
        {"Nice", 10},     {"Cleaning", 0}, {"Cooking", 2}, {"Mechanical", 6},
        {"Charisma", 10}, {"Body", 0},     {"Logic", 7},   {"Creativity", 6},
    };
    for (const auto& [name, value] : shown) {
        EXPECT_EQ(gauge(*window, ("prg" + std::string(name)).c_str())->value(), value) << name;
    }
    EXPECT_EQ(gauge(*window, "prgPerf")->value(), 65);
}

TEST_F(StartupTest, PersonPickerHasTheFocusAfterStart) {
    StartOptions options;
    options.gameDir = writeGame(cleanGame()).string();
    const std::unique_ptr<MainWindow> window = start(options);
    ASSERT_NE(window, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(window->focusWidget(), window->personView().picker());
    EXPECT_EQ(QApplication::focusWidget(), window->personView().picker());
}

// ---------------------------------------------------------------------------------------------
// Finding the game folder.

TEST_F(StartupTest, GameFolderFromTheRegistry) {
    const fs::path folder = writeGame(cleanGame());
    registerGame(folder);
    remember(asGamePath(emptyFolder("elsewhere")));
    const std::unique_ptr<MainWindow> window = start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->gameFolder().string(), asGamePath(folder));
    EXPECT_TRUE(picker_.titles.empty());
    EXPECT_TRUE(settings_.writes.empty());
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(window->personView().picker()->count(), 2);
}

TEST_F(StartupTest, GameFolderRememberedFromAnEarlierRun) {
    const fs::path folder = writeGame(cleanGame());
    remember(folder.string());
    const std::unique_ptr<MainWindow> window = start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->gameFolder().string(), asGamePath(folder));
    EXPECT_TRUE(picker_.titles.empty());
    EXPECT_TRUE(settings_.writes.empty());
    EXPECT_EQ(window->personView().picker()->count(), 2);
}

TEST_F(StartupTest, GameFolderChosenInTheDialogIsRemembered) {
    const fs::path folder = writeGame(cleanGame());
    picker_.answers = {folder.string()};
    const std::unique_ptr<MainWindow> window = start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(picker_.titles, std::vector<std::string>{"Select the Veks Directory"});
    EXPECT_EQ(window->gameFolder().string(), asGamePath(folder));
    ASSERT_EQ(settings_.writes.size(), 1u);
    EXPECT_EQ(settings_.writes[0],
              std::make_tuple(std::string("KWAL"), std::string("Conf"),
                              std::string("PathOfTheVeks"), asGamePath(folder)));
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(StartupTest, WrongFolderInTheDialogAsksAgainOnRetry) {
    const fs::path folder = writeGame(cleanGame());
    const fs::path wrong = emptyFolder("wrong");
    picker_.answers = {wrong.string(), folder.string()};
    messages_.answers = {MessageAnswer::Retry};
    const std::unique_ptr<MainWindow> window = start();
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(picker_.titles.size(), 2u);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, "You selected a wrong dir!");
    EXPECT_EQ(messages_.shown[0].buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(window->gameFolder().string(), asGamePath(folder));
    ASSERT_EQ(settings_.writes.size(), 1u);
    EXPECT_EQ(std::get<3>(settings_.writes[0]), asGamePath(folder));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(StartupTest, CancelInTheDialogEndsWithoutAWindow) {
    picker_.answers = {std::nullopt};
    messages_.answers = {MessageAnswer::Cancel};
    const std::unique_ptr<MainWindow> window = start();
    EXPECT_EQ(window, nullptr);
    EXPECT_FALSE(anyMainWindowShown());
    EXPECT_TRUE(settings_.writes.empty());
    EXPECT_EQ(picker_.titles.size(), 1u);

    // A wrong folder followed by Cancel ends the same way.
    picker_.answers = {emptyFolder("wrong").string()};
    messages_.answers = {MessageAnswer::Cancel};
    EXPECT_EQ(start(), nullptr);
    EXPECT_FALSE(anyMainWindowShown());
    EXPECT_TRUE(settings_.writes.empty());
}

TEST_F(StartupTest, FolderNamedForTheRunIsUsedAndNeverRemembered) {
    const fs::path folder = writeGame(cleanGame(), "named");
    registerGame(writeGame(build::demoGame(), "registered"));
    StartOptions options;
    options.gameDir = folder.string();
    const std::unique_ptr<MainWindow> window = start(options);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->gameFolder().string(), asGamePath(folder));
    EXPECT_EQ(window->personView().picker()->count(), 2);
    EXPECT_TRUE(picker_.titles.empty());
    EXPECT_TRUE(settings_.writes.empty());
}

TEST_F(StartupTest, FolderNamedForTheRunWithoutTheGameFallsBackToTheDialog) {
    const fs::path named = emptyFolder("no-game-here");
    const fs::path chosen = writeGame(cleanGame(), "chosen");
    registerGame(writeGame(build::demoGame(), "registered"));
    picker_.answers = {chosen.string()};
    StartOptions options;
    options.gameDir = named.string();
    const std::unique_ptr<MainWindow> window = start(options);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(picker_.titles.size(), 1u);
    EXPECT_EQ(window->gameFolder().string(), asGamePath(chosen));
    for (const auto& write : settings_.writes) {
        EXPECT_NE(std::get<3>(write), named.string());
        EXPECT_NE(std::get<3>(write), asGamePath(named));
    }
    // Only the folder picked in the dialog is remembered.
    ASSERT_EQ(settings_.writes.size(), 1u);
    EXPECT_EQ(std::get<3>(settings_.writes[0]), asGamePath(chosen));
}

TEST_F(StartupTest, FolderNamedForTheRunWithoutTheGameAndCancelIsNeverRemembered) {
    const fs::path named = emptyFolder("no-game-here");
    StartOptions options;
    options.gameDir = named.string();
    EXPECT_EQ(start(options), nullptr);
    EXPECT_EQ(picker_.titles.size(), 1u);
    EXPECT_TRUE(settings_.writes.empty());
}

// ---------------------------------------------------------------------------------------------
// Game folders the loader objects to.

TEST_F(StartupTest, RejectedFileIsReportedOnceAndLeftOutOfThePicker) {
    StartOptions options;
    options.gameDir = writeGame(build::demoGame()).string();
    const std::unique_ptr<MainWindow> window = start(options);
    ASSERT_NE(window, nullptr);

    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text,
              "Error on trying to read the file Wisp.iff\nThe editor will ignore this file");
    EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(messages_.shown[0].buttons, MessageButtons::Ok);
    for (int i = 1; i <= window->personView().picker()->count(); ++i)
        EXPECT_FALSE(window->personView().picker()->entryText(i).contains(QStringLiteral("Wisp")));
}

TEST_F(StartupTest, EmptyCharactersFolderEndsWithNoVeksDetected) {
    const fs::path folder = writeGame(cleanGame());
    for (const auto& entry : fs::directory_iterator(folder / "UserData" / "Characters"))
        fs::remove(entry.path());
    StartOptions options;
    options.gameDir = folder.string();
    EXPECT_EQ(start(options), nullptr);
    EXPECT_FALSE(anyMainWindowShown());
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, "No veks detected!");
}

TEST_F(StartupTest, MissingCharactersFolderEndsNamingTheFolder) {
    const fs::path folder = writeGame(cleanGame());
    fs::remove_all(folder / "UserData" / "Characters");
    StartOptions options;
    options.gameDir = folder.string();
    EXPECT_EQ(start(options), nullptr);
    EXPECT_FALSE(anyMainWindowShown());
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_NE(messages_.shown[0].text.find((folder / "UserData" / "Characters").string()),
              std::string::npos)
        << messages_.shown[0].text;
}

// ---------------------------------------------------------------------------------------------
// Leaving.

class ExitTest : public StartupTest {
  protected:
    void SetUp() override {
        StartOptions options;
        options.gameDir = writeGame(cleanGame()).string();
        window_ = start(options);
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(messages_.shown.empty());
        QObject::connect(window_.get(), &MainWindow::exitConfirmed, [this] { ++exits_; });
    }
    void clickExit() {
        const QPointF at = window_->element(QStringLiteral("btnExit"))->geometry().center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, at, window_->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(window_->windowHandle(), &event);
        }
    }
    static constexpr const char* kLongQuestion =
        "Are you sure ?\n(you will lose any changes you have made)";

    std::unique_ptr<MainWindow> window_;
    int exits_ = 0;
};

TEST_F(ExitTest, AskExitWarnsOfUnsavedChanges) {
    window_->household()->setAttribute(12, Attribute::Neat, 0);
    messages_.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(window_->askExit());
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, kLongQuestion);
    EXPECT_EQ(messages_.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(messages_.shown[0].buttons, MessageButtons::YesNo);

    messages_.answers = {MessageAnswer::No};
    EXPECT_FALSE(window_->askExit());

    window_->undo();
    messages_.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(window_->askExit());
    ASSERT_EQ(messages_.shown.size(), 3u);
    EXPECT_EQ(messages_.shown[2].text, "Are you sure ?");
    EXPECT_EQ(messages_.shown[2].icon, MessageIcon::Question);
    EXPECT_EQ(messages_.shown[2].buttons, MessageButtons::YesNo);
    EXPECT_EQ(exits_, 0);
}

TEST_F(ExitTest, ExitButtonAsksAndLeavesOnlyOnYes) {
    window_->household()->setAttribute(12, Attribute::Neat, 0);
    messages_.answers = {MessageAnswer::No};
    clickExit();
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, kLongQuestion);
    EXPECT_EQ(exits_, 0);
    EXPECT_TRUE(window_->isVisible());

    window_->undo();
    messages_.answers = {MessageAnswer::Yes};
    clickExit();
    ASSERT_EQ(messages_.shown.size(), 2u);
    EXPECT_EQ(messages_.shown[1].text, "Are you sure ?");
    EXPECT_EQ(exits_, 1);
}

TEST_F(ExitTest, ClosingTheWindowAnsweredNoKeepsItAndItsEdits) {
    // An edit: a click near the right end of the first bar.
    const QRect bar = gauge(*window_, "prgNeat")->geometry();
    const QPointF at(bar.left() + 58, bar.center().y());
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, at, window_->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(window_->windowHandle(), &event);
    }
    ASSERT_EQ(window_->household()->person(12).Neat, 1000);
    const Persons before = window_->household()->persons();

    messages_.answers = {MessageAnswer::No};
    EXPECT_FALSE(window_->close());
    QApplication::processEvents();
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, kLongQuestion);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(exits_, 0);
    EXPECT_TRUE(window_->household()->persons() == before);
    EXPECT_EQ(gauge(*window_, "prgNeat")->value(), 10);
}

TEST_F(ExitTest, ClosingTheWindowAnsweredYesClosesItOnce) {
    messages_.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(window_->close());
    QApplication::processEvents();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(exits_, 1);
    EXPECT_EQ(messages_.shown.size(), 1u);
}

}  // namespace
}  // namespace vondrel
