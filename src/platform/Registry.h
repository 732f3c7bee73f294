#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vondrel {

// Value types as the Windows registry numbers them.
enum class RegistryType : std::uint32_t {
    None = 0,
    String = 1,        // REG_SZ
    ExpandString = 2,  // REG_EXPAND_SZ
    Binary = 3,        // REG_BINARY
    Dword = 4,         // REG_DWORD
    MultiString = 7,   // REG_MULTI_SZ
    Qword = 11,        // REG_QWORD
    Other = 0xffffffff,
};

struct RegistryValue {
    RegistryType type = RegistryType::None;
    // REG_SZ data as text (the NUL cut off where there was one); any other type as raw bytes.
    std::string data;
};

// Read access to HKEY_LOCAL_MACHINE.
class Registry {
  public:
    virtual ~Registry() = default;
    // The value `name` of the key `subkey` (backslash-separated, relative to
    // HKEY_LOCAL_MACHINE); nothing when the key or the value does not exist.
    virtual std::optional<RegistryValue> read(std::string_view subkey, std::string_view name) = 0;
    // Turns a folder path as the registry holds it into a path this process can open.
    virtual std::string toLocalPath(std::string_view registryPath) const = 0;
    // Why the last read could not look into the registry at all, for the user (UTF-8,
    // naming what could not be read); empty when it could, or found nothing to read.
    virtual std::string problem() const { return {}; }
};

}  // namespace vondrel
