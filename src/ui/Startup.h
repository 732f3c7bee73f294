#pragma once

#include <memory>
#include <optional>
#include <string>

#include "model/WindowState.h"
#include "platform/FolderPicker.h"
#include "platform/HelpOpener.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"
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
};

struct StartOptions {
    // A game folder to use for this run instead of the registry and the remembered one.
    std::optional<std::string> gameDir;
};

// The start-up sequence: splash, captions, the game folder, the loader, then the main
// window with the first person. Nothing when the program must end instead (the user gave
// up choosing a folder, or the game could not be loaded; the user has been told why).
std::unique_ptr<MainWindow> startUp(WindowState& state, PlatformServices& services,
                                    const StartOptions& options, SplashWindow& splash);

}  // namespace vondrel
