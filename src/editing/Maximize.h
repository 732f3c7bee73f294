#pragma once

#include <string_view>
#include <vector>

#include "model/Persons.h"

namespace vondrel {

// The best values the game allows.
inline constexpr Integer kBestAttribute = 1000;
inline constexpr Long kBestRelation = 100;
inline constexpr Integer kBestJobTrack = 2;
inline constexpr Integer kBestJobLevel = 9;
inline constexpr Integer kBestJobPerformance = 100;
// The job-icon picker item of the best track ("Superstar" is its top title).
inline constexpr int kBestJobItem = kBestJobTrack + 2;

// The twelve personality and skill fields, in the order the window shows them.
inline constexpr Integer PersonRecord::*kAttributeFields[] = {
    &PersonRecord::Neat,    &PersonRecord::Outgoing,   &PersonRecord::Active,
    &PersonRecord::Playful, &PersonRecord::Nice,       &PersonRecord::Cleaning,
    &PersonRecord::Cooking, &PersonRecord::Mechanical, &PersonRecord::Charisma,
    &PersonRecord::Body,    &PersonRecord::Logic,      &PersonRecord::Creativity,
};

// Every id whose family name is exactly `familyName` (bytes compared), in ascending order.
// An empty name gives every id without a family, empty slots included.
std::vector<int> familyMembers(const Persons& persons, std::string_view familyName);

// Stores the best value in the twelve personality and skill fields.
void maximizeAttributes(PersonRecord& person);

// Raises every relationship person `id` already has to the best value, in both directions:
// its own value towards each person it knows and that person's value towards it. No
// relationship is created. Returns the ids whose reverse value was stored, ascending.
std::vector<int> maximizeRelationships(Persons& persons, int id);

// The best job: the top title of the acting track with the best performance.
void giveBestJob(PersonRecord& person);

}  // namespace vondrel
