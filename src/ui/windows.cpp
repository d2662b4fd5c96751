// The window stack: creating, opening, selecting, drawing and closing windows.
#include <algorithm>

#include "core/events_cursor.h"
#include "gfx/draw.h"
#include "gfx/screen.h"
#include "ui/toolkit.h"
#include "ui/toolkit_internal.h"

ui_window* first_window = nullptr;
ui_window* top_window = nullptr;
ui_object* focused_object = nullptr;
ui_object* last_object = nullptr;

namespace {
uint32_t next_window_id = 0;

ui_window* window_below(const ui_window* window) {
    for (ui_window* w = first_window; w; w = w->next)
        if (w->next == window) return w;
    return nullptr;
}

bool in_stack(const ui_window* window) {
    for (ui_window* w = first_window; w; w = w->next)
        if (w == window) return true;
    return false;
}

void unlink_window(ui_window* window) {
    if (first_window == window) {
        first_window = window->next;
    } else if (ui_window* below = window_below(window)) {
        below->next = window->next;
    }
    if (top_window == window) top_window = window_below(nullptr);
    window->next = nullptr;
}

void link_on_top(ui_window* window) {
    window->next = nullptr;
    if (top_window) {
        top_window->next = window;
    } else {
        first_window = window;
    }
    top_window = window;
}

ui_object* last_of(ui_window* window) {
    ui_object* last = window->objects;
    while (last && last->next) last = last->next;
    return last;
}

void free_window(ui_window* window) {
    ui_object* object = window->objects;
    while (object) {
        ui_object* next = object->next;
        object->destroy(object);
        if (focused_object == object) focused_object = nullptr;
        if (mouse_capture == object) mouse_capture = nullptr;
        if (last_object == object) last_object = nullptr;
        delete object;
        object = next;
    }
    delete window;
}

// Presents a rectangle widened by a border; an empty one presents nothing
// (present_rect would take a width of 0 for the whole screen).
void present_with_border(int x, int y, int w, int h, int border) {
    if (w <= 0 || h <= 0) return;
    present_rect(x - border, y - border, w + 2 * border, h + 2 * border);
}
}  // namespace

void default_window_draw(ui_window* window) {
    draw_colour = window->background;
    if (window->w > 0 && window->h > 0)
        fill_rect(window->x, window->y, window->x + window->w, window->y + window->h);
    draw_frame(window->x, window->y, window->w, window->h, window->frame);
}

void clamp_window(ui_window* window) {
    const int border = window->border();
    // A window larger than the screen is cut so that it fits with its border.
    const int max_w = std::max(0, SCREEN_WIDTH - 2 * border - 1);
    const int max_h = std::max(0, SCREEN_HEIGHT - 2 * border - 1);
    if (window->w > max_w) window->w = static_cast<int16_t>(max_w);
    if (window->h > max_h) window->h = static_cast<int16_t>(max_h);
    if (window->w < 0) window->w = 0;
    if (window->h < 0) window->h = 0;
    if (window->x <= border) window->x = static_cast<int16_t>(border);
    if (window->x >= SCREEN_WIDTH - border - window->w)
        window->x = static_cast<int16_t>(SCREEN_WIDTH - border - window->w - 1);
    if (window->y <= border) window->y = static_cast<int16_t>(border);
    if (window->y >= SCREEN_HEIGHT - border - window->h)
        window->y = static_cast<int16_t>(SCREEN_HEIGHT - border - window->h - 1);
}

ui_window* create_window(int x, int y, int w, int h, uint16_t background, const frame_style& frame) {
    auto* window = new ui_window;
    window->x = static_cast<int16_t>(std::clamp(x, -32768, 32767));
    window->y = static_cast<int16_t>(std::clamp(y, -32768, 32767));
    window->w = static_cast<int16_t>(std::clamp(w, 0, 32767));
    window->h = static_cast<int16_t>(std::clamp(h, 0, 32767));
    window->background = background;
    window->frame = frame;
    clamp_window(window);
    return window;
}

uint32_t open_window(ui_window* window) {
    if (!window || in_stack(window)) return window ? window->id : 0;
    window->id = next_window_id++;
    if (top_window && focused_object) {
        ui_object* object = focused_object;
        object->focus_lost();
        send_to_object(object, UI_EV_FOCUS_OUT);
    }
    link_on_top(window);
    focused_object = nullptr;
    last_object = nullptr;
    return window->id;
}

ui_window* find_window(uint32_t id) {
    for (ui_window* w = first_window; w; w = w->next)
        if (w->id == id) return w;
    return nullptr;
}

void select_window(uint32_t id) {
    if (!top_window || top_window->id == id) return;
    if (top_window->modal) return;
    if (release_focus() != 0) return;
    ui_window* window = find_window(id);
    if (!window) return;
    unlink_window(window);
    link_on_top(window);
    last_object = last_of(window);
    focused_object = nullptr;
}

void set_modal() {
    if (top_window) top_window->modal = 1;
}

void redraw_window() {
    ui_window* window = top_window;
    if (!window) return;
    hide_cursor();
    window->draw(window);
    for (ui_object* object = window->objects; object; object = object->next)
        draw_object(window, object, false);
    show_cursor();
    present_with_border(window->x, window->y, window->w, window->h, window->border());
}

int close_window(ui_window* window) {
    if (!window) return 0;
    if (!in_stack(window)) {
        // Created but never opened: nothing in the stack refers to it.
        free_window(window);
        return 0;
    }
    if (window == top_window) {
        if (release_focus() != 0) return -1;
        if (ui_window* below = window_below(window)) {
            window->modal = 0;
            select_window(below->id);
        }
    }
    unlink_window(window);
    // Whatever pointed into the window goes with it.
    if (focused_object && object_window(focused_object) == window) focused_object = nullptr;
    if (last_object && object_window(last_object) == window)
        last_object = top_window ? last_of(top_window) : nullptr;
    free_window(window);
    if (!top_window) {
        first_window = nullptr;
        focused_object = nullptr;
        last_object = nullptr;
        stop_flag = 1;
    }
    return 0;
}

int close_top_window() {
    return close_window(top_window);
}

void reset_toolkit() {
    uninstall_toolkit_handlers();
    free_all_windows();
}

void free_all_windows() {
    while (top_window) {
        ui_window* window = top_window;
        unlink_window(window);
        free_window(window);
    }
    first_window = top_window = nullptr;
    focused_object = last_object = nullptr;
    next_window_id = 0;
    reset_dispatcher_state();
}

void object_screen_position(const ui_window* window, const ui_object* object, int& sx, int& sy) {
    const bool from_right = object->alignment == ALIGN_TOP_RIGHT || object->alignment == ALIGN_BOTTOM_RIGHT;
    const bool from_bottom =
        object->alignment == ALIGN_BOTTOM_RIGHT || object->alignment == ALIGN_BOTTOM_LEFT;
    sx = from_right ? window->x + window->w - object->x - object->w : window->x + object->x;
    sy = from_bottom ? window->y + window->h - object->y - object->h : window->y + object->y;
}

void draw_object(ui_window* window, ui_object* object, bool present) {
    if (!window || !object || object->drawing) return;
    object->drawing = 1;
    int sx = 0, sy = 0;
    object_screen_position(window, object, sx, sy);
    object->screen_x = static_cast<int16_t>(sx);
    object->screen_y = static_cast<int16_t>(sy);
    hide_cursor();
    if (object->w > 0 && object->h > 0) {
        draw_frame(sx, sy, object->w, object->h, object->frame);
        draw_colour = object->colour;
        // The object's font becomes current; the defaults for new objects stay.
        const font_settings defaults = window_font_defaults;
        apply_font_settings(object->font);
        window_font_defaults = defaults;
        set_text_position(sx, sy);
        object->draw(sx, sy, sx + object->w, sy + object->h, object);
    }
    if (!object->enabled) {
        const uint16_t c = object->colour;
        const int x1 = std::max(sx, 0), y1 = std::max(sy, 0);
        const int x2 = std::min(sx + object->w, SCREEN_WIDTH - 1),
                  y2 = std::min(sy + object->h, SCREEN_HEIGHT - 1);
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x) {
                uint16_t* p = pixel_address(x, y);
                *p = blend50(c, blend50(*p, c));
            }
    }
    show_cursor();
    if (present) present_with_border(sx, sy, object->w, object->h, window->border());
    object->drawing = 0;
}

void redraw_object(ui_object* object) {
    if (!object || !top_window) return;
    // Only an object of the top window is drawn against it.
    if (object_window(object) != top_window) return;
    draw_object(top_window, object, true);
}

ui_window* object_window(const ui_object* object) {
    for (ui_window* w = first_window; w; w = w->next)
        for (ui_object* o = w->objects; o; o = o->next)
            if (o == object) return w;
    return nullptr;
}
