#include "model/PickerText.h"

namespace vondrel {

std::string pickerText(std::string_view familyName, std::string_view firstName) {
    if (familyName.empty()) {
        return std::string(firstName);
    }
    std::string text(familyName);
    text += ", ";
    text += firstName;
    return text;
}

}  // namespace vondrel
