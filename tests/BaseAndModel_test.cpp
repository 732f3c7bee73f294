#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "base/FileDevice.h"
#include "base/FileIO.h"
#include "model/Persons.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

TEST(Model, BooleansAndTheTableOfFiveHundredAndOneZeroedIndependentSlots) {
    EXPECT_TRUE(isTrue(-1));
    EXPECT_FALSE(isTrue(1));
    Persons a;
    const PersonRecord& last = a[500];
    EXPECT_EQ(last.FirstName, "");
    for (const Integer v :
         {last.Id,       last.Neat,        last.Outgoing,   last.Active,   last.Playful,
          last.Nice,     last.Cooking,     last.Mechanical, last.Charisma, last.Body,
          last.Logic,    last.Creativity,  last.JobTrack,   last.JobLevel, last.JobPerformance,
          last.Cleaning, last.LingerHouse, last.House,      last.Sex,      last.IsGhost})
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

TEST(Cp1252, DecodingIsOneToOneAndEncodingRefusesWhatIsNotACodePageCharacter) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    EXPECT_EQ(cp1252ToUtf8("\x80\xE9\x90"), "\xE2\x82\xAC\xC3\xA9\xC2\x90");  // €, é, a C1 control
    const std::pair<std::string, std::string> encoded[] = {
        {std::string("a\0", 2), std::string("a\0", 2)},
        {"\xE4\xB8\xAD", "?"},      // not in the code page
        {"\xF0\x9F\x98\x80", "?"},  // nor in four bytes
        {"a\xFFz", "a?z"},          // malformed
        {"\xC3", "?"},              // cut short
        {"a\xC0\x80z", "a??z"},     // over-long forms, a hidden NUL among them
        {"\xE0\x9F\xBF", "???"},
        {"\xED\xA0\x80", "???"},       // a surrogate
        {"\xF4\x90\x80\x80", "????"},  // past U+10FFFF
    };
    for (const auto& [utf8, cp1252] : encoded)
        EXPECT_EQ(utf8ToCp1252(utf8), cp1252) << utf8;
}

TEST(Cp1252, LowerCaseCoversTheCodePagesCapitals) {
    EXPECT_EQ(cp1252Lower("ABC xyz"), "abc xyz");
    EXPECT_EQ(cp1252Lower("\xC0\xDE\xD7"), "\xE0\xFE\xD7");  // À Þ lowered, × kept
    EXPECT_EQ(cp1252Lower("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
}

TEST(FileIO, SizesInWordsAndFilesWhoseSizeTheSystemDoesNotGive) {
    EXPECT_EQ(sizeText(1048575), "1048575 bytes");
    EXPECT_EQ(sizeText(1048576), "1 MiB (1048576 bytes)");
#ifdef __linux__
    // Read to their end, within the limit.
    const std::filesystem::path cmdline = "/proc/self/cmdline";
    const ReadResult whole = readWholeFile(cmdline);
    ASSERT_TRUE(whole.bytes && !whole.bytes->empty());
    const std::uint64_t n = whole.bytes->size();
    EXPECT_EQ(readWholeFile(cmdline, n).bytes, whole.bytes);
    const std::string holds = std::to_string(n) + " bytes, more than the ";
    EXPECT_EQ(readWholeFile(cmdline, n - 1).error,
              "it holds " + holds + std::to_string(n - 1) + " bytes Vondrel reads");
#endif
}

TEST(FileIO, AFileIsReplacedWholeOrNotAtAll) {
    testing::TempDir dir;
    const std::filesystem::path file = dir.path() / "Neighborhood.iff";
    EXPECT_EQ(writeNewFile(file, Bytes{1, 2, 3}), "");
    EXPECT_NE(writeNewFile(file, Bytes{4}), "");  // never over an existing file
    EXPECT_EQ(replaceFile(file, Bytes{5, 6}), "");
    EXPECT_NE(replaceFile(dir.path() / "gone" / "x.iff", Bytes{7}), "");
    EXPECT_EQ(readWholeFile(file).bytes, (Bytes{5, 6}));
}

}  // namespace
}  // namespace vondrel
