#pragma once
// Pure geometry of the display: the letterboxed viewport, the mapping between
// window and logical coordinates, the transition rectangles and the CRT
// overlay pattern. No SDL here, so all of it is testable without a window.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/display.h"

struct viewport {
    int x = 0, y = 0, w = 0, h = 0;
};

// The picture's place in a window of W x H for the aspect a:b. An aspect with a
// zero or negative part, or a degenerate window, fills the whole window.
viewport compute_viewport(int window_w, int window_h, int aspect_w, int aspect_h);

// Logical (640 x 480) to window pixels and back. Window positions outside the
// picture are clamped to the screen; an empty viewport gives 0, 0.
void logical_to_window(const viewport& vp, int x, int y, int& out_x, int& out_y);
void window_to_logical(const viewport& vp, int x, int y, int& out_x, int& out_y);
display_rect map_rect(const viewport& vp, const display_rect& r);  // by its two corners

// a + round((b - a) * t) on each of x, y, w, h.
display_rect lerp_rect(const display_rect& a, const display_rect& b, float t);

struct zoom_rects {
    display_rect r1, r2, r3;
    float t = 0;
};
zoom_rects make_zoom_transition(int view_y, int left, int top, int right, int bottom, float t);
// The four rectangles of a turn (slide) transition, or nothing for t = 0.
std::optional<std::array<display_rect, 4>> make_turn_transition(int view_y, int margin, float t);
std::array<display_rect, 4> make_shake(int dx, int dy);

// CRT overlay: the effective mode for a viewport height (0 = no overlay).
int effective_crt_mode(int mode, int viewport_h);
struct crt_pattern {
    int width = 0, height = 0;
    std::vector<uint32_t> rgba;  // (r << 24) | (g << 16) | (b << 8) | a, row after row
};
// The overlay picture for a viewport; mode as returned by effective_crt_mode.
crt_pattern make_crt_pattern(int mode, int viewport_w, int viewport_h);
