#include "ui/MainWindow.h"

namespace vondrel {

void MainWindow::wireSave() {
    connect(static_cast<HitArea*>(save.hitArea), &HitArea::clicked, this, &MainWindow::saveClicked);
}

void MainWindow::saveClicked() {
    const std::string question =
        strings_.text(text::AreYouSure) + "\n" + strings_.text(text::NoBackups);
    if (messages_.show(question, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        return;
    }
    if (!saver)
        return;
    const SaveOutcome outcome = saver->save(state.persons, strings_);
    if (!outcome.saved) {
        // Nothing (or not all) was written: the edits stay unsaved.
        messages_.show(outcome.message, MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    messages_.show(strings_.text(text::Saved), MessageIcon::None, MessageButtons::Ok);
    state.Saved = true;
}

}  // namespace vondrel
