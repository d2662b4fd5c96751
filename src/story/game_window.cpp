#include "story/game_window.h"

#include <cstdlib>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "story/story_pictures.h"
#include "ui/toolkit.h"

ui_window* game_window_open(int x, int y, int w, int h, handle_id texture, int rings, int tile_x,
                            int tile_y) {
    frame_style look;
    look.colour_a = static_cast<uint16_t>(tile_x);
    look.colour_b = static_cast<uint16_t>(tile_y);
    look.rings = static_cast<uint16_t>(std::abs(rings));
    look.sunken = rings < 0 ? 0xFFFF : 0;
    ui_window* window = create_window(x, y, w & ~1, h, texture, look);
    if (!window) return nullptr;
    open_window(window);
    // Modal: a click beside the window never brings a window under it to the top.
    set_modal();
    window->draw = game_window_draw;
    return window;
}

void game_window_draw(ui_window* window) {
    if (!window) return;
    const int x = window->x, y = window->y, w = window->w, h = window->h;
    const int face_w = w - GAME_WINDOW_SHADOW, face_h = h - GAME_WINDOW_SHADOW;
    if (face_w <= 0 || face_h <= 0) return;
    const picture* texture = window_picture(window->background);
    tile_picture(x, y, face_w, face_h, static_cast<int16_t>(window->frame.colour_a),
                 static_cast<int16_t>(window->frame.colour_b), texture);
    const uint16_t saved_colour = draw_colour;
    for (int n = window->frame.rings - 1; n >= 0; --n) {
        const bool sunken = n < 16 && (window->frame.sunken >> n) & 1;
        const int left = x + n, top = y + n, right = x + face_w - 1 - n, bottom = y + face_h - 1 - n;
        if (left > right || top > bottom) continue;
        draw_colour = sunken ? 0 : 0x7FFF;
        draw_hline(left, top, right);
        draw_vline(left, top, bottom);
        draw_colour = sunken ? 0x7FFF : 0;
        draw_hline(left, bottom, right);
        draw_vline(right, top, bottom);
    }
    draw_colour = saved_colour;
    blend_rect(x + GAME_WINDOW_SHADOW, y + h - GAME_WINDOW_SHADOW, w - GAME_WINDOW_SHADOW, GAME_WINDOW_SHADOW,
               0);
    blend_rect(x + w - GAME_WINDOW_SHADOW, y + GAME_WINDOW_SHADOW, GAME_WINDOW_SHADOW,
               h - 2 * GAME_WINDOW_SHADOW, 0);
}
