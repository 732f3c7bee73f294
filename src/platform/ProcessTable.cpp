#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/RunningGame.h"

#ifdef _WIN32
#include "base/Windows.h"
// After windows.h, which it needs.
#include <tlhelp32.h>
#endif

namespace vondrel {

#ifdef _WIN32
bool ProcessTable::isRunning() {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found;
         more = ::Process32NextW(snapshot, &entry)) {
        found = ::_wcsicmp(entry.szExeFile, L"veks.exe") == 0;
    }
    ::CloseHandle(snapshot);
    return found;
}
#else
namespace {

// The last part of a path written with either kind of separator, in lower case.
std::string programName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

}  // namespace

bool ProcessTable::isRunning() {
    std::error_code ec;
    for (std::filesystem::directory_iterator it("/proc", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string pid = it->path().filename().string();
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit))
            continue;
        // Wine starts a Windows program with its Windows path as the first argument.
        std::ifstream in(it->path() / "cmdline", std::ios::binary);
        std::string arguments((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
        for (std::size_t start = 0; start < arguments.size();) {
            const std::size_t end = std::min(arguments.find('\0', start), arguments.size());
            if (programName(std::string_view(arguments).substr(start, end - start)) == "veks.exe")
                return true;
            start = end + 1;
        }
    }
    return false;
}
#endif

}  // namespace vondrel
