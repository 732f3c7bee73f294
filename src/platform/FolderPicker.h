#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vondrel {

class FolderPicker {
  public:
    virtual ~FolderPicker() = default;
    // Lets the user choose a folder, starting in `startFolder` (empty: wherever the desktop
    // starts) with the line `hint` saying which folder to choose (empty: none). The path comes
    // without a trailing separator; nothing when the user cancelled.
    virtual std::optional<std::string> pickFolder(std::string_view title,
                                                  std::string_view startFolder,
                                                  std::string_view hint) = 0;
};

}  // namespace vondrel
