#pragma once

#include "platform/SettingsStore.h"

namespace vondrel {

// The settings as QSettings keeps them natively for the user, filed under the application
// name as organization with no application name of its own: on Linux the file
// $XDG_CONFIG_HOME/<application>.conf, on Windows HKEY_CURRENT_USER\Software\<application>.
// Each section is a group holding its keys.
class QtSettingsStore : public SettingsStore {
  public:
    std::string read(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view defaultValue) override;
    // Written through to storage at once. A settings file that is not a regular file (a
    // pipe, a device, a folder) or is implausibly large is neither read nor written.
    std::string write(std::string_view application, std::string_view section, std::string_view key,
                      std::string_view value) override;
    std::string problem() const override { return problem_; }

  private:
    std::string problem_;
};

}  // namespace vondrel
