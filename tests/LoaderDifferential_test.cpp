#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

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
    std::map<std::string, long> paths;
    int mismatches = 0;
    // The tables are large; reused, only the slots a load touched are cleared.
    const Persons empty;
    Persons fast, literal;
    for (std::uint32_t seed = first; seed < first + count && mismatches < 5; ++seed) {
        const testing::RandomFolder folder = testing::randomFolder(seed);
        LoadLog fastLog, literalLog;
        const auto fastEntries = loadPersons(folder.files, folder.neighborhood, fast, fastLog);
        const auto literalEntries =
            testing::oracleLoad(folder.files, folder.neighborhood, literal, literalLog, &paths);

        int slot = 0;
        while (slot < kSlotCount && fast[slot] == literal[slot])
            ++slot;
        std::size_t event = 0;
        while (event < fastLog.events.size() && event < literalLog.events.size() &&
               fastLog.events[event] == literalLog.events[event])
            ++event;
        if (slot < kSlotCount || fastLog.events != literalLog.events ||
            fastEntries != literalEntries) {
            ++mismatches;
            ADD_FAILURE() << "seed " << seed << " (run alone with VONDREL_SEED=" << seed
                          << "): first different slot " << slot << ", first different event "
                          << event << ", picker entries "
                          << (fastEntries == literalEntries ? "agree" : "differ");
        }
        for (const LoadLog* log : {&fastLog, &literalLog}) {
            for (const LoadLog::Event& e : log->events) {
                if (e.kind == LoadLog::Kind::Image && e.text.rfind("ID=", 0) == 0) {
                    const int id = std::stoi(e.text.substr(3));
                    fast[id] = literal[id] = empty[id];
                }
            }
        }
        if (slot < kSlotCount)
            fast = literal = empty;
    }
    if (count < 1000)
        return;  // too few folders to say anything about reach
    // Every way through the loader must be taken, or agreement means little.
    for (const char* path : {"unreadable",
                             "empty key",
                             "short key",
                             "record name whole past a bare one",
                             "record name only bare",
                             "no slot",
                             "character rejected",
                             "character rejected, slot marked",
                             "slot named twice",
                             "entry of a slot named twice dropped",
                             "later file of a slot named twice rejected",
                             "family without name",
                             "house rejected",
                             "ghost rejected",
                             "value rejected",
                             "accepted without family",
                             "accepted with family",
                             "accepted with portrait",
                             "relationships cut by the end",
                             "relationship stored",
                             "relationship naming no slot",
                             "relationship skipped",
                             "relationships ended by a marker",
                             "relationships ended by the count"})
        EXPECT_GT(paths[path], static_cast<long>(count) / 200) << path;
}

}  // namespace
}  // namespace vondrel
