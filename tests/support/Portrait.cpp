#include <cmath>

#include "support/GameBuilder.h"

namespace vondrel::build {
namespace {

constexpr int kSide = 25;
constexpr int kRowBytes = 76;  // 75 bytes of pixels padded to a multiple of 4
constexpr int kHeaderBytes = 54;
constexpr int kFileBytes = kHeaderBytes + kRowBytes * kSide;  // 1954

void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

template <typename PixelFn>
Bytes bitmap(PixelFn pixel) {
    Bytes b(kFileBytes, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, kFileBytes);
    put32(b, 10, kHeaderBytes);
    put32(b, 14, 40);
    put32(b, 18, kSide);
    put32(b, 22, kSide);
    put16(b, 26, 1);
    put16(b, 28, 24);
    put32(b, 34, kRowBytes * kSide);
    put32(b, 38, 2835);
    put32(b, 42, 2835);
    for (int y = 0; y < kSide; ++y) {
        // Rows are stored bottom-up, pixels as blue, green, red.
        const std::size_t row =
            kHeaderBytes + static_cast<std::size_t>((kSide - 1 - y) * kRowBytes);
        for (int x = 0; x < kSide; ++x) {
            const Rgb c = pixel(x, y);
            b[row + static_cast<std::size_t>(3 * x)] = c.b;
            b[row + static_cast<std::size_t>(3 * x + 1)] = c.g;
            b[row + static_cast<std::size_t>(3 * x + 2)] = c.r;
        }
    }
    return b;
}

}  // namespace

Bytes solidPortrait(Rgb colour) {
    return bitmap([&](int, int) { return colour; });
}

Bytes drawPortrait(std::uint32_t seed) {
    std::mt19937 rng(seed);
    const auto pick = [&](std::initializer_list<Rgb> options) {
        return *(options.begin() +
                 std::uniform_int_distribution<std::size_t>(0, options.size() - 1)(rng));
    };
    const Rgb background =
        pick({{70, 110, 180}, {90, 150, 110}, {170, 120, 60}, {120, 80, 150}, {60, 140, 150}});
    const Rgb skin = pick({{240, 205, 175}, {215, 170, 130}, {170, 120, 85}, {115, 80, 55}});
    const Rgb hair =
        pick({{40, 30, 20}, {120, 70, 30}, {220, 190, 90}, {150, 40, 30}, {90, 90, 90}});
    const Rgb shirt = pick({{200, 50, 50}, {40, 90, 200}, {230, 200, 60}, {60, 160, 80}});
    const bool longHair = rng() % 2 == 0;
    const Rgb eye{30, 30, 60};
    const Rgb mouth{170, 60, 60};

    return bitmap([&](int x, int y) {
        const double dx = (x - 12) / 7.0;
        const double dy = (y - 11) / 8.5;
        const bool head = dx * dx + dy * dy <= 1.0;
        if (y >= 21 && std::abs(x - 12) <= 9)
            return shirt;
        if (head && y <= 6)
            return hair;
        if (longHair && !head && y >= 3 && y <= 19 && std::abs(x - 12) <= 9)
            return hair;
        if (head) {
            if (y == 11 && (x == 9 || x == 15))
                return eye;
            if (y == 16 && x >= 10 && x <= 14)
                return mouth;
            return skin;
        }
        return background;
    });
}

}  // namespace vondrel::build
