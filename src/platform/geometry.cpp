#include "platform/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gfx/screen.h"

viewport compute_viewport(int window_w, int window_h, int aspect_w, int aspect_h) {
    viewport vp{0, 0, std::max(window_w, 0), std::max(window_h, 0)};
    if (aspect_w <= 0 || aspect_h <= 0 || window_w <= 0 || window_h <= 0) return vp;
    const int64_t target_w = int64_t{aspect_w} * window_h / aspect_h;
    if (window_w < target_w) {
        vp.w = window_w;
        vp.h = static_cast<int>(int64_t{window_w} * aspect_h / aspect_w);
    } else {
        vp.w = static_cast<int>(target_w);
        vp.h = window_h;
    }
    vp.x = (window_w - vp.w) / 2;
    vp.y = (window_h - vp.h) / 2;
    return vp;
}

void logical_to_window(const viewport& vp, int x, int y, int& out_x, int& out_y) {
    out_x = static_cast<int>(int64_t{x} * vp.w / SCREEN_WIDTH) + vp.x;
    out_y = static_cast<int>(int64_t{y} * vp.h / SCREEN_HEIGHT) + vp.y;
}

void window_to_logical(const viewport& vp, int x, int y, int& out_x, int& out_y) {
    if (vp.w <= 0 || vp.h <= 0) {
        out_x = out_y = 0;
        return;
    }
    const int64_t lx = int64_t{x - vp.x} * SCREEN_WIDTH / vp.w;
    const int64_t ly = int64_t{y - vp.y} * SCREEN_HEIGHT / vp.h;
    out_x = static_cast<int>(std::clamp<int64_t>(lx, 0, SCREEN_WIDTH - 1));
    out_y = static_cast<int>(std::clamp<int64_t>(ly, 0, SCREEN_HEIGHT - 1));
}

display_rect map_rect(const viewport& vp, const display_rect& r) {
    int x1, y1, x2, y2;
    logical_to_window(vp, r.x, r.y, x1, y1);
    logical_to_window(vp, r.x + r.w, r.y + r.h, x2, y2);
    return {x1, y1, x2 - x1, y2 - y1};
}

display_rect lerp_rect(const display_rect& a, const display_rect& b, float t) {
    auto mix = [t](int32_t from, int32_t to) {
        return from + static_cast<int32_t>(std::lround(static_cast<float>(to - from) * t));
    };
    return {mix(a.x, b.x), mix(a.y, b.y), mix(a.w, b.w), mix(a.h, b.h)};
}

zoom_rects make_zoom_transition(int view_y, int left, int top, int right, int bottom, float t) {
    zoom_rects z;
    z.r1 = {0, view_y, SCREEN_WIDTH, 360};
    z.r2 = z.r1;
    z.r3 = {left, view_y + top, right - left, bottom - view_y - top};
    z.t = std::clamp(t, -1.0f, 1.0f);
    return z;
}

std::optional<std::array<display_rect, 4>> make_turn_transition(int view_y, int m, float t) {
    t = std::clamp(t, -1.0f, 1.0f);
    if (t == 0) return std::nullopt;
    display_rect s1{0, view_y, SCREEN_WIDTH, 360}, s2 = s1;
    if (t > 0) s2.x = m;
    if (t < 0) s1.x = m;
    s1.w -= m;
    s2.w -= m;
    display_rect d1 = s1, d2 = s2;
    const float at = std::fabs(t);
    const int d = m + static_cast<int>(std::lround(static_cast<float>(SCREEN_WIDTH - 2 * m) * at));
    if (t > 0) {
        d2.x = SCREEN_WIDTH - d;
        d1.x = SCREEN_WIDTH - d - d1.w;
    } else {
        d2.x = d - d1.w;
        d1.x = d;
    }
    auto clip = [](display_rect& dst, display_rect& src) {
        if (dst.x < 0) {
            src.x -= (2 * dst.x) / 3;
            src.w += (2 * dst.x) / 3;
            dst.w += dst.x;
            dst.x = 0;
        }
        const int e = SCREEN_WIDTH - dst.x - dst.w;
        if (e < 0) {
            dst.w += e;
            src.w += (2 * e) / 3;
        }
    };
    clip(d1, s1);
    clip(d2, s2);
    const int f = static_cast<int>(static_cast<float>(s2.w) / (1.0f + 2.0f * at));
    if (t < 0) s2.x += f;
    s2.w -= f;
    return std::array<display_rect, 4>{s1, d1, s2, d2};
}

std::array<display_rect, 4> make_shake(int dx, int dy) {
    return {display_rect{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT},
            display_rect{dx, dy, SCREEN_WIDTH, SCREEN_HEIGHT}, display_rect{}, display_rect{}};
}

int effective_crt_mode(int mode, int viewport_h) {
    if (viewport_h < 720 || mode == CRT_NONE) return CRT_NONE;
    if (mode == CRT_AUTO) return viewport_h < 1200 ? CRT_SCANLINES : CRT_SCANLINES_2;
    return mode;
}

namespace {
constexpr uint32_t rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return (r << 24) | (g << 16) | (b << 8) | a;
}
}  // namespace

crt_pattern make_crt_pattern(int mode, int vw, int vh) {
    crt_pattern p;
    if (mode < CRT_SCANLINES || mode > CRT_RGBMATRIX_3 || vw <= 0 || vh <= 0) return p;
    const int k = mode == CRT_SCANLINES ? 2 : mode == CRT_RGBMATRIX_3 ? 4 : 3;
    p.height = vh * k / std::max((vh + 240) / 480, k);
    p.width = mode <= CRT_SCANLINES_2 ? 32 : vw * k / std::max((vh + 320) / 640, k);
    if (p.width <= 0 || p.height <= 0) return crt_pattern{};
    // Pixels the pattern leaves unwritten stay white: no change under the modulate blend.
    p.rgba.assign(static_cast<size_t>(p.width) * p.height, rgba(255, 255, 255, 255));
    for (int row = 0; row < p.height; ++row) {
        uint32_t* line = &p.rgba[static_cast<size_t>(row) * p.width];
        if (mode == CRT_SCANLINES || mode == CRT_SCANLINES_2) {
            uint32_t colour;
            if (mode == CRT_SCANLINES)
                colour = row % 2 == 0 ? rgba(160, 160, 160, 255) : rgba(255, 255, 255, 192);
            else
                colour = row % 3 == 2 ? rgba(128, 128, 128, 255) : rgba(255, 255, 255, 224);
            std::fill(line, line + p.width, colour);
            continue;
        }
        if (row < 2) continue;
        const bool dark = mode == CRT_RGBMATRIX_2 ? row % 3 == 2 : row % 4 == 3;
        for (int col = 0; col + 3 <= p.width; col += 3) {
            if (dark) {
                line[col] = line[col + 1] = line[col + 2] = rgba(0, 0, 0, 160);
            } else {
                line[col] = rgba(255, 128, 128, 160);
                line[col + 1] = rgba(128, 255, 128, 160);
                line[col + 2] = rgba(128, 128, 255, 160);
            }
        }
    }
    return p;
}
