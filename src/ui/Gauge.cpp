#include "ui/Gauge.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/SurfaceWidgets.h"

namespace vondrel {
namespace {

int modifierBits(Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= 1;
    if (modifiers & Qt::ControlModifier)
        bits |= 2;
    if (modifiers & Qt::AltModifier)
        bits |= 4;
    return bits;
}

// Dark enough to outline white text on the bright fills and on the navy back.
const QColor kCaptionOutline(0, 0, 48);

}  // namespace

Gauge::Gauge(QWidget* parent) : QWidget(parent), caption_(QString::number(value_)) {
    setMouseTracking(true);
    // Reached with Tab only: clicking a bar sets it without moving the focus.
    setFocusPolicy(Qt::TabFocus);
    captionFont_.setBold(true);
}

void Gauge::setValue(int value) {
    value_ = value;
    requestCaption();
    update();
}

void Gauge::setMaximum(int maximum) {
    if (maximum == maximum_)
        return;
    maximum_ = maximum;
    update();
}

void Gauge::setPointerShape(int shape) {
    pointerShape_ = shape;
    if (shape == kHorizontalResizePointer)
        setCursor(Qt::SizeHorCursor);
    else
        unsetCursor();
}

void Gauge::setPictures(const QPixmap& empty, const QPixmap& full) {
    emptyPicture_ = empty;
    fullPicture_ = full;
    update();
}

void Gauge::setBackColor(const QColor& colour) {
    backColour_ = colour;
    update();
}

void Gauge::setFillColor(const QColor& colour) {
    fillColour_ = colour;
    update();
}

void Gauge::setBackPicture(const QPixmap& picture) {
    backPicture_ = picture;
    update();
}

void Gauge::setCaptionFont(const QFont& font) {
    captionFont_ = font;
    update();
}

void Gauge::setCaptionVisible(bool visible) {
    if (visible == captionVisible_)
        return;
    captionVisible_ = visible;
    requestCaption();
    update();
}

QSize Gauge::sizeHint() const {
    if (!emptyPicture_.isNull())
        return emptyPicture_.size();
    return {170, 27};
}

void Gauge::requestCaption() {
    QString caption = captionVisible_ ? QString::number(value_) : QString();
    emit captionRequested(caption, value_);
    caption_ = caption;
}

double Gauge::filledFraction() const {
    if (maximum_ <= 0)
        return 0.0;
    return std::clamp(static_cast<double>(value_) / maximum_, 0.0, 1.0);
}

void Gauge::paintEvent(QPaintEvent*) {
    requestCaption();

    QPainter painter(this);
    const QRectF whole(rect());
    const double filledWidth = whole.width() * filledFraction();

    if (!emptyPicture_.isNull() || !fullPicture_.isNull()) {
        // Pictures are drawn whole-pixel so the edge of the full one stays crisp.
        if (!emptyPicture_.isNull())
            painter.drawPixmap(rect(), emptyPicture_);
        const int cut = static_cast<int>(filledWidth + 0.5);
        if (!fullPicture_.isNull() && cut > 0) {
            painter.save();
            painter.setClipRect(QRect(0, 0, cut, height()));
            painter.drawPixmap(rect(), fullPicture_);
            painter.restore();
        }
    } else {
        painter.fillRect(rect(), backColour_);
        if (!backPicture_.isNull())
            painter.drawPixmap(rect(), backPicture_);
        if (filledWidth > 0.0) {
            // Antialiased so that a part-covered pixel column is blended: the fill moves smoothly.
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.fillRect(QRectF(0.0, 0.0, filledWidth, whole.height()), fillColour_);
            painter.restore();
        }
    }

    if (!caption_.isEmpty())
        drawCaption(painter);

    if (hasFocus())
        paintFocusMark(painter, QRectF(rect()), 0);
}

void Gauge::drawCaption(QPainter& painter) const {
    const QFontMetricsF metrics(captionFont_);
    const double textWidth = metrics.horizontalAdvance(caption_);
    const QPointF baseline(
        (width() - textWidth) / 2.0,
        (height() - metrics.ascent() - metrics.descent()) / 2.0 + metrics.ascent());
    // White with a thin dark outline reads on the navy back as well as on blue or white fills.
    // The outline is the text drawn one pixel off in each of the eight directions: glyphs come
    // from the font's cache, where stroking the letters' outlines would cost many times more.
    painter.save();
    painter.setFont(captionFont_);
    painter.setPen(kCaptionOutline);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx != 0 || dy != 0)
                painter.drawText(baseline + QPointF(dx, dy), caption_);
        }
    }
    painter.setPen(Qt::white);
    painter.drawText(baseline, caption_);
    painter.restore();
}

void Gauge::mousePressEvent(QMouseEvent* event) {
    // A press with no other button held starts afresh, so a release the gauge never saw (it was
    // disabled or hidden meanwhile) leaves nothing behind.
    if (event->buttons() == event->button())
        pressedButtons_ = 0;
    pressedButtons_ |= buttonBits(event->button());
    emit mousePressed(buttonBits(event->buttons()), modifierBits(event->modifiers()),
                      event->position().x(), event->position().y());
}

void Gauge::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(buttonBits(event->buttons()), modifierBits(event->modifiers()),
                    event->position().x(), event->position().y());
}

void Gauge::mouseReleaseEvent(QMouseEvent* event) {
    const int released = buttonBits(event->button());
    const bool pressedHere = (pressedButtons_ & released) != 0;
    pressedButtons_ &= ~released;
    emit mouseReleased(released, modifierBits(event->modifiers()), event->position().x(),
                       event->position().y());
    // A press on the gauge ends in a click wherever it is released: a bar dragged past its
    // end keeps the end value, and the player expects it stored.
    if (pressedHere)
        emit clicked();
}

void Gauge::keyPressEvent(QKeyEvent* event) {
    const int page = std::max(1, maximum_ / 10);
    const int current = std::clamp(value_, 0, std::max(0, maximum_));
    int wanted = current;
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Down:
            wanted = current - 1;
            break;
        case Qt::Key_Right:
        case Qt::Key_Up:
            wanted = current + 1;
            break;
        case Qt::Key_PageDown:
            wanted = current - page;
            break;
        case Qt::Key_PageUp:
            wanted = current + page;
            break;
        case Qt::Key_Home:
            wanted = 0;
            break;
        case Qt::Key_End:
            wanted = maximum_;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    wanted = std::clamp(wanted, 0, std::max(0, maximum_));
    if (wanted != value_)
        emit keyStep(wanted);
}

}  // namespace vondrel
