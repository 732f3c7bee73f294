#pragma once

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace vondrel {

// The lines of the About box's credits, in the order they scroll past.
QStringList aboutCreditLines();
// The credits as one text, the lines joined by line breaks.
QString aboutCredits();

// The About box: the program's title and icon and a credits text that scrolls upwards in a
// black viewport until the user presses OK. While it is open the main window is hidden and
// disabled; every way of closing the box brings the main window back.
class AboutBox : public QDialog {
    Q_OBJECT
  public:
    // Loads the box: takes `mainWindow` out of reach, builds the credits and starts the
    // scrolling. `mainWindow` also owns the box.
    explicit AboutBox(QWidget* mainWindow);

    QLabel* lblTitle;
    QLabel* picIcon;
    QWidget* Picture1;
    QLabel* Label1;
    QPushButton* cmdOK;
    QTimer* Timer1;

    // One step of the scrolling: the credits move two pixels up and come in again from
    // below once the last line has left the viewport.
    void tick();
    // The height of the viewport, where the credits start.
    int viewportHeight() const;
    QString credits() const { return Label1->text(); }

    void done(int result) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // Stops the scrolling and gives the main window back to the user, enabled and shown.
    void restoreMainWindow();

    QPointer<QWidget> mainWindow_;
};

}  // namespace vondrel
