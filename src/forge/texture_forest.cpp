// The forest's edge. A face is painted back to front: the dusk sky low in
// the west and the dark inside of the wood, thin trunks far away, the
// canopy with holes where the sky shows, the near trunks with furrowed bark
// lit on their west side by the sky, near leaves hanging over them, and the
// ferns and brambles at their feet. Everything repeats across the face's
// width so that neighbouring cells join into one wood.
#include "forge/texture_forest.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace forge {

namespace {

constexpr int W = 500, H = 320;

struct rgb {
    float r, g, b;
    rgb operator*(float k) const { return {r * k, g * k, b * k}; }
    rgb operator+(const rgb& o) const { return {r + o.r, g + o.g, b + o.b}; }
};
rgb mix(const rgb& a, const rgb& b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return a * (1 - t) + b * t;
}
float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

// A small generator for placing trunks.
struct trunk_dice {
    uint32_t state;
    explicit trunk_dice(uint32_t seed) : state(seed * 2654435761u + 0x3c6ef372u) {}
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state >> 8) * (1.0f / 16777216.0f);
    }
    float range(float lo, float hi) { return lo + (hi - lo) * next(); }
};

struct forest_style {
    int near_trunks, far_trunks;
    float canopy_low;   // how far down the canopy hangs, as a part of the height
    float sky;          // how much sky shows through it (0 none .. 1 wide gaps)
    float undergrowth;  // where the undergrowth reaches up to, as a part from the top
    float light;        // overall brightness
};

struct trunk {
    float x, width, lean, tone;
    uint32_t seed;
};

// Distance across the face from a to b, the shorter way round.
float wrapped(float d) {
    return d - W * std::round(d / W);
}

// Noise across the face repeats after a whole number of lattice cells.
float across(float x, int cells) {
    return x * cells / W;
}

// A trunk's centre and half width at row y: it leans a little, wanders, and
// tapers upward; its roots flare out at the bottom.
void trunk_at(const trunk& t, float y, float& centre, float& half) {
    const float up = (H - y) / H;
    centre = t.x + t.lean * up * H + (fbm_noise(y / 90.0f, 0.5f, 4, 1, 3, t.seed) - 0.5f) * t.width * 0.3f;
    half = t.width * 0.5f * (1.0f - 0.3f * up);
    const float root = std::max(0.0f, (y - (H - 26)) / 26.0f);
    half *= 1.0f + 0.7f * root * root;
}

std::vector<trunk> place_trunks(int count, float min_w, float max_w, uint32_t seed) {
    trunk_dice d(seed);
    std::vector<trunk> out;
    // Spread evenly with jitter, so that no two trunks merge into a wall of bark.
    const float step = static_cast<float>(W) / std::max(1, count);
    const float shift = d.range(0, step);
    for (int i = 0; i < count; i++) {
        trunk t;
        t.x = shift + i * step + d.range(-0.3f, 0.3f) * step;
        t.width = d.range(min_w, max_w);
        t.lean = d.range(-0.06f, 0.06f);
        t.tone = d.range(0.8f, 1.15f);
        t.seed = seed * 31u + static_cast<uint32_t>(i) * 977u;
        out.push_back(t);
    }
    return out;
}

// The sky of a late evening: violet overhead, warm toward the horizon.
rgb dusk_sky(float t) {
    const rgb high{74, 66, 104}, low{214, 136, 82};
    return mix(high, low, std::pow(clamp01(t / 0.55f), 1.4f));
}

// Leaves: how much a point lies inside a clump (above 0.5 is inside).
float foliage(float x, float y, float hang, float gaps, uint32_t seed) {
    const float t = y / H;
    const float n = fbm_noise(across(x, 13), y / 24.0f, 13, H / 24 + 1, 4, seed);
    return (n - 0.5f) * 3.2f + 0.5f + (hang - t) * 1.4f - gaps * 0.35f;
}

// Undergrowth: ferns and brambles rising from the ground.
float undergrowth(float x, float y, float top, uint32_t seed) {
    const float t = y / H;
    const float n = fbm_noise(x / 20.0f, y / 16.0f, W / 20, H / 16 + 1, 4, seed);
    return (n - 0.5f) * 2.5f + 0.5f + (t - top) * 2.6f;
}

texture_canvas paint_forest(const forest_style& s, uint32_t seed) {
    texture_canvas c(W, H);
    const std::vector<trunk> far = place_trunks(s.far_trunks, 7, 16, seed + 101);
    const std::vector<trunk> near = place_trunks(s.near_trunks, 34, 62, seed + 202);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f, t = fy / H;

            // The sky and the dark depth of the wood.
            const float depth = fbm_noise(across(fx, 10), fy / 30.0f, 10, H / 30 + 1, 3, seed + 3);
            rgb k = mix(dusk_sky(t), rgb{20, 27, 24}, (t - 0.12f) * 2.4f + (depth - 0.5f) * 1.2f - (s.sky - 0.4f) * 0.8f);

            // Far trunks, thin and grey with the evening haze.
            for (const trunk& tr : far) {
                float centre, half;
                trunk_at(tr, fy, centre, half);
                const float u = wrapped(fx - centre) / half;
                if (std::fabs(u) < 1) k = mix(rgb{34, 36, 38} * tr.tone, k, 0.25f + 0.15f * (1 - t));
            }

            // The canopy behind the near trunks, its upper edges lit by the sky.
            const float f = foliage(fx, fy, s.canopy_low, s.sky, seed + 11);
            if (f > 0.5f) {
                const float leaf = fbm_noise(across(fx, 166), fy / 3.0f, 166, H / 3 + 1, 2, seed + 13);
                rgb g = mix(rgb{22, 32, 22}, rgb{46, 58, 32}, leaf) * (0.8f + 0.4f * clamp01((f - 0.5f) * 4));
                const float above = foliage(fx - 2, fy - 5, s.canopy_low, s.sky, seed + 11);
                if (above < 0.5f) g = mix(g, rgb{168, 120, 70}, 0.3f * s.light);  // the rim toward the sky
                k = g;
            }

            // Near trunks with bark, round in the light.
            for (const trunk& tr : near) {
                float centre, half;
                trunk_at(tr, fy, centre, half);
                const float u = wrapped(fx - centre) / half;
                if (std::fabs(u) >= 1) continue;
                const float lambert = std::max(0.0f, -u * 0.55f + std::sqrt(1 - u * u) * 0.8f);
                const float furrow =
                    0.5f + 0.5f * std::sin(u * half * 0.7f +
                                           fbm_noise(fx / 5.0f, fy / 26.0f, W / 5, H / 26 + 1, 3, tr.seed) * 9);
                const float plates = fbm_noise(across(fx, 83), fy / 9.0f, 83, H / 9 + 1, 2, tr.seed + 5);
                rgb b = rgb{80, 68, 56} * tr.tone * (0.55f + 0.45f * furrow) * (0.8f + 0.35f * plates);
                b = b * (0.3f + 0.8f * lambert);
                // Moss on the shaded side low down, warm light on the lit edge.
                const float moss = clamp01((t - 0.5f) * 2) * clamp01(u + 0.2f) * (0.5f + plates * 0.5f);
                b = mix(b, rgb{48, 66, 30} * (0.4f + 0.6f * lambert), moss * 0.7f);
                if (u < -0.78f) b = mix(b, rgb{196, 134, 84}, (-u - 0.78f) * 2.2f * s.light);
                // The shadow the canopy throws on the upper trunk.
                b = b * (0.6f + 0.4f * clamp01((t - s.canopy_low * 0.5f) * 3));
                k = b;
            }

            // Leaves hanging in front of the near trunks.
            const float front = foliage(fx + 97, fy, s.canopy_low * 0.75f, s.sky, seed + 17);
            if (front > 0.52f) {
                const float leaf = fbm_noise(across(fx, 200), fy / 2.5f, 200, H / 2 + 1, 2, seed + 19);
                rgb g = mix(rgb{30, 42, 24}, rgb{64, 76, 38}, leaf);
                const float above = foliage(fx + 95, fy - 5, s.canopy_low * 0.75f, s.sky, seed + 17);
                if (above < 0.52f) g = mix(g, rgb{178, 128, 74}, 0.28f * s.light);
                k = g;
            }

            // Ferns and brambles; the tips of the fronds catch the light.
            const float u = undergrowth(fx, fy, s.undergrowth, seed + 23);
            if (u > 0.55f) {
                const float frond = fbm_noise(fx / 2.0f, fy / 7.0f, W / 2, H / 7 + 1, 2, seed + 29);
                rgb g = mix(rgb{26, 36, 20}, rgb{66, 82, 40}, frond) * (0.7f + 0.4f * clamp01((u - 0.55f) * 3));
                if (undergrowth(fx, fy - 4, s.undergrowth, seed + 23) < 0.55f)
                    g = mix(g, rgb{150, 132, 72}, 0.25f * s.light);
                // A few berries and pale flowers.
                const float dot = periodic_noise(across(fx, 333), fy / 1.5f, 333, H * 2 / 3, seed + 31);
                if (dot > 0.93f) g = (static_cast<int>(fx + fy) & 1) ? rgb{120, 30, 36} : rgb{186, 176, 150};
                k = g;
            }

            // Dusk: the floor of the wood is darkest.
            k = k * (s.light * (1.0f - 0.35f * clamp01((t - 0.7f) * 3.3f)));
            c.set(x, y, std::clamp(k.r, 0.0f, 255.0f), std::clamp(k.g, 0.0f, 255.0f),
                  std::clamp(k.b, 0.0f, 255.0f), 1.0f);
        }
    }
    return c;
}

texture_canvas forest_edge(uint32_t seed) {
    return paint_forest(forest_style{3, 7, 0.34f, 0.6f, 0.74f, 1.0f}, seed);
}

texture_canvas thicket(uint32_t seed) {
    return paint_forest(forest_style{6, 12, 0.42f, 0.15f, 0.6f, 0.85f}, seed);
}

// A weathered signboard of two planks on a stake, the words cut into it.
texture_canvas signboard(uint32_t seed) {
    texture_canvas c(110, 180);
    const rgb wood{104, 78, 52};
    trunk_dice d(seed);
    std::vector<std::pair<float, float>> cuts;  // short strokes standing for letters
    for (int row = 0; row < 2; row++) {
        float x = 18 + d.range(0, 4);
        while (x < 90) {
            cuts.push_back({x, 24.0f + row * 22});
            x += d.range(4, 7) + (d.next() < 0.2f ? 6 : 0);
        }
    }
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float grain = 0.5f + 0.5f * std::sin(fy * 0.8f + fbm_noise(fx / 12.0f, fy / 3.0f, 10, 60, 3, seed) * 7);
            // The stake down to the ground, behind the board.
            if (std::fabs(fx - 55) < 6 && fy > 60) {
                const float side = (fx - 55) / 6;
                rgb k = wood * 0.8f * (1.0f - 0.5f * side * side) * (side < 0 ? 1.1f : 0.85f);
                k = k * (0.8f + 0.2f * grain) * (fy > 160 ? 0.7f : 1.0f);
                c.set(x, y, k.r, k.g, k.b, 1.0f);
            }
            // Two planks, the lower one a little shifted, their edges worn.
            const bool upper = fx > 6 && fx < 104 && fy > 10 && fy < 36;
            const bool lower = fx > 9 && fx < 102 && fy > 35 && fy < 62;
            if (!upper && !lower) continue;
            const float wear = fbm_noise(fx / 8.0f, fy / 8.0f, 14, 23, 3, seed + 7);
            rgb k = wood * (0.72f + 0.3f * grain) * (0.8f + 0.35f * wear);
            const float top = upper ? 10 : 35, bottom = upper ? 36 : 62;
            if (fy - top < 2.5f) k = k * 1.25f;  // the top edges in the sky's light
            if (bottom - fy < 2.5f) k = k * 0.5f;
            if (std::fabs(fy - 35.5f) < 1) k = rgb{30, 20, 12};
            for (const auto& [cx, cy] : cuts)
                if (std::fabs(fx - cx) < 1.2f && std::fabs(fy - cy) < 6) k = rgb{40, 28, 18};
            // Nails into the stake.
            const float n1 = std::hypot(fx - 55, fy - 16), n2 = std::hypot(fx - 55, fy - 56);
            if (n1 < 2.2f || n2 < 2.2f) k = rgb{110, 104, 100};
            c.set(x, y, std::clamp(k.r, 0.0f, 255.0f), std::clamp(k.g, 0.0f, 255.0f),
                  std::clamp(k.b, 0.0f, 255.0f), 1.0f);
        }
    return c;
}

}  // namespace

void add_forest_sources(std::map<std::string, std::function<texture_canvas(uint32_t)>>& table) {
    table["forest"] = forest_edge;
    table["thicket"] = thicket;
    table["sign"] = signboard;
}

}  // namespace forge
