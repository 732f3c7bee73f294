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
};

// Runs the per-file pass over a built game, in the order its persons were given.
inline LoadRun loadBuilt(const build::BuiltGame& game) {
    LoadRun run;
    std::vector<CharacterSource> sources;
    for (const auto& [name, bytes] : game.characterFiles)
        sources.push_back({name, bytes});
    run.entries = loadPersons(sources, game.neighborhood, run.persons, run.log);
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

// Three households, two of them called Doe, a family name with a comma, two persons with
// one name, a person without a first name, one rejected file, and two odd stored values:
// a relationship whose upper 16 bits are not its sign, and a love word of 2.
inline build::GameSpec oddHousehold() {
    build::GameSpec spec;
    const char* const firstNames[] = {"Ann", "Bob", "Cy", "Al", "Eve", "Eve", "", "Rex"};
    for (std::int16_t id = 1; id <= 8; ++id)
        spec.persons.push_back(person(firstNames[id - 1], id, static_cast<std::uint8_t>(id)));
    build::PersonSpec &ann = spec.persons[0], &bob = spec.persons[1], &cy = spec.persons[2];
    ann.jobTrack = 3;
    ann.jobLevel = 4;
    ann.relations = {{2, 40, true}, {3, 20, false}, {5, 10, false}};
    bob.relations = {{1, 35, false}};
    cy.relations = {{1, 5, false}};
    spec.persons[5].fileName = "Twin.iff";  // the second Eve
    spec.persons[6].fileName = "Nameless.iff";
    spec.persons[7].jobLevel = 10;  // out of range: Rex's file is turned away
    spec.families = {{"Doe", 3, 5000, {ann.key, bob.key}, true},
                     {"Doe", 4, 100, {cy.key}, true},
                     {"Smith, Jones", 5, -500, {spec.persons[3].key}, true},
                     {"Rich", -4, 12345678, {spec.persons[6].key}, true}};
    return spec;
}

}  // namespace vondrel::testing
