// Countdown timers driven by EV_TICK.
#pragma once

#include <cstdint>

struct timer_node;
using timer_callback = void (*)(timer_node* timer);

constexpr int TIMER_FOREVER = -1;
constexpr int TIMER_DELETED = -2;

struct timer_node {
    int id = 0;
    int counter = 0;      // ticks until it fires
    int interval = 0;     // reloaded into counter after each firing
    int repetitions = 0;  // left to fire; TIMER_FOREVER, or TIMER_DELETED when marked for deletion
    timer_callback callback = nullptr;
    void* user = nullptr;  // free for the owner of the timer
    uint8_t idle = 1;      // 0 while its callback runs
    timer_node* next = nullptr;
};

// Adds a timer at the front of the list; several timers may share an id.
timer_node* add_timer(int id, int interval, int repetitions, timer_callback callback);
// Removes every timer with the id; one whose callback is running is only
// marked and freed by the next tick without being called.
void remove_timers(int id);
timer_node* find_timer(int id);
// The first timer with the id fires on the next tick (pause 0) or stops
// counting down (pause 1). Returns the new counter, 0 when there is none.
int trigger_timer(int id, int pause);
// Frees the whole list.
void clear_timers();
int timer_count();

// Runs `ticks` passes over the list; each timer fires at most once, in the last pass.
void run_timers(int ticks);
