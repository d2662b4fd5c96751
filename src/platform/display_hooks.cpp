// The glue between the display and the game: the screen-update function of
// the screen buffer and the input source of the event tree's poll handlers.
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/events.h"
#include "core/events_cursor.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "platform/display.h"
#include "platform/input.h"

namespace {

// The dead-key state lives on the game side for the whole run.
national_keyboard keyboard_layer;

void update_screen(int x, int y, int w, int h) {
    if (display_exists()) display().present_region(x, y, w, h);
}

int poll_keys(uint16_t* codes, int capacity) {
    if (!display_exists() || capacity < 2) return 0;
    IDisplay& d = display();
    d.poll_started();
    int count = 0;
    if (d.quit_requested()) codes[count++] = KEY_CLOSE_REQUEST;
    // One key per poll; a dead key only arms the layer and sends nothing.
    if (d.key_available()) {
        const key_code raw = d.read_key();
        if (raw) {
            const key_code code = keyboard_layer.translate(raw, d.caps_lock_on());
            if (code) codes[count++] = code;
        }
    }
    return count;
}

bool read_mouse(mouse_record* out) {
    if (!display_exists()) return false;
    *out = display().read_mouse();
    return out->changed != 0;
}

const input_source display_input{poll_keys, read_mouse};

void show_cursor_picture(const void* data, size_t length, int hot_x, int hot_y) {
    if (!display_exists()) return;
    // A cursor whose record does not fit its bytes (a damaged icon library or
    // picture) is a missing cursor: nothing is read past its end.
    if (!data || !picture_record_valid(data, length)) data = nullptr;
    // Icons come straight from their library, where a record may begin at an
    // odd byte: such a record is read from an aligned copy.
    std::vector<uint16_t> aligned;
    if (data && reinterpret_cast<uintptr_t>(data) % alignof(picture) != 0) {
        aligned.resize((length + 1) / 2);
        std::memcpy(aligned.data(), data, length);
        data = aligned.data();
    }
    const auto* pic = static_cast<const picture*>(data);
    const std::vector<uint16_t> pixels = encode_overlay_picture(pic);
    if (pixels.empty()) {
        display().remove_cursor();
        return;
    }
    display().set_cursor(pixels.data(), pic->width, pic->height, hot_x, hot_y);
}

}  // namespace

std::vector<uint16_t> encode_overlay_picture(const picture* pic) {
    if (!pic || pic->width == 0 || pic->height == 0 || pic->width > SCREEN_WIDTH ||
        pic->height > SCREEN_HEIGHT)
        return {};
    std::vector<uint16_t> pixels(static_cast<size_t>(pic->width) * pic->height, 0x8000);
    put_picture_to(0, 0, pic, pixels.data(), pic->width);
    return pixels;
}

void create_sprite_picture(int id, const picture* pic) {
    const std::vector<uint16_t> pixels = encode_overlay_picture(pic);
    if (!pixels.empty()) display().create_sprite(id, pixels.data(), pic->width, pic->height);
}

void install_display_hooks() {
    set_screen_update(update_screen);
    set_input_source(&display_input);
    set_cursor_display(show_cursor_picture);
}

void remove_display_hooks() {
    set_screen_update(nullptr);
    set_input_source(nullptr);
    set_cursor_display(nullptr);
}

void reset_keyboard_layer() {
    keyboard_layer = national_keyboard{};
}
