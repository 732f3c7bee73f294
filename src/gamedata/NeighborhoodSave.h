#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "model/Persons.h"
#include "resources/StringTable.h"

namespace vondrel {

// One little-endian value to write into the neighbourhood file.
struct Patch {
    std::size_t offset;  // 0-based
    int width;           // 2 or 4 bytes
    std::int32_t value;
    bool operator==(const Patch&) const = default;
};

// Every write a save makes, in the order it makes them: for each changed person (non-empty
// first name, not from a rejected file) its sixteen values, the family money, the ghost
// state and every relationship value and love flag.
std::vector<Patch> savePatches(const Persons& persons);

// Applies the patches that lie wholly inside `image`; returns how many did not.
std::size_t applyPatches(Bytes& image, const std::vector<Patch>& patches);

struct SaveOutcome {
    bool saved = false;
    // Why nothing (or not everything) was saved, for the user (UTF-8).
    std::string message;
};

// Patches the neighbourhood file in place. It knows what the file must hold, the bytes
// that were loaded plus its own earlier saves, and refuses to write when the file on disk
// holds anything else: then the loaded positions may no longer be the persons' values.
class NeighborhoodSaver {
  public:
    NeighborhoodSaver(std::filesystem::path path, Bytes loaded);

    SaveOutcome save(const Persons& persons, const StringTable& strings = StringTable::builtIn());

    const std::filesystem::path& path() const { return path_; }
    const Bytes& expected() const { return expected_; }

  private:
    std::filesystem::path path_;
    Bytes expected_;
};

}  // namespace vondrel
