#include "story/modal_keys.h"

#include "core/events.h"

namespace {

const modal_keys* active = nullptr;

void modal_key_handler(event_msg& msg, void**) {
    if (msg.number != EV_KEY || !active || !active->key) return;
    event_msg copy = msg;
    if (active->key(static_cast<uint16_t>(copy.next_int() & 0xFFFF))) msg.number = EV_STOP;
}

void modal_mouse_handler(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE || !active || !active->mouse) return;
    event_msg copy = msg;
    const auto* mouse = copy.next_ptr<const mouse_record>();
    if (!mouse) mouse = &mouse_state;
    active->mouse(mouse->events);
}

}  // namespace

const modal_keys* install_modal_keys(const modal_keys* keys) {
    const modal_keys* previous = active;
    active = keys;
    // Added last, they run before the toolkit's dispatcher.
    remove_event_handler(EV_KEY, modal_key_handler);
    remove_event_handler(EV_MOUSE, modal_mouse_handler);
    add_event_handler(EV_KEY, modal_key_handler);
    add_event_handler(EV_MOUSE, modal_mouse_handler);
    return previous;
}

void restore_modal_keys(const modal_keys* previous) {
    active = previous;
    if (previous) return;
    remove_event_handler(EV_KEY, modal_key_handler);
    remove_event_handler(EV_MOUSE, modal_mouse_handler);
}
