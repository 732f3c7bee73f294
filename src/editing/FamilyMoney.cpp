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

void setFamilyMoney(Persons& persons, std::string_view familyName, Long money) {
    for (PersonRecord& person : persons) {
        if (person.FamilyName == familyName) {
            person.Money = money;
            person.Changed = kTrue;
        }
    }
}

Integer lingerHouseOfGhost(const PersonRecord& person) {
    if (person.LingerHouse != 0)
        return person.LingerHouse;
    return person.House != 0 ? person.House : Integer{1};
}

}  // namespace vondrel
