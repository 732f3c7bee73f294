#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <tuple>

#include "gamedata/GameFolder.h"
#include "gamedata/WinePrefixes.h"
#include "platform/WineRegistry.h"
#include "support/OddFiles.h"
#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vondrel::testing {
// Keys and values of HKEY_LOCAL_MACHINE: key, value name ("" for the default), type, data.
using RegistryEntries =
    std::vector<std::tuple<std::string, std::string, RegistryType, std::string>>;
#ifdef _WIN32
// The real registry holding the entries until it goes (WindowsCore_win_test.cpp); nothing
// where the test may not write the registry.
std::unique_ptr<Registry> windowsRegistryHolding(const RegistryEntries&,
                                                 const std::filesystem::path&);
#endif
}  // namespace vondrel::testing

namespace vondrel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

const std::string kHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";

// A read's result in words: "none", "other" (an unknown form, no data), "binary <bytes>" or
// the text of a string.
std::string describe(const std::optional<RegistryValue>& value) {
    if (!value)
        return "none";
    if (value->type == RegistryType::Binary)
        return "binary " + value->data;
    if (value->type == RegistryType::String)
        return value->data;
    return value->type == RegistryType::Other && value->data.empty() ? "other" : "unexpected";
}

// The entries as Wine writes them into the system.reg of a prefix.
std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text)
        out += c == '\0'               ? std::string("\\0")
               : c == '\\' || c == '"' ? std::string{'\\', c}
                                       : std::string{c};
    return out;
}
std::string systemReg(const testing::RegistryEntries& entries) {
    std::string text = kHeader, key;
    for (const auto& [k, name, type, data] : entries) {
        if (k != std::exchange(key, k))
            text += "\n[" + escaped(k) + "] 1700000000\n#time=1d9a0b0c0d0e0f0\n";
        text += (name.empty() ? "@" : "\"" + escaped(name) + "\"") + "=";
        if (type == RegistryType::String)
            text += "\"" + escaped(data) + "\"";
        else
            text += type == RegistryType::Binary ? "hex:" : "hex(4):";
        for (std::size_t i = 0; type != RegistryType::String && i < data.size(); ++i) {
            char byte[4];
            std::snprintf(byte, sizeof byte, "%02x,", static_cast<unsigned char>(data[i]));
            text += byte;
        }
        text += "\n";
    }
    return text;
}
std::unique_ptr<Registry> wineRegistryHolding(const testing::RegistryEntries& entries,
                                              const fs::path& prefix) {
    writeFile(prefix / "system.reg", systemReg(entries));
    return std::make_unique<WineRegistry>(prefix);
}

using RegistryMaker = std::unique_ptr<Registry> (*)(const testing::RegistryEntries&,
                                                    const fs::path&);
class RegistryContract : public ::testing::TestWithParam<RegistryMaker> {};

// The same keys in each registry, and what each of them reads.
TEST_P(RegistryContract, ReadsEachValueOfItsKeyAndNothingElse) {
    using enum RegistryType;
    const std::string veks = "Software\\Norvo\\The Veks",
                      game = "C:\\Program Files\\Norvo\\The Veks";
    TempDir prefix;
    const std::unique_ptr<Registry> registry =
        GetParam()({{"Software\\Norvo", "VEKS_DATA", String, "parent"},
                    {veks, "", String, "default"},
                    {veks, "Version", Dword, std::string("\x02\x01\0\0", 4)},
                    {veks, "VEKS_DATA", String, game},
                    {veks, "Quoted", String, "a \"b\" \\c"},
                    {veks, "Zo\xC3\xAB", String, "C:\\Spiele\\Zo\xC3\xAB"},
                    {veks, "Cut", String, std::string("abc\0def", 7)},
                    {veks, "Bytes", Binary, std::string("\xFF\0\x7F\xC3", 4)},
                    {veks + "\\Expansion", "VEKS_DATA", String, "child"},
                    {veks + " Demo", "VEKS_DATA", String, "sibling"},
                    {"Software\\Wow6432Node\\Norvo\\The Veks", "VEKS_DATA", String,
                     "C:\\Program Files (x86)"}},
                   prefix.path());
    if (!registry)
        GTEST_SKIP() << "set VONDREL_SCRATCH_REGISTRY=1 in a throw-away Wine prefix";
    const std::array<std::string, 3> cases[] = {
        {veks, "VEKS_DATA", game},
        {"SOFTWARE\\norvo\\the VEKS", "veks_data", game},
        {veks, "", "default"},
        {veks, "Version", "other"},
        {veks, "Quoted", "a \"b\" \\c"},
        {veks, "zo\xC3\xAB", "C:\\Spiele\\Zo\xC3\xAB"},
        {veks, "Cut", "abc"},
        {veks, "Bytes", std::string("binary \xFF\0\x7F\xC3", 11)},
        {veks + "\\Expansion", "VEKS_DATA", "child"},
        {"Software\\Wow6432Node\\Norvo\\The Veks", "VEKS_DATA", "C:\\Program Files (x86)"},
        {"Software\\Norvo\\The Vek", "VEKS_DATA", "none"},
        {"Norvo\\The Veks", "VEKS_DATA", "none"},
        {veks, "VEKS_DAT", "none"},
        {veks + " Demo", "Version", "none"},
        {veks + "\\Missing", "VEKS_DATA", "none"},
    };
    for (const auto& [key, name, expected] : cases)
        EXPECT_EQ(describe(registry->read(key, name)), expected) << key << " " << name;
    EXPECT_EQ(registry->problem(), "");
}

INSTANTIATE_TEST_SUITE_P(Wine, RegistryContract, ::testing::Values(&wineRegistryHolding));
#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Windows, RegistryContract,
                         ::testing::Values(&testing::windowsRegistryHolding));
#endif

// What only Wine's file has: escapes, hex over several lines, CRLF line ends, keys given more
// than once or broken. Each row is a line of one key, the name read and what it reads as;
// "unusable" is nothing or an unknown form, never a value to use.
TEST(WineRegistry, DecodesTheFileFormat) {
    const std::array<std::string, 3> cases[] = {
        {R"("Controls"="a\\b\"c\nd\re\tf")", "Controls", "a\\b\"c\nd\re\tf"},
        {R"("Units"="caf\xe9-\x20ac \x41\xd83d\xde00")", "Units", "caf\u00e9-\u20ac A\U0001F600"},
        {R"("Octal"="\101\7")", "Octal", "A\a"},
        {R"("LoneSurrogate"="x\xd800y")", "LoneSurrogate", "x\uFFFDy"},
        {R"("Raw"="Über")", "Raw", "Über"},
        {R"("Qu\"oted \\ name"="found")", "qu\"OTED \\ Name", "found"},
        {"\"Long\"=hex:10,11,22,33,\\\r\n  44,55,\\\r\n  66", "Long",
         "binary \x10\x11\x22\x33\x44\x55\x66"},
        {"\"Empty\"=hex:", "Empty", "binary "},
        {"\"Dword\"=dword:00000001", "Dword", "other"},
        {"\"Expand\"=hex(2):43,00,3a,00,5c,00,00,00", "Expand", "other"},
        {"\"Multi\"=hex(7):41,00,00,00,\\\r\n  42,00,00,00,00,00", "Multi", "other"},
        {R"("Str"=str(2):"%ProgramFiles%\\Norvo")", "Str", "other"},
        {R"("Unterminated"="abc)", "Unterminated", "unusable"},
        {R"("UnterminatedName=x)", "UnterminatedName", "unusable"},
        {R"("Truncated"=)", "Truncated", "unusable"},
        {R"("NoEquals" "x")", "NoEquals", "unusable"},
        {R"("EscapeAtEnd"="abc\)", "EscapeAtEnd", "unusable"},
        {R"("BadHex"=hex:0g,12)", "BadHex", "unusable"},
        {R"("LongHexByte"=hex:123)", "LongHexByte", "unusable"},
        {R"("TwoCommas"=hex:01,,02)", "TwoCommas", "unusable"},
        {"#time=1d9a0b0c0d0e0f2", "time", "none"},
        {"\"Twice\"=\"first\"\r\n[Software\\\\Other] 1\r\n\"Twice\"=\"elsewhere\"\r\n"
         "[SOFTWARE\\\\ESC\\[1\\]] 2\r\n\"TWICE\"=\"second\"",
         "Twice", "second"},
        {"[Software\\\\Esc\\[1\\]\r\n\"After\"=\"not in any key\"\r\n[\r\n[\"", "After", "none"},
        {std::string("\x00\xff\xfe[\"\x01\"=\"\\x\n\"Junk\x00\"=\"\x00\x80\"\n", 25) +
             "\"Tail\"=hex:01,\\",
         "Software", "none"},
    };
    std::string body;
    for (const auto& [line, name, expected] : cases)
        body += "[Software\\\\Esc\\[1\\]] 1\r\n" + line + "\r\n";
    TempDir prefix;
    writeFile(prefix.path() / "system.reg", kHeader + body);
    WineRegistry registry(prefix.path());
    for (const auto& [line, name, expected] : cases) {
        for (const char* key : {"Software\\Esc[1]", "\\software\\esc[1]\\"}) {
            const std::string seen = describe(registry.read(key, name));
            if (expected == "unusable")
                EXPECT_TRUE(seen == "none" || seen == "other") << line << ": " << seen;
            else
                EXPECT_EQ(seen, expected) << line << " in " << key;
        }
    }
}

#ifndef _WIN32

std::string slashed(const fs::path& p) {
    return p.string() + "/";
}

TEST(WineRegistry, LocalPathsGoThroughTheDriveAndTakeTheLetterCaseOnDisk) {
    TempDir prefix, disk;
    const fs::path c = prefix.path() / "drive_c";
    const fs::path d = prefix.path() / "dosdevices" / "d:";
    for (const fs::path& folder : {c / "Program Files" / "Norvo" / "The Veks", c / "Games",
                                   disk.path() / "games" / "VEKS", prefix.path() / "dosdevices"})
        fs::create_directories(folder);
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
    const char* home = std::getenv("HOME");
    const char* wine = std::getenv("WINEPREFIX");
    const std::optional<std::string> old[] = {home ? std::optional(home) : std::nullopt,
                                              wine ? std::optional(wine) : std::nullopt};
    setenv("HOME", "/home/player", 1);
    for (const auto& [prefix, expected] :
         {std::pair<const char*, const char*>{"/games/veks-prefix", "/games/veks-prefix"},
          {"", "/home/player/.wine"},
          {nullptr, "/home/player/.wine"}}) {
        prefix ? setenv("WINEPREFIX", prefix, 1) : unsetenv("WINEPREFIX");
        EXPECT_EQ(WineRegistry::prefixFromEnvironment(), fs::path(expected));
    }
    old[0] ? setenv("HOME", old[0]->c_str(), 1) : unsetenv("HOME");
    old[1] ? setenv("WINEPREFIX", old[1]->c_str(), 1) : unsetenv("WINEPREFIX");
}

// A game installed in a prefix one of the usual Wine front ends keeps under the home folder,
// with the file that names it, if any ($HOME stands for the home folder).
TEST(WinePrefixDiscovery, FindsTheGameInProtonLutrisAndBottlesPrefixes) {
    // clang-format off
    const std::array<std::string, 3> cases[] = {
        {"mnt/Steam Library/steamapps/compatdata/2310/pfx",
         ".local/share/Steam/steamapps/libraryfolders.vdf",
         "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"$HOME/.local/share/Steam\"\n\t}\n"
         "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"$HOME/mnt/Steam Library\"\n\t}\n}\n"},
        {".steam/steam/steamapps/compatdata/17/pfx", "", ""},
        {"Games/the-veks", "", ""},
        {"wine/veks", ".config/lutris/games/the-veks-1700.yml",
         "game:\n  exe: drive_c/Veks/VEKS.EXE\n  prefix: '~/wine/veks'\nwine:\n  version: lutris-7\n"},
        {"wine/veks 2", ".config/lutris/games/veks-2.yml", "game:\n  prefix: \"~/wine/veks 2\"\n"},
        {".local/share/bottles/bottles/Veks", "", ""},
    };
    // clang-format on
    for (auto [where, file, content] : cases) {
        SCOPED_TRACE(where);
        TempDir home;
        for (std::size_t at; (at = content.find("$HOME")) != std::string::npos;)
            content.replace(at, 5, home.path().string());
        if (!file.empty())
            writeFile(home.path() / file, content);
        // An empty ~/.wine comes first and has no game.
        writeFile(home.path() / ".wine" / "system.reg", kHeader);
        const fs::path prefix = home.path() / where;
        writeFile(prefix / "system.reg",
                  systemReg({{"Software\\Norvo\\The Veks", "VEKS_DATA", RegistryType::String,
                              "C:\\Program Files\\Norvo\\The Veks"}}));
        const fs::path install = prefix / "drive_c" / "Program Files" / "Norvo" / "The Veks";
        writeFile(install / "veks.exe", "MZ");

        const std::vector<fs::path> prefixes = findWinePrefixes({home.path(), {}});
        EXPECT_EQ(prefixes, (std::vector<fs::path>{home.path() / ".wine", prefix}));
        EXPECT_EQ(browseStartFolder(prefixes, home.path()), prefix / "drive_c");
        WineRegistry first(home.path() / ".wine"), second(prefix);
        ScriptedSettings settings;
        ScriptedFolderPicker picker;
        ScriptedMessageBoxes messages;
        DiscoveryServices services{first, settings, picker, messages, {&second}};
        EXPECT_EQ(discoverGamePath(services), slashed(install));
        EXPECT_TRUE(picker.titles.empty());
    }
}

// The folder dialog opens at home, or in a prefix's drive_c with a word on where to look. A
// system.reg too large to read is not read, and the discovery says why before it asks.
TEST(WinePrefixDiscovery, TheFolderDialogSaysWhereToLook) {
    const std::string hint = "Choose the folder of The Veks: the one that holds VEKS.EXE.";
    const std::string wine =
        " In a Wine prefix (Wine, Proton, Lutris, Bottles) it lies under drive_c.";
    TempDir home, odd;
    EXPECT_EQ(browseStartFolder(findWinePrefixes({home.path(), {}}), home.path()), home.path());
    testing::putOdd(odd.path() / "system.reg", testing::Odd::TooLarge, 268435457);
    WineRegistry registry(odd.path());
    for (const auto& [start, says] :
         {std::pair(home.path(), hint), std::pair(home.path() / "pfx" / "drive_c", hint + wine)}) {
        ScriptedSettings settings;
        ScriptedFolderPicker picker;
        ScriptedMessageBoxes messages;
        DiscoveryServices services{registry, settings, picker, messages, {}, start.string()};
        EXPECT_EQ(discoverGamePath(services), std::nullopt);
        EXPECT_EQ(picker.starts, (std::vector{std::pair(start.string(), says)}));
        ASSERT_EQ(messages.shown.size(), 2u);
        EXPECT_EQ(messages.shown[0].text,
                  "Could not read the file " + (odd.path() / "system.reg").string() +
                      " (it holds 256 MiB (268435457 bytes), more than the 256 MiB (268435456 "
                      "bytes) Vondrel reads)");
    }
}

#endif  // _WIN32

}  // namespace
}  // namespace vondrel
