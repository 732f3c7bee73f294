#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "model/Persons.h"
#include "model/PickerText.h"

namespace vondrel {
namespace {

TEST(PickerText, FamilyThenFirstNameOrFirstNameAlone) {
    EXPECT_EQ(pickerText("Doe", "Ann"), "Doe, Ann");
    EXPECT_EQ(pickerText("", "Ann"), "Ann");
    EXPECT_EQ(pickerText("", ""), "");
}

TEST(PersonTable, HasFiveHundredAndOneZeroedSlots) {
    Persons persons;
    EXPECT_EQ(Persons::size(), 501);
    const PersonRecord& last = persons[500];
    EXPECT_EQ(last, PersonRecord{});
    EXPECT_EQ(last.HasRelation.size(), 501u);
    EXPECT_THROW(persons[501], std::out_of_range);
    EXPECT_THROW(persons[-1], std::out_of_range);
}

TEST(PersonTable, CopiesAreIndependent) {
    Persons a;
    a[10].Neat = 700;
    Persons b = a;
    b[10].Neat = 100;
    EXPECT_EQ(a[10].Neat, 700);
    EXPECT_FALSE(a == b);
}

TEST(Booleans, OnlyMinusOneIsTrue) {
    EXPECT_TRUE(isTrue(toBoolean(true)));
    EXPECT_EQ(toBoolean(true), -1);
    EXPECT_FALSE(isTrue(1));
    EXPECT_FALSE(isTrue(kFalse));
}

TEST(Cp1252, DecodingIsOneToOneAndRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = cp1252ToUtf8(all);
    EXPECT_EQ(utf8ToCp1252(utf8), all);
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(cp1252ToUtf8("\xE9"), "\xC3\xA9");
    EXPECT_EQ(utf8ToCp1252("\xE4\xB8\xAD"), "?");  // not in the code page
    EXPECT_EQ(utf8ToCp1252("a\xFFz"), "a?z");      // malformed
    EXPECT_EQ(utf8ToCp1252("\xC3"), "?");          // cut short
    EXPECT_EQ(utf8ToCp1252("a\xC0\x80"
                           "b")
                  .find('\0'),
              std::string::npos);  // over-long NUL
    EXPECT_NE(utf8ToCp1252("\xC1\x81"), "A");
}

TEST(Cp1252, LowerCaseCoversTheCodePagesCapitals) {
    EXPECT_EQ(cp1252Lower("ABC xyz"), "abc xyz");
    EXPECT_EQ(cp1252Lower("\xC0\xDE\xD7"), "\xE0\xFE\xD7");  // À Þ lowered, × kept
    EXPECT_EQ(cp1252Lower("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
}

}  // namespace
}  // namespace vondrel
