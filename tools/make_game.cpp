// Writes a synthetic game folder: `vondrel-make-game DIR` writes the demo game,
// `vondrel-make-game DIR PERSONS [MIN_BYTES] [SEED]` a random one of that size.

#include <cstdlib>
#include <iostream>

#include "base/FileIO.h"
#include "support/GameBuilder.h"

int main(int argc, char** argv) {
    using namespace vondrel::build;
    if (argc < 2 || argc > 5) {
        std::cerr << "usage: vondrel-make-game DIR [PERSONS [MIN_BYTES [SEED]]]\n";
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
            game = randomGame(rng, persons, argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 0);
        }
        writeGameFolder(build(game), vondrel::pathFromUtf8(vondrel::utf8Arguments(argc, argv)[1]));
    } catch (const std::exception& e) {
        std::cerr << "vondrel-make-game: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
