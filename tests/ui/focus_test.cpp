#include <vector>

#include "toolkit_fixture.h"

using ui_test::Toolkit;

namespace {
std::vector<std::string> happened;
void action_a() {
    happened.push_back("a");
}
void action_b() {
    happened.push_back("b");
}
void refuse_to_leave() {
    ui_refuse_flag = 1;
}

// A window with, in definition order: label 1, button 30, input line 10,
// disabled button 20, button 40.
class Focus : public Toolkit {
  protected:
    void SetUp() override {
        Toolkit::SetUp();
        happened.clear();
        open_test_window(0, 0, 0, 0);
        open_test_window(100, 100, 300, 200);
        define_object(1, 10, 10, 100, 12, 0, ui_label, "name");
        define_object(30, 10, 30, 60, 20, 0, ui_button, "ok");
        set_action(action_a);
        define_object(10, 10, 60, 100, 12, 0, ui_input_line, 12);
        define_object(20, 10, 80, 60, 20, 0, ui_button, "off");
        last_object->enabled = 0;
        define_object(40, 10, 110, 60, 20, 0, ui_button, "cancel");
        set_action(action_b);
        redraw_window();
    }
    static int focused_id() { return focused_object ? focused_object->id : -1; }
};
}  // namespace

TEST_F(Focus, TabWalksFocusableObjectsInIdOrderAndWraps) {
    tab();
    EXPECT_EQ(focused_id(), 10);  // from the last entry, wrapping to the lowest focusable id
    tab();
    EXPECT_EQ(focused_id(), 30);  // the disabled 20 is skipped
    tab();
    EXPECT_EQ(focused_id(), 40);
    tab();
    EXPECT_EQ(focused_id(), 10);
    shift_tab();
    EXPECT_EQ(focused_id(), 40);
}

TEST_F(Focus, ShiftTabWithNothingFocusedStepsBackFromTheLastEntry) {
    shift_tab();
    EXPECT_EQ(focused_id(), 30);
}

TEST_F(Focus, RefusingFocusLostHookKeepsTheFocus) {
    set_focus(30);
    set_focus_lost_hook(refuse_to_leave);  // last_object is button 40
    set_focus(40);
    ASSERT_EQ(focused_id(), 40);
    tab();
    EXPECT_EQ(focused_id(), 40);
    EXPECT_EQ(release_focus(), -1);
    press(120, 145);  // on button 30: the click cannot take the focus away
    EXPECT_EQ(focused_id(), 40);
}

TEST_F(Focus, ButtonActionRunsAtTheNextIdleEventOnceAfterTheClick) {
    press(120, 135);  // button 30 at (110, 130)
    EXPECT_EQ(focused_id(), 30);
    EXPECT_EQ(get_object_value(0, 30) & 0xFF, 1);
    EXPECT_TRUE(happened.empty());
    release(120, 135);
    EXPECT_EQ(get_object_value(0, 30) & 0xFF, 0);
    EXPECT_TRUE(happened.empty());  // not inside the event that asked for it
    idle();
    EXPECT_EQ(happened, std::vector<std::string>{"a"});
    idle();
    EXPECT_EQ(happened, std::vector<std::string>{"a"});
}

TEST_F(Focus, SecondActionAskedBeforeTheIdleEventIsDropped) {
    press(120, 135);
    release(120, 135);
    press(120, 135);
    release(120, 135);
    idle();
    idle();
    EXPECT_EQ(happened, std::vector<std::string>{"a"});
}

TEST_F(Focus, ReleaseOffTheButtonAsksForNoAction) {
    press(120, 135);
    release(300, 250);  // a release elsewhere never reaches the button
    idle();
    EXPECT_TRUE(happened.empty());
}

TEST_F(Focus, BlinkComesWithEverySixthTickWhileSomethingIsFocused) {
    tick();  // no focus: not counted
    set_focus(10);
    const std::vector<uint16_t> before(frame_buffer, frame_buffer + 640 * 480);
    auto changed = [&] { return !std::equal(before.begin(), before.end(), frame_buffer); };
    for (int i = 1; i <= 5; ++i) tick();
    EXPECT_FALSE(changed());
    tick();  // the 6th: the cursor box is drawn
    EXPECT_TRUE(changed());
    for (int i = 1; i <= 6; ++i) tick();  // the 12th: drawn again, so gone
    EXPECT_FALSE(changed());
}

TEST_F(Focus, EventDeliveredByIdReachesThatObject) {
    dispatch_event(UI_EV_DELIVER, 10, static_cast<int32_t>(EV_KEY), 0x1E61);
    EXPECT_EQ(get_object_value(0, 10) & 0xFF, 'a');
}

TEST_F(Focus, OpeningAWindowTakesTheFocusAwayFromTheOneBelow) {
    set_focus(10);
    open_test_window(200, 200, 100, 100);
    EXPECT_EQ(focused_object, nullptr);
    close_top_window();
    EXPECT_EQ(focused_object, nullptr);
    tab();
    EXPECT_EQ(focused_id(), 10);
}

namespace {
// Opens a dialog with one button and clicks it inside a nested idle loop, as
// a modal window run from an action does.
void open_dialog_and_click() {
    happened.push_back("dialog");
    open_window(create_window(400, 300, 100, 60, 0x294A, make_frame_style(2, 0x294A)));
    define_object(1, 10, 10, 60, 20, 0, ui_button, "yes");
    set_action(action_b);
    redraw_window();
    mouse_state = mouse_record{};
    mouse_state.x = 420;
    mouse_state.y = 315;
    mouse_state.left = 1;
    mouse_state.events = MOUSE_EV_LEFT_DOWN;
    dispatch_event(EV_MOUSE, &mouse_state);
    mouse_state.left = 0;
    mouse_state.events = MOUSE_EV_LEFT_UP;
    dispatch_event(EV_MOUSE, &mouse_state);
    dispatch_event(EV_IDLE);
    close_top_window();
}
}  // namespace

TEST_F(Focus, ActionCanRunAWindowWhoseButtonsRunTheirOwnActions) {
    set_focus(30);
    focused_object->action = open_dialog_and_click;
    ui_action_flag = 0;
    dispatch_event(UI_EV_ACTION);
    idle();
    EXPECT_EQ(happened, (std::vector<std::string>{"dialog", "b"}));
    idle();
    EXPECT_EQ(happened.size(), 2u);
}
