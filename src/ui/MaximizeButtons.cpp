#include "ui/MaximizeButtons.h"

#include "ui/SurfaceWidgets.h"

namespace vondrel {
namespace {

constexpr int kAskRelationships = 135;
constexpr int kAskBestJob = 136;

}  // namespace

MaximizeButtons::MaximizeButtons(DesignSurface& surface, EditorContext& context)
    : QObject(surface.window()), context_(context) {
    maxVek_ = surface.button("pctMaxVek", "maxvek", nullptr, nullptr, "imgMaxVEK");
    maxFam_ = surface.button("pctMaxFAM", "maxfam", nullptr, nullptr, "imgMaxFAM");
    const auto wire = [this](SkinnedButton* own, SkinnedButton* other, bool wholeFamily) {
        auto* area = static_cast<HitArea*>(own->hitArea);
        connect(area, &HitArea::pressed, this, [own](int) { paintButtonState(*own, Pressed); });
        connect(area, &HitArea::released, this, [own](int) { paintButtonState(*own, Hover); });
        connect(area, &HitArea::moved, this, [own, other](int buttons) {
            paintButtonState(*other, Normal);
            paintButtonState(*own, buttons == 1 ? Pressed : Hover);
        });
        connect(area, &HitArea::clicked, this, [this, wholeFamily] { maximize(wholeFamily); });
    };
    wire(&maxVek_, &maxFam_, false);
    wire(&maxFam_, &maxVek_, true);
}

void MaximizeButtons::setCaptions() {
    maxVek_.hitArea->setToolTip(context_.text(102));
    maxFam_.hitArea->setToolTip(context_.text(103));
    maxVek_.hitArea->setAccessibleName(context_.text(102));
    maxFam_.hitArea->setAccessibleName(context_.text(103));
}

void MaximizeButtons::paintNormal() {
    paintButtonState(maxVek_, Normal);
    paintButtonState(maxFam_, Normal);
}

void MaximizeButtons::maximize(bool wholeFamily) {
    if (!context_.editable())
        return;
    // Both questions come first: nothing changes before they are answered.
    const bool relationships = context_.ask(kAskRelationships);
    const bool bestJob = context_.ask(kAskBestJob);
    Household& household = *context_.household;
    const bool changed = wholeFamily
                             ? household.maximizeFamily(context_.current, relationships, bestJob)
                             : household.maximizePerson(context_.current, relationships, bestJob);
    if (changed)
        emit edited();
}

}  // namespace vondrel
