#include <gtest/gtest.h>

#include <algorithm>

#include "editing/FamilyMoney.h"
#include "editing/Maximize.h"

namespace vondrel {
namespace {

PersonRecord& load(Persons& persons, int id, const std::string& first, const std::string& family) {
    PersonRecord& p = persons[id];
    p.Id = static_cast<Integer>(id);
    p.FirstName = first;
    p.FamilyName = family;
    return p;
}

void relate(Persons& persons, int from, int to, Long value) {
    persons[from].HasRelation[to] = kTrue;
    persons[from].Relation[to] = value;
}

// ---------------------------------------------------------------------------------------------
// Families.

TEST(FamilyMembers, SameNameExactlyInAscendingIdOrder) {
    Persons persons;
    load(persons, 9, "Ann", "Orrin");
    load(persons, 2, "Bo", "Orrin");
    load(persons, 5, "Cy", "orrin");    // other letter case: another family
    load(persons, 6, "Di", "Orrin ");   // trailing blank: another family
    load(persons, 7, "Ed", "\xC9lan");  // Windows-1252 bytes compare as bytes
    load(persons, 8, "Fa", "\xC9lan");
    EXPECT_EQ(familyMembers(persons, "Orrin"), (std::vector<int>{2, 9}));
    EXPECT_EQ(familyMembers(persons, "\xC9lan"), (std::vector<int>{7, 8}));
    EXPECT_TRUE(familyMembers(persons, "Nobody").empty());
}

TEST(FamilyMembers, NoFamilyNameMeansEveryIdWithoutOne) {
    Persons persons;
    load(persons, 0, "Ann", "Orrin");
    load(persons, 500, "Bo", "Orrin");
    load(persons, 3, "Solo", "");
    const std::vector<int> ids = familyMembers(persons, "");
    ASSERT_EQ(ids.size(), static_cast<std::size_t>(kSlotCount - 2));
    EXPECT_EQ(ids.front(), 1);
    EXPECT_EQ(ids.back(), 499);
    EXPECT_NE(std::find(ids.begin(), ids.end(), 3), ids.end());
}

// ---------------------------------------------------------------------------------------------
// Raising values.

TEST(MaximizeAttributes, RaisesTheTwelveValuesAndNothingElse) {
    Persons persons;
    PersonRecord& p = load(persons, 4, "Ann", "Orrin");
    Integer start = 10;
    for (Integer PersonRecord::*field : kAttributeFields)
        p.*field = start++;
    p.JobTrack = 3;
    p.JobLevel = 2;
    p.JobPerformance = -40;
    p.Money = 77;
    p.House = 2;
    PersonRecord expected = p;
    for (Integer PersonRecord::*field : kAttributeFields)
        expected.*field = 1000;

    maximizeAttributes(p);
    EXPECT_EQ(p, expected);
    EXPECT_EQ(p.Neat, 1000);
    EXPECT_EQ(p.Cleaning, 1000);
    EXPECT_EQ(p.Creativity, 1000);
}

TEST(MaximizeRelationships, RaisesExistingRelationshipsBothWaysOnly) {
    Persons persons;
    load(persons, 1, "Ann", "Orrin");
    load(persons, 4, "Bo", "Orrin");
    load(persons, 9, "Cy", "Tal");
    relate(persons, 1, 9, -50);
    relate(persons, 1, 4, 10);
    relate(persons, 4, 1, 20);
    relate(persons, 9, 4, -5);  // not about person 1: untouched
    // Person 9 has no entry for 1: its value is stored but no entry appears.
    const Persons before = persons;

    EXPECT_EQ(maximizeRelationships(persons, 1), (std::vector<int>{4, 9}));

    EXPECT_EQ(persons[1].Relation[4], 100);
    EXPECT_EQ(persons[1].Relation[9], 100);
    EXPECT_EQ(persons[4].Relation[1], 100);
    EXPECT_EQ(persons[9].Relation[1], 100);
    EXPECT_FALSE(isTrue(persons[9].HasRelation[1]));
    EXPECT_EQ(persons[9].Relation[4], -5);
    EXPECT_EQ(persons[1].HasRelation, before[1].HasRelation);
    for (int j = 0; j <= kMaxId; ++j) {
        if (j != 4 && j != 9) {
            EXPECT_EQ(persons[1].Relation[j], before[1].Relation[j]) << j;
        }
    }
    // Nothing but those four values moved, and nobody was marked.
    Persons expected = before;
    expected[1].Relation[4] = expected[1].Relation[9] = 100;
    expected[4].Relation[1] = expected[9].Relation[1] = 100;
    EXPECT_TRUE(persons == expected);
}

TEST(MaximizeRelationships, OnlyTrueFlagsCountAndAPersonWithoutAnyIsLeftAlone) {
    Persons persons;
    load(persons, 2, "Ann", "");
    persons[2].HasRelation[7] = 1;  // not the game's True
    persons[2].Relation[7] = 3;
    const Persons before = persons;
    EXPECT_TRUE(maximizeRelationships(persons, 2).empty());
    EXPECT_TRUE(persons == before);
}

TEST(MaximizeRelationships, ARelationshipWithItselfEndsAtTheBestValue) {
    Persons persons;
    load(persons, 3, "Ann", "");
    relate(persons, 3, 3, 12);
    EXPECT_EQ(maximizeRelationships(persons, 3), (std::vector<int>{3}));
    EXPECT_EQ(persons[3].Relation[3], 100);
}

TEST(GiveBestJob, TopActingTitleWithTheBestPerformance) {
    PersonRecord p;
    p.JobTrack = -1;
    p.JobLevel = 0;
    p.JobPerformance = -100;
    p.Neat = 5;
    giveBestJob(p);
    EXPECT_EQ(p.JobTrack, 2);
    EXPECT_EQ(p.JobLevel, 9);
    EXPECT_EQ(p.JobPerformance, 100);
    EXPECT_EQ(p.Neat, 5);
    EXPECT_EQ(kBestJobItem, 4);
}

// ---------------------------------------------------------------------------------------------
// Money and the lingering house.

TEST(FamilyMoneyText, DigitsOnlyAtMostSeven) {
    EXPECT_EQ(moneyDigits(""), "");
    EXPECT_EQ(moneyDigits("0"), "0");
    EXPECT_EQ(moneyDigits("12a34"), "1234");
    EXPECT_EQ(moneyDigits("-5"), "5");
    EXPECT_EQ(moneyDigits(" 1 2\x16"), "12");
    EXPECT_EQ(moneyDigits("123456789"), "1234567");
    EXPECT_EQ(moneyDigits("x9y9z9w9v9u9t9s9"), "9999999");
    EXPECT_EQ(moneyDigits("\xB2\xB3"), "");  // superscript digits are no decimal digits
}

TEST(FamilyMoneyText, ValueOfTheDigits) {
    EXPECT_EQ(moneyValue(""), 0);
    EXPECT_EQ(moneyValue("abc"), 0);
    EXPECT_EQ(moneyValue("0"), 0);
    EXPECT_EQ(moneyValue("007"), 7);
    EXPECT_EQ(moneyValue("12a34"), 1234);
    EXPECT_EQ(moneyValue("9999999"), 9999999);
    EXPECT_EQ(moneyValue("123456789"), 1234567);
}

TEST(FamilyMoney, StoredForEveryMemberAndNoOneElse) {
    Persons persons;
    load(persons, 1, "Ann", "Orrin").Money = 5;
    load(persons, 7, "Bo", "Orrin").Money = 6;
    load(persons, 8, "Cy", "orrin").Money = 7;
    load(persons, 9, "Di", "").Money = 8;
    setFamilyMoney(persons, "Orrin", 4321);
    EXPECT_EQ(persons[1].Money, 4321);
    EXPECT_EQ(persons[7].Money, 4321);
    EXPECT_TRUE(isTrue(persons[1].Changed));
    EXPECT_TRUE(isTrue(persons[7].Changed));
    EXPECT_EQ(persons[8].Money, 7);
    EXPECT_EQ(persons[9].Money, 8);
    EXPECT_FALSE(isTrue(persons[8].Changed));
    EXPECT_FALSE(isTrue(persons[9].Changed));
}

TEST(LingerHouseOfGhost, KeptElseTheHouseElseOne) {
    PersonRecord p;
    p.House = 3;
    EXPECT_EQ(lingerHouseOfGhost(p), 3);
    p.House = 0;
    EXPECT_EQ(lingerHouseOfGhost(p), 1);
    p.LingerHouse = 7;
    EXPECT_EQ(lingerHouseOfGhost(p), 7);
    p.House = 3;
    EXPECT_EQ(lingerHouseOfGhost(p), 7);
}

}  // namespace
}  // namespace vondrel
