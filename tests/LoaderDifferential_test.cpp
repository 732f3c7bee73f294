#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "gamedata/NeighborhoodFile.h"
#include "gamedata/PersonLoader.h"
#include "support/LoadLog.h"
#include "support/Oracle.h"
#include "support/RandomGames.h"

namespace vondrel {
namespace {

// VONDREL_SEED=n runs that seed alone; VONDREL_SEEDS=n runs n seeds instead of 4000.
TEST(LoaderDifferential, LoaderAgreesWithTheReferenceOnRandomFolders) {
    std::uint32_t first = 1, count = 4000;
    if (const char* one = std::getenv("VONDREL_SEED")) {
        first = static_cast<std::uint32_t>(std::strtoul(one, nullptr, 10));
        count = 1;
    } else if (const char* many = std::getenv("VONDREL_SEEDS")) {
        count = static_cast<std::uint32_t>(std::strtoul(many, nullptr, 10));
    }
    int mismatches = 0;
    long entries = 0, valueErrors = 0;
    // The tables are large; reused, only the slots a load touched are cleared.
    const Persons empty;
    Persons fast, literal;
    for (std::uint32_t seed = first; seed < first + count && mismatches < 5; ++seed) {
        const testing::RandomFolder folder = testing::randomFolder(seed);
        LoadLog fastLog, log;
        Bytes padded = folder.neighborhood;  // a read past the end would find a NUL
        padded.push_back(0);
        const ByteView nb(padded.data(), padded.size() - 1);
        const auto fastEntries = loadPersons(folder.files, nb, fast, fastLog);
        const auto literalEntries = testing::oracleLoad(folder.files, nb, literal, log);
        int slot = 0;
        while (slot < kSlotCount && fast[slot] == literal[slot])
            ++slot;
        if (slot < kSlotCount || fastLog.events != log.events || fastEntries != literalEntries) {
            ADD_FAILURE() << "seed " << seed << " (run it alone with VONDREL_SEED=" << seed
                          << "): slot " << slot << (fastLog.events == log.events ? "" : ", events")
                          << (fastEntries == literalEntries ? "" : ", picker entries") << " differ";
            ++mismatches;
            fast = literal = empty;
        }
        entries += static_cast<long>(literalEntries.size());
        for (const LoadLog::Event& e : log.events) {
            valueErrors += e.text.find("bigger than") != std::string::npos;
            if (e.kind == LoadLog::Kind::Image && e.text.rfind("ID=", 0) == 0) {
                const int id = std::stoi(e.text.substr(3));
                fast[id] = literal[id] = empty[id];
            }
        }
    }
    if (count >= 1000) {  // the folders reach far: many persons load, many are turned away
        EXPECT_GT(entries, 5L * count);
        EXPECT_GT(valueErrors, count / 10);
    }
}

// The neighbourhood search cut into pieces of 1 to 97 bytes, taken by two threads at once,
// places every name and finds every family as the search in one piece does.
TEST(LoaderDifferential, SearchInPiecesFindsWhatOnePieceFinds) {
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        const testing::RandomFolder folder = testing::randomFolder(seed);
        std::vector<std::string> names, keys;
        for (const CharacterSource& file : folder.files) {
            CharacterFile character;
            if (file.parsed)
                character = *file.parsed;
            else if (file.bytes)
                character = readCharacterFile(file.fileName, *file.bytes);
            names.push_back(recordNameOf(file.fileName));
            keys.push_back(character.personKey);
        }
        const NeighborhoodIndex whole(folder.neighborhood, names, keys);
        NeighborhoodScan scan(folder.neighborhood, names, 1 + seed % 97);
        std::thread other([&] { scan.scanPieces(); });
        scan.scanPieces();
        other.join();
        NeighborhoodIndex pieces(scan);
        pieces.indexFamilies(keys);
        for (std::size_t k = 0; k < names.size(); ++k) {
            EXPECT_EQ(pieces.nameOffset(k), whole.nameOffset(k)) << "seed " << seed;
            const auto family = pieces.familyOf(keys[k]), expected = whole.familyOf(keys[k]);
            ASSERT_EQ(family.has_value(), expected.has_value()) << "seed " << seed;
            if (family) {
                EXPECT_EQ(family->offset, expected->offset) << "seed " << seed;
            }
        }
    }
}

}  // namespace
}  // namespace vondrel
