#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "model/Persons.h"
#include "resources/StringTable.h"

namespace vondrel {

// One listed character file: its name (UTF-8, as the file system shows it) and its bytes,
// or nothing when it could not be read.
struct CharacterSource {
    std::string fileName;
    std::optional<Bytes> bytes;
};

// Receives, in file order, everything the window shows while loading.
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
    // A person picker entry (Windows-1252 text) showing picture `imageNumber` (from 1).
    virtual void pickerEntry(const std::string& text, int imageNumber) = 0;
};

inline constexpr int kProgressPerFile = 6;
inline constexpr const char* kNoVeksDetected = "No veks detected!";
inline constexpr const char* kUnknownImageKey = "Unknown";
std::string imageKeyOf(int id);

// The per-file pass over the listed character files and the neighbourhood file's bytes:
// fills `persons` and tells `sink` what to show. Does not call sink.begin.
void loadPersons(const std::vector<CharacterSource>& files, ByteView neighborhood, Persons& persons,
                 LoadSink& sink, const StringTable& strings = StringTable::builtIn());

// The character files of a folder: every file whose name ends in ".iff" in any letter
// case, sorted by name ignoring case. Hidden files are left out.
std::vector<std::filesystem::path> listCharacterFiles(const std::filesystem::path& folder);

enum class LoadStatus { Loaded, CharactersFolderMissing, NoCharacters, NeighborhoodUnreadable };

struct GameFolderLoad {
    LoadStatus status = LoadStatus::Loaded;
    std::filesystem::path neighborhoodPath;
    // The neighbourhood file as it was read; the save checks the file against it.
    Bytes neighborhood;
};

std::filesystem::path charactersFolderOf(const std::filesystem::path& gamePath);
std::filesystem::path neighborhoodPathOf(const std::filesystem::path& gamePath);

// Loads a whole game folder. On any status but Loaded the sink has been told why and the
// program cannot go on.
GameFolderLoad loadGameFolder(const std::filesystem::path& gamePath, Persons& persons,
                              LoadSink& sink, const StringTable& strings = StringTable::builtIn());
// The same for a folder given as UTF-8 text, as the registry, the settings and the folder
// dialog give it.
GameFolderLoad loadGameFolder(const std::string& gamePath, Persons& persons, LoadSink& sink,
                              const StringTable& strings = StringTable::builtIn());

}  // namespace vondrel
