#include "gfx/screen.h"

#include <algorithm>
#include <cstring>

namespace {
// One static block for both buffers: they exist before any display is opened.
uint16_t buffer_storage[2][SCREEN_PITCH * SCREEN_HEIGHT];
uint16_t* draw_target = buffer_storage[0];
screen_update_fn update_function = nullptr;
constexpr size_t BUFFER_BYTES = sizeof(uint16_t) * SCREEN_PITCH * SCREEN_HEIGHT;
}  // namespace

uint16_t* frame_buffer = buffer_storage[0];
uint16_t* back_buffer = buffer_storage[1];
uint16_t draw_colour = 0;

uint16_t* screen_address() {
    return draw_target;
}
uint16_t* back_buffer_address() {
    return back_buffer;
}
int screen_pitch() {
    return SCREEN_PITCH;
}
int screen_width() {
    return SCREEN_WIDTH;
}
int screen_height() {
    return SCREEN_HEIGHT;
}

uint16_t* target_frame_buffer() {
    return draw_target = frame_buffer;
}
uint16_t* target_back_buffer() {
    return draw_target = back_buffer;
}
void set_target(uint16_t* buffer) {
    draw_target = buffer;
}

uint16_t* pixel_address(int x, int y) {
    return draw_target + y * screen_pitch() + x;
}

void copy_back_to_front() {
    std::memcpy(frame_buffer, back_buffer, BUFFER_BYTES);
}
void copy_front_to_back() {
    std::memcpy(back_buffer, frame_buffer, BUFFER_BYTES);
}

void clear_buffer(uint16_t* buffer, uint16_t colour) {
    std::fill_n(buffer, static_cast<size_t>(screen_pitch()) * screen_height(), colour);
}

void copy_rows_to_screen(const uint16_t* source, int first_row, int count) {
    if (!source || first_row < 0 || first_row >= screen_height() || count <= 0) return;
    count = std::min(count, screen_height() - first_row);
    std::memcpy(draw_target + static_cast<size_t>(first_row) * screen_pitch(), source,
                sizeof(uint16_t) * screen_pitch() * count);
}

void set_screen_update(screen_update_fn fn) {
    update_function = fn;
}
screen_update_fn screen_update() {
    return update_function;
}

void present_rect(int x, int y, int width, int height) {
    unsigned ux = static_cast<uint16_t>(x), uy = static_cast<uint16_t>(y);
    unsigned uw = static_cast<uint16_t>(width), uh = static_cast<uint16_t>(height);
    const unsigned sw = screen_width(), sh = screen_height();
    if (ux > sw || uy > sh) return;
    if (uw == 0) uw = sw;
    if (uh == 0) uh = sh;
    if (ux + uw > sw) uw = sw - ux;
    if (uy + uh > sh) uh = sh - uy;
    // x = 640 or y = 480 leaves nothing to show.
    if (uw == 0 || uh == 0 || !update_function) return;
    update_function(static_cast<int>(ux), static_cast<int>(uy), static_cast<int>(uw), static_cast<int>(uh));
}
