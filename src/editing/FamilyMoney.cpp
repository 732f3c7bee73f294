#include "editing/FamilyMoney.h"

namespace vondrel {

std::string moneyDigits(std::string_view text) {
    std::string digits;
    for (const char c : text) {
        if (c >= '0' && c <= '9' && digits.size() < static_cast<std::size_t>(kMoneyDigits))
            digits.push_back(c);
    }
    return digits;
}

Long moneyValue(std::string_view text) {
    Long value = 0;
    for (const char c : moneyDigits(text))
        value = value * 10 + (c - '0');
    return value;
}

}  // namespace vondrel
