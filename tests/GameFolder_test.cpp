#include "gamedata/GameFolder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

constexpr char kSep = static_cast<char>(fs::path::preferred_separator);

// One run of the discovery. Folders are named by their last component: "game" and "lower"
// hold the game (VEKS.EXE, veks.exe), "empty" holds nothing, "exeFolder" a folder named
// VEKS.EXE, "gone" does not exist. The registry's "C:\<name>" stands for that folder; a
// value of nullptr is absent. A pick of "" cancels the dialog; the boxes are answered R(etry)
// or C(ancel) in turn. The dialog is shown once for each pick.
TEST(GameFolderDiscovery, RegistryThenRememberedThenTheFolderDialog) {
    const std::string wrong = "You selected a wrong dir!";
    const std::string unwritten = "Could not write the settings file f (no)";
    const struct {
        const char *what, *native, *wow64;
        std::string remembered;
        Strings picks;
        std::string answers, writeFailure, found, remembers;
        Strings shown;
    } cases[] = {
        // clang-format off
        {"registry first", "C:\\game", nullptr, "lower", {}, "", "", "game", "", {}},
        {"with its backslash", "C:\\game\\", nullptr, "", {}, "", "", "game", "", {}},
        {"32-bit key", nullptr, "C:\\game", "", {}, "", "", "game", "", {}},
        {"empty native value", "", "C:\\game", "", {}, "", "", "game", "", {}},
        {"stale native key", "C:\\empty", "C:\\game", "", {}, "", "", "game", "", {}},
        {"any letter case", "C:\\lower", nullptr, "", {}, "", "", "lower", "", {}},
        {"remembered", "C:\\empty", nullptr, "game", {}, "", "", "game", "", {}},
        {"deleted remembered", nullptr, nullptr, "gone", {"game"}, "", "", "game", "game", {}},
        {"no write", nullptr, nullptr, "", {"game"}, "", "f (no)", "game", "", {unwritten}},
        {"cancel, retry", nullptr, nullptr, "", {"", "game"}, "R", "", "game", "game", {wrong}},
        {"cancel, cancel", nullptr, nullptr, "", {""}, "C", "", "", "", {wrong}},
        {"no game", nullptr, nullptr, "", {"empty", "exeFolder", "game"}, "RR", "", "game", "game",
         {wrong, wrong}},
        // clang-format on
    };
    testing::TempDir dir;
    for (const char* name : {"game", "lower", "empty", "exeFolder/VEKS.EXE"})
        fs::create_directories(dir.path() / name);
    std::ofstream(dir.path() / "game" / "VEKS.EXE") << "MZ";
    std::ofstream(dir.path() / "lower" / "veks.exe") << "MZ";
    const auto folder = [&](const std::string& name) { return (dir.path() / name).string(); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedRegistry registry;
        ScriptedSettings settings;
        ScriptedFolderPicker picker;
        ScriptedMessageBoxes messages;
        for (const char* name : {"game", "lower", "empty"})
            registry.pathMap.emplace_back("C:\\" + std::string(name) + "\\", folder(name) + kSep);
        if (c.native)
            registry.setString("Software\\Norvo\\The Veks", "VEKS_DATA", c.native);
        if (c.wow64)
            registry.setString("Software\\Wow6432Node\\Norvo\\The Veks", "VEKS_DATA", c.wow64);
        if (!c.remembered.empty())
            settings.values[{"KWAL", "Conf", "PathOfTheVeks"}] = folder(c.remembered);
        for (const std::string& pick : c.picks)
            picker.answers.push_back(pick.empty() ? std::nullopt : std::optional(folder(pick)));
        for (const char answer : c.answers)
            messages.answers.push_back(answer == 'R' ? MessageAnswer::Retry
                                                     : MessageAnswer::Cancel);
        settings.writeFailure = c.writeFailure;
        DiscoveryServices services{registry, settings, picker, messages};

        const std::optional<std::string> found = discoverGamePath(services);
        EXPECT_EQ(found, c.found.empty() ? std::nullopt : std::optional(folder(c.found) + kSep));
        EXPECT_EQ(picker.titles, Strings(c.picks.size(), "Select the Veks Directory"));
        using Write = std::tuple<std::string, std::string, std::string, std::string>;
        std::vector<Write> remembers;
        if (!c.remembers.empty())
            remembers.emplace_back("KWAL", "Conf", "PathOfTheVeks", folder(c.remembers) + kSep);
        EXPECT_EQ(settings.writes, remembers);
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
