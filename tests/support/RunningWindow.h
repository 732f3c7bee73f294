#pragma once

// A main window started the way the program starts, on a game folder written by the game
// builder, with scripted platform services; and mouse gestures delivered as the window system
// delivers them.

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QWindow>
#include <cctype>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/FileIO.h"
#include "support/GameBuilder.h"
#include "support/Scripted.h"
#include "support/TempDir.h"
#include "ui/ImagePicker.h"
#include "ui/Startup.h"

namespace vondrel::testing {

// Plays a gesture on `w`: space-separated steps "<action><x>[,<y>]", where the action is L, R
// or M (press left, right or middle), l, r or m (release it) or > (move); y is the middle of
// `w` when left out, and x and y may lie outside `w`. The input goes through the window, so
// that Qt picks the receiver (pointer tracking, the grab while a button is held, disabled
// widgets) as it does in the program.
inline void gesture(QWidget* w, const std::string& script) {
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
        int x = 0, y = w->height() / 2;
        std::sscanf(step.c_str() + 1, "%d,%d", &x, &y);
        const auto b = std::string("lrm").find(static_cast<char>(step[0] | 0x20));
        QTest::mouseEvent(step[0] == '>'               ? QTest::MouseMove
                          : std::islower(step[0]) != 0 ? QTest::MouseRelease
                                                       : QTest::MousePress,
                          w->window()->windowHandle(),
                          b == std::string::npos ? Qt::NoButton : Qt::MouseButton(1 << b), {},
                          w->mapTo(w->window(), QPoint(x, y)));
    }
}

// Lets go of every button still held, so that no grab outlives a test.
inline void releaseHeld(QWidget* w) {
    for (int b = 0; b < 3; ++b) {
        if (QGuiApplication::mouseButtons() & (1 << b))
            gesture(w->window(), std::string(1, "lrm"[b]) + "1,1");
    }
}

// Records the help topics asked for.
struct ScriptedHelp : HelpOpener {
    std::vector<std::string> opened;
    void open(std::string_view file, std::string_view topic) override {
        opened.push_back(std::string(file) + "#" + std::string(topic));
    }
};

// The window shown and active, on the game's first person.
class RunningWindow {
  public:
    explicit RunningWindow(const build::GameSpec& game) : built(build::build(game)) {
        build::writeGameFolder(built, folder.path());
        window = startUp(services, {folder.path().string()}, splash);
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    ~RunningWindow() { releaseHeld(window.get()); }

    // Chooses the person picker's entry of record `id` as the player would.
    bool choose(int id) {
        ImagePicker* picker = window->personView().picker();
        return picker->selectId(id) && choose(picker, picker->currentIndex());
    }
    static bool choose(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
        return true;
    }
    void play(const char* name, const std::string& script) { gesture(get(name), script); }

    template <typename W = QWidget>
    W* get(const char* name) const {
        return qobject_cast<W*>(window->element(QString::fromLatin1(name)));
    }
    Household& household() const { return *window->household(); }
    const PersonRecord& person(int id) const { return household().person(id); }
    Bytes onDisk() const {
        return *readWholeFile(folder.path() / "UserData" / "Neighborhood.iff").bytes;
    }

    TempDir folder;
    build::BuiltGame built;
    ScriptedRegistry registry;
    ScriptedSettings settings;
    ScriptedFolderPicker picker;
    ScriptedMessageBoxes messages;
    ScriptedRunningGame game_;
    ScriptedListChooser chooser;
    ScriptedHelp help;
    PlatformServices services{registry, settings, picker,   messages,
                              &help,    &game_,   &chooser, folder.path() / "data"};
    SplashWindow splash;
    std::unique_ptr<MainWindow> window;
};

}  // namespace vondrel::testing
