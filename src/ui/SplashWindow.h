#pragma once

#include <QLabel>
#include <QWidget>

#include "ui/Gauge.h"

namespace vondrel {

// The picture shown while the program starts and loads the game.
class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    SplashWindow();

    QLabel* lblVersion;
    QLabel* lblWait;
    Gauge* prgProgress;

    // Sets the status text and paints the window at once.
    void setStatus(const QString& text);
};

// The program's version as major.minor.revision.
QString versionText();

}  // namespace vondrel
