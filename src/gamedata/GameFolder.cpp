#include "gamedata/GameFolder.h"

#include <filesystem>

#include "base/FileIO.h"
#include "resources/StringTable.h"

namespace vondrel {
namespace {

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

bool isSeparator(char c) {
    return c == '/' || c == kSeparator;
}

}  // namespace

std::string QueryRegValue(const std::optional<RegistryValue>& value) {
    if (!value)
        return {};
    switch (value->type) {
        case RegistryType::String:
            return value->data.substr(0, value->data.find('\0'));
        case RegistryType::Binary: {
            if (value->data.size() < 2)
                return {};
            const auto lo = static_cast<unsigned char>(value->data[0]);
            const auto hi = static_cast<unsigned char>(value->data[1]);
            return std::to_string(static_cast<std::int16_t>(lo | (hi << 8)));
        }
        default:
            return {};
    }
}

std::string GetRegValue(Registry& registry, std::string_view subkey, std::string_view name) {
    return QueryRegValue(registry.read(subkey, name));
}

std::string GetGamePath(Registry& registry) {
    const auto folderFrom = [&](std::string_view key) -> std::string {
        std::string path = GetRegValue(registry, key, kGameValue);
        if (path.empty())
            return path;
        if (path.back() != '\\')
            path += '\\';
        return withTrailingSeparator(registry.toLocalPath(path));
    };
    // A 64-bit registry may hold the key twice; a stale native entry must not hide the
    // one the 32-bit installer wrote.
    const std::string native = folderFrom(kGameKey);
    const std::string wow64 = folderFrom(kGameKeyWow64);
    for (const std::string* folder : {&native, &wow64}) {
        if (!folder->empty() && holdsGame(*folder))
            return *folder;
    }
    if (!native.empty())
        return native;
    return wow64.empty() ? std::string(kNotFound) : wow64;
}

std::string withTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && isSeparator(folder.back()) &&
           isSeparator(folder[folder.size() - 2])) {
        folder.pop_back();
    }
    if (folder.empty() || !isSeparator(folder.back()))
        folder += kSeparator;
    return folder;
}

bool holdsGame(const std::string& folder) {
    if (folder.empty())
        return false;
    return FileExists(childIgnoringCase(pathFromUtf8(folder), std::string(kGameExecutable)));
}

std::optional<std::string> BrowseGamePath(DiscoveryServices& services) {
    std::string hint(kBrowseHint);
    if (pathFromUtf8(services.browseStart).filename() == "drive_c")
        hint += kBrowseHintWine;
    for (;;) {
        const std::string picked =
            services.picker.pickFolder(kBrowseTitle, services.browseStart, hint).value_or("");
        if (holdsGame(picked)) {
            const std::string folder = withTrailingSeparator(picked);
            const std::string failure = services.settings.write(
                kSettingsApplication, kSettingsSection, kSettingsKey, folder);
            // Not remembered, but usable for this run.
            if (!failure.empty()) {
                services.messages.show(
                    StringTable::builtIn().text(text::CouldNotWriteSettings) + failure,
                    MessageIcon::Critical, MessageButtons::Ok);
            }
            return folder;
        }
        const MessageAnswer answer = services.messages.show(kWrongDir, MessageIcon::Information,
                                                            MessageButtons::RetryCancel);
        if (answer != MessageAnswer::Retry)
            return std::nullopt;
    }
}

std::optional<std::string> discoverGamePath(DiscoveryServices& services) {
    const std::string fromRegistry = GetGamePath(services.registry);
    if (const std::string problem = services.registry.problem(); !problem.empty()) {
        services.messages.show(StringTable::builtIn().text(text::CouldNotRead) + problem,
                               MessageIcon::Critical, MessageButtons::Ok);
    }
    if (fromRegistry != kNotFound && holdsGame(fromRegistry))
        return fromRegistry;
    for (Registry* other : services.otherRegistries) {
        const std::string folder = GetGamePath(*other);
        if (folder != kNotFound && holdsGame(folder))
            return folder;
    }

    const std::string remembered =
        services.settings.read(kSettingsApplication, kSettingsSection, kSettingsKey, kNotFound);
    if (const std::string problem = services.settings.problem(); !problem.empty()) {
        services.messages.show(StringTable::builtIn().text(text::CouldNotRead) + problem,
                               MessageIcon::Critical, MessageButtons::Ok);
    }
    if (remembered != kNotFound && holdsGame(remembered))
        return withTrailingSeparator(remembered);
    return BrowseGamePath(services);
}

}  // namespace vondrel
