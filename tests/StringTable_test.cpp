#include <gtest/gtest.h>

#include "editing/Careers.h"
#include "resources/StringTable.h"

namespace vondrel {
namespace {

TEST(StringTable, BuiltInTableHoldsEveryIdTheProgramUses) {
    const StringTable& t = StringTable::builtIn();
    // Every id from 101 to 351 but two the program never uses.
    for (int id = 101; id <= 351; ++id)
        EXPECT_EQ(t.text(id).empty(), id == 129 || id == 130) << id;
    const std::pair<int, const char*> texts[] = {
        {101, "Select your Vek:"},
        {140, "Error on trying to read the file "},
        {161, "Waiter"},
        {262, "Waitress"},
        {titleId(CareerTitleTable[4], 0, 2), "Patrolman"},
        {titleId(CareerTitleTable[4], 1, 2), "Patrolwoman"},
        {999, ""}};
    for (const auto& [id, text] : texts)
        EXPECT_EQ(t.text(id), text) << id;
    // Each job picker row: its track and the first and last of its titles.
    const char* const careers[][2] = {{"Student", "Student"},
                                      {"Unemployed", "Unemployed"},
                                      {"Mailroom Clerk", "Business Tycoon"},
                                      {"Waiter", "Superstar"},
                                      {"Security Guard", "Captain Hero"},
                                      {"Pickpocket", "Criminal Mastermind"},
                                      {"Medical Technician", "Chief of Hospital Staff"},
                                      {"Recruit", "General"},
                                      {"Campaign Worker", "Mayor"},
                                      {"Team Mascot", "Hall of Famer"},
                                      {"Test Subject", "Mad Scientist"},
                                      {"Daredevil", "International Spy"}};
    for (int item = 1; item <= 12; ++item) {
        const CareerRow& row = CareerTitleTable[static_cast<std::size_t>(item - 1)];
        EXPECT_EQ(jobItemOfTrack(row.track), item);
        EXPECT_EQ(t.text(titleId(row, 0, 0)), careers[item - 1][0]);
        EXPECT_EQ(t.text(titleId(row, 0, row.titleCount - 1)), careers[item - 1][1]);
    }
}

TEST(StringTable, ParsesQuotesEscapesAndRejectsMalformedLines) {
    const StringTable t = StringTable::parse("# note\n1 \"a \\\"b\\\" c\\\\\"\r\n\n2 \"x\\ny\"\n");
    EXPECT_EQ(t.text(1), "a \"b\" c\\");
    EXPECT_EQ(t.text(2), "x\ny");
    for (const char* bad : {"3 text without quotes\n", "abc \"x\"\n", "4 \"a\"\n4 \"b\"\n"})
        EXPECT_THROW(StringTable::parse(bad), std::runtime_error) << bad;
}

}  // namespace
}  // namespace vondrel
