// The window icon: a 32 x 32, 16-colour BMP file built at compile time. It shows
// a gold "V" on a dark blue shield with a lighter rim.
#include <array>
#include <cstdint>

#include "platform/display.h"

namespace {

constexpr int ICON_SIZE = 32;
constexpr int HEADER_BYTES = 14 + 40 + 16 * 4;
constexpr int FILE_BYTES = HEADER_BYTES + ICON_SIZE * ICON_SIZE / 2;

// Palette index of the pixel at (x, y), y counted from the top.
constexpr int icon_pixel(int x, int y) {
    // Shield: straight sides down to row 18, then narrowing to a point at row 30.
    const int half = y <= 18 ? 13 : 13 - (y - 18);
    const int dx = x * 2 + 1 - ICON_SIZE;  // doubled distance from the centre column
    const int adx = dx < 0 ? -dx : dx;
    if (y < 2 || y > 30 || half <= 0 || adx > half * 2) return 0;                 // outside: black
    if (y < 4 || adx > half * 2 - 4 || (y > 18 && adx > half * 2 - 5)) return 9;  // rim
    // The V: two strokes from the top corners to the bottom centre.
    const int row = y - 6;
    if (row >= 0 && row <= 16) {
        const int centre_offset = 18 - row;                                   // doubled
        if (adx >= centre_offset - 4 && adx <= centre_offset + 3) return 14;  // gold
    }
    return 1;  // dark blue field
}

constexpr std::array<uint8_t, FILE_BYTES> build_icon() {
    std::array<uint8_t, FILE_BYTES> bmp{};
    int at = 0;
    auto put16 = [&](int v) {
        bmp[at++] = static_cast<uint8_t>(v & 0xFF);
        bmp[at++] = static_cast<uint8_t>((v >> 8) & 0xFF);
    };
    auto put32 = [&](int v) {
        put16(v & 0xFFFF);
        put16((v >> 16) & 0xFFFF);
    };
    bmp[at++] = 'B';
    bmp[at++] = 'M';
    put32(FILE_BYTES);
    put32(0);
    put32(HEADER_BYTES);
    put32(40);
    put32(ICON_SIZE);
    put32(ICON_SIZE);
    put16(1);
    put16(4);
    put32(0);
    put32(ICON_SIZE * ICON_SIZE / 2);
    put32(2835);
    put32(2835);
    put32(16);
    put32(0);
    // The 16 colours of the classic 4-bit palette (blue, green, red, reserved).
    constexpr uint8_t palette[16][3] = {{0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
                                        {128, 0, 0},     {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
                                        {128, 128, 128}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
                                        {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    for (const auto& c : palette) {
        bmp[at++] = c[2];
        bmp[at++] = c[1];
        bmp[at++] = c[0];
        bmp[at++] = 0;
    }
    for (int row = ICON_SIZE - 1; row >= 0; --row) {  // bottom row first
        for (int x = 0; x < ICON_SIZE; x += 2)
            bmp[at++] = static_cast<uint8_t>((icon_pixel(x, row) << 4) | icon_pixel(x + 1, row));
    }
    return bmp;
}

constexpr std::array<uint8_t, FILE_BYTES> icon = build_icon();
static_assert(icon.size() == 630);

}  // namespace

const uint8_t* window_icon_bmp() {
    return icon.data();
}
size_t window_icon_size() {
    return icon.size();
}
