#pragma once

#include <string>
#include <string_view>

namespace vondrel {

// The per-user settings store: text values under application, section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string read(std::string_view application, std::string_view section,
                             std::string_view key, std::string_view defaultValue) = 0;
    // Why the last read could not look at the stored settings (naming where they are
    // kept); empty when it could.
    virtual std::string problem() const { return {}; }
    // Empty when the value was stored; else why not, naming where the settings are kept.
    virtual std::string write(std::string_view application, std::string_view section,
                              std::string_view key, std::string_view value) = 0;
};

}  // namespace vondrel
