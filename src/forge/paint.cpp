// Painting helpers for the interface pictures.
#include "forge/paint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>

namespace forge::paint {

namespace {

uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343U ^ static_cast<uint32_t>(y) * 0xd8163841U ^
                 (seed * 0xcb1ab31fU + 0x9e3779b9U);
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

float value_noise(float x, float y, uint32_t seed) {
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    const float fx = x - xi, fy = y - yi;
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = grain(xi, yi, seed), b = grain(xi + 1, yi, seed);
    const float c = grain(xi, yi + 1, seed), d = grain(xi + 1, yi + 1, seed);
    const float top = a + (b - a) * sx, bottom = c + (d - c) * sx;
    return top + (bottom - top) * sy;
}

float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

}  // namespace

rgb mix(const rgb& a, const rgb& b, float t) {
    return a * (1 - t) + b * t;
}

canvas::canvas(int width, int height)
    : w_(width), h_(height), colour_(static_cast<size_t>(width) * height), alpha_(colour_.size(), 0.0f) {
    if (width <= 0 || height <= 0) throw std::runtime_error("canvas needs a positive size");
}

void canvas::set(int x, int y, const rgb& c) {
    if (!inside(x, y)) return;
    colour_[index(x, y)] = c;
    alpha_[index(x, y)] = 1.0f;
}

void canvas::blend(int x, int y, const rgb& c, float t) {
    if (!inside(x, y) || t <= 0) return;
    t = clamp01(t);
    const size_t i = index(x, y);
    colour_[i] = alpha_[i] <= 0 ? c : mix(colour_[i], c, t);
    alpha_[i] = std::max(alpha_[i], t);
}

void canvas::clear_alpha(int x, int y) {
    if (inside(x, y)) alpha_[index(x, y)] = 0.0f;
}

void canvas::paste(const canvas& other, int x, int y) {
    for (int j = 0; j < other.h_; ++j)
        for (int i = 0; i < other.w_; ++i)
            if (other.alpha(i, j) >= 0.5f) set(x + i, y + j, other.get(i, j));
}

canvas canvas::crop(const rect& r) const {
    canvas out(r.w, r.h);
    for (int j = 0; j < r.h; ++j)
        for (int i = 0; i < r.w; ++i)
            if (inside(r.x + i, r.y + j)) {
                out.colour_[out.index(i, j)] = get(r.x + i, r.y + j);
                out.alpha_[out.index(i, j)] = alpha(r.x + i, r.y + j);
            }
    return out;
}

float grain(int x, int y, uint32_t seed) {
    return (hash(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

float noise(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, amplitude = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i, x *= 2.03f, y *= 2.03f, amplitude *= 0.5f) {
        sum += value_noise(x, y, seed + 101u * i) * amplitude;
        total += amplitude;
    }
    return sum / total;
}

rgb bronze(int x, int y, uint32_t seed) {
    // Brushed along the rows, with darker tarnish in patches and a few
    // verdigris flecks.
    const float brushed = noise(x / 40.0f, y / 1.5f, seed, 3);
    const float tarnish = noise(x / 18.0f, y / 18.0f, seed + 7, 4);
    rgb k = mix(rgb8(118, 80, 38), rgb8(184, 136, 70), brushed);
    k = mix(k, rgb8(72, 50, 28), std::clamp((tarnish - 0.5f) * 2.2f, 0.0f, 0.75f));
    const float green = noise(x / 7.0f, y / 7.0f, seed + 13, 2);
    if (green > 0.76f) k = mix(k, rgb8(74, 112, 88), std::min((green - 0.76f) * 4, 0.35f));
    return k * (0.94f + 0.12f * grain(x, y, seed + 3));
}

rgb slate(int x, int y, uint32_t seed) {
    // Cool grey-blue stone with cloudy layers and fine speckle.
    const float layers = noise(x / 70.0f, y / 14.0f, seed, 4);
    const float cloud = noise(x / 25.0f, y / 25.0f, seed + 5, 3);
    rgb k = mix(rgb8(38, 41, 47), rgb8(66, 70, 76), layers);
    k = mix(k, rgb8(58, 52, 48), cloud * 0.35f);
    const float speck = grain(x, y, seed + 9);
    if (speck > 0.97f) k = k * 1.25f;
    if (speck < 0.02f) k = k * 0.7f;
    return k * (0.95f + 0.1f * grain(x / 2, y / 2, seed + 11));
}

rgb dark_wood(int x, int y, uint32_t seed) {
    const float wave = noise(x / 60.0f, y / 6.0f, seed, 2) * 6;
    const float rings =
        0.5f + 0.5f * std::sin((y + wave * 3) * 1.3f + noise(x / 9.0f, y / 3.0f, seed + 3, 2) * 4);
    rgb k = mix(rgb8(44, 28, 17), rgb8(78, 52, 31),
                rings * 0.6f + 0.4f * noise(x / 30.0f, y / 2.0f, seed + 5, 3));
    return k * (0.93f + 0.14f * grain(x, y, seed + 1));
}

void fill(canvas& c, const rect& r, const std::function<rgb(int, int)>& material) {
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            if (c.inside(x, y)) c.set(x, y, material(x, y));
}

void shade(canvas& c, const rect& r, float k) {
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            if (c.inside(x, y)) c.set(x, y, c.get(x, y) * k);
}

void bevel(canvas& c, const rect& r, int width, float strength, bool raised) {
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            if (!c.inside(x, y)) continue;
            const int left = x - r.x, top = y - r.y, right = r.x + r.w - 1 - x, bottom = r.y + r.h - 1 - y;
            const int near_light = std::min(left, top), near_dark = std::min(right, bottom);
            float k = 0;
            if (near_light < width && near_light <= near_dark)
                k = (width - near_light) / float(width);
            else if (near_dark < width)
                k = -(width - near_dark) / float(width);
            if (!raised) k = -k;
            if (k == 0) continue;
            const rgb p = c.get(x, y);
            c.set(x, y,
                  k > 0 ? mix(p, p * 1.6f + rgb{0.10f, 0.08f, 0.05f}, k * strength)
                        : p * (1 - 0.65f * strength * -k));
        }
}

void bronze_frame(canvas& c, const rect& r, int thickness, uint32_t seed) {
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            const int d = std::min({x - r.x, y - r.y, r.x + r.w - 1 - x, r.y + r.h - 1 - y});
            if (d >= thickness) continue;
            c.set(x, y, bronze(x, y, seed));
        }
    bevel(c, r, std::max(1, thickness / 2), 0.8f, true);
    bevel(c, r.inset(thickness - std::max(1, thickness / 2)), std::max(1, thickness / 2), 0.7f, false);
    // The thin dark outline that separates the band from its neighbours.
    for (int x = r.x; x < r.x + r.w; ++x) {
        c.set(x, r.y, c.get(x, r.y) * 0.35f);
        c.set(x, r.y + r.h - 1, c.get(x, r.y + r.h - 1) * 0.3f);
    }
    for (int y = r.y; y < r.y + r.h; ++y) {
        c.set(r.x, y, c.get(r.x, y) * 0.35f);
        c.set(r.x + r.w - 1, y, c.get(r.x + r.w - 1, y) * 0.3f);
    }
}

void rivet(canvas& c, float cx, float cy, float radius) {
    for (int y = static_cast<int>(cy - radius - 2); y <= cy + radius + 2; ++y)
        for (int x = static_cast<int>(cx - radius - 2); x <= cx + radius + 2; ++x) {
            const float dx = (x + 0.5f - cx) / radius, dy = (y + 0.5f - cy) / radius;
            const float d2 = dx * dx + dy * dy;
            // A soft shadow below and to the right.
            const float sx = dx - 0.35f, sy = dy - 0.35f;
            if (sx * sx + sy * sy < 1.3f && d2 >= 1) c.blend(x, y, c.get(x, y) * 0.45f, 0.7f);
            if (d2 >= 1) continue;
            const float light =
                std::clamp(0.55f - 0.6f * (dx + dy) * 0.7f + 0.3f * std::sqrt(1 - d2), 0.0f, 1.2f);
            rgb k = mix(rgb8(70, 46, 22), rgb8(236, 196, 120), light);
            if (dx * dx * 4 + (dy + 0.35f) * (dy + 0.35f) * 4 < 0.25f) k = mix(k, rgb8(255, 236, 190), 0.6f);
            c.set(x, y, k);
        }
}

void vignette(canvas& c, const rect& r, float strength) {
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            if (!c.inside(x, y)) continue;
            const float u = (x + 0.5f - r.x) / r.w * 2 - 1, v = (y + 0.5f - r.y) / r.h * 2 - 1;
            const float d = std::min(1.0f, (u * u * 0.6f + v * v * 0.4f));
            c.set(x, y, c.get(x, y) * (1 - strength * d));
        }
}

float coverage(int px, int py, const std::function<bool(float, float)>& inside) {
    int hits = 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            if (inside(px + (i + 0.5f) / 4, py + (j + 0.5f) / 4)) ++hits;
    return hits / 16.0f;
}

namespace {

bool in_polygon(const std::vector<float>& xy, float x, float y) {
    bool in = false;
    const size_t n = xy.size() / 2;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

void fill_shape(canvas& c, float x0, float y0, float x1, float y1,
                const std::function<bool(float, float)>& in, const rgb& colour, float opacity) {
    for (int y = static_cast<int>(std::floor(y0)); y <= static_cast<int>(std::ceil(y1)); ++y)
        for (int x = static_cast<int>(std::floor(x0)); x <= static_cast<int>(std::ceil(x1)); ++x) {
            if (!c.inside(x, y)) continue;
            const float t = coverage(x, y, in);
            if (t > 0) c.blend(x, y, colour, t * opacity);
        }
}

}  // namespace

void fill_polygon(canvas& c, const std::vector<float>& xy, const rgb& colour, float opacity) {
    if (xy.size() < 6) return;
    float x0 = xy[0], x1 = xy[0], y0 = xy[1], y1 = xy[1];
    for (size_t i = 0; i < xy.size(); i += 2) {
        x0 = std::min(x0, xy[i]), x1 = std::max(x1, xy[i]);
        y0 = std::min(y0, xy[i + 1]), y1 = std::max(y1, xy[i + 1]);
    }
    fill_shape(
        c, x0, y0, x1, y1, [&](float x, float y) { return in_polygon(xy, x, y); }, colour, opacity);
}

void stroke(canvas& c, float x0, float y0, float x1, float y1, float width, const rgb& colour) {
    const float dx = x1 - x0, dy = y1 - y0, len2 = std::max(dx * dx + dy * dy, 1e-6f);
    const float half = width / 2;
    auto in = [&](float x, float y) {
        const float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0f, 1.0f);
        const float ex = x0 + t * dx - x, ey = y0 + t * dy - y;
        return ex * ex + ey * ey <= half * half;
    };
    fill_shape(c, std::min(x0, x1) - half, std::min(y0, y1) - half, std::max(x0, x1) + half,
               std::max(y0, y1) + half, in, colour, 1.0f);
}

void disc(canvas& c, float cx, float cy, float radius, const rgb& colour, float opacity) {
    auto in = [&](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
    fill_shape(c, cx - radius, cy - radius, cx + radius, cy + radius, in, colour, opacity);
}

namespace {

const std::map<char, std::array<const char*, 7>>& glyphs() {
    static const std::map<char, std::array<const char*, 7>> table = {
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'N', {"#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"}},
        {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
        {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
        {'V', {"#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."}},
        {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
        {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
        {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
        {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
        {'J', {"..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##.."}},
    };
    return table;
}

}  // namespace

void letter(canvas& c, char ch, int x, int y, int scale, const rgb& colour) {
    const auto found = glyphs().find(ch);
    if (found == glyphs().end()) return;
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
            if (found->second[row][col] == '#')
                for (int j = 0; j < scale; ++j)
                    for (int i = 0; i < scale; ++i) c.set(x + col * scale + i, y + row * scale + j, colour);
}

rgba_image to_image(const canvas& c) {
    rgba_image image;
    image.width = c.width();
    image.height = c.height();
    image.rgba.reserve(static_cast<size_t>(c.width()) * c.height() * 4);
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const rgb p = c.get(x, y);
            for (float v : {p.r, p.g, p.b})
                image.rgba.push_back(static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f)));
            image.rgba.push_back(c.alpha(x, y) >= 0.5f ? 255 : 0);
        }
    return image;
}

}  // namespace forge::paint
