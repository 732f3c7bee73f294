#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Bytes.h"
#include "model/PersonRecord.h"

namespace vondrel {

// Offsets inside a neighbour record, counted from the first byte of the record name.
namespace nbr {
inline constexpr std::size_t Nice = 22, Active = 24, Playful = 28, Outgoing = 30, Neat = 32,
                             Cleaning = 36, Cooking = 38, Charisma = 40, Mechanical = 42,
                             Creativity = 48, Body = 52, Logic = 54, JobTrack = 130, JobLevel = 132,
                             JobPerformance = 144, Sex = 148, LingerHouse = 152, IsGhost = 154,
                             Id = 178, RelationFlag = 184, RelationCount = 188, FirstRelation = 192;
// Every field up to the first relationship marker must lie inside the file.
inline constexpr std::size_t RecordSize = FirstRelation + 2;
}  // namespace nbr

// Offsets inside a family record, counted from its "IMAF".
namespace fam {
inline constexpr std::size_t House = 4, Money = 12, Members = 32, MembersSize = 32;
}  // namespace fam

inline constexpr Integer kMaxHouse = 10;

struct FamilyInfo {
    // Empty when the family has no name; its members then count as family-less.
    std::string name;
    // 0-based offset of the family's "IMAF".
    std::size_t offset = 0;
    Integer house = 0;
    Long money = 0;
};

// One relationship entry that the walk stores.
struct RelationEntry {
    int otherId = 0;
    Long value = 0;
    // 1-based position of the value.
    FilePos position = 0;
    bool loves = false;
};

// The one pass over a neighbourhood file that finds the record names, the family records and
// their name markers, cut into pieces that several threads can scan at once.
class NeighborhoodScan {
  public:
    static constexpr std::size_t kPieceSize = std::size_t{1} << 20;

    NeighborhoodScan(ByteView data, const std::vector<std::string>& recordNames,
                     std::size_t pieceSize = kPieceSize);
    ~NeighborhoodScan();
    NeighborhoodScan(const NeighborhoodScan&) = delete;
    NeighborhoodScan& operator=(const NeighborhoodScan&) = delete;

    // Scans pieces no call has taken yet, until none is left. Several threads may call it at
    // once; the index is made after every call has returned.
    void scanPieces();

  private:
    friend class NeighborhoodIndex;
    struct State;
    std::unique_ptr<State> state_;
};

// The neighbourhood file read once: where every record name sits, and every
// family record with the keys of its member list.
class NeighborhoodIndex {
  public:
    // `personKeys`: the keys familyOf will be asked for; only their families are indexed,
    // so the index stays small whatever the file holds.
    NeighborhoodIndex(ByteView data, const std::vector<std::string>& recordNames,
                      const std::vector<std::string>& personKeys = {});
    // The index of a scan whose pieces have all been scanned.
    explicit NeighborhoodIndex(const NeighborhoodScan& scan);

    // Indexes the families of more keys, for a caller that learns them after the names.
    void indexFamilies(const std::vector<std::string>& personKeys);

    ByteView data() const { return data_; }
    // 0-based offset of recordNames[k]'s record (see findRecordNames), or kNoMatch.
    std::size_t nameOffset(std::size_t k) const { return nameOffsets_[k]; }
    // The first family whose member list holds `key`, one of the keys given to the index;
    // nothing when no family does (and for any other key).
    std::optional<FamilyInfo> familyOf(std::string_view key) const;
    // The relationship list of the neighbour record at `recordOffset` (0-based), in
    // file order; stops at the end of the list or where an entry would leave the file.
    std::vector<RelationEntry> relations(std::size_t recordOffset) const;

  private:
    FamilyInfo familyAt(std::size_t index) const;

    ByteView data_;
    std::vector<std::size_t> nameOffsets_;
    std::vector<std::size_t> families_;
    std::vector<std::size_t> nameMarkers_;
    // The first family of each person key asked for that some family holds.
    std::unordered_map<std::string, std::size_t> familyByKey_;
};

}  // namespace vondrel
