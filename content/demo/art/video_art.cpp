// Paints the demo's full-screen videos and renders their sound:
//   intro/NNN.png, intro.wav    the keep of Vorthan on its crag above the
//                               forested valley at dusk: a slow camera drift
//                               over parallax layers (sky with clouds and the
//                               first stars, far hills, the crag and the keep
//                               with lit windows, mist, two belts of forest and
//                               the trees in front), the title fading in, a
//                               calm end; the music is the menu theme
//   sklepy/NNN.png, sklepy.wav  the cellars (video_art_cellars.cpp)
// forge video turns each into an MGIF file. One video a run, so that the
// build makes both at once:
//
//   demo_art_video <out folder> <menu.score> <title font .ttf> intro|sklepy
#include "video_art.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "forge/font_scalable.h"
#include "forge/png_import.h"
#include "forge/score_source.h"
#include "forge/wav_writer.h"

namespace video_art {

using forge::paint::mix;
using forge::paint::noise;
using forge::paint::rgb8;

void frame::blend(int x, int y, const rgb& c, float t) {
    if (x < 0 || y < 0 || x >= W || y >= H || t <= 0) return;
    rgb& p = at(x, y);
    p = mix(p, c, std::min(t, 1.0f));
}

void frame::add(int x, int y, const rgb& c) {
    if (x < 0 || y < 0 || x >= W || y >= H) return;
    at(x, y) = at(x, y) + c;
}

float smooth(float e0, float e1, float x) {
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

float clamp01(float x) {
    return std::clamp(x, 0.0f, 1.0f);
}

void prepare_folder(const std::string& folder) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
}

void write_frame(const std::string& folder, int number, const frame& f, float brightness) {
    forge::rgba_image image;
    image.width = W;
    image.height = H;
    image.rgba.resize(size_t(W) * H * 4);
    for (size_t i = 0; i < f.px.size(); ++i) {
        const rgb& c = f.px[i];
        image.rgba[i * 4] = uint8_t(std::lround(clamp01(c.r * brightness) * 255));
        image.rgba[i * 4 + 1] = uint8_t(std::lround(clamp01(c.g * brightness) * 255));
        image.rgba[i * 4 + 2] = uint8_t(std::lround(clamp01(c.b * brightness) * 255));
        image.rgba[i * 4 + 3] = 255;
    }
    char name[16];
    std::snprintf(name, sizeof name, "/%03d.png", number);
    // Hundreds of pictures that the build makes again at will: written
    // plainly rather than each synced to the disk.
    const std::vector<uint8_t> png = forge::encode_png(image);
    std::ofstream file(folder + name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    if (!file) throw std::runtime_error(folder + name + ": cannot be written");
}

void write_stereo_wav(const std::string& path, const std::vector<float>& left, const std::vector<float>& right) {
    std::vector<int16_t> samples;
    const size_t n = std::min(left.size(), right.size());
    samples.reserve(n * 2);
    for (size_t i = 0; i < n; ++i) {
        samples.push_back(forge::float_to_s16(left[i]));
        samples.push_back(forge::float_to_s16(right[i]));
    }
    forge::write_wav(path, forge::wav_from_s16(samples, RATE, 2));
}

namespace {

// ---------------------------------------------------------------------------
// The intro's timing, in frames at 15 a second.
constexpr int INTRO_FRAMES = 330;   // 22 seconds
constexpr int FADE_IN_END = 20;     // from black
constexpr int DRIFT_END = 270;      // the camera comes to rest
constexpr int STARS_FROM = 30, STARS_TO = 230;
constexpr int TITLE_FROM = 190, TITLE_TO = 232;
// Over the dark forest, below the keep.
constexpr int TITLE_TOP = 124;
// How far the nearest layer travels; the others by their depth factor.
constexpr float DRIFT = 72;

// A picture layer with coverage; colours are stored premultiplied.
struct layer {
    int w, h;
    std::vector<rgb> c;
    std::vector<float> a;
    layer(int width, int height) : w(width), h(height), c(size_t(w) * h), a(size_t(w) * h, 0.0f) {}
    void put(int x, int y, const rgb& colour, float alpha) {
        if (x < 0 || y < 0 || x >= w || y >= h || alpha <= 0) return;
        const size_t i = size_t(y) * w + x;
        alpha = std::min(alpha, 1.0f);
        c[i] = colour * alpha + c[i] * (1 - alpha);
        a[i] = alpha + a[i] * (1 - alpha);
    }
};

// A layer wide enough for its share of the drift.
layer drift_layer(float depth) {
    return layer(W + int(std::ceil(DRIFT * depth)) + 2, H);
}

// Lays a layer over the frame, moved left by `offset` pixels (a fraction
// blends two columns).
void compose(frame& f, const layer& l, float offset) {
    const int ix = int(std::floor(offset));
    const float fx = offset - float(ix);
    for (int y = 0; y < H && y < l.h; ++y)
        for (int x = 0; x < W; ++x) {
            const int s0 = std::clamp(x + ix, 0, l.w - 1), s1 = std::clamp(x + ix + 1, 0, l.w - 1);
            const size_t i0 = size_t(y) * l.w + s0, i1 = size_t(y) * l.w + s1;
            const float a = l.a[i0] * (1 - fx) + l.a[i1] * fx;
            if (a <= 0) continue;
            const rgb cp = l.c[i0] * (1 - fx) + l.c[i1] * fx;
            rgb& p = f.at(x, y);
            p = p * (1 - a) + cp;
        }
}

// Shapes are sampled 4 x 4 per pixel for their edges.
template <class inside_fn>
float cover(int px, int py, const inside_fn& inside) {
    int n = 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            if (inside(float(px) + (float(i) + 0.5f) / 4, float(py) + (float(j) + 0.5f) / 4)) ++n;
    return float(n) / 16;
}

template <class inside_fn, class colour_fn>
void paint_shape(layer& l, int x0, int y0, int x1, int y1, const inside_fn& inside, const colour_fn& colour) {
    for (int y = std::max(0, y0); y <= std::min(l.h - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(l.w - 1, x1); ++x) {
            const float k = cover(x, y, inside);
            if (k > 0) l.put(x, y, colour(x, y), k);
        }
}

uint32_t hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}
// 0..1 from a seed and an index.
float rnd(uint32_t seed, uint32_t i) {
    return float(hash(seed * 0x9E3779B9U + i) & 0xFFFFFF) / float(0x1000000);
}

// ---------------------------------------------------------------------------
// The sky: a dusk gradient that darkens as the video goes on, the glow where
// the sun went down, drifting clouds lit from below and the first stars.

rgb sky_colour(float y, float dusk) {
    struct stop {
        float y;
        rgb c;
    };
    static const stop stops[] = {{0, rgb8(16, 18, 50)},    {40, rgb8(40, 36, 88)},   {75, rgb8(98, 58, 108)},
                                 {100, rgb8(178, 86, 96)}, {118, rgb8(232, 136, 80)}, {135, rgb8(246, 184, 104)}};
    rgb c = stops[0].c;
    for (size_t i = 1; i < std::size(stops); ++i)
        if (y >= stops[i - 1].y) c = mix(stops[i - 1].c, stops[i].c, smooth(stops[i - 1].y, stops[i].y, y));
    // The warm colours fade faster than the blue of the top.
    const float warm = clamp01(y / 120.0f);
    return c * (1 - dusk * (0.18f + 0.22f * warm));
}

struct star {
    float x, y, bright, phase;
};

std::vector<star> make_stars(int width) {
    std::vector<star> stars;
    for (uint32_t i = 0; stars.size() < 150 && i < 2000; ++i) {
        const float x = rnd(11, i * 3) * float(width), y = rnd(11, i * 3 + 1) * 100;
        // Fewer stars low down, where the sky is still light.
        if (rnd(11, i * 3 + 2) < y / 110.0f) continue;
        stars.push_back({x, y, 0.35f + 0.65f * rnd(12, i) * rnd(13, i), rnd(14, i) * 6.28f});
    }
    return stars;
}

layer make_clouds(int width) {
    layer l(width, H);
    for (int y = 8; y < 112; ++y)
        for (int x = 0; x < width; ++x) {
            const float fx = float(x), fy = float(y);
            // Long bands, thicker in the middle of the sky.
            const float band = smooth(10, 40, fy) * (1 - smooth(88, 112, fy));
            const float d = noise(fx / 70.0f, fy / 11.0f, 41, 5) * 0.8f + noise(fx / 23.0f, fy / 7.0f, 42, 3) * 0.3f;
            const float alpha = smooth(0.52f, 0.72f, d * band + 0.12f * band) * 0.9f;
            if (alpha <= 0.01f) continue;
            // Lit from below by the sunken sun: the lower parts and the thin
            // edges glow, the thick middles stay dark violet.
            const float lit = clamp01((fy - 30) / 70.0f) * (1 - smooth(0.62f, 0.85f, d)) + 0.15f;
            const rgb dark = rgb8(58, 42, 82), glow = rgb8(236, 134, 112);
            l.put(x, y, mix(dark, glow, clamp01(lit)) * (0.85f + 0.3f * noise(fx / 9.0f, fy / 5.0f, 43, 2)), alpha);
        }
    return l;
}

// ---------------------------------------------------------------------------
// Landscape layers.

// A distant ridge, hazy in the colour of the horizon.
layer make_ridge(float depth, float base, float height, const rgb& top, const rgb& bottom, uint32_t seed) {
    layer l = drift_layer(depth);
    for (int x = 0; x < l.w; ++x) {
        const float fx = float(x);
        const float ridge =
            base - height * noise(fx / 60.0f, 0.5f, seed, 3) - height * 0.35f * noise(fx / 14.0f, 3.5f, seed + 1, 2);
        for (int y = std::max(0, int(ridge) - 1); y < H; ++y) {
            const float k = clamp01(float(y) + 1 - ridge);
            const rgb c = mix(top, bottom, smooth(ridge, ridge + 30, float(y)));
            l.put(x, y, c * (0.93f + 0.12f * noise(fx / 8.0f, float(y) / 4.0f, seed + 2, 2)), k);
        }
    }
    return l;
}

// The crag and the keep on it. Windows are drawn per frame (they flicker).
constexpr float CRAG_DEPTH = 0.4f;
struct window_light {
    int x, y, w, h;
};
const window_light WINDOWS[] = {{211, 40, 2, 3}, {219, 40, 2, 3}, {226, 44, 2, 3}, {214, 53, 2, 3},
                                {224, 55, 1, 2}, {181, 62, 1, 3}, {253, 57, 2, 3}, {196, 71, 1, 2},
                                {241, 72, 1, 2}, {232, 24, 1, 2}, {209, 63, 2, 2}};

float crag_top(float x) {
    const float rough = (noise(x / 9.0f, 1.5f, 61, 3) - 0.5f) * 7;
    if (x < 110) return 200;
    if (x < 176) {  // the steep west face
        const float t = (x - 110) / 66.0f;
        return 170 - 88 * std::pow(t, 0.7f) + rough;
    }
    if (x < 266) return 81 + rough * 0.3f;
    return 81 + (x - 266) * 0.62f + rough;  // the long east slope
}

bool in_keep(float x, float y) {
    auto box = [&](float x0, float y0, float x1, float y1) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
    // Battlements: merlons 3 wide with gaps of 2 along a top edge.
    auto crenels = [&](float x0, float x1, float top) {
        if (!box(x0, top - 3, x1, top)) return false;
        return std::fmod(x - x0, 5.0f) < 3.0f;
    };
    auto roof = [&](float cx, float half, float base, float apex) {
        if (y < apex || y >= base) return false;
        return std::fabs(x - cx) < half * (y - apex) / (base - apex);
    };
    if (box(177, 68, 264, 84) || crenels(177, 264, 68)) return true;  // the curtain wall
    if (box(176, 55, 189, 84) || roof(182.5f, 8.5f, 56, 38)) return true;  // the west tower
    if (box(204, 33, 233, 84) || crenels(203, 234, 33)) return true;  // the keep's great tower
    if (box(228, 22, 236, 33) || roof(232, 5.5f, 23, 11)) return true;  // its turret
    if (box(247, 49, 260, 84) || crenels(246, 261, 49)) return true;  // the east tower
    return box(190, 62, 198, 70) || roof(194, 5, 63, 54);  // a roof inside the walls
}

layer make_crag() {
    layer l = drift_layer(CRAG_DEPTH);
    const rgb rock = rgb8(50, 44, 62), rock_dark = rgb8(28, 24, 38), rim = rgb8(156, 92, 84);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < l.w; ++x) {
            const float k = cover(x, y, [](float fx, float fy) { return fy > crag_top(fx); });
            if (k <= 0) continue;
            const float fx = float(x), fy = float(y);
            // Vertical cracks and ledges, the west faces caught by the glow.
            const float cracks = noise(fx / 3.0f, fy / 18.0f, 62, 3), ledges = noise(fx / 20.0f, fy / 4.0f, 63, 2);
            rgb c = mix(rock_dark, rock, clamp01(cracks * 0.9f + ledges * 0.4f));
            const float west = fx < 180 ? clamp01(1 - (fy - crag_top(fx)) / 10.0f) * 0.45f : 0;
            c = mix(c, rim, west * (0.6f + 0.4f * cracks));
            c = c * (1 - 0.45f * smooth(100, 178, fy));  // darker down in the valley's shade
            l.put(x, y, c, k);
        }
    const rgb stone = rgb8(62, 54, 72), stone_dark = rgb8(40, 34, 50);
    paint_shape(
        l, 170, 8, 270, 90, in_keep,
        [&](int x, int y) {
            const float fx = float(x), fy = float(y);
            rgb c = mix(stone_dark, stone, noise(fx / 2.5f, fy / 2.0f, 64, 2));
            // Courses of masonry.
            if (y % 3 == 0) c = c * 0.85f;
            // West edges catch the last light.
            if (!in_keep(fx - 1.2f, fy + 0.5f)) c = mix(c, rim, 0.55f);
            return c;
        });
    return l;
}

// Soft mist lying in the valley, drifting slowly.
layer make_mist(float depth) {
    layer l = drift_layer(depth + 0.3f);
    for (int y = 104; y < 150; ++y)
        for (int x = 0; x < l.w; ++x) {
            const float fx = float(x), fy = float(y);
            const float band = smooth(104, 122, fy) * (1 - smooth(132, 150, fy));
            const float d = noise(fx / 40.0f, fy / 6.0f, 71, 4);
            const float alpha = band * smooth(0.35f, 0.75f, d) * 0.3f;
            l.put(x, y, rgb8(164, 128, 156), alpha);
        }
    return l;
}

// A belt of forest: conifers and round-crowned trees of varied heights on a
// rolling ground line, the side towards the glow lightly rimmed.
layer make_forest(float depth, float ground, float min_h, float max_h, int count, const rgb& colour, const rgb& rim,
                  uint32_t seed) {
    layer l = drift_layer(depth);
    auto ground_at = [&](float x) { return ground + 5 * (noise(x / 50.0f, 2.5f, seed, 2) - 0.5f) * 2; };
    // The ground under the trees.
    for (int x = 0; x < l.w; ++x)
        for (int y = int(ground_at(float(x))) - 1; y < H; ++y) {
            if (y < 0) continue;
            const float k = clamp01(float(y) + 1 - ground_at(float(x)));
            l.put(x, y, colour * (0.8f - 0.25f * smooth(ground, float(H), float(y))), k);
        }
    for (int i = 0; i < count; ++i) {
        const float bx = rnd(seed, uint32_t(i) * 5) * float(l.w + 20) - 10;
        const float h = min_h + (max_h - min_h) * rnd(seed, uint32_t(i) * 5 + 1);
        const float by = ground_at(bx) + 3;
        const bool conifer = rnd(seed, uint32_t(i) * 5 + 2) < 0.62f;
        const float tint = 0.8f + 0.4f * rnd(seed, uint32_t(i) * 5 + 3);
        const uint32_t tree_seed = seed * 1000 + uint32_t(i);
        std::function<bool(float, float)> inside;
        float half = 0;
        if (conifer) {
            half = h * 0.27f;
            const float tiers = 4 + std::floor(rnd(seed, uint32_t(i) * 5 + 4) * 4);
            inside = [=](float x, float y) {
                const float v = (y - (by - h)) / h;  // 0 at the tip, 1 at the foot
                if (v < 0 || v > 1) return false;
                if (v > 0.9f) return std::fabs(x - bx) < std::max(0.6f, h * 0.03f);  // the trunk
                const float tier = v * tiers - std::floor(v * tiers);
                const float jag = (noise(x / 1.3f, y / 1.3f, tree_seed, 2) - 0.5f) * h * 0.07f;
                return std::fabs(x - bx) < h * 0.27f * v * (0.62f + 0.38f * tier) + jag;
            };
        } else {
            half = h * 0.4f;
            const float crown = h * 0.36f;
            inside = [=](float x, float y) {
                if (y > by - h * 0.35f && y <= by) return std::fabs(x - bx) < std::max(0.6f, h * 0.04f);
                const float cy = by - h + crown;
                const float dx = (x - bx) / (crown * 1.1f), dy = (y - cy) / crown;
                const float r = std::sqrt(dx * dx + dy * dy);
                const float lumps = (noise(x / 2.2f, y / 2.2f, tree_seed, 3) - 0.5f) * 0.5f;
                return r < 1 + lumps;
            };
        }
        const rgb base = colour * tint;
        paint_shape(l, int(bx - half - 2), int(by - h - 2), int(bx + half + 2), int(by + 1), inside,
                    [&](int x, int y) {
                        const float fx = float(x), fy = float(y);
                        rgb c = base * (0.85f + 0.3f * noise(fx / 2.0f, fy / 2.0f, tree_seed + 7, 2));
                        if (!inside(fx - 1.5f, fy + 0.5f)) c = mix(c, rim, 0.5f);
                        return c;
                    });
    }
    return l;
}

// Two tall firs just in front of the camera frame the view: one on the left
// that the drift uncovers the valley from, one that comes in on the right.
layer make_framing_trees(float depth) {
    layer l = drift_layer(depth);
    const float trees[][3] = {{14, 196, 0.34f}, {float(l.w) - 6, 188, 0.3f}};
    for (size_t i = 0; i < std::size(trees); ++i) {
        const float bx = trees[i][0], h = trees[i][1], spread = trees[i][2], by = float(H) + 8;
        const uint32_t seed = 95 + uint32_t(i);
        auto inside = [=](float x, float y) {
            const float v = (y - (by - h)) / h;
            if (v < 0 || v > 1) return false;
            const float tier = v * 9 - std::floor(v * 9);
            const float jag = (forge::paint::noise(x / 2.5f, y / 2.5f, seed, 3) - 0.5f) * 9;
            return std::fabs(x - bx) < std::max(2.0f, h * spread * v * (0.55f + 0.45f * tier) + jag);
        };
        paint_shape(l, int(bx - h * spread - 6), 0, int(bx + h * spread + 6), H - 1, inside, [&](int x, int y) {
            const float fx = float(x), fy = float(y);
            rgb c = rgb8(6, 8, 12) * (0.8f + 0.4f * forge::paint::noise(fx / 3.0f, fy / 3.0f, seed + 9, 2));
            if (!inside(fx - 1.5f, fy + 0.5f)) c = mix(c, rgb8(40, 28, 40), 0.6f);
            return c;
        });
    }
    return l;
}

// ---------------------------------------------------------------------------
// The title, set in the TrueType font at three times its size and reduced,
// so its edges are smooth.

struct title_mask {
    int w = 0, h = 0;
    std::vector<float> ink, outline;
};

title_mask make_title(const std::string& font_path, const std::string& text) {
    constexpr int SCALE = 3;
    forge::scalable_font_options options;
    options.pixel_size = 40 * SCALE;
    options.threshold = 128;
    options.shadow = false;
    const forge::font_glyphs glyphs = forge::render_scalable_font(font_path, options);
    int big_w = 0, big_h = 0;
    for (char ch : text) {
        const auto& g = glyphs[size_t(uint8_t(ch))];
        if (!g) throw std::runtime_error(font_path + ": no glyph for '" + std::string(1, ch) + "'");
        big_w += g->width;
        big_h = std::max(big_h, g->height);
    }
    std::vector<uint8_t> big(size_t(big_w) * big_h, 0);
    int at = 0;
    for (char ch : text) {
        const auto& g = *glyphs[size_t(uint8_t(ch))];
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if (g.at(x, y) != 0) big[size_t(y) * big_w + at + x] = 1;
        at += g.width;
    }
    // Trim empty rows and columns before reducing.
    int x0 = big_w, x1 = -1, y0 = big_h, y1 = -1;
    for (int y = 0; y < big_h; ++y)
        for (int x = 0; x < big_w; ++x)
            if (big[size_t(y) * big_w + x]) {
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    if (x1 < 0) throw std::runtime_error(font_path + ": the title has no ink");
    title_mask m;
    constexpr int PAD = 2;
    m.w = (x1 - x0) / SCALE + 1 + 2 * PAD;
    m.h = (y1 - y0) / SCALE + 1 + 2 * PAD;
    m.ink.assign(size_t(m.w) * m.h, 0);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (big[size_t(y) * big_w + x])
                m.ink[size_t((y - y0) / SCALE + PAD) * m.w + (x - x0) / SCALE + PAD] += 1.0f / (SCALE * SCALE);
    // A dark outline a pixel and a half around the letters keeps them
    // legible over the clouds.
    m.outline.assign(m.ink.size(), 0);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float best = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    const int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= m.w || sy >= m.h) continue;
                    const float fall = (std::abs(dx) + std::abs(dy)) > 2 ? 0.45f : 1.0f;
                    best = std::max(best, m.ink[size_t(sy) * m.w + sx] * fall);
                }
            m.outline[size_t(y) * m.w + x] = std::min(1.0f, best * 1.4f);
        }
    return m;
}

void draw_title(frame& f, const title_mask& m, int left, int top, float fade) {
    if (fade <= 0) return;
    const rgb gold_top = rgb8(252, 226, 156), gold_bottom = rgb8(206, 140, 58), shadow = rgb8(12, 8, 20);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            const size_t i = size_t(y) * m.w + x;
            f.blend(left + x, top + y, shadow, m.outline[i] * 0.85f * fade);
            // Gold, lighter at the top, with a bright line along the upper edges.
            rgb c = mix(gold_top, gold_bottom, float(y) / float(m.h));
            if (y > 0 && m.ink[i - size_t(m.w)] < 0.5f) c = c * 1.12f;
            f.blend(left + x, top + y, c, m.ink[i] * fade);
        }
}

// ---------------------------------------------------------------------------
// The music: the menu theme from its score, cut to the video's length with a
// short fade-in and a long fade-out.

void render_intro_sound(const std::string& score_path, const std::string& wav_path, double seconds) {
    std::ifstream in(score_path, std::ios::binary);
    if (!in) throw std::runtime_error(score_path + ": cannot be read");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    forge::score s = forge::parse_score(text, score_path);
    // Only what is heard: the notes that start before the cut, with room for
    // their tails (which the renderer would otherwise bring round to the start).
    const double keep = seconds + 4;
    for (auto& voice : s.voices) {
        std::erase_if(voice.notes, [&](const forge::score_note& n) { return n.start >= seconds; });
        voice.end = std::min(voice.end, keep);
    }
    const std::vector<int16_t> stereo = forge::render_score(s);
    const size_t frames = std::min(stereo.size() / 2, size_t(seconds * s.rate));
    std::vector<float> left(frames), right(frames);
    const double fade_in = 0.4, fade_out = 3.5;
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / s.rate;
        const double gain = std::min({1.0, t / fade_in, (seconds - t) / fade_out});
        left[i] = float(stereo[i * 2] / 32768.0 * std::max(0.0, gain));
        right[i] = float(stereo[i * 2 + 1] / 32768.0 * std::max(0.0, gain));
    }
    if (s.rate != uint32_t(RATE)) throw std::runtime_error(score_path + ": the intro needs a score at 22050 Hz");
    write_stereo_wav(wav_path, left, right);
}

}  // namespace

void paint_intro(const std::string& out, const std::string& score_path, const std::string& font_path) {
    const std::string folder = out + "/intro";
    prepare_folder(folder);

    constexpr float SKY_DEPTH = 0.1f;
    const layer clouds = make_clouds(W + 120);
    const std::vector<star> stars = make_stars(W + 20);
    const layer far_hills = make_ridge(0.2f, 116, 22, rgb8(96, 64, 108), rgb8(58, 42, 78), 81);
    const layer near_hills = make_ridge(0.3f, 126, 16, rgb8(62, 46, 80), rgb8(36, 28, 52), 83);
    const layer crag = make_crag();
    const layer mist = make_mist(CRAG_DEPTH);
    const layer far_forest = make_forest(0.6f, 138, 10, 20, 90, rgb8(30, 40, 52), rgb8(110, 78, 96), 91);
    const layer near_forest = make_forest(0.85f, 156, 22, 40, 46, rgb8(16, 22, 28), rgb8(74, 52, 66), 92);
    const layer front = make_framing_trees(1.1f);
    const title_mask title = make_title(font_path, "Vorthan");

    for (int n = 0; n < INTRO_FRAMES; ++n) {
        const float t = float(n);
        const float drift = DRIFT * smooth(0, float(DRIFT_END), t);
        const float dusk = t / float(INTRO_FRAMES);
        frame f;
        // The sky, moved by whole pixels only: it barely moves.
        const int sky_shift = int(std::lround(drift * SKY_DEPTH));
        for (int y = 0; y < H; ++y) {
            const rgb row = sky_colour(float(y), dusk);
            for (int x = 0; x < W; ++x) {
                const float gx = float(x + sky_shift) - 70, gy = float(y) - 124;
                const float glow = std::exp(-(gx * gx / 9000.0f + gy * gy / 900.0f)) * (1 - dusk * 0.5f);
                f.at(x, y) = row + rgb8(255, 150, 80) * (0.3f * glow);
            }
        }
        const float star_fade = smooth(float(STARS_FROM), float(STARS_TO), t);
        for (size_t i = 0; i < stars.size(); ++i) {
            const star& s = stars[i];
            const int x = int(s.x) - sky_shift, y = int(s.y);
            const float twinkle = 0.8f + 0.2f * std::sin(t * 0.35f + s.phase);
            const float k = star_fade * s.bright * twinkle;
            f.blend(x, y, rgb8(236, 236, 255), k);
            if (s.bright > 0.8f) {
                for (int d = -1; d <= 1; d += 2) {
                    f.blend(x + d, y, rgb8(200, 200, 255), k * 0.35f);
                    f.blend(x, y + d, rgb8(200, 200, 255), k * 0.35f);
                }
            }
        }
        // The clouds drift with the wind as well.
        compose(f, clouds, drift * 0.12f + t * 0.09f);
        compose(f, far_hills, drift * 0.2f);
        compose(f, near_hills, drift * 0.3f);
        const float crag_shift = drift * CRAG_DEPTH;
        compose(f, crag, crag_shift);
        // The windows, each flickering on its own, with a soft glow.
        for (size_t i = 0; i < std::size(WINDOWS); ++i) {
            const window_light& w = WINDOWS[i];
            const float flicker = 0.82f + 0.18f * noise(t / 5.0f, float(i) * 3.7f, 101, 2);
            const rgb light = rgb8(255, 196, 104) * flicker;
            const float sx = float(w.x) - crag_shift;
            for (int y = 0; y < w.h; ++y)
                for (int x = 0; x < w.w; ++x) {
                    const float fx = sx + float(x);
                    const int ix = int(std::floor(fx));
                    const float fr = fx - float(ix);
                    f.blend(ix, w.y + y, light, 1 - fr);
                    f.blend(ix + 1, w.y + y, light, fr);
                }
            const float cx = sx + float(w.w) / 2, cy = float(w.y) + float(w.h) / 2;
            for (int y = w.y - 4; y < w.y + w.h + 4; ++y)
                for (int x = int(cx) - 5; x <= int(cx) + 5; ++x) {
                    const float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
                    f.add(x, y, rgb8(255, 150, 60) * (0.10f * flicker * std::exp(-(dx * dx + dy * dy) / 6.0f)));
                }
        }
        compose(f, mist, drift * (CRAG_DEPTH + 0.3f) - t * 0.12f);
        compose(f, far_forest, drift * 0.6f);
        compose(f, near_forest, drift * 0.85f);
        compose(f, front, drift * 1.1f);
        draw_title(f, title, (W - title.w) / 2, TITLE_TOP, smooth(float(TITLE_FROM), float(TITLE_TO), t));
        write_frame(folder, n, f, smooth(0, float(FADE_IN_END), t + 1));
    }
    render_intro_sound(score_path, out + "/intro.wav", double(INTRO_FRAMES) / FPS);
}

}  // namespace video_art

int main(int argc, char** argv) {
    const std::string which = argc == 5 ? argv[4] : "";
    if (which != "intro" && which != "sklepy") {
        std::fprintf(stderr, "usage: demo_art_video <out folder> <menu.score> <title font .ttf> intro|sklepy\n");
        return 2;
    }
    try {
        if (which == "intro")
            video_art::paint_intro(argv[1], argv[2], argv[3]);
        else
            video_art::paint_cellars(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_art_video: %s\n", e.what());
        return 1;
    }
    return 0;
}
