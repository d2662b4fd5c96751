#include "core/clock.h"

#include <atomic>
#include <chrono>

#include "core/events.h"

namespace {

using steady = std::chrono::steady_clock;
const steady::time_point process_start = steady::now();

int64_t steady_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(steady::now() - process_start).count();
}

// Tests may install a source from a thread other than the runner's.
std::atomic<clock_source_fn> source{steady_ms};
int ticks_length = DEFAULT_TICK_LENGTH;
int64_t counted_ticks = 0;
int64_t last_startup_tick = -1;

}  // namespace

int64_t clock_ms() {
    return source.load(std::memory_order_relaxed)();
}

void set_clock_source(clock_source_fn fn) {
    source.store(fn ? fn : steady_ms, std::memory_order_relaxed);
}

int tick_length() {
    return ticks_length;
}

void set_tick_length(int milliseconds) {
    ticks_length = milliseconds < 1 ? 1 : milliseconds;
}

int64_t game_ticks() {
    return counted_ticks;
}

void reset_clocks() {
    counted_ticks = 0;
    last_startup_tick = -1;
}

void startup_clock(event_msg& msg, void**) {
    if (msg.number != EV_POLL) return;
    allow_reentry();
    int64_t tick = clock_ms() / DEFAULT_TICK_LENGTH;
    if (tick == last_startup_tick) return;
    last_startup_tick = tick;
    dispatch_event(EV_TICK, static_cast<int32_t>(tick));
}

void game_clock(event_msg& msg, void**) {
    if (msg.number != EV_POLL) return;
    allow_reentry();
    int64_t difference = clock_ms() / ticks_length - counted_ticks;
    if (difference == 0) return;
    counted_ticks += difference;
    // A long stall must not replay hundreds of timer passes. A negative
    // difference (the tick length grew) goes out as it is.
    if (difference > MAX_TICKS_PER_EVENT) difference = MAX_TICKS_PER_EVENT;
    if (difference < INT32_MIN) difference = INT32_MIN;
    dispatch_event(EV_TICK, static_cast<int32_t>(difference));
}
