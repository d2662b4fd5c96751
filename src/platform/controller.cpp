// Controller actions and the stick arithmetic (no SDL here: the display server
// feeds it the raw axis values).
#include "platform/controller.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr key_code KEY_RETURN = 0x1C0D, KEY_SPACE = 0x3920, KEY_ESCAPE = 0x011B, KEY_UP = 0x4800,
                   KEY_DOWN = 0x5000, KEY_LEFT = 0x4B00, KEY_RIGHT = 0x4D00, KEY_END = 0x4F00,
                   KEY_PAGEDOWN = 0x5100, KEY_INSERT = 0x5200, KEY_TAB = 0x0F09, KEY_BACKSPACE = 0x0E08;

constexpr key_code function_keys[12] = {0x3B00, 0x3C00, 0x3D00, 0x3E00, 0x3F00, 0x4000,
                                        0x4100, 0x4200, 0x4300, 0x4400, 0x8500, 0x8600};
constexpr key_code digit_keys[6] = {0x0231, 0x0332, 0x0433, 0x0534, 0x0635, 0x0736};

// The largest dead zone that still leaves the walk repeat a countdown step of
// at least 16 and the stick a usable range.
constexpr int MAX_DEADZONE = 0x7F00;

}  // namespace

controller_settings default_controller_settings() {
    controller_settings s;
    auto& a = s.actions;
    a[0] = CA_LCLICK;
    a[1] = CA_RCLICK;
    a[2] = CA_ENTER;
    a[3] = CA_SPACE;
    a[4] = CA_F1 + 1;
    a[5] = CA_F1;
    a[6] = CA_F1 + 2;
    a[8] = CA_CTRL_LCLICK;
    a[9] = CA_BACKSPACE;
    a[10] = CA_MOD_KEY;
    a[11] = CA_MAP;
    a[12] = CA_MERGE_GROUP;
    a[13] = CA_RIGHT;
    a[14] = CA_LEFT;
    auto& m = s.mod_actions;
    m[0] = CA_F1 + 9;
    m[1] = CA_F1 + 8;
    m[2] = CA_F1 + 6;
    m[3] = CA_F1 + 7;
    m[4] = CA_F1 + 4;
    m[5] = CA_ESCAPE;
    m[9] = CA_F1 + 3;
    m[10] = CA_MOD_KEY;
    m[11] = CA_F1 + 10;
    m[13] = CA_BACKSPACE;
    m[14] = CA_F1 + 11;
    return s;
}

uint8_t key_name_to_action(std::string_view name) {
    static constexpr struct {
        const char* name;
        uint8_t action;
    } names[] = {{"enter", CA_ENTER},
                 {"space", CA_SPACE},
                 {"ctrl", CA_CTRL},
                 {"lclick", CA_LCLICK},
                 {"rclick", CA_RCLICK},
                 {"ctrl+lclick", CA_CTRL_LCLICK},
                 {"escape", CA_ESCAPE},
                 {"up", CA_UP},
                 {"down", CA_DOWN},
                 {"left", CA_LEFT},
                 {"right", CA_RIGHT},
                 {"turn_left", CA_TURN_LEFT},
                 {"turn_right", CA_TURN_RIGHT},
                 {"merge_group", CA_MERGE_GROUP},
                 {"map", CA_MAP},
                 {"backspace", CA_BACKSPACE},
                 {"mod_key", CA_MOD_KEY}};
    for (const auto& n : names)
        if (name == n.name) return n.action;
    if (name.size() == 6 && name.substr(0, 5) == "split" && name[5] >= '1' && name[5] <= '6')
        return static_cast<uint8_t>(CA_SPLIT1 + (name[5] - '1'));
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
        int n = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') return CA_NONE;
            n = n * 10 + (c - '0');
        }
        if (name[1] != '0' && n >= 1 && n <= 12) return static_cast<uint8_t>(CA_F1 + n - 1);
    }
    return CA_NONE;
}

key_code action_key(uint8_t action) {
    switch (action) {
        case CA_ENTER:
            return KEY_RETURN;
        case CA_SPACE:
            return KEY_SPACE;
        case CA_ESCAPE:
            return KEY_ESCAPE;
        case CA_UP:
            return KEY_UP;
        case CA_DOWN:
            return KEY_DOWN;
        case CA_LEFT:
            return KEY_PAGEDOWN;
        case CA_RIGHT:
            return KEY_END;
        case CA_TURN_LEFT:
            return KEY_LEFT;
        case CA_TURN_RIGHT:
            return KEY_RIGHT;
        case CA_MERGE_GROUP:
            return KEY_INSERT;
        case CA_MAP:
            return KEY_TAB;
        case CA_BACKSPACE:
            return KEY_BACKSPACE;
        default:
            break;
    }
    if (action >= CA_SPLIT1 && action < CA_SPLIT1 + 6) return digit_keys[action - CA_SPLIT1];
    if (action >= CA_F1 && action < CA_F1 + 12) return function_keys[action - CA_F1];
    return 0;
}

int apply_deadzone(int value, int deadzone) {
    deadzone = std::clamp(deadzone, 0, MAX_DEADZONE);
    if (value > deadzone) return value - deadzone;
    if (value < -deadzone) return value + deadzone;
    return 0;
}

int walk_repeat_step(int& counter, int value, int walk_deadzone) {
    const int c = 0x8000 - std::clamp(walk_deadzone, 0, MAX_DEADZONE);
    const int d = c >> 4;
    if (value == 0) {
        counter = -1;
        return 0;
    }
    if (counter <= 0) {
        counter = counter == -1 ? 4 * d + c - d : 4 * d + c - std::abs(value);
        return value < 0 ? -1 : 1;
    }
    counter = std::max(0, counter - d);
    return 0;
}

int cursor_stick_motion(int value) {
    const double scaled = std::abs(value) * 0.001;
    const int pixels = static_cast<int>(std::floor(scaled * scaled * 0.025));
    return value < 0 ? -pixels : pixels;
}

stick_poll_result poll_sticks(stick_poll_state& state, const controller_settings& settings,
                              const std::array<int, 4>& axes, bool mod_held) {
    const int walk_first = settings.swap_sticks ? 2 : 0;
    const int cursor_first = settings.swap_sticks ? 0 : 2;
    int x = axes[walk_first], y = axes[walk_first + 1];
    // Only the dominant direction of the walk stick counts; near diagonals count as none.
    if (std::abs(x) - std::abs(y) < 8193 && std::abs(y) - std::abs(x) < 8193) {
        x = y = 0;
    } else if (std::abs(x) < std::abs(y)) {
        x = 0;
    } else {
        y = 0;
    }
    x = apply_deadzone(x, settings.walk_deadzone);
    y = apply_deadzone(y, settings.walk_deadzone);
    const int step_x = walk_repeat_step(state.repeat_x, x, settings.walk_deadzone);
    const int step_y = walk_repeat_step(state.repeat_y, y, settings.walk_deadzone);

    stick_poll_result result;
    result.dx = cursor_stick_motion(apply_deadzone(axes[cursor_first], settings.cursor_deadzone));
    result.dy = cursor_stick_motion(apply_deadzone(axes[cursor_first + 1], settings.cursor_deadzone));
    if (step_x < 0) {
        result.walk_key = mod_held ? KEY_END : KEY_LEFT;
    } else if (step_x > 0) {
        result.walk_key = mod_held ? KEY_PAGEDOWN : KEY_RIGHT;
    } else if (step_y < 0) {
        result.walk_key = KEY_UP;
    } else if (step_y > 0) {
        result.walk_key = KEY_DOWN;
    }
    return result;
}
