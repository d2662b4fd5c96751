#include "forge/quantize.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>
#include <vector>

namespace forge {

namespace {

constexpr uint8_t OPAQUE_ALPHA = 128;

uint32_t rgb_key(const uint8_t* p) {
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}
uint16_t key555(const uint8_t* p) {
    return static_cast<uint16_t>(((p[0] >> 3) << 10) | ((p[1] >> 3) << 5) | (p[2] >> 3));
}
uint8_t expand5(int c) {
    return static_cast<uint8_t>((c << 3) | (c >> 2));
}
int channel(uint16_t c, int ch) {
    return (c >> (10 - 5 * ch)) & 31;
}

struct colour_box {
    std::vector<uint16_t> colours;  // distinct 15-bit colours
    uint64_t weight = 0;
    int widest = 0, range = 0;
};

void measure(colour_box& box) {
    int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
    for (uint16_t c : box.colours)
        for (int ch = 0; ch < 3; ++ch)
            lo[ch] = std::min(lo[ch], channel(c, ch)), hi[ch] = std::max(hi[ch], channel(c, ch));
    box.range = -1;
    for (int ch = 0; ch < 3; ++ch)
        if (hi[ch] - lo[ch] > box.range) box.range = hi[ch] - lo[ch], box.widest = ch;
}

// Median cut: split the box with the widest channel range at its weighted
// median until there are enough boxes or none can be split.
std::vector<uint16_t> median_cut(const std::vector<uint32_t>& histogram, int count) {
    colour_box all;
    for (uint32_t c = 0; c < histogram.size(); ++c)
        if (histogram[c]) all.colours.push_back(static_cast<uint16_t>(c)), all.weight += histogram[c];
    measure(all);
    std::vector<colour_box> boxes{std::move(all)};
    while (static_cast<int>(boxes.size()) < count) {
        auto it = std::max_element(boxes.begin(), boxes.end(), [](const colour_box& a, const colour_box& b) {
            return a.range * (a.weight + 1) < b.range * (b.weight + 1);
        });
        if (it->range <= 0 || it->colours.size() < 2) break;
        colour_box& box = *it;
        const int ch = box.widest;
        std::sort(box.colours.begin(), box.colours.end(),
                  [ch](uint16_t a, uint16_t b) { return channel(a, ch) < channel(b, ch); });
        uint64_t half = 0;
        size_t split = 1;
        for (size_t i = 0; i + 1 < box.colours.size(); ++i) {
            half += histogram[box.colours[i]];
            split = i + 1;
            if (half * 2 >= box.weight) break;
        }
        colour_box upper;
        upper.colours.assign(box.colours.begin() + static_cast<ptrdiff_t>(split), box.colours.end());
        box.colours.resize(split);
        box.weight = 0;
        for (uint16_t c : box.colours) box.weight += histogram[c];
        for (uint16_t c : upper.colours) upper.weight += histogram[c];
        measure(box);
        measure(upper);
        boxes.push_back(std::move(upper));
    }
    std::vector<uint16_t> palette;
    for (const auto& box : boxes) {
        uint64_t sum[3] = {0, 0, 0};
        for (uint16_t c : box.colours)
            for (int ch = 0; ch < 3; ++ch) sum[ch] += uint64_t(channel(c, ch)) * histogram[c];
        uint16_t avg = 0;
        for (int ch = 0; ch < 3; ++ch)
            avg |= static_cast<uint16_t>(((sum[ch] + box.weight / 2) / box.weight) << (10 - 5 * ch));
        palette.push_back(avg);
    }
    return palette;
}

}  // namespace

indexed_image quantize(const rgba_image& image, bool reserve_index0) {
    const size_t count = static_cast<size_t>(image.width) * image.height;
    if (image.width <= 0 || image.height <= 0 || image.rgba.size() != count * 4)
        throw std::runtime_error("quantize: the picture's size does not match its pixels");
    indexed_image out;
    out.width = image.width;
    out.height = image.height;
    out.pixels.assign(count, 0);
    const int first = reserve_index0 ? 1 : 0;
    const int room = 256 - first;

    // Exact when the picture has few enough 24-bit colours.
    std::map<uint32_t, int> exact;
    for (size_t i = 0; i < count && static_cast<int>(exact.size()) <= room; ++i) {
        const uint8_t* p = &image.rgba[i * 4];
        if (reserve_index0 && p[3] < OPAQUE_ALPHA) continue;
        exact.emplace(rgb_key(p), 0);
    }
    if (static_cast<int>(exact.size()) <= room) {
        int index = first;
        for (auto& [key, slot] : exact) {
            slot = index;
            out.palette[index * 3] = static_cast<uint8_t>(key >> 16);
            out.palette[index * 3 + 1] = static_cast<uint8_t>(key >> 8);
            out.palette[index * 3 + 2] = static_cast<uint8_t>(key);
            ++index;
        }
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* p = &image.rgba[i * 4];
            if (!(reserve_index0 && p[3] < OPAQUE_ALPHA))
                out.pixels[i] = static_cast<uint8_t>(exact[rgb_key(p)]);
        }
        return out;
    }

    // Otherwise over the 15-bit colours the player shows.
    std::vector<uint32_t> histogram(32768, 0);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = &image.rgba[i * 4];
        if (!(reserve_index0 && p[3] < OPAQUE_ALPHA)) ++histogram[key555(p)];
    }
    const std::vector<uint16_t> palette = median_cut(histogram, room);
    for (size_t i = 0; i < palette.size(); ++i)
        for (int ch = 0; ch < 3; ++ch) out.palette[(first + i) * 3 + ch] = expand5(channel(palette[i], ch));
    // Nearest palette colour for every colour in use.
    std::vector<int16_t> nearest(32768, -1);
    for (uint32_t c = 0; c < histogram.size(); ++c) {
        if (!histogram[c]) continue;
        int best = 0;
        long best_distance = -1;
        for (size_t i = 0; i < palette.size(); ++i) {
            long d = 0;
            for (int ch = 0; ch < 3; ++ch) {
                const long diff = channel(static_cast<uint16_t>(c), ch) - channel(palette[i], ch);
                d += diff * diff;
            }
            if (best_distance < 0 || d < best_distance) best_distance = d, best = static_cast<int>(i);
        }
        nearest[c] = static_cast<int16_t>(first + best);
    }
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = &image.rgba[i * 4];
        if (!(reserve_index0 && p[3] < OPAQUE_ALPHA))
            out.pixels[i] = static_cast<uint8_t>(nearest[key555(p)]);
    }
    return out;
}

}  // namespace forge
