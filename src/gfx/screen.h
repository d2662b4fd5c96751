#pragma once
// The two 640 x 480 screen buffers of 16-bit RGB555 pixels (blue bits 0-4,
// green 5-9, red 10-14; bit 15 is a marker whose meaning depends on where the
// word stands), the redirectable drawing target and the hand-over of changed
// rectangles to the display.
#include <cstdint>

constexpr int SCREEN_WIDTH = 640, SCREEN_HEIGHT = 480;
constexpr int SCREEN_PITCH = 640;  // pixels per row of every drawing target

// Both buffers exist from program start (static storage) and live for the
// whole run, so tests and tools can draw without a display.
extern uint16_t* frame_buffer;
extern uint16_t* back_buffer;

// The current drawing target (a pitch-640 buffer, normally frame_buffer).
uint16_t* screen_address();
uint16_t* back_buffer_address();
int screen_pitch();
int screen_width();
int screen_height();
// Set the drawing target to that buffer and return it.
uint16_t* target_frame_buffer();
uint16_t* target_back_buffer();
// Any caller-supplied buffer of pitch 640 and 480 rows.
void set_target(uint16_t* buffer);
// Address of pixel (x, y) of the drawing target; no clipping.
uint16_t* pixel_address(int x, int y);

// The solid colour of the fill and line primitives.
extern uint16_t draw_colour;

void copy_back_to_front();
void copy_front_to_back();
// Fills all 480 rows of 640 pixels of a pitch-640 buffer.
void clear_buffer(uint16_t* buffer, uint16_t colour);
// Copies count whole rows of a pitch-640 source (source points at the first
// of them) into the drawing target from row first_row on, cut at the bottom
// of the screen.
void copy_rows_to_screen(const uint16_t* source, int first_row, int count);

// The display plugs in here; it receives an already clipped rectangle of
// frame_buffer (never empty).
using screen_update_fn = void (*)(int x, int y, int width, int height);
void set_screen_update(screen_update_fn fn);
screen_update_fn screen_update();
// Hands a rectangle of frame_buffer to the display. The values are taken as
// unsigned 16-bit numbers; width 0 means 640 and height 0 means 480, and the
// rectangle is cut at the right and bottom edges. present_rect(0, 0, 0, 0)
// shows the whole screen.
void present_rect(int x, int y, int width, int height);

// 50% mix of two pixels: the lowest bit of each channel is dropped first so
// the sum cannot carry from one channel into the next.
inline uint16_t blend50(uint16_t a, uint16_t b) {
    return static_cast<uint16_t>(((a & 0x7BDE) + (b & 0x7BDE)) >> 1);
}
// 8-bit-per-channel colour to RGB555.
inline uint16_t rgb555(int r, int g, int b) {
    return static_cast<uint16_t>(((r << 7) & 0x7C00) | ((g << 2) & 0x03E0) | ((b & 0xFF) >> 3));
}
