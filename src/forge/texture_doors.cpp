// Doors, grilles, levers, buttons, the teleporter's glow, plates and a shaft:
// painted in the cellars' look (rough stone, dark oak, black iron with rust).
#include "forge/texture_doors.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace forge {

namespace {

constexpr float PI = 3.14159265f;

struct rgb {
    float r, g, b;
    rgb operator*(float k) const { return {r * k, g * k, b * k}; }
    rgb operator+(const rgb& o) const { return {r + o.r, g + o.g, b + o.b}; }
};
rgb mixed(const rgb& a, const rgb& b, float t) {
    return a * (1 - t) + b * t;
}

void paint(texture_canvas& c, int x, int y, const rgb& k) {
    c.set(x, y, std::clamp(k.r, 0.0f, 255.0f), std::clamp(k.g, 0.0f, 255.0f), std::clamp(k.b, 0.0f, 255.0f),
          1.0f);
}
void clear(texture_canvas& c, int x, int y) {
    c.set(x, y, 0, 0, 0, 0);
}
rgb pixel(const texture_canvas& c, int x, int y) {
    const size_t p = c.at(x, y);
    return {c.r[p], c.g[p], c.b[p]};
}

// Distance from p to the segment a-b.
float segment_distance(float px, float py, float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    const float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// Black iron: a little blue in the grey, rust in blotches, lit from the upper left.
rgb iron(float x, float y, float light, uint32_t seed) {
    const float rust = fbm_noise(x / 9.0f, y / 9.0f, 64, 64, 3, seed + 301);
    const float grain = periodic_noise(x / 1.7f, y / 1.7f, 512, 512, seed + 302);
    rgb k = rgb{58, 58, 64} * (0.8f + 0.4f * grain);
    k = mixed(k, rgb{104, 58, 32}, std::clamp((rust - 0.55f) * 3.0f, 0.0f, 0.8f));
    return k * light;
}

// Dark oak planks: grain along the plank, gaps, wear toward the bottom.
rgb oak(float lx, float y, float plank_width, int plank, float height, uint32_t seed) {
    const float local = std::fmod(lx, plank_width);
    const float warp = fbm_noise(lx / 7.0f, y / 50.0f, 64, 16, 3, seed + static_cast<uint32_t>(plank) * 7);
    const float grain = 0.5f + 0.5f * std::sin(local * 0.5f + warp * 13.0f);
    const float tone = 0.85f + 0.3f * periodic_noise(static_cast<float>(plank) * 3.1f, 0.5f, 64, 1, seed + 9);
    rgb k = rgb{70, 45, 28} * tone * (0.72f + 0.28f * grain);
    if (local < 2.0f || local > plank_width - 1.0f) return rgb{16, 10, 6};
    if (local < 4.0f) k = k * 0.78f;
    const float wear = fbm_noise(lx / 30.0f, y / 30.0f, 16, 16, 3, seed + 77);
    return k * (1.0f - 0.3f * wear * (y / height));
}

// A dressed stone frame (jambs and lintel) around an opening cut into rough wall.
struct doorway {
    float x0, x1, top;    // the opening: x0 <= x < x1, top <= y
    float frame, lintel;  // jamb width, lintel height
};

bool in_frame(const doorway& d, float x, float y) {
    const bool jamb =
        y >= d.top - d.lintel && ((x >= d.x0 - d.frame && x < d.x0) || (x >= d.x1 && x < d.x1 + d.frame));
    const bool over = y >= d.top - d.lintel && y < d.top && x >= d.x0 - d.frame && x < d.x1 + d.frame;
    return jamb || over;
}
bool in_opening(const doorway& d, float x, float y) {
    return x >= d.x0 && x < d.x1 && y >= d.top;
}

// Paints the frame over the wall: dressed blocks with fine joints, bevels, soot.
void paint_frame(texture_canvas& c, const doorway& d, uint32_t seed) {
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            if (!in_frame(d, fx, fy)) continue;
            const bool lintel = fy < d.top;
            // Jamb blocks are 64 rows high; the lintel is one long stone.
            const float block_y = lintel ? fy - (d.top - d.lintel) : std::fmod(fy - d.top, 64.0f);
            const float block_h = lintel ? d.lintel : 64.0f;
            const float left =
                lintel ? fx - (d.x0 - d.frame) : (fx < d.x0 ? fx - (d.x0 - d.frame) : fx - d.x1);
            const float width = lintel ? d.x1 - d.x0 + 2 * d.frame : d.frame;
            const float grain = fbm_noise(fx / 3.0f, fy / 3.0f, 167, 107, 3, seed + 5);
            const float blotch = fbm_noise(fx / 25.0f, fy / 25.0f, 20, 13, 3, seed + 6);
            rgb k = rgb{138, 128, 110} * (0.82f + 0.22f * grain) * (0.9f + 0.2f * blotch);
            const float edge = std::min({block_y, block_h - block_y, left, width - left});
            if (edge < 1.5f)
                k = rgb{40, 36, 32};
            else if (edge < 5.0f)
                k = k * ((block_y < 5.0f || left < 5.0f) ? 1.15f : 0.7f);
            // The opening's edge in shadow, soot above it.
            const float to_opening = lintel ? d.top - fy : (fx < d.x0 ? d.x0 - fx : fx - d.x1);
            if (to_opening < 6.0f) k = k * (0.6f + 0.4f * to_opening / 6.0f);
            if (lintel) k = k * (0.75f + 0.25f * (1.0f - blotch));
            paint(c, x, y, k);
        }
}

// ---------------------------------------------------------------- door

// A plank door sliding sideways into the wall: frame 0 closed, 3 open.
texture_canvas sliding_door(int frame, uint32_t seed) {
    texture_canvas c = procedural_source("ruin", seed);
    const doorway d{165, 335, 78, 22, 30};
    paint_frame(c, d, seed);
    const float leaf_width = d.x1 - d.x0, leaf_height = 320 - d.top;
    const float shift = leaf_width * static_cast<float>(frame) / 3.0f;
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            if (!in_opening(d, fx, fy)) continue;
            const float lx = fx - d.x0 + shift;  // position on the leaf
            const float ly = fy - d.top;
            if (lx >= leaf_width) {
                clear(c, x, y);
                continue;
            }
            const float plank_width = leaf_width / 4;
            rgb k = oak(lx, ly, plank_width, static_cast<int>(lx / plank_width), leaf_height, seed);
            // Two iron bands with rivets, and a ring to pull.
            for (float band : {40.0f, 170.0f}) {
                if (ly >= band && ly < band + 14) {
                    const float v = (ly - band) / 14.0f;
                    k = iron(lx, ly, v < 0.2f ? 1.3f : v > 0.8f ? 0.6f : 1.0f, seed);
                    const float rx = std::fmod(lx, plank_width) - plank_width / 2, ry = ly - band - 7;
                    if (rx * rx + ry * ry < 7) k = rgb{130, 124, 118} * (rx + ry < 0 ? 1.1f : 0.8f);
                }
            }
            const float ring = std::hypot(lx - (leaf_width - 32), ly - 118) - 13;
            if (std::fabs(ring) < 2.5f) k = iron(lx, ly, ly < 118 ? 1.35f : 0.75f, seed);
            const float plate = std::hypot(lx - (leaf_width - 32), ly - 104);
            if (plate < 6) k = iron(lx, ly, 1.1f, seed);
            // The leaf's edges, and the shadow of the wall on the part still inside it.
            if (lx < 3 || lx > leaf_width - 3) k = k * 0.6f;
            const float gap = fx - d.x0;
            if (frame > 0 && gap < 10) k = k * (0.45f + 0.55f * gap / 10);
            paint(c, x, y, k);
        }
    return c;
}

// ---------------------------------------------------------------- portcullis

// An iron grille in a stone gateway: frame 0 down, 3 raised out of sight
// but for its spikes.
texture_canvas portcullis(int frame, uint32_t seed) {
    texture_canvas c = procedural_source("ruin", seed + 1);
    const doorway d{150, 350, 60, 24, 34};
    paint_frame(c, d, seed);
    const float height = 320 - d.top;
    const float raised = (height - 14) * static_cast<float>(frame) / 3.0f;
    const float pitch_x = 200.0f / 7.0f, bar = 8, pitch_y = 46, rail = 7;
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            if (!in_opening(d, fx, fy)) continue;
            const float gx = fx - d.x0, gy = fy - d.top + raised;  // on the grille
            const float bottom = height - 14;                      // where the spikes start
            const float across = std::fmod(gx + pitch_x / 2 - bar / 2, pitch_x);
            bool on = false;
            float light = 1.0f;
            if (across < bar) {
                // A spike narrows to a point below the last rail.
                const float half = gy < bottom ? bar / 2 : bar / 2 * (1 - (gy - bottom) / 16);
                const float from_centre = across - bar / 2;
                if (gy < bottom + 16 && std::fabs(from_centre) < half) {
                    on = true;
                    light = 1.25f - 0.55f * (from_centre / (bar / 2) + 1) / 2 * 1.4f;
                }
            }
            const float down = std::fmod(gy + pitch_y - 20, pitch_y);
            if (gy < bottom && down < rail) {
                on = true;
                light = down < 2 ? 1.3f : down > rail - 2 ? 0.6f : 1.0f;
            }
            if (on) {
                paint(c, x, y, iron(gx, gy, light, seed));
            } else {
                clear(c, x, y);
            }
        }
    return c;
}

// ---------------------------------------------------------------- secondary pictures

// A lever on an iron plate: the handle up (frame 0) or down (frame 1).
texture_canvas lever(bool down, uint32_t seed) {
    texture_canvas c(72, 170);
    const float px = 36, py = 85;  // the pivot
    const float angle = (down ? 150.0f : 30.0f) * PI / 180.0f;
    const float tx = px + 62 * std::sin(angle) * (down ? 1.0f : -1.0f) * 0.45f;
    const float ty = py - 62 * std::cos(angle);
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            // The plate with its slot and four rivets.
            if (fx > 18 && fx < 54 && fy > 44 && fy < 126) {
                float light = 1.0f;
                if (fx < 21 || fy < 47) light = 1.35f;
                if (fx > 51 || fy > 123) light = 0.55f;
                rgb k = iron(fx, fy, light, seed);
                if (std::fabs(fx - px) < 3.5f && fy > 52 && fy < 118) k = rgb{14, 12, 12};
                for (float rx : {24.0f, 48.0f})
                    for (float ry : {51.0f, 119.0f})
                        if (std::hypot(fx - rx, fy - ry) < 2.6f)
                            k = rgb{128, 122, 116} * (fx < rx ? 1.1f : 0.8f);
                paint(c, x, y, k);
            }
            // The handle: an iron rod ending in a wooden grip.
            const float rod = segment_distance(fx, fy, px, py, tx, ty);
            if (rod < 4.2f) paint(c, x, y, iron(fx, fy, 1.3f - 0.15f * rod, seed));
            const float gx = px + (tx - px) * 1.25f, gy = py + (ty - py) * 1.25f;
            const float grip = segment_distance(fx, fy, tx, ty, gx, gy);
            if (grip < 7.0f) {
                const float grain = 0.5f + 0.5f * std::sin((fx + fy) * 0.9f);
                paint(c, x, y, rgb{96, 60, 32} * (1.15f - grip / 8) * (0.85f + 0.2f * grain));
            }
            // The hub over the pivot.
            const float hub = std::hypot(fx - px, fy - py);
            if (hub < 7) paint(c, x, y, iron(fx, fy, fx + fy < px + py ? 1.3f : 0.8f, seed));
        }
    return c;
}

// A whole wall face with a lever in its middle, for sides whose wall itself
// is the lever (drawn as a full face on the side views too).
texture_canvas lever_wall(bool down, uint32_t seed) {
    texture_canvas c = procedural_source("ruin", seed);
    const texture_canvas l = lever(down, seed);
    const int left = 250 - l.width / 2, top = 150 - l.height / 2;
    for (int y = 0; y < l.height; y++)
        for (int x = 0; x < l.width; x++) {
            const size_t p = l.at(x, y);
            if (l.a[p] < 0.5f) continue;
            paint(c, left + x, top + y, rgb{l.r[p], l.g[p], l.b[p]});
        }
    return c;
}

// Symbols carved into the buttons of a code lock, in -1..1 button coordinates.
bool symbol_at(int symbol, float u, float v) {
    const float r = std::hypot(u, v);
    const float a = std::atan2(v, u);
    switch (symbol) {
        case 0: {  // sun: a disc and eight rays
            if (r < 0.26f) return true;
            const float ray = std::fabs(std::remainder(a, PI / 4));
            return r > 0.36f && r < 0.66f && ray < 0.16f * (0.66f - r) / 0.3f + 0.02f;
        }
        case 1:  // moon: a crescent
            return r < 0.55f && std::hypot(u - 0.24f, v + 0.12f) > 0.45f;
        case 2: {  // star: five points
            const float sector = std::fmod(a + PI / 2 + 4 * PI, 2 * PI / 5) - PI / 5;
            const float edge = 0.27f / std::cos(std::fabs(sector) * 0.999f);
            const float point =
                0.62f * (1 - std::fabs(sector) / (PI / 5)) + 0.27f * std::fabs(sector) / (PI / 5);
            return r < std::max(std::min(edge, 0.62f), point);
        }
        default:  // rune: a stave with two branches
            return segment_distance(u, v, 0, -0.6f, 0, 0.6f) < 0.09f ||
                   segment_distance(u, v, 0, -0.15f, 0.38f, -0.5f) < 0.09f ||
                   segment_distance(u, v, 0, 0.1f, -0.38f, -0.25f) < 0.09f;
    }
}

// A square stone button standing out of the wall, a symbol carved into it.
texture_canvas button(int symbol, uint32_t seed) {
    texture_canvas c(84, 84);
    const float half = 36, cx = 42, cy = 42, bevel = 6;
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float dx = fx - cx, dy = fy - cy;
            if (std::fabs(dx) > half || std::fabs(dy) > half) continue;
            const float grain = fbm_noise(fx / 3.0f, fy / 3.0f, 28, 28, 3, seed + 11);
            rgb k = rgb{150, 140, 122} * (0.82f + 0.25f * grain);
            const float to_edge = half - std::max(std::fabs(dx), std::fabs(dy));
            if (to_edge < bevel) {
                // The bevel faces up and left (lit) or down and right (shade).
                const bool lit = (std::fabs(dx) > std::fabs(dy)) ? dx < 0 : dy < 0;
                k = k * (lit ? 1.25f : 0.55f);
            }
            if (to_edge < 1.2f) k = rgb{30, 27, 24};
            const float u = dx / 30, v = dy / 30;
            if (symbol_at(symbol, u, v)) {
                k = k * 0.5f;
                if (!symbol_at(symbol, u - 0.07f, v - 0.07f)) k = k * 0.6f;  // its upper rim in shadow
                if (!symbol_at(symbol, u + 0.07f, v + 0.07f))
                    k = k * 1.7f;  // its lower rim catches the light
            }
            // Fingers have polished the middle.
            k = k * (1.0f + 0.12f * std::max(0.0f, 1 - (u * u + v * v)));
            paint(c, x, y, k);
        }
    return c;
}

// The teleporter: a curtain of blue light in shimmering threads.
texture_canvas glow(uint32_t seed) {
    texture_canvas c(260, 300);
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float across = std::fabs(fx - 130) / 130;
            const float threads = fbm_noise(fx / 5.0f, fy / 45.0f, 52, 7, 3, seed + 21);
            const float pulse = fbm_noise(fx / 30.0f, fy / 30.0f, 9, 10, 2, seed + 22);
            const float fade = (1 - across * across) * std::min(1.0f, std::min(fy, 300 - fy) / 40);
            const float v = threads * fade + 0.25f * pulse - 0.2f;
            // Only the brighter threads are drawn: the wall shows between them.
            if (v < 0.32f) continue;
            const float heat = std::clamp((v - 0.32f) / 0.35f, 0.0f, 1.0f);
            paint(c, x, y, mixed(rgb{40, 80, 190}, rgb{210, 240, 255}, heat));
        }
    // Sparks.
    for (int i = 0; i < 90; i++) {
        const uint32_t h = seed * 2654435761u + static_cast<uint32_t>(i) * 40503u;
        const int sx = static_cast<int>((h >> 3) % 160) + 50, sy = static_cast<int>((h >> 13) % 240) + 30;
        for (int k = 0; k < 4; k++) paint(c, sx + (k & 1), sy + (k >> 1), rgb{235, 250, 255});
    }
    return c;
}

// ---------------------------------------------------------------- floors

// Flagstones with an iron-bound slab in the middle, resting or pressed down.
texture_canvas plate(bool pressed, uint32_t seed) {
    texture_canvas c = procedural_source("flags", seed);
    const float lo = 64, hi = 192, band = 8;
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            if (fx < lo - band || fx > hi + band || fy < lo - band || fy > hi + band) continue;
            const float to_edge =
                std::min({fx - (lo - band), hi + band - fx, fy - (lo - band), hi + band - fy});
            rgb k;
            if (to_edge < band) {
                k = iron(fx, fy, to_edge < 2 ? 0.7f : 1.05f, seed);
            } else {
                const float grain = fbm_noise(fx / 3.0f, fy / 3.0f, 86, 86, 3, seed + 31);
                k = rgb{104, 98, 90} * (0.85f + 0.25f * grain);
                const float inner = to_edge - band;
                // Pressed: sunk below the band, its rim in shadow.
                const float rim = pressed ? 12.0f : 4.0f;
                if (inner < rim) k = k * (pressed ? 0.45f + 0.4f * inner / rim : 0.8f);
                if (pressed) k = k * 0.8f;
            }
            paint(c, x, y, k);
        }
    return c;
}

// Flagstones broken by a square shaft going down into darkness.
texture_canvas shaft(uint32_t seed) {
    texture_canvas c = procedural_source("flags", seed);
    const float lo = 52, hi = 204, rim = 10;
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float to_edge = std::min({fx - lo, hi - fx, fy - lo, hi - fy});
            if (to_edge < -rim) continue;
            rgb k = pixel(c, x, y);
            if (to_edge < 0) {
                k = k * 1.1f;  // the worn kerb
                if (to_edge > -2) k = k * 0.6f;
            } else {
                // The shaft's walls fall away into black.
                const float depth = std::min(1.0f, to_edge / 40);
                const float stone = fbm_noise(fx / 6.0f, fy / 6.0f, 43, 43, 3, seed + 41);
                k = rgb{70, 64, 58} * (0.7f + 0.4f * stone) * (1 - depth) * (1 - depth);
            }
            paint(c, x, y, k);
        }
    return c;
}

}  // namespace

void add_mechanism_sources(std::map<std::string, std::function<texture_canvas(uint32_t)>>& table) {
    for (int f = 0; f < 4; f++) {
        table["door" + std::to_string(f)] = [f](uint32_t seed) { return sliding_door(f, seed); };
        table["portcullis" + std::to_string(f)] = [f](uint32_t seed) { return portcullis(f, seed); };
    }
    table["lever_up"] = [](uint32_t seed) { return lever(false, seed); };
    table["lever_down"] = [](uint32_t seed) { return lever(true, seed); };
    table["lever_wall_up"] = [](uint32_t seed) { return lever_wall(false, seed); };
    table["lever_wall_down"] = [](uint32_t seed) { return lever_wall(true, seed); };
    static const std::array<const char*, 4> symbols = {"button_sun", "button_moon", "button_star",
                                                       "button_rune"};
    for (int s = 0; s < 4; s++) table[symbols[s]] = [s](uint32_t seed) { return button(s, seed); };
    table["glow"] = glow;
    table["plate"] = [](uint32_t seed) { return plate(false, seed); };
    table["plate_down"] = [](uint32_t seed) { return plate(true, seed); };
    table["shaft"] = shaft;
}

}  // namespace forge
