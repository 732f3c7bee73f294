#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "model/PickerText.h"
#include "model/WindowState.h"

namespace vondrel {
namespace {

TEST(PickerText, FamilyThenFirstNameOrFirstNameAlone) {
    EXPECT_EQ(pickerText("Doe", "Ann"), "Doe, Ann");
    EXPECT_EQ(pickerText("", "Ann"), "Ann");
    EXPECT_EQ(pickerText("", ""), "");
}

TEST(PickerText, SplitsAtTheFirstCommaAndSkipsOneCharacterAfterIt) {
    EXPECT_EQ(splitPickerText("Doe, Ann"), (SplitName{"Ann", "Doe"}));
    EXPECT_EQ(splitPickerText("Ann"), (SplitName{"Ann", ""}));
    EXPECT_EQ(splitPickerText("Doe,Ann"), (SplitName{"nn", "Doe"}));
    EXPECT_EQ(splitPickerText("Doe, Ann, Jr"), (SplitName{"Ann, Jr", "Doe"}));
    EXPECT_EQ(splitPickerText("Doe,"), (SplitName{"", "Doe"}));
    EXPECT_EQ(splitPickerText("Doe, "), (SplitName{"", "Doe"}));
    EXPECT_EQ(splitPickerText(""), (SplitName{"", ""}));
    // A family name with a comma cannot be found again.
    EXPECT_NE(splitPickerText(pickerText("Smith, Jones", "Al")).familyName, "Smith, Jones");
}

TEST(PegaID, ReturnsTheLowestSlotWhoseTwoNamesMatchExactly) {
    Persons persons;
    persons[7].FirstName = "Ann";
    persons[7].FamilyName = "Doe";
    persons[3].FirstName = "Ann";
    persons[3].FamilyName = "Doe";
    persons[2].FirstName = "ann";
    persons[2].FamilyName = "Doe";
    EXPECT_EQ(PegaID(persons, "Ann", "Doe"), 3);
    EXPECT_EQ(PegaID(persons, "ann", "Doe"), 2);
    EXPECT_EQ(PegaID(persons, "Ann", "doe"), std::nullopt);
    EXPECT_EQ(PegaID(persons, "Ann", ""), std::nullopt);
}

TEST(PegaID, EmptyNamesFindTheLowestUnfilledSlot) {
    Persons persons;
    persons[0].FirstName = "Zed";
    persons[1].FirstName = "Ygg";
    EXPECT_EQ(PegaID(persons, "", ""), 2);
}

TEST(PegaID, NamesCompareAsTheirBytes) {
    Persons persons;
    persons[4].FirstName = "\xC9lise";  // É in the game's code page
    EXPECT_EQ(PegaID(persons, utf8ToCp1252("\xC3\x89lise"), ""), 4);
    EXPECT_EQ(PegaID(persons, "Elise", ""), std::nullopt);
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

TEST(WindowState, AnEmptyCurrentIdMeansSlotZero) {
    WindowState w;
    w.persons[0].FirstName = "Zero";
    EXPECT_EQ(w.current().FirstName, "Zero");
    w.CurrentId = 12;
    EXPECT_EQ(w.currentIndex(), 12);
    EXPECT_FALSE(w.Saved);
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
