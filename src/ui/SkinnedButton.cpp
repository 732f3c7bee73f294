#include "ui/SkinnedButton.h"

namespace vondrel {

int SkinnedButton::state() const {
    for (int i = 0; i < 3; ++i) {
        if (faces[static_cast<std::size_t>(i)] &&
            faces[static_cast<std::size_t>(i)]->isVisibleTo(
                faces[static_cast<std::size_t>(i)]->parentWidget()))
            return i;
    }
    return -1;
}

void paintButtonState(SkinnedButton& button, int state) {
    if (state < Normal || state > Pressed)
        return;
    button.faces[static_cast<std::size_t>(state)]->setVisible(true);
    for (int i = 2; i >= 0; --i) {
        if (i != state)
            button.faces[static_cast<std::size_t>(i)]->setVisible(false);
    }
    if (button.caption) {
        QPalette palette = button.caption->palette();
        palette.setColor(QPalette::WindowText, state == Normal ? kCaptionNormal : kCaptionLit);
        button.caption->setPalette(palette);
    }
}

}  // namespace vondrel
