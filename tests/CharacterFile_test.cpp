#include <gtest/gtest.h>

#include <algorithm>

#include "gamedata/CharacterFile.h"

namespace vondrel {
namespace {

// "BMP_", a big-endian 2030, 2004 and 16, then "thumbnail".
const std::string kHeader("BMP_\x00\x00\x07\xEE\x07\xD4\x00\x10thumbnail", 21);
const std::string kOtherLength = kHeader.substr(0, 7) + "\xEF" + kHeader.substr(8);
const std::string kFill(1954, '\t');
const std::string kZeros(4, '\0');
const std::string kLongest(255, 'n');  // the longest first name

// Each part written at its offset, zeros between them.
std::string bytes(std::initializer_list<std::pair<std::size_t, std::string>> parts) {
    std::string s;
    for (const auto& [at, part] : parts) {
        s.resize(std::max(s.size(), at + part.size()));
        s.replace(at, part.size(), part);
    }
    return s;
}

TEST(CharacterFile, ReadsNameKeyAndPortraitAtTheirDistancesFromTheFirstAnchor) {
    const struct {
        std::string data;
        bool accepted;
        std::string name, key;
        std::optional<std::size_t> portrait;  // its size; every byte is a tab
    } cases[] = {
        {bytes({{33, "OBJD"}, {57, "Mira"}, {137, "KEY1"}, {200, kHeader}, {276, kFill}}), true,
         "Mira", "KEY1", 1954},
        {bytes({{0, "OBJD"}, {24, "A"}, {104, "KEY1OBJD"}, {132, "B"}}), true, "A", "KEY1", {}},
        {std::string(300, 'A'), false, "", "", {}},
        {bytes({{0, "OBJD"}, {24, "Unending"}}), false, "", "", {}},
        {bytes({{0, "OBJD"}, {24, ""}}), false, "", "", {}},
        {bytes({{0, "OBJD"}, {24, kLongest}, {280, ""}}), true, kLongest, "nnnn", {}},
        {bytes({{0, "OBJD"}, {24, kLongest + "n"}, {281, ""}}), false, "", "", {}},
        // The file ends inside the key, or before it.
        {bytes({{0, "OBJD"}, {104, "BC"}}), true, "", "BC", {}},
        {bytes({{0, "OBJD"}, {30, ""}}), true, "", "", {}},
        // The portrait is looked for from 12 bytes past the anchor on.
        {bytes({{0, "OBJD"}, {12, kHeader}, {88, kFill}}), true, "thumbnail", "\t\t\t\t", 1954},
        {bytes({{0, "OBJD"}, {11, kHeader}, {87, kFill}}), true, "humbnail", "\t\t\t\t", {}},
        {bytes({{0, "OBJD"}, {120, kOtherLength}, {196, kFill}}), true, "", kZeros, {}},
        // A portrait cut short keeps what is there.
        {bytes({{0, "OBJD"}, {120, kHeader}, {196, kFill.substr(954)}}), true, "", kZeros, 1000},
        {bytes({{0, "OBJD"}, {120, kHeader}}), true, "", kZeros, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const CharacterFile f = readCharacterFile("Ann.iff", asBytes(c.data));
        EXPECT_EQ(f.accepted, c.accepted);
        EXPECT_EQ(f.firstName, c.name);
        EXPECT_EQ(f.personKey, c.key);
        EXPECT_EQ(f.portrait, c.portrait ? std::optional(Bytes(*c.portrait, '\t')) : std::nullopt);
        EXPECT_EQ(f.recordName, "ann");
    }
}

}  // namespace
}  // namespace vondrel
