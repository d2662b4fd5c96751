#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/fatal.h"
#include "core/events.h"
#include "core/tasks.h"

namespace {

constexpr int32_t EV_TEST = 500;

int cycles_left = 0;
void count_cycles(event_msg& msg, void**) {
    if (msg.number != EV_IDLE || !in_main_thread()) return;
    if (--cycles_left <= 0) stop_flag = 1;
}

class Tasks : public ::testing::Test {
  protected:
    void SetUp() override {
        clear_event_tree();
        add_event_handler(EV_POLL, task_scheduler);
        add_event_handler(EV_IDLE, count_cycles);
        yield_mark = 0;
        stop_flag = 0;
    }
    void TearDown() override {
        EXPECT_EQ(task_count(), 0) << "a test left a task behind";
        clear_event_tree();
    }
    static void run_cycles(int n) {
        cycles_left = n;
        main_loop();
    }
};

TEST_F(Tasks, YieldingTaskRunsOncePerMainLoopCycleAndKeepsTheLoopAwake) {
    int runs = 0;
    int id = create_task([&] {
        while (!terminate_requested()) {
            ++runs;
            task_yield();
        }
    });
    EXPECT_EQ(runs, 1);  // a new task runs at once
    EXPECT_EQ(current_task_id(), -1);
    uint64_t sleeps = main_loop_sleeps();
    run_cycles(20);
    EXPECT_EQ(runs, 21);
    EXPECT_EQ(main_loop_sleeps(), sleeps);
    wait_task_end(id);
    EXPECT_FALSE(task_alive(id));
}

TEST_F(Tasks, WaitingTaskLetsTheMainLoopSleep) {
    int id = create_task([] { task_wait_event(EV_TEST); });
    uint64_t sleeps = main_loop_sleeps();
    run_cycles(3);
    EXPECT_EQ(main_loop_sleeps(), sleeps + 3);
    wait_task_end(id);
}

TEST_F(Tasks, WaitEventReturnsTheNextDispatchOfItsNumberWhoeverSendsIt) {
    int first = -1, second = -1;
    std::string text;
    int waiter = create_task([&] {
        event_msg* msg = task_wait_event(EV_GAME_RESULT);
        ASSERT_NE(msg, nullptr);
        EXPECT_EQ(msg->number, EV_GAME_RESULT);
        first = msg->next_int();
        text = msg->next_text();
        msg = task_wait_event(EV_GAME_RESULT);
        ASSERT_NE(msg, nullptr);
        second = msg->next_int();
    });
    dispatch_event(EV_TEST, 1);
    scheduling_pass();
    EXPECT_EQ(first, -1);
    dispatch_event(EV_GAME_RESULT, 255, "save name");
    EXPECT_EQ(first, 255);  // woken within the dispatch
    EXPECT_EQ(text, "save name");

    // Sent by another task: the waiter runs at once, the sender resumes in a later pass.
    int sender = create_task([] { dispatch_event(EV_GAME_RESULT, 7); });
    EXPECT_EQ(second, 7);
    EXPECT_FALSE(task_alive(waiter));
    EXPECT_TRUE(task_alive(sender));
    scheduling_pass();
    EXPECT_FALSE(task_alive(sender));
}

TEST_F(Tasks, TerminateWakesAWaitingTaskWithNull) {
    bool got_null = false, later_null = false;
    int id = create_task([&] {
        got_null = task_wait_event(EV_TEST) == nullptr;
        EXPECT_TRUE(terminate_requested());
        later_null = task_wait_event(EV_TEST) == nullptr;  // returns at once now
    });
    terminate_task(id);
    EXPECT_TRUE(got_null);
    EXPECT_TRUE(later_null);
    EXPECT_FALSE(task_alive(id));
    EXPECT_EQ(task_wait_event(EV_TEST), nullptr);  // the main thread never waits
    terminate_task(id);                            // unknown ids are ignored
    wait_task_end(12345);
}

TEST_F(Tasks, TaskCreatedByATaskRunsFirstAndTheCreatorContinuesInALaterPass) {
    std::vector<std::string> order;
    create_task([&] {
        order.push_back("parent");
        create_task([&] {
            order.push_back("child");
            task_yield();
            order.push_back("child again");
        });
        order.push_back("parent again");
    });
    EXPECT_EQ(order, (std::vector<std::string>{"parent", "child"}));
    scheduling_pass();
    EXPECT_EQ(order, (std::vector<std::string>{"parent", "child", "parent again", "child again"}));
}

TEST_F(Tasks, IdsWrapToZeroAndSkipIdsInUse) {
    auto waiter = [] { task_wait_event(EV_TEST); };
    set_next_task_id(65535);
    int a = create_task(waiter);
    int b = create_task(waiter);
    set_next_task_id(65535);
    int c = create_task(waiter);
    EXPECT_EQ(a, 65535);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 1);
    EXPECT_FALSE(task_alive(-1));
    for (int id : {a, b, c}) wait_task_end(id);
}

TEST_F(Tasks, TasksWakeInIdOrderAndEachReadsItsOwnCopyOfTheArguments) {
    std::vector<int> seen;
    auto reader = [&](int tag) {
        return [&seen, tag] {
            event_msg* msg = task_wait_event(EV_TEST);
            int value = msg->next_int();
            task_yield();  // the copy stays valid while the task does other things
            seen.push_back(tag * 100 + value + msg->next_int());
        };
    };
    set_next_task_id(10);
    int late = create_task(reader(2));
    set_next_task_id(5);
    int early = create_task(reader(1));
    dispatch_event(EV_TEST, 3, 4);
    scheduling_pass();
    EXPECT_EQ(seen, (std::vector<int>{107, 207}));
    EXPECT_FALSE(task_alive(late));
    EXPECT_FALSE(task_alive(early));
}

TEST_F(Tasks, ExceptionEscapingATaskIsReportedAndTheTaskEnds) {
    testing::internal::CaptureStderr();
    int a = create_task([] { throw std::runtime_error("broken spell table"); });
    int b = create_task([] {
        task_yield();
        throw 42;
    });
    scheduling_pass();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("broken spell table"), std::string::npos);
    EXPECT_NE(err.find("Uknown error or crash"), std::string::npos);
    EXPECT_FALSE(task_alive(a));
    EXPECT_FALSE(task_alive(b));
}

[[noreturn]] void unwinding_fatal_hook(const char* text) {
    throw std::runtime_error(std::string("fatal: ") + text);
}

TEST_F(Tasks, FatalHookThatUnwindsCarriesTheReportToTheMainThread) {
    set_fatal_hook(unwinding_fatal_hook);
    std::string caught;
    try {
        create_task([] { throw std::runtime_error("bad map"); });
    } catch (const std::runtime_error& e) {
        caught = e.what();
    }
    set_fatal_hook(nullptr);
    EXPECT_EQ(caught, "fatal: bad map");
}

TEST_F(Tasks, NestedMainLoopInATaskEndsOnTerminateAndLeavesTheMainLoopIdle) {
    bool loop_ended = false;
    int id = create_task([&] {
        main_loop();
        loop_ended = true;
    });
    uint64_t sleeps = main_loop_sleeps();
    run_cycles(5);
    EXPECT_EQ(main_loop_sleeps(), sleeps + 5);
    EXPECT_FALSE(loop_ended);
    wait_task_end(id);
    EXPECT_TRUE(loop_ended);
}

TEST_F(Tasks, SleepingTaskIsNotResumedBeforeItsTime) {
    int resumed = 0;
    int id = create_task([&] {
        task_sleep(40);
        ++resumed;
    });
    scheduling_pass();
    EXPECT_EQ(resumed, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    scheduling_pass();
    EXPECT_EQ(resumed, 1);
    EXPECT_FALSE(task_alive(id));
}

int polls_seen = 0;
void count_polls(event_msg& msg, void**) {
    if (msg.number == EV_POLL) ++polls_seen;
}

TEST_F(Tasks, DoEventsInATaskYieldsAndOnTheMainThreadRunsOneCycle) {
    add_event_handler(EV_POLL, count_polls);
    polls_seen = 0;
    do_events();
    EXPECT_EQ(polls_seen, 1);
    int steps = 0;
    int id = create_task([&] {
        for (; steps < 3; ++steps) do_events();
    });
    EXPECT_EQ(polls_seen, 1);  // inside a task it only hands over
    EXPECT_EQ(yield_mark, 1);
    scheduling_pass();
    scheduling_pass();
    EXPECT_EQ(steps, 2);
    scheduling_pass();
    EXPECT_FALSE(task_alive(id));
}

TEST_F(Tasks, GameTaskRunEndsOnStopFlagOrWhenTheTaskEnds) {
    remove_event_handler(EV_IDLE, count_cycles);
    run_game_task([](void*) {}, nullptr);  // ends before the loop starts

    static int yields;
    yields = 0;
    run_game_task(
        [](void*) {
            for (; yields < 3; ++yields) task_yield();
            stop_flag = 1;
            task_wait_event(EV_GAME_RESULT);  // the shutdown's terminate wakes it
        },
        nullptr);
    EXPECT_EQ(yields, 3);
    EXPECT_EQ(stop_flag, 0);

    // A game task that returns without setting the flag still ends the run.
    run_game_task([](void*) { task_yield(); }, nullptr);
}

}  // namespace
