#include "gamedata/NeighborhoodFile.h"

#include <algorithm>
#include <cstring>

#include "gamedata/NameFinder.h"

namespace vondrel {
namespace {

constexpr std::uint8_t kFamilyTag[] = {'I', 'M', 'A', 'F'};
constexpr std::uint8_t kFamilyNameMarker[] = {0xFD, 0xFF, 0x01, 0x00};
constexpr std::size_t kFamilyNameOffset = 5;

std::vector<std::size_t> allOccurrences(ByteView data, ByteView pattern) {
    std::vector<std::size_t> hits;
    for (std::size_t at = findBytes(data, pattern); at != kNoMatch;
         at = findBytes(data, pattern, at + 1)) {
        hits.push_back(at);
    }
    return hits;
}

ByteView membersOf(ByteView data, std::size_t familyOffset) {
    const std::size_t start = familyOffset + fam::Members;
    if (start >= data.size())
        return {};
    return data.subspan(start, std::min(fam::MembersSize, data.size() - start));
}

}  // namespace

NeighborhoodIndex::NeighborhoodIndex(ByteView data, const std::vector<std::string>& recordNames,
                                     const std::vector<std::string>& personKeys)
    : data_(data),
      nameOffsets_(findRecordNames(data, recordNames)),
      families_(allOccurrences(data, kFamilyTag)),
      nameMarkers_(allOccurrences(data, kFamilyNameMarker)) {
    // One pass over the member lists, looking up each stretch of a key's length among the
    // keys asked for (a key is 4 bytes, fewer when its character file ends early).
    std::unordered_map<std::string, bool> wanted;
    std::vector<std::size_t> lengths;
    for (const std::string& key : personKeys) {
        if (wanted.emplace(key, false).second &&
            std::find(lengths.begin(), lengths.end(), key.size()) == lengths.end()) {
            lengths.push_back(key.size());
        }
    }
    std::size_t left = wanted.size();
    std::string window;
    for (std::size_t f = 0; f < families_.size() && left > 0; ++f) {
        const ByteView members = membersOf(data_, families_[f]);
        for (const std::size_t length : lengths) {
            // An empty key is found in any member list that is not empty.
            for (std::size_t o = 0; o + length <= members.size() && o < members.size(); ++o) {
                window.assign(reinterpret_cast<const char*>(members.data()) + o, length);
                const auto it = wanted.find(window);
                if (it != wanted.end() && !it->second) {
                    it->second = true;
                    familyByKey_.emplace(window, f);
                    --left;
                }
            }
        }
    }
    for (const auto& [key, found] : wanted) {
        if (!found)
            familyByKey_.emplace(key, kNoMatch);
    }
}

FamilyInfo NeighborhoodIndex::familyAt(std::size_t index) const {
    FamilyInfo info;
    info.offset = families_[index];
    const auto marker = std::lower_bound(nameMarkers_.begin(), nameMarkers_.end(), info.offset);
    if (marker != nameMarkers_.end()) {
        const std::size_t start = *marker + kFamilyNameOffset;
        if (start < data_.size()) {
            const auto* begin = data_.data() + start;
            const auto* end = data_.data() + data_.size();
            const auto* nul = std::find(begin, end, std::uint8_t{0});
            // A name that runs to the end of the file has no terminator: no name.
            if (nul != end)
                info.name.assign(begin, nul);
        }
    }
    // A family is only ever found through its member list, which lies past both fields.
    info.house = readInt16(data_, info.offset + fam::House).value_or(0);
    info.money = readInt32(data_, info.offset + fam::Money).value_or(0);
    return info;
}

std::optional<FamilyInfo> NeighborhoodIndex::familyOf(std::string_view key) const {
    if (const auto it = familyByKey_.find(std::string(key)); it != familyByKey_.end()) {
        if (it->second == kNoMatch)
            return std::nullopt;
        return familyAt(it->second);
    }
    for (std::size_t f = 0; f < families_.size(); ++f) {
        if (findBytes(membersOf(data_, families_[f]), asBytes(key)) != kNoMatch) {
            return familyAt(f);
        }
    }
    return std::nullopt;
}

std::vector<RelationEntry> NeighborhoodIndex::relations(std::size_t recordOffset) const {
    std::vector<RelationEntry> entries;
    if (readInt16(data_, recordOffset + nbr::RelationFlag) != -1)
        return entries;
    std::size_t e = recordOffset + nbr::FirstRelation;
    if (readInt16(data_, e) != 1)
        return entries;
    long count = readInt16(data_, recordOffset + nbr::RelationCount).value_or(0);
    for (;;) {
        const auto other = readInt16(data_, e + 4);
        const auto values = readInt16(data_, e + 8);
        if (!other || !values)
            break;
        std::size_t nextMarker = e + 16;
        if (*values == 2) {
            const auto value = readInt16(data_, e + 12);
            const auto loves = readInt16(data_, e + 16);
            // The save writes 4 bytes at the value and 2 after them: all must be in the file.
            if (!value || !loves || !readInt32(data_, e + 12))
                break;
            if (isValidId(*other)) {
                entries.push_back({*other, *value, static_cast<FilePos>(e + 12 + 1), *loves == 1});
            }
            nextMarker = e + 20;
        }
        if (readInt16(data_, nextMarker) == 1) {
            e = nextMarker;
        } else {
            count = 0;
        }
        if (count == 0)
            break;
        if (--count == 0)
            break;
    }
    return entries;
}

}  // namespace vondrel
