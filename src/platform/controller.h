#pragma once
// Game controller mapping: actions bound to buttons, the walk and cursor sticks.
#include <array>
#include <cstdint>
#include <string_view>

#include "platform/input.h"

struct ini_config;

enum controller_action : uint8_t {
    CA_NONE = 0,
    CA_ENTER = 1,
    CA_SPACE = 2,
    CA_CTRL = 3,
    CA_LCLICK = 4,
    CA_RCLICK = 5,
    CA_CTRL_LCLICK = 6,
    CA_ESCAPE = 7,
    CA_UP = 8,
    CA_DOWN = 9,
    CA_LEFT = 10,
    CA_RIGHT = 11,
    CA_TURN_LEFT = 12,
    CA_TURN_RIGHT = 13,
    CA_MERGE_GROUP = 14,
    CA_SPLIT1 = 15,
    /* ... CA_SPLIT6 = 20 */ CA_MAP = 21,
    CA_F1 = 22, /* ... CA_F12 = 33 */
    CA_BACKSPACE = 34,
    CA_MOD_KEY = 35,
};
constexpr int CONTROLLER_BUTTONS = 32;

struct controller_settings {
    bool enabled = true;
    bool swap_sticks = false;
    int16_t walk_deadzone = 0x4000;
    int16_t cursor_deadzone = 2048;
    std::array<uint8_t, CONTROLLER_BUTTONS> actions{};
    std::array<uint8_t, CONTROLLER_BUTTONS> mod_actions{};
};

controller_settings default_controller_settings();
uint8_t key_name_to_action(std::string_view name);  // exact names; unknown -> CA_NONE
// The key code an action sends on press (0 for non-key actions).
key_code action_key(uint8_t action);
// Reads the `controller` section over the defaults. A null config gives the defaults.
controller_settings load_controller_settings(const ini_config* config);

// Auto-repeat of one walk-stick axis. `value` is the dead-zoned axis value.
// Returns -1, 0 or +1: the step to take on this poll.
int walk_repeat_step(int& counter, int value, int walk_deadzone);
// Dead zone applied to one axis value.
int apply_deadzone(int value, int deadzone);
// Pixels the cursor stick moves for one dead-zoned axis value in one poll.
int cursor_stick_motion(int value);

// One 25 ms poll of the sticks; raw axes of joystick 0. Updates the repeat
// counters, returns the walk key to queue (0 none) and the cursor motion.
struct stick_poll_state {
    int repeat_x = -1, repeat_y = -1;
};
struct stick_poll_result {
    key_code walk_key = 0;
    int dx = 0, dy = 0;
};
stick_poll_result poll_sticks(stick_poll_state& state, const controller_settings& settings,
                              const std::array<int, 4>& axes, bool mod_held);
