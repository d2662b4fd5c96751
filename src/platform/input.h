#pragma once
// Keyboard and mouse records as the game sees them: 16-bit PC-style key codes
// (scan code in the high byte, character in the low byte) and the 12-byte
// mouse state record.
#include <cstdint>

#include "core/events.h"

using key_code = uint16_t;
constexpr key_code KEY_CLOSE_REQUEST = 0xFFFF;  // sent while the window is asked to close

// The mouse record (mouse_record) and its event bits are those of the event tree.

// Raw SDL scancode + modifiers -> key code (0: ignored). Ctrl wins over Shift.
key_code translate_key(int sdl_scancode, bool shift, bool ctrl);

// The national keyboard layer of the game-side keyboard poll: two dead keys
// ("+" caron, "=" acute) and the Caps Lock tables turn typed characters into the
// game's 8-bit code page. Feed one queued key code at a time.
struct national_keyboard {
    int dead_key = 0;  // 0 none, 1 acute pending, 2 caron pending
    // Returns the key code to send as EV_KEY, or 0 when the key only armed a dead key.
    key_code translate(key_code raw, bool caps_lock);
};
// The layout tables: 0 plain, 1 acute, 2 caron, 3-5 the same with Caps Lock.
uint8_t national_table(int table, uint8_t character);
