#include "ui/ButtonRow.h"

#include "ui/SurfaceWidgets.h"

namespace vondrel {

ButtonRow::ButtonRow(DesignSurface& surface, EditorContext& context)
    : QObject(surface.window()), context_(context) {
    save_ = surface.button("imgSave", "button", "lblSave", "Save", "btnSave");
    exit_ = surface.button("imgExit", "button", "lblExit", "Exit", "btnExit");
    help_ = surface.button("imgHelp", "button", "lblHelp", "Help", "btnHelp");
    about_ = surface.button("imgAbout", "button", "lblAbout", "About", "btnAbout");

    const std::array<SkinnedButton*, 4> row = {&save_, &exit_, &help_, &about_};
    for (SkinnedButton* b : row) {
        auto* area = static_cast<HitArea*>(b->hitArea);
        connect(area, &HitArea::pressed, this, [b](int) { paintButtonState(*b, Pressed); });
        connect(area, &HitArea::released, this, [b](int) { paintButtonState(*b, Hover); });
        connect(area, &HitArea::moved, this, [b, row](int buttons) {
            for (SkinnedButton* other : row) {
                if (other != b)
                    paintButtonState(*other, Normal);
            }
            paintButtonState(*b, buttons == 1 ? Pressed : Hover);
        });
    }
    connect(static_cast<HitArea*>(save_.hitArea), &HitArea::clicked, this, &ButtonRow::saveClicked);
    connect(static_cast<HitArea*>(exit_.hitArea), &HitArea::clicked, this, &ButtonRow::exitClicked);
    connect(static_cast<HitArea*>(help_.hitArea), &HitArea::clicked, this, &ButtonRow::helpClicked);
    connect(static_cast<HitArea*>(about_.hitArea), &HitArea::clicked, this,
            &ButtonRow::aboutClicked);
}

void ButtonRow::setCaptions() {
    const auto caption = [this](SkinnedButton& button, int id) {
        button.caption->setText(context_.text(id));
        fitText(button.caption);
        // The hit area is what the keyboard reaches; a screen reader names it by its caption.
        button.hitArea->setAccessibleName(button.caption->text());
    };
    caption(save_, 125);
    caption(exit_, 126);
    caption(help_, 127);
    caption(about_, 128);
}

void ButtonRow::paintSaveNormal() {
    paintButtonState(save_, Normal);
}

void ButtonRow::paintNormal() {
    for (SkinnedButton* b : {&save_, &exit_, &help_, &about_})
        paintButtonState(*b, Normal);
}

}  // namespace vondrel
