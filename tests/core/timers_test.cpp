#include <gtest/gtest.h>

#include <vector>

#include "core/clock.h"
#include "core/events.h"
#include "core/timers.h"

namespace {

int64_t fake_now = 0;
int64_t fake_clock() {
    return fake_now;
}

std::vector<int> fired;  // tick event index at which a timer fired, per call
int tick_index = 0;

std::vector<int32_t> tick_values;
void tick_recorder(event_msg& msg, void**) {
    if (msg.number == EV_TICK) tick_values.push_back(msg.next_int());
}

class Timers : public ::testing::Test {
  protected:
    void SetUp() override {
        clear_event_tree();
        clear_timers();
        fake_now = 0;
        set_clock_source(fake_clock);
        set_tick_length(DEFAULT_TICK_LENGTH);
        reset_clocks();
        fired.clear();
        tick_values.clear();
        tick_index = 0;
    }
    void TearDown() override {
        clear_event_tree();
        clear_timers();
        set_clock_source(nullptr);
        set_tick_length(DEFAULT_TICK_LENGTH);
    }

    // One tick event of k ticks through the tree, as the game clock sends it.
    void tick(int k) {
        ++tick_index;
        dispatch_event(EV_TICK, k);
    }
    void advance(int64_t ms) {
        fake_now += ms;
        dispatch_event(EV_POLL);
    }
};

void record_fire(timer_node*) {
    fired.push_back(tick_index);
}

TEST_F(Timers, IntervalOneThreeRepetitionsFiresOnThreeConsecutiveTicksThenIsGone) {
    add_event_handler(EV_TICK, timer_driver);
    add_timer(9, 1, 3, record_fire);
    for (int i = 0; i < 5; ++i) tick(1);
    EXPECT_EQ(fired, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(find_timer(9), nullptr);
}

TEST_F(Timers, ManyTicksInOneEventFireEachTimerOnceInTheLastPass) {
    add_event_handler(EV_TICK, timer_driver);
    add_timer(1, 1, TIMER_FOREVER, record_fire);
    add_timer(2, 4, TIMER_FOREVER, record_fire);
    add_timer(3, 30, 1, record_fire);
    tick(25);
    EXPECT_EQ(fired, (std::vector<int>{1, 1}));  // the interval-30 timer is not due yet
    EXPECT_EQ(find_timer(2)->counter, 4);        // reloaded, counting afresh
    fired.clear();
    tick(5);
    EXPECT_EQ(fired, (std::vector<int>{2, 2, 2}));
    tick(0);
    tick(-3);  // no passes for an empty or negative count
    EXPECT_EQ(fired.size(), 3u);
}

TEST_F(Timers, StallOfTwoSecondsGivesOneCappedTickAndAnIntervalFourTimerFiresOnce) {
    install_game_clock();
    add_event_handler(EV_TICK, tick_recorder);
    add_timer(4, 4, TIMER_FOREVER, [](timer_node*) { fired.push_back(static_cast<int>(fake_now)); });
    advance(25);
    EXPECT_EQ(tick_values, (std::vector<int32_t>{1}));
    advance(2000);
    EXPECT_EQ(tick_values, (std::vector<int32_t>{1, 25}));
    EXPECT_EQ(fired, (std::vector<int>{2025}));
    EXPECT_EQ(game_ticks(), 81);  // the count itself is not capped
    advance(10);                  // 2035 ms: still tick 81
    EXPECT_EQ(tick_values.size(), 2u);
}

TEST_F(Timers, LongerTickLengthSendsANegativeDifferenceAndTheCountFollows) {
    install_game_clock();
    add_event_handler(EV_TICK, tick_recorder);
    advance(1000);  // 40 ticks, sent capped at 25
    set_tick_length(50);
    advance(0);  // 1000 / 50 = 20
    advance(50);
    EXPECT_EQ(tick_values, (std::vector<int32_t>{25, -20, 1}));
    EXPECT_EQ(game_ticks(), 21);
}

TEST_F(Timers, StartupClockSendsTheAbsoluteTickCountOnlyWhenItChanges) {
    install_poll_handlers();
    add_event_handler(EV_TICK, tick_recorder);
    advance(0);
    advance(10);
    advance(20);
    advance(1000);
    EXPECT_EQ(tick_values, (std::vector<int32_t>{0, 1, 41}));
}

timer_node* self_remover_node = nullptr;
int self_remover_calls = 0;
void removes_itself(timer_node* t) {
    ++self_remover_calls;
    self_remover_node = t;
    remove_timers(t->id);
    EXPECT_EQ(find_timer(t->id), t);  // still linked while it runs
}

TEST_F(Timers, TimerRemovedInsideItsOwnCallbackIsNeverCalledAgain) {
    add_event_handler(EV_TICK, timer_driver);
    add_timer(5, 1, TIMER_FOREVER, removes_itself);
    add_timer(6, 1, TIMER_FOREVER, record_fire);
    self_remover_calls = 0;
    tick(1);
    tick(3);
    tick(1);
    EXPECT_EQ(self_remover_calls, 1);
    EXPECT_EQ(find_timer(5), nullptr);
    EXPECT_EQ(fired, (std::vector<int>{1, 2, 3}));  // the other timer is untouched
}

void removes_the_older_timer(timer_node*) {
    fired.push_back(-1);
    remove_timers(20);
}

TEST_F(Timers, CallbackThatUnlinksTheNextTimerEndsTheDriverCall) {
    add_event_handler(EV_TICK, timer_driver);
    add_timer(20, 1, TIMER_FOREVER, record_fire);
    add_timer(21, 1, TIMER_FOREVER, removes_the_older_timer);
    add_timer(22, 1, TIMER_FOREVER, record_fire);
    tick(1);
    EXPECT_EQ(fired, (std::vector<int>{1, -1}));
    EXPECT_EQ(timer_count(), 2);
}

TEST_F(Timers, TriggerFiresOnTheNextTickOrPausesTheTimer) {
    add_event_handler(EV_TICK, timer_driver);
    add_timer(7, 100, TIMER_FOREVER, record_fire);
    EXPECT_EQ(trigger_timer(7, 0), 1);
    tick(1);
    EXPECT_EQ(fired, (std::vector<int>{1}));
    EXPECT_EQ(trigger_timer(7, 1), -1);
    tick(500);
    EXPECT_EQ(fired.size(), 1u);
    EXPECT_EQ(trigger_timer(8, 0), 0);  // no such timer
}

TEST_F(Timers, SharedIdsAreRemovedTogetherAndClearEmptiesTheList) {
    add_timer(3, 5, 1, record_fire);
    add_timer(3, 6, 1, record_fire);
    add_timer(4, 7, 1, record_fire);
    remove_timers(3);
    EXPECT_EQ(timer_count(), 1);
    EXPECT_EQ(find_timer(4)->interval, 7);
    clear_timers();
    EXPECT_EQ(timer_count(), 0);
}

}  // namespace
