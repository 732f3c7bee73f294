#include "gamedata/NeighborhoodFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "gamedata/NameFinder.h"

namespace vondrel {
namespace {

constexpr std::uint8_t kFamilyTag[] = {'I', 'M', 'A', 'F'};
constexpr std::uint8_t kFamilyNameMarker[] = {0xFD, 0xFF, 0x01, 0x00};
constexpr std::size_t kFamilyNameOffset = 5;

ByteView membersOf(ByteView data, std::size_t familyOffset) {
    const std::size_t start = familyOffset + fam::Members;
    if (start >= data.size())
        return {};
    return data.subspan(start, std::min(fam::MembersSize, data.size() - start));
}

// The names, reversed, in a tree walked backwards from each NUL byte of the data: a walk
// reads the bytes before one NUL and, as the names hold no NUL, never goes past the NUL before
// it, so all walks together read each byte at most once.
class NameTree {
  public:
    struct Node {
        std::vector<std::pair<std::uint8_t, std::int32_t>> children;
        std::vector<std::size_t> names;
    };

    // Names that are empty or hold a NUL are left out.
    explicit NameTree(const std::vector<std::string>& names) : count_(names.size()) {
        root_.fill(-1);
        nodes_.emplace_back();
        for (std::size_t k = 0; k < names.size(); ++k) {
            const std::string& name = names[k];
            if (name.empty() || name.find('\0') != std::string::npos)
                continue;
            std::int32_t node = 0;
            for (auto c = name.rbegin(); c != name.rend(); ++c)
                node = childOrNew(node, static_cast<std::uint8_t>(*c));
            if (nodes_[static_cast<std::size_t>(node)].names.empty())
                ++ends_;
            if (shortest_ == 0 || name.size() < shortest_)
                shortest_ = name.size();
            nodes_[static_cast<std::size_t>(node)].names.push_back(k);
        }
    }

    // How many names were given, and how many different ones the tree holds.
    std::size_t count() const { return count_; }
    std::size_t ends() const { return ends_; }
    std::size_t nodes() const { return nodes_.size(); }
    // The length of the shortest name in the tree (0 when there is none).
    std::size_t shortest() const { return shortest_; }
    const Node& node(std::int32_t n) const { return nodes_[static_cast<std::size_t>(n)]; }

    std::int32_t child(std::int32_t node, std::uint8_t byte) const {
        if (node == 0)
            return root_[byte];
        for (const auto& [b, c] : nodes_[static_cast<std::size_t>(node)].children) {
            if (b == byte)
                return c;
        }
        return -1;
    }

  private:
    std::int32_t childOrNew(std::int32_t node, std::uint8_t byte) {
        if (const std::int32_t c = child(node, byte); c >= 0)
            return c;
        const auto c = static_cast<std::int32_t>(nodes_.size());
        nodes_.emplace_back();
        if (node == 0)
            root_[byte] = c;
        else
            nodes_[static_cast<std::size_t>(node)].children.emplace_back(byte, c);
        return c;
    }

    std::array<std::int32_t, 256> root_{};
    std::vector<Node> nodes_;
    std::size_t count_ = 0;
    std::size_t ends_ = 0;
    std::size_t shortest_ = 0;
};

// The names of the tree not yet placed in one piece of the data.
class TerminatedNames {
  public:
    explicit TerminatedNames(const NameTree& tree)
        : tree_(tree), placed_(tree.nodes(), false), pending_(tree.ends()) {}

    bool pending() const { return pending_ > 0; }
    std::size_t shortest() const { return tree_.shortest(); }

    // Called for each NUL at `nul` (> 0) whose byte before is not a NUL, in file order:
    // places the names that end right before it and were not placed yet.
    void endsAt(const std::uint8_t* text, std::size_t nul, std::vector<std::size_t>& found) {
        std::size_t start = nul - 1;
        for (std::int32_t node = tree_.child(0, text[start]); node >= 0;) {
            const NameTree::Node& here = tree_.node(node);
            if (!here.names.empty() && !placed_[static_cast<std::size_t>(node)]) {
                placed_[static_cast<std::size_t>(node)] = true;
                --pending_;
                for (const std::size_t k : here.names)
                    found[k] = start;
            }
            if (start == 0)
                break;
            node = tree_.child(node, text[--start]);
        }
    }

  private:
    const NameTree& tree_;
    std::vector<bool> placed_;
    std::size_t pending_ = 0;
};

// What the index needs of one piece of the file: the first occurrence in it of each record
// name followed by a NUL (where the NUL lies in the piece), and every family tag and family
// name marker that starts in it, in file order.
struct Scan {
    std::vector<std::size_t> names;
    std::vector<std::size_t> families;
    std::vector<std::size_t> markers;
};

// Looks at the byte at `z`, one that can start something the scan is after.
inline void visit(const std::uint8_t* text, std::size_t n, std::size_t z, TerminatedNames& names,
                  Scan& scan) {
    const std::uint8_t c = text[z];
    if (c == 0) {
        if (z > 0 && text[z - 1] != 0 && names.pending())
            names.endsAt(text, z, scan.names);
    } else if (n - z >= 4) {
        if (c == kFamilyTag[0] && std::memcmp(text + z, kFamilyTag, 4) == 0)
            scan.families.push_back(z);
        else if (c == kFamilyNameMarker[0] && std::memcmp(text + z, kFamilyNameMarker, 4) == 0)
            scan.markers.push_back(z);
    }
}

#if defined(__SSE2__) || defined(_M_X64)
// Looks at 64 places at a time, from `z` (at least 3) while 64 places are left before `end`
// and 65 bytes before the end of the data, and returns where it stopped. Picked out for visit(): a
// NUL after as many bytes that are not NULs as the shortest name has (up to three), "IM", and FD
// FF. Most blocks hold none of them.
std::size_t scanBlocks(const std::uint8_t* text, std::size_t n, std::size_t z, std::size_t end,
                       std::size_t shortest, TerminatedNames& names, Scan& scan) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i tag0 = _mm_set1_epi8(static_cast<char>(kFamilyTag[0]));
    const __m128i tag1 = _mm_set1_epi8(static_cast<char>(kFamilyTag[1]));
    const __m128i marker0 = _mm_set1_epi8(static_cast<char>(kFamilyNameMarker[0]));
    const __m128i marker1 = _mm_set1_epi8(static_cast<char>(kFamilyNameMarker[1]));
    const auto at = [&](std::size_t offset) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + offset));
    };
    const std::size_t second = shortest >= 2 ? 2 : 1;
    const std::size_t third = shortest >= 3 ? 3 : second;
    const auto wanted = [&](std::size_t p, __m128i namesOn) {
        const __m128i here = at(p);
        const __m128i next = at(p + 1);
        const __m128i nulBefore = _mm_or_si128(_mm_cmpeq_epi8(at(p - 1), zero),
                                               _mm_or_si128(_mm_cmpeq_epi8(at(p - second), zero),
                                                            _mm_cmpeq_epi8(at(p - third), zero)));
        const __m128i ends =
            _mm_and_si128(namesOn, _mm_andnot_si128(nulBefore, _mm_cmpeq_epi8(here, zero)));
        const __m128i tags = _mm_and_si128(_mm_cmpeq_epi8(here, tag0), _mm_cmpeq_epi8(next, tag1));
        const __m128i markers =
            _mm_and_si128(_mm_cmpeq_epi8(here, marker0), _mm_cmpeq_epi8(next, marker1));
        return _mm_or_si128(ends, _mm_or_si128(tags, markers));
    };
    const auto bits = [](__m128i m) {
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(m)));
    };
    for (; z + 64 <= end && z + 65 <= n; z += 64) {
        const __m128i namesOn = names.pending() ? _mm_cmpeq_epi8(zero, zero) : zero;
        const __m128i m0 = wanted(z, namesOn), m1 = wanted(z + 16, namesOn),
                      m2 = wanted(z + 32, namesOn), m3 = wanted(z + 48, namesOn);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(m0, m1), _mm_or_si128(m2, m3))) == 0)
            continue;
        std::uint64_t mask = bits(m0) | bits(m1) << 16 | bits(m2) << 32 | bits(m3) << 48;
        for (; mask != 0; mask &= mask - 1)
            visit(text, n, z + static_cast<std::size_t>(std::countr_zero(mask)), names, scan);
    }
    return z;
}
#endif

// Scans the piece [from, to) of the data.
Scan scanPiece(ByteView data, const NameTree& tree, std::size_t from, std::size_t to) {
    Scan scan;
    scan.names.assign(tree.count(), kNoMatch);
    TerminatedNames names(tree);
    const std::uint8_t* const text = data.data();
    const std::size_t n = data.size();
    std::size_t z = from;
#if defined(__SSE2__) || defined(_M_X64)
    if (n >= 80) {
        for (; z < 3 && z < to; ++z)
            visit(text, n, z, names, scan);
        z = scanBlocks(text, n, z, to, std::min<std::size_t>(names.shortest(), 3), names, scan);
    }
#endif
    for (; z < to; ++z) {
        const std::uint8_t c = text[z];
        if (c == 0 || c == kFamilyTag[0] || c == kFamilyNameMarker[0])
            visit(text, n, z, names, scan);
    }
    return scan;
}

}  // namespace

struct NeighborhoodScan::State {
    State(ByteView data, const std::vector<std::string>& recordNames, std::size_t pieceSize)
        : data(data),
          recordNames(recordNames),
          tree(recordNames),
          pieceSize(std::max<std::size_t>(pieceSize, 1)),
          pieces((data.size() + this->pieceSize - 1) / this->pieceSize) {}

    ByteView data;
    std::vector<std::string> recordNames;
    NameTree tree;
    std::size_t pieceSize;
    std::vector<Scan> pieces;
    std::atomic<std::size_t> next{0};
};

NeighborhoodScan::NeighborhoodScan(ByteView data, const std::vector<std::string>& recordNames,
                                   std::size_t pieceSize)
    : state_(std::make_unique<State>(data, recordNames, pieceSize)) {}

NeighborhoodScan::~NeighborhoodScan() = default;

void NeighborhoodScan::scanPieces() {
    State& s = *state_;
    for (std::size_t i; (i = s.next.fetch_add(1)) < s.pieces.size();) {
        const std::size_t from = i * s.pieceSize;
        s.pieces[i] = scanPiece(s.data, s.tree, from, std::min(from + s.pieceSize, s.data.size()));
    }
}

NeighborhoodIndex::NeighborhoodIndex(ByteView data, const std::vector<std::string>& recordNames,
                                     const std::vector<std::string>& personKeys)
    : data_(data) {
    NeighborhoodScan scan(data, recordNames);
    scan.scanPieces();
    *this = NeighborhoodIndex(scan);
    indexFamilies(personKeys);
}

NeighborhoodIndex::NeighborhoodIndex(const NeighborhoodScan& scan) : data_(scan.state_->data) {
    const std::vector<std::string>& recordNames = scan.state_->recordNames;
    // Each name where it first ends in a piece, the earliest piece first; the records in the
    // order of the pieces.
    nameOffsets_.assign(recordNames.size(), kNoMatch);
    for (const Scan& piece : scan.state_->pieces) {
        for (std::size_t k = 0; k < recordNames.size(); ++k) {
            if (nameOffsets_[k] == kNoMatch)
                nameOffsets_[k] = piece.names[k];
        }
        families_.insert(families_.end(), piece.families.begin(), piece.families.end());
        nameMarkers_.insert(nameMarkers_.end(), piece.markers.begin(), piece.markers.end());
    }
    // A name never followed by a NUL (or holding one) is placed as findRecordNames places it.
    std::vector<std::string> rest;
    std::vector<std::size_t> restIndex;
    for (std::size_t k = 0; k < recordNames.size(); ++k) {
        if (nameOffsets_[k] == kNoMatch && !recordNames[k].empty()) {
            rest.push_back(recordNames[k]);
            restIndex.push_back(k);
        }
    }
    if (!rest.empty()) {
        const std::vector<std::size_t> placed = findRecordNames(data_, rest);
        for (std::size_t r = 0; r < rest.size(); ++r)
            nameOffsets_[restIndex[r]] = placed[r];
    }
}

void NeighborhoodIndex::indexFamilies(const std::vector<std::string>& personKeys) {
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
    // The first two bytes of the keys: most stretches start otherwise and need no lookup.
    std::vector<bool> starts(std::size_t{1} << 16);
    for (const auto& [key, found] : wanted) {
        if (key.size() >= 2)
            starts[static_cast<std::uint8_t>(key[0]) | static_cast<std::uint8_t>(key[1]) << 8] =
                true;
    }
    std::size_t left = wanted.size();
    std::string window;
    for (std::size_t f = 0; f < families_.size() && left > 0; ++f) {
        const ByteView members = membersOf(data_, families_[f]);
        for (const std::size_t length : lengths) {
            // An empty key is found in any member list that is not empty.
            for (std::size_t o = 0; o + length <= members.size() && o < members.size(); ++o) {
                if (length >= 2 && !starts[members[o] | members[o + 1] << 8])
                    continue;
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
    const auto it = familyByKey_.find(std::string(key));
    if (it == familyByKey_.end())
        return std::nullopt;
    return familyAt(it->second);
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
