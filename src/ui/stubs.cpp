// Placeholder bodies; filled in piece by piece.
#include "ui/toolkit.h"
#pragma GCC diagnostic ignored "-Wunused-parameter"

ui_window* first_window = nullptr;
ui_window* top_window = nullptr;
ui_object* focused_object = nullptr;
ui_object* last_object = nullptr;
uint8_t ui_refuse_flag = 0;
uint8_t ui_action_flag = 0;
uint16_t ui_blink_counter = 5;
input_line_state input_editing;

void derive_frame_colours(frame_style& style, uint16_t base) {}
frame_style make_frame_style(int type, uint16_t base) {
    return {};
}
void draw_frame(int x, int y, int w, int h, const frame_style& style) {}
void xor_cursor_box(int x, int y, int w, int h) {}
void ui_default_init(ui_object* object, event_msg& args) {}
void ui_default_draw(int x1, int y1, int x2, int y2, ui_object* object) {}
void ui_default_event(event_msg& msg, ui_object* object) {}
void ui_default_destroy(ui_object* object) {}
void ui_default_hook() {}
void default_window_draw(ui_window* window) {}
void install_toolkit() {}
void install_toolkit_with_base_window() {}
void reset_toolkit() {}
ui_window* create_window(int x, int y, int w, int h, uint16_t background, const frame_style& frame) {
    return {};
}
uint32_t open_window(ui_window* window) {
    return {};
}
void select_window(uint32_t id) {}
ui_window* find_window(uint32_t id) {
    return {};
}
void set_modal() {}
void redraw_window() {}
int close_window(ui_window* window) {
    return {};
}
int close_top_window() {
    return {};
}
void clamp_window(ui_window* window) {}
ui_object* define_object_with(uint16_t id, int x, int y, int w, int h, int alignment, object_class_fn cls,
                              event_msg& class_args) {
    return {};
}
void set_object_props(const frame_style* frame, int font_handle, const uint16_t* colours, int32_t colour) {}
const uint16_t* uniform_colours(uint16_t c) {
    return {};
}
void set_action(ui_hook_fn fn) {}
void set_event_hook(object_event_fn fn) {}
void set_focus_gained_hook(ui_hook_fn fn) {}
void set_focus_lost_hook(ui_hook_fn fn) {}
void set_focus(int id) {}
int release_focus() {
    return {};
}
void redraw_object(ui_object* object) {}
void draw_object(ui_window* window, ui_object* object, bool present) {}
void object_screen_position(const ui_window* window, const ui_object* object, int& sx, int& sy) {}
ui_object* find_object(int64_t window_id, int object_id) {
    return {};
}
int set_object_text(int64_t window_id, int object_id, const char* text) {
    return {};
}
int set_object_data(int64_t window_id, int object_id, const void* bytes, int length) {
    return {};
}
int set_object_value(int64_t window_id, int object_id, int32_t value) {
    return {};
}
void set_last_text(const char* text) {}
void set_last_value(int32_t value) {}
int32_t get_object_value(int64_t window_id, int object_id) {
    return {};
}
int get_object_data(int64_t window_id, int object_id, void* destination, size_t capacity) {
    return {};
}
void ui_button(ui_object* object) {}
void ui_label(ui_object* object) {}
void ui_input_line(ui_object* object) {}
void ui_title_bar(ui_object* object) {}
void ui_check_box(ui_object* object) {}
void ui_radio_group(ui_object* object) {}
void ui_toggle_button(ui_object* object) {}
void ui_centred_label(ui_object* object) {}
void ui_vscroll(ui_object* object) {}
void ui_hscroll(ui_object* object) {}
void ui_repeat_button(ui_object* object) {}
void ui_flat_button(ui_object* object) {}
void ui_resize_grip(ui_object* object) {}
void ui_close_label(ui_object* object) {}
std::string ui_object::text() const {
    return {};
}
