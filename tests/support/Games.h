#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "gamedata/PersonLoader.h"
#include "support/GameBuilder.h"
#include "support/LoadLog.h"

namespace vondrel {

inline void PrintTo(const PickerEntry& e, std::ostream* out) {
    *out << "{" << e.id << ", \"" << e.text << "\", " << e.imageNumber << "}";
}

}  // namespace vondrel

namespace vondrel::testing {

struct LoadRun {
    Persons persons;
    LoadLog log;
    std::vector<PickerEntry> entries;
    Bytes neighborhood;
};

inline std::vector<CharacterSource> sourcesOf(const build::BuiltGame& game) {
    std::vector<CharacterSource> sources;
    for (const auto& [name, bytes] : game.characterFiles)
        sources.push_back({name, bytes});
    return sources;
}

// Runs the per-file pass over a built game, in the order its persons were given.
inline LoadRun loadBuilt(const build::BuiltGame& game) {
    LoadRun run;
    run.neighborhood = game.neighborhood;
    run.entries = loadPersons(sourcesOf(game), run.neighborhood, run.persons, run.log);
    return run;
}

inline LoadRun loadSpec(const build::GameSpec& spec) {
    return loadBuilt(build::build(spec));
}

inline build::PersonSpec person(const std::string& first, std::int16_t id, std::uint8_t keyByte) {
    build::PersonSpec p;
    p.fileName = first + ".iff";
    p.firstName = first;
    p.key = {0xE1, keyByte, 0x00, 0x7F};
    p.portrait = build::solidPortrait({keyByte, 0x20, 0x40});
    p.id = id;
    return p;
}

}  // namespace vondrel::testing
