#include "gamedata/NeighborhoodSave.h"

#include <algorithm>
#include <cstring>

#include "base/FileIO.h"

namespace vondrel {
namespace {

constexpr std::size_t kChunk = 1 << 16;
constexpr std::uint64_t kJoinGap = 1 << 12;

std::string describe(const std::filesystem::path& path, const std::string& reason) {
    return utf8Of(path) + (reason.empty() ? "" : " (" + reason + ")");
}

}  // namespace

NeighborhoodSaver::NeighborhoodSaver(std::filesystem::path path, Bytes loaded, FileOpener& files)
    : path_(std::move(path)), expected_(std::move(loaded)), files_(files) {}

bool NeighborhoodSaver::holdsExpected(FileDevice& file, std::string& error) const {
    if (file.size() != expected_.size())
        return false;
    std::vector<std::uint8_t> chunk(std::min<std::size_t>(kChunk, expected_.size()));
    for (std::uint64_t at = 0; at < expected_.size(); at += chunk.size()) {
        const std::size_t length = std::min<std::size_t>(chunk.size(), expected_.size() - at);
        const std::span<std::uint8_t> part(chunk.data(), length);
        if (!file.readAt(at, part, error))
            return false;
        if (std::memcmp(part.data(), expected_.data() + at, length) == 0)
            continue;
        for (std::size_t i = 0; i < length; ++i) {
            if (part[i] == expected_[at + i])
                continue;
            // A byte of an interrupted save of ours is accepted; anything else is not.
            const auto tried = unsettled_.find(at + i);
            if (tried == unsettled_.end() ||
                tried->second.find(static_cast<char>(part[i])) == std::string::npos) {
                return false;
            }
        }
    }
    return true;
}

SaveOutcome NeighborhoodSaver::save(const std::vector<Patch>& patches,
                                    const BeforeWriting& beforeWriting,
                                    const StringTable& strings) {
    const auto failed = [&](const std::string& reason) {
        return SaveOutcome{false, strings.text(text::CouldNotSave) + describe(path_, reason)};
    };

    std::string error;
    const std::unique_ptr<FileDevice> file = files_.openForUpdate(path_, error);
    if (!file)
        return failed(error);
    if (!holdsExpected(*file, error)) {
        if (!error.empty())
            return failed(error);
        return {false, strings.text(text::ChangedOnDisk) + utf8Of(path_) + "\n" +
                           strings.text(text::RestartAndRepeat)};
    }

    // The bytes the file must hold afterwards where they may differ from it, by position: the
    // patches, and whatever an interrupted save left unsettled. Of two patches that share a
    // byte, the later one's is kept.
    std::vector<std::pair<std::uint64_t, std::uint8_t>> asked;
    for (const auto& [at, tried] : unsettled_)
        asked.emplace_back(at, expected_[at]);
    for (const Patch& patch : patches) {
        const auto width = static_cast<std::uint64_t>(patch.width);
        if (patch.offset > expected_.size() || expected_.size() - patch.offset < width)
            continue;
        const auto value = static_cast<std::uint32_t>(patch.value);
        for (std::uint64_t b = 0; b < width; ++b)
            asked.emplace_back(patch.offset + b, static_cast<std::uint8_t>(value >> (8 * b)));
    }
    const auto byPosition = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (!std::is_sorted(asked.begin(), asked.end(), byPosition))
        std::stable_sort(asked.begin(), asked.end(), byPosition);
    std::vector<std::pair<std::uint64_t, std::uint8_t>> wanted;
    wanted.reserve(asked.size());
    for (std::size_t i = 0; i < asked.size(); ++i) {
        const auto [at, byte] = asked[i];
        if (i + 1 < asked.size() && asked[i + 1].first == at)
            continue;
        if (byte != expected_[at] || unsettled_.count(at) != 0)
            wanted.emplace_back(at, byte);
    }
    if (wanted.empty())
        return {true, {}};
    if (beforeWriting) {
        if (std::string refusal = beforeWriting(); !refusal.empty())
            return {false, refusal};
    }

    const auto unsettle = [&] {
        for (const auto& [at, byte] : wanted) {
            std::string& tried = unsettled_[at];
            if (tried.find(static_cast<char>(byte)) == std::string::npos)
                tried.push_back(static_cast<char>(byte));
        }
    };
    // Stretches of changed bytes less than kJoinGap apart go in one positioned write, with
    // the bytes between them as the check just found them in the file: writing a byte its
    // own value back changes nothing, and one call costs as much as copying a few pages.
    Bytes run;
    for (auto it = wanted.begin(); it != wanted.end();) {
        const std::uint64_t start = it->first;
        run.clear();
        run.push_back(it->second);
        for (++it; it != wanted.end() && it->first - (start + run.size()) < kJoinGap; ++it) {
            const auto gap = expected_.begin() + static_cast<std::ptrdiff_t>(start + run.size());
            run.insert(run.end(), gap, expected_.begin() + static_cast<std::ptrdiff_t>(it->first));
            run.push_back(it->second);
        }
        if (!file->writeAt(start, run, error)) {
            unsettle();
            return failed(error);
        }
    }
    if (!file->flush(error)) {
        unsettle();
        return failed(error);
    }
    for (const auto& [at, byte] : wanted)
        expected_[at] = byte;
    unsettled_.clear();
    return {true, {}};
}

}  // namespace vondrel
