#pragma once

namespace vondrel {

// The value under the pointer of a horizontal bar `width` pixels wide with values 0..max:
// x is clamped to the bar, scaled, and rounded to the nearest whole number, ties to even.
int barValueAt(double x, float width, int max);

// The string-table id of the word for a performance bar value (0..200); 0 outside it.
int performanceTextId(int barValue);

}  // namespace vondrel
