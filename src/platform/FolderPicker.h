#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vondrel {

class FolderPicker {
  public:
    virtual ~FolderPicker() = default;
    // Lets the user choose a folder; the path comes without a trailing separator.
    // Nothing when the user cancelled.
    virtual std::optional<std::string> pickFolder(std::string_view title) = 0;
};

}  // namespace vondrel
