// Writes the starting corpora for the fuzz targets: `vondrel-make-seeds DIR` fills
// DIR/character (single character files), DIR/loader (whole games in LoaderFuzz's input
// form) and the dictionaries DIR/character.dict and DIR/loader.dict.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/GameBuilder.h"

namespace {

namespace fs = std::filesystem;
using vondrel::build::Bytes;
using vondrel::build::GameSpec;
using vondrel::build::PersonSpec;

constexpr std::size_t kMaxNameLength = 0x1F;
constexpr std::uint8_t kUnreadableBit = 0x80;
constexpr std::size_t kMaxFiles = 16;

void writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

void writeText(const fs::path& path, const std::string& text) {
    writeFile(path, Bytes(text.begin(), text.end()));
}

struct SeedFile {
    std::string name;
    std::optional<Bytes> bytes;  // none: the file could not be read
};

// The LoaderFuzz input form: a count, then per file a flags-and-name-length byte, the name,
// a little-endian 16-bit length and the bytes, then the neighbourhood file.
Bytes loaderInput(const std::vector<SeedFile>& files, const Bytes& neighborhood) {
    if (files.size() > kMaxFiles)
        throw std::invalid_argument("too many files for one seed");
    Bytes out{static_cast<std::uint8_t>(files.size())};
    for (const SeedFile& file : files) {
        if (file.name.size() > kMaxNameLength)
            throw std::invalid_argument("name too long");
        const Bytes bytes = file.bytes.value_or(Bytes{});
        if (bytes.size() > 0xFFFF)
            throw std::invalid_argument("file too long");
        out.push_back(
            static_cast<std::uint8_t>(file.name.size() | (file.bytes ? 0 : kUnreadableBit)));
        out.insert(out.end(), file.name.begin(), file.name.end());
        out.push_back(static_cast<std::uint8_t>(bytes.size() & 0xFF));
        out.push_back(static_cast<std::uint8_t>(bytes.size() >> 8));
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    out.insert(out.end(), neighborhood.begin(), neighborhood.end());
    return out;
}

std::vector<SeedFile> filesOf(const vondrel::build::BuiltGame& game) {
    std::vector<SeedFile> files;
    for (const auto& [name, bytes] : game.characterFiles)
        files.push_back({name, bytes});
    return files;
}

Bytes loaderInput(const GameSpec& spec) {
    const auto game = vondrel::build::build(spec);
    return loaderInput(filesOf(game), game.neighborhood);
}

// Small games: little filler, and portraits only where asked for.
GameSpec smallGame(std::uint32_t seed, int persons, bool portraits) {
    std::mt19937 rng(seed);
    GameSpec game = vondrel::build::randomGame(rng, persons);
    game.fillerBetween = 8;
    if (!portraits) {
        for (PersonSpec& p : game.persons)
            p.portrait.reset();
    }
    return game;
}

class SeedWriter {
  public:
    explicit SeedWriter(fs::path folder) : folder_(std::move(folder)) {
        fs::create_directories(folder_);
    }
    void add(const Bytes& bytes) {
        char name[32];
        std::snprintf(name, sizeof name, "seed-%03d", count_++);
        writeFile(folder_ / name, bytes);
    }
    int count() const { return count_; }

  private:
    fs::path folder_;
    int count_ = 0;
};

void writeCharacterSeeds(const fs::path& folder) {
    SeedWriter seeds(folder);
    for (const PersonSpec& p : vondrel::build::demoGame().persons) {
        seeds.add(vondrel::build::characterFileBytes(p));
    }
    GameSpec game = smallGame(7, 4, true);
    PersonSpec& first = game.persons[0];
    const Bytes whole = vondrel::build::characterFileBytes(first);
    seeds.add(whole);
    // Cut inside the portrait, inside its header, after the key and inside the first name.
    for (std::size_t cut :
         {whole.size() - 400, std::size_t{190}, std::size_t{150}, std::size_t{66}}) {
        seeds.add(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
    }
    first.portrait.reset();
    seeds.add(vondrel::build::characterFileBytes(first));
    first.firstName = "\xC9lo\xEFse";  // Windows-1252 accents
    seeds.add(vondrel::build::characterFileBytes(first));
    first.firstName.clear();
    seeds.add(vondrel::build::characterFileBytes(first));
    std::cout << "character seeds: " << seeds.count() << "\n";
}

void writeLoaderSeeds(const fs::path& folder) {
    namespace build = vondrel::build;
    SeedWriter seeds(folder);
    seeds.add(loaderInput(build::demoGame()));
    seeds.add(loaderInput(smallGame(1, 1, true)));
    seeds.add(loaderInput(smallGame(2, 2, true)));
    seeds.add(loaderInput(smallGame(3, 3, false)));
    seeds.add(loaderInput(smallGame(4, 5, false)));
    seeds.add(loaderInput(smallGame(5, 8, false)));
    seeds.add(loaderInput(smallGame(6, 16, false)));

    // One game changed in the ways the loader turns files away or substitutes values.
    const auto variant = [&](auto change) {
        GameSpec game = smallGame(11, 3, false);
        change(game);
        seeds.add(loaderInput(game));
    };
    variant([](GameSpec& g) { g.persons[0].omitAnchor = true; });
    variant([](GameSpec& g) { g.persons[1].inNeighborhood = false; });
    variant([](GameSpec& g) { g.families.at(0).house = 11; });
    variant([](GameSpec& g) { g.persons[2].ghost = 2; });
    variant([](GameSpec& g) { g.persons[0].nice = 1001; });
    variant([](GameSpec& g) { g.persons[1].jobTrack = 11; });
    variant([](GameSpec& g) { g.persons[2].lingerHouse = -1; });
    variant([](GameSpec& g) { g.persons[0].id = 501; });
    variant([](GameSpec& g) { g.persons[1].id = g.persons[0].id; });
    variant([](GameSpec& g) { g.persons[0].relationFlag = 0; });
    variant([](GameSpec& g) { g.persons[1].relationCount = 40; });
    variant([](GameSpec& g) {
        for (auto& r : g.persons[2].relations)
            r.valueCount = 1;
        g.persons[2].relations.push_back({0, 50, true, 2});
        g.persons[2].relations.push_back({600, 50, true, 2});
    });
    variant([](GameSpec& g) {
        g.persons[0].fileName = "\xC3\x84rni.IFF";  // UTF-8 name, record name in Windows-1252
        g.persons[0].recordName = "\xE4rni";
    });
    variant([](GameSpec& g) {
        g.families.at(0).nameMarker = false;
        g.families.push_back({"", 2, 500, {g.persons[2].key}, true});
    });

    // Files that could not be read, and the last record cut short by the end of the file.
    {
        const auto game = build::build(smallGame(12, 3, false));
        std::vector<SeedFile> files = filesOf(game);
        files[1].bytes.reset();
        seeds.add(loaderInput(files, game.neighborhood));
        std::size_t lastRecord = 0;
        for (const auto& [name, offset] : game.layout.recordOffset) {
            lastRecord = std::max(lastRecord, offset);
        }
        const Bytes cut(game.neighborhood.begin(),
                        game.neighborhood.begin() + static_cast<std::ptrdiff_t>(lastRecord + 190));
        seeds.add(loaderInput(filesOf(game), cut));
    }
    std::cout << "loader seeds: " << seeds.count() << "\n";
}

// Wine registry files: the game's key in the forms Wine writes, and values it is not.
void writeRegistrySeeds(const fs::path& folder) {
    SeedWriter seeds(folder);
    const std::string header = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
    const std::string key = "[Software\\\\Norvo\\\\The Veks] 1700000000\n#time=1d9\n";
    const auto add = [&](const std::string& text) { seeds.add(Bytes(text.begin(), text.end())); };
    add(header + key + "\"VEKS_DATA\"=\"C:\\\\Program Files\\\\The Veks\\\\\"\n");
    add(header + key + "\"VEKS_DATA\"=\"D:\\\\Games\\\\\\x00e9t\\x00e9\\\\..\\\\.\\\\Veks\"\n");
    add(header + key + "\"VEKS_DATA\"=hex:43,3a,5c,00\n");
    add(header + key + "\"VEKS_DATA\"=hex:43,3a,5c,47,61,6d,65,73,\\\n  5c,56,65,6b,73\n");
    add(header + key + "\"VEKS_DATA\"=dword:00000001\n@=\"default\"\n");
    add(header +
        "[Software\\\\Wow6432Node\\\\Norvo\\\\The Veks]\r\n\"VEKS_DATA\"=\"c:\\\\veks\"\r\n" + key +
        "\"VEKS_DATA\"=\"\\\"quoted\\\" \\t\\101\\xd83d\\xde00\"\n");
    std::cout << "registry seeds: " << seeds.count() << "\n";
}

void writeDictionaries(const fs::path& folder) {
    const std::string character =
        "anchor=\"OBJD\"\n"
        "bitmap=\"BMP_\"\n"
        "thumbnail=\"thumbnail\"\n"
        "header=\"BMP_\\x00\\x00\\x07\\xEE\\x07\\xD4\\x00\\x10thumbnail\"\n"
        "bm=\"BM\"\n";
    writeText(folder / "character.dict", character);
    writeText(folder / "loader.dict", character +
                                          "family=\"IMAF\"\n"
                                          "family_name=\"\\xFD\\xFF\\x01\\x00\"\n"
                                          "entry=\"\\x01\\x00\\x00\\x00\"\n"
                                          "two_values=\"\\x02\\x00\\x00\\x00\"\n"
                                          "true=\"\\xFF\\xFF\"\n"
                                          "iff=\".iff\"\n"
                                          "id_max=\"\\xF4\\x01\"\n"
                                          "house_max=\"\\x0A\\x00\"\n");
    writeText(folder / "registry.dict",
              "key=\"[Software\\\\\\\\Norvo\\\\\\\\The Veks]\"\n"
              "value=\"\\\"VEKS_DATA\\\"=\"\n"
              "hex=\"hex:\"\n"
              "dword=\"dword:\"\n"
              "escape=\"\\\\x\"\n"
              "drive=\"C:\\\\\\\\\"\n"
              "up=\"\\\\\\\\..\"\n"
              "continued=\",\\\\\\x0a\"\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vondrel-make-seeds DIR\n";
        return 2;
    }
    try {
        const fs::path folder = argv[1];
        writeCharacterSeeds(folder / "character");
        writeLoaderSeeds(folder / "loader");
        writeRegistrySeeds(folder / "registry");
        writeDictionaries(folder);
    } catch (const std::exception& e) {
        std::cerr << "vondrel-make-seeds: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
