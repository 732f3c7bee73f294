#pragma once

// Random game folders for the comparison and save tests: synthetic games from the game
// builder, varied in shape and then, more often than not, damaged in the ways real files
// and careless tools damage them.

#include <cstdint>
#include <vector>

#include "base/Bytes.h"
#include "gamedata/PersonLoader.h"

namespace vondrel::testing {

struct RandomFolder {
    std::vector<CharacterSource> files;
    Bytes neighborhood;
    // Nothing was damaged and every record name, followed by a NUL, first occurs where its
    // record starts: every person's values sit where the game put them.
    bool wellFormed = false;
};

// The same seed gives the same folder.
RandomFolder randomFolder(std::uint32_t seed);

}  // namespace vondrel::testing
