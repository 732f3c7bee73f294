#include "gamedata/NeighborhoodSave.h"

#include <cerrno>
#include <cstring>

#include "base/FileIO.h"
#include "gamedata/NeighborhoodFile.h"

namespace vondrel {
namespace {

// The sixteen person values in the order they are written.
constexpr std::pair<Integer PersonRecord::*, std::size_t> kWrittenValues[] = {
    {&PersonRecord::Neat, nbr::Neat},
    {&PersonRecord::Outgoing, nbr::Outgoing},
    {&PersonRecord::Active, nbr::Active},
    {&PersonRecord::Playful, nbr::Playful},
    {&PersonRecord::Nice, nbr::Nice},
    {&PersonRecord::Cooking, nbr::Cooking},
    {&PersonRecord::Mechanical, nbr::Mechanical},
    {&PersonRecord::Charisma, nbr::Charisma},
    {&PersonRecord::Body, nbr::Body},
    {&PersonRecord::Logic, nbr::Logic},
    {&PersonRecord::Creativity, nbr::Creativity},
    {&PersonRecord::JobTrack, nbr::JobTrack},
    {&PersonRecord::JobLevel, nbr::JobLevel},
    {&PersonRecord::JobPerformance, nbr::JobPerformance},
    {&PersonRecord::Cleaning, nbr::Cleaning},
    {&PersonRecord::LingerHouse, nbr::LingerHouse},
};

bool inside(const Bytes& image, const Patch& patch) {
    return patch.offset <= image.size() &&
           image.size() - patch.offset >= static_cast<std::size_t>(patch.width);
}

std::string describe(const std::filesystem::path& path, const std::string& reason) {
    return path.string() + (reason.empty() ? "" : " (" + reason + ")");
}

}  // namespace

std::vector<Patch> savePatches(const Persons& persons) {
    std::vector<Patch> patches;
    for (const PersonRecord& p : persons) {
        if (p.FirstName.empty() || !isTrue(p.Changed) || isTrue(p.Rejected) || p.NamePos <= 0) {
            continue;
        }
        const std::size_t record = static_cast<std::size_t>(p.NamePos) - 1;
        for (const auto& [field, offset] : kWrittenValues) {
            patches.push_back({record + offset, 2, p.*field});
        }
        if (p.MoneyPos > 0) {
            patches.push_back({static_cast<std::size_t>(p.MoneyPos) - 1, 4, p.Money});
        }
        patches.push_back({record + nbr::IsGhost, 2, isTrue(p.IsGhost) ? 1 : 0});
        for (int j = kMinId; j <= kMaxId; ++j) {
            if (!isTrue(p.HasRelation[j]) || p.RelationPos[j] <= 0)
                continue;
            const std::size_t at = static_cast<std::size_t>(p.RelationPos[j]) - 1;
            patches.push_back({at, 4, p.Relation[j]});
            patches.push_back({at + 4, 2, isTrue(p.Loves[j]) ? 1 : 0});
        }
    }
    return patches;
}

std::size_t applyPatches(Bytes& image, const std::vector<Patch>& patches) {
    std::size_t outside = 0;
    for (const Patch& patch : patches) {
        if (!inside(image, patch)) {
            ++outside;
            continue;
        }
        const auto value = static_cast<std::uint32_t>(patch.value);
        for (int b = 0; b < patch.width; ++b) {
            image[patch.offset + static_cast<std::size_t>(b)] =
                static_cast<std::uint8_t>(value >> (8 * b));
        }
    }
    return outside;
}

NeighborhoodSaver::NeighborhoodSaver(std::filesystem::path path, Bytes loaded)
    : path_(std::move(path)), expected_(std::move(loaded)) {}

SaveOutcome NeighborhoodSaver::save(const Persons& persons, const StringTable& strings) {
    const auto failed = [&](const std::string& reason) {
        return SaveOutcome{false, strings.text(text::CouldNotSave) + describe(path_, reason)};
    };

    const ReadResult current = readWholeFile(path_);
    if (!current.bytes)
        return failed(current.error);
    if (*current.bytes != expected_) {
        return {false, strings.text(text::ChangedOnDisk) + path_.string() + "\n" +
                           strings.text(text::RestartAndRepeat)};
    }

    Bytes target = expected_;
    applyPatches(target, savePatches(persons));

    FilePtr file = openFile(path_, "r+b");
    if (!file)
        return failed(std::strerror(errno));

    // Write the changed stretches only; the result is the same as writing every field in
    // turn, and the file keeps its length.
    std::string error;
    for (std::size_t i = 0; i < target.size() && error.empty();) {
        if (target[i] == expected_[i]) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < target.size() && target[end] != expected_[end])
            ++end;
        if (std::fseek(file.get(), static_cast<long>(i), SEEK_SET) != 0 ||
            std::fwrite(target.data() + i, 1, end - i, file.get()) != end - i) {
            error = std::strerror(errno);
        }
        i = end;
    }
    if (error.empty() && std::fflush(file.get()) != 0)
        error = std::strerror(errno);
    if (std::fclose(file.release()) != 0 && error.empty())
        error = std::strerror(errno);

    if (!error.empty()) {
        // Accept what an interrupted write left only where it holds our own bytes, so the
        // next save can finish the job; anything else keeps the file locked out.
        const ReadResult after = readWholeFile(path_);
        if (after.bytes && after.bytes->size() == expected_.size()) {
            bool ours = true;
            for (std::size_t i = 0; i < target.size() && ours; ++i) {
                const std::uint8_t b = (*after.bytes)[i];
                ours = b == expected_[i] || b == target[i];
            }
            if (ours)
                expected_ = *after.bytes;
        }
        return failed(error);
    }
    expected_ = std::move(target);
    return {true, {}};
}

}  // namespace vondrel
