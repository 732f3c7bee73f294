#include "gamedata/GameFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

constexpr char kSep = static_cast<char>(fs::path::preferred_separator);
const std::string kNative = "Software\\Norvo\\The Veks";
const std::string kWow64 = "Software\\Wow6432Node\\Norvo\\The Veks";

// One run of the discovery. Folders are named by their last component: "game" and "lower"
// hold the game (VEKS.EXE, veks.exe), "empty" holds nothing, "exeFolder" a folder named
// VEKS.EXE, "gone" does not exist. The registry's "C:\<name>" stands for that folder.
struct DiscoveryCase {
    const char* what;
    std::optional<RegistryValue> native, wow64;
    std::string remembered;
    std::vector<std::optional<std::string>> picks;
    std::deque<MessageAnswer> answers;
    std::string writeFailure;
    std::optional<std::string> expected;
    std::size_t pickerCalls;
    Strings remembers;
    Strings shown;
};

RegistryValue sz(const std::string& text) {
    return {RegistryType::String, text};
}

TEST(GameFolderDiscovery, RegistryThenRememberedThenTheFolderDialog) {
    const std::string wrong = "You selected a wrong dir!";
    const DiscoveryCase cases[] = {
        {"registry first", sz("C:\\game"), {}, "lower", {"empty"}, {}, "", "game", 0, {}, {}},
        {"value with its backslash", sz("C:\\game\\"), {}, "", {}, {}, "", "game", 0, {}, {}},
        {"32-bit key", {}, sz("C:\\game"), "", {}, {}, "", "game", 0, {}, {}},
        {"empty native value", sz(""), sz("C:\\game"), "", {}, {}, "", "game", 0, {}, {}},
        {"stale native key", sz("C:\\empty"), sz("C:\\game"), "", {}, {}, "", "game", 0, {}, {}},
        {"any letter case", sz("C:\\lower"), {}, "", {}, {}, "", "lower", 0, {}, {}},
        {"a number is no folder",
         RegistryValue{RegistryType::Dword, "\1\2\3\4"},
         {},
         "",
         {},
         {},
         "",
         std::nullopt,
         1,
         {},
         {wrong}},
        {"remembered", sz("C:\\empty"), {}, "game", {}, {}, "", "game", 0, {}, {}},
        {"deleted remembered folder", {}, {}, "gone", {"game"}, {}, "", "game", 1, {"game"}, {}},
        {"settings not written",
         {},
         {},
         "",
         {"game"},
         {},
         "/home/u/.config/KWAL.conf (no)",
         "game",
         1,
         {},
         {"Could not write the settings file /home/u/.config/KWAL.conf (no)"}},
        {"cancel, retry",
         {},
         {},
         "",
         {std::nullopt, "game"},
         {MessageAnswer::Retry},
         "",
         "game",
         2,
         {"game"},
         {wrong}},
        {"cancel, cancel",
         {},
         {},
         "",
         {std::nullopt, "game"},
         {MessageAnswer::Cancel},
         "",
         std::nullopt,
         1,
         {},
         {wrong}},
        {"folders without the game",
         {},
         {},
         "",
         {"empty", "exeFolder", "game"},
         {MessageAnswer::Retry, MessageAnswer::Retry},
         "",
         "game",
         3,
         {"game"},
         {wrong, wrong}},
    };
    testing::TempDir dir;
    for (const char* name : {"game", "lower", "empty", "exeFolder/VEKS.EXE"})
        fs::create_directories(dir.path() / name);
    std::ofstream(dir.path() / "game" / "VEKS.EXE") << "MZ";
    std::ofstream(dir.path() / "lower" / "veks.exe") << "MZ";
    const auto folder = [&](const std::string& name) { return (dir.path() / name).string(); };
    for (const DiscoveryCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedRegistry registry;
        ScriptedSettings settings;
        ScriptedFolderPicker picker;
        ScriptedMessageBoxes messages;
        for (const char* name : {"game", "lower", "empty"})
            registry.pathMap.emplace_back("C:\\" + std::string(name) + "\\", folder(name) + kSep);
        if (c.native)
            registry.values[{kNative, "VEKS_DATA"}] = *c.native;
        if (c.wow64)
            registry.values[{kWow64, "VEKS_DATA"}] = *c.wow64;
        if (!c.remembered.empty())
            settings.values[{"KWAL", "Conf", "PathOfTheVeks"}] = folder(c.remembered);
        for (const auto& pick : c.picks)
            picker.answers.push_back(pick ? std::optional(folder(*pick)) : std::nullopt);
        messages.answers = c.answers;
        settings.writeFailure = c.writeFailure;
        DiscoveryServices services{registry, settings, picker, messages};

        const std::optional<std::string> found = discoverGamePath(services);
        EXPECT_EQ(found, c.expected ? std::optional(folder(*c.expected) + kSep) : std::nullopt);
        EXPECT_EQ(picker.titles, Strings(c.pickerCalls, "Select the Veks Directory"));
        Strings remembers;
        for (const auto& [app, section, key, value] : settings.writes) {
            EXPECT_EQ(app + "/" + section + "/" + key, "KWAL/Conf/PathOfTheVeks");
            remembers.push_back(value);
        }
        Strings expectedRemembers;
        for (const std::string& name : c.remembers)
            expectedRemembers.push_back(folder(name) + kSep);
        EXPECT_EQ(remembers, expectedRemembers);
        Strings shown;
        for (const ScriptedMessageBoxes::Shown& box : messages.shown) {
            shown.push_back(box.text);
            EXPECT_EQ(box.buttons,
                      box.text == wrong ? MessageButtons::RetryCancel : MessageButtons::Ok);
        }
        EXPECT_EQ(shown, c.shown);
    }
}

TEST(GameFolderDiscovery, AddsExactlyOneTrailingSeparator) {
    const std::string s(1, kSep);
    EXPECT_EQ(withTrailingSeparator("games"), "games" + s);
    EXPECT_EQ(withTrailingSeparator("games" + s + s + s), "games" + s);
    EXPECT_EQ(withTrailingSeparator("games/"), "games/");
    EXPECT_EQ(withTrailingSeparator(s), s);
}

TEST(RegistryValueText, StringsUpToTheirNulAndBinaryAsItsFirstTwoBytesSigned) {
    const std::pair<RegistryValue, std::string> cases[] = {
        {{RegistryType::String, std::string("C:\\V\0junk", 9)}, "C:\\V"},
        {{RegistryType::Binary, "\x34\x12\x56"}, "4660"},
        {{RegistryType::Binary, "\xff\xff"}, "-1"},
        {{RegistryType::Binary, std::string("\x00\x80", 2)}, "-32768"},
        {{RegistryType::Binary, "\x05"}, ""},
        {{RegistryType::Dword, std::string("\x01\0\0\0", 4)}, ""},
        {{RegistryType::ExpandString, "C:\\Veks"}, ""},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(QueryRegValue(value), text) << value.data;
    EXPECT_EQ(QueryRegValue(std::nullopt), "");
}

}  // namespace
}  // namespace vondrel
