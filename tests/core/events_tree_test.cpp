#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/events.h"

namespace {

constexpr int32_t EV_TEST = 500;
constexpr int32_t EV_OTHER = 501;

std::vector<std::string> calls;

class EventTree : public ::testing::Test {
  protected:
    void SetUp() override {
        clear_event_tree();
        calls.clear();
    }
    void TearDown() override { clear_event_tree(); }
};

void handler_a(event_msg& msg, void**) {
    if (msg.number == EV_TEST) calls.push_back("a");
}
void handler_b(event_msg& msg, void**) {
    if (msg.number == EV_TEST) calls.push_back("b");
}
void handler_stop(event_msg& msg, void**) {
    if (msg.number != EV_TEST) return;
    calls.push_back("stop");
    msg.number = EV_STOP;
}
void handler_once(event_msg& msg, void**) {
    if (msg.number != EV_TEST) return;
    calls.push_back("once");
    msg.number = EV_REMOVE_SELF;
}

TEST_F(EventTree, LaterHandlersRunFirstAndStopHidesTheEventFromTheRest) {
    add_event_handler(EV_TEST, handler_a);
    add_event_handler(EV_TEST, handler_stop);
    add_event_handler(EV_TEST, handler_b);
    dispatch_event(EV_TEST);
    EXPECT_EQ(calls, (std::vector<std::string>{"b", "stop"}));
}

TEST_F(EventTree, AddingTwiceKeepsOneRegistrationAndRemovingUnknownDoesNothing) {
    add_event_handler(EV_TEST, handler_a);
    add_event_handler(EV_TEST, handler_a);
    remove_event_handler(EV_TEST, handler_b);
    remove_event_handler(EV_OTHER, handler_a);
    dispatch_event(EV_TEST);
    EXPECT_EQ(calls, (std::vector<std::string>{"a"}));
    remove_event_handler(EV_TEST, handler_a);
    EXPECT_FALSE(has_event_handler(EV_TEST, handler_a));
    dispatch_event(EV_TEST);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(EventTree, RemoveSelfNumberUnregistersAfterTheCallAndTheWalkContinues) {
    add_event_handler(EV_TEST, handler_a);
    add_event_handler(EV_TEST, handler_once);
    dispatch_event(EV_TEST);
    dispatch_event(EV_TEST);
    EXPECT_EQ(calls, (std::vector<std::string>{"once", "a", "a"}));
    EXPECT_FALSE(has_event_handler(EV_TEST, handler_once));
}

// Private data: allocated at EV_INIT from the add arguments, seen at every
// call, released by the tree when the handler is removed.
struct counter_data {
    int start;
    int seen;
};
int removal_argument = 0;
int counter_seen_at_removal = 0;

void counting_handler(event_msg& msg, void** data) {
    if (msg.number == EV_INIT) {
        auto* d = static_cast<counter_data*>(std::malloc(sizeof(counter_data)));
        d->start = msg.next_int();
        d->seen = 0;
        *data = d;
        return;
    }
    auto* d = static_cast<counter_data*>(*data);
    if (msg.number == EV_REMOVE) {
        removal_argument = msg.next_int();
        counter_seen_at_removal = d->start + d->seen;
        return;
    }
    d->seen++;
}

TEST_F(EventTree, InitGetsTheAddArgumentsAndRemoveGetsItsArgumentBeforeTheDataIsFreed) {
    add_event_handler(EV_TEST, counting_handler, 100);
    dispatch_event(EV_TEST);
    dispatch_event(EV_TEST);
    remove_event_handler(EV_TEST, counting_handler, 7);
    EXPECT_EQ(removal_argument, 7);
    EXPECT_EQ(counter_seen_at_removal, 102);
}

// A handler that asks for its own removal keeps running (and keeps its data)
// until it returns; the sanitizers catch a premature free.
void self_removing(event_msg& msg, void** data) {
    if (msg.number == EV_INIT) {
        *data = std::malloc(sizeof(int));
        *static_cast<int*>(*data) = 5;
        return;
    }
    if (msg.number != EV_TEST) return;
    remove_event_handler(EV_TEST, self_removing);
    calls.push_back("still running " + std::to_string(*static_cast<int*>(*data)));
}

TEST_F(EventTree, HandlerRemovingItselfIsFreedOnlyWhenItReturns) {
    add_event_handler(EV_TEST, handler_a);
    add_event_handler(EV_TEST, self_removing);
    dispatch_event(EV_TEST);
    dispatch_event(EV_TEST);
    EXPECT_EQ(calls, (std::vector<std::string>{"still running 5", "a", "a"}));
}

// Nested dispatch of the same event skips the running handler unless it
// allowed re-entry.
int depth_plain = 0, depth_reentrant = 0;
void nesting_plain(event_msg& msg, void**) {
    if (msg.number != EV_TEST) return;
    if (++depth_plain < 3) dispatch_event(EV_TEST);
}
void nesting_reentrant(event_msg& msg, void**) {
    if (msg.number != EV_TEST) return;
    allow_reentry();
    if (++depth_reentrant < 3) dispatch_event(EV_TEST);
}

TEST_F(EventTree, NestedDispatchSkipsRunningHandlersUnlessTheyAllowReentry) {
    depth_plain = depth_reentrant = 0;
    add_event_handler(EV_TEST, nesting_plain);
    dispatch_event(EV_TEST);
    EXPECT_EQ(depth_plain, 1);
    remove_event_handler(EV_TEST, nesting_plain);
    add_event_handler(EV_TEST, nesting_reentrant);
    dispatch_event(EV_TEST);
    EXPECT_EQ(depth_reentrant, 3);
}

void adds_b_and_removes_a(event_msg& msg, void**) {
    if (msg.number != EV_TEST) return;
    calls.push_back("adder");
    add_event_handler(EV_TEST, handler_b);
    remove_event_handler(EV_TEST, handler_a);
}

TEST_F(EventTree, HandlersAddedDuringTheWalkWaitForTheNextDispatchAndRemovedOnesAreSkipped) {
    add_event_handler(EV_TEST, handler_a);
    add_event_handler(EV_TEST, adds_b_and_removes_a);
    dispatch_event(EV_TEST);
    EXPECT_EQ(calls, (std::vector<std::string>{"adder"}));
    calls.clear();
    dispatch_event(EV_TEST);
    EXPECT_EQ(calls, (std::vector<std::string>{"b", "adder"}));
}

// Every handler reads the arguments from the start, whatever the previous one read.
std::vector<int64_t> read_values;
void reads_all(event_msg& msg, void**) {
    if (msg.number != EV_TEST) return;
    read_values.push_back(msg.next_int());
    read_values.push_back(msg.next_uint());
    read_values.push_back(msg.next_int64());
    const char* text = msg.next_text();
    read_values.push_back(text ? static_cast<int64_t>(std::string(text).size()) : -1);
    read_values.push_back(msg.next_int());  // past the end
}

TEST_F(EventTree, ArgumentsAreReadInOrderFromTheStartAndPastTheEndGiveZero) {
    read_values.clear();
    add_event_handler(EV_TEST, reads_all);
    add_event_handler(EV_OTHER, reads_all);  // a second event node in the list
    add_event_handler(EV_TEST, handler_a);
    dispatch_event(EV_TEST, -3, 4000000000u, int64_t{1} << 40, "text");
    ASSERT_EQ(read_values.size(), 5u);
    EXPECT_EQ(read_values[0], -3);
    EXPECT_EQ(read_values[1], 4000000000);
    EXPECT_EQ(read_values[2], int64_t{1} << 40);
    EXPECT_EQ(read_values[3], 4);
    EXPECT_EQ(read_values[4], 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"a"}));
}

void throwing_handler(event_msg& msg, void**) {
    if (msg.number == EV_TEST) throw std::runtime_error("handler failed");
}

TEST_F(EventTree, ExceptionFromAHandlerLeavesTheTreeUsable) {
    add_event_handler(EV_TEST, throwing_handler);
    EXPECT_THROW(dispatch_event(EV_TEST), std::runtime_error);
    EXPECT_THROW(dispatch_event(EV_TEST), std::runtime_error);  // still enabled
    remove_event_handler(EV_TEST, throwing_handler);            // and removable
    EXPECT_FALSE(has_event_handler(EV_TEST, throwing_handler));
}

TEST(EventMessage, MismatchedKindsReadAsZeroOrNull) {
    event_msg msg = make_event(EV_TEST, 5, nullptr);
    EXPECT_EQ(msg.next_pointer(), nullptr);  // an int is not a pointer
    EXPECT_EQ(msg.next_int(), 0);            // a null pointer is not an int
    EXPECT_EQ(msg.next_handler(), nullptr);
    EXPECT_EQ(msg.remaining(), -1);
}

void records_any(event_msg& msg, void**) {
    if (msg.number != EV_INIT) calls.push_back(std::to_string(msg.number));
}

TEST_F(EventTree, RequestNumbersAreNeverDispatchedToHandlers) {
    add_event_handler(EV_ADD, records_any);
    add_event_handler(EV_REMOVE, records_any);
    add_event_handler(EV_TEST, handler_b);
    remove_event_handler(EV_TEST, handler_b);
    EXPECT_TRUE(calls.empty());
}

}  // namespace
