// Scroll bars and the resize grip.
#include <algorithm>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "ui/toolkit.h"
#include "ui/toolkit_internal.h"

namespace {
struct scroll_block : object_private {
    bool vertical = true;
    int minimum = 0, maximum = 0, span = 1;
    uint16_t trough = 0;
};

scroll_block* scroll_of(ui_object* object) {
    return object ? dynamic_cast<scroll_block*>(object->private_block.get()) : nullptr;
}

int track_length(const ui_object* object, const scroll_block& bar) {
    return bar.vertical ? object->h : object->w;
}

// The thumb's length: proportional to the visible span, at least 2 pixels.
int thumb_length(const ui_object* object, const scroll_block& bar) {
    const int track = track_length(object, bar);
    const int64_t total = static_cast<int64_t>(bar.maximum) - bar.minimum + bar.span;
    int length = total > 0 ? static_cast<int>(static_cast<int64_t>(track) * bar.span / total) : track;
    return std::clamp(length, std::min(2, track), std::max(track, 0));
}

int thumb_offset(const ui_object* object, const scroll_block& bar) {
    const int room = track_length(object, bar) - thumb_length(object, bar);
    const int64_t range = static_cast<int64_t>(bar.maximum) - bar.minimum;
    if (room <= 0 || range <= 0) return 0;
    const int64_t pos = std::clamp<int64_t>(value_int(object), bar.minimum, bar.maximum) - bar.minimum;
    return static_cast<int>(pos * room / range);
}

void scroll_init(ui_object* object, event_msg& args, bool vertical) {
    auto block = std::make_unique<scroll_block>();
    block->vertical = vertical;
    block->minimum = args.next_int();
    block->maximum = std::max(args.next_int(), block->minimum);
    block->span = std::max(args.next_int(), 0);
    block->trough = static_cast<uint16_t>(args.next_int());
    set_value_int(object, block->minimum);
    object->private_block = std::move(block);
}

void vscroll_init(ui_object* object, event_msg& args) {
    scroll_init(object, args, true);
}
void hscroll_init(ui_object* object, event_msg& args) {
    scroll_init(object, args, false);
}

void scroll_draw(int x1, int y1, int x2, int y2, ui_object* object) {
    const scroll_block& bar = *scroll_of(object);
    const uint16_t colour = object->colour;
    draw_colour = bar.trough;
    fill_rect(x1, y1, x2, y2);
    const int offset = thumb_offset(object, bar), length = thumb_length(object, bar);
    int tx1 = x1, ty1 = y1, tx2 = x2, ty2 = y2;
    if (bar.vertical) {
        ty1 = y1 + offset;
        ty2 = ty1 + length;
    } else {
        tx1 = x1 + offset;
        tx2 = tx1 + length;
    }
    draw_colour = colour;
    fill_rect(tx1, ty1, tx2, ty2);
    frame_style frame;
    derive_frame_colours(frame, colour);
    frame.rings = 2;
    frame.sunken = 0;
    if (tx2 - tx1 >= 4 && ty2 - ty1 >= 4) draw_frame(tx1 + 2, ty1 + 2, tx2 - tx1 - 4, ty2 - ty1 - 4, frame);
    draw_colour = colour;
}

void scroll_event(event_msg& msg, ui_object* object) {
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse || !mouse->left) return;
    if (mouse->events & MOUSE_EV_LEFT_DOWN) mouse_capture = object;
    const scroll_block& bar = *scroll_of(object);
    int sx = 0, sy = 0;
    if (ui_window* window = object_window(object)) object_screen_position(window, object, sx, sy);
    const int length = thumb_length(object, bar);
    const int room = track_length(object, bar) - length;
    const int along = (bar.vertical ? mouse->y - sy : mouse->x - sx) - length / 2;
    int position = bar.minimum;
    // A thumb that fills the whole track leaves nothing to divide by.
    if (room > 0) {
        const int64_t range = static_cast<int64_t>(bar.maximum) - bar.minimum;
        position = static_cast<int>(bar.minimum + (static_cast<int64_t>(along) * range + room / 2) / room);
    }
    position = std::clamp(position, bar.minimum, bar.maximum);
    if (position == value_int(object)) return;
    set_value_int(object, position);
    redraw_object(object);
    ui_action_flag = 1;
}

struct grip_block : object_private {
    bool dragging = false;
    int start_x = 0, start_y = 0;  // mouse at the press
    int start_w = 0, start_h = 0;  // window size at the press
};

void grip_init(ui_object* object, event_msg&) {
    object->private_block = std::make_unique<grip_block>();
}

void grip_draw(int x1, int y1, int x2, int y2, ui_object* object) {
    frame_style frame;
    derive_frame_colours(frame, object->colour);
    const int size = std::min(x2 - x1, y2 - y1);
    for (int d = 2; d < size; d += 4) {
        draw_colour = frame.colour_a;
        draw_line(x2 - d, y2, x2, y2 - d);
        draw_colour = frame.colour_b;
        draw_line(x2 - d + 1, y2, x2, y2 - d + 1);
    }
    draw_colour = object->colour;
}

void grip_event(event_msg& msg, ui_object* object) {
    auto* grip = object->private_as<grip_block>();
    ui_window* window = object_window(object);
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse || !window) return;
    if (!mouse->left) {
        grip->dragging = false;
        return;
    }
    if (mouse->events & MOUSE_EV_LEFT_DOWN) {
        mouse_capture = object;
        *grip = grip_block{};
        grip->dragging = true;
        grip->start_x = mouse->x;
        grip->start_y = mouse->y;
        grip->start_w = window->w;
        grip->start_h = window->h;
        return;
    }
    if (!grip->dragging) return;
    const int border = window->border();
    const int max_w = SCREEN_WIDTH - border - window->x - 1, max_h = SCREEN_HEIGHT - border - window->y - 1;
    const int w =
        std::clamp(grip->start_w + mouse->x - grip->start_x, std::min<int>(window->min_w, max_w), max_w);
    const int h =
        std::clamp(grip->start_h + mouse->y - grip->start_y, std::min<int>(window->min_h, max_h), max_h);
    const int dw = w - window->w, dh = h - window->h;
    if (dw == 0 && dh == 0) return;
    window->w = static_cast<int16_t>(w);
    window->h = static_cast<int16_t>(h);
    for (ui_object* o = window->objects; o; o = o->next) {
        if (o->grows_with_width) o->w = static_cast<int16_t>(std::max(o->w + dw, 0));
        if (o->grows_with_height) o->h = static_cast<int16_t>(std::max(o->h + dh, 0));
    }
    if (window == top_window) redraw_window();
}
}  // namespace

void ui_vscroll(ui_object* object) {
    object->value_length = 4;
    object->init = vscroll_init;
    object->draw = scroll_draw;
    object->event = scroll_event;
}

void ui_hscroll(ui_object* object) {
    object->value_length = 4;
    object->init = hscroll_init;
    object->draw = scroll_draw;
    object->event = scroll_event;
}

void ui_resize_grip(ui_object* object) {
    object->init = grip_init;
    object->draw = grip_draw;
    object->event = grip_event;
}

void step_scroll_bar(ui_object* bar, int step) {
    scroll_block* block = scroll_of(bar);
    if (!block) return;
    const int64_t position = static_cast<int64_t>(value_int(bar)) + step;
    const int next = static_cast<int>(std::clamp<int64_t>(position, block->minimum, block->maximum));
    if (next == value_int(bar)) return;
    set_value_int(bar, next);
    redraw_object(bar);
}
