#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FolderPicker.h"
#include "platform/HelpOpener.h"
#include "platform/ListChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"
#include "platform/RunningGame.h"
#include "platform/SettingsStore.h"
#include "ui/MainWindow.h"
#include "ui/SplashWindow.h"

namespace vondrel {

struct PlatformServices {
    Registry& registry;
    SettingsStore& settings;
    FolderPicker& picker;
    MessageBoxes& messages;
    HelpOpener* help = nullptr;
    RunningGame* game = nullptr;
    ListChooser* chooser = nullptr;
    // Where copies of the neighbourhood file are kept; empty: no copies.
    std::filesystem::path backupRoot;
    // Registries looked in after `registry` for the game (the other Wine prefixes).
    std::vector<Registry*> otherRegistries{};
    // Where the folder dialog opens; empty: where the desktop starts it.
    std::string browseStart{};
};

struct StartOptions {
    // A game folder to use for this run instead of the registry and the remembered one.
    std::optional<std::string> gameDir;
};

// The user's folder for copies of the neighbourhood file, under the program's data folder.
std::filesystem::path defaultBackupRoot();

// The start-up sequence: splash, captions, the game folder, the loader, then the main
// window with the first person. Nothing when the program must end instead (the user gave
// up choosing a folder, or the game could not be loaded; the user has been told why).
std::unique_ptr<MainWindow> startUp(PlatformServices& services, const StartOptions& options,
                                    SplashWindow& splash);

// Loads the game folder into `window` anew (after a copy of the file was put back). False
// when it could not be loaded; the user has been told why.
bool loadInto(MainWindow& window, const std::string& gamePath, PlatformServices& services,
              SplashWindow* splash);

}  // namespace vondrel
