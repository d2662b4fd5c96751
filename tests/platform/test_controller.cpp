#include <gtest/gtest.h>

#include "base/config.h"
#include "platform/controller.h"

TEST(ControllerSettings, DefaultsWithoutASection) {
    const controller_settings s = load_controller_settings(nullptr);
    EXPECT_TRUE(s.enabled);
    EXPECT_FALSE(s.swap_sticks);
    EXPECT_EQ(s.walk_deadzone, 16384);
    EXPECT_EQ(s.cursor_deadzone, 2048);
    EXPECT_EQ(s.actions[0], CA_LCLICK);
    EXPECT_EQ(s.actions[4], key_name_to_action("F2"));
    EXPECT_EQ(s.actions[7], CA_NONE);
    EXPECT_EQ(s.actions[13], CA_RIGHT);
    EXPECT_EQ(s.mod_actions[0], key_name_to_action("F10"));
    EXPECT_EQ(s.mod_actions[14], key_name_to_action("F12"));
    EXPECT_EQ(s.mod_actions[10], CA_MOD_KEY);
}

TEST(ControllerSettings, SectionOverridesAndModKeyCopiesToModSet) {
    auto doc = ini_parse(
        "[controller]\nenabled=false\nswap_sticks=true\nwalk_deadzone=1000\ncursor_deadzone=50\n"
        "button3=mod_key\nbutton5=split2\nmod+button5=turn_left\nbutton6=Enter\nbutton40=space\n");
    ASSERT_TRUE(doc);
    const controller_settings s = load_controller_settings(doc.get());
    EXPECT_FALSE(s.enabled);
    EXPECT_TRUE(s.swap_sticks);
    EXPECT_EQ(s.walk_deadzone, 1000);
    EXPECT_EQ(s.cursor_deadzone, 50);
    EXPECT_EQ(s.actions[3], CA_MOD_KEY);
    EXPECT_EQ(s.mod_actions[3], CA_MOD_KEY);
    EXPECT_EQ(s.actions[5], CA_SPLIT1 + 1);
    EXPECT_EQ(s.mod_actions[5], CA_TURN_LEFT);
    EXPECT_EQ(s.actions[6], CA_NONE);  // names are case-sensitive
}

TEST(ControllerActions, NamesAndKeys) {
    EXPECT_EQ(key_name_to_action("ctrl+lclick"), CA_CTRL_LCLICK);
    EXPECT_EQ(key_name_to_action("F1"), CA_F1);
    EXPECT_EQ(key_name_to_action("F12"), CA_F1 + 11);
    EXPECT_EQ(key_name_to_action("F13"), CA_NONE);
    EXPECT_EQ(key_name_to_action("F01"), CA_NONE);
    EXPECT_EQ(key_name_to_action("split7"), CA_NONE);
    EXPECT_EQ(action_key(CA_LEFT), 0x5100);
    EXPECT_EQ(action_key(CA_RIGHT), 0x4F00);
    EXPECT_EQ(action_key(CA_SPLIT1 + 5), 0x0736);
    EXPECT_EQ(action_key(CA_F1 + 10), 0x8500);
    EXPECT_EQ(action_key(CA_LCLICK), 0);
}

namespace {
// Polls a stick held at (x, y) n times; returns the polls (0-based) that produced a walk key.
std::vector<int> steps_while_held(stick_poll_state& state, const controller_settings& s, int x, int y, int n,
                                  key_code expected) {
    std::vector<int> at;
    for (int i = 0; i < n; ++i) {
        const stick_poll_result r = poll_sticks(state, s, {x, y, 0, 0}, false);
        if (r.walk_key) {
            EXPECT_EQ(r.walk_key, expected);
            at.push_back(i);
        }
    }
    return at;
}
}  // namespace

TEST(StickPoll, FullLeftStepsAtOnceThenAtTheRepeatInterval) {
    const controller_settings s = default_controller_settings();
    stick_poll_state state;
    // Dead zone 0x4000: the first repeat waits 19 polls after the step, then a
    // fully pushed stick repeats every 5 polls.
    const std::vector<int> at = steps_while_held(state, s, -32768, 0, 40, 0x4B00);
    EXPECT_EQ(at, (std::vector<int>{0, 20, 25, 30, 35}));
    // Released, the next push steps at once again.
    EXPECT_EQ(poll_sticks(state, s, {0, 0, 0, 0}, false).walk_key, 0);
    EXPECT_EQ(poll_sticks(state, s, {-32768, 0, 0, 0}, false).walk_key, 0x4B00);
}

TEST(StickPoll, DirectionsModKeyAndDiagonals) {
    const controller_settings s = default_controller_settings();
    stick_poll_state a, b, c, d;
    EXPECT_EQ(poll_sticks(a, s, {0, -32768, 0, 0}, false).walk_key, 0x4800);
    EXPECT_EQ(poll_sticks(b, s, {32767, 0, 0, 0}, true).walk_key, 0x5100);
    EXPECT_EQ(poll_sticks(c, s, {-32768, 0, 0, 0}, true).walk_key, 0x4F00);
    // Near the diagonal neither axis dominates.
    EXPECT_EQ(poll_sticks(d, s, {30000, 25000, 0, 0}, false).walk_key, 0);
    // Swapped sticks walk with axes 2 and 3.
    controller_settings swapped = s;
    swapped.swap_sticks = true;
    stick_poll_state e;
    EXPECT_EQ(poll_sticks(e, swapped, {0, 0, 0, 32767}, false).walk_key, 0x5000);
}

TEST(StickPoll, CursorStickMovesAtMostTwentyThreePixels) {
    const controller_settings s = default_controller_settings();
    stick_poll_state state;
    const stick_poll_result r = poll_sticks(state, s, {0, 0, 32767, -32768}, false);
    EXPECT_EQ(r.dx, 23);
    EXPECT_EQ(r.dy, -23);
    EXPECT_EQ(r.walk_key, 0);
    const stick_poll_result small = poll_sticks(state, s, {0, 0, 2000, 3000}, false);
    EXPECT_EQ(small.dx, 0);  // inside the dead zone
    EXPECT_EQ(small.dy, 0);  // (952 * 0.001)^2 * 0.025 rounds down to 0
}

TEST(StickPoll, HugeDeadZoneStillRepeats) {
    controller_settings s = default_controller_settings();
    s.walk_deadzone = 0x7FFF;  // would leave no countdown at all
    stick_poll_state state;
    const std::vector<int> at = steps_while_held(state, s, -32768, 0, 200, 0x4B00);
    ASSERT_GE(at.size(), 3u);
    EXPECT_EQ(at[0], 0);
}
