#pragma once

#include "editing/Household.h"
#include "platform/MessageBoxes.h"
#include "platform/RunningGame.h"
#include "resources/StringTable.h"

namespace vondrel {

// The Save button: asks first (naming where the copy of the file is kept), warns and asks
// again while the game seems to run, saves, and tells how it went. True when saved.
bool saveAfterAsking(Household& household, MessageBoxes& messages, RunningGame& game,
                     const StringTable& strings = StringTable::builtIn());

}  // namespace vondrel
