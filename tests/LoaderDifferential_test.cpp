#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "gamedata/PersonLoader.h"
#include "support/LoadLog.h"
#include "support/Oracle.h"
#include "support/RandomGames.h"

namespace vondrel {
namespace {

using testing::OracleCounters;
using testing::RandomFolder;

// VONDREL_SEED=n runs that seed alone; VONDREL_SEEDS=n runs n seeds instead of the default.
struct SeedRange {
    std::uint32_t first = 1;
    std::uint32_t count = 4000;
};

SeedRange seedRange() {
    SeedRange range;
    if (const char* one = std::getenv("VONDREL_SEED")) {
        range.first = static_cast<std::uint32_t>(std::strtoul(one, nullptr, 10));
        range.count = 1;
    } else if (const char* many = std::getenv("VONDREL_SEEDS")) {
        range.count = static_cast<std::uint32_t>(std::strtoul(many, nullptr, 10));
    }
    return range;
}

std::string show(const std::string& bytes) {
    std::ostringstream out;
    out << '"';
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\') {
            out << c;
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            out << "\\x" << kHex[b >> 4] << kHex[b & 15];
        }
    }
    return out.str() + '"';
}

// The fields in which two slots differ, as "name: fast vs literal".
std::string slotDifference(const PersonRecord& a, const PersonRecord& b) {
    std::ostringstream out;
    const auto field = [&](const char* name, const auto& x, const auto& y) {
        if (!(x == y))
            out << "  " << name << ": " << x << " vs " << y << "\n";
    };
    const auto text = [&](const char* name, const std::string& x, const std::string& y) {
        if (x != y)
            out << "  " << name << ": " << show(x) << " vs " << show(y) << "\n";
    };
    field("Id", a.Id, b.Id);
    text("FirstName", a.FirstName, b.FirstName);
    text("FamilyName", a.FamilyName, b.FamilyName);
    field("Neat", a.Neat, b.Neat);
    field("Outgoing", a.Outgoing, b.Outgoing);
    field("Active", a.Active, b.Active);
    field("Playful", a.Playful, b.Playful);
    field("Nice", a.Nice, b.Nice);
    field("Cooking", a.Cooking, b.Cooking);
    field("Mechanical", a.Mechanical, b.Mechanical);
    field("Charisma", a.Charisma, b.Charisma);
    field("Body", a.Body, b.Body);
    field("Logic", a.Logic, b.Logic);
    field("Creativity", a.Creativity, b.Creativity);
    field("JobTrack", a.JobTrack, b.JobTrack);
    field("JobLevel", a.JobLevel, b.JobLevel);
    field("JobPerformance", a.JobPerformance, b.JobPerformance);
    field("Cleaning", a.Cleaning, b.Cleaning);
    field("LingerHouse", a.LingerHouse, b.LingerHouse);
    field("Money", a.Money, b.Money);
    field("MoneyPos", a.MoneyPos, b.MoneyPos);
    field("IsGhost", a.IsGhost, b.IsGhost);
    field("NamePos", a.NamePos, b.NamePos);
    field("House", a.House, b.House);
    field("Sex", a.Sex, b.Sex);
    field("Rejected", a.Rejected, b.Rejected);
    for (int j = 0; j < kSlotCount; ++j) {
        if (a.HasRelation[j] != b.HasRelation[j] || a.Relation[j] != b.Relation[j] ||
            a.RelationPos[j] != b.RelationPos[j] || a.Loves[j] != b.Loves[j]) {
            out << "  relation to " << j << ": has " << a.HasRelation[j] << "/" << b.HasRelation[j]
                << ", value " << a.Relation[j] << "/" << b.Relation[j] << ", at "
                << a.RelationPos[j] << "/" << b.RelationPos[j] << ", loves " << a.Loves[j] << "/"
                << b.Loves[j] << "\n";
        }
    }
    return out.str();
}

std::string showEvent(const LoadLog::Event& e) {
    static const char* const kKinds[] = {"begin", "advance", "message", "image"};
    std::ostringstream out;
    out << kKinds[static_cast<int>(e.kind)] << " " << e.number << " " << show(e.text);
    if (e.portrait)
        out << " portrait of " << e.portrait->size() << " bytes";
    return out.str();
}

std::string showEntries(const std::vector<PickerEntry>& entries) {
    std::ostringstream out;
    for (const PickerEntry& e : entries)
        out << " [" << e.id << " " << show(e.text) << " " << e.imageNumber << "]";
    return out.str();
}

std::string firstDifference(const Persons& fast, const LoadLog& fastLog,
                            const std::vector<PickerEntry>& fastEntries, const Persons& literal,
                            const LoadLog& literalLog,
                            const std::vector<PickerEntry>& literalEntries) {
    std::ostringstream out;
    if (fastEntries != literalEntries) {
        out << "picker entries differ:\n  fast:   " << showEntries(fastEntries)
            << "\n  literal:" << showEntries(literalEntries) << "\n";
    }
    for (int id = 0; id < kSlotCount; ++id) {
        if (!(fast[id] == literal[id])) {
            out << "slot " << id << " differs (fast vs literal):\n"
                << slotDifference(fast[id], literal[id]);
            break;
        }
    }
    const auto& a = fastLog.events;
    const auto& b = literalLog.events;
    for (std::size_t k = 0; k < std::max(a.size(), b.size()); ++k) {
        if (k < a.size() && k < b.size() && a[k] == b[k])
            continue;
        out << "event " << k
            << " differs:\n  fast:    " << (k < a.size() ? showEvent(a[k]) : "(none)")
            << "\n  literal: " << (k < b.size() ? showEvent(b[k]) : "(none)") << "\n";
        break;
    }
    return out.str();
}

void printCounters(const OracleCounters& c, long wellFormed, std::uint32_t seeds, double seconds) {
    std::cout << "[ counters ] " << seeds << " folders (" << wellFormed << " well-formed) in "
              << seconds << " s: " << c.files << " files, " << c.accepted << " accepted ("
              << c.acceptedWithFamily << " with family, " << c.acceptedFamilyLess << " without, "
              << c.portraits << " with portrait), " << c.characterRejected
              << " character files rejected (" << c.unreadable << " unreadable, "
              << c.rejectedWithSlot << " marking a slot), " << c.noSlot << " without slot, "
              << c.houseRejected << " house, " << c.ghostRejected << " ghost, " << c.valueRejected
              << " value errors, " << c.unnamedFamilies << " unnamed families, " << c.shortKeys
              << " short keys (" << c.emptyKeys << " empty), " << c.relationsStored
              << " relations stored, " << c.relationsSkipped << " skipped, "
              << c.relationsOtherIdBad << " naming no slot, walks ended " << c.walksEndedByMarker
              << " by marker, " << c.walksEndedByCount << " by count, " << c.walksCutByEnd
              << " by the file end, " << c.wholeNameAfterBare
              << " names found whole past a bare one, " << c.bareNameOnly << " only bare, "
              << c.sameSlot << " slots named twice (" << c.sameSlotEntryDropped
              << " dropping an entry, " << c.sameSlotLaterRejected
              << " with the later file rejected)\n";
}

TEST(LoaderDifferential, FastLoaderAgreesWithTheLiteralOneOnRandomFolders) {
    const SeedRange range = seedRange();
    const auto started = std::chrono::steady_clock::now();
    OracleCounters total;
    long wellFormed = 0;
    long mismatches = 0;
    // The tables are large; reusing them keeps the run fast.
    const Persons empty;
    Persons fast;
    Persons literal;
    for (std::uint32_t seed = range.first; seed < range.first + range.count; ++seed) {
        const RandomFolder folder = testing::randomFolder(seed);
        wellFormed += folder.wellFormed;

        LoadLog fastLog;
        const auto fastEntries = loadPersons(folder.files, folder.neighborhood, fast, fastLog);
        LoadLog literalLog;
        OracleCounters counters;
        const auto literalEntries =
            testing::oracleLoad(folder.files, folder.neighborhood, literal, literalLog, &counters);
        total += counters;

        const bool agree =
            fast == literal && fastLog.events == literalLog.events && fastEntries == literalEntries;
        if (agree) {
            // Every slot a load changes gets a picture under its key; only those need clearing.
            for (const LoadLog::Event& e : fastLog.events) {
                if (e.kind == LoadLog::Kind::Image && e.text.rfind("ID=", 0) == 0) {
                    const int id = std::stoi(e.text.substr(3));
                    fast[id] = empty[id];
                    literal[id] = empty[id];
                }
            }
            continue;
        }
        if (++mismatches <= 5) {
            ADD_FAILURE() << "seed " << seed << " (run again with VONDREL_SEED=" << seed
                          << "): " << folder.describe() << "\n"
                          << firstDifference(fast, fastLog, fastEntries, literal, literalLog,
                                             literalEntries);
        }
        fast = empty;
        literal = empty;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    printCounters(total, wellFormed, range.count, seconds);
    EXPECT_EQ(mismatches, 0) << "folders on which the two loaders disagree";

    if (range.count < 1000)
        return;  // a single seed or a short run proves nothing about reach
    // Every way through the pass must be taken often, so that agreement means something.
    const long n = static_cast<long>(range.count);
    EXPECT_GT(wellFormed, n / 5);
    EXPECT_GT(total.accepted, total.files / 2);
    EXPECT_GT(total.acceptedWithFamily, n);
    EXPECT_GT(total.acceptedFamilyLess, n / 5);
    EXPECT_GT(total.portraits, n);
    EXPECT_GT(total.characterRejected, n / 4);
    EXPECT_GT(total.unreadable, n / 40);
    EXPECT_GT(total.rejectedWithSlot, n / 10);
    EXPECT_GT(total.noSlot, n / 4);
    EXPECT_GT(total.houseRejected, n / 20);
    EXPECT_GT(total.ghostRejected, n / 20);
    EXPECT_GT(total.valueRejected, n / 5);
    EXPECT_GT(total.unnamedFamilies, n / 10);
    EXPECT_GT(total.shortKeys, n / 40);
    EXPECT_GT(total.emptyKeys, n / 200);
    EXPECT_GT(total.relationsStored, 5 * n);
    EXPECT_GT(total.relationsSkipped, n / 10);
    EXPECT_GT(total.relationsOtherIdBad, n / 20);
    EXPECT_GT(total.walksEndedByMarker, n);
    EXPECT_GT(total.walksEndedByCount, n / 10);
    EXPECT_GT(total.walksCutByEnd, n / 20);
    EXPECT_GT(total.wholeNameAfterBare, n / 20);
    EXPECT_GT(total.bareNameOnly, n / 40);
    EXPECT_GT(total.sameSlot, n / 5);
    EXPECT_GT(total.sameSlotEntryDropped, n / 10);
    EXPECT_GT(total.sameSlotLaterRejected, n / 20);
}

}  // namespace
}  // namespace vondrel
