// The event tree: numbered events dispatched synchronously to registered
// handlers, the main loop that drives everything, and the poll handlers that
// turn device input and the clock into key, mouse and tick events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <variant>

#include "core/event_ids.h"  // the event numbers

// A handler may overwrite the message number with one of these.
constexpr int32_t EV_STOP = -1;         // no handler after this one sees the event
constexpr int32_t EV_REMOVE_SELF = -2;  // remove this handler once it returns

struct event_msg;
// A handler gets the message and its private data slot (one pointer, null at
// first; memory stored there must come from malloc: the tree frees it).
using event_handler = void (*)(event_msg& msg, void** data);

// One argument of an event. Arguments are copied by value into the message,
// so a message can be handed to a task running on another thread.
using event_arg = std::variant<std::monostate, int32_t, uint32_t, int64_t, const void*, event_handler>;

struct event_msg {
    static constexpr int max_args = 10;

    int32_t number = 0;
    event_arg args[max_args]{};
    int8_t arg_count = 0;
    int8_t cursor = 0;  // the next argument a handler reads

    // Readers take the next argument in order. Reading past the end, or an
    // argument of a different kind, gives 0 / null instead of garbage.
    int32_t next_int();
    uint32_t next_uint();
    int64_t next_int64();
    const void* next_pointer();
    template <class T>
    T* next_ptr() {
        return static_cast<T*>(const_cast<void*>(next_pointer()));
    }
    const char* next_text() { return static_cast<const char*>(next_pointer()); }
    event_handler next_handler();
    int remaining() const { return arg_count - cursor; }
    void rewind() { cursor = 0; }

    void push(event_arg arg);
};

// Turns one C++ argument into an event argument.
template <class T>
event_arg to_event_arg(T value) {
    using V = std::decay_t<T>;
    if constexpr (std::is_same_v<V, event_handler>) {
        return value;
    } else if constexpr (std::is_same_v<V, std::nullptr_t>) {
        return static_cast<const void*>(nullptr);
    } else if constexpr (std::is_pointer_v<V>) {
        static_assert(!std::is_function_v<std::remove_pointer_t<V>>, "only event handlers may be passed");
        return static_cast<const void*>(value);
    } else if constexpr (std::is_enum_v<V>) {
        return to_event_arg(static_cast<std::underlying_type_t<V>>(value));
    } else if constexpr (std::is_same_v<V, bool>) {
        return static_cast<int32_t>(value ? 1 : 0);
    } else if constexpr (std::is_integral_v<V> && sizeof(V) <= 4 && std::is_signed_v<V>) {
        return static_cast<int32_t>(value);
    } else if constexpr (std::is_integral_v<V> && sizeof(V) <= 4) {
        return static_cast<uint32_t>(value);
    } else {
        static_assert(std::is_integral_v<V>, "events carry integers, pointers and handlers");
        return static_cast<int64_t>(value);
    }
}

template <class... Args>
event_msg make_event(int32_t number, Args... args) {
    static_assert(sizeof...(Args) <= event_msg::max_args, "too many event arguments");
    event_msg msg;
    msg.number = number;
    (msg.push(to_event_arg(args)), ...);
    return msg;
}

// Dispatches a prepared message: EV_ADD and EV_REMOVE are requests to the
// tree, every other number runs its handlers and then wakes the tasks that
// wait for it. Returns 0.
int dispatch_message(const event_msg& msg);

template <class... Args>
int dispatch_event(int32_t number, Args... args) {
    return dispatch_message(make_event(number, args...));
}

// Shorthands of the add and remove requests.
template <class... Args>
void add_event_handler(int32_t number, event_handler handler, Args... init_args) {
    dispatch_event(EV_ADD, number, handler, init_args...);
}
void remove_event_handler(int32_t number, event_handler handler, int32_t argument = 0);
bool has_event_handler(int32_t number, event_handler handler);

// A handler that must run again in a nested dispatch of its own event calls
// this at its start (it re-enables the handler that is running now).
void allow_reentry();

// Removes every handler and event node without calling them (tests, exit).
void clear_event_tree();

// Set to end the main loop.
extern uint8_t stop_flag;
// Set by do_events: tells the main loop that work happened in this cycle.
extern uint8_t yield_mark;

// On the main thread: one cycle of EV_POLL and EV_IDLE. Inside a task: gives
// the baton to the main thread until the next scheduling pass.
void do_events();
// Runs cycles until stop_flag is set; sleeps 10 ms after a cycle in which
// nothing yielded. Inside a task it also ends when the task is asked to
// terminate.
void main_loop();
// How often the main loop has slept for lack of work (measurements, tests).
uint64_t main_loop_sleeps();
// The idle sleep of the main loop (a virtual clock advances instead); nullptr
// restores the real sleep.
using sleep_fn = void (*)(int milliseconds);
void set_main_loop_sleep(sleep_fn fn);

// ---- Device input, installed by the platform layer -------------------------

// The 12-byte mouse state record.
struct mouse_record {
    uint8_t changed = 0;  // anything changed since the last read
    uint8_t unused1 = 0;
    uint16_t x = 0, y = 0;  // logical 0-639, 0-479
    uint8_t left = 0, right = 0, middle = 0;
    uint8_t unused9 = 0;
    uint16_t events = 0;  // bit 0 motion, 1/2 left down/up, 3/4 right down/up, 5/6 middle down/up
};
static_assert(sizeof(mouse_record) == 12);

enum : uint16_t {
    MOUSE_EV_MOTION = 0x01,
    MOUSE_EV_LEFT_DOWN = 0x02,
    MOUSE_EV_LEFT_UP = 0x04,
    MOUSE_EV_RIGHT_DOWN = 0x08,
    MOUSE_EV_RIGHT_UP = 0x10,
    MOUSE_EV_MIDDLE_DOWN = 0x20,
    MOUSE_EV_MIDDLE_UP = 0x40,
};

// The global mouse state the mouse reader sends with EV_MOUSE.
extern mouse_record mouse_state;

struct input_source {
    // Fills up to `capacity` key codes to send in this poll (already through
    // the national keyboard layer) and returns how many.
    int (*poll_keys)(uint16_t* codes, int capacity);
    // Copies the device's mouse record into *out and clears its change flags;
    // returns true when it had changed.
    bool (*read_mouse)(mouse_record* out);
};
// nullptr restores the headless source, which never reports anything.
void set_input_source(const input_source* source);

// ---- The start-up poll handlers -------------------------------------------

void keyboard_reader(event_msg& msg, void** data);  // EV_POLL -> EV_KEY
void mouse_reader(event_msg& msg, void** data);     // EV_POLL -> EV_MOUSE
void task_scheduler(event_msg& msg, void** data);   // EV_POLL -> one scheduling pass
void startup_clock(event_msg& msg, void** data);    // EV_POLL -> EV_TICK (absolute count)
void game_clock(event_msg& msg, void** data);       // EV_POLL -> EV_TICK (elapsed, at most 25)
void timer_driver(event_msg& msg, void** data);     // EV_TICK -> timers

// Start sequence pieces: clears the timers and registers keyboard reader,
// start-up clock and task scheduler on EV_POLL.
void install_poll_handlers();
// End of start-up: swaps the start-up clock for the game clock and adds the
// timer driver on EV_TICK.
void install_game_clock();
