#pragma once

#include <QColor>
#include <QLabel>
#include <array>

namespace vondrel {

// A button drawn from pictures: three stacked faces (normal, hover, pressed) at one place,
// a caption on top of them (or none), and a transparent hit area above both that takes
// the mouse.
struct SkinnedButton {
    std::array<QLabel*, 3> faces{};
    QLabel* caption = nullptr;
    QWidget* hitArea = nullptr;

    // The face shown now: 0 normal, 1 hover, 2 pressed.
    int state() const;
};

enum ButtonState { Normal = 0, Hover = 1, Pressed = 2 };

inline const QColor kCaptionNormal{255, 255, 255};
inline const QColor kCaptionLit{244, 245, 170};

// Shows the face for `state` before hiding the other two, so the button never shows no
// face, then recolours the caption (when the button has one). Any other state changes
// nothing.
void paintButtonState(SkinnedButton& button, int state);

}  // namespace vondrel
