// Poses, materials and the shape painter of the item pictures. Shapes are
// shaded as solids: each pixel gets a surface normal, lit by one warm light
// from the upper left and the front, with a specular gleam for shiny
// materials.
#include <algorithm>
#include <cmath>

#include "item_art.h"

namespace item_art {

using namespace forge::paint;

namespace {

constexpr float PI = 3.14159265f;

float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

// The light and the half vector between it and the viewer.
struct light_dirs {
    float lx, ly, lz, hx, hy, hz;
    light_dirs() {
        const float l = std::sqrt(0.45f * 0.45f + 0.55f * 0.55f + 0.7f * 0.7f);
        lx = -0.45f / l, ly = -0.55f / l, lz = 0.7f / l;
        const float h = std::sqrt(lx * lx + ly * ly + (lz + 1) * (lz + 1));
        hx = lx / h, hy = ly / h, hz = (lz + 1) / h;
    }
};
const light_dirs LIGHT;

// Torchlight over a base colour: warm where lit, cool and deep in shadow.
rgb warm(const rgb& base, float light) {
    const rgb tint = mix(rgb{0.58f, 0.58f, 0.74f}, rgb{1.08f, 0.96f, 0.78f}, clamp01(light));
    return {base.r * tint.r * light, base.g * tint.g * light, base.b * tint.b * light};
}

rgb clamped(const rgb& c) {
    return {clamp01(c.r), clamp01(c.g), clamp01(c.b)};
}

bool inside_polygon(const std::vector<float>& xy, float x, float y) {
    bool in = false;
    const size_t n = xy.size() / 2;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

}  // namespace

// ---------------------------------------------------------------- poses

float pose::scale() const {
    return std::sqrt(std::abs(a * d - b * c));
}

pose pose::turned(float degrees, float scale, float tx, float ty) {
    const float r = degrees * PI / 180, co = std::cos(r) * scale, si = std::sin(r) * scale;
    return {co, -si, si, co, tx, ty};
}

pose pose::squashed(float k) const {
    return {a, b, c * k, d * k, tx, ty};
}

// ---------------------------------------------------------------- materials

material metal(const rgb& base, float shine, uint32_t seed) {
    return [base, shine, seed](const surface& s) {
        const float brushed = 0.9f + 0.16f * noise(s.u * 0.06f, s.v * 1.2f, seed, 2);
        // A polished surface mirrors a dark floor below and a bright sky above.
        const float mirror = 0.18f * shine * (s.light - 0.5f);
        rgb c = warm(base * brushed, 0.22f + 0.95f * s.light) + rgb{mirror, mirror, mirror * 1.05f};
        const float g = std::pow(s.highlight, 3.0f) * shine;
        return clamped(c + rgb{1.0f, 0.96f, 0.86f} * g);
    };
}

material leather(const rgb& base, uint32_t seed) {
    return [base, seed](const surface& s) {
        const float pores =
            0.86f + 0.2f * noise(s.x * 0.45f, s.y * 0.45f, seed, 3) + 0.1f * (grain(s.x, s.y, seed) - 0.5f);
        return clamped(warm(base * pores, 0.3f + 0.8f * s.light) +
                       rgb{1, 0.9f, 0.7f} * (0.14f * s.highlight));
    };
}

material wood(const rgb& base, uint32_t seed) {
    return [base, seed](const surface& s) {
        const float rings = 0.78f + 0.4f * noise(s.u * 0.05f, s.v * 0.9f, seed, 3);
        const float knot = 0.04f * (grain(static_cast<int>(s.u * 0.7f), static_cast<int>(s.v), seed) - 0.5f);
        return clamped(warm(base * (rings + knot), 0.3f + 0.8f * s.light) +
                       rgb{1, 0.9f, 0.7f} * (0.08f * s.highlight));
    };
}

material glass(const rgb& tint) {
    return [tint](const surface& s) {
        // Light passes through: the shadow side glows with the liquid's colour.
        const float through = 0.35f + 0.45f * (1 - s.light);
        rgb c = warm(tint, 0.35f + 0.5f * s.light) + tint * through * 0.5f;
        return clamped(c + rgb{1, 1, 1} * (1.2f * std::pow(s.highlight, 4.0f)));
    };
}

material cloth(const rgb& base, uint32_t seed) {
    return [base, seed](const surface& s) {
        const float weave = 0.93f + 0.09f * grain(s.x, s.y, seed) + 0.04f * ((s.x + s.y) % 2);
        const float folds = 0.85f + 0.3f * noise(s.x * 0.12f, s.y * 0.05f, seed, 3);
        return clamped(warm(base * (weave * folds), 0.3f + 0.75f * s.light));
    };
}

material matt(const rgb& base, float mottle, uint32_t seed, float shine) {
    return [base, mottle, seed, shine](const surface& s) {
        const float m = 1 - mottle * 0.5f + mottle * noise(s.x * 0.3f, s.y * 0.3f, seed, 3);
        return clamped(warm(base * m, 0.3f + 0.8f * s.light) + rgb{1, 0.95f, 0.85f} * (shine * s.highlight));
    };
}

// ---------------------------------------------------------------- the painter

void painter::shade_pixel(int px, int py, float coverage, float nx, float ny, float nz, float u, float v,
                          const material& m) {
    if (coverage <= 0) return;
    const float diffuse = std::max(0.0f, nx * LIGHT.lx + ny * LIGHT.ly + nz * LIGHT.lz);
    const float spec = std::pow(std::max(0.0f, nx * LIGHT.hx + ny * LIGHT.hy + nz * LIGHT.hz), 24.0f);
    surface s;
    s.light = clamp01(0.15f + 0.9f * diffuse);
    s.highlight = spec;
    s.u = u, s.v = v, s.x = px, s.y = py;
    c_.blend(px, py, m(s), coverage);
}

void painter::rod(float x0, float y0, float r0, float x1, float y1, float r1, const material& m) {
    const float k = p_.scale();
    const float ax = p_.x(x0, y0), ay = p_.y(x0, y0), bx = p_.x(x1, y1), by = p_.y(x1, y1);
    const float ra = r0 * k, rb = r1 * k;
    const float dx = bx - ax, dy = by - ay, len2 = std::max(1e-4f, dx * dx + dy * dy);
    const float units = std::sqrt((x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0));
    const float rmax = std::max(ra, rb) + 1;
    const int px0 = static_cast<int>(std::floor(std::min(ax, bx) - rmax)),
              px1 = static_cast<int>(std::ceil(std::max(ax, bx) + rmax));
    const int py0 = static_cast<int>(std::floor(std::min(ay, by) - rmax)),
              py1 = static_cast<int>(std::ceil(std::max(ay, by) + rmax));
    for (int py = std::max(0, py0); py <= std::min(c_.height() - 1, py1); ++py)
        for (int px = std::max(0, px0); px <= std::min(c_.width() - 1, px1); ++px) {
            const float x = px + 0.5f, y = py + 0.5f;
            const float t = std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.0f, 1.0f);
            const float qx = ax + t * dx, qy = ay + t * dy, r = std::max(0.3f, ra + (rb - ra) * t);
            const float ex = x - qx, ey = y - qy, dist = std::sqrt(ex * ex + ey * ey);
            const float cover = std::clamp(r - dist + 0.5f, 0.0f, 1.0f);
            if (cover <= 0) continue;
            float nx = ex / r, ny = ey / r;
            const float n2 = nx * nx + ny * ny;
            if (n2 > 0.98f) nx *= 0.99f / std::sqrt(n2), ny *= 0.99f / std::sqrt(n2);
            const float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
            const float side = (ex * dy - ey * dx) >= 0 ? 1.0f : -1.0f;
            shade_pixel(px, py, cover, nx, ny, nz, t * units, side * dist / k, m);
        }
}

void painter::plate(const std::vector<float>& xy, float rx0, float ry0, float rx1, float ry1,
                    const material& m, float bevel) {
    std::vector<float> poly(xy.size());
    float minx = 1e9f, miny = 1e9f, maxx = -1e9f, maxy = -1e9f;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        poly[i] = p_.x(xy[i], xy[i + 1]), poly[i + 1] = p_.y(xy[i], xy[i + 1]);
        minx = std::min(minx, poly[i]), maxx = std::max(maxx, poly[i]);
        miny = std::min(miny, poly[i + 1]), maxy = std::max(maxy, poly[i + 1]);
    }
    const float k = p_.scale();
    const float ax = p_.x(rx0, ry0), ay = p_.y(rx0, ry0), bx = p_.x(rx1, ry1), by = p_.y(rx1, ry1);
    float dx = bx - ax, dy = by - ay;
    const float len = std::sqrt(dx * dx + dy * dy);
    const bool ridged = len > 1e-3f;
    if (ridged) dx /= len, dy /= len;
    const float nz_side = std::sqrt(1 - bevel * bevel);
    for (int py = std::max(0, static_cast<int>(miny) - 1);
         py <= std::min(c_.height() - 1, static_cast<int>(maxy) + 1); ++py)
        for (int px = std::max(0, static_cast<int>(minx) - 1);
             px <= std::min(c_.width() - 1, static_cast<int>(maxx) + 1); ++px) {
            const float cover =
                coverage(px, py, [&](float x, float y) { return inside_polygon(poly, x, y); });
            if (cover <= 0) continue;
            const float x = px + 0.5f, y = py + 0.5f;
            if (!ridged) {
                shade_pixel(px, py, cover, 0.0f, 0.0f, 1.0f, (x - poly[0]) / k, (y - poly[1]) / k, m);
                continue;
            }
            const float along = (x - ax) * dx + (y - ay) * dy, across = (x - ax) * dy - (y - ay) * dx;
            const float side = across >= 0 ? 1.0f : -1.0f;
            // Each face slopes away from the ridge; a soft crease along it.
            const float t = std::clamp(std::abs(across) / 1.5f, 0.0f, 1.0f), b = bevel * t;
            shade_pixel(px, py, cover, side * dy * b, -side * dx * b, t < 1 ? std::sqrt(1 - b * b) : nz_side,
                        along / k, across / k, m);
        }
}

void painter::wrap(const std::vector<float>& xy, float cx, float hw, const material& m) {
    std::vector<float> poly(xy.size());
    float minx = 1e9f, miny = 1e9f, maxx = -1e9f, maxy = -1e9f;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        poly[i] = p_.x(xy[i], xy[i + 1]), poly[i + 1] = p_.y(xy[i], xy[i + 1]);
        minx = std::min(minx, poly[i]), maxx = std::max(maxx, poly[i]);
        miny = std::min(miny, poly[i + 1]), maxy = std::max(maxy, poly[i + 1]);
    }
    const float ccx = p_.x(cx, 0) - p_.x(0, 0) + p_.tx, k = p_.scale();
    for (int py = std::max(0, static_cast<int>(miny) - 1);
         py <= std::min(c_.height() - 1, static_cast<int>(maxy) + 1); ++py)
        for (int px = std::max(0, static_cast<int>(minx) - 1);
             px <= std::min(c_.width() - 1, static_cast<int>(maxx) + 1); ++px) {
            const float cover =
                coverage(px, py, [&](float x, float y) { return inside_polygon(poly, x, y); });
            if (cover <= 0) continue;
            const float nx = std::clamp((px + 0.5f - ccx) / (hw * k), -1.0f, 1.0f) * 0.88f;
            shade_pixel(px, py, cover, nx, 0.0f, std::sqrt(1 - nx * nx), (py + 0.5f) / k,
                        (px + 0.5f - ccx) / k, m);
        }
}

void painter::dome(float cx, float cy, float rx, float ry, const material& m, float depth) {
    const float det = p_.a * p_.d - p_.b * p_.c;
    if (std::abs(det) < 1e-6f) return;
    const float k = p_.scale();
    const float ccx = p_.x(cx, cy), ccy = p_.y(cx, cy),
                reach = std::max(rx, ry) * std::max(1.0f, k * 1.5f) + 2;
    const float rpx = std::min(rx, ry) * k;
    for (int py = std::max(0, static_cast<int>(ccy - reach));
         py <= std::min(c_.height() - 1, static_cast<int>(ccy + reach)); ++py)
        for (int px = std::max(0, static_cast<int>(ccx - reach));
             px <= std::min(c_.width() - 1, static_cast<int>(ccx + reach)); ++px) {
            const float X = px + 0.5f - p_.tx, Y = py + 0.5f - p_.ty;
            const float lx = (p_.d * X - p_.b * Y) / det, ly = (-p_.c * X + p_.a * Y) / det;
            const float ex = (lx - cx) / rx, ey = (ly - cy) / ry, q = std::sqrt(ex * ex + ey * ey);
            const float cover = std::clamp((1 - q) * rpx + 0.5f, 0.0f, 1.0f);
            if (cover <= 0) continue;
            // The normal's direction on the canvas, tilted by how far out the pixel lies.
            float nx = p_.a * ex + p_.b * ey, ny = p_.c * ex + p_.d * ey;
            const float nl = std::sqrt(nx * nx + ny * ny);
            const float tilt = std::min(0.97f, q) * depth;
            if (nl > 1e-6f) nx = nx / nl * tilt, ny = ny / nl * tilt;
            shade_pixel(px, py, cover, nx, ny, std::sqrt(std::max(0.0f, 1 - tilt * tilt)), lx - cx, ly - cy,
                        m);
        }
}

void painter::line(float x0, float y0, float x1, float y1, float width, const rgb& colour, float opacity) {
    const float k = p_.scale();
    const float ax = p_.x(x0, y0), ay = p_.y(x0, y0), bx = p_.x(x1, y1), by = p_.y(x1, y1);
    const float w = std::max(0.6f, width * k) * 0.5f;
    const float dx = bx - ax, dy = by - ay, len2 = std::max(1e-4f, dx * dx + dy * dy);
    for (int py = std::max(0, static_cast<int>(std::min(ay, by) - w - 1));
         py <= std::min(c_.height() - 1, static_cast<int>(std::max(ay, by) + w + 1)); ++py)
        for (int px = std::max(0, static_cast<int>(std::min(ax, bx) - w - 1));
             px <= std::min(c_.width() - 1, static_cast<int>(std::max(ax, bx) + w + 1)); ++px) {
            const float x = px + 0.5f, y = py + 0.5f;
            const float t = std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.0f, 1.0f);
            const float ex = x - ax - t * dx, ey = y - ay - t * dy;
            const float cover = std::clamp(w - std::sqrt(ex * ex + ey * ey) + 0.5f, 0.0f, 1.0f) * opacity;
            // Lines mark what is already painted; they never widen the shape.
            if (cover > 0 && c_.alpha(px, py) >= 0.5f) c_.blend(px, py, colour, cover);
        }
}

void painter::gleam(float x, float y, float size) {
    const float cx = p_.x(x, y), cy = p_.y(x, y), r = std::max(1.0f, size * p_.scale());
    for (int py = static_cast<int>(cy - r - 1); py <= static_cast<int>(cy + r + 1); ++py)
        for (int px = static_cast<int>(cx - r - 1); px <= static_cast<int>(cx + r + 1); ++px) {
            if (!c_.inside(px, py) || c_.alpha(px, py) < 0.5f) continue;
            const float dx = std::abs(px + 0.5f - cx), dy = std::abs(py + 0.5f - cy);
            // A bright core with two short rays.
            const float star =
                std::max({1 - std::hypot(dx, dy) / (0.55f * r), (1 - dx / r) * (dy < 0.7f ? 1.0f : 0.0f),
                          (1 - dy / r) * (dx < 0.7f ? 1.0f : 0.0f)});
            if (star > 0) c_.blend(px, py, rgb{1, 1, 0.95f}, clamp01(star * 1.2f));
        }
}

void outline(canvas& c, float k) {
    const canvas painted = c;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            if (painted.alpha(x, y) < 0.5f) continue;
            const auto clear = [&](int i, int j) {
                return !painted.inside(i, j) || painted.alpha(i, j) < 0.5f;
            };
            if (clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1))
                c.set(x, y, painted.get(x, y) * k);
        }
}

}  // namespace item_art
