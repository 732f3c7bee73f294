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

SplitName splitPickerText(std::string_view text) {
    const auto comma = text.find(',');
    if (comma == std::string_view::npos) {
        return {std::string(text), {}};
    }
    const auto firstStart = comma + 2;
    return {firstStart < text.size() ? std::string(text.substr(firstStart)) : std::string(),
            std::string(text.substr(0, comma))};
}

}  // namespace vondrel
