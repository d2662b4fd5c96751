// Choices: the check box and the radio group.
#include <algorithm>
#include <vector>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "ui/toolkit.h"
#include "ui/toolkit_internal.h"

namespace {
constexpr int32_t CHECKED = 0x01;
constexpr int32_t PRESSED = 0x80;
constexpr uint16_t BLACK = 0;

void check_draw(int x1, int y1, int, int y2, ui_object* object) {
    const int side = std::max(y2 - y1 - 2, 0);
    const int bx = x1 + 1, by = y1 + 1;
    const uint16_t colour = object->colour;
    fill_rect(bx, by, bx + side, by + side);
    frame_style frame;
    derive_frame_colours(frame, colour);
    frame.rings = 1;
    frame.sunken = (value_int(object) & PRESSED) ? 1 : 0;
    draw_frame(bx, by, side, side, frame);
    if (value_int(object) & CHECKED) {
        draw_colour = BLACK;
        draw_line(bx + 2, by + 2, bx + side - 2, by + side - 2);
        draw_line(bx + side - 2, by + 2, bx + 2, by + side - 2);
        draw_colour = colour;
    }
    const std::string& caption = caption_of(object);
    set_aligned_position(bx + side + 1 + 5, (y1 + y2) / 2, ALIGN_START, ALIGN_CENTRE, caption);
    draw_text(caption);
}

void check_event(event_msg& msg, ui_object* object) {
    int32_t v = value_int(object);
    if (msg.number == UI_EV_FOCUS_OUT && (v & PRESSED)) {
        set_value_int(object, v & ~PRESSED);
        redraw_object(object);
        return;
    }
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse) return;
    if ((mouse->events & MOUSE_EV_LEFT_DOWN) && mouse->left) {
        set_value_int(object, v | PRESSED);
        redraw_object(object);
    } else if ((mouse->events & MOUSE_EV_LEFT_UP) && (v & PRESSED)) {
        set_value_int(object, (v & ~PRESSED) ^ CHECKED);
        redraw_object(object);
        ui_action_flag = 1;
    }
}

struct radio_block : object_private {
    std::vector<std::string> captions;
};

void radio_init(ui_object* object, event_msg& args) {
    auto block = std::make_unique<radio_block>();
    const int count = std::clamp(args.next_int(), 0, event_msg::max_args - 1);
    for (int i = 0; i < count; ++i) {
        const char* text = args.next_text();
        block->captions.emplace_back(text ? text : "");
    }
    object->private_block = std::move(block);
}

int row_height(const ui_object* object, int count) {
    return count > 0 ? std::max(object->h / count, 1) : 1;
}

// A diamond of the given half diagonal around (cx, cy).
void draw_diamond(int cx, int cy, int r, uint16_t light, uint16_t dark) {
    draw_colour = light;
    draw_line(cx - r, cy, cx, cy - r);
    draw_line(cx, cy - r, cx + r, cy);
    draw_colour = dark;
    draw_line(cx + r, cy, cx, cy + r);
    draw_line(cx, cy + r, cx - r, cy);
}

void radio_draw(int x1, int y1, int, int, ui_object* object) {
    auto* block = object->private_as<radio_block>();
    const int count = static_cast<int>(block->captions.size());
    const int rh = row_height(object, count);
    const int selected = value_int(object);
    const uint16_t colour = object->colour;
    frame_style frame;
    derive_frame_colours(frame, colour);
    const int r = std::max(std::min(rh / 2 - 1, 6), 2);
    for (int i = 0; i < count; ++i) {
        const int cy = y1 + i * rh + rh / 2, cx = x1 + r + 1;
        draw_diamond(cx, cy, r, frame.colour_b, frame.colour_a);
        if (i == selected) {
            draw_colour = BLACK;
            for (int d = 0; d < r - 1; ++d) draw_hline(cx - (r - 2 - d), cy - d, cx + (r - 2 - d));
            for (int d = 1; d < r - 1; ++d) draw_hline(cx - (r - 2 - d), cy + d, cx + (r - 2 - d));
        }
        draw_colour = colour;
        const std::string& caption = block->captions[static_cast<size_t>(i)];
        set_aligned_position(x1 + 2 * r + 6, cy, ALIGN_START, ALIGN_CENTRE, caption);
        draw_text(caption);
    }
}

void radio_event(event_msg& msg, ui_object* object) {
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse || !(mouse->events & MOUSE_EV_LEFT_DOWN) || !mouse->left) return;
    auto* block = object->private_as<radio_block>();
    const int count = static_cast<int>(block->captions.size());
    if (count == 0) return;
    int sx = 0, sy = 0;
    if (ui_window* window = object_window(object)) object_screen_position(window, object, sx, sy);
    const int row = std::clamp((mouse->y - sy) / row_height(object, count), 0, count - 1);
    set_value_int(object, row);
    redraw_object(object);
    ui_action_flag = 1;
}
}  // namespace

void ui_check_box(ui_object* object) {
    object->value_length = 4;
    object->init = keep_caption;
    object->draw = check_draw;
    object->event = check_event;
}

void ui_radio_group(ui_object* object) {
    object->value_length = 4;
    object->init = radio_init;
    object->draw = radio_draw;
    object->event = radio_event;
}
