#pragma once

#include <string>
#include <vector>

#include "base/Bytes.h"

namespace vondrel {

// Finds where each of many record names sits, in one pass over the data (Aho-Corasick: the
// time grows with the data and the names' length, however much the names share). A record holds its
// name followed by a NUL byte, so a name's place is its first occurrence followed directly by a
// NUL; a name that never occurs so is placed at its first occurrence. This keeps "user1"
// away from an earlier "user10". Returns 0-based offsets, kNoMatch for names that do not
// occur or are empty.
std::vector<std::size_t> findRecordNames(ByteView data, const std::vector<std::string>& names);

}  // namespace vondrel
