#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vondrel {

// Field widths as the game and the save use them.
using Integer = std::int16_t;
using Long = std::int32_t;
// A 16-bit flag: True is exactly -1, False is 0, and only -1 counts as True.
using Boolean = std::int16_t;
// A 1-based byte position in the neighbourhood file; 0 when there is none.
using FilePos = std::int64_t;

inline constexpr Boolean kTrue = -1;
inline constexpr Boolean kFalse = 0;
inline constexpr bool isTrue(Boolean b) {
    return b == kTrue;
}
inline constexpr Boolean toBoolean(bool b) {
    return b ? kTrue : kFalse;
}

inline constexpr int kMinId = 0;
inline constexpr int kMaxId = 500;
inline constexpr int kSlotCount = kMaxId + 1;

inline constexpr bool isValidId(long long id) {
    return id >= kMinId && id <= kMaxId;
}

// One person. Names hold the game's single-byte Windows-1252 text as raw bytes, so that
// comparing two names compares exactly the bytes the files hold. File positions are
// 1-based byte positions in the neighbourhood file.
struct PersonRecord {
    Integer Id = 0;
    std::string FirstName;
    std::string FamilyName;
    Integer Neat = 0;
    Integer Outgoing = 0;
    Integer Active = 0;
    Integer Playful = 0;
    Integer Nice = 0;
    Integer Cooking = 0;
    Integer Mechanical = 0;
    Integer Charisma = 0;
    Integer Body = 0;
    Integer Logic = 0;
    Integer Creativity = 0;
    Integer JobTrack = 0;
    Integer JobLevel = 0;
    Integer JobPerformance = 0;
    Integer Cleaning = 0;
    Integer LingerHouse = 0;
    Long Money = 0;
    FilePos MoneyPos = 0;
    Boolean IsGhost = kFalse;
    std::array<Boolean, kSlotCount> HasRelation{};
    std::array<Long, kSlotCount> Relation{};
    std::array<FilePos, kSlotCount> RelationPos{};
    std::array<Boolean, kSlotCount> Loves{};
    FilePos NamePos = 0;
    Integer House = 0;
    Integer Sex = 0;
    // Set when the last file that filled this slot was rejected: its fields are incomplete
    // or substitutes, so the save never writes the slot.
    Boolean Rejected = kFalse;

    bool operator==(const PersonRecord&) const = default;
};

}  // namespace vondrel
