#pragma once

#include <string>
#include <string_view>

namespace vondrel {

// The text under which a person appears in the pickers: "Family, First", or the first
// name alone when the family name is empty.
std::string pickerText(std::string_view familyName, std::string_view firstName);

struct SplitName {
    std::string firstName;
    std::string familyName;
    bool operator==(const SplitName&) const = default;
};

// Turns a picker text back into its two names: the family name is everything before the
// first comma and the first name starts at the second character after it. Without a comma
// the whole text is the first name.
SplitName splitPickerText(std::string_view text);

}  // namespace vondrel
