#include <gtest/gtest.h>

#include "gamedata/CharacterFile.h"
#include "support/GameBuilder.h"

namespace vondrel {
namespace {

using build::Bytes;

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

const std::string kPortraitHeader("BMP_\x00\x00\x07\xEE\x07\xD4\x00\x10thumbnail", 21);

// "OBJD" at `anchor`, a NUL-terminated name 24 bytes after it and a key 104 bytes after it.
Bytes characterBytes(std::size_t anchor, const std::string& name, const std::string& key) {
    Bytes b(anchor + 120, 0);
    std::copy_n("OBJD", 4, b.begin() + static_cast<long>(anchor));
    std::copy(name.begin(), name.end(), b.begin() + static_cast<long>(anchor + 24));
    std::copy(key.begin(), key.end(), b.begin() + static_cast<long>(anchor + 104));
    return b;
}

void appendPortrait(Bytes& b, std::uint8_t fill) {
    const Bytes header = bytesOf(kPortraitHeader);
    b.insert(b.end(), header.begin(), header.end());
    b.resize(b.size() + 55, 0);
    b.resize(b.size() + kPortraitSize, fill);
}

TEST(CharacterFile, ReadsNameKeyAndPortraitAtTheirDistancesFromTheAnchor) {
    Bytes b = characterBytes(33, "Mira", "\x01\x02\x03\x04");
    appendPortrait(b, 0x7A);
    const CharacterFile f = readCharacterFile("Mira.iff", b);
    ASSERT_TRUE(f.accepted);
    EXPECT_EQ(f.firstName, "Mira");
    EXPECT_EQ(f.personKey, std::string("\x01\x02\x03\x04"));
    ASSERT_TRUE(f.portrait);
    EXPECT_EQ(f.portrait->size(), kPortraitSize);
    EXPECT_EQ(f.portrait->front(), 0x7A);
    EXPECT_EQ(f.recordName, "mira");
}

TEST(CharacterFile, BuilderFilesReadBackWithTheirPortrait) {
    build::PersonSpec p;
    p.fileName = "Ann.iff";
    p.firstName = "Ann";
    p.key = {0xAA, 0x00, 0xBB, 0x01};
    p.portrait = build::drawPortrait(3);
    const CharacterFile f = readCharacterFile(p.fileName, build::characterFileBytes(p));
    ASSERT_TRUE(f.accepted);
    EXPECT_EQ(f.personKey, std::string("\xAA\x00\xBB\x01", 4));
    ASSERT_TRUE(f.portrait);
    EXPECT_EQ(*f.portrait, *p.portrait);
    EXPECT_EQ(f.portrait->size(), 1954u);
}

TEST(CharacterFile, OnlyTheFirstAnchorCounts) {
    Bytes b = characterBytes(0, "First", "KEY1");
    const Bytes later = characterBytes(0, "Second", "KEY2");
    b.insert(b.end(), later.begin(), later.end());
    const CharacterFile f = readCharacterFile("x.iff", b);
    EXPECT_EQ(f.firstName, "First");
    EXPECT_EQ(f.personKey, "KEY1");
}

TEST(CharacterFile, RejectsAFileWithoutAnchorOrWithoutNameTerminator) {
    Bytes noAnchor(300, 'A');
    EXPECT_FALSE(readCharacterFile("a.iff", noAnchor).accepted);
    EXPECT_FALSE(readCharacterFile("a.iff", Bytes{}).accepted);

    // The name runs to the end of the file.
    Bytes b = bytesOf("OBJD");
    b.resize(24, 0);
    const Bytes name = bytesOf("Unending");
    b.insert(b.end(), name.begin(), name.end());
    EXPECT_FALSE(readCharacterFile("a.iff", b).accepted);

    // The file ends right where the name would start.
    Bytes shortFile = bytesOf("OBJD");
    shortFile.resize(24, 0);
    EXPECT_FALSE(readCharacterFile("a.iff", shortFile).accepted);

    // A name longer than any the game writes; one byte less is a name.
    for (const std::size_t length : {kMaxFirstName + 1, kMaxFirstName}) {
        Bytes longName = bytesOf("OBJD");
        longName.resize(24 + length, 'n');
        longName.push_back(0);
        EXPECT_EQ(readCharacterFile("a.iff", longName).accepted, length == kMaxFirstName);
    }
}

TEST(CharacterFile, EmptyNameIsAcceptedAndShortKeyKeepsItsRealLength) {
    Bytes b = bytesOf("OBJD");
    b.resize(24, 0);
    b.push_back(0);  // empty name
    b.resize(104, 0);
    b.push_back(0x42);
    b.push_back(0x43);  // the file ends two bytes into the key
    const CharacterFile f = readCharacterFile("a.iff", b);
    ASSERT_TRUE(f.accepted);
    EXPECT_EQ(f.firstName, "");
    EXPECT_EQ(f.personKey, "BC");
    EXPECT_FALSE(f.portrait);

    Bytes noKey = bytesOf("OBJD");
    noKey.resize(30, 0);
    EXPECT_EQ(readCharacterFile("a.iff", noKey).personKey, "");
}

TEST(CharacterFile, PortraitBeforeTheSearchStartIsNotFound) {
    // A complete portrait block that starts before anchor + 12.
    Bytes b;
    appendPortrait(b, 1);
    Bytes tail = characterBytes(0, "Late", "KEY1");
    const std::size_t anchor = 10;  // the anchor lies inside the portrait block's filler
    std::copy_n(tail.begin(), 30, b.begin() + anchor);
    b.resize(anchor + 120, 0);
    std::copy_n("OBJD", 4, b.begin() + anchor);
    const CharacterFile f = readCharacterFile("a.iff", b);
    ASSERT_TRUE(f.accepted);
    EXPECT_FALSE(f.portrait);

    // A header exactly 12 bytes past the anchor is the first place searched.
    Bytes early = characterBytes(0, "", "KEY1");
    const Bytes header = bytesOf(kPortraitHeader);
    std::copy(header.begin(), header.end(), early.begin() + 12);
    early.resize(12 + 76 + kPortraitSize, 3);
    const CharacterFile g = readCharacterFile("b.iff", early);
    ASSERT_TRUE(g.portrait);
    EXPECT_EQ(g.portrait->size(), kPortraitSize);
    EXPECT_EQ(g.portrait->back(), 3);
}

TEST(CharacterFile, PortraitHeaderMustMatchCompletely) {
    Bytes b = characterBytes(0, "Ann", "KEY1");
    appendPortrait(b, 9);
    Bytes otherLength = b;
    otherLength[120 + 7] = 0xEF;  // length 2031 instead of 2030
    EXPECT_FALSE(readCharacterFile("a.iff", otherLength).portrait);
    Bytes otherLabel = b;
    otherLabel[120 + 12] = 'T';  // "Thumbnail"
    EXPECT_FALSE(readCharacterFile("a.iff", otherLabel).portrait);
    EXPECT_TRUE(readCharacterFile("a.iff", b).portrait);
}

TEST(CharacterFile, TruncatedPortraitKeepsWhatIsThere) {
    Bytes b = characterBytes(0, "Ann", "KEY1");
    appendPortrait(b, 9);
    b.resize(b.size() - 1000);
    const CharacterFile f = readCharacterFile("a.iff", b);
    ASSERT_TRUE(f.portrait);
    EXPECT_EQ(f.portrait->size(), kPortraitSize - 1000);

    Bytes headerOnly = characterBytes(0, "Ann", "KEY1");
    const Bytes header = bytesOf(kPortraitHeader);
    headerOnly.insert(headerOnly.end(), header.begin(), header.end());
    const CharacterFile g = readCharacterFile("a.iff", headerOnly);
    ASSERT_TRUE(g.portrait);
    EXPECT_TRUE(g.portrait->empty());
}

TEST(CharacterFile, RecordNameIsTheLowerCaseNameWithoutItsLastFourCharacters) {
    EXPECT_EQ(recordNameOf("abc.iff"), "abc");
    EXPECT_EQ(recordNameOf("ABC.IFF"), "abc");
    EXPECT_EQ(recordNameOf("User00012.Iff"), "user00012");
    EXPECT_EQ(recordNameOf(".iff"), "");
    EXPECT_EQ(recordNameOf("x"), "");
    // Letters beyond ASCII are lowered as the game's code page does, one byte each.
    EXPECT_EQ(recordNameOf("\xC3\x89lise.iff"),
              "\xE9"
              "lise");
    EXPECT_EQ(recordNameOf("\xC5\xA0"
                           "ara.iff"),
              "\x9A"
              "ara");
}

}  // namespace
}  // namespace vondrel
