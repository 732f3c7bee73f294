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
    // "BM", the file size, the pixels' offset, the header size, width, height, 1 plane of 24
    // bits, no compression, the pixels' size and 72 dots per inch both ways.
    const std::uint32_t header[] = {0x4D42, 1954,         0, 54,   40,   25,
                                    25,     1 | 24 << 16, 0, 1900, 2835, 2835};
    for (std::size_t i = 0; i < std::size(header); ++i)
        put32(i == 0 ? 0 : 2 + 4 * (i - 1), header[i]);
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
    const Rgb background{70, static_cast<std::uint8_t>(100 + seed % 80), 180};
    const Rgb skin{240, static_cast<std::uint8_t>(150 + seed % 60), 150}, hair{90, 50, 30};
    return bitmap([&](int x, int y) {
        if ((x - 12) * (x - 12) * 3 + (y - 11) * (y - 11) * 2 > 150)
            return y >= 21 ? hair : background;
        if ((y == 11 && (x == 9 || x == 15)) || (y == 16 && x >= 10 && x <= 14))
            return Rgb{60, 30, 40};  // eyes and mouth
        return y <= 6 ? hair : skin;
    });
}

}  // namespace vondrel::build
