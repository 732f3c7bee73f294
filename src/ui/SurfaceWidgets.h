#pragma once

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

namespace vondrel {

// Mouse buttons as a bit set: 1 left, 2 right, 4 middle.
int buttonBits(Qt::MouseButtons buttons);

// The colours of the keyboard focus mark on the skinned elements: the pale yellow of the lit
// button captions, lined inside with a dark navy.
inline const QColor kFocusMark{244, 245, 170};
inline const QColor kFocusMarkInside{0, 0, 48};
// Draws the focus mark just inside `area` of the widget `painter` paints on, with corners
// rounded by `radius` pixels (0: square).
void paintFocusMark(QPainter& painter, const QRectF& area, double radius);

// An invisible element that takes the mouse over a skinned button. Reached with Tab, it
// draws the focus mark, and Space, Enter and Return press it as a left click would.
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
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// A picture that reports the pointer moving over it: the skin panels and check marks. One
// that takes the focus (the check marks) draws the focus mark and is clicked with Space.
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
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    bool pressedHere_ = false;
};

}  // namespace vondrel
