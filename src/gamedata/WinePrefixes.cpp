#include "gamedata/WinePrefixes.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <system_error>

#include "base/FileIO.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;

// Configuration files this small are read whole; anything larger is no such file.
constexpr std::uintmax_t kMaxConfigBytes = 1 << 20;

bool isDirectory(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool isPrefix(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path / "system.reg", error);
}

// The folders directly under `parent`, by name.
std::vector<fs::path> subfolders(const fs::path& parent) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(parent, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (it->is_directory(kindError))
            found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The files directly under `parent` with the extension `extension` (".yml"), by name.
std::vector<fs::path> filesWithExtension(const fs::path& parent, const fs::path& extension) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(parent, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (it->path().extension() == extension && it->is_regular_file(kindError))
            found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string smallFile(const fs::path& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxConfigBytes)
        return {};
    const ReadResult read = readWholeFile(path);
    if (!read.bytes)
        return {};
    return std::string(read.bytes->begin(), read.bytes->end());
}

std::string trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && blank(text[start]))
        ++start;
    return text.substr(start);
}

// A path as the user writes it: "~" and "~/..." stand for the home folder.
fs::path expandHome(const std::string& text, const fs::path& home) {
    if (text == "~")
        return home;
    if (text.starts_with("~/"))
        return home / text.substr(2);
    return fs::path(text);
}

}  // namespace

PrefixSearch PrefixSearch::fromEnvironment() {
    PrefixSearch search;
    if (const char* home = std::getenv("HOME"))
        search.home = home;
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        search.winePrefix = prefix;
    return search;
}

std::vector<fs::path> steamLibraryFolders(const std::string& vdf) {
    // Lines such as:   "path"		"/mnt/games/SteamLibrary"   with \\ for a backslash.
    std::vector<fs::path> folders;
    std::istringstream lines(vdf);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> quoted;
        std::string current;
        bool inside = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (!inside) {
                if (c == '"') {
                    inside = true;
                    current.clear();
                }
                continue;
            }
            if (c == '\\' && i + 1 < line.size()) {
                current += line[++i];
            } else if (c == '"') {
                inside = false;
                quoted.push_back(current);
            } else {
                current += c;
            }
        }
        if (quoted.size() == 2 && quoted[0] == "path" && !quoted[1].empty())
            folders.emplace_back(quoted[1]);
    }
    return folders;
}

fs::path lutrisPrefix(const std::string& yml, const fs::path& home) {
    std::istringstream lines(yml);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string entry = trimmed(line);
        if (!entry.starts_with("prefix:"))
            continue;
        std::string value = trimmed(entry.substr(7));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        if (!value.empty())
            return expandHome(value, home);
    }
    return {};
}

std::vector<fs::path> findWinePrefixes(const PrefixSearch& search) {
    const fs::path& home = search.home;
    std::vector<fs::path> candidates;
    candidates.push_back(search.winePrefix.empty() ? home / ".wine" : search.winePrefix);

    if (!home.empty()) {
        // Steam: its own folder (the native, the older and the Flatpak place) is a library,
        // and each lists the others in libraryfolders.vdf.
        std::vector<fs::path> libraries;
        for (const fs::path& steam :
             {home / ".steam" / "steam", home / ".steam" / "root", home / ".local/share/Steam",
              home / ".var/app/com.valvesoftware.Steam/.local/share/Steam"}) {
            if (!isDirectory(steam))
                continue;
            libraries.push_back(steam);
            for (const fs::path& library :
                 steamLibraryFolders(smallFile(steam / "steamapps" / "libraryfolders.vdf")))
                libraries.push_back(library);
        }
        for (const fs::path& library : libraries) {
            for (const fs::path& app : subfolders(library / "steamapps" / "compatdata"))
                candidates.push_back(app / "pfx");
        }

        // Lutris: one prefix per game under ~/Games by default, elsewhere when its game file
        // says so.
        for (const fs::path& game : subfolders(home / "Games"))
            candidates.push_back(game);
        for (const fs::path& games :
             {home / ".config/lutris/games", home / ".local/share/lutris/games"}) {
            for (const fs::path& file : filesWithExtension(games, ".yml")) {
                if (fs::path prefix = lutrisPrefix(smallFile(file), home); !prefix.empty())
                    candidates.push_back(prefix);
            }
        }

        // Bottles, installed natively or as a Flatpak.
        for (const fs::path& bottles :
             {home / ".local/share/bottles/bottles",
              home / ".var/app/com.usebottles.bottles/data/bottles/bottles"}) {
            for (const fs::path& bottle : subfolders(bottles))
                candidates.push_back(bottle);
        }
    }

    std::vector<fs::path> prefixes;
    std::set<fs::path> seen;
    for (const fs::path& candidate : candidates) {
        if (!isPrefix(candidate))
            continue;
        std::error_code error;
        fs::path key = fs::weakly_canonical(candidate, error);
        if (error)
            key = candidate;
        if (seen.insert(key).second)
            prefixes.push_back(candidate);
    }
    return prefixes;
}

fs::path browseStartFolder(const std::vector<fs::path>& prefixes, const fs::path& home) {
    for (const fs::path& prefix : prefixes) {
        if (isDirectory(prefix / "drive_c"))
            return prefix / "drive_c";
    }
    return home;
}

}  // namespace vondrel
