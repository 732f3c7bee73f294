#include "platform/WineRegistry.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "gamedata/GameFolder.h"
#include "gamedata/WinePrefixes.h"
#include "support/OddFiles.h"
#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

const std::string kHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
const std::string kGameKeyBody = R"([Software\\Norvo] 1700000000
#time=1d9a0b0c0d0e0f0
"VEKS_DATA"="parent"

[Software\\Norvo\\The Veks Demo] 1700000001
"VEKS_DATA"="sibling"

[Software\\Norvo\\The Veks] 1700000002
#time=1d9a0b0c0d0e0f2
@="default"
"Version"=dword:00000102
"VEKS_DATA"="C:\\Program Files\\Norvo\\The Veks"

[Software\\Norvo\\The Veks\\Expansion] 1700000003
"VEKS_DATA"="child"
)";

// A read's result in words: "none", "other", "binary 01 02 ab" or the text of a string.
std::string describe(const std::optional<RegistryValue>& value) {
    if (!value)
        return "none";
    if (value->type == RegistryType::Other)
        return value->data.empty() ? "other" : "other with data";
    if (value->type != RegistryType::Binary)
        return value->type == RegistryType::String ? value->data : "wrong type";
    std::string out = "binary";
    for (const char c : value->data) {
        const char* digits = "0123456789abcdef";
        out += {' ', digits[static_cast<unsigned char>(c) >> 4], digits[c & 15]};
    }
    return out;
}

TEST(WineRegistry, ReadsTheValuesOfSystemReg) {
    const char junk[] = "\x00\xff\xfe[\"\x01\"=\"\\x\n\"Junk\x00\"=\"\x00\x80\"\n";
    const std::string body =
        kGameKeyBody +
        R"(
[Software\\Wow6432Node\\Norvo\\The Veks] 1700000000
"VEKS_DATA"="C:\\Program Files (x86)\\Norvo\\The Veks"

[Software\\Esc\[1\]] 1700000000
"Controls"="a\\b\"c\nd\re\tf"
"Units"="caf\xe9-\x20ac \x41\xd83d\xde00"
"Octal"="\101\7"
"LoneSurrogate"="x\xd800y"
"Cut"="abc\0def"
"Raw"="Über"
"Qu\"oted \\ name"="found"
"Dword"=dword:00000001
"Expand"=hex(2):43,00,3a,00,5c,00,00,00
"Multi"=hex(7):41,00,00,00,\
  42,00,00,00,00,00
"Str"=str(2):"%ProgramFiles%\\Norvo"
"Unterminated"="abc
"UnterminatedName=x
"Truncated"=
"NoEquals" "x"
"EscapeAtEnd"="abc\
"BadHex"=hex:0g,12
"LongHexByte"=hex:123
"TwoCommas"=hex:01,,02
"Ok"="fine"
[Software\\Broken\\Header
"AfterBrokenHeader"="not in any key"
[
["
[Software\\Bin] 1700000000
"Short"=hex:01,02,ab
"Long"=hex:00,11,22,33,\)"
        "\r\n  44,55,\\\r\n  66\r\n\"After\"=\"still read\"\r\n\"Empty\"=hex:\r\n"
        R"([Software\\Twice] 1
"Path"="first"
"Only"="kept"

[Software\\TWICE] 2
"PATH"="second"
)" + std::string(junk, sizeof junk - 1) +
        "\"Tail\"=hex:01,\\";
    const std::vector<std::array<std::string, 3>> cases = {
        {"Software\\Norvo\\The Veks", "VEKS_DATA", "C:\\Program Files\\Norvo\\The Veks"},
        {"SOFTWARE\\norvo\\the VEKS", "veks_data", "C:\\Program Files\\Norvo\\The Veks"},
        {"\\Software\\Norvo\\The Veks\\", "VEKS_DATA", "C:\\Program Files\\Norvo\\The Veks"},
        {"Software\\Norvo\\The Veks", "", "default"},
        {"Software\\Norvo\\The Veks", "Version", "other"},
        {"Software\\Norvo\\The Veks\\Expansion", "VEKS_DATA", "child"},
        {"Software\\Norvo\\The Vek", "VEKS_DATA", "none"},
        {"Norvo\\The Veks", "VEKS_DATA", "none"},
        {"Software\\Norvo\\The Veks", "VEKS_DAT", "none"},
        {"Software\\Norvo\\The Veks", "time", "none"},
        {"Software\\Norvo\\The Veks Demo", "Version", "none"},
        {"Software\\Wow6432Node\\Norvo\\The Veks", "VEKS_DATA",
         "C:\\Program Files (x86)\\Norvo\\The Veks"},
        {"Software\\Esc[1]", "Controls", "a\\b\"c\nd\re\tf"},
        {"Software\\Esc[1]", "Units", "caf\u00e9-\u20ac A\U0001F600"},
        {"Software\\Esc[1]", "Octal", "A\a"},
        {"Software\\Esc[1]", "LoneSurrogate", "x\uFFFDy"},
        {"Software\\Esc[1]", "Cut", "abc"},
        {"Software\\Esc[1]", "Raw", "Über"},
        {"Software\\Esc[1]", "qu\"OTED \\ Name", "found"},
        {"Software\\Esc[1]", "Dword", "other"},
        {"Software\\Esc[1]", "Expand", "other"},
        {"Software\\Esc[1]", "Multi", "other"},
        {"Software\\Esc[1]", "Str", "other"},
        {"Software\\Esc[1]", "Ok", "fine"},
        {"Software\\Broken\\Header", "AfterBrokenHeader", "none"},
        {"Software\\Esc[1]", "AfterBrokenHeader", "none"},
        {"Software\\Bin", "Short", "binary 01 02 ab"},
        {"Software\\Bin", "Long", "binary 00 11 22 33 44 55 66"},
        {"Software\\Bin", "After", "still read"},
        {"Software\\Bin", "Empty", "binary"},
        {"Software\\Twice", "Path", "second"},
        {"Software\\Twice", "Only", "kept"},
    };
    TempDir prefix;
    WineRegistry registry(prefix.path());
    EXPECT_EQ(describe(registry.read("Software\\Norvo\\The Veks", "VEKS_DATA")), "none");
    // Read afresh each time: a game installed while the program runs is found.
    writeFile(prefix.path() / "system.reg", kHeader + body);
    for (const auto& [key, name, expected] : cases)
        EXPECT_EQ(describe(registry.read(key, name)), expected) << key << " " << name;
    // A malformed value is never handed out as a usable one.
    for (const char* name : {"Unterminated", "UnterminatedName", "Truncated", "NoEquals",
                             "EscapeAtEnd", "BadHex", "LongHexByte", "TwoCommas"}) {
        const std::string seen = describe(registry.read("Software\\Esc[1]", name));
        EXPECT_TRUE(seen == "none" || seen == "other") << name << ": " << seen;
    }
    EXPECT_EQ(registry.problem(), "");
}

#ifndef _WIN32

// An odd system.reg is not read, and the discovery says why before it asks for the folder.
TEST(WineRegistry, AnOddSystemRegIsReportedAndNotRead) {
    using testing::Odd;
    const std::pair<Odd, std::string> cases[] = {
        {Odd::Fifo, "not a regular file"},
        {Odd::DeviceLink, "not a regular file"},
        {Odd::Folder, "it is a folder"},
        {Odd::TooLarge,
         "it holds 256 MiB (268435457 bytes), more than the 256 MiB (268435456 "
         "bytes) Vondrel reads"},
    };
    for (const auto& [odd, reason] : cases) {
        SCOPED_TRACE(testing::nameOf(odd));
        TempDir prefix;
        testing::putOdd(prefix.path() / "system.reg", odd, 268435457);
        WineRegistry registry(prefix.path());
        ScriptedSettings settings;
        ScriptedFolderPicker picker;
        ScriptedMessageBoxes messages;
        DiscoveryServices services{registry, settings, picker, messages};
        EXPECT_EQ(discoverGamePath(services), std::nullopt);
        ASSERT_EQ(messages.shown.size(), 2u);
        EXPECT_EQ(messages.shown[0].text, "Could not read the file " +
                                              (prefix.path() / "system.reg").string() + " (" +
                                              reason + ")");
        EXPECT_EQ(picker.titles.size(), 1u);
    }
}

std::string slashed(const fs::path& p) {
    return p.string() + "/";
}

TEST(WineRegistry, LocalPathsGoThroughTheDriveAndTakeTheLetterCaseOnDisk) {
    TempDir prefix, disk;
    const fs::path c = prefix.path() / "drive_c";
    const fs::path d = prefix.path() / "dosdevices" / "d:";
    fs::create_directories(c / "Program Files" / "Norvo" / "The Veks");
    fs::create_directories(c / "Games");
    fs::create_directories(disk.path() / "games" / "VEKS");
    fs::create_directories(prefix.path() / "dosdevices");
    fs::create_symlink(disk.path(), d);
    const WineRegistry registry(prefix.path());
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\Games\\veks\\", slashed(d / "games" / "VEKS")},
        {"d:\\GAMES\\Veks", (d / "games" / "VEKS").string()},
        {"D:\\", slashed(d)},
        {"C:\\PROGRAM FILES\\norvo\\the veks\\", slashed(c / "Program Files/Norvo/The Veks")},
        {"c:/Program Files/Norvo/The Veks", (c / "Program Files/Norvo/The Veks").string()},
        {"C:\\program files\\Missing\\Dir\\", slashed(c / "Program Files" / "Missing" / "Dir")},
        {"C:", c.string()},
        {"E:\\Data", (prefix.path() / "dosdevices" / "e:" / "Data").string()},
        {"\\\\server\\share\\Veks\\", "//server/share/Veks/"},
        {"relative\\Dir", "relative/Dir"},
        {"/already/unix/", "/already/unix/"},
        {"1:\\not a drive", "1:/not a drive"},
        {"", ""},
    };
    for (const auto& [windows, local] : cases)
        EXPECT_EQ(registry.toLocalPath(windows), local) << windows;

    // However many components lie past the first missing one, they stand as they are.
    std::string value = "C:\\GAMES", tail;
    for (int i = 0; i < 5000; ++i) {
        value += "\\Dir" + std::to_string(i);
        tail += "/Dir" + std::to_string(i);
    }
    EXPECT_EQ(registry.toLocalPath(value), (c / "Games").string() + tail);

    // A dosdevices link for C: wins over drive_c.
    fs::create_symlink(disk.path(), prefix.path() / "dosdevices" / "c:");
    EXPECT_EQ(registry.toLocalPath("C:\\games\\"),
              slashed(prefix.path() / "dosdevices" / "c:" / "games"));
}

TEST(WineRegistry, ThePrefixIsWineprefixElseDotWineAtHome) {
    const auto prefixWith = [](const char* winePrefix) {
        const char* home = std::getenv("HOME");
        const std::string oldHome = home ? home : "";
        const char* old = std::getenv("WINEPREFIX");
        const std::optional<std::string> oldPrefix = old ? std::optional(old) : std::nullopt;
        setenv("HOME", "/home/player", 1);
        winePrefix ? setenv("WINEPREFIX", winePrefix, 1) : unsetenv("WINEPREFIX");
        const fs::path prefix = WineRegistry::prefixFromEnvironment();
        setenv("HOME", oldHome.c_str(), 1);
        oldPrefix ? setenv("WINEPREFIX", oldPrefix->c_str(), 1) : unsetenv("WINEPREFIX");
        return prefix;
    };
    EXPECT_EQ(prefixWith("/games/veks-prefix"), fs::path("/games/veks-prefix"));
    EXPECT_EQ(prefixWith(nullptr), fs::path("/home/player/.wine"));
    EXPECT_EQ(prefixWith(""), fs::path("/home/player/.wine"));
}

TEST(WinePrefixDiscovery, FindsTheGameInProtonLutrisAndBottlesPrefixes) {
    const std::pair<const char*, std::function<fs::path(const fs::path&)>> cases[] = {
        {"Proton in a library named by libraryfolders.vdf",
         [](const fs::path& home) {
             const fs::path library = home / "mnt" / "Steam Library";
             writeFile(home / ".local/share/Steam/steamapps/libraryfolders.vdf",
                       "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" +
                           (home / ".local/share/Steam").string() + "\"\n\t}\n\t\"1\"\n\t{\n" +
                           "\t\t\"path\"\t\t\"" + library.string() + "\"\n\t}\n}\n");
             return library / "steamapps/compatdata/2310/pfx";
         }},
        {"Proton under ~/.steam/steam",
         [](const fs::path& home) { return home / ".steam/steam/steamapps/compatdata/17/pfx"; }},
        {"Lutris under ~/Games", [](const fs::path& home) { return home / "Games" / "the-veks"; }},
        {"Lutris prefix named in its game file",
         [](const fs::path& home) {
             writeFile(home / ".config/lutris/games/the-veks-1700.yml",
                       "game:\n  exe: drive_c/Veks/VEKS.EXE\n  prefix: ~/wine/veks\nwine:\n"
                       "  version: lutris-7\n");
             return home / "wine" / "veks";
         }},
        {"Bottles",
         [](const fs::path& home) { return home / ".local/share/bottles/bottles/Veks"; }},
    };
    for (const auto& [what, makePrefix] : cases) {
        SCOPED_TRACE(what);
        TempDir home;
        // An empty ~/.wine comes first and has no game.
        writeFile(home.path() / ".wine" / "system.reg", kHeader);
        const fs::path prefix = makePrefix(home.path());
        writeFile(prefix / "system.reg", kHeader + kGameKeyBody);
        const fs::path install = prefix / "drive_c" / "Program Files" / "Norvo" / "The Veks";
        writeFile(install / "veks.exe", "MZ");

        const std::vector<fs::path> prefixes = findWinePrefixes({home.path(), {}});
        ASSERT_EQ(prefixes.size(), 2u);
        EXPECT_EQ(prefixes[0], home.path() / ".wine");
        WineRegistry first(prefixes[0]), second(prefixes[1]);
        ScriptedSettings settings;
        ScriptedFolderPicker picker;
        ScriptedMessageBoxes messages;
        DiscoveryServices services{first, settings, picker, messages, {&second}};
        EXPECT_EQ(discoverGamePath(services), slashed(install));
        EXPECT_TRUE(picker.titles.empty());
    }
}

TEST(WinePrefixDiscovery, TheFolderDialogOpensInAPrefixElseAtHome) {
    TempDir home;
    const std::string hint = "Choose the folder of The Veks: the one that holds VEKS.EXE.";
    const auto browse = [&] {
        ScriptedRegistry nothing;
        ScriptedSettings settings;
        ScriptedFolderPicker picker;
        ScriptedMessageBoxes messages;
        DiscoveryServices services{nothing, settings, picker, messages};
        services.browseStart = browseStartFolder(findWinePrefixes({home.path(), {}}), home.path());
        EXPECT_EQ(discoverGamePath(services), std::nullopt);
        return picker.starts.at(0);
    };
    EXPECT_EQ(browse(), std::make_pair(home.path().string(), hint));
    const fs::path bottle = home.path() / ".local/share/bottles/bottles/Games";
    writeFile(bottle / "system.reg", kHeader);
    fs::create_directories(bottle / "drive_c");
    EXPECT_EQ(browse(),
              std::make_pair((bottle / "drive_c").string(),
                             hint + " In a Wine prefix (Wine, Proton, Lutris, Bottles) it lies "
                                    "under drive_c."));
}

#endif  // _WIN32

}  // namespace
}  // namespace vondrel
