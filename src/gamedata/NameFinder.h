#pragma once

#include <string>
#include <vector>

#include "base/Bytes.h"

namespace vondrel {

// Finds the first occurrence of each of many byte strings in one pass over the data
// (Wu-Manber: a shift table over two-byte blocks lets the scan skip most positions).
// Returns 0-based offsets, kNoMatch for names that do not occur or are empty.
std::vector<std::size_t> findFirstOccurrences(ByteView data, const std::vector<std::string>& names);

}  // namespace vondrel
