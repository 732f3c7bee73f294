#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "base/FileIO.h"
#include "gamedata/CharacterFile.h"
#include "model/Persons.h"
#include "resources/StringTable.h"

namespace vondrel {

// One listed character file: its name (UTF-8, as the file system shows it) and its bytes,
// or nothing when it could not be read.
struct CharacterSource {
    std::string fileName;
    std::optional<Bytes> bytes;
    // Why the file could not be read, when it could not and the reason is known.
    std::string error = {};
    // The file already read from its bytes, which then need not be kept.
    std::optional<CharacterFile> parsed = std::nullopt;
};

// Receives, in file order, the progress, messages and portraits the window shows while
// loading; the picker entries come back from the load itself.
class LoadSink {
  public:
    virtual ~LoadSink() = default;
    // The progress bar's maximum; its value starts at 0.
    virtual void begin(int maximum) = 0;
    virtual void advance(int amount) = 0;
    // An error for the user (UTF-8, lines joined by '\n'); loading goes on after it.
    virtual void message(const std::string& text) = 0;
    // The next picture of the portrait list. `key` is "ID=" + id, "Unknown" for the last
    // picture, or empty for a rejected file that names no slot. Without portrait bytes the
    // picture is the placeholder face.
    virtual void image(const std::string& key, const std::optional<Bytes>& portrait) = 0;
    // A message kept out of the boxes (see kMessagesShown); printed to the error output.
    virtual void log(const std::string& text);
};

// The messages of one game folder's load that are shown one by one; the rest are gathered
// into one closing message and logged in full.
inline constexpr int kMessagesShown = 10;
// How many of the gathered messages the closing message lists.
inline constexpr int kMessagesListed = 20;

// The most the loader reads of each file; larger files are refused before they are read.
struct FileLimits {
    std::uint64_t neighborhood = 256 * kMebibyte;
    std::uint64_t character = 16 * kMebibyte;
};

// A person picker entry: the slot it was made from, its text and the picture it shows.
struct PickerEntry {
    int id = 0;
    std::string text;  // Windows-1252
    // The picture of the portrait list (from 1), the one the file put there.
    int imageNumber = 0;
    bool operator==(const PickerEntry&) const = default;
};

inline constexpr int kProgressPerFile = 6;
inline constexpr const char* kNoVeksDetected = "No veks detected!";
inline constexpr const char* kUnknownImageKey = "Unknown";
std::string imageKeyOf(int id);

// The per-file pass over the listed character files and the neighbourhood file's bytes:
// fills `persons` (an empty table: slots the files name are taken to hold no relationship
// yet), tells `sink` what to show and returns the picker entries in file order.
// When two files name the same slot, the later one keeps it: the earlier one's entry is left
// out and the sink is told. Does not call sink.begin.
std::vector<PickerEntry> loadPersons(const std::vector<CharacterSource>& files,
                                     ByteView neighborhood, Persons& persons, LoadSink& sink,
                                     const StringTable& strings = StringTable::builtIn());

// The character files of a folder: every file whose name ends in ".iff" in any letter
// case, sorted by name ignoring case. Hidden files and folders are left out.
std::vector<std::filesystem::path> listCharacterFiles(const std::filesystem::path& folder);

enum class LoadStatus { Loaded, CharactersFolderMissing, NoCharacters, NeighborhoodUnreadable };

struct GameFolderLoad {
    LoadStatus status = LoadStatus::Loaded;
    std::filesystem::path neighborhoodPath;
    // The neighbourhood file as it was read; the save checks the file against it.
    Bytes neighborhood;
    // The person picker's entries, as loadPersons returns them.
    std::vector<PickerEntry> entries;
};

std::filesystem::path charactersFolderOf(const std::filesystem::path& gamePath);
std::filesystem::path neighborhoodPathOf(const std::filesystem::path& gamePath);

// Loads a whole game folder. On any status but Loaded the sink has been told why and the
// program cannot go on.
GameFolderLoad loadGameFolder(const std::filesystem::path& gamePath, Persons& persons,
                              LoadSink& sink, const StringTable& strings = StringTable::builtIn(),
                              const FileLimits& limits = {});
// The same for a folder given as UTF-8 text, as the registry, the settings and the folder
// dialog give it.
GameFolderLoad loadGameFolder(const std::string& gamePath, Persons& persons, LoadSink& sink,
                              const StringTable& strings = StringTable::builtIn(),
                              const FileLimits& limits = {});

}  // namespace vondrel
