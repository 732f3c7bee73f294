#include "gamedata/NameFinder.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vondrel {
namespace {

constexpr std::size_t kBlock = 2;
// Names shorter than this are searched one by one; the shift table needs a few bytes.
constexpr std::size_t kMinMultiLength = 3;
constexpr std::size_t kMaxWindow = 200;

inline unsigned blockAt(const std::uint8_t* p) {
    return unsigned{p[0]} << 8 | p[1];
}

}  // namespace

std::vector<std::size_t> findRecordNames(ByteView data, const std::vector<std::string>& names) {
    // The first occurrence of each name, and the first one followed by a NUL.
    std::vector<std::size_t> found(names.size(), kNoMatch);
    std::vector<std::size_t> whole(names.size(), kNoMatch);

    // Distinct names take part once; duplicates share the answer.
    std::vector<std::size_t> multi;
    std::size_t window = kMaxWindow;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string& name = names[k];
        if (name.empty())
            continue;
        if (name.size() < kMinMultiLength) {
            const std::string terminated = name + '\0';
            found[k] = findBytes(data, asBytes(terminated));
            if (found[k] == kNoMatch)
                found[k] = findBytes(data, asBytes(name));
            continue;
        }
        multi.push_back(k);
        window = std::min(window, name.size());
    }
    if (multi.empty())
        return found;

    std::sort(multi.begin(), multi.end(),
              [&](std::size_t a, std::size_t b) { return names[a] < names[b]; });
    std::vector<std::size_t> unique;
    std::vector<std::size_t> representative(names.size(), kNoMatch);
    for (std::size_t k : multi) {
        if (!unique.empty() && names[unique.back()] == names[k]) {
            representative[k] = unique.back();
        } else {
            unique.push_back(k);
            representative[k] = k;
        }
    }

    const std::size_t defaultShift = window - kBlock + 1;
    std::vector<std::uint8_t> shift(1u << 16, static_cast<std::uint8_t>(defaultShift));
    // Buckets of names whose window-long prefix ends in a given block, as linked lists.
    std::vector<std::int32_t> head(1u << 16, -1);
    std::vector<std::int32_t> next(unique.size(), -1);
    for (std::size_t u = 0; u < unique.size(); ++u) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(names[unique[u]].data());
        for (std::size_t q = kBlock; q <= window; ++q) {
            auto& s = shift[blockAt(p + q - kBlock)];
            s = std::min<std::uint8_t>(s, static_cast<std::uint8_t>(window - q));
        }
        const unsigned last = blockAt(p + window - kBlock);
        next[u] = head[last];
        head[last] = static_cast<std::int32_t>(u);
    }

    const std::size_t n = data.size();
    const std::uint8_t* text = data.data();
    std::size_t remaining = unique.size();
    for (std::size_t pos = window - 1; pos < n && remaining > 0;) {
        const unsigned block = blockAt(text + pos - 1);
        if (const std::size_t s = shift[block]; s > 0) {
            pos += s;
            continue;
        }
        const std::size_t start = pos + 1 - window;
        for (std::int32_t u = head[block]; u >= 0; u = next[static_cast<std::size_t>(u)]) {
            const std::size_t k = unique[static_cast<std::size_t>(u)];
            if (whole[k] != kNoMatch)
                continue;
            const std::string& name = names[k];
            if (n - start >= name.size() &&
                std::memcmp(text + start, name.data(), name.size()) == 0) {
                if (found[k] == kNoMatch)
                    found[k] = start;
                if (n - start > name.size() && text[start + name.size()] == 0) {
                    whole[k] = start;
                    --remaining;
                }
            }
        }
        ++pos;
    }

    for (std::size_t k : multi) {
        const std::size_t r = representative[k];
        found[k] = whole[r] != kNoMatch ? whole[r] : found[r];
    }
    return found;
}

}  // namespace vondrel
