#pragma once

// Builds synthetic game folders: character files with portraits and a neighbourhood file
// with neighbour records, relationship lists, families and filler between them. Used by
// the tests, the benchmarks, the fuzz seeds and the demo game.

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace vondrel::build {

using Bytes = std::vector<std::uint8_t>;
using PersonKey = std::array<std::uint8_t, 4>;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

// A 25 x 25 24-bit bitmap file (1954 bytes): a face drawn from `seed`.
Bytes drawPortrait(std::uint32_t seed);
// A 25 x 25 24-bit bitmap file filled with one colour.
Bytes solidPortrait(Rgb colour);

struct Relationship {
    std::int16_t otherId = 0;
    std::int16_t value = 0;
    bool loves = false;
    // Number of values in the entry; the game writes 2 (value and love flag).
    std::int16_t valueCount = 2;
};

struct PersonSpec {
    // Character file name as the file system shows it (UTF-8), e.g. "Ann.iff".
    std::string fileName;
    // Windows-1252 bytes.
    std::string firstName;
    PersonKey key{};
    // The bitmap file stored as the portrait; none: the file has no portrait block.
    std::optional<Bytes> portrait;
    // Leaves the "OBJD" anchor out, so the program must reject the file.
    bool omitAnchor = false;
    // Arbitrary bytes (see arbitraryBytes) after the person key and before the portrait
    // block, and after the file's last block, as the game's other chunks would take up.
    std::size_t bytesBeforePortrait = 0;
    std::size_t bytesAfterPortrait = 0;
    std::uint32_t bytesSeed = 0;

    // Neighbour record; when false the neighbourhood file does not name this person.
    bool inNeighborhood = true;
    // The text the neighbour record starts with; empty: derived from the file name.
    std::string recordName;
    std::int16_t id = 0;
    std::int16_t nice = 500, active = 500, playful = 500, outgoing = 500, neat = 500;
    std::int16_t cleaning = 300, cooking = 300, charisma = 300, mechanical = 300, creativity = 300,
                 body = 300, logic = 300;
    std::int16_t jobTrack = -1, jobLevel = 0, jobPerformance = 0, sex = 0, lingerHouse = 0,
                 ghost = 0;
    std::vector<Relationship> relations;
    // Overrides for the relationship-list flag and count (defaults: -1 and the list size).
    std::optional<std::int16_t> relationFlag;
    std::optional<std::int16_t> relationCount;
};

struct FamilySpec {
    // Windows-1252 bytes; empty writes an empty name.
    std::string name;
    std::int16_t house = 1;
    std::int32_t money = 20000;
    // Written one after another into the 32-byte member list (at most 8).
    std::vector<PersonKey> members;
    // Without it the family has no name marker of its own.
    bool nameMarker = true;
};

struct GameSpec {
    std::vector<PersonSpec> persons;
    std::vector<FamilySpec> families;
    // Filler bytes before each record; they never form letters or markers.
    std::size_t fillerBetween = 48;
    // The neighbourhood file is padded with filler up to this size.
    std::size_t minimumSize = 0;
    // Spreads the records evenly over minimumSize instead of padding after them, with the
    // filler made of arbitrary bytes (see arbitraryBytes) instead of plain filler.
    bool spread = false;
    std::uint32_t seed = 1;
};

// Where the builder put things (0-based offsets into the neighbourhood file).
struct Layout {
    std::map<std::string, std::size_t> recordOffset;  // by record name
    std::vector<std::size_t> familyOffset;            // by family index
};

struct BuiltGame {
    std::vector<std::pair<std::string, Bytes>> characterFiles;  // name, bytes
    Bytes neighborhood;
    Layout layout;
};

std::string recordNameFor(const PersonSpec& person);
Bytes characterFileBytes(const PersonSpec& person);
Bytes neighborhoodBytes(const GameSpec& game, Layout* layout = nullptr);
BuiltGame build(const GameSpec& game);

// Writes VEKS.EXE, UserData/Characters/<files> and UserData/Neighborhood.iff under `folder`.
void writeGameFolder(const BuiltGame& game, const std::filesystem::path& folder);

// A well-formed game of `persons` persons in families of up to four, with relationships,
// padded to at least `minimumSize` bytes.
GameSpec randomGame(std::mt19937& rng, int persons, std::size_t minimumSize = 0);

// Bytes as a played game's files hold between the records this program looks for: runs of
// random bytes, of zeros and of text, and pieces of the patterns the searches look for
// ("BMP_" blocks of other sizes, "IMA", "OBJ", the name marker's first bytes). They never
// complete a pattern the program searches for, except by chance in random runs.
Bytes arbitraryBytes(std::size_t count, std::mt19937& rng);

// A game shaped like a played one: randomGame's persons, each character file about 40 KB
// with its portrait deep inside, the records and families spread over a neighbourhood
// file of `neighborhoodSize` bytes with arbitrary bytes between them.
GameSpec playedGame(std::mt19937& rng, int persons, std::size_t neighborhoodSize);

// A small game of invented persons to show the program with.
GameSpec demoGame();

}  // namespace vondrel::build
