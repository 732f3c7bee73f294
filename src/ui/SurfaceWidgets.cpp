#include "ui/SurfaceWidgets.h"

namespace vondrel {

int buttonBits(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

HitArea::HitArea(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::PointingHandCursor);
}

void HitArea::mousePressEvent(QMouseEvent* event) {
    emit pressed(buttonBits(event->button()));
}

void HitArea::mouseMoveEvent(QMouseEvent* event) {
    emit moved(buttonBits(event->buttons()));
}

void HitArea::mouseReleaseEvent(QMouseEvent* event) {
    emit released(buttonBits(event->button()));
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    emit moved(buttonBits(event->buttons()));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    pressedHere_ = event->button() == Qt::LeftButton;
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressedHere_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressedHere_ = false;
    if (click)
        emit clicked();
}

}  // namespace vondrel
