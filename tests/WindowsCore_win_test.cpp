// The core against the real Win32 API: the registry through WindowsRegistry (the shared
// registry test runs on it too) and the process list. Every test that writes a game folder
// does so under the non-ASCII temporary folder the Windows test script sets up.

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

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

// The registry with the test's keys until it goes. A key under Software\Wow6432Node lands in
// the 32-bit view, as a 32-bit installer's does. Strings go without their closing NUL, which
// the reader must not need.
class ScratchRegistry : public WindowsRegistry {
  public:
    ~ScratchRegistry() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Norvo");
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Norvo");
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
    for (const auto& [key, name, type, data] : entries) {
        const std::wstring text = wide(data);
        const bool sz = type == RegistryType::String;
        EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, wide(key).c_str(), wide(name).c_str(),
                                  static_cast<DWORD>(type),
                                  sz ? static_cast<const void*>(text.data()) : data.data(),
                                  static_cast<DWORD>(sz ? text.size() * 2 : data.size())),
                  ERROR_SUCCESS)
            << key << " " << name;
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
