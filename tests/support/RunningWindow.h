#pragma once

// A main window started the way the program starts, on a game folder written by the game
// builder, with scripted platform services; and mouse gestures delivered as the window system
// delivers them.

#include <QApplication>
#include <QTest>
#include <QWindow>
#include <memory>
#include <sstream>
#include <string>

#include "support/GameBuilder.h"
#include "support/Scripted.h"
#include "support/TempDir.h"
#include "ui/Gauge.h"
#include "ui/ImagePicker.h"
#include "ui/Startup.h"

namespace vondrel::testing {

// Mouse input through the widget's top-level window, so that Qt picks the receiver (pointer
// tracking, the grab while a button is held, disabled widgets) as it does in the program.
// `at` is relative to `w` and may lie outside it.
inline void mouse(QTest::MouseAction action, QWidget* w, QPoint at, Qt::MouseButton button,
                  Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseEvent(action, w->window()->windowHandle(), button, modifiers,
                      w->mapTo(w->window(), at));
}

// Plays a gesture on `w`: space-separated steps "<action><x>[,<y>][S][C][A]", where the action
// is L, R or M (press left, right or middle), l, r or m (release it) or > (move); y is the
// middle of `w` when left out, and S, C and A hold Shift, Ctrl and Alt.
inline void gesture(QWidget* w, const std::string& script) {
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
        std::size_t used = 0;
        const int x = std::stoi(step.substr(1), &used);
        std::size_t at = 1 + used;
        int y = w->height() / 2;
        if (at < step.size() && step[at] == ',') {
            y = std::stoi(step.substr(at + 1), &used);
            at += 1 + used;
        }
        Qt::KeyboardModifiers modifiers;
        for (char m : step.substr(at))
            modifiers |= m == 'S'   ? Qt::ShiftModifier
                         : m == 'C' ? Qt::ControlModifier
                                    : Qt::AltModifier;
        const char c = step[0];
        const char lower = static_cast<char>(c | 0x20);
        const Qt::MouseButton button = lower == 'l'   ? Qt::LeftButton
                                       : lower == 'r' ? Qt::RightButton
                                       : lower == 'm' ? Qt::MiddleButton
                                                      : Qt::NoButton;
        const QTest::MouseAction action = c == '>'     ? QTest::MouseMove
                                          : c == lower ? QTest::MouseRelease
                                                       : QTest::MousePress;
        mouse(action, w, {x, y}, button, modifiers);
    }
}

// Lets go of every button still held, so that no grab outlives a test.
inline void releaseHeld(QWidget* w) {
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (QGuiApplication::mouseButtons() & b)
            mouse(QTest::MouseRelease, w->window(), {1, 1}, b);
    }
}

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
