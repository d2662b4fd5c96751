// The main loop, do_events and the poll handlers that read the devices.
#include <chrono>
#include <thread>

#include "core/events.h"
#include "core/tasks.h"
#include "core/timers.h"

uint8_t stop_flag = 0;
uint8_t yield_mark = 0;
mouse_record mouse_state;

namespace {

int no_keys(uint16_t*, int) {
    return 0;
}
bool no_mouse(mouse_record*) {
    return false;
}
const input_source headless_input{no_keys, no_mouse};
const input_source* input = &headless_input;

uint64_t idle_sleeps = 0;

void real_sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
sleep_fn idle_sleep = real_sleep;

}  // namespace

void set_input_source(const input_source* source) {
    input = source ? source : &headless_input;
}

uint64_t main_loop_sleeps() {
    return idle_sleeps;
}

void set_main_loop_sleep(sleep_fn fn) {
    idle_sleep = fn ? fn : real_sleep;
}

void do_events() {
    yield_mark = 1;
    if (!in_main_thread()) {
        task_yield();
        return;
    }
    dispatch_event(EV_POLL);
    dispatch_event(EV_IDLE);
}

void main_loop() {
    stop_flag = 0;
    const bool in_task = !in_main_thread();
    for (;;) {
        uint32_t resumes = task_resume_count();
        dispatch_event(EV_POLL);
        dispatch_event(EV_IDLE);
        if (in_task) {
            // A loop inside a task must let the main thread run every cycle;
            // this does not count as work, so an idle main loop still sleeps.
            if (task_resume_count() == resumes) task_pause();
        } else if (yield_mark) {
            yield_mark = 0;
        } else {
            ++idle_sleeps;
            idle_sleep(10);
        }
        if (stop_flag) {
            stop_flag = 0;
            return;
        }
        if (in_task && terminate_requested()) return;
    }
}

void keyboard_reader(event_msg& msg, void**) {
    if (msg.number != EV_POLL) return;
    allow_reentry();
    uint16_t codes[8];
    int count = input->poll_keys(codes, 8);
    if (count > 8) count = 8;
    for (int i = 0; i < count; ++i) dispatch_event(EV_KEY, static_cast<int32_t>(codes[i]));
}

void mouse_reader(event_msg& msg, void**) {
    if (msg.number != EV_POLL) return;
    allow_reentry();
    mouse_record record;
    if (!input->read_mouse(&record)) return;
    mouse_state = record;
    dispatch_event(EV_MOUSE, &mouse_state);
}

void task_scheduler(event_msg& msg, void**) {
    if (msg.number != EV_POLL) return;
    allow_reentry();
    if (task_count() > 0) scheduling_pass();
}

void install_poll_handlers() {
    clear_timers();
    add_event_handler(EV_POLL, keyboard_reader);
    add_event_handler(EV_POLL, startup_clock);
    add_event_handler(EV_POLL, task_scheduler);
}

void install_game_clock() {
    remove_event_handler(EV_POLL, startup_clock);
    add_event_handler(EV_TICK, timer_driver);
    add_event_handler(EV_POLL, game_clock);
}
