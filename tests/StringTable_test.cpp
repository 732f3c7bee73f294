#include <gtest/gtest.h>

#include "resources/StringTable.h"

namespace vondrel {
namespace {

TEST(StringTable, BuiltInTableHoldsEveryIdTheProgramUses) {
    const StringTable& t = StringTable::builtIn();
    for (int id = 101; id <= 351; ++id) {
        if (id == 129 || id == 130) continue;  // never used
        EXPECT_TRUE(t.contains(id)) << id;
        EXPECT_FALSE(t.text(id).empty()) << id;
    }
    EXPECT_EQ(t.text(text::ReadError), "Error on trying to read the file ");  // trailing space kept
    EXPECT_EQ(t.text(101), "Select your Vek:");
    EXPECT_EQ(t.text(144), "Perf:");
    EXPECT_EQ(t.text(999), "");
}

TEST(StringTable, FemaleTitlesRepeatTheMaleOnesButThree) {
    const StringTable& t = StringTable::builtIn();
    int differing = 0;
    for (int male = 150; male <= 250; ++male) {
        if (t.text(male) != t.text(male + 101)) ++differing;
    }
    EXPECT_EQ(differing, 3);
    EXPECT_EQ(t.text(161), "Waiter");
    EXPECT_EQ(t.text(262), "Waitress");
    EXPECT_EQ(t.text(173), "Patrolman");
    EXPECT_EQ(t.text(274), "Patrolwoman");
    EXPECT_EQ(t.text(217), "Congressman");
    EXPECT_EQ(t.text(318), "Congresswoman");
    EXPECT_EQ(t.text(160), "Business Tycoon");
}

TEST(StringTable, ParsesQuotesEscapesAndRejectsMalformedLines) {
    const StringTable t = StringTable::parse("# note\n1 \"a \\\"b\\\" c\\\\\"\r\n\n2 \"x\\ny\"\n");
    EXPECT_EQ(t.text(1), "a \"b\" c\\");
    EXPECT_EQ(t.text(2), "x\ny");
    EXPECT_THROW(StringTable::parse("3 text without quotes\n"), std::runtime_error);
    EXPECT_THROW(StringTable::parse("abc \"x\"\n"), std::runtime_error);
    EXPECT_THROW(StringTable::parse("4 \"a\"\n4 \"b\"\n"), std::runtime_error);
}

}  // namespace
}  // namespace vondrel
