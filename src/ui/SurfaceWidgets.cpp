#include "ui/SurfaceWidgets.h"

#include <algorithm>

namespace vondrel {

int buttonBits(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

namespace {

// Space, Return or the keypad's Enter, without Shift, Ctrl or Alt.
bool isPressKey(const QKeyEvent& event) {
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    return event.key() == Qt::Key_Space || event.key() == Qt::Key_Return ||
           event.key() == Qt::Key_Enter;
}

}  // namespace

void paintFocusMark(QPainter& painter, const QRectF& area, double radius) {
    // Pale yellow reads on the navy and blue of the skin, the dark line inside it on white.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, radius > 0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kFocusMark, 2));
    painter.drawRoundedRect(area.adjusted(1, 1, -1, -1), radius, radius);
    painter.setPen(QPen(kFocusMarkInside, 1));
    painter.drawRoundedRect(area.adjusted(2.5, 2.5, -2.5, -2.5), std::max(0.0, radius - 1.5),
                            std::max(0.0, radius - 1.5));
    painter.restore();
}

HitArea::HitArea(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    // Only the keyboard gives it the focus: a click leaves no mark behind.
    setFocusPolicy(Qt::TabFocus);
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

void HitArea::keyPressEvent(QKeyEvent* event) {
    if (!isPressKey(*event) || event->isAutoRepeat()) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit pressed(1);
    emit released(1);
    emit clicked();
}

void HitArea::paintEvent(QPaintEvent*) {
    if (!hasFocus())
        return;
    QPainter painter(this);
    paintFocusMark(painter, rect(), 6);
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

void PictureBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier &&
        !event->isAutoRepeat() && focusPolicy() != Qt::NoFocus) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    paintFocusMark(painter, rect(), 4);
}

}  // namespace vondrel
