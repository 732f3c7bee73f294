#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "model/Persons.h"
#include "model/PickerText.h"

namespace vondrel {
namespace {

TEST(PickerText, FamilyThenFirstNameOrFirstNameAlone) {
    EXPECT_EQ(pickerText("Doe", "Ann"), "Doe, Ann");
    EXPECT_EQ(pickerText("", "Ann"), "Ann");
}

TEST(PersonTable, HoldsFiveHundredAndOneZeroedIndependentSlots) {
    Persons a;
    const PersonRecord& last = a[500];
    EXPECT_EQ(last.FirstName, "");
    for (const Integer v : {last.Id, last.Neat, last.JobTrack, last.House, last.Sex, last.IsGhost})
        EXPECT_EQ(v, 0);
    EXPECT_EQ(last.NamePos + last.MoneyPos + last.Money, 0);
    EXPECT_EQ(a[500].HasRelation.size(), 501u);
    EXPECT_THROW(a[501], std::out_of_range);
    EXPECT_THROW(a[-1], std::out_of_range);
    a[10].Neat = 700;
    Persons b = a;
    b[10].Neat = 100;
    EXPECT_EQ(a[10].Neat, 700);
    EXPECT_FALSE(a == b);
}

TEST(Booleans, OnlyMinusOneIsTrue) {
    EXPECT_EQ(toBoolean(true), -1);
    EXPECT_EQ(toBoolean(false), 0);
    EXPECT_TRUE(isTrue(-1));
    EXPECT_FALSE(isTrue(1));
    EXPECT_FALSE(isTrue(0));
}

TEST(Cp1252, DecodingIsOneToOneAndRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    const std::pair<const char*, const char*> decoded[] = {{"\x80", "\xE2\x82\xAC"},
                                                           {"\xE9", "\xC3\xA9"}};
    for (const auto& [cp1252, utf8] : decoded)
        EXPECT_EQ(cp1252ToUtf8(cp1252), utf8);
    // Not in the code page, malformed, cut short, over-long forms.
    const std::pair<const char*, const char*> encoded[] = {
        {"\xE4\xB8\xAD", "?"}, {"a\xFFz", "a?z"}, {"\xC3", "?"}, {"\xC1\x81", "??"}};
    for (const auto& [utf8, cp1252] : encoded)
        EXPECT_EQ(utf8ToCp1252(utf8), cp1252) << utf8;
    EXPECT_EQ(utf8ToCp1252(std::string("a\xC0\x80"
                                       "b"))
                  .find('\0'),
              std::string::npos);
}

TEST(Cp1252, LowerCaseCoversTheCodePagesCapitals) {
    EXPECT_EQ(cp1252Lower("ABC xyz"), "abc xyz");
    EXPECT_EQ(cp1252Lower("\xC0\xDE\xD7"), "\xE0\xFE\xD7");  // À Þ lowered, × kept
    EXPECT_EQ(cp1252Lower("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
}

}  // namespace
}  // namespace vondrel
