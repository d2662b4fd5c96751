#include "story/fade_figure.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "gfx/picture.h"

namespace {

constexpr int COLOUR_COUNT = 32768;

int channel(uint16_t colour, int shift) {
    return (colour >> shift) & 31;
}

int distance(uint16_t a, uint16_t b) {
    int sum = 0;
    for (int shift : {10, 5, 0}) {
        const int d = channel(a, shift) - channel(b, shift);
        sum += d * d;
    }
    return sum;
}

// The colours kept in the palette: all of them when they fit, else the most
// frequent (ties by the lower colour, so the result never depends on order).
std::vector<uint16_t> choose_colours(const std::vector<uint32_t>& counts) {
    std::vector<uint16_t> used;
    for (int c = 0; c < COLOUR_COUNT; ++c)
        if (counts[static_cast<size_t>(c)] != 0) used.push_back(static_cast<uint16_t>(c));
    if (used.size() > static_cast<size_t>(FIGURE_COLOURS)) {
        std::stable_sort(used.begin(), used.end(),
                         [&](uint16_t a, uint16_t b) { return counts[a] > counts[b]; });
        used.resize(FIGURE_COLOURS);
        std::sort(used.begin(), used.end());
    }
    return used;
}

uint8_t nearest(const std::vector<uint16_t>& palette, uint16_t colour) {
    size_t best = 0;
    int best_distance = distance(palette[0], colour);
    for (size_t i = 1; i < palette.size() && best_distance != 0; ++i) {
        const int d = distance(palette[i], colour);
        if (d < best_distance) best_distance = d, best = i;
    }
    return static_cast<uint8_t>(FIGURE_FIRST_COLOUR + best);
}

uint8_t eight_bits(int five_bits) {
    return static_cast<uint8_t>(five_bits << 3 | five_bits >> 2);
}

}  // namespace

std::vector<uint16_t> fade_figure_record(const body_picture& body, bool shadow, uint8_t fade_r,
                                         uint8_t fade_g, uint8_t fade_b) {
    const size_t pixel_count = static_cast<size_t>(BODY_WIDTH) * BODY_HEIGHT;
    const int64_t bytes = picture_record_bytes(BODY_WIDTH, BODY_HEIGHT, PIC_FADE8);
    std::vector<uint16_t> words(static_cast<size_t>(bytes + 1) / 2, 0);
    auto* pic = reinterpret_cast<picture*>(words.data());
    pic->width = BODY_WIDTH;
    pic->height = BODY_HEIGHT;
    pic->type = PIC_FADE8;
    if (body.pixels.size() != pixel_count) return words;  // nothing to draw

    std::vector<uint32_t> counts(COLOUR_COUNT, 0);
    for (uint16_t p : body.pixels)
        if (p != BODY_TRANSPARENT) ++counts[p & 0x7FFF];
    const std::vector<uint16_t> palette = shadow ? std::vector<uint16_t>{} : choose_colours(counts);

    // Every colour of the body gets its index once.
    std::vector<uint8_t> index_of(COLOUR_COUNT, 0);
    for (int c = 0; c < COLOUR_COUNT; ++c) {
        if (counts[static_cast<size_t>(c)] == 0) continue;
        index_of[static_cast<size_t>(c)] = shadow ? 1 : nearest(palette, static_cast<uint16_t>(c));
    }
    uint8_t* pixels = picture_pixels8(pic);
    for (size_t i = 0; i < pixel_count; ++i) {
        const uint16_t p = body.pixels[i];
        pixels[i] = p == BODY_TRANSPARENT ? 0 : index_of[p & 0x7FFF];
    }

    std::array<uint8_t, 3 * PALETTE_ENTRIES> rgb{};
    for (size_t i = 0; i < palette.size(); ++i) {
        uint8_t* entry = &rgb[3 * (FIGURE_FIRST_COLOUR + i)];
        entry[0] = eight_bits(channel(palette[i], 10));
        entry[1] = eight_bits(channel(palette[i], 5));
        entry[2] = eight_bits(channel(palette[i], 0));
    }
    build_fade_palettes(rgb.data(), fade_r, fade_g, fade_b, picture_palette(pic));
    return words;
}
