#include "platform/buffered_display.h"

#include <algorithm>

#include "gfx/screen.h"
#include "platform/geometry.h"

void BufferedDisplay::present_region(int x, int y, int w, int h) {
    // Clip defensively: present_rect already cut the rectangle, other callers may not.
    x = std::clamp(x, 0, SCREEN_WIDTH);
    y = std::clamp(y, 0, SCREEN_HEIGHT);
    w = std::clamp(w, 0, SCREEN_WIDTH - x);
    h = std::clamp(h, 0, SCREEN_HEIGHT - y);
    if (w == 0 || h == 0) return;
    bool was_empty;
    {
        std::lock_guard guard(lock_);
        // Only the rows that differ from what the display will show go out;
        // when none does, the display is not even woken.
        const display_rect changed = shown_.update(frame_buffer, SCREEN_PITCH, {x, y, w, h});
        if (changed.h == 0) return;
        was_empty = commands_.empty();
        command_writer out(commands_);
        out.opcode(OP_UPDATE);
        out.rect(changed);
        out.pixels(frame_buffer + static_cast<size_t>(changed.y) * SCREEN_PITCH + changed.x, changed.w,
                   changed.h, SCREEN_PITCH);
    }
    if (was_empty) commands_pending();
}

void BufferedDisplay::begin_transition() {
    append([&](command_writer& out) {
        // The main slot now holds an older picture: the new one goes out whole.
        shown_.replace(frame_buffer, SCREEN_PITCH);
        out.opcode(OP_SWAP_SLOTS);
        out.opcode(OP_UPDATE);
        out.rect({0, 0, SCREEN_WIDTH, SCREEN_HEIGHT});
        out.pixels(frame_buffer, SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_PITCH);
    });
}

void BufferedDisplay::end_transition() {
    append([](command_writer& out) { out.opcode(OP_END_TRANSITION); });
}

void BufferedDisplay::zoom_transition(int view_y, int left, int top, int right, int bottom, float t) {
    const zoom_rects z = make_zoom_transition(view_y, left, top, right, bottom, t);
    append([&](command_writer& out) {
        out.opcode(OP_ZOOM);
        out.rect(z.r1);
        out.rect(z.r2);
        out.rect(z.r3);
        out.f32(z.t);
    });
}

void BufferedDisplay::turn_transition(int view_y, int margin, float t) {
    const auto rects = make_turn_transition(view_y, margin, t);
    if (!rects) return;
    append([&](command_writer& out) {
        out.opcode(OP_SLIDE);
        for (const display_rect& r : *rects) out.rect(r);
    });
}

void BufferedDisplay::shake_offset(int dx, int dy) {
    const auto rects = make_shake(dx, dy);
    append([&](command_writer& out) {
        out.opcode(OP_SLIDE);
        for (const display_rect& r : rects) out.rect(r);
    });
}

void BufferedDisplay::set_cursor(const uint16_t* pixels, int w, int h, int hot_x, int hot_y) {
    if (!pixels || w <= 0 || h <= 0) return;
    append([&](command_writer& out) {
        cursor_hot_x_ = hot_x;
        cursor_hot_y_ = hot_y;
        out.opcode(OP_SET_CURSOR);
        out.rect({0, 0, w, h});
        out.pixels(pixels, w, h, w);
    });
}

void BufferedDisplay::remove_cursor() {
    append([](command_writer& out) { out.opcode(OP_REMOVE_CURSOR); });
}

void BufferedDisplay::create_sprite(int id, const uint16_t* pixels, int w, int h) {
    if (!pixels || w <= 0 || h <= 0) return;
    append([&](command_writer& out) {
        out.opcode(OP_CREATE_SPRITE);
        out.i32(id);
        out.rect({0, 0, w, h});
        out.pixels(pixels, w, h, w);
    });
}

void BufferedDisplay::delete_sprite(int id) {
    append([&](command_writer& out) {
        out.opcode(OP_DELETE_SPRITE);
        out.i32(id);
    });
}

void BufferedDisplay::move_sprite(int id, int x, int y) {
    append([&](command_writer& out) {
        out.opcode(OP_SHOW_SPRITE_AT);
        out.i32(id);
        out.i32(x);
        out.i32(y);
    });
}

void BufferedDisplay::place_sprite(int id, const display_rect& rect) {
    append([&](command_writer& out) {
        out.opcode(OP_SHOW_SPRITE);
        out.i32(id);
        out.rect(rect);
    });
}

void BufferedDisplay::set_sprite_z(int id, int z) {
    append([&](command_writer& out) {
        out.opcode(OP_SPRITE_Z);
        out.i32(id);
        out.i32(z);
    });
}

void BufferedDisplay::hide_sprite(int id) {
    append([&](command_writer& out) {
        out.opcode(OP_HIDE_SPRITE);
        out.i32(id);
    });
}

mouse_record BufferedDisplay::read_mouse() {
    std::lock_guard guard(lock_);
    const mouse_record copy = mouse_;
    mouse_.changed = 0;
    mouse_.events = 0;
    return copy;
}

bool BufferedDisplay::key_available() {
    std::lock_guard guard(lock_);
    return !keys_.empty();
}

key_code BufferedDisplay::read_key() {
    std::lock_guard guard(lock_);
    if (keys_.empty()) return 0;
    const key_code code = keys_.front();
    keys_.pop_front();
    return code;
}

void BufferedDisplay::set_crt_enabled(bool enabled) {
    bool was_empty;
    {
        std::lock_guard guard(lock_);
        crt_enabled_ = enabled ? 1 : 0;
        was_empty = commands_.empty();
    }
    // Wakes the display so the next picture shows the change.
    if (was_empty) commands_pending();
}

bool BufferedDisplay::crt_enabled() {
    std::lock_guard guard(lock_);
    return crt_enabled_ != 0;
}

void BufferedDisplay::set_crt_suppressed(bool suppressed) {
    std::lock_guard guard(lock_);
    crt_suppressed_ = suppressed ? 1 : 0;
}

void BufferedDisplay::set_controller_settings(const controller_settings& settings) {
    std::lock_guard guard(lock_);
    controller_ = settings;
}

controller_settings BufferedDisplay::current_controller_settings() {
    std::lock_guard guard(lock_);
    return controller_;
}

size_t BufferedDisplay::pending_command_bytes() {
    std::lock_guard guard(lock_);
    return commands_.size();
}

void BufferedDisplay::set_modifiers(bool ctrl, bool shift, bool caps) {
    // A controller's held Ctrl button keeps the flag set whatever the keyboard says.
    ctrl_.store(ctrl || ctrl_from_controller_);
    shift_.store(shift);
    caps_.store(caps);
}

void BufferedDisplay::queue_key(key_code code) {
    if (code == 0) return;
    std::lock_guard guard(lock_);
    keys_.push_back(code);
}

void BufferedDisplay::mouse_moved(int x, int y) {
    std::lock_guard guard(lock_);
    mouse_.x = static_cast<uint16_t>(std::clamp(x, 0, SCREEN_WIDTH - 1));
    mouse_.y = static_cast<uint16_t>(std::clamp(y, 0, SCREEN_HEIGHT - 1));
    mouse_.changed = 1;
    mouse_.events |= MOUSE_EV_MOTION;
}

void BufferedDisplay::mouse_button(int button, bool down) {
    std::lock_guard guard(lock_);
    uint8_t* held;
    uint16_t bit;
    switch (button) {
        case 1:
            held = &mouse_.left;
            bit = down ? MOUSE_EV_LEFT_DOWN : MOUSE_EV_LEFT_UP;
            break;
        case 2:
            held = &mouse_.middle;
            bit = down ? MOUSE_EV_MIDDLE_DOWN : MOUSE_EV_MIDDLE_UP;
            break;
        case 3:
            held = &mouse_.right;
            bit = down ? MOUSE_EV_RIGHT_DOWN : MOUSE_EV_RIGHT_UP;
            break;
        default:
            return;
    }
    *held = down ? 1 : 0;
    mouse_.changed = 1;
    mouse_.events |= bit;
}

void BufferedDisplay::mouse_wheel(int amount) {
    if (amount > 0) queue_key(0x4800);  // the Up arrow
    if (amount < 0) queue_key(0x5000);  // the Down arrow
}

bool BufferedDisplay::controller_button(int button, bool pressed) {
    std::lock_guard guard(lock_);
    if (!controller_.enabled || button < 0 || button >= CONTROLLER_BUTTONS) return false;
    const bool first = !activated_.exchange(true);
    const uint8_t action = mod_held_.load() ? controller_.mod_actions[button] : controller_.actions[button];
    auto click = [&](uint8_t& held, uint16_t down_bit, uint16_t up_bit) {
        held = pressed ? 1 : 0;
        mouse_.changed = 1;
        mouse_.events |= pressed ? down_bit : up_bit;
    };
    switch (action) {
        case CA_CTRL:
            ctrl_from_controller_ = pressed;
            ctrl_.store(pressed);
            break;
        case CA_LCLICK:
            click(mouse_.left, MOUSE_EV_LEFT_DOWN, MOUSE_EV_LEFT_UP);
            break;
        case CA_RCLICK:
            click(mouse_.right, MOUSE_EV_RIGHT_DOWN, MOUSE_EV_RIGHT_UP);
            break;
        case CA_CTRL_LCLICK:
            ctrl_from_controller_ = pressed;
            ctrl_.store(pressed);
            click(mouse_.left, MOUSE_EV_LEFT_DOWN, MOUSE_EV_LEFT_UP);
            break;
        case CA_MOD_KEY:
            mod_held_.store(pressed);
            break;
        default:
            if (pressed) {
                const key_code key = action_key(action);
                if (key) keys_.push_back(key);
            }
            break;
    }
    return first;
}

bool BufferedDisplay::stick_poll(const std::array<int, 4>& axes) {
    std::lock_guard guard(lock_);
    const stick_poll_result r = poll_sticks(sticks_, controller_, axes, mod_held_.load());
    if (r.walk_key) keys_.push_back(r.walk_key);
    if (r.dx == 0 && r.dy == 0) return false;
    mouse_.x = static_cast<uint16_t>(std::clamp(mouse_.x + r.dx, 0, SCREEN_WIDTH - 1));
    mouse_.y = static_cast<uint16_t>(std::clamp(mouse_.y + r.dy, 0, SCREEN_HEIGHT - 1));
    mouse_.changed = 1;
    mouse_.events = MOUSE_EV_MOTION;
    cursor_moved_by_stick(mouse_.x, mouse_.y);
    return true;
}
