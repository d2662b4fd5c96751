#include "platform/shown_picture.h"

#include <cstring>

#include "gfx/screen.h"

shown_picture::shown_picture() : pixels_(static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT, 0) {}

display_rect shown_picture::update(const uint16_t* screen, int pitch, const display_rect& r) {
    const size_t row_bytes = static_cast<size_t>(r.w) * sizeof(uint16_t);
    auto source_row = [&](int y) { return screen + static_cast<size_t>(y) * pitch + r.x; };
    auto shown_row = [&](int y) { return pixels_.data() + static_cast<size_t>(y) * SCREEN_WIDTH + r.x; };
    int first = r.y, last = r.y + r.h - 1;
    if (known_) {
        while (first <= last && std::memcmp(source_row(first), shown_row(first), row_bytes) == 0) ++first;
        while (last > first && std::memcmp(source_row(last), shown_row(last), row_bytes) == 0) --last;
        if (first > last) return {r.x, r.y, r.w, 0};
    } else if (r.x == 0 && r.y == 0 && r.w == SCREEN_WIDTH && r.h == SCREEN_HEIGHT) {
        known_ = true;
    }
    for (int y = first; y <= last; ++y) std::memcpy(shown_row(y), source_row(y), row_bytes);
    return {r.x, first, r.w, last - first + 1};
}

void shown_picture::replace(const uint16_t* screen, int pitch) {
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        std::memcpy(pixels_.data() + static_cast<size_t>(y) * SCREEN_WIDTH,
                    screen + static_cast<size_t>(y) * pitch, SCREEN_WIDTH * sizeof(uint16_t));
    known_ = true;
}

void shown_picture::forget() {
    known_ = false;
}
