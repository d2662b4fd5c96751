// The current display, the factory that makes it, and the glue through which
// the screen buffer and the event tree reach it.
#include "platform/display.h"

#include <mutex>

#include "platform/display_server.h"

namespace {

display_factory& factory() {
    static display_factory f;
    return f;
}

std::unique_ptr<IDisplay>& current() {
    static std::unique_ptr<IDisplay> d;
    return d;
}

}  // namespace

void set_display_factory(display_factory f) {
    factory() = std::move(f);
}

IDisplay& display() {
    auto& d = current();
    if (!d) d = factory() ? factory()() : std::make_unique<DisplayServer>();
    return *d;
}

bool display_exists() {
    return current() != nullptr;
}

void destroy_display() {
    auto& d = current();
    if (!d) return;
    d->close();
    d.reset();
}

void display_open(const video_settings& settings, const char* title) {
    display().open(settings, title);
}
void display_close() {
    if (display_exists()) display().close();
}
void present_region(int x, int y, int w, int h) {
    display().present_region(x, y, w, h);
}
void begin_transition() {
    display().begin_transition();
}
void end_transition() {
    display().end_transition();
}
void zoom_transition(int view_y, int left, int top, int right, int bottom, float t) {
    display().zoom_transition(view_y, left, top, right, bottom, t);
}
void turn_transition(int view_y, int margin, float t) {
    display().turn_transition(view_y, margin, t);
}
void shake_offset(int dx, int dy) {
    display().shake_offset(dx, dy);
}
