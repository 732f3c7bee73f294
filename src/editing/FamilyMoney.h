#pragma once

#include <string>
#include <string_view>

#include "model/PersonRecord.h"  // Long

namespace vondrel {

// The money entry holds at most this many digits (0 to 9999999).
inline constexpr int kMoneyDigits = 7;

// The text the money entry keeps of `text`: its decimal digits, at most kMoneyDigits of
// them. Text typed through the key filter is already this; pasted text may not be.
std::string moneyDigits(std::string_view text);

// The amount the entry's text stands for: the number its decimal digits write (the first
// kMoneyDigits of them), 0 when there are none.
Long moneyValue(std::string_view text);

}  // namespace vondrel
