#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace vondrel {

// HKEY_LOCAL_MACHINE through the wide Windows registry API. Key and value names are taken
// as UTF-8 and REG_SZ data is handed back as UTF-8, as the Wine registry reader does;
// REG_BINARY data stays raw bytes.
//
// Key paths name the 64-bit view as it is: "Software\Wow6432Node\..." is read through the
// 32-bit view (where a 32-bit installer's keys are) and every other path through the
// 64-bit view, so a 32-bit build is not redirected away from the native key.
class WindowsRegistry : public Registry {
  public:
    std::optional<RegistryValue> read(std::string_view subkey, std::string_view name) override;
    // Registry paths are already local paths on Windows.
    std::string toLocalPath(std::string_view registryPath) const override;
};

}  // namespace vondrel
