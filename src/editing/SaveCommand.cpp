#include "editing/SaveCommand.h"

#include "base/FileIO.h"
#include "editing/Backups.h"

namespace vondrel {

bool saveAfterAsking(Household& household, MessageBoxes& messages, RunningGame& game,
                     const StringTable& strings) {
    const auto ask = [&](const std::string& question) {
        return messages.show(question, MessageIcon::Question, MessageButtons::YesNo) ==
               MessageAnswer::Yes;
    };
    std::string question = strings.text(text::AreYouSure);
    if (const Backups* backups = household.backups())
        question += "\n" + strings.text(text::CopyKeptIn) + "\n" + utf8Of(backups->folder());
    else
        question += "\n" + strings.text(text::NoBackups);
    if (!ask(question))
        return false;
    if (game.isRunning() &&
        !ask(strings.text(text::GameRunning) + "\n" + strings.text(text::SaveAnyway))) {
        return false;
    }
    const SaveOutcome outcome = household.save(strings);
    if (!outcome.saved) {
        messages.show(outcome.message, MessageIcon::Critical, MessageButtons::Ok);
        return false;
    }
    messages.show(strings.text(text::Saved), MessageIcon::None, MessageButtons::Ok);
    return true;
}

}  // namespace vondrel
