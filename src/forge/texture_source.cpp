// Procedural source pictures: weathered stone, dark wood, cloth and fire.
#include "forge/texture_source.h"

#include "forge/texture_doors.h"
#include "forge/texture_forest.h"
#include "forge/texture_niche.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>

namespace forge {

namespace {

constexpr float PI = 3.14159265f;

uint32_t mix(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}
uint32_t hash3(int x, int y, uint32_t seed) {
    return mix(static_cast<uint32_t>(x) * 0x8da6b343U ^ mix(static_cast<uint32_t>(y) * 0xd8163841U ^ seed));
}
// A value in 0..1 for a lattice point.
float lattice(int x, int y, uint32_t seed) {
    return (hash3(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

// A small deterministic generator for placing stones, knots and blades.
struct dice {
    uint32_t state;
    explicit dice(uint32_t seed) : state(mix(seed + 0x9e3779b9U)) {}
    float next() {
        state = mix(state + 0x6d2b79f5U);
        return (state >> 8) * (1.0f / 16777216.0f);
    }
    float range(float lo, float hi) { return lo + (hi - lo) * next(); }
};

float clamp255(float v) {
    return std::clamp(v, 0.0f, 255.0f);
}
float smooth(float t) {
    return t * t * (3 - 2 * t);
}

struct colour {
    float r, g, b;
    colour operator*(float k) const { return {r * k, g * k, b * k}; }
    colour operator+(const colour& o) const { return {r + o.r, g + o.g, b + o.b}; }
};
colour lerp(const colour& a, const colour& b, float t) {
    return a * (1 - t) + b * t;
}

void put(texture_canvas& c, int x, int y, const colour& k, float alpha = 1.0f) {
    c.set(x, y, clamp255(k.r), clamp255(k.g), clamp255(k.b), alpha);
}

// ---------------------------------------------------------------- blocks

// Course and block layout of a wall: where each block lies and how far a
// pixel is from its edges.
struct block_hit {
    int id = 0;                                      // unique per block
    float edge = 0;                                  // distance to the nearest edge (rounded at the corners)
    float top = 0, left = 0, bottom = 0, right = 0;  // distances to each edge
};

struct course_layout {
    std::vector<float> rows;                  // course boundaries from 0 to height
    std::vector<std::vector<float>> columns;  // per course: block boundaries from 0 to width
    float width = 0;

    block_hit hit(float x, float y, float corner) const {
        block_hit h;
        size_t course = 0;
        while (course + 2 < rows.size() && y >= rows[course + 1]) course++;
        const float y0 = rows[course], y1 = rows[course + 1];
        const std::vector<float>& cols = columns[course];
        size_t k = 0;
        while (k + 2 < cols.size() && x >= cols[k + 1]) k++;
        const float x0 = cols[k], x1 = cols[k + 1];
        h.id = static_cast<int>(course * 100 + (k % (cols.size() - 1)));
        h.top = y - y0, h.bottom = y1 - y, h.left = x - x0, h.right = x1 - x;
        const float dx = std::min(h.left, h.right), dy = std::min(h.top, h.bottom);
        if (dx < corner && dy < corner)
            h.edge = corner - std::hypot(corner - dx, corner - dy);
        else
            h.edge = std::min(dx, dy);
        return h;
    }
};

// Courses of random heights, each with blocks of random widths; the layout
// repeats across the width so that neighbouring cells join.
course_layout random_courses(float width, float height, float min_h, float max_h, float min_w, float max_w,
                             dice& d) {
    course_layout l;
    l.width = width;
    std::vector<float> heights;
    float total = 0;
    while (total < height - min_h * 0.5f) {
        heights.push_back(d.range(min_h, max_h));
        total += heights.back();
    }
    float y = 0;
    l.rows.push_back(0);
    for (float h : heights) l.rows.push_back(y += h * height / total);
    for (size_t c = 0; c + 1 < l.rows.size(); c++) {
        std::vector<float> widths;
        float sum = 0;
        while (sum < width - min_w * 0.5f) {
            widths.push_back(d.range(min_w, max_w));
            sum += widths.back();
        }
        const float shift = d.range(0, widths[0] * width / sum);
        std::vector<float> cols{-shift};
        for (float w : widths) cols.push_back(cols.back() + w * width / sum);
        cols.push_back(cols.back() + widths[0] * width / sum);  // the first block again, past the edge
        l.columns.push_back(cols);
    }
    return l;
}

course_layout regular_courses(float width, float height, int courses, int blocks, float stagger) {
    course_layout l;
    l.width = width;
    for (int c = 0; c <= courses; c++) l.rows.push_back(height * c / courses);
    for (int c = 0; c < courses; c++) {
        const float bw = width / blocks;
        const float shift = (c & 1) ? bw * stagger : 0;
        std::vector<float> cols;
        for (int k = -1; k <= blocks + 1; k++) cols.push_back(k * bw + shift);
        l.columns.push_back(cols);
    }
    return l;
}

// Stone blocks: mortar in the joints, each block its own shade, a bevel lit
// from the upper left, fine grain and large stains of damp and soot.
struct stone_style {
    colour stone, mortar;
    float variation;  // per block brightness spread
    float joint;      // mortar half-width
    float roughness;  // how far noise moves the joints
    float grain;      // fine surface noise
    float corner;     // rounding of block corners
    float damp;       // dark stains toward the bottom
    float moss;       // green tint in the stains
    float soot;       // darkening toward the top
    float cracks;     // crack lines per block (probability)
};

void draw_blocks(texture_canvas& c, const course_layout& layout, const stone_style& s, uint32_t seed) {
    const int W = c.width, H = c.height;
    std::map<int, std::pair<float, colour>> block_tone;
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            // Joints wander a little so the stones look hewn, not drawn.
            const float wobble =
                (fbm_noise(fx / 10.0f, fy / 10.0f, std::max(1, W / 10), std::max(1, H / 10), 3, seed + 11) -
                 0.5f) *
                s.roughness;
            const block_hit h = layout.hit(fx, fy, s.corner);
            auto it = block_tone.find(h.id);
            if (it == block_tone.end()) {
                dice d(seed * 7919u + static_cast<uint32_t>(h.id) * 104729u);
                const float k = 1.0f + (d.next() - 0.5f) * 2 * s.variation;
                const colour tint{d.range(-6, 6), d.range(-5, 5), d.range(-6, 6)};
                it = block_tone.emplace(h.id, std::make_pair(k, tint)).first;
            }
            const float grain =
                fbm_noise(fx / 3.0f, fy / 3.0f, std::max(1, W / 3), std::max(1, H / 3), 3, seed + 5);
            const float coarse =
                fbm_noise(fx / 40.0f, fy / 40.0f, std::max(1, W / 40), std::max(1, H / 40), 4, seed + 17);
            colour k;
            const float e = h.edge + wobble;
            if (e < s.joint) {
                // The mortar lies deeper: darker, rougher.
                k = s.mortar * (0.75f + 0.5f * grain);
            } else {
                k = s.stone * it->second.first + it->second.second;
                k = k * (1.0f - s.grain + 2 * s.grain * grain);
                const float bevel = 5.0f;
                if (e < s.joint + bevel) {
                    const float t = 1.0f - (e - s.joint) / bevel;
                    const bool lit = std::min(h.top, h.left) < std::min(h.bottom, h.right);
                    k = k * (lit ? 1.0f + 0.18f * t : 1.0f - 0.35f * t);
                }
            }
            // Damp stains and moss toward the bottom, soot toward the top.
            const float low = fy / H;
            const float stain = smooth(std::clamp((coarse - 0.45f) * 3.0f, 0.0f, 1.0f)) * (0.4f + 0.6f * low);
            k = k * (1.0f - s.damp * stain);
            k = lerp(k, colour{k.r * 0.7f, k.g * 0.95f, k.b * 0.6f}, s.moss * stain * low);
            k = k * (1.0f - s.soot * (1.0f - low) * (1.0f - low) * (0.6f + 0.4f * coarse));
            put(c, x, y, k);
        }
    }
    // Cracks: short dark wandering lines inside some blocks.
    dice d(seed + 99);
    const int count = static_cast<int>(s.cracks * 12);
    for (int i = 0; i < count; i++) {
        float x = d.range(0, static_cast<float>(W)), y = d.range(0, static_cast<float>(H));
        float angle = d.range(0, 2 * PI);
        const int length = static_cast<int>(d.range(10, 40));
        for (int step = 0; step < length; step++) {
            const int ix = (static_cast<int>(x) % W + W) % W, iy = std::clamp(static_cast<int>(y), 0, H - 1);
            const size_t p = c.at(ix, iy);
            c.r[p] *= 0.55f, c.g[p] *= 0.55f, c.b[p] *= 0.55f;
            angle += d.range(-0.5f, 0.5f);
            x += std::cos(angle), y += std::sin(angle);
        }
    }
}

// ---------------------------------------------------------------- walls

texture_canvas ruin_wall(uint32_t seed) {
    texture_canvas c(500, 320);
    dice d(seed);
    const course_layout l = random_courses(500, 320, 26, 46, 38, 92, d);
    draw_blocks(
        c, l,
        stone_style{{116, 106, 92}, {44, 40, 36}, 0.16f, 3.2f, 5.0f, 0.22f, 9.0f, 0.45f, 0.5f, 0.25f, 1.5f},
        seed);
    return c;
}

texture_canvas ashlar_wall(uint32_t seed) {
    texture_canvas c(500, 320);
    const course_layout l = regular_courses(500, 320, 5, 4, 0.5f);
    draw_blocks(
        c, l,
        stone_style{
            {162, 150, 128}, {112, 104, 92}, 0.07f, 1.6f, 1.6f, 0.12f, 2.0f, 0.22f, 0.06f, 0.2f, 0.5f},
        seed);
    return c;
}

texture_canvas brick_wall(uint32_t seed) {
    texture_canvas c(500, 320);
    const course_layout l = regular_courses(500, 320, 16, 8, 0.5f);
    draw_blocks(
        c, l,
        stone_style{{138, 68, 48}, {118, 110, 98}, 0.14f, 1.8f, 1.5f, 0.18f, 1.5f, 0.35f, 0.1f, 0.35f, 0.3f},
        seed);
    return c;
}

// Dark vertical planks with grain, knots, gaps, and two battens nailed across.
texture_canvas wood_wall(uint32_t seed) {
    texture_canvas c(500, 320);
    const int planks = 8;
    const float pw = 500.0f / planks;
    dice d(seed);
    std::vector<float> tone(planks);
    std::vector<std::vector<std::pair<float, float>>> knots(planks);
    for (int p = 0; p < planks; p++) {
        tone[p] = d.range(0.82f, 1.12f);
        const int n = static_cast<int>(d.range(0, 2.6f));
        for (int k = 0; k < n; k++) knots[p].push_back({d.range(0.25f, 0.75f) * pw, d.range(20, 300)});
    }
    const colour wood{74, 48, 30};
    for (int y = 0; y < 320; y++) {
        for (int x = 0; x < 500; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const int p = std::min(planks - 1, static_cast<int>(fx / pw));
            const float lx = fx - p * pw;
            const bool batten = (fy > 34 && fy < 60) || (fy > 262 && fy < 288);
            float warp = fbm_noise(fx / 8.0f, fy / 60.0f, 63, 6, 3, seed + p);
            for (const auto& [kx, ky] : knots[p]) {
                const float dx = lx - kx, dy = (fy - ky) * 0.45f;
                const float r = std::sqrt(dx * dx + dy * dy);
                if (r < 14) warp += (14 - r) / 14 * 1.5f;
            }
            float grain;
            colour k;
            if (batten) {
                grain = 0.5f + 0.5f * std::sin(fy * 0.9f +
                                               fbm_noise(fx / 50.0f, fy / 4.0f, 10, 80, 3, seed + 40) * 9);
                k = wood * (0.95f + 0.15f * grain);
                const float by = fy < 160 ? fy - 34 : fy - 262;
                if (by < 2 || by > 24)
                    k = k * 0.45f;
                else if (by < 4)
                    k = k * 1.15f;
                // Nails: one near each plank's middle.
                const float nx = lx - pw / 2, ny = by - 13;
                if (nx * nx + ny * ny < 6) k = colour{96, 92, 90} * (1.0f + 0.3f * (nx < 0 && ny < 0));
            } else {
                grain = 0.5f + 0.5f * std::sin(lx * 0.45f + warp * 14.0f);
                const float streak = periodic_noise(fx / 1.5f, fy / 25.0f, 334, 13, seed + 3);
                k = wood * tone[p] * (0.72f + 0.28f * grain) * (0.9f + 0.2f * streak);
                if (lx < 2.5f || lx > pw - 1.5f)
                    k = colour{18, 11, 7};  // the gap between planks
                else if (lx < 4.5f)
                    k = k * 0.75f;  // shadow of the gap
            }
            // Wear: the lower part darker and rougher.
            const float coarse = fbm_noise(fx / 45.0f, fy / 45.0f, 11, 7, 3, seed + 77);
            k = k * (1.0f - 0.25f * coarse * (fy / 320.0f));
            put(c, x, y, k);
        }
    }
    return c;
}

// ---------------------------------------------------------------- floors and ceilings

texture_canvas grass_floor(uint32_t seed) {
    const int S = 256;
    texture_canvas c(S, S);
    for (int y = 0; y < S; y++)
        for (int x = 0; x < S; x++) {
            const float n = fbm_noise(x / 24.0f, y / 24.0f, S / 24 + 1, S / 24 + 1, 4, seed);
            const float m = fbm_noise(x / 6.0f, y / 6.0f, 43, 43, 3, seed + 1);
            colour k = lerp(colour{52, 66, 30}, colour{84, 92, 40}, n);
            k = lerp(k, colour{88, 72, 46}, smooth(std::clamp((n - 0.62f) * 4, 0.0f, 1.0f)) * 0.7f);
            put(c, x, y, k * (0.8f + 0.35f * m));
        }
    // Blades of grass: short strokes, dark at the root, light at the tip.
    dice d(seed + 5);
    for (int i = 0; i < 2600; i++) {
        float x = d.range(0, S), y = d.range(0, S);
        const float dx = d.range(-0.4f, 0.4f), len = d.range(3, 9), light = d.range(0.7f, 1.35f);
        for (int t = 0; t < len; t++) {
            const int ix = (static_cast<int>(x) % S + S) % S, iy = (static_cast<int>(y) % S + S) % S;
            const float f = light * (0.6f + 0.5f * t / len);
            put(c, ix, iy, colour{60, 82, 34} * f);
            x += dx, y -= 1;
        }
    }
    return c;
}

texture_canvas flags_floor(uint32_t seed) {
    const int S = 256;
    texture_canvas c(S, S);
    dice d(seed);
    course_layout l;
    l.width = S;
    const float split = d.range(100, 156);
    l.rows = {0, split, static_cast<float>(S)};
    for (int r = 0; r < 2; r++) {
        const float cut = d.range(90, 166);
        l.columns.push_back({0, cut, static_cast<float>(S), S + cut});
    }
    draw_blocks(
        c, l,
        stone_style{{118, 114, 106}, {38, 36, 33}, 0.1f, 2.5f, 5.0f, 0.2f, 10.0f, 0.35f, 0.2f, 0.0f, 0.8f},
        seed);
    // Worn smooth and lighter where feet go, in the middle of the square.
    for (int y = 0; y < S; y++)
        for (int x = 0; x < S; x++) {
            const float dx = (x - S / 2) / (S * 0.5f), dy = (y - S / 2) / (S * 0.5f);
            const float worn = std::max(0.0f, 1.0f - (dx * dx + dy * dy));
            const size_t p = c.at(x, y);
            const float k = 1.0f + 0.12f * worn;
            c.r[p] = clamp255(c.r[p] * k), c.g[p] = clamp255(c.g[p] * k), c.b[p] = clamp255(c.b[p] * k);
        }
    return c;
}

// Boards running away from the viewer (along the tile's height).
texture_canvas planks_floor(uint32_t seed) {
    const int S = 256;
    texture_canvas c(S, S);
    const int boards = 5;
    const float bw = static_cast<float>(S) / boards;
    dice d(seed);
    std::vector<float> joint(boards), tone(boards);
    for (int b = 0; b < boards; b++) joint[b] = d.range(0, S), tone[b] = d.range(0.85f, 1.15f);
    for (int y = 0; y < S; y++)
        for (int x = 0; x < S; x++) {
            const int b = std::min(boards - 1, static_cast<int>(x / bw));
            const float lx = x - b * bw;
            const float warp = fbm_noise(x / 6.0f, y / 50.0f, 43, 6, 3, seed + b);
            const float grain = 0.5f + 0.5f * std::sin(lx * 0.5f + warp * 12);
            colour k = colour{96, 64, 38} * tone[b] * (0.75f + 0.25f * grain);
            if (lx < 2 || std::fabs(y - joint[b]) < 1.5f) k = colour{24, 15, 9};
            const float dirt = fbm_noise(x / 30.0f, y / 30.0f, 9, 9, 3, seed + 50);
            put(c, x, y, k * (0.85f + 0.25f * dirt));
        }
    return c;
}

texture_canvas vault_ceiling(uint32_t seed) {
    const int S = 256;
    texture_canvas c(S, S);
    const course_layout l = regular_courses(S, S, 4, 2, 0.5f);
    draw_blocks(
        c, l, stone_style{{92, 86, 78}, {40, 37, 34}, 0.12f, 2.2f, 3.0f, 0.2f, 5.0f, 0.45f, 0.0f, 0.0f, 0.5f},
        seed);
    return c;
}

// Boards across, carried by a heavy beam along the square's left edge.
texture_canvas beams_ceiling(uint32_t seed) {
    const int S = 256;
    texture_canvas c(S, S);
    for (int y = 0; y < S; y++)
        for (int x = 0; x < S; x++) {
            const float board = std::fmod(static_cast<float>(y), 32.0f);
            const float warp = fbm_noise(x / 50.0f, y / 6.0f, 6, 43, 3, seed);
            const float grain = 0.5f + 0.5f * std::sin(board * 0.6f + warp * 10);
            colour k = colour{70, 46, 28} * (0.75f + 0.25f * grain);
            if (board < 2) k = colour{18, 12, 8};
            if (x < 40) {
                const float bgrain =
                    0.5f +
                    0.5f * std::sin(x * 0.4f + fbm_noise(x / 6.0f, y / 60.0f, 43, 5, 3, seed + 9) * 10);
                k = colour{58, 38, 24} * (0.8f + 0.2f * bgrain);
                if (x < 3 || x > 36)
                    k = k * 0.5f;
                else if (x < 7)
                    k = k * 1.2f;
            }
            put(c, x, y, k);
        }
    return c;
}

// ---------------------------------------------------------------- secondary pictures

texture_canvas torch(uint32_t seed) {
    texture_canvas c(64, 150);
    const float cx = 32;
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            // The iron plate on the wall, with two rivets.
            if (fx > 20 && fx < 44 && fy > 88 && fy < 126) {
                colour k = colour{54, 52, 56} * (0.85f + 0.3f * lattice(x, y, seed));
                if (fx < 22 || fy < 90) k = k * 1.4f;
                if (fx > 42 || fy > 124) k = k * 0.5f;
                const float r1 = (fx - cx) * (fx - cx) + (fy - 94) * (fy - 94);
                const float r2 = (fx - cx) * (fx - cx) + (fy - 120) * (fy - 120);
                if (r1 < 4 || r2 < 4) k = colour{120, 116, 110};
                put(c, x, y, k);
            }
            // The wooden shaft, narrowing downward, bound with an iron ring.
            const float half = 6.5f - (fy - 58) * 0.03f;
            if (fy > 58 && fy < 146 && std::fabs(fx - cx) < half) {
                const float side = (fx - cx) / half;
                colour k = colour{92, 58, 32} * (1.0f - 0.45f * side * side) * (side < -0.3f ? 1.15f : 1.0f);
                k = k * (0.85f + 0.3f * periodic_noise(fx / 2.0f, fy / 9.0f, 32, 17, seed + 3));
                if (fy > 100 && fy < 108) k = colour{70, 68, 72} * (1.2f - 0.5f * side * side);
                if (fy < 66) k = colour{40, 26, 16};  // charred head
                put(c, x, y, k);
            }
            // The flame: a flickering teardrop, white at its core, red at its edge.
            const float t = (64 - fy) / 60.0f;  // 0 at the base, 1 at the tip
            if (t > -0.08f && t < 1) {
                const float wobble = (fbm_noise(fy / 7.0f, 0.5f, 22, 1, 3, seed + 21) - 0.5f) * 8 * t;
                const float width =
                    15.0f * std::pow(std::max(0.0f, 1 - t), 0.7f) * std::min(1.0f, (t + 0.1f) * 3.5f);
                const float dx = std::fabs(fx - cx - wobble);
                if (dx < width) {
                    const float v = dx / width;
                    const float heat = (1 - v) * (1 - 0.6f * t);
                    colour k = heat > 0.55f
                                   ? lerp(colour{255, 206, 80}, colour{255, 250, 214}, (heat - 0.55f) / 0.45f)
                               : heat > 0.25f
                                   ? lerp(colour{236, 112, 28}, colour{255, 206, 80}, (heat - 0.25f) / 0.3f)
                                   : lerp(colour{170, 44, 16}, colour{236, 112, 28}, heat / 0.25f);
                    put(c, x, y, k);
                }
            }
        }
    return c;
}

texture_canvas banner(uint32_t seed) {
    texture_canvas c(124, 230);
    const colour red{132, 22, 24}, gold{206, 164, 64};
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            // The rod with its gilded ends.
            if (fy > 4 && fy < 12) {
                const float v = (fy - 4) / 8;
                colour k = (fx < 8 || fx > 116) ? gold : colour{70, 44, 26};
                put(c, x, y, k * (1.25f - 0.6f * std::fabs(v - 0.35f)));
                continue;
            }
            if (fx < 12 || fx > 112 || fy < 12) continue;
            // A swallow-tailed cloth.
            const float tail = 196 + 30 * std::fabs(fx - 62) / 50;
            if (fy > tail) continue;
            const float fold = 0.78f + 0.22f * std::sin(fx * 0.22f + 0.6f) + 0.05f * std::sin(fx * 0.9f);
            colour k = red * fold;
            const float border = std::min({fx - 12, 112 - fx, fy - 12, tail - fy});
            if (border < 6) k = gold * fold * (border < 1.2f ? 0.6f : 1.0f);
            // The emblem: a tower inside a ring.
            const float dx = fx - 62, dy = fy - 96, r = std::sqrt(dx * dx + dy * dy);
            if (r > 27 && r < 33) k = gold * fold;
            const bool tower =
                (std::fabs(dx) < 10 && dy > -12 && dy < 18) ||
                (std::fabs(dx) < 14 && dy > -20 && dy < -10 && std::fmod(dx + 14, 8.0f) < 4.5f);
            if (tower) k = gold * fold * 0.95f;
            if (std::fabs(dx) < 3 && dy > 6 && dy < 18) k = red * fold * 0.5f;  // the gate
            // Old cloth: dust and fraying toward the edges.
            const float wear = fbm_noise(fx / 9.0f, fy / 9.0f, 14, 26, 3, seed);
            k = k * (0.82f + 0.3f * wear);
            put(c, x, y, k);
        }
    return c;
}

// A round arch of wedge stones in an ashlar wall; the opening is transparent.
texture_canvas round_arch(uint32_t seed) {
    texture_canvas c = ashlar_wall(seed);
    const float cx = 250, cy = 200, inner = 160, outer = 196;
    texture_canvas ring = ashlar_wall(seed + 1);
    for (int y = 0; y < 320; y++)
        for (int x = 0; x < 500; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float dx = fx - cx, dy = fy - cy, r = std::sqrt(dx * dx + dy * dy);
            const bool opening = (fy >= cy && std::fabs(dx) < inner) || (fy < cy && r < inner);
            const size_t p = c.at(x, y);
            if (opening) {
                c.a[p] = 0;
                continue;
            }
            if (fy < cy && r < outer) {
                // Wedge stones: radial joints every 12 degrees, the keystone wider.
                const float angle = std::atan2(-dy, dx) * 180 / PI;  // 0..180 over the arch
                const float key = std::fabs(angle - 90) < 7 ? 14.0f : 12.0f;
                const float phase = std::fmod(angle + (std::fabs(angle - 90) < 7 ? 7.0f : 0.0f), key);
                const bool joint = phase < 0.9f || r < inner + 2 || r > outer - 2;
                colour k = colour{ring.r[p], ring.g[p], ring.b[p]} * 1.05f;
                if (joint)
                    k = colour{46, 42, 38};
                else if (r < inner + 6)
                    k = k * 0.7f;  // the soffit in shadow
                put(c, x, y, k);
            } else if (fy >= cy && std::fabs(dx) < inner + 8) {
                // The jambs: the stone turns into the passage, in shadow.
                const size_t q = c.at(x, y);
                c.r[q] *= 0.62f, c.g[q] *= 0.62f, c.b[q] *= 0.62f;
            }
        }
    return c;
}

const std::map<std::string, std::function<texture_canvas(uint32_t)>>& generators() {
    static const std::map<std::string, std::function<texture_canvas(uint32_t)>> table = [] {
        std::map<std::string, std::function<texture_canvas(uint32_t)>> t = {
            {"ruin", ruin_wall},      {"stone", ashlar_wall},   {"brick", brick_wall},
            {"wood", wood_wall},      {"grass", grass_floor},   {"flags", flags_floor},
            {"planks", planks_floor}, {"vault", vault_ceiling}, {"beams", beams_ceiling},
            {"torch", torch},         {"banner", banner},       {"arch", round_arch},
        };
        add_mechanism_sources(t);
        add_niche_sources(t);
        add_forest_sources(t);
        return t;
    }();
    return table;
}

}  // namespace

texture_canvas::texture_canvas(int w, int h)
    : width(w),
      height(h),
      r(size_t(w) * h, 0),
      g(size_t(w) * h, 0),
      b(size_t(w) * h, 0),
      a(size_t(w) * h, 0) {}

void texture_canvas::set(int x, int y, float red, float green, float blue, float alpha) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    const size_t p = at(x, y);
    r[p] = red, g[p] = green, b[p] = blue, a[p] = alpha;
}

void texture_canvas::sample(float x, float y, bool wrap, float out[4]) const {
    x -= 0.5f, y -= 0.5f;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = x - x0, fy = y - y0;
    auto index = [&](int px, int py) {
        if (wrap) {
            px = ((px % width) + width) % width;
            py = ((py % height) + height) % height;
        } else {
            px = std::clamp(px, 0, width - 1);
            py = std::clamp(py, 0, height - 1);
        }
        return at(px, py);
    };
    const size_t p00 = index(x0, y0), p10 = index(x0 + 1, y0), p01 = index(x0, y0 + 1),
                 p11 = index(x0 + 1, y0 + 1);
    const float w00 = (1 - fx) * (1 - fy), w10 = fx * (1 - fy), w01 = (1 - fx) * fy, w11 = fx * fy;
    // Colours are weighted by coverage so that transparent pixels do not darken edges.
    const float a4 = a[p00] * w00 + a[p10] * w10 + a[p01] * w01 + a[p11] * w11;
    out[3] = a4;
    if (a4 <= 0) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    const std::vector<float>* ch[3] = {&r, &g, &b};
    for (int k = 0; k < 3; k++) {
        const std::vector<float>& v = *ch[k];
        out[k] =
            (v[p00] * a[p00] * w00 + v[p10] * a[p10] * w10 + v[p01] * a[p01] * w01 + v[p11] * a[p11] * w11) /
            a4;
    }
}

texture_canvas canvas_from_image(const rgba_image& image) {
    texture_canvas c(image.width, image.height);
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++) {
            const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
            c.set(x, y, p[0], p[1], p[2], p[3] / 255.0f);
        }
    return c;
}

rgba_image image_from_canvas(const texture_canvas& c) {
    rgba_image image;
    image.width = c.width;
    image.height = c.height;
    image.rgba.resize(static_cast<size_t>(c.width) * c.height * 4);
    for (size_t p = 0; p < c.r.size(); p++) {
        image.rgba[p * 4 + 0] = static_cast<uint8_t>(clamp255(c.r[p]) + 0.5f);
        image.rgba[p * 4 + 1] = static_cast<uint8_t>(clamp255(c.g[p]) + 0.5f);
        image.rgba[p * 4 + 2] = static_cast<uint8_t>(clamp255(c.b[p]) + 0.5f);
        image.rgba[p * 4 + 3] = static_cast<uint8_t>(std::clamp(c.a[p], 0.0f, 1.0f) * 255 + 0.5f);
    }
    return image;
}

float periodic_noise(float x, float y, int period_x, int period_y, uint32_t seed) {
    period_x = std::max(1, period_x), period_y = std::max(1, period_y);
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = smooth(x - x0), fy = smooth(y - y0);
    auto v = [&](int px, int py) {
        return lattice(((px % period_x) + period_x) % period_x, ((py % period_y) + period_y) % period_y,
                       seed);
    };
    const float top = v(x0, y0) + (v(x0 + 1, y0) - v(x0, y0)) * fx;
    const float bottom = v(x0, y0 + 1) + (v(x0 + 1, y0 + 1) - v(x0, y0 + 1)) * fx;
    return top + (bottom - top) * fy;
}

float fbm_noise(float x, float y, int period_x, int period_y, int octaves, uint32_t seed) {
    float sum = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; o++) {
        sum += amplitude * periodic_noise(x, y, period_x, period_y, seed + static_cast<uint32_t>(o) * 1013u);
        total += amplitude;
        amplitude *= 0.5f;
        x *= 2, y *= 2, period_x *= 2, period_y *= 2;
    }
    return sum / total;
}

bool procedural_source_exists(const std::string& name) {
    return generators().count(name) != 0;
}

texture_canvas procedural_source(const std::string& name, uint32_t seed) {
    auto it = generators().find(name);
    if (it == generators().end()) throw std::runtime_error("no procedural texture named '" + name + "'");
    return it->second(seed);
}

std::vector<std::string> procedural_source_names() {
    std::vector<std::string> names;
    for (const auto& [name, fn] : generators()) names.push_back(name);
    return names;
}

}  // namespace forge
