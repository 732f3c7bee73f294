// Writes a synthetic game folder: `vondrel-make-game DIR` writes the demo game,
// `vondrel-make-game DIR PERSONS [MIN_BYTES] [SEED]` a random one of that size, and
// `vondrel-make-game --played DIR PERSONS [BYTES] [SEED]` one shaped like a played game.

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "base/FileIO.h"
#include "support/GameBuilder.h"

int main(int argc, char** argv) {
    using namespace vondrel::build;
    const std::vector<std::string> arguments = vondrel::utf8Arguments(argc, argv);
    const bool played = argc > 1 && std::string(argv[1]) == "--played";
    if (played) {
        --argc;
        ++argv;
    }
    if (argc < 2 || argc > 5 || (played && argc < 3)) {
        std::cerr << "usage: vondrel-make-game [--played] DIR [PERSONS [MIN_BYTES [SEED]]]\n";
        return 2;
    }
    try {
        GameSpec game;
        if (argc == 2) {
            game = demoGame();
        } else {
            std::mt19937 rng(argc > 4 ? static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10))
                                      : 1u);
            const int persons = std::atoi(argv[2]);
            if (persons < 1 || persons > 501) {
                std::cerr << "PERSONS must be 1 to 501\n";
                return 2;
            }
            const std::size_t size = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 0;
            game = played ? playedGame(rng, persons, size) : randomGame(rng, persons, size);
        }
        writeGameFolder(build(game), vondrel::pathFromUtf8(arguments[played ? 2 : 1]));
    } catch (const std::exception& e) {
        std::cerr << "vondrel-make-game: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
