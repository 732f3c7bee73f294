#pragma once

// A slow, literal second implementation of the person loader, written to be checked by eye
// rather than to be fast, sharing no code with the program's loader. The tests compare the
// real loader against it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Bytes.h"
#include "gamedata/PersonLoader.h"
#include "model/Persons.h"

namespace vondrel::testing {

// Loads the persons of `files` the slow way; same contract as loadPersons.
std::vector<PickerEntry> oracleLoad(const std::vector<CharacterSource>& files,
                                    ByteView neighborhood, Persons& persons, LoadSink& sink);

// One little-endian value a save writes.
struct OracleWrite {
    std::size_t offset = 0;  // 0-based
    int width = 0;           // bytes
    std::int32_t value = 0;
};

// Every value a save may write for a record a file was accepted into, in the order of the
// record's fields; nothing for any other slot.
std::vector<OracleWrite> oracleWrites(const PersonRecord& record);

// Windows-1252 text of a file name given as UTF-8, apart from the program's own conversion;
// nothing when a character has no Windows-1252 form.
std::optional<std::string> literalCp1252(std::string_view utf8);
// Lower case as the code page has it: A-Z, À-Þ but ×, Š Œ Ž and Ÿ.
std::string literalCp1252Lower(std::string_view bytes);

}  // namespace vondrel::testing
