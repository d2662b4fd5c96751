#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "core/clock.h"
#include "core/events.h"
#include "core/timers.h"

namespace {

int64_t virtual_ms = 0;
int64_t virtual_clock() {
    return virtual_ms;
}
void virtual_sleep(int ms) {
    virtual_ms += ms;
}

std::deque<uint16_t> queued_keys;
int polls = 0;
int poll_keys(uint16_t* codes, int capacity) {
    ++polls;
    if (queued_keys.empty() || capacity < 1) return 0;
    codes[0] = queued_keys.front();
    queued_keys.pop_front();
    return 1;
}
bool read_mouse(mouse_record* out) {
    if (polls != 3) return false;
    *out = mouse_record{};
    out->changed = 1;
    out->x = 320;
    out->events = MOUSE_EV_LEFT_DOWN;
    return true;
}
const input_source test_input{poll_keys, read_mouse};

std::vector<int32_t> keys_seen;
std::vector<int> mouse_seen;
void key_handler(event_msg& msg, void**) {
    if (msg.number == EV_KEY) keys_seen.push_back(msg.next_int());
}
void mouse_handler(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE) return;
    auto* record = msg.next_ptr<mouse_record>();
    EXPECT_EQ(record, &mouse_state);
    mouse_seen.push_back(record->x);
}

TEST(MainLoop, PollHandlersTurnDevicesAndClockIntoEventsUntilStopped) {
    clear_event_tree();
    virtual_ms = 0;
    polls = 0;
    set_clock_source(virtual_clock);
    set_main_loop_sleep(virtual_sleep);
    set_input_source(&test_input);
    reset_clocks();
    queued_keys = {0x1E61, 0x011B};

    install_poll_handlers();
    add_event_handler(EV_POLL, mouse_reader);
    install_game_clock();
    EXPECT_FALSE(has_event_handler(EV_POLL, startup_clock));
    EXPECT_TRUE(has_event_handler(EV_TICK, timer_driver));
    add_event_handler(EV_KEY, key_handler);
    add_event_handler(EV_MOUSE, mouse_handler);
    add_timer(1, 4, 1, [](timer_node*) { stop_flag = 1; });

    uint64_t sleeps = main_loop_sleeps();
    stop_flag = 1;  // a stale flag does not end the new loop
    main_loop();
    EXPECT_EQ(stop_flag, 0);
    // The fourth tick comes at 100 ms, in the 11th cycle, which still ends
    // with its idle sleep.
    EXPECT_EQ(virtual_ms, 110);
    EXPECT_EQ(main_loop_sleeps() - sleeps, 11u);
    EXPECT_EQ(polls, 11);
    EXPECT_EQ(keys_seen, (std::vector<int32_t>{0x1E61, 0x011B}));
    EXPECT_EQ(mouse_seen, (std::vector<int>{320}));
    EXPECT_EQ(game_ticks(), 4);

    set_input_source(nullptr);
    set_main_loop_sleep(nullptr);
    set_clock_source(nullptr);
    clear_event_tree();
    clear_timers();
}

}  // namespace
