// The core against the real Win32 API: the registry through WindowsRegistry (the shared
// registry test runs on it too) and the process list. Every test that writes a game folder
// does so under the non-ASCII temporary folder the Windows test script sets up.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "base/Windows.h"

#include "platform/RunningGame.h"
#include "platform/WindowsRegistry.h"
#include "support/TempDir.h"

namespace vondrel::testing {

using RegistryEntries =
    std::vector<std::tuple<std::string, std::string, RegistryType, std::string>>;

namespace {

// The test's own UTF-8 to UTF-16, so what is written does not come from the code under test.
std::wstring wide(const std::string& utf8) {
    std::wstring out(utf8.size(), L'\0');
    out.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(),
                            static_cast<int>(out.size()))));
    return out;
}

// The registry with the test's keys, written as installers write them: a key under
// Software\Wow6432Node into the 32-bit view, every other into the 64-bit view. Strings go
// without their closing NUL, which the reader must not need. Removed again at the end.
class ScratchRegistry : public WindowsRegistry {
  public:
    ~ScratchRegistry() override {
        for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            HKEY software = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | view,
                              &software) == ERROR_SUCCESS) {
                RegDeleteTreeW(software, L"Norvo");
                RegCloseKey(software);
            }
        }
    }
};

}  // namespace

// Writing HKEY_LOCAL_MACHINE is only for a throw-away Wine prefix, which the Windows test
// script makes and announces.
std::unique_ptr<Registry> windowsRegistryHolding(const RegistryEntries& entries,
                                                 const std::filesystem::path&) {
    const char* flag = std::getenv("VONDREL_SCRATCH_REGISTRY");
    if (flag == nullptr || std::string(flag) != "1")
        return nullptr;
    auto registry = std::make_unique<ScratchRegistry>();
    const std::string wow64 = "Software\\Wow6432Node\\";
    for (const auto& [key, name, type, data] : entries) {
        const bool is32 = key.starts_with(wow64);
        HKEY handle = nullptr;
        EXPECT_EQ(
            RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                            wide(is32 ? "Software\\" + key.substr(wow64.size()) : key).c_str(), 0,
                            nullptr, 0, KEY_SET_VALUE | (is32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY),
                            nullptr, &handle, nullptr),
            ERROR_SUCCESS);
        const std::wstring text = wide(data);
        const bool sz = type == RegistryType::String;
        EXPECT_EQ(
            RegSetValueExW(handle, wide(name).c_str(), 0, static_cast<DWORD>(type),
                           reinterpret_cast<const BYTE*>(sz ? static_cast<const void*>(text.data())
                                                            : data.data()),
                           static_cast<DWORD>(sz ? text.size() * sizeof(wchar_t) : data.size())),
            ERROR_SUCCESS);
        RegCloseKey(handle);
    }
    return registry;
}

namespace {

// A copy of this test program named VEKS.EXE, running this same test, plays the game: the
// process list finds it while it runs and not after.
TEST(WindowsProcessTable, FindsTheGameWhileItRuns) {
    if (std::getenv("VONDREL_PLAY_THE_GAME")) {
        ::Sleep(30000);
        return;
    }
    ProcessTable processes;
    ASSERT_FALSE(processes.isRunning());
    TempDir dir;
    wchar_t self[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    const std::filesystem::path game = dir.path() / L"VEKS.EXE";
    std::filesystem::copy_file(self, game);
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
    for (int i = 0; i < 100 && !(seen = processes.isRunning()); ++i)
        ::Sleep(50);
    ::TerminateProcess(running.hProcess, 0);
    ::WaitForSingleObject(running.hProcess, 10000);
    ::CloseHandle(running.hThread);
    ::CloseHandle(running.hProcess);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(processes.isRunning());
}

}  // namespace
}  // namespace vondrel::testing
