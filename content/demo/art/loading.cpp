// Paints the demo's loading picture: dusk over the hills, a ruined keep with
// lit windows on its crag, and a torch-lit stone parapet in front. The upper
// middle of the sky stays quiet for the title text.
//
//   demo_art_loading <out.png>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <vector>

#include "forge/png_import.h"

namespace {

constexpr int W = 640, H = 480;

struct colour {
    float r, g, b;
};
colour mix(colour a, colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
colour scale(colour c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}
colour add(colour a, colour b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
float smooth(float e0, float e1, float x) {
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

uint32_t hash(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}
float hash01(int x, int y, int seed) {
    return (hash(x, y, seed) & 0xFFFFFF) / float(0xFFFFFF);
}

float value_noise(float x, float y, int seed) {
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    const float fx = x - xi, fy = y - yi;
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = hash01(xi, yi, seed), b = hash01(xi + 1, yi, seed);
    const float c = hash01(xi, yi + 1, seed), d = hash01(xi + 1, yi + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}
float fbm(float x, float y, int seed, int octaves = 5) {
    float sum = 0, amplitude = 0.5f;
    for (int i = 0; i < octaves; ++i, x *= 2, y *= 2, amplitude *= 0.5f)
        sum += value_noise(x, y, seed + i) * amplitude;
    return sum;
}

// Height of a hill line above the bottom, at column x.
float ridge(float x, float base, float height, float frequency, int seed) {
    return base + height * fbm(x * frequency, 0.5f, seed, 4);
}

class canvas {
  public:
    std::vector<colour> pixels = std::vector<colour>(W * H, colour{0, 0, 0});
    colour& at(int x, int y) { return pixels[y * W + x]; }
};

void paint_sky(canvas& c) {
    const colour top{0.05f, 0.04f, 0.14f}, middle{0.30f, 0.13f, 0.32f}, low{0.93f, 0.45f, 0.18f},
        horizon{1.0f, 0.72f, 0.36f};
    for (int y = 0; y < H; ++y) {
        const float t = y / 330.0f;
        colour sky = t < 0.55f   ? mix(top, middle, smooth(0, 0.55f, t))
                     : t < 0.85f ? mix(middle, low, smooth(0.55f, 0.85f, t))
                                 : mix(low, horizon, smooth(0.85f, 1.0f, std::min(t, 1.0f)));
        for (int x = 0; x < W; ++x) {
            colour p = sky;
            // Thin clouds lit from below near the horizon.
            const float cloud = smooth(0.55f, 0.8f, fbm(x / 140.0f, y / 28.0f, 11)) *
                                smooth(0.25f, 0.75f, t) * (1 - smooth(0.9f, 1.0f, t));
            p = mix(p, mix(colour{0.35f, 0.16f, 0.30f}, colour{1.0f, 0.55f, 0.30f}, smooth(0.5f, 0.95f, t)),
                    cloud * 0.7f);
            // The sun's glow sinking behind the hills.
            const float dx = (x - 170) / 640.0f, dy = (y - 318) / 480.0f;
            p = add(p, scale(colour{1.0f, 0.55f, 0.2f}, 0.55f * std::exp(-(dx * dx + dy * dy) * 40)));
            // Stars in the dark upper sky, kept out of the title area.
            const bool title_area = x > 150 && x < 490 && y > 30 && y < 150;
            if (!title_area && t < 0.45f && hash(x, y, 3) % 900 == 0)
                p = mix(p, colour{1, 0.95f, 0.85f}, (0.5f + 0.5f * hash01(x, y, 4)) * (1 - t / 0.45f));
            c.at(x, y) = p;
        }
    }
}

void paint_hills(canvas& c) {
    struct layer {
        float base, height, frequency;
        int seed;
        colour tint;
        float haze;
    } layers[] = {{150, 70, 1 / 260.0f, 21, {0.30f, 0.16f, 0.30f}, 0.55f},
                  {115, 80, 1 / 200.0f, 31, {0.17f, 0.09f, 0.19f}, 0.3f},
                  {70, 70, 1 / 150.0f, 41, {0.07f, 0.045f, 0.09f}, 0.1f}};
    for (const auto& l : layers) {
        for (int x = 0; x < W; ++x) {
            const int top =
                H - static_cast<int>(ridge(static_cast<float>(x), l.base, l.height, l.frequency, l.seed));
            for (int y = std::max(top, 0); y < H; ++y) {
                const float depth = std::min((y - top) / 120.0f, 1.0f);
                colour p = mix(l.tint, scale(l.tint, 0.6f), depth);
                p = mix(p, colour{0.95f, 0.5f, 0.25f}, l.haze * (1 - depth) * 0.35f);
                p = scale(p, 0.9f + 0.2f * fbm(x / 30.0f, y / 30.0f, l.seed + 5, 3));
                c.at(x, y) = p;
            }
        }
    }
}

// The crag and the ruined keep, a near-black silhouette with lit windows.
void paint_keep(canvas& c) {
    const colour dark{0.035f, 0.025f, 0.045f}, rim{0.45f, 0.2f, 0.1f};
    auto crag_top = [](int x) {
        const float d = (x - 470) / 135.0f;
        return 445.0f - 190.0f * std::exp(-d * d) - 45.0f * fbm(x / 22.0f, 2.0f, 51, 5);
    };
    auto inside_keep = [](int x, int y) {
        // Main hall with battlements.
        if (x >= 420 && x < 530 && y >= 200 && y < 300) {
            if (y < 208 && ((x - 420) / 9) % 2 == 1) return false;
            // A broken corner: the hall's right end is collapsed.
            if (x > 505 && y < 200 + (x - 505) * 1.6f + 8 * hash01(x / 3, 0, 61)) return false;
            return true;
        }
        // The tall tower, its top broken off at a slant.
        if (x >= 440 && x < 478 && y >= 120 && y < 300) {
            const float broken = 120 + (x - 440) * 0.9f + 10 * hash01(x / 4, 1, 62);
            return y >= broken;
        }
        // A small round turret on the left.
        if (x >= 398 && x < 422 && y >= 178 && y < 300) {
            if (y < 186 && ((x - 398) / 6) % 2 == 1) return false;
            return true;
        }
        return false;
    };
    for (int x = 2; x < W; ++x) {
        const int top = static_cast<int>(crag_top(x));
        for (int y = 100; y < H; ++y) {
            const bool rock = y >= top;
            if (!rock && !inside_keep(x, y)) continue;
            colour p = scale(dark, 0.8f + 0.5f * fbm(x / 12.0f, y / 12.0f, 71, 3));
            // The sunset catches the western edges.
            if (!inside_keep(x - 2, y) && !(y >= static_cast<int>(crag_top(x - 2)))) p = mix(p, rim, 0.5f);
            c.at(x, y) = p;
        }
    }
    // Lit windows and the warm glow around them.
    const struct {
        int x, y, w, h;
    } windows[] = {{455, 150, 4, 9}, {462, 185, 4, 9}, {436, 228, 5, 8},
                   {470, 226, 5, 8}, {492, 230, 5, 8}, {406, 214, 3, 6}};
    for (const auto& win : windows) {
        for (int y = win.y - 14; y < win.y + win.h + 14; ++y)
            for (int x = win.x - 14; x < win.x + win.w + 14; ++x) {
                const float dx = x - (win.x + win.w / 2.0f), dy = y - (win.y + win.h / 2.0f);
                const float glow = 0.22f * std::exp(-(dx * dx + dy * dy) / 60.0f);
                c.at(x, y) = add(c.at(x, y), scale(colour{1.0f, 0.55f, 0.15f}, glow));
            }
        for (int y = win.y; y < win.y + win.h; ++y)
            for (int x = win.x; x < win.x + win.w; ++x) {
                const float flicker = 0.8f + 0.2f * hash01(x, y, 81);
                c.at(x, y) = scale(colour{1.0f, 0.7f, 0.3f}, flicker);
            }
    }
}

// The parapet in front: weathered blocks, mortar lines, moss, lit by a torch
// on the left.
void paint_parapet(canvas& c) {
    const int top = 408;
    const colour stone{0.36f, 0.33f, 0.30f}, mortar{0.13f, 0.11f, 0.10f}, moss{0.18f, 0.22f, 0.10f};
    const float torch_x = 70, torch_y = 372;
    for (int y = top; y < H; ++y) {
        const int row = (y - top) / 24, in_row = (y - top) % 24;
        const int offset = row % 2 ? 26 : 0;
        for (int x = 0; x < W; ++x) {
            const int block = (x + offset) / 52, in_block = (x + offset) % 52;
            const float wear = fbm(x / 9.0f, y / 9.0f, 91, 4);
            // Chipped block edges: mortar eats into the corners where the stone is worn.
            const bool joint = in_row < 2 || in_block < 2 || (wear > 0.62f && (in_row < 4 || in_block < 4));
            colour p =
                joint ? mortar : scale(stone, 0.7f + 0.4f * hash01(block, row, 92) + 0.5f * (wear - 0.5f));
            // Hairline cracks wandering across some blocks.
            if (!joint && hash01(block, row, 95) > 0.6f &&
                std::fabs(in_row - 12 - 9 * (fbm(x / 14.0f, row, 96, 2) - 0.5f) * 2) < 0.7f)
                p = mortar;
            if (!joint && fbm(x / 20.0f, y / 14.0f, 93, 3) > 0.62f && in_row < 12) p = mix(p, moss, 0.6f);
            if (!joint && hash(x, y, 94) % 37 == 0) p = scale(p, 0.7f);  // pits
            // Top course is lit more, the lower courses fall into shadow.
            p = scale(p, 0.55f - 0.35f * (y - top) / float(H - top));
            const float dx = x - torch_x, dy = y - torch_y;
            const float light = 2.4f * std::exp(-(dx * dx + dy * dy) / 26000.0f);
            p = add(p, {p.r * light * 1.3f + 0.06f * light, p.g * light * 0.75f + 0.02f * light,
                        p.b * light * 0.3f});
            c.at(x, y) = p;
        }
    }
    // Coping edge highlight along the top.
    for (int x = 0; x < W; ++x) c.at(x, top) = mix(c.at(x, top), colour{0.9f, 0.55f, 0.3f}, 0.35f);
}

void paint_torch(canvas& c) {
    // Bracket and shaft.
    for (int y = 368; y < 412; ++y)
        for (int x = 66; x < 75; ++x)
            c.at(x, y) = scale(colour{0.22f, 0.13f, 0.07f}, 0.7f + 0.3f * hash01(x, y / 3, 101));
    for (int x = 60; x < 81; ++x) c.at(x, 396) = c.at(x, 397) = colour{0.12f, 0.11f, 0.12f};
    // The light over the whole lower left, then the flame.
    for (int y = 250; y < H; ++y)
        for (int x = 0; x < 260; ++x) {
            const float dx = x - 70.0f, dy = y - 352.0f;
            const float glow = 0.45f * std::exp(-(dx * dx + dy * dy) / 2500.0f);
            c.at(x, y) = add(c.at(x, y), scale(colour{1.0f, 0.5f, 0.12f}, glow));
        }
    for (int y = 330; y < 370; ++y)
        for (int x = 56; x < 86; ++x) {
            const float t = (370 - y) / 40.0f;  // 0 at the base, 1 at the tip
            const float half = 10 * (1 - t) * (0.6f + 0.8f * t) * (1 - t * 0.4f) + 0.6f;
            const float wobble = 2.5f * std::sin(t * 7 + 1) * t;
            const float d = std::fabs(x - 70.5f - wobble) / half;
            if (d > 1) continue;
            const colour core{1.0f, 0.95f, 0.7f}, edge{1.0f, 0.45f, 0.05f};
            c.at(x, y) = mix(core, edge, std::clamp(d * 0.8f + t * 0.5f, 0.0f, 1.0f));
        }
}

forge::rgba_image finish(const canvas& c) {
    // 4 x 4 ordered dither below the 5-bit steps, so the sky keeps smooth in
    // 15-bit colour.
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    forge::rgba_image image;
    image.width = W, image.height = H;
    image.rgba.reserve(W * H * 4);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const colour p = c.pixels[y * W + x];
            const float threshold = (bayer[y & 3][x & 3] + 0.5f) / 16.0f * 8.0f;
            for (float v : {p.r, p.g, p.b})
                image.rgba.push_back(
                    static_cast<uint8_t>(std::clamp(v * 255.0f + threshold - 4.0f, 0.0f, 255.0f)));
            image.rgba.push_back(255);
        }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <out.png>\n", argv[0]);
        return 2;
    }
    try {
        canvas c;
        paint_sky(c);
        paint_hills(c);
        paint_keep(c);
        paint_parapet(c);
        paint_torch(c);
        forge::write_png_file(argv[1], finish(c));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
