#pragma once

// A main window started the way the program starts, on a game folder written by the game
// builder, with scripted platform services.

#include <QApplication>
#include <memory>

#include "support/GameBuilder.h"
#include "support/Scripted.h"
#include "support/TempDir.h"
#include "ui/Gauge.h"
#include "ui/ImagePicker.h"
#include "ui/Startup.h"

namespace vondrel::testing {

class RunningWindow {
  public:
    explicit RunningWindow(const build::GameSpec& game) : built(build::build(game)) {
        build::writeGameFolder(built, folder.path());
        services.game = &game_;
        services.chooser = &chooser;
        services.backupRoot = folder.path() / "data";
        start();
    }

    // Starts a fresh window on the same folder (what the player sees after a restart).
    void start() {
        window.reset();
        splash = std::make_unique<SplashWindow>();
        StartOptions options;
        options.gameDir = folder.path().string();
        window = startUp(services, options, *splash);
    }

    // Chooses the person picker's entry of record `id` as the player would.
    bool choose(int id) {
        ImagePicker* picker = window->personView().picker();
        if (!picker->selectId(id))
            return false;
        emit picker->activated(picker->currentIndex());
        return true;
    }

    template <typename W = QWidget>
    W* get(const char* name) const {
        return qobject_cast<W*>(window->element(QString::fromLatin1(name)));
    }
    Household& household() const { return *window->household(); }
    const PersonRecord& person(int id) const { return household().person(id); }
    std::filesystem::path neighborhoodPath() const {
        return folder.path() / "UserData" / "Neighborhood.iff";
    }

    TempDir folder;
    build::BuiltGame built;
    ScriptedRegistry registry;
    ScriptedSettings settings;
    ScriptedFolderPicker picker;
    ScriptedMessageBoxes messages;
    ScriptedRunningGame game_;
    ScriptedListChooser chooser;
    PlatformServices services{registry, settings, picker, messages, nullptr, nullptr, nullptr, {}};
    std::unique_ptr<SplashWindow> splash;
    std::unique_ptr<MainWindow> window;
};

}  // namespace vondrel::testing
