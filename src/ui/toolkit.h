#pragma once
// The window and control toolkit: a stack of rectangular windows filled with
// objects (controls). Windows and objects are plain records with function
// pointers; a class is a function that fills an object's function pointers
// and says how many bytes of value the object needs.
//
// The toolkit's dispatcher (install_toolkit) turns the key, mouse and tick
// events of the event tree into focus changes and events for the focused
// object, and runs an object's action from the main loop's next idle event,
// never inside the event that asked for it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/events.h"
#include "gfx/font.h"

// ---- Frames -----------------------------------------------------------------

// Rings drawn around a rectangle; for a window the ring count is also its
// border width.
struct frame_style {
    uint16_t colour_a = 0;  // light: top and left edges of a raised ring
    uint16_t colour_b = 0;  // dark: bottom and right edges of a raised ring
    uint16_t rings = 0;     // one-pixel rings around the rectangle (0 = none)
    uint16_t sunken = 0;    // bit i: ring i + 1 (from the inside) is sunken (A and B swap)
};

// A = the base colour with every channel doubled (a channel past 31 stays 31),
// B = every channel halved.
void derive_frame_colours(frame_style& style, uint16_t base);
// Types: 0 no frame, 1 flat line in the base colour, 2 double raised, 3 double
// sunken, 4 single raised, 5 single sunken, 6 inner sunken / outer raised,
// 7 inner raised / outer sunken. The result is kept in one record that the
// next call starts from (types 0 and 1 keep its sunken bits).
frame_style make_frame_style(int type, uint16_t base);
// Draws the rings around the rectangle (x, y, w, h); ring 1 lies directly
// outside it. draw_colour is left as it was.
void draw_frame(int x, int y, int w, int h, const frame_style& style);
// The input lines' text cursor: XORs the box's edges with white and presents
// them. Drawing the same box twice restores the pixels.
void xor_cursor_box(int x, int y, int w, int h);

// ---- Records ------------------------------------------------------------------

struct ui_object;
struct ui_window;

// Event numbers of the toolkit. Focus in, focus out and blink are handed
// straight to an object's event function; action and deliver travel through
// the event tree.
constexpr int32_t UI_EV_FOCUS_IN = 52;
constexpr int32_t UI_EV_FOCUS_OUT = 53;
constexpr int32_t UI_EV_ACTION = EV_UI_55;  // no arguments: an action was asked for
constexpr int32_t UI_EV_BLINK = 56;
// Object id, event number, that event's arguments: delivers an event to an
// object of the top window.
constexpr int32_t UI_EV_DELIVER = EV_UI_58;

// Object alignment: the corner of the window its x, y are measured from.
enum ui_alignment : uint8_t {
    ALIGN_TOP_LEFT = 0,
    ALIGN_TOP_RIGHT = 1,
    ALIGN_BOTTOM_RIGHT = 2,
    ALIGN_BOTTOM_LEFT = 3
};

// Id of objects that never take the focus.
constexpr uint16_t NO_OBJECT_ID = 0xFFFF;

using object_init_fn = void (*)(ui_object* object, event_msg& args);
using object_draw_fn = void (*)(int x1, int y1, int x2, int y2, ui_object* object);
using object_event_fn = void (*)(event_msg& msg, ui_object* object);
using object_destroy_fn = void (*)(ui_object* object);
using ui_hook_fn = void (*)();
using object_class_fn = void (*)(ui_object* object);
using window_draw_fn = void (*)(ui_window* window);

// What a class keeps for itself (a caption, an input line's state); owned by
// the object and destroyed with it.
struct object_private {
    virtual ~object_private() = default;
};

// The defaults every function pointer starts with: they do nothing. An object
// whose event function is ui_default_event never takes the focus by a click or
// by Tab.
void ui_default_init(ui_object* object, event_msg& args);
void ui_default_draw(int x1, int y1, int x2, int y2, ui_object* object);
void ui_default_event(event_msg& msg, ui_object* object);
void ui_default_destroy(ui_object* object);
void ui_default_hook();

struct ui_object {
    int16_t x = 0, y = 0;  // from the window corner chosen by the alignment
    int16_t w = 0, h = 0;
    frame_style frame{};  // drawn around the object; none at definition
    uint16_t colour = 0;  // background; the window's at definition
    uint16_t id = NO_OBJECT_ID;
    uint8_t alignment = ALIGN_TOP_LEFT;
    uint8_t grows_with_width = 0, grows_with_height = 0;  // used by resizing
    uint8_t enabled = 1;                                  // disabled: no focus, drawn dimmed
    int16_t screen_x = 0, screen_y = 0;                   // recomputed at every draw
    int32_t value_length = 0;
    std::vector<uint8_t> value;  // value_length bytes, zero-filled
    font_settings font;          // the font and colour slots current at definition
    std::unique_ptr<object_private> private_block;

    object_init_fn init = ui_default_init;
    object_draw_fn draw = ui_default_draw;
    object_event_fn event = ui_default_event;
    object_destroy_fn destroy = ui_default_destroy;
    object_event_fn event_hook = ui_default_event;
    ui_hook_fn focus_gained = ui_default_hook;
    ui_hook_fn focus_lost = ui_default_hook;
    ui_hook_fn action = ui_default_hook;

    uint8_t drawing = 0;  // set while drawn: a nested draw of the same object does nothing
    ui_object* next = nullptr;

    // The value read as text (never past the value's end).
    std::string text() const;
    template <class T>
    T* private_as() {
        return static_cast<T*>(private_block.get());
    }
};

// Draws the window's background and frame.
void default_window_draw(ui_window* window);

struct ui_window {
    int16_t x = 0, y = 0, w = 0, h = 0;  // the client area; the frame lies outside
    frame_style frame{};
    uint16_t background = 0;
    ui_object* objects = nullptr;  // in definition order
    uint32_t id = 0;
    uint8_t modal = 0;
    int16_t min_w = 60, min_h = 40;  // used only by resizing
    window_draw_fn draw = default_window_draw;
    ui_window* next = nullptr;            // the window above this one
    std::vector<ui_object*> focus_order;  // every object, ascending id

    int border() const { return frame.rings; }
};

// ---- Toolkit state ----------------------------------------------------------------

extern ui_window* first_window;  // bottom of the stack
extern ui_window* top_window;
extern ui_object* focused_object;  // an object of the top window, or none
extern ui_object* last_object;     // the most recently defined object of the top window
extern uint8_t ui_refuse_flag;     // set by a focus-lost hook to keep the focus
extern uint8_t ui_action_flag;     // set by an event function to ask for its action
extern uint16_t ui_blink_counter;

// ---- Windows ----------------------------------------------------------------------

// Registers the dispatcher for EV_MOUSE, EV_KEY, UI_EV_ACTION, EV_TICK and
// UI_EV_DELIVER.
void install_toolkit();
// Start-up: the base window (size 0, no frame) that stays at the bottom of the
// stack for the whole run.
void open_base_window();
// Removes the dispatcher and frees every window without setting stop_flag
// (tests, shutdown).
void reset_toolkit();

// A new window, clamped to the screen, not yet in the stack.
ui_window* create_window(int x, int y, int w, int h, uint16_t background, const frame_style& frame);
// Gives the window the next id and puts it on top; returns the id.
uint32_t open_window(ui_window* window);
void select_window(uint32_t id);
ui_window* find_window(uint32_t id);
void set_modal();
// Draws the top window and its objects and presents its rectangle.
void redraw_window();
// 0, or -1 when the focused object refused to let the focus go. Closing the
// last window sets stop_flag.
int close_window(ui_window* window);
int close_top_window();
// Keeps the window with its border on the screen.
void clamp_window(ui_window* window);

// ---- Objects (always in the top window) -----------------------------------------

ui_object* define_object_with(uint16_t id, int x, int y, int w, int h, int alignment, object_class_fn cls,
                              event_msg& class_args);
template <class... Args>
ui_object* define_object(uint16_t id, int x, int y, int w, int h, int alignment, object_class_fn cls,
                         Args... class_args) {
    event_msg args = make_event(0, class_args...);
    return define_object_with(id, x, y, w, h, alignment, cls, args);
}

// Changes the given properties of last_object: a null frame, a negative font
// handle, null colours or a colour of -1 leave that property as it is.
void set_object_props(const frame_style* frame, int font_handle, const uint16_t* colours, int32_t colour);
// Slot 0 = 0xFFFF (not drawn), slots 1-6 = c; one static table overwritten by the next call.
const uint16_t* uniform_colours(uint16_t c);
void set_action(ui_hook_fn fn);
void set_event_hook(object_event_fn fn);
void set_focus_gained_hook(ui_hook_fn fn);
void set_focus_lost_hook(ui_hook_fn fn);

void set_focus(int id);
// 0 when the focus was released (or nobody had it), -1 when refused.
int release_focus();
// Draws the object against the top window and presents its rectangle.
void redraw_object(ui_object* object);
// Draws the object against the window, presenting or not.
void draw_object(ui_window* window, ui_object* object, bool present);
// The object's screen position in the window by its alignment.
void object_screen_position(const ui_window* window, const ui_object* object, int& sx, int& sy);

// Object values: window id 0 is the top window, a negative one finds nothing;
// an unknown id does nothing and returns 0.
ui_object* find_object(int64_t window_id, int object_id);
// A text value always keeps its terminating NUL: the text is cut to the
// value's length - 1.
int set_object_text(int64_t window_id, int object_id, const char* text);
int set_object_data(int64_t window_id, int object_id, const void* bytes, int length);
int set_object_value(int64_t window_id, int object_id, int32_t value);
void set_last_text(const char* text);
void set_last_value(int32_t value);
int32_t get_object_value(int64_t window_id, int object_id);
// Copies the value, at most capacity bytes; returns the bytes copied.
int get_object_data(int64_t window_id, int object_id, void* destination, size_t capacity);

// ---- Classes -------------------------------------------------------------------------

void ui_button(ui_object* object);         // caption; value: pressed byte
void ui_label(ui_object* object);          // caption at the top-left corner
void ui_input_line(ui_object* object);     // maximum length n; value: n + 1 bytes of text
void ui_title_bar(ui_object* object);      // caption; drags the window
void ui_check_box(ui_object* object);      // caption; int, bit 0 checked, bit 7 pressed
void ui_radio_group(ui_object* object);    // count, captions...; int: the selected row
void ui_toggle_button(ui_object* object);  // caption; byte, bit 0 on
void ui_centred_label(ui_object* object);  // caption centred at the top
void ui_vscroll(ui_object* object);        // minimum, maximum, visible span, trough colour; int position
void ui_hscroll(ui_object* object);        // the same, horizontal
void ui_repeat_button(ui_object* object);  // caption, step; byte pressed
void ui_flat_button(ui_object* object);    // caption; byte pressed
void ui_resize_grip(ui_object* object);    // resizes the window
void ui_close_label(ui_object* object);    // caption; a left click sets stop_flag

// The companion action of a repeat button: steps the scroll bar whose id is
// the focused button's id rounded down to a multiple of 10 by the button's
// step, within the bar's range.
void ui_step_scroll_bar();

// The input lines' shared editing state (only the focused line uses it).
struct input_line_state {
    int cursor = 0;
    std::string saved_text;  // the text at focus-in (Escape restores it)
    uint8_t replace = 0;     // the next typed character replaces the whole text
};
extern input_line_state input_editing;
