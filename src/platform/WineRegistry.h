#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/FileIO.h"
#include "platform/Registry.h"

namespace vondrel {

// HKEY_LOCAL_MACHINE as a Wine prefix keeps it: the text file `system.reg` in the prefix
// folder. The file is read afresh on every read(), so a game installed while the program
// runs is seen. Key and value names are matched ignoring ASCII letter case, as Windows does.
//
// Quoted values become RegistryType::String (UTF-8, cut at the first NUL), `hex:` values
// RegistryType::Binary with their bytes; every other form (dword:, hex(N):, str(N):, ...)
// is reported as RegistryType::Other without data. Lines that cannot be parsed are skipped.
inline constexpr std::uint64_t kRegistryLimit = 256 * kMebibyte;

class WineRegistry : public Registry {
  public:
    explicit WineRegistry(std::filesystem::path prefix);

    // $WINEPREFIX when it is set, else $HOME/.wine.
    static std::filesystem::path prefixFromEnvironment();

    const std::filesystem::path& prefix() const { return prefix_; }

    std::optional<RegistryValue> read(std::string_view subkey, std::string_view name) override;
    // The same search in the text of a system.reg.
    static std::optional<RegistryValue> find(std::string_view systemReg, std::string_view subkey,
                                             std::string_view name);

    // "X:\dir\sub\" becomes <prefix>/dosdevices/x:/dir/sub/ (<prefix>/drive_c/... for C:
    // when the prefix has no dosdevices link for it), each component taking the letter
    // case it has on disk. Anything not starting with a drive letter only has its
    // backslashes turned into slashes.
    std::string toLocalPath(std::string_view registryPath) const override;
    // A system.reg that exists but was refused: not a regular file, or larger than
    // kRegistryLimit (refused before it is read).
    std::string problem() const override { return problem_; }

  private:
    std::filesystem::path prefix_;
    std::string problem_;
};

}  // namespace vondrel
