#pragma once

// A slow, literal second implementation of the person loader, written to be checked by eye
// rather than to be fast: every file searches the neighbourhood bytes from the start and
// walks every family record in turn. The tests compare the real loader against it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Bytes.h"
#include "gamedata/PersonLoader.h"
#include "model/Persons.h"

namespace vondrel::testing {

// How often each way through the per-file pass was taken; lets a test see which paths a
// batch of inputs actually reached.
struct OracleCounters {
    long files = 0;
    long unreadable = 0;          // no bytes at all
    long characterRejected = 0;   // no "OBJD", no NUL after the name (or unreadable)
    long rejectedWithSlot = 0;    // ... and its record named a slot, which got "*UNK*"
    long noSlot = 0;              // readable, but no usable neighbour record
    long houseRejected = 0;       // family house above 10
    long ghostRejected = 0;       // ghost flag neither 0 nor 1
    long valueRejected = 0;       // a value outside its range
    long accepted = 0;            // reached the picker
    long acceptedWithFamily = 0;  // ... with a non-empty family name
    long acceptedFamilyLess = 0;  // ... without one
    long unnamedFamilies = 0;     // a family holding the key was found but had no name
    long shortKeys = 0;           // readable file whose key has fewer than 4 bytes
    long emptyKeys = 0;
    long portraits = 0;  // accepted with a portrait (possibly cut short)
    long relationsStored = 0;
    long relationsSkipped = 0;     // entries with a value count other than 2
    long relationsOtherIdBad = 0;  // two-value entries naming no slot
    long walksCutByEnd = 0;        // an entry would have run past the end of the file
    long walksEndedByMarker = 0;   // a next marker other than 1 ended the list
    long walksEndedByCount = 0;
    long wholeNameAfterBare = 0;     // the name followed by NUL first occurs after the bare name
    long bareNameOnly = 0;           // the name occurs, but never followed by NUL
    long sameSlot = 0;               // a file named a slot that an earlier file named
    long sameSlotEntryDropped = 0;   // ... and the earlier file's picker entry went
    long sameSlotLaterRejected = 0;  // ... and the later file was rejected itself

    OracleCounters& operator+=(const OracleCounters& o);
};

// Loads the persons of `files` the slow way; same contract as loadPersons.
std::vector<PickerEntry> oracleLoad(const std::vector<CharacterSource>& files,
                                    ByteView neighborhood, Persons& persons, LoadSink& sink,
                                    OracleCounters* counters = nullptr);

// One little-endian value a save writes.
struct OracleWrite {
    std::size_t offset = 0;  // 0-based
    int width = 0;           // bytes
    std::int32_t value = 0;
};

// Every value a save may write for one record (a record a file was accepted into, whatever
// its first name), in the order of the record's fields; nothing for any other slot.
std::vector<OracleWrite> oracleWrites(const PersonRecord& record);

// The same for one record; nothing when the save leaves it alone.
std::vector<std::pair<std::size_t, int>> oracleWrittenRanges(const PersonRecord& record);

// Windows-1252 text of a file name given as UTF-8, written apart from the program's own
// conversion so that the reference loader and the random games share nothing with it: bytes
// that are not UTF-8 stand for themselves; nothing when a character has no Windows-1252 form.
std::optional<std::string> literalCp1252(std::string_view utf8);
// Lower case as the code page has it: A-Z, À-Þ but ×, Š Œ Ž and Ÿ.
std::string literalCp1252Lower(std::string_view bytes);

}  // namespace vondrel::testing
