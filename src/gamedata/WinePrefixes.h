#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vondrel {

// Where the Wine prefixes of one user are looked for.
struct PrefixSearch {
    // The user's home folder.
    std::filesystem::path home;
    // $WINEPREFIX; empty when it is not set.
    std::filesystem::path winePrefix;

    // From $HOME and $WINEPREFIX.
    static PrefixSearch fromEnvironment();
};

// The Wine prefixes (folders holding a system.reg) of the user, in the order a game is
// looked for in them: $WINEPREFIX, else ~/.wine; then Steam's Proton prefixes
// (steamapps/compatdata/*/pfx in every Steam library, the libraries listed in each Steam
// folder's steamapps/libraryfolders.vdf included); then Lutris (the folders under ~/Games
// and the prefixes its game files name); then Bottles. Each prefix is listed once.
std::vector<std::filesystem::path> findWinePrefixes(const PrefixSearch& search);

// The library folders a Steam libraryfolders.vdf lists (its "path" entries), in file order.
std::vector<std::filesystem::path> steamLibraryFolders(const std::string& vdf);
// The prefix a Lutris game file names (its "prefix:" entry); empty when it names none.
std::filesystem::path lutrisPrefix(const std::string& yml, const std::filesystem::path& home);

// Where the folder dialog opens: the drive_c of the first prefix that has one, else `home`.
std::filesystem::path browseStartFolder(const std::vector<std::filesystem::path>& prefixes,
                                        const std::filesystem::path& home);

}  // namespace vondrel
