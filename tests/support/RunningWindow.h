#pragma once

// A main window started the way the program starts, on a game folder written by the game
// builder, with scripted platform services.

#include <memory>

#include "model/WindowState.h"
#include "support/GameBuilder.h"
#include "support/Scripted.h"
#include "support/TempDir.h"
#include "ui/Startup.h"

namespace vondrel::testing {

class RunningWindow {
  public:
    explicit RunningWindow(const build::GameSpec& game) : built(build::build(game)) {
        build::writeGameFolder(built, folder.path());
        start();
    }

    // Starts a fresh window on the same folder (what the player sees after a restart).
    void start() {
        window.reset();
        splash = std::make_unique<SplashWindow>();
        state = std::make_unique<WindowState>();
        StartOptions options;
        options.gameDir = folder.path().string();
        window = startUp(*state, services, options, *splash);
    }

    // Chooses the picker entry with this text as the player would.
    bool choose(const QString& entryText) {
        for (int i = 1; i <= window->imcFaces->count(); ++i) {
            if (window->imcFaces->entryText(i) == entryText) {
                window->imcFaces->select(i);
                window->personChosen();
                return true;
            }
        }
        return false;
    }

    PersonRecord& person(int id) { return state->persons[id]; }
    std::filesystem::path neighborhoodPath() const {
        return folder.path() / "UserData" / "Neighborhood.iff";
    }

    TempDir folder;
    build::BuiltGame built;
    ScriptedRegistry registry;
    ScriptedSettings settings;
    ScriptedFolderPicker picker;
    ScriptedMessageBoxes messages;
    PlatformServices services{registry, settings, picker, messages};
    std::unique_ptr<SplashWindow> splash;
    std::unique_ptr<WindowState> state;
    std::unique_ptr<MainWindow> window;
};

}  // namespace vondrel::testing
