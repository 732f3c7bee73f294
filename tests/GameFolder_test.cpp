#include "gamedata/GameFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

constexpr char kSep = static_cast<char>(fs::path::preferred_separator);

// A folder that holds the game's executable under `executable` (or nothing, when empty).
class GameDir {
  public:
    explicit GameDir(const std::string& executable = std::string(kGameExecutable)) {
        if (!executable.empty())
            std::ofstream(dir_.path() / executable, std::ios::binary) << "MZ";
    }
    // The folder as the folder dialog hands it out: no trailing separator.
    std::string picked() const { return dir_.path().string(); }
    std::string withSeparator() const { return picked() + kSep; }
    const fs::path& path() const { return dir_.path(); }

  private:
    TempDir dir_;
};

// The scripted registry, also recording what it was asked to convert.
class RecordingRegistry : public ScriptedRegistry {
  public:
    mutable std::vector<std::string> converted;
    std::string toLocalPath(std::string_view registryPath) const override {
        converted.emplace_back(registryPath);
        return ScriptedRegistry::toLocalPath(registryPath);
    }
};

struct Fixture {
    RecordingRegistry registry;
    ScriptedSettings settings;
    ScriptedFolderPicker picker;
    ScriptedMessageBoxes messages;
    DiscoveryServices services{registry, settings, picker, messages};

    // The registry's native key names `windowsFolder`, which stands for `local`.
    void installedAt(const std::string& windowsFolder, const GameDir& local,
                     std::string_view key = kGameKey) {
        registry.setString(std::string(key), std::string(kGameValue), windowsFolder);
        registry.pathMap.emplace_back("C:\\Veks\\", local.withSeparator());
    }
    void remember(const std::string& folder) {
        settings.values[{std::string(kSettingsApplication), std::string(kSettingsSection),
                         std::string(kSettingsKey)}] = folder;
    }
    std::string remembered() {
        return settings.read(kSettingsApplication, kSettingsSection, kSettingsKey, "(unset)");
    }
};

using Write = std::tuple<std::string, std::string, std::string, std::string>;

Write settingWrite(const std::string& value) {
    return {std::string(kSettingsApplication), std::string(kSettingsSection),
            std::string(kSettingsKey), value};
}

TEST(GameFolderDiscovery, TakesTheRegistryFolderFirstAndWritesNothing) {
    GameDir installed, rememberedDir, pickable;
    Fixture f;
    f.installedAt("C:\\Veks", installed);
    f.remember(rememberedDir.withSeparator());
    f.picker.answers.push_back(pickable.picked());

    EXPECT_EQ(discoverGamePath(f.services), installed.withSeparator());
    EXPECT_TRUE(f.settings.writes.empty());
    EXPECT_EQ(f.remembered(), rememberedDir.withSeparator());
    EXPECT_TRUE(f.picker.titles.empty());
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(GameFolderDiscovery, AddsTheMissingTrailingBackslashToTheRegistryValue) {
    GameDir installed;
    for (const std::string value : {"C:\\Veks", "C:\\Veks\\"}) {
        SCOPED_TRACE(value);
        Fixture f;
        f.installedAt(value, installed);
        EXPECT_EQ(GetGamePath(f.registry), installed.withSeparator());
        EXPECT_EQ(f.registry.converted, std::vector<std::string>{"C:\\Veks\\"});
    }
}

TEST(GameFolderDiscovery, FallsBackToTheWow64KeyWhenTheNativeValueIsAbsentOrEmpty) {
    GameDir installed;
    {
        Fixture f;
        f.installedAt("C:\\Veks", installed, kGameKeyWow64);
        EXPECT_EQ(discoverGamePath(f.services), installed.withSeparator());
        const std::vector<std::pair<std::string, std::string>> reads{
            {std::string(kGameKey), std::string(kGameValue)},
            {std::string(kGameKeyWow64), std::string(kGameValue)}};
        EXPECT_EQ(f.registry.reads, reads);
    }
    {
        Fixture f;
        f.registry.setString(std::string(kGameKey), std::string(kGameValue), "");
        f.installedAt("C:\\Veks", installed, kGameKeyWow64);
        EXPECT_EQ(discoverGamePath(f.services), installed.withSeparator());
    }
}

TEST(GameFolderDiscovery, StaleNativeKeyDoesNotHideTheWow64One) {
    GameDir installed;
    GameDir stale("");
    Fixture f;
    f.registry.setString(std::string(kGameKey), std::string(kGameValue), "D:\\Old");
    f.registry.pathMap.emplace_back("D:\\Old\\", stale.withSeparator());
    f.installedAt("C:\\Veks", installed, kGameKeyWow64);
    EXPECT_EQ(GetGamePath(f.registry), installed.withSeparator());

    // With neither folder holding the game the native one is reported (and then refused).
    Fixture g;
    g.registry.setString(std::string(kGameKey), std::string(kGameValue), "D:\\Old");
    g.registry.pathMap.emplace_back("D:\\Old\\", stale.withSeparator());
    GameDir empty("");
    g.registry.setString(std::string(kGameKeyWow64), std::string(kGameValue), "C:\\Veks");
    g.registry.pathMap.emplace_back("C:\\Veks\\", empty.withSeparator());
    EXPECT_EQ(GetGamePath(g.registry), stale.withSeparator());
}

TEST(GameFolderDiscovery, EmptyRegistryValuesCountAsAbsent) {
    GameDir rememberedDir;
    Fixture f;
    f.registry.setString(std::string(kGameKey), std::string(kGameValue), "");
    f.registry.setString(std::string(kGameKeyWow64), std::string(kGameValue), "");
    EXPECT_EQ(GetGamePath(f.registry), kNotFound);
    EXPECT_TRUE(f.registry.converted.empty());

    f.remember(rememberedDir.withSeparator());
    EXPECT_EQ(discoverGamePath(f.services), rememberedDir.withSeparator());
}

TEST(GameFolderDiscovery, UsesTheRememberedFolderWhenTheRegistryOneLacksTheGame) {
    GameDir empty(""), rememberedDir;
    Fixture f;
    f.installedAt("C:\\Veks", empty);
    // Remembered without a trailing separator: it is handed out with one.
    f.remember(rememberedDir.picked());

    EXPECT_EQ(discoverGamePath(f.services), rememberedDir.withSeparator());
    EXPECT_TRUE(f.settings.writes.empty());
    EXPECT_TRUE(f.picker.titles.empty());
}

TEST(GameFolderDiscovery, AskedForADeletedRememberedFolderRemembersThePickedOne) {
    std::string deleted;
    {
        GameDir gone;
        deleted = gone.withSeparator();
    }
    GameDir pickable;
    Fixture f;
    f.remember(deleted);
    f.picker.answers.push_back(pickable.picked());

    EXPECT_EQ(discoverGamePath(f.services), pickable.withSeparator());
    EXPECT_EQ(f.picker.titles, std::vector<std::string>{"Select the Veks Directory"});
    EXPECT_EQ(f.settings.writes, std::vector<Write>{settingWrite(pickable.withSeparator())});
    EXPECT_EQ(f.remembered(), pickable.withSeparator());
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(GameFolderDiscovery, ASettingsWriteThatFailsIsReportedAndThePickedFolderUsed) {
    GameDir pickable;
    Fixture f;
    f.settings.writeFailure = "/home/u/.config/KWAL.conf (it cannot be written)";
    f.picker.answers.push_back(pickable.picked());

    EXPECT_EQ(discoverGamePath(f.services), pickable.withSeparator());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Could not write the settings file /home/u/.config/KWAL.conf (it cannot be written)");
    EXPECT_EQ(f.messages.shown[0].buttons, MessageButtons::Ok);
}

TEST(GameFolderDiscovery, CancelInTheDialogOffersRetry) {
    GameDir pickable;
    Fixture f;
    f.picker.answers = {std::nullopt, pickable.picked()};
    f.messages.answers = {MessageAnswer::Retry};

    EXPECT_EQ(discoverGamePath(f.services), pickable.withSeparator());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, "You selected a wrong dir!");
    EXPECT_EQ(f.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(f.messages.shown[0].buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(f.picker.titles.size(), 2u);
    EXPECT_EQ(f.settings.writes, std::vector<Write>{settingWrite(pickable.withSeparator())});
}

TEST(GameFolderDiscovery, CancelInTheDialogAndThenInTheBoxGivesUp) {
    GameDir pickable;
    Fixture f;
    f.picker.answers = {std::nullopt, pickable.picked()};
    f.messages.answers = {MessageAnswer::Cancel};

    EXPECT_EQ(discoverGamePath(f.services), std::nullopt);
    EXPECT_EQ(f.picker.titles.size(), 1u);
    EXPECT_EQ(f.messages.shown.size(), 1u);
    EXPECT_TRUE(f.settings.writes.empty());
}

TEST(GameFolderDiscovery, APickedFolderWithoutTheGameIsAWrongDir) {
    GameDir withoutGame(""), folderNamedLikeTheGame(""), pickable;
    fs::create_directory(folderNamedLikeTheGame.path() / kGameExecutable);
    Fixture f;
    f.picker.answers = {withoutGame.picked(), folderNamedLikeTheGame.picked(), pickable.picked()};
    f.messages.answers = {MessageAnswer::Retry, MessageAnswer::Retry};

    EXPECT_EQ(discoverGamePath(f.services), pickable.withSeparator());
    EXPECT_EQ(f.picker.titles.size(), 3u);
    EXPECT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.settings.writes, std::vector<Write>{settingWrite(pickable.withSeparator())});
}

TEST(GameFolderDiscovery, FindsTheExecutableInAnyLetterCase) {
    GameDir lower("veks.exe"), mixed("Veks.Exe");
    EXPECT_TRUE(holdsGame(lower.picked()));
    EXPECT_TRUE(holdsGame(mixed.withSeparator()));

    Fixture f;
    f.installedAt("C:\\Veks", lower);
    EXPECT_EQ(discoverGamePath(f.services), lower.withSeparator());
}

TEST(GameFolderDiscovery, OnlyAFileCountsAsTheExecutable) {
    GameDir none(""), folder("");
    fs::create_directory(folder.path() / kGameExecutable);
    EXPECT_FALSE(holdsGame(none.picked()));
    EXPECT_FALSE(holdsGame(folder.picked()));
    EXPECT_FALSE(holdsGame(""));
}

TEST(GameFolderDiscovery, AddsExactlyOneTrailingSeparator) {
    const std::string sep(1, kSep);
    EXPECT_EQ(withTrailingSeparator("games"), "games" + sep);
    EXPECT_EQ(withTrailingSeparator("games" + sep), "games" + sep);
    EXPECT_EQ(withTrailingSeparator("games" + sep + sep + sep), "games" + sep);
    EXPECT_EQ(withTrailingSeparator("games/"), "games/");
    EXPECT_EQ(withTrailingSeparator(sep), sep);
}

TEST(RegistryValueText, StringsAreCutAtTheirFirstNul) {
    EXPECT_EQ(QueryRegValue(RegistryValue{RegistryType::String, "C:\\Veks"}), "C:\\Veks");
    EXPECT_EQ(QueryRegValue(RegistryValue{RegistryType::String, std::string("C:\\V\0junk", 9)}),
              "C:\\V");
    EXPECT_EQ(QueryRegValue(RegistryValue{RegistryType::String, ""}), "");
}

TEST(RegistryValueText, BinaryIsItsFirstTwoBytesAsSignedLittleEndian) {
    const auto binary = [](std::string bytes) {
        return QueryRegValue(RegistryValue{RegistryType::Binary, std::move(bytes)});
    };
    EXPECT_EQ(binary("\x34\x12"), "4660");
    EXPECT_EQ(binary("\x34\x12\x56\x78"), "4660");
    EXPECT_EQ(binary("\xff\xff"), "-1");
    EXPECT_EQ(binary(std::string("\x00\x80", 2)), "-32768");
    EXPECT_EQ(binary("\xff\x7f"), "32767");
    EXPECT_EQ(binary("\x05"), "");
    EXPECT_EQ(binary(""), "");
}

TEST(RegistryValueText, OtherTypesAndNothingAreEmpty) {
    EXPECT_EQ(QueryRegValue(RegistryValue{RegistryType::Dword, std::string("\x01\0\0\0", 4)}), "");
    EXPECT_EQ(QueryRegValue(RegistryValue{RegistryType::ExpandString, "C:\\Veks"}), "");
    EXPECT_EQ(QueryRegValue(RegistryValue{RegistryType::Other, "C:\\Veks"}), "");
    EXPECT_EQ(QueryRegValue(std::nullopt), "");
}

TEST(RegistryValueText, ANumericGameValueIsNoFolder) {
    ScriptedRegistry registry;
    registry.values[{std::string(kGameKey), std::string(kGameValue)}] = {RegistryType::Dword,
                                                                         "\x01\x02\x03\x04"};
    EXPECT_EQ(GetRegValue(registry, kGameKey, kGameValue), "");
    EXPECT_EQ(GetGamePath(registry), kNotFound);

    registry.values[{std::string(kGameKey), std::string(kGameValue)}] = {RegistryType::Binary,
                                                                         "\x39\x30"};
    EXPECT_EQ(GetRegValue(registry, kGameKey, kGameValue), "12345");
}

}  // namespace
}  // namespace vondrel
