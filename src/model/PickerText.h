#pragma once

#include <string>
#include <string_view>

namespace vondrel {

// The text under which a person appears in the pickers: "Family, First", or the first
// name alone when the family name is empty.
std::string pickerText(std::string_view familyName, std::string_view firstName);

}  // namespace vondrel
