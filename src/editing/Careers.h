#pragma once

#include <array>

#include "model/PersonRecord.h"

namespace vondrel {

// One row of the job-icon picker: a career track and the string-table ids of its titles.
struct CareerRow {
    Integer track;
    int firstTitleId;  // male titles; the female ones are kFemaleOffset further on
    int titleCount;
};

inline constexpr int kFemaleOffset = 101;

inline constexpr std::array<CareerRow, 12> CareerTitleTable = {{
    {-1, 150, 1},
    {0, 151, 1},
    {1, 152, 9},
    {2, 161, 10},
    {3, 171, 10},
    {4, 181, 10},
    {5, 191, 10},
    {6, 201, 10},
    {7, 211, 10},
    {8, 221, 10},
    {9, 231, 10},
    {10, 241, 10},
}};

// The picker item (1..12) of a stored track, or 0 for a track the table does not hold.
int jobItemOfTrack(Integer track);
// The string-table id of the title at `level` of the row, for the person's sex.
int titleId(const CareerRow& row, Integer sex, int level);

}  // namespace vondrel
