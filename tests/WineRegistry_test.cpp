#include "platform/WineRegistry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gamedata/GameFolder.h"
#include "gamedata/WinePrefixes.h"
#include "support/Scripted.h"

#include "support/OddFiles.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// A Wine prefix whose system.reg holds `body` after the usual file header.
class WinePrefix {
  public:
    explicit WinePrefix(const std::string& body = {}) {
        if (!body.empty())
            writeRegistry(body);
    }
    void writeRegistry(const std::string& body) const {
        writeFile(path() / "system.reg",
                  "WINE REGISTRY Version 2\n"
                  ";; All keys relative to \\\\Machine\n\n"
                  "#arch=win64\n\n" +
                      body);
    }
    const fs::path& path() const { return dir_.path(); }
    WineRegistry registry() const { return WineRegistry(path()); }

  private:
    TempDir dir_;
};

// A read's result in words, for comparing: "none", "other", "binary 01 02 ab" or
// "string <text>".
std::string describe(const std::optional<RegistryValue>& value) {
    if (!value)
        return "none";
    switch (value->type) {
        case RegistryType::String:
            return "string " + value->data;
        case RegistryType::Binary: {
            std::string out = "binary";
            static constexpr char kDigits[] = "0123456789abcdef";
            for (const char c : value->data) {
                const auto byte = static_cast<unsigned char>(c);
                out += {' ', kDigits[byte >> 4], kDigits[byte & 15]};
            }
            return out;
        }
        case RegistryType::Other:
            return value->data.empty() ? "other" : "other with data";
        default:
            return "type " + std::to_string(static_cast<std::uint32_t>(value->type));
    }
}

std::string readText(WineRegistry& registry, std::string_view key, std::string_view name) {
    return describe(registry.read(key, name));
}

std::string stringValue(const std::string& text) {
    return "string " + text;
}

const std::string kGameKeyBody = R"([Software\\Norvo] 1700000000
#time=1d9a0b0c0d0e0f0
"VEKS_DATA"="wrong: parent key"

[Software\\Norvo\\The Veks Demo] 1700000001
#time=1d9a0b0c0d0e0f1
"VEKS_DATA"="wrong: sibling key"

[Software\\Norvo\\The Veks] 1700000002
#time=1d9a0b0c0d0e0f2
@="The Veks"
"Version"=dword:00000102
"VEKS_DATA"="C:\\Program Files\\Norvo\\The Veks"

[Software\\Norvo\\The Veks\\Expansion] 1700000003
"VEKS_DATA"="wrong: child key"
)";

TEST(WineRegistry, FindsKeyAndValueIgnoringLetterCase) {
    WinePrefix prefix(kGameKeyBody);
    WineRegistry registry = prefix.registry();
    const std::string expected = stringValue("C:\\Program Files\\Norvo\\The Veks");
    EXPECT_EQ(readText(registry, "Software\\Norvo\\The Veks", "VEKS_DATA"), expected);
    EXPECT_EQ(readText(registry, "SOFTWARE\\norvo\\the VEKS", "veks_data"), expected);
    EXPECT_EQ(readText(registry, "\\Software\\Norvo\\The Veks\\", "VEKS_DATA"), expected);
    EXPECT_EQ(readText(registry, "Software\\Norvo\\The Veks", ""), stringValue("The Veks"));
    EXPECT_EQ(readText(registry, "Software\\Norvo\\The Veks\\Expansion", "VEKS_DATA"),
              stringValue("wrong: child key"));
}

TEST(WineRegistry, KeepsTheWow6432NodeKeyApartFromTheNativeOne) {
    WinePrefix prefix(R"([Software\\Wow6432Node\\Norvo\\The Veks] 1700000000
"VEKS_DATA"="C:\\Program Files (x86)\\Norvo\\The Veks"
)");
    WineRegistry registry = prefix.registry();
    EXPECT_EQ(readText(registry, kGameKeyWow64, kGameValue),
              stringValue("C:\\Program Files (x86)\\Norvo\\The Veks"));
    EXPECT_EQ(readText(registry, kGameKey, kGameValue), "none");
}

TEST(WineRegistry, DecodesEscapesInNamesAndStrings) {
    WinePrefix prefix(R"([Software\\Esc\[1\]] 1700000000
"Controls"="a\\b\"c\nd\re\tf"
"Units"="caf\xe9-\x20ac \x41\xd83d\xde00"
"Octal"="\101\7"
"LoneSurrogate"="x\xd800y"
"Cut"="abc\0def"
"Raw"="Über"
"Qu\"oted \\ name"="found"
)");
    WineRegistry registry = prefix.registry();
    const std::string key = "Software\\Esc[1]";
    EXPECT_EQ(readText(registry, key, "Controls"), stringValue("a\\b\"c\nd\re\tf"));
    EXPECT_EQ(readText(registry, key, "Units"), stringValue("caf\u00e9-\u20ac A\U0001F600"));
    EXPECT_EQ(readText(registry, key, "Octal"), stringValue("A\a"));
    EXPECT_EQ(readText(registry, key, "LoneSurrogate"), stringValue("x\uFFFDy"));
    EXPECT_EQ(readText(registry, key, "Cut"), stringValue("abc"));
    EXPECT_EQ(readText(registry, key, "Raw"), stringValue("Über"));
    EXPECT_EQ(readText(registry, key, "qu\"OTED \\ Name"), stringValue("found"));
}

TEST(WineRegistry, ReadsHexValuesAsBinaryAlsoWhenContinuedOverLines) {
    WinePrefix prefix(
        "[Software\\\\Bin] 1700000000\r\n"
        "\"Short\"=hex:01,02,ab\r\n"
        "\"Long\"=hex:00,11,22,33,\\\r\n"
        "  44,55,\\\r\n"
        "  66\r\n"
        "\"After\"=\"still read\"\r\n"
        "\"Empty\"=hex:\r\n");
    WineRegistry registry = prefix.registry();
    EXPECT_EQ(readText(registry, "Software\\Bin", "Short"), "binary 01 02 ab");
    EXPECT_EQ(readText(registry, "Software\\Bin", "Long"), "binary 00 11 22 33 44 55 66");
    EXPECT_EQ(readText(registry, "Software\\Bin", "After"), stringValue("still read"));
    EXPECT_EQ(readText(registry, "Software\\Bin", "Empty"), "binary");
}

TEST(WineRegistry, ReportsOtherValueFormsAsTypeOther) {
    WinePrefix prefix(R"([Software\\Types] 1700000000
"Dword"=dword:00000001
"Expand"=hex(2):43,00,3a,00,5c,00,00,00
"Multi"=hex(7):41,00,00,00,\
  42,00,00,00,00,00
"Next"="after the continued value"
"Str"=str(2):"%ProgramFiles%\\Norvo"
"Unknown"=qword:0123
)");
    WineRegistry registry = prefix.registry();
    for (const char* name : {"Dword", "Expand", "Multi", "Str", "Unknown"}) {
        SCOPED_TRACE(name);
        const std::optional<RegistryValue> value = registry.read("Software\\Types", name);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type, RegistryType::Other);
        EXPECT_EQ(QueryRegValue(value), "");
    }
    EXPECT_EQ(readText(registry, "Software\\Types", "Next"),
              stringValue("after the continued value"));
}

TEST(WineRegistry, TheLaterOfTwoDefinitionsWins) {
    WinePrefix prefix(R"([Software\\Twice] 1
"Path"="first"
"Only"="kept"

[Software\\TWICE] 2
"PATH"="second"
)");
    WineRegistry registry = prefix.registry();
    EXPECT_EQ(readText(registry, "Software\\Twice", "Path"), stringValue("second"));
    EXPECT_EQ(readText(registry, "Software\\Twice", "Only"), stringValue("kept"));
}

TEST(WineRegistry, ReadsTheFileAgainOnEveryRead) {
    WinePrefix prefix;
    WineRegistry registry = prefix.registry();
    EXPECT_EQ(readText(registry, kGameKey, kGameValue), "none");
    prefix.writeRegistry(kGameKeyBody);
    EXPECT_EQ(readText(registry, kGameKey, kGameValue),
              stringValue("C:\\Program Files\\Norvo\\The Veks"));
}

TEST(WineRegistry, AnswersNothingForWhatIsNotThere) {
    WinePrefix empty;
    EXPECT_EQ(describe(empty.registry().read(kGameKey, kGameValue)), "none");

    WinePrefix folderInstead;
    fs::create_directories(folderInstead.path() / "system.reg");
    EXPECT_EQ(describe(folderInstead.registry().read(kGameKey, kGameValue)), "none");

    WinePrefix prefix(kGameKeyBody);
    WineRegistry registry = prefix.registry();
    EXPECT_EQ(readText(registry, "Software\\Norvo\\The Vek", kGameValue), "none");
    EXPECT_EQ(readText(registry, "Norvo\\The Veks", kGameValue), "none");
    EXPECT_EQ(readText(registry, kGameKey, "VEKS_DAT"), "none");
    EXPECT_EQ(readText(registry, kGameKey, "time"), "none");
    EXPECT_EQ(readText(registry, "Software\\Norvo\\The Veks Demo", "Version"), "none");
}

TEST(WineRegistry, SkipsMalformedLinesAndKeepsReadingTheRest) {
    std::string body = R"([Software\\Broken] 1
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
[Software\\Good] 2
"Value"="good"
)";
    const char junk[] = "\x00\xff\xfe[\"\x01\"=\"\\x\n\"Junk\x00\"=\"\x00\x80\"\n";
    body.append(junk, sizeof junk - 1);
    body += "\"Tail\"=hex:01,\\";
    WinePrefix prefix(body);
    WineRegistry registry = prefix.registry();

    EXPECT_EQ(readText(registry, "Software\\Good", "Value"), stringValue("good"));
    EXPECT_EQ(readText(registry, "Software\\Broken", "Ok"), stringValue("fine"));
    for (const char* name : {"Unterminated", "UnterminatedName", "Truncated", "NoEquals",
                             "EscapeAtEnd", "BadHex", "LongHexByte", "TwoCommas"}) {
        SCOPED_TRACE(name);
        const std::optional<RegistryValue> value = registry.read("Software\\Broken", name);
        EXPECT_TRUE(!value || value->type == RegistryType::Other);
        EXPECT_EQ(QueryRegValue(value), "");
    }
    EXPECT_EQ(readText(registry, "Software\\Broken", "AfterBrokenHeader"), "none");
    // Whatever the junk at the end yields, reading it must not fail.
    EXPECT_NO_THROW(registry.read("Software\\Good", "Junk"));
    EXPECT_NO_THROW(registry.read("Software\\Good", "Tail"));
}

TEST(WineRegistry, SurvivesArbitraryBytes) {
    WinePrefix prefix;
    // Bytes biased towards the characters the parser looks at.
    const std::string alphabet = "[]\"\\@=#:,x0aF9hex()dword\r\n \t\xff";
    std::uint32_t state = 12345;
    for (int round = 0; round < 50; ++round) {
        std::string junk;
        for (int i = 0; i < 2000; ++i) {
            state = state * 1664525u + 1013904223u;
            const std::uint32_t pick = state >> 24;
            junk += pick < 200 ? alphabet[pick % alphabet.size()] : static_cast<char>(pick);
        }
        writeFile(prefix.path() / "system.reg", junk);
        WineRegistry registry = prefix.registry();
        EXPECT_NO_THROW(registry.read("x", "x"));
        EXPECT_NO_THROW(registry.read("", ""));
    }
}

#ifndef _WIN32

std::string slashed(const fs::path& p) {
    return p.string() + "/";
}

TEST(WineRegistryLocalPath, FollowsTheDosdevicesLinkOfTheDrive) {
    WinePrefix prefix;
    TempDir disk;
    fs::create_directories(disk.path() / "games" / "VEKS");
    fs::create_directories(prefix.path() / "dosdevices");
    fs::create_symlink(disk.path(), prefix.path() / "dosdevices" / "d:");
    const WineRegistry registry = prefix.registry();
    const fs::path drive = prefix.path() / "dosdevices" / "d:";

    EXPECT_EQ(registry.toLocalPath("D:\\Games\\veks\\"), slashed(drive / "games" / "VEKS"));
    EXPECT_EQ(registry.toLocalPath("d:\\GAMES\\Veks"), (drive / "games" / "VEKS").string());
    EXPECT_EQ(registry.toLocalPath("D:\\"), slashed(drive));
    EXPECT_TRUE(fs::is_directory(registry.toLocalPath("D:\\Games\\veks\\")));
}

TEST(WineRegistryLocalPath, UsesDriveCWhenThereIsNoLinkForC) {
    WinePrefix prefix;
    fs::create_directories(prefix.path() / "drive_c" / "Program Files" / "Norvo" / "The Veks");
    const WineRegistry registry = prefix.registry();
    const fs::path install = prefix.path() / "drive_c" / "Program Files" / "Norvo" / "The Veks";

    EXPECT_EQ(registry.toLocalPath("C:\\PROGRAM FILES\\norvo\\the veks\\"), slashed(install));
    EXPECT_EQ(registry.toLocalPath("c:/Program Files/Norvo/The Veks"), install.string());
    EXPECT_EQ(registry.toLocalPath("C:\\program files\\Missing\\Dir\\"),
              slashed(prefix.path() / "drive_c" / "Program Files" / "Missing" / "Dir"));
    EXPECT_EQ(registry.toLocalPath("C:"), (prefix.path() / "drive_c").string());
    // Only C: has that fallback.
    EXPECT_EQ(registry.toLocalPath("E:\\Data"),
              (prefix.path() / "dosdevices" / "e:" / "Data").string());
}

TEST(WineRegistryLocalPath, PrefersTheDosdevicesLinkForC) {
    WinePrefix prefix;
    TempDir elsewhere;
    fs::create_directories(prefix.path() / "drive_c" / "Veks");
    fs::create_directories(elsewhere.path() / "Veks");
    fs::create_directories(prefix.path() / "dosdevices");
    fs::create_symlink(elsewhere.path(), prefix.path() / "dosdevices" / "c:");
    const WineRegistry registry = prefix.registry();
    EXPECT_EQ(registry.toLocalPath("C:\\veks\\"),
              slashed(prefix.path() / "dosdevices" / "c:" / "Veks"));
}

TEST(WineRegistryLocalPath, LeavesPathsWithoutDriveAsTheyAreBesidesSlashes) {
    WinePrefix prefix;
    const WineRegistry registry = prefix.registry();
    EXPECT_EQ(registry.toLocalPath("\\\\server\\share\\Veks\\"), "//server/share/Veks/");
    EXPECT_EQ(registry.toLocalPath("relative\\Dir"), "relative/Dir");
    EXPECT_EQ(registry.toLocalPath("/already/unix/"), "/already/unix/");
    EXPECT_EQ(registry.toLocalPath("1:\\not a drive"), "1:/not a drive");
    EXPECT_EQ(registry.toLocalPath(""), "");
}

TEST(WineRegistryLocalPath, GamePathFromThePrefixReachesTheInstall) {
    WinePrefix prefix(R"([Software\\Wow6432Node\\Norvo\\The Veks] 1700000000
"VEKS_DATA"="C:\\Program Files (x86)\\Norvo\\The Veks"
)");
    const fs::path install =
        prefix.path() / "drive_c" / "Program Files (x86)" / "Norvo" / "The Veks";
    writeFile(install / "Veks.exe", "MZ");
    WineRegistry registry = prefix.registry();
    const std::string folder = GetGamePath(registry);
    EXPECT_EQ(folder, slashed(install));
    EXPECT_TRUE(holdsGame(folder));
}

// Sets an environment variable (or unsets it, for nullptr) until the end of the scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        set(value);
    }
    ~ScopedEnv() { set(old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void set(const char* value) {
        if (value != nullptr) {
            setenv(name_.c_str(), value, 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    std::string name_;
    std::optional<std::string> old_;
};

// A path of many components: those under the prefix take their letter case from the disk,
// the rest stand as they are, however many there are.
TEST(WineRegistryLocalPath, KeepsComponentsPastTheFirstMissingOneAsTheyAre) {
    WinePrefix prefix;
    fs::create_directories(prefix.path() / "drive_c" / "Games");
    std::string tail;
    for (int i = 0; i < 5000; ++i)
        tail += "/Dir" + std::to_string(i);
    std::string value = "C:\\GAMES";
    for (int i = 0; i < 5000; ++i)
        value += "\\Dir" + std::to_string(i);
    EXPECT_EQ(prefix.registry().toLocalPath(value),
              (prefix.path() / "drive_c" / "Games").string() + tail);
}

#ifndef _WIN32
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
        WinePrefix prefix(kGameKeyBody);
        testing::putOdd(prefix.path() / "system.reg", odd, kRegistryLimit + 1);
        WineRegistry registry = prefix.registry();
        EXPECT_EQ(readText(registry, "Software\\Norvo\\The Veks", "VEKS_DATA"), "none");
        EXPECT_EQ(registry.problem(),
                  (prefix.path() / "system.reg").string() + " (" + reason + ")");
    }
    WinePrefix missing;
    WineRegistry registry = missing.registry();
    EXPECT_EQ(readText(registry, "Software\\Norvo\\The Veks", "VEKS_DATA"), "none");
    EXPECT_EQ(registry.problem(), "");
}
#endif

TEST(WineRegistryPrefix, ComesFromWineprefixElseFromHome) {
    ScopedEnv home("HOME", "/home/player");
    {
        ScopedEnv prefix("WINEPREFIX", "/games/veks-prefix");
        EXPECT_EQ(WineRegistry::prefixFromEnvironment(), fs::path("/games/veks-prefix"));
    }
    {
        ScopedEnv prefix("WINEPREFIX", nullptr);
        EXPECT_EQ(WineRegistry::prefixFromEnvironment(), fs::path("/home/player/.wine"));
    }
    {
        ScopedEnv prefix("WINEPREFIX", "");
        EXPECT_EQ(WineRegistry::prefixFromEnvironment(), fs::path("/home/player/.wine"));
    }
}

// A game installed in a prefix that one of the usual Wine front ends keeps under `home`.
struct FrontEndCase {
    const char* name;
    // Makes the store and returns the prefix folder the game goes into.
    std::function<fs::path(const fs::path& home)> makePrefix;
};

TEST(WinePrefixDiscovery, FindsTheGameInProtonLutrisAndBottlesPrefixes) {
    const FrontEndCase cases[] = {
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
    for (const FrontEndCase& c : cases) {
        TempDir home;
        // An empty ~/.wine comes first and has no game.
        writeFile(home.path() / ".wine" / "system.reg", "WINE REGISTRY Version 2\n");
        const fs::path prefix = c.makePrefix(home.path());
        writeFile(prefix / "system.reg", "WINE REGISTRY Version 2\n\n" + kGameKeyBody);
        const fs::path install = prefix / "drive_c" / "Program Files" / "Norvo" / "The Veks";
        writeFile(install / "VEKS.EXE", "MZ");

        const std::vector<fs::path> prefixes = findWinePrefixes({home.path(), {}});
        ASSERT_EQ(prefixes.size(), 2u) << c.name;
        EXPECT_EQ(prefixes[0], home.path() / ".wine") << c.name;
        std::vector<WineRegistry> registries;
        for (const fs::path& p : prefixes)
            registries.emplace_back(p);
        ScriptedSettings settings;
        ScriptedFolderPicker picker;
        ScriptedMessageBoxes messages;
        DiscoveryServices services{registries[0], settings, picker, messages, {&registries[1]}};
        EXPECT_EQ(discoverGamePath(services), slashed(install)) << c.name;
        EXPECT_TRUE(picker.titles.empty()) << c.name;
    }
}

TEST(WinePrefixDiscovery, TheFolderDialogOpensInAPrefixElseAtHome) {
    TempDir home;
    ScriptedSettings settings;
    ScriptedFolderPicker picker;
    ScriptedMessageBoxes messages;
    ScriptedRegistry nothing;
    const auto browse = [&] {
        DiscoveryServices services{nothing, settings, picker, messages};
        services.browseStart = browseStartFolder(findWinePrefixes({home.path(), {}}), home.path());
        EXPECT_EQ(discoverGamePath(services), std::nullopt);
        return picker.starts.back();
    };
    EXPECT_EQ(browse(), std::make_pair(home.path().string(), std::string(kBrowseHint)));
    const fs::path bottle = home.path() / ".local/share/bottles/bottles/Games";
    writeFile(bottle / "system.reg", "WINE REGISTRY Version 2\n");
    fs::create_directories(bottle / "drive_c");
    EXPECT_EQ(browse(), std::make_pair((bottle / "drive_c").string(),
                                       std::string(kBrowseHint) + std::string(kBrowseHintWine)));
}

#endif  // _WIN32

}  // namespace
}  // namespace vondrel
