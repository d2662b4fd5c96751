// The toolkit's event dispatcher: focus, Tab, clicks, ticks and actions.
#include "ui/toolkit.h"
#include "ui/toolkit_internal.h"

uint8_t ui_refuse_flag = 0;
uint8_t ui_action_flag = 0;
uint16_t ui_blink_counter = 5;

ui_object* mouse_capture = nullptr;

namespace {
constexpr uint8_t SCAN_TAB = 15;
ui_hook_fn pending_action = nullptr;

bool alive_in_top(const ui_object* object) {
    return object && top_window && object_window(object) == top_window;
}

void deliver(ui_object* object, event_msg& msg) {
    if (!alive_in_top(object)) return;
    msg.rewind();
    object->event(msg, object);
}

void deliver_with_hook(ui_object* object, event_msg& msg) {
    deliver(object, msg);
    if (!alive_in_top(object)) return;
    msg.rewind();
    object->event_hook(msg, object);
}

bool can_take_focus(const ui_object* object) {
    return object->enabled && object->event != ui_default_event;
}

ui_object* object_under_mouse(int x, int y) {
    for (ui_object* o = top_window->objects; o; o = o->next)
        if (can_take_focus(o) && object_hit(o, x, y)) return o;
    return nullptr;
}

// The new focus gets focus-in and its focus-gained hook.
void focus_gained(ui_object* object) {
    focused_object = object;
    send_to_object(object, UI_EV_FOCUS_IN);
    if (alive_in_top(object)) object->focus_gained();
}

void on_mouse(event_msg& msg) {
    const mouse_record* mouse = mouse_of(msg);
    if (!mouse) return;
    if (!mouse->left && mouse_capture) {
        // The release still reaches the dragging object, then the drag ends.
        ui_object* holder = mouse_capture;
        mouse_capture = nullptr;
        if (holder == focused_object) deliver(holder, msg);
        return;
    }
    if ((mouse->events & ~MOUSE_EV_MOTION) != 0) {
        ui_window* hit = nullptr;
        for (ui_window* w = first_window; w; w = w->next)
            if (mouse->x >= w->x && mouse->x <= w->x + w->w && mouse->y >= w->y && mouse->y <= w->y + w->h)
                hit = w;
        if (hit && hit != top_window) {
            select_window(hit->id);
            redraw_window();
        }
    }
    if (!top_window) return;
    const bool held = any_button_held(*mouse);
    if (ui_object* focused = focused_object) {
        const bool captured = mouse_capture == focused && mouse->left;
        const bool under = focused->enabled && (captured || object_hit(focused, mouse->x, mouse->y));
        if (under) deliver(focused, msg);
        if (held && !under && alive_in_top(focused)) {
            focused->focus_lost();
            if (ui_refuse_flag) return;
            send_to_object(focused, UI_EV_FOCUS_OUT);
            if (!top_window) return;
            ui_object* found = object_under_mouse(mouse->x, mouse->y);
            ui_object* now = found ? found : focused;
            if (!alive_in_top(now)) {
                focused_object = nullptr;
                return;
            }
            focus_gained(now);
            if (found) deliver(found, msg);
        }
    } else if (top_window->objects && held) {
        if (ui_object* found = object_under_mouse(mouse->x, mouse->y)) {
            focus_gained(found);
            deliver(found, msg);
        }
    }
}

void on_key(event_msg& msg) {
    msg.rewind();
    const auto code = static_cast<uint16_t>(msg.next_int());
    if (focused_object) deliver(focused_object, msg);
    if ((code >> 8) != SCAN_TAB || !top_window || top_window->focus_order.empty()) return;
    auto& order = top_window->focus_order;
    const int n = static_cast<int>(order.size());
    int start = n - 1;
    if (focused_object) {
        for (int i = 0; i < n; ++i)
            if (order[i] == focused_object) start = i;
        ui_refuse_flag = 0;
        ui_object* leaving = focused_object;
        leaving->focus_lost();
        if (ui_refuse_flag) return;
        send_to_object(leaving, UI_EV_FOCUS_OUT);
        if (!top_window) return;
    }
    focused_object = nullptr;
    const int step = (code & 0xFF) == 9 ? 1 : n - 1;
    for (int k = 1; k <= n; ++k) {
        ui_object* candidate = order[(start + k * step) % n];
        if (can_take_focus(candidate)) {
            focus_gained(candidate);
            return;
        }
    }
}

void on_tick(event_msg& msg) {
    ui_object* focused = focused_object;
    if (!focused) return;
    deliver(focused, msg);
    const uint16_t read = ui_blink_counter--;
    if (read != 0) return;
    ui_blink_counter = 5;
    event_msg blink = msg;
    blink.number = UI_EV_BLINK;
    deliver_with_hook(focused, blink);
}

void on_deliver(event_msg& msg) {
    msg.rewind();
    const int32_t id = msg.next_int();
    const int32_t number = msg.next_int();
    event_msg inner;
    inner.number = number;
    while (msg.remaining() > 0) inner.push(msg.args[msg.cursor++]);
    if (ui_object* object = find_object(0, id)) deliver_with_hook(object, inner);
}

// Runs the action asked for, once, from the next idle event. It leaves the
// tree before the action runs: an action that opens a window and runs a main
// loop of its own must be able to ask for that window's actions.
void action_runner(event_msg& msg, void**) {
    if (msg.number != EV_IDLE) return;
    ui_hook_fn action = pending_action;
    pending_action = nullptr;
    remove_event_handler(EV_IDLE, action_runner);
    if (action) action();
}

void on_action_request() {
    // A request while the last one waits for its idle event is dropped.
    if (has_event_handler(EV_IDLE, action_runner)) return;
    pending_action = focused_object ? focused_object->action : nullptr;
    add_event_handler(EV_IDLE, action_runner);
}

void toolkit_dispatcher(event_msg& msg, void**) {
    // An object's event may run main_loop, which brings its own events here.
    allow_reentry();
    if (msg.number == EV_INIT) return;
    if (!top_window) {
        stop_flag = 1;
        return;
    }
    const int32_t number = msg.number;
    ui_action_flag = 0;
    ui_refuse_flag = 0;
    if (ui_object* focused = focused_object) {
        event_msg copy = msg;
        copy.rewind();
        focused->event_hook(copy, focused);
    }
    switch (number) {
        case EV_MOUSE:
            on_mouse(msg);
            break;
        case EV_KEY:
            on_key(msg);
            break;
        case EV_TICK:
            on_tick(msg);
            break;
        case UI_EV_DELIVER:
            on_deliver(msg);
            break;
        case UI_EV_ACTION:
            on_action_request();
            break;
        default:
            break;
    }
    if (ui_action_flag) {
        ui_action_flag = 0;
        dispatch_event(UI_EV_ACTION);
    }
}

constexpr int32_t handled_events[] = {EV_MOUSE, EV_KEY, UI_EV_ACTION, EV_TICK, UI_EV_DELIVER};
}  // namespace

void install_toolkit() {
    for (int32_t number : handled_events) add_event_handler(number, toolkit_dispatcher);
}

void uninstall_toolkit_handlers() {
    for (int32_t number : handled_events) remove_event_handler(number, toolkit_dispatcher);
    remove_event_handler(EV_IDLE, action_runner);
}

void reset_dispatcher_state() {
    ui_refuse_flag = 0;
    ui_action_flag = 0;
    ui_blink_counter = 5;
    pending_action = nullptr;
    mouse_capture = nullptr;
    input_editing = input_line_state{};
}

void open_base_window() {
    // A new run in the same process starts from an empty stack.
    free_all_windows();
    ui_window* base = create_window(0, 0, 0, 0, 0, frame_style{});
    open_window(base);
}

int release_focus() {
    ui_object* object = focused_object;
    if (!object) return 0;
    ui_refuse_flag = 0;
    object->focus_lost();
    if (ui_refuse_flag) return -1;
    focused_object = nullptr;
    send_to_object(object, UI_EV_FOCUS_OUT);
    return 0;
}

void set_focus(int id) {
    if (release_focus() != 0) return;
    ui_object* object = find_object(0, id);
    if (!object) return;
    focused_object = object;
    event_msg msg;
    msg.number = UI_EV_FOCUS_IN;
    object->event_hook(msg, object);
    if (!alive_in_top(object)) return;
    msg.rewind();
    object->event(msg, object);
}

void send_to_object(ui_object* object, int32_t number) {
    if (!alive_in_top(object)) return;
    event_msg msg;
    msg.number = number;
    object->event(msg, object);
}

const mouse_record* mouse_of(event_msg& msg) {
    if (msg.number != EV_MOUSE) return nullptr;
    msg.rewind();
    return msg.next_ptr<mouse_record>();
}

bool object_hit(const ui_object* object, int x, int y) {
    // Measured against the window as it stands now, drawn since or not.
    int sx = object->screen_x, sy = object->screen_y;
    if (ui_window* window = object_window(object)) object_screen_position(window, object, sx, sy);
    return sx <= x && x <= sx + object->w && sy <= y && y <= sy + object->h;
}
