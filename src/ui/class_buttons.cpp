// Push buttons: plain, toggle, flat and repeating.
#include "gfx/draw.h"
#include "gfx/screen.h"
#include "ui/toolkit.h"
#include "ui/toolkit_internal.h"

namespace {
constexpr uint8_t TOGGLE_ON = 0x01;
constexpr uint8_t TOGGLE_ARMED = 0x02;  // left down seen, its release asks for the action

bool left_edge(const mouse_record& m) {
    return (m.events & (MOUSE_EV_LEFT_DOWN | MOUSE_EV_LEFT_UP)) != 0;
}

void draw_caption(int x1, int y1, int x2, int y2, ui_object* object, int pressed) {
    const std::string& caption = caption_of(object);
    set_aligned_position((x1 + x2) / 2 + 2 * pressed, (y1 + y2) / 2 + 2 * pressed, ALIGN_CENTRE, ALIGN_CENTRE,
                         caption);
    draw_text(caption);
}

void draw_button_look(int x1, int y1, int x2, int y2, ui_object* object, int pressed) {
    fill_rect(x1, y1, x2, y2);
    frame_style frame;
    derive_frame_colours(frame, object->colour);
    frame.rings = static_cast<uint16_t>(2 - pressed);
    frame.sunken = static_cast<uint16_t>(3 * pressed);
    draw_frame(x1 + 2, y1 + 2, x2 - x1 - 4, y2 - y1 - 4, frame);
    draw_caption(x1, y1, x2, y2, object, pressed);
}

void button_draw(int x1, int y1, int x2, int y2, ui_object* object) {
    draw_button_look(x1, y1, x2, y2, object, value_byte(object) ? 1 : 0);
}

void button_event(event_msg& msg, ui_object* object) {
    if (msg.number == UI_EV_FOCUS_IN || msg.number == UI_EV_FOCUS_OUT) {
        set_value_byte(object, 0);
        redraw_object(object);
        return;
    }
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse || !left_edge(*mouse)) return;
    if (mouse->left) {
        set_value_byte(object, 1);
        redraw_object(object);
    } else if (value_byte(object) == 1) {
        set_value_byte(object, 0);
        redraw_object(object);
        ui_action_flag = 1;
    }
}

void toggle_draw(int x1, int y1, int x2, int y2, ui_object* object) {
    draw_button_look(x1, y1, x2, y2, object, value_byte(object) & TOGGLE_ON);
}

void toggle_event(event_msg& msg, ui_object* object) {
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse || !left_edge(*mouse)) return;
    uint8_t v = value_byte(object);
    if (mouse->left) {
        v = static_cast<uint8_t>((v ^ TOGGLE_ON) | TOGGLE_ARMED);
        set_value_byte(object, v);
        redraw_object(object);
    } else if (v & TOGGLE_ARMED) {
        set_value_byte(object, static_cast<uint8_t>(v & ~TOGGLE_ARMED));
        ui_action_flag = 1;
    }
}

void flat_draw(int x1, int y1, int x2, int y2, ui_object* object) {
    const int pressed = value_byte(object) ? 1 : 0;
    fill_rect(x1, y1, x2, y2);
    frame_style frame;
    derive_frame_colours(frame, object->colour);
    frame.rings = 1;
    frame.sunken = static_cast<uint16_t>(pressed);
    draw_frame(x1 + 1, y1 + 1, x2 - x1 - 2, y2 - y1 - 2, frame);
    // Flat top and bottom lines in the dark colour.
    const uint16_t saved = draw_colour;
    draw_colour = frame.colour_b;
    draw_hline(x1, y1, x2);
    draw_hline(x1, y2, x2);
    draw_colour = saved;
    draw_caption(x1, y1, x2, y2, object, pressed);
}

struct repeat_block : caption_block {
    int step = 1;
};

void repeat_init(ui_object* object, event_msg& args) {
    auto block = std::make_unique<repeat_block>();
    if (const char* text = args.next_text()) block->caption = text;
    if (args.remaining() > 0) block->step = args.next_int();
    object->private_block = std::move(block);
}

void repeat_event(event_msg& msg, ui_object* object) {
    if (msg.number == EV_TICK) {
        if (!value_byte(object)) return;
        // The release may have happened off the button, where it never came here.
        if (!mouse_state.left) {
            set_value_byte(object, 0);
            redraw_object(object);
            return;
        }
        ui_action_flag = 1;
        return;
    }
    if (msg.number == UI_EV_FOCUS_IN || msg.number == UI_EV_FOCUS_OUT) {
        set_value_byte(object, 0);
        redraw_object(object);
        return;
    }
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse || !left_edge(*mouse)) return;
    set_value_byte(object, mouse->left ? 1 : 0);
    redraw_object(object);
    if (mouse->left) ui_action_flag = 1;
}
}  // namespace

void ui_button(ui_object* object) {
    object->value_length = 1;
    object->init = keep_caption;
    object->draw = button_draw;
    object->event = button_event;
}

void ui_toggle_button(ui_object* object) {
    object->value_length = 1;
    object->init = keep_caption;
    object->draw = toggle_draw;
    object->event = toggle_event;
}

void ui_flat_button(ui_object* object) {
    object->value_length = 1;
    object->init = keep_caption;
    object->draw = flat_draw;
    object->event = button_event;
}

void ui_repeat_button(ui_object* object) {
    object->value_length = 1;
    object->init = repeat_init;
    object->draw = button_draw;
    object->event = repeat_event;
}

void ui_step_scroll_bar() {
    ui_object* button = focused_object;
    if (!button) return;
    auto* block = dynamic_cast<repeat_block*>(button->private_block.get());
    if (!block) return;
    step_scroll_bar(find_object(0, button->id / 10 * 10), block->step);
}
