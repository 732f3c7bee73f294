// The core against the real Win32 API: the registry through WindowsRegistry and a game
// folder whose path and file names are not ASCII.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Windows.h"

#include "base/FileIO.h"
#include "editing/Backups.h"
#include "editing/Household.h"
#include "gamedata/GameFolder.h"
#include "gamedata/PersonLoader.h"
#include "platform/RunningGame.h"
#include "platform/WindowsRegistry.h"
#include "support/Games.h"
#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;

// The test's own UTF-16 to UTF-8, so expected texts do not come from the code under test.
std::string utf8(const std::wstring& wide) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// Folders as a player's machine may have them: a user name and a game folder beyond
// ASCII, one of them beyond the ANSI code page too.
const std::wstring kZoe = L"Zo\u00EB\\Die Veks";
const std::wstring kPyotr = L"\u041F\u0451\u0442\u0440\\Veks";

// The game's registry keys, written as the installers write them: the 64-bit view for a
// native install, the 32-bit view (Wow6432Node) for a 32-bit one. Removed again at the end.
class ScratchRegistry {
  public:
    ~ScratchRegistry() {
        for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            HKEY software = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | view,
                              &software) == ERROR_SUCCESS) {
                RegDeleteTreeW(software, L"Norvo");
                RegCloseKey(software);
            }
        }
    }
    void set(REGSAM view, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Norvo\\The Veks", 0, nullptr, 0,
                                  KEY_SET_VALUE | view, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, L"VEKS_DATA", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void setText(REGSAM view, const std::wstring& text, bool withNul = true) {
        set(view, REG_SZ, text.c_str(),
            static_cast<DWORD>((text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t)));
    }
};

// Writing HKEY_LOCAL_MACHINE is only for a throw-away Wine prefix, which the Windows test
// script makes and announces.
bool scratchRegistry() {
    const char* flag = std::getenv("VONDREL_SCRATCH_REGISTRY");
    return flag != nullptr && std::string(flag) == "1";
}

struct RegistryCase {
    const char* what;
    std::optional<std::wstring> native;  // REG_SZ in the 64-bit view, relative to the root
    std::optional<std::wstring> wow64;   // REG_SZ in the 32-bit view
    bool nativeIsBinary = false;         // the 64-bit value is REG_BINARY 34 12 instead
    bool withNul = true;
    std::wstring expected;  // relative to the root, without the trailing backslash
};

TEST(WindowsRegistry, FindsTheGameThroughEitherViewWhateverThePath) {
    if (!scratchRegistry())
        GTEST_SKIP() << "set VONDREL_SCRATCH_REGISTRY=1 in a throw-away Wine prefix";
    const std::vector<RegistryCase> cases = {
        {"native key, non-ASCII user name", kZoe, std::nullopt, false, true, kZoe},
        {"native key without its NUL", kPyotr, std::nullopt, false, false, kPyotr},
        {"32-bit key only, beyond ANSI", std::nullopt, kPyotr, false, true, kPyotr},
        {"stale native key", L"Stale", kZoe, false, true, kZoe},
        {"binary native value", std::nullopt, kPyotr, true, true, kPyotr},
    };
    testing::TempDir root;
    for (const std::wstring& game : {kZoe, kPyotr}) {
        fs::create_directories(root.path() / game);
        FILE* exe = _wfopen((root.path() / game / L"veks.exe").c_str(), L"wb");
        ASSERT_NE(exe, nullptr);
        std::fclose(exe);
    }
    fs::create_directories(root.path() / L"Stale");
    const std::wstring rootText = root.path().native() + L"\\";

    for (const RegistryCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchRegistry keys;
        if (c.native)
            keys.setText(KEY_WOW64_64KEY, rootText + *c.native, c.withNul);
        if (c.nativeIsBinary) {
            const BYTE bytes[] = {0x34, 0x12};
            keys.set(KEY_WOW64_64KEY, REG_BINARY, bytes, sizeof bytes);
        }
        if (c.wow64)
            keys.setText(KEY_WOW64_32KEY, rootText + *c.wow64, c.withNul);

        WindowsRegistry registry;
        ScriptedSettings settings;
        ScriptedFolderPicker picker;
        ScriptedMessageBoxes messages;
        DiscoveryServices services{registry, settings, picker, messages};
        const std::string expected = utf8(rootText + c.expected + L"\\");
        EXPECT_EQ(GetGamePath(registry), expected);
        EXPECT_EQ(discoverGamePath(services), expected);
        EXPECT_TRUE(settings.writes.empty());
        EXPECT_TRUE(picker.titles.empty());
    }
}

TEST(WindowsRegistry, BinaryValuesAreRawBytesAndTextIsUtf8) {
    if (!scratchRegistry())
        GTEST_SKIP() << "set VONDREL_SCRATCH_REGISTRY=1 in a throw-away Wine prefix";
    ScratchRegistry keys;
    const BYTE bytes[] = {0xFF, 0x00, 0x7F, 0xC3};
    keys.set(KEY_WOW64_32KEY, REG_BINARY, bytes, sizeof bytes);
    keys.setText(KEY_WOW64_64KEY, std::wstring(L"C:\\Spiele\\Zo\u00EB\0rest", 18));
    WindowsRegistry registry;

    const auto binary = registry.read("Software\\Wow6432Node\\Norvo\\The Veks", "VEKS_DATA");
    ASSERT_TRUE(binary);
    EXPECT_EQ(binary->type, RegistryType::Binary);
    EXPECT_EQ(binary->data, std::string("\xFF\x00\x7F\xC3", 4));

    const auto text = registry.read("Software\\Norvo\\The Veks", "VEKS_DATA");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->type, RegistryType::String);
    EXPECT_EQ(text->data, "C:\\Spiele\\Zo\xC3\xAB");

    EXPECT_EQ(registry.read("Software\\Norvo\\The Veks", "OTHER"), std::nullopt);
    EXPECT_EQ(registry.read("Software\\Norvo\\Missing", "VEKS_DATA"), std::nullopt);
}

// Load, save and load again in a game folder under non-ASCII folders, with a character
// file whose name is not ASCII either.
TEST(WindowsGameFolder, LoadsSavesAndReloadsUnderNonAsciiPaths) {
    testing::TempDir root;
    for (const std::wstring& sub : {kZoe, kPyotr}) {
        SCOPED_TRACE(utf8(sub));
        build::GameSpec spec;
        spec.persons = {testing::person("Ann", 1, 1), testing::person("Zo\xEB", 2, 2)};
        spec.persons[1].fileName = "Zo\xC3\xAB.iff";  // UTF-8, as file names are passed
        spec.persons[1].recordName = "zo\xEB";        // the game's code page
        const build::BuiltGame game = build::build(spec);
        const fs::path folder = root.path() / sub;
        build::writeGameFolder(game, folder);
        const std::string folderText = utf8(folder.native());

        Persons persons;
        LoadLog log;
        GameFolderLoad load = loadGameFolder(folderText, persons, log);
        ASSERT_EQ(load.status, LoadStatus::Loaded);
        EXPECT_EQ(persons[2].FirstName, "Zo\xEB");
        EXPECT_TRUE(log.texts(LoadLog::Kind::Message).empty());

        Household household(load.neighborhoodPath, load.neighborhood, std::move(persons),
                            load.entries);
        Backups backups(folder / L"Daten", folder);
        household.setBackups(&backups);
        ASSERT_TRUE(household.setAttribute(2, Attribute::Nice, 1000));
        const SaveOutcome outcome = household.save();
        ASSERT_TRUE(outcome.saved) << outcome.message;
        ASSERT_EQ(backups.list().size(), 1u);
        EXPECT_EQ(readWholeFile(backups.list()[0]).bytes, game.neighborhood);

        Persons reloaded;
        LoadLog again;
        const GameFolderLoad second = loadGameFolder(folderText, reloaded, again);
        ASSERT_EQ(second.status, LoadStatus::Loaded);
        EXPECT_EQ(reloaded[2].Nice, 1000);
        Bytes expected = game.neighborhood;
        const std::size_t nice = game.layout.recordOffset.at("zo\xEB") + 22;
        expected[nice] = 0xE8;
        expected[nice + 1] = 0x03;
        EXPECT_EQ(second.neighborhood, expected);
    }
}

// A copy of this test program named VEKS.EXE, running this same test, plays the game: the
// process list finds it while it runs and not after.
TEST(WindowsProcessTable, FindsTheGameWhileItRuns) {
    if (std::getenv("VONDREL_PLAY_THE_GAME")) {
        ::Sleep(30000);
        return;
    }
    ProcessTable processes;
    ASSERT_FALSE(processes.isRunning());
    testing::TempDir dir;
    wchar_t self[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    const fs::path game = dir.path() / L"VEKS.EXE";
    fs::copy_file(self, game);
    std::wstring command =
        L"\"" + game.native() + L"\" --gtest_filter=WindowsProcessTable.FindsTheGameWhileItRuns";
    ::SetEnvironmentVariableW(L"VONDREL_PLAY_THE_GAME", L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION running{};
    const BOOL started = ::CreateProcessW(game.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &startup, &running);
    ::SetEnvironmentVariableW(L"VONDREL_PLAY_THE_GAME", nullptr);
    ASSERT_TRUE(started);
    bool seen = false;
    for (int i = 0; i < 100 && !seen; ++i) {
        seen = processes.isRunning();
        if (!seen)
            ::Sleep(50);
    }
    ::TerminateProcess(running.hProcess, 0);
    ::WaitForSingleObject(running.hProcess, 10000);
    ::CloseHandle(running.hThread);
    ::CloseHandle(running.hProcess);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(processes.isRunning());
}

}  // namespace
}  // namespace vondrel
