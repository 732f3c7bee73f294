#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace vondrel {

// HKEY_LOCAL_MACHINE through the Windows registry API. Texts come in the process's ANSI
// code page, the one the narrow file functions expect as well.
class WindowsRegistry : public Registry {
  public:
    std::optional<RegistryValue> read(std::string_view subkey, std::string_view name) override;
    // Registry paths are already local paths on Windows.
    std::string toLocalPath(std::string_view registryPath) const override;
};

}  // namespace vondrel
