#include "support/golden.h"
#include "toolkit_fixture.h"

using ui_test::Toolkit;

namespace {
int actions = 0;
void count_action() {
    ++actions;
}

class Controls : public Toolkit {
  protected:
    void SetUp() override {
        Toolkit::SetUp();
        actions = 0;
        open_test_window(0, 0, 0, 0);
        window = find_window(open_test_window(100, 100, 300, 200));
    }
    ui_window* window = nullptr;
};
}  // namespace

TEST_F(Controls, TitleBarMovesTheWindowWithTheGrabOffsetAndKeepsItOnScreen) {
    define_object(1, 0, 0, 300, 12, 0, ui_title_bar, "Title");
    redraw_window();
    press(110, 105);
    drag(160, 125);
    EXPECT_EQ(window->x, 150);
    EXPECT_EQ(window->y, 120);
    drag(5, 125);  // the grab point would put the window off the left edge
    EXPECT_EQ(window->x, window->border());
    release(5, 125);
    drag(300, 300);  // the button is up: nothing moves
    EXPECT_EQ(window->x, window->border());
}

TEST_F(Controls, ResizeGripGrowsTheWindowAndGrowingObjectsNotBelowTheMinimum) {
    define_object(1, 0, 0, 100, 20, 0, ui_label, "grows");
    last_object->grows_with_width = 1;
    define_object(2, 0, 0, 10, 10, ALIGN_BOTTOM_RIGHT, ui_resize_grip);
    redraw_window();
    press(395, 295);
    drag(425, 305);
    EXPECT_EQ(window->w, 330);
    EXPECT_EQ(window->h, 210);
    EXPECT_EQ(window->objects->w, 130);
    drag(0, 0);
    EXPECT_EQ(window->w, 60);
    EXPECT_EQ(window->h, 40);
    drag(2000, 2000);
    EXPECT_EQ(window->x + window->w + window->border(), 639);
}

TEST_F(Controls, CheckBoxTogglesOnReleaseAndRadioGroupSelectsTheRowUnderTheMouse) {
    define_object(1, 10, 10, 100, 12, 0, ui_check_box, "check");
    set_action(count_action);
    define_object(2, 10, 40, 100, 30, 0, ui_radio_group, 3, "one", "two", "three");
    set_action(count_action);
    redraw_window();
    press(115, 115);
    EXPECT_EQ(get_object_value(0, 1), 0x80);
    release(115, 115);
    EXPECT_EQ(get_object_value(0, 1), 1);
    press(115, 160);  // row 2 of 10-pixel rows from y = 140
    EXPECT_EQ(get_object_value(0, 2), 2);
    press(115, 170);  // the bottom edge still counts as the last row
    EXPECT_EQ(get_object_value(0, 2), 2);
    press(115, 141);
    EXPECT_EQ(get_object_value(0, 2), 0);
    idle();
    EXPECT_EQ(actions, 1);  // one idle event runs one action
}

TEST_F(Controls, ScrollBarFollowsTheMouseWithinItsRangeAndRepeatButtonStepsIt) {
    define_object(10, 10, 10, 12, 110, 0, ui_vscroll, 0, 100, 10, 0x0000);
    define_object(11, 30, 10, 40, 20, 0, ui_repeat_button, "+", 7);
    set_action(ui_step_scroll_bar);
    redraw_window();
    press(115, 111);
    drag(115, 300);  // below the bar: clamped to the maximum
    EXPECT_EQ(get_object_value(0, 10), 100);
    drag(115, 0);
    EXPECT_EQ(get_object_value(0, 10), 0);
    drag(115, 165);  // the middle of the track
    EXPECT_NEAR(get_object_value(0, 10), 50, 2);
    release(115, 165);
    idle();  // the bar's own (empty) action; until it runs a new request would be dropped
    set_object_value(0, 10, 95);
    press(140, 115);
    idle();
    EXPECT_EQ(get_object_value(0, 10), 100);  // 95 + 7 stops at the maximum
}

TEST_F(Controls, ScrollBarWhoseThumbFillsTheTrackStaysAtItsMinimum) {
    define_object(10, 10, 10, 12, 4, 0, ui_vscroll, 5, 5, 10, 0x0000);
    redraw_window();
    press(115, 112);
    drag(115, 300);
    EXPECT_EQ(get_object_value(0, 10), 5);
}

TEST_F(Controls, WindowWithOneObjectOfEachClassLooksAsBefore) {
    clear_buffer(frame_buffer, 0x0842);
    define_object(1, 0, 0, 300, 12, 0, ui_title_bar, "Options");
    set_object_props(nullptr, -1, nullptr, 0x1CC5);
    define_object(2, 10, 20, 80, 20, 0, ui_button, "Ok");
    define_object(3, 100, 20, 80, 20, 0, ui_toggle_button, "Toggle");
    set_last_value(1);
    define_object(4, 190, 20, 80, 20, 0, ui_flat_button, "Flat");
    define_object(5, 10, 50, 80, 20, 0, ui_repeat_button, "Rep", 1);
    define_object(6, 100, 55, 120, 12, 0, ui_input_line, 20);
    set_last_text("input text");
    const frame_style sunken = make_frame_style(5, 0x294A);
    set_object_props(&sunken, -1, nullptr, 0x0000);
    define_object(7, 10, 80, 120, 12, 0, ui_check_box, "Check");
    set_last_value(1);
    define_object(8, 10, 100, 120, 36, 0, ui_radio_group, 3, "One", "Two", "Three");
    set_last_value(1);
    define_object(9, 150, 80, 100, 10, 0, ui_label, "Label");
    define_object(10, 150, 95, 100, 10, 0, ui_centred_label, "Centred");
    define_object(11, 150, 110, 100, 10, 0, ui_close_label, "Close");
    define_object(20, 10, 10, 12, 80, ALIGN_TOP_RIGHT, ui_vscroll, 0, 50, 10, 0x0421);
    set_last_value(20);
    define_object(30, 150, 140, 100, 12, 0, ui_hscroll, 0, 10, 5, 0x0421);
    set_last_value(10);
    define_object(40, 0, 0, 12, 12, ALIGN_BOTTOM_RIGHT, ui_resize_grip);
    define_object(41, 150, 160, 80, 20, 0, ui_button, "Disabled");
    last_object->enabled = 0;
    redraw_window();
    EXPECT_TRUE(golden::matches(VORTHAN_SOURCE_DIR "/tests/ui/golden/every_class.png", frame_buffer));
}
