#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FolderPicker.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"

namespace vondrel {

inline constexpr std::string_view kNotFound = "NOTFOUND";
inline constexpr std::string_view kGameKey = "Software\\Norvo\\The Veks";
// Where a 32-bit installer's key lands in a 64-bit registry.
inline constexpr std::string_view kGameKeyWow64 = "Software\\Wow6432Node\\Norvo\\The Veks";
inline constexpr std::string_view kGameValue = "VEKS_DATA";
inline constexpr std::string_view kSettingsApplication = "KWAL";
inline constexpr std::string_view kSettingsSection = "Conf";
inline constexpr std::string_view kSettingsKey = "PathOfTheVeks";
inline constexpr std::string_view kGameExecutable = "VEKS.EXE";
inline constexpr std::string_view kBrowseTitle = "Select the Veks Directory";
inline constexpr std::string_view kWrongDir = "You selected a wrong dir!";
// The line the folder dialog shows, and the one added when it opens inside a Wine prefix.
inline constexpr std::string_view kBrowseHint =
    "Choose the folder of The Veks: the one that holds VEKS.EXE.";
inline constexpr std::string_view kBrowseHintWine =
    " In a Wine prefix (Wine, Proton, Lutris, Bottles) it lies under drive_c.";

// A registry value as text: REG_SZ up to its first NUL, REG_BINARY as the decimal of its
// first two bytes (signed, little-endian), anything else (or nothing) as "".
std::string QueryRegValue(const std::optional<RegistryValue>& value);
std::string GetRegValue(Registry& registry, std::string_view subkey, std::string_view name);
// The game folder the registry records, in local form with a trailing separator, or
// "NOTFOUND".
std::string GetGamePath(Registry& registry);

// `folder` with exactly one trailing separator.
std::string withTrailingSeparator(std::string folder);
// Whether the game's executable can be opened in `folder` (any letter case).
bool holdsGame(const std::string& folder);

struct DiscoveryServices {
    Registry& registry;
    SettingsStore& settings;
    FolderPicker& picker;
    MessageBoxes& messages;
    // Further registries to look in after `registry`, in order (the other Wine prefixes).
    std::vector<Registry*> otherRegistries{};
    // Where the folder dialog opens; empty: where the desktop starts it.
    std::string browseStart{};
};

// The folder dialog until the user picks a folder holding the game (remembered in the
// settings store) or answers Cancel (nothing: the program ends).
std::optional<std::string> BrowseGamePath(DiscoveryServices& services);

// The game folder: the registry's, else the first of the other registries', else the
// remembered one, else the folder dialog's. Nothing when the user gave up.
std::optional<std::string> discoverGamePath(DiscoveryServices& services);

}  // namespace vondrel
