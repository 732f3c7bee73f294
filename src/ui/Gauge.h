#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QPainter;

namespace vondrel {

// A horizontal gauge from 0 to maximum(). It is drawn either from two pictures (the full one
// over the empty one, cut at the value) or from a back colour with a smooth fill, optionally a
// background picture and a caption centred over it.
//
// The gauge never changes its own value: the window's handlers turn the reported pointer
// positions into values and call setValue(), which is how the bars are dragged.
//
// Mouse notifications report `buttons` as a bit set, 1 = left, 2 = right, 4 = middle (for a
// release: the button that went up), `modifiers` as 1 = Shift, 2 = Ctrl, 4 = Alt, and the
// position in pixels from the gauge's top-left corner. A disabled gauge reports nothing.
//
// A gauge that has the keyboard focus draws a focus mark and asks for new values from the
// keys: Left/Down and Right/Up one step, Page Down/Page Up a tenth of the range (at least one
// step), Home and End the ends.
class Gauge : public QWidget {
    Q_OBJECT

  public:
    // Pointer shapes, numbered as the window's handlers know them.
    static constexpr int kDefaultPointer = 0;
    static constexpr int kHorizontalResizePointer = 9;

    explicit Gauge(QWidget* parent = nullptr);

    int value() const { return value_; }
    // Keeps `value` as given, even outside 0..maximum() (it is drawn clamped), and always asks
    // for the caption again, whether the value changed or not.
    void setValue(int value);

    int maximum() const { return maximum_; }
    void setMaximum(int maximum);

    // 0 shows the default arrow, 9 the horizontal resize arrow; other numbers show the default
    // arrow but are still returned by pointerShape().
    int pointerShape() const { return pointerShape_; }
    void setPointerShape(int shape);

    // Drawing from pictures: both are scaled to the gauge's size, and the full one covers the
    // left value/maximum part of the empty one. Two null pictures return to the colours.
    void setPictures(const QPixmap& empty, const QPixmap& full);
    void setBackColor(const QColor& colour);
    QColor backColor() const { return backColour_; }
    void setFillColor(const QColor& colour);
    QColor fillColor() const { return fillColour_; }
    // Drawn over the back colour, under the fill; a null picture removes it.
    void setBackPicture(const QPixmap& picture);
    void setCaptionFont(const QFont& font);
    QFont captionFont() const { return captionFont_; }

    // Whether the caption offered to captionRequested starts as the decimal value (true, the
    // default) or empty. Either way the gauge draws whatever text the handler leaves.
    void setCaptionVisible(bool visible);
    bool isCaptionVisible() const { return captionVisible_; }
    // The text the last captionRequested left, which is what is drawn.
    QString captionText() const { return caption_; }

    QSize sizeHint() const override;

  signals:
    // A button pressed on the gauge was released (over the gauge or anywhere else).
    void clicked();
    // Raised by every setValue() and before every paint. `caption` holds the text the gauge
    // would draw (the decimal value, or "" when the caption is hidden); a handler may replace
    // it. Handlers must not call setValue(), which would ask again and repaint forever.
    void captionRequested(QString& caption, int value);
    void mousePressed(int buttons, int modifiers, double x, double y);
    // Raised while the pointer is over the gauge and, while a button pressed on the gauge is
    // held, outside it too (x may then be negative or past the width).
    void mouseMoved(int buttons, int modifiers, double x, double y);
    void mouseReleased(int buttons, int modifiers, double x, double y);
    // A key asked for `value` (inside 0..maximum(), different from value()); the gauge does
    // not take it itself.
    void keyStep(int value);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void requestCaption();
    // The filled share of the width, 0..1.
    double filledFraction() const;
    void drawCaption(QPainter& painter) const;

    int value_ = 0;
    int maximum_ = 100;
    int pointerShape_ = kDefaultPointer;
    QPixmap emptyPicture_;
    QPixmap fullPicture_;
    QPixmap backPicture_;
    QColor backColour_{7, 0, 128};
    QColor fillColour_{0, 0, 255};
    QFont captionFont_;
    bool captionVisible_ = true;
    QString caption_;
    // The buttons pressed on the gauge and not yet released.
    int pressedButtons_ = 0;
};

}  // namespace vondrel
