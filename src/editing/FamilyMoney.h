#pragma once

#include <string>
#include <string_view>

#include "model/Persons.h"

namespace vondrel {

// The money entry holds at most this many digits (0 to 9999999).
inline constexpr int kMoneyDigits = 7;

// The text the money entry keeps of `text`: its decimal digits, at most kMoneyDigits of
// them. Text typed through the key filter is already this; pasted text may not be.
std::string moneyDigits(std::string_view text);

// The amount the entry's text stands for: the number its decimal digits write (the first
// kMoneyDigits of them), 0 when there are none.
Long moneyValue(std::string_view text);

// Stores `money` for every id of the family named `familyName` (bytes compared) and marks
// each of them changed.
void setFamilyMoney(Persons& persons, std::string_view familyName, Long money);

// The house a person lingers at once it becomes a ghost: the one already set, else the
// family's house, else house 1.
Integer lingerHouseOfGhost(const PersonRecord& person);

}  // namespace vondrel
