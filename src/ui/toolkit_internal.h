#pragma once
// Shared between the toolkit's own files; not for its users.
#include <string>

#include "ui/toolkit.h"

// The window that holds the object, or none (a closed window's objects are gone).
ui_window* object_window(const ui_object* object);
// Hands the object a message of that number without arguments.
void send_to_object(ui_object* object, int32_t number);
void uninstall_toolkit_handlers();
// An object that drags (title bar, resize grip, scroll bar) holds the mouse
// from its left press to the release: the mouse events reach it wherever the
// pointer is, even when the drag outruns the object.
extern ui_object* mouse_capture;
void reset_dispatcher_state();
// Frees every window without setting stop_flag; ids start again at 0.
void free_all_windows();

// The mouse record an EV_MOUSE message carries (null for any other message).
const mouse_record* mouse_of(event_msg& msg);
bool object_hit(const ui_object* object, int x, int y);
inline bool any_button_held(const mouse_record& m) {
    return m.left || m.right || m.middle;
}

// A class's private block holding its caption.
struct caption_block : object_private {
    std::string caption;
};
// Copies the next class argument (a text) as the caption.
void keep_caption(ui_object* object, event_msg& args);
const std::string& caption_of(ui_object* object);
// The first value byte (0 without a value).
uint8_t value_byte(const ui_object* object);
void set_value_byte(ui_object* object, uint8_t v);
int32_t value_int(const ui_object* object);
void set_value_int(ui_object* object, int32_t v);

// Moves a scroll bar's position by step within its range (nothing for an
// object that is not a scroll bar).
void step_scroll_bar(ui_object* bar, int step);
