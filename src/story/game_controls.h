#pragma once
// The control classes of the options window, in the game's own look: a switch
// that slides between off and on, a button drawn as a picture, and an upright
// slider. Each is a toolkit class: pass it to define_object.
#include <cstdint>

struct ui_object;

// Value: one byte, bit 0 on, the bits above it the sliding phase 0-6. A left
// click toggles bit 0 and asks for the action; the phase is moved by the
// owner's timer (switch_slide_step).
void game_switch(ui_object* object);
// Class argument: the caption (copied). Value: one byte, pressed. A left
// press and the release after it ask for the action.
void game_button(ui_object* object);
// Class argument: the maximum m. Value: a 32-bit integer 0..m, m at the top.
// While the left button is held the value follows the mouse.
void game_slider(ui_object* object);

constexpr int SWITCH_LAST_PHASE = 6;
constexpr int SWITCH_FRAME_ROWS = 20;

// The switch value after one sliding step toward its bit 0 (unchanged at the end).
uint8_t switch_slide_step(uint8_t value);
inline int switch_phase(uint8_t value) {
    return value >> 1;
}
// The first row of the switch picture's frame for a phase.
inline int switch_frame_row(int phase) {
    return SWITCH_FRAME_ROWS * (SWITCH_LAST_PHASE - phase);
}

// The slider's arithmetic. The knob's top row for a value, and the value at
// a mouse row. A slider no taller than its knob has no travel: its value is
// all or nothing, by whether the mouse is above its bottom edge less half a
// knob; a maximum below 1 always gives 0.
int slider_knob_top(int y1, int y2, int knob_height, int value, int maximum);
int slider_value_at(int screen_y, int height, int knob_height, int mouse_y, int maximum);
