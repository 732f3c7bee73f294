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

// 25 x 25 24-bit bitmap files (1954 bytes): a face drawn from `seed`, or one colour.
Bytes drawPortrait(std::uint32_t seed);
Bytes solidPortrait(Rgb colour);

struct Relationship {
    std::int16_t otherId = 0, value = 0;
    bool loves = false;
    // Number of values in the entry; the game writes 2 (value and love flag).
    std::int16_t valueCount = 2;
};

struct PersonSpec {
    std::string fileName;   // as the file system shows it (UTF-8), e.g. "Ann.iff"
    std::string firstName;  // Windows-1252 bytes
    PersonKey key{};
    std::optional<Bytes> portrait;  // the bitmap file; none: no portrait block
    bool omitAnchor = false;        // no "OBJD": the program must reject the file
    // Arbitrary bytes before the portrait block (and a sixteenth of that after the last
    // block), as the game's other chunks take up.
    std::size_t padding = 0;

    // Neighbour record; when false the neighbourhood file does not name this person.
    bool inNeighborhood = true;
    // The text the neighbour record starts with; empty: the file name, lower case, no ".iff".
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
    std::string name;  // Windows-1252 bytes
    std::int16_t house = 1;
    std::int32_t money = 20000;
    std::vector<PersonKey> members;  // written one after another into the 32-byte list
    bool nameMarker = true;          // without it the family has no name of its own
};

struct GameSpec {
    std::vector<PersonSpec> persons;
    std::vector<FamilySpec> families;
    // Filler bytes before each record, never forming letters or markers; raised so that the
    // records spread evenly over minimumSize, up to which the file is padded.
    std::size_t fillerBetween = 48;
    std::size_t minimumSize = 0;
    // The filler is arbitrary bytes as a played game holds (pieces of the patterns searched
    // for, runs of zeros, text, random bytes) instead of plain filler.
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
BuiltGame build(const GameSpec& game);

// Writes VEKS.EXE, UserData/Characters/<files> and UserData/Neighborhood.iff under `folder`.
void writeGameFolder(const BuiltGame& game, const std::filesystem::path& folder);

// A well-formed game of `persons` persons in families of up to four, with relationships,
// padded to at least `minimumSize` bytes.
GameSpec randomGame(std::mt19937& rng, int persons, std::size_t minimumSize = 0);
// The same shaped like a played game: character files of about 40 KB with the portrait
// deep inside, records spread over `neighborhoodSize` bytes with arbitrary bytes between.
GameSpec playedGame(std::mt19937& rng, int persons, std::size_t neighborhoodSize);
// A small game of invented persons to show the program with.
GameSpec demoGame();

}  // namespace vondrel::build
