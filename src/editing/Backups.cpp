#include "editing/Backups.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "base/FileDevice.h"
#include "base/FileIO.h"

namespace vondrel {
namespace {

constexpr std::string_view kPrefix = "Neighborhood-";
constexpr std::string_view kSuffix = ".iff";

bool isCopy(const std::string& name) {
    return name.size() > kPrefix.size() + kSuffix.size() && name.starts_with(kPrefix) &&
           name.ends_with(kSuffix);
}

std::string timestamp(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    return text;
}

}  // namespace

std::string backupFolderName(const std::filesystem::path& gameFolder) {
    std::filesystem::path folder = gameFolder.lexically_normal();
    if (folder.filename().empty())
        folder = folder.parent_path();
    // FNV-1a over the whole path, written with forward slashes so that a path gives the same
    // name on every system.
    std::string whole = utf8Of(folder);
    std::replace(whole.begin(), whole.end(), '\\', '/');
    std::uint64_t hash = 1469598103934665603ull;
    for (const char c : whole) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    std::string name;
    for (const char c : utf8Of(folder.filename())) {
        const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ' ';
        name.push_back(safe ? c : '_');
    }
    if (name.empty() || name == "." || name == "..")
        name = "game";
    char suffix[20];
    std::snprintf(suffix, sizeof suffix, "-%08x", static_cast<unsigned>(hash ^ (hash >> 32)));
    return name + suffix;
}

Backups::Backups(const std::filesystem::path& root, const std::filesystem::path& gameFolder)
    : folder_(root / backupFolderName(gameFolder)) {}

std::string Backups::keep(ByteView bytes, std::chrono::system_clock::time_point when) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec)
        return utf8Of(folder_) + " (" + ec.message() + ")";
    const std::string stamp = timestamp(when);
    std::filesystem::path copy = folder_ / (std::string(kPrefix) + stamp + std::string(kSuffix));
    for (int n = 2; std::filesystem::exists(copy, ec); ++n) {
        copy = folder_ /
               (std::string(kPrefix) + stamp + "-" + std::to_string(n) + std::string(kSuffix));
    }
    if (std::string error = writeNewFile(copy, bytes); !error.empty())
        return utf8Of(copy) + " (" + error + ")";

    const std::vector<std::filesystem::path> copies = list();
    for (std::size_t i = kKeptCopies; i < copies.size(); ++i)
        std::filesystem::remove(copies[i], ec);
    return {};
}

std::vector<std::filesystem::path> Backups::list() const {
    std::vector<std::filesystem::path> copies;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (isCopy(it->path().filename().string()))
            copies.push_back(it->path());
    }
    // Names sort by date and time; a second copy within one second has "-2" and so on.
    std::sort(copies.begin(), copies.end(), [](const auto& a, const auto& b) {
        const std::string x = a.filename().string(), y = b.filename().string();
        return x.size() != y.size() &&
                       x.substr(0, kPrefix.size() + 19) == y.substr(0, kPrefix.size() + 19)
                   ? x.size() > y.size()
                   : x > y;
    });
    return copies;
}

}  // namespace vondrel
