#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vondrel {

// Lets the user pick one of a few texts (UTF-8).
class ListChooser {
  public:
    virtual ~ListChooser() = default;
    // The position of the chosen item; nothing when the user cancelled.
    virtual std::optional<std::size_t> choose(const std::string& label,
                                              const std::vector<std::string>& items) = 0;
};

}  // namespace vondrel
