#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "base/FileDevice.h"
#include "resources/StringTable.h"

namespace vondrel {

// One little-endian value to write into the neighbourhood file.
struct Patch {
    std::uint64_t offset;  // 0-based
    int width;             // 2 or 4 bytes
    std::int32_t value;
    bool operator==(const Patch&) const = default;
};

struct SaveOutcome {
    bool saved = false;
    // Why nothing (or not everything) was saved, for the user (UTF-8).
    std::string message;
};

// Patches the neighbourhood file in place. It knows what the file must hold, the bytes
// that were loaded plus its own earlier saves, and refuses to write when the file on disk
// holds anything else: then the loaded positions may no longer be the persons' values.
// The check, the writes and the flush to the disk go through one open handle.
class NeighborhoodSaver {
  public:
    NeighborhoodSaver(std::filesystem::path path, Bytes loaded, FileOpener& files = systemFiles());

    // Runs before anything is written, only when something will be; a non-empty result
    // stops the save with that message.
    using BeforeWriting = std::function<std::string()>;

    // Writes the bytes of `patches` that differ from what the file holds (patches that do
    // not lie wholly inside the file are left out), changed bytes up to a few pages apart in
    // one positioned write that puts back the unchanged bytes between them as they are, then
    // flushes. Nothing to write still checks the file.
    SaveOutcome save(const std::vector<Patch>& patches, const BeforeWriting& beforeWriting = {},
                     const StringTable& strings = StringTable::builtIn());

    const std::filesystem::path& path() const { return path_; }
    // What the file holds when nobody else changed it.
    const Bytes& expected() const { return expected_; }
    // True after a save that failed part-way: some bytes on disk may be ours, some not; the
    // next save puts every one of them right.
    bool hasUnsettledBytes() const { return !unsettled_.empty(); }

  private:
    bool holdsExpected(FileDevice& file, std::string& error) const;

    std::filesystem::path path_;
    Bytes expected_;
    FileOpener& files_;
    // Bytes a failed save may or may not have written: position -> the values it tried.
    std::map<std::uint64_t, std::string> unsettled_;
};

}  // namespace vondrel
