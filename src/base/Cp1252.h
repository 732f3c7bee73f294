#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vondrel {

// The game's texts are single-byte Windows-1252. The five bytes that code page leaves
// undefined map to the C1 controls of the same number, so decoding is one-to-one and two
// decoded texts are equal exactly when their bytes are.
std::string cp1252ToUtf8(std::string_view bytes);
// The inverse; a character the code page cannot hold, or malformed UTF-8, becomes '?'.
std::string utf8ToCp1252(std::string_view utf8);
// A file name as the game spells it: its UTF-8 characters in the code page, and bytes that
// are not UTF-8 kept as they are (a name written where file names are not UTF-8 is taken to
// be in the code page already). Nothing when it holds a character the code page lacks: the
// game cannot have written such a name.
std::optional<std::string> fileNameToCp1252(std::string_view name);
// Lower case as Windows-1252 knows it (ASCII letters, the accented capitals, Š Œ Ž Ÿ).
std::string cp1252Lower(std::string_view bytes);

}  // namespace vondrel
