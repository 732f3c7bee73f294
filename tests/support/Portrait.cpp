#include <cmath>

#include "support/GameBuilder.h"

namespace vondrel::build {
namespace {

template <typename PixelFn>
Bytes bitmap(PixelFn pixel) {
    constexpr std::size_t kRow = 76;  // 75 bytes of pixels padded to a multiple of 4
    Bytes b(54 + 25 * kRow, 0);
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    for (const auto& [at, v] : {std::pair<std::size_t, std::uint32_t>{2, 1954},
                                {10, 54},
                                {14, 40},
                                {18, 25},
                                {22, 25},
                                {26, 1 | 24 << 16},
                                {34, 1900},
                                {38, 2835},
                                {42, 2835}})
        put32(at, v);
    // Rows are stored bottom-up, pixels as blue, green, red.
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 25; ++x) {
            const Rgb c = pixel(x, y);
            const std::size_t at = 54 + static_cast<std::size_t>((24 - y) * 76 + 3 * x);
            b[at] = c.b;
            b[at + 1] = c.g;
            b[at + 2] = c.r;
        }
    }
    return b;
}

}  // namespace

Bytes solidPortrait(Rgb colour) {
    return bitmap([&](int, int) { return colour; });
}

Bytes drawPortrait(std::uint32_t seed) {
    std::minstd_rand rng(seed + 1);
    static const Rgb kBackground[] = {
        {70, 110, 180}, {90, 150, 110}, {170, 120, 60}, {120, 80, 150}};
    static const Rgb kSkin[] = {{240, 205, 175}, {215, 170, 130}, {170, 120, 85}, {115, 80, 55}};
    static const Rgb kHair[] = {{40, 30, 20}, {120, 70, 30}, {220, 190, 90}, {150, 40, 30}};
    static const Rgb kShirt[] = {{200, 50, 50}, {40, 90, 200}, {230, 200, 60}, {60, 160, 80}};
    const Rgb background = kBackground[rng() % 4], skin = kSkin[rng() % 4], hair = kHair[rng() % 4],
              shirt = kShirt[rng() % 4];
    const bool longHair = rng() % 2 == 0;
    return bitmap([&](int x, int y) {
        const double dx = (x - 12) / 7.0, dy = (y - 11) / 8.5;
        const bool head = dx * dx + dy * dy <= 1.0;
        if (y >= 21 && std::abs(x - 12) <= 9)
            return shirt;
        if ((head && y <= 6) || (longHair && !head && y >= 3 && y <= 19 && std::abs(x - 12) <= 9))
            return hair;
        if (head && y == 11 && (x == 9 || x == 15))
            return Rgb{30, 30, 60};  // eyes
        if (head && y == 16 && x >= 10 && x <= 14)
            return Rgb{170, 60, 60};  // mouth
        return head ? skin : background;
    });
}

}  // namespace vondrel::build
