#pragma once

#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

namespace vondrel {

// Mouse buttons as a bit set: 1 left, 2 right, 4 middle.
int buttonBits(Qt::MouseButtons buttons);

// An invisible element that takes the mouse over a skinned button.
class HitArea : public QWidget {
    Q_OBJECT
  public:
    explicit HitArea(QWidget* parent);

  signals:
    void pressed(int buttons);
    void moved(int buttons);
    void released(int buttons);
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A picture that reports the pointer moving over it: the skin panels and check marks.
class PictureBox : public QLabel {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent);

  signals:
    void moved(int buttons);
    void clicked();

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressedHere_ = false;
};

}  // namespace vondrel
