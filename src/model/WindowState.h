#pragma once

#include <optional>
#include <string>

#include "model/PersonRecord.h"
#include "model/Persons.h"

namespace vondrel {

// What the main window holds for the whole run.
struct WindowState {
    Persons persons;
    // The game folder in the platform's form, always ending in a separator.
    std::string GamePath;
    std::string TempPath;
    // The chosen person; empty when the chosen text matched nobody.
    std::optional<Integer> CurrentId;
    bool Saved = false;
    bool GhostShown = false;
    bool SLoveChecked = false;
    bool YLoveChecked = false;

    // An empty id counts as slot 0.
    int currentIndex() const { return CurrentId.value_or(0); }
    PersonRecord& current() { return persons[currentIndex()]; }
};

}  // namespace vondrel
