#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/Bytes.h"

namespace vondrel {

// A first name longer than this is no name the game wrote: such a file is not accepted, so
// no file makes the loader keep more than a few kilobytes of it.
inline constexpr std::size_t kMaxFirstName = 255;

// Portraits are 25 x 25 pixel 24-bit bitmap files.
inline constexpr std::size_t kPortraitSize = 1954;

struct CharacterFile {
    bool accepted = false;
    // The person's name in the neighbourhood file: the file name without its last four
    // characters, in lower case (Windows-1252 bytes).
    std::string recordName;
    std::string firstName;
    // Up to 4 bytes; fewer when the file ends early.
    std::string personKey;
    // The bitmap file bytes (fewer than kPortraitSize when the file ends early).
    std::optional<Bytes> portrait;

    bool operator==(const CharacterFile&) const = default;
};

// The record name of a character file, from its name as the file system gives it (UTF-8,
// or bytes that are not UTF-8); empty for a name the game's code page cannot hold.
std::string recordNameOf(std::string_view fileNameUtf8);

// Reads one character file from its bytes. Never fails on malformed data: such a file
// comes back not accepted.
CharacterFile readCharacterFile(std::string_view fileNameUtf8, ByteView data);

}  // namespace vondrel
