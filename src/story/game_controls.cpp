#include "story/game_controls.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/handle_ids.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "story/story_pictures.h"
#include "ui/toolkit.h"

namespace {

// A rectangle of the screen kept at the first draw and put back at every
// later one, so a control can be drawn again over what lay under it.
struct saved_background : object_private {
    std::vector<uint16_t> pixels;
    int w = 0, h = 0;
    bool saved = false;
    std::string caption;
    int maximum = 0;

    void save_once(int x, int y, int width, int height) {
        if (saved) return;
        saved = true;
        w = std::max(width, 0);
        h = std::max(height, 0);
        pixels.assign(static_cast<size_t>(w) * h, 0);
        for (int row = 0; row < h; ++row)
            for (int column = 0; column < w; ++column)
                if (inside(x + column, y + row))
                    pixels[static_cast<size_t>(row) * w + column] = *pixel_address(x + column, y + row);
    }
    void restore(int x, int y) const {
        for (int row = 0; row < h; ++row)
            for (int column = 0; column < w; ++column)
                if (inside(x + column, y + row))
                    *pixel_address(x + column, y + row) = pixels[static_cast<size_t>(row) * w + column];
    }
    static bool inside(int x, int y) { return x >= 0 && y >= 0 && x < SCREEN_WIDTH && y < SCREEN_HEIGHT; }
};

saved_background* background_of(ui_object* object) {
    if (!object->private_block) object->private_block = std::make_unique<saved_background>();
    return object->private_as<saved_background>();
}

// The mouse record of a mouse event, read without moving the message's cursor.
const mouse_record* mouse_of(const event_msg& msg) {
    if (msg.number != EV_MOUSE) return nullptr;
    event_msg copy = msg;
    const auto* mouse = copy.next_ptr<const mouse_record>();
    return mouse ? mouse : &mouse_state;
}

// Draws rows first_row.. of a picture at (x, y), at most width x height
// pixels; index 0 (type 8) or 0x8000 (type 16) is transparent.
void put_picture_part(const picture* pic, int x, int y, int first_row, int width, int height) {
    if (!pic || first_row < 0 || first_row >= pic->height) return;
    width = std::min<int>(width, pic->width);
    height = std::min<int>(height, pic->height - first_row);
    for (int row = 0; row < height; ++row) {
        const int sy = y + row;
        if (sy < 0 || sy >= SCREEN_HEIGHT) continue;
        for (int column = 0; column < width; ++column) {
            const int sx = x + column;
            if (sx < 0 || sx >= SCREEN_WIDTH) continue;
            const size_t at = static_cast<size_t>(first_row + row) * pic->width + column;
            if (pic->type == PIC_PAL8) {
                const uint8_t index = picture_pixels8(pic)[at];
                if (index) *pixel_address(sx, sy) = picture_palette(pic)[index];
            } else if (pic->type == PIC_HICOLOR || pic->type == PIC_RAW15) {
                const uint16_t pixel = picture_pixels16(pic)[at];
                if (pixel != 0x8000) *pixel_address(sx, sy) = pixel & 0x7FFF;
            }
        }
    }
}

// ---- game_switch ----

void switch_draw(int x1, int y1, int, int, ui_object* object) {
    const picture* frames = window_picture(H_CHECKBOX);
    if (!frames || object->value.empty()) return;
    saved_background* back = background_of(object);
    const int side = frames->width;
    back->save_once(x1, y1, side, side);
    back->restore(x1, y1);
    const int phase = std::min(switch_phase(object->value[0]), SWITCH_LAST_PHASE);
    put_picture_part(frames, x1, y1, switch_frame_row(phase), side, side);
}

void switch_event(event_msg& msg, ui_object* object) {
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse || !(mouse->events & MOUSE_EV_LEFT_DOWN) || object->value.empty()) return;
    object->value[0] ^= 1;
    ui_action_flag = 1;
}

// ---- game_button ----

void button_init(ui_object* object, event_msg& args) {
    const char* caption = args.next_text();
    background_of(object)->caption = caption ? caption : "";
}

void button_draw(int x1, int y1, int x2, int y2, ui_object* object) {
    saved_background* back = background_of(object);
    const bool pressed = !object->value.empty() && object->value[0];
    if (const picture* face = window_picture(H_VOLBAZPE)) {
        back->save_once(x1, y1, face->width, face->height);
        if (pressed)
            put_picture_part(face, x1, y1, 0, face->width, face->height);
        else
            back->restore(x1, y1);
    }
    set_aligned_position((x1 + x2 + 10) / 2, (y1 + y2) / 2, ALIGN_CENTRE, ALIGN_CENTRE, back->caption);
    draw_text(back->caption);
}

void set_pressed(ui_object* object, bool pressed) {
    if (object->value.empty()) return;
    object->value[0] = pressed;
    redraw_object(object);
}

void button_event(event_msg& msg, ui_object* object) {
    if (object->value.empty()) return;
    if (msg.number == UI_EV_FOCUS_OUT) {
        set_pressed(object, false);
        return;
    }
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse) return;
    if (mouse->events & MOUSE_EV_LEFT_DOWN) {
        set_pressed(object, true);
    } else if ((mouse->events & MOUSE_EV_LEFT_UP) && object->value[0]) {
        // Only a release that follows a press on the button: a drag that
        // began elsewhere and ends here does nothing.
        set_pressed(object, false);
        ui_action_flag = 1;
    }
}

// ---- game_slider ----

int32_t slider_value(const ui_object* object) {
    int32_t value = 0;
    if (object->value.size() >= sizeof value) std::memcpy(&value, object->value.data(), sizeof value);
    return value;
}

void slider_init(ui_object* object, event_msg& args) {
    background_of(object)->maximum = args.next_int();
}

int knob_height() {
    const picture* knob = window_picture(H_VOLBASOU);
    return knob ? knob->height : 0;
}

void slider_draw(int x1, int y1, int x2, int y2, ui_object* object) {
    saved_background* back = background_of(object);
    back->save_once(x1, y1, x2 - x1, y2 - y1);
    back->restore(x1, y1);
    const picture* knob = window_picture(H_VOLBASOU);
    if (!knob) return;
    put_picture(x1, slider_knob_top(y1, y2, knob->height, slider_value(object), back->maximum), knob);
}

void slider_event(event_msg& msg, ui_object* object) {
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse || !mouse->left || object->value.size() < sizeof(int32_t)) return;
    const int32_t value =
        slider_value_at(object->screen_y, object->h, knob_height(), mouse->y, background_of(object)->maximum);
    std::memcpy(object->value.data(), &value, sizeof value);
    redraw_object(object);
    ui_action_flag = 1;
}

}  // namespace

uint8_t switch_slide_step(uint8_t value) {
    const int phase = switch_phase(value);
    if ((value & 1) && phase < SWITCH_LAST_PHASE) return static_cast<uint8_t>(value + 2);
    if (!(value & 1) && phase > 0) return static_cast<uint8_t>(value - 2);
    return value;
}

int slider_knob_top(int y1, int y2, int knob_height, int value, int maximum) {
    const int travel = std::max(y2 - y1 - knob_height, 0);
    if (maximum < 1) return y2 - knob_height;
    value = std::clamp(value, 0, maximum);
    return y2 - knob_height - static_cast<int>(static_cast<int64_t>(value) * travel / maximum);
}

int slider_value_at(int screen_y, int height, int knob_height, int mouse_y, int maximum) {
    if (maximum < 1) return 0;
    const int64_t above = static_cast<int64_t>(screen_y) + height - mouse_y - knob_height / 2;
    const int travel = height - knob_height;
    if (travel <= 0) return above > 0 ? maximum : 0;
    return static_cast<int>(std::clamp<int64_t>(maximum * above / travel, 0, maximum));
}

void game_switch(ui_object* object) {
    object->value_length = 1;
    object->draw = switch_draw;
    object->event = switch_event;
}

void game_button(ui_object* object) {
    object->value_length = 1;
    object->init = button_init;
    object->draw = button_draw;
    object->event = button_event;
}

void game_slider(ui_object* object) {
    object->value_length = 4;
    object->init = slider_init;
    object->draw = slider_draw;
    object->event = slider_event;
}
