#pragma once
// The keys and mouse clicks of a modal game window, handled before the
// toolkit sees them. One window's set at a time; a window opened over
// another takes over and gives them back when it closes.
#include <cstdint>

#include "platform/input.h"

struct modal_keys {
    // The key code (character in the low byte, scan code in the high byte);
    // true: handled, it goes no further.
    bool (*key)(uint16_t code) = nullptr;
    // The mouse record's event bits.
    void (*mouse)(uint16_t events) = nullptr;
};

// Installs the set for the window about to run; returns the set it replaced
// (give it to restore_modal_keys when the window closes).
const modal_keys* install_modal_keys(const modal_keys* keys);
void restore_modal_keys(const modal_keys* previous);

// Key codes the windows answer.
constexpr int SCAN_ESCAPE = 1, SCAN_ENTER = 28, SCAN_F1 = 59;
inline bool is_enter(uint16_t code) {
    return (code & 0xFF) == 13 || (code >> 8) == SCAN_ENTER;
}
// The window's close request counts as Escape: the window closes and the
// screen under it, which keeps getting the request, ends the game.
inline bool is_escape(uint16_t code) {
    return code == KEY_CLOSE_REQUEST || (code & 0xFF) == 27 || (code >> 8) == SCAN_ESCAPE;
}
