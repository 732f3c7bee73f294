#include "ui/AttributeBars.h"

#include <cmath>

namespace vondrel {

int barValueAt(double x, float width, int max) {
    const double w = width;
    if (w < x)
        x = w;
    if (x < 0)
        x = 0;
    // nearbyint rounds in the default mode: to nearest, ties to even.
    return static_cast<int>(std::nearbyint(x * max / w));
}

int performanceTextId(int barValue) {
    if (barValue < 0 || barValue > 200)
        return 0;
    if (barValue <= 30)
        return 145;
    if (barValue <= 50)
        return 146;
    if (barValue <= 130)
        return 147;
    if (barValue <= 150)
        return 148;
    return 149;
}

}  // namespace vondrel
