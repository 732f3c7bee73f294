#pragma once

#include <QColor>
#include <QSize>

#include "editing/Household.h"
#include "platform/MessageBoxes.h"
#include "resources/StringTable.h"
#include "ui/ImageList.h"

namespace vondrel {

// What the window's panels share: the household they show and edit, the person shown, the
// portraits, and the services for messages and texts.
struct EditorContext {
    EditorContext(MessageBoxes& messageBoxes, const StringTable& stringTable)
        : messages(messageBoxes), strings(stringTable) {}

    MessageBoxes& messages;
    const StringTable& strings;
    // Portraits by file position, keys "ID=" + id, the placeholder ("Unknown") last.
    ImageList faces{QSize(25, 25), QColor(192, 192, 192)};
    Household* household = nullptr;
    // The person shown; kNobody before one is chosen.
    static constexpr int kNobody = -1;
    int current = kNobody;

    bool hasPerson() const { return household != nullptr && current != kNobody; }
    const PersonRecord& person() const { return household->person(current); }
    // The current person can be edited (a person of an accepted file is shown).
    bool editable() const { return hasPerson() && household->isEditable(current); }
    QString text(int id) const { return QString::fromStdString(strings.text(id)); }
    bool ask(int id) const {
        return messages.show(strings.text(id), MessageIcon::Question, MessageButtons::YesNo) ==
               MessageAnswer::Yes;
    }
};

}  // namespace vondrel
