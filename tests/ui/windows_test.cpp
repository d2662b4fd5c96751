#include "toolkit_fixture.h"

using ui_test::Toolkit;

namespace {
ui_window* framed(int x, int y, int w, int h) {
    return create_window(x, y, w, h, 0, make_frame_style(2, 0x294A));
}
}  // namespace

TEST_F(Toolkit, WindowsAreKeptOnTheScreenWithTheirBorder) {
    std::unique_ptr<ui_window> left(framed(0, 50, 100, 50));
    EXPECT_EQ(left->x, 2);
    std::unique_ptr<ui_window> right(framed(600, 50, 100, 50));
    EXPECT_EQ(right->x + right->w + right->border(), 639);
    std::unique_ptr<ui_window> bottom(framed(10, 470, 100, 50));
    EXPECT_EQ(bottom->y + bottom->h + bottom->border(), 479);
}

TEST_F(Toolkit, WindowLargerThanTheScreenOrFarOffItIsCutAndMovedOntoIt) {
    for (auto [x, y] : {std::pair{0, 0}, std::pair{-5000, -9000}, std::pair{9000, 9000}}) {
        std::unique_ptr<ui_window> big(framed(x, y, 2000, 1000));
        EXPECT_GE(big->x - big->border(), 0);
        EXPECT_GE(big->y - big->border(), 0);
        EXPECT_LE(big->x + big->w + big->border(), 639);
        EXPECT_LE(big->y + big->h + big->border(), 479);
        EXPECT_GT(big->w, 600);
    }
}

TEST_F(Toolkit, ObjectsArePlacedFromTheCornerTheirAlignmentNames) {
    ui_window* window = create_window(100, 100, 200, 100, 0, frame_style{});
    open_window(window);
    const int expected[4][2] = {{110, 110}, {260, 110}, {260, 170}, {110, 170}};
    for (int a = 0; a < 4; ++a) {
        ui_object* o = define_object(static_cast<uint16_t>(a), 10, 10, 30, 20, a, ui_label, "x");
        int sx = 0, sy = 0;
        object_screen_position(window, o, sx, sy);
        EXPECT_EQ(sx, expected[a][0]) << "alignment " << a;
        EXPECT_EQ(sy, expected[a][1]) << "alignment " << a;
    }
}

TEST_F(Toolkit, StackGivesGrowingIdsAndClosingTheTopSelectsTheOneBelow) {
    const uint32_t base = open_test_window(0, 0, 0, 0);
    const uint32_t a = open_test_window(50, 50, 200, 100);
    const uint32_t b = open_test_window(300, 300, 100, 100);
    EXPECT_EQ(base, 0u);
    EXPECT_EQ(a, 1u);
    EXPECT_EQ(b, 2u);
    EXPECT_EQ(top_window, find_window(b));

    select_window(a);
    EXPECT_EQ(top_window, find_window(a));
    // Objects are defined into the top window.
    define_object(1, 0, 0, 10, 10, 0, ui_button, "ok");
    EXPECT_EQ(find_window(a)->objects, last_object);

    close_top_window();
    EXPECT_EQ(top_window, find_window(b));
    EXPECT_EQ(find_window(a), nullptr);
    EXPECT_EQ(last_object, nullptr);
    EXPECT_EQ(stop_flag, 0);

    close_top_window();
    close_top_window();
    EXPECT_EQ(top_window, nullptr);
    EXPECT_EQ(stop_flag, 1);  // closing the last window ends the running main loop
}

TEST_F(Toolkit, ModalWindowStaysOnTopOfSelectionsAndClicks) {
    open_test_window(0, 0, 0, 0);
    const uint32_t lower = open_test_window(20, 20, 300, 300);
    const uint32_t dialog = open_test_window(400, 50, 100, 100);
    set_modal();
    select_window(lower);
    EXPECT_EQ(top_window->id, dialog);
    press(100, 100);  // on the lower window
    release(100, 100);
    EXPECT_EQ(top_window->id, dialog);

    // Without the modal mark a click raises the window it hits.
    top_window->modal = 0;
    press(100, 100);
    EXPECT_EQ(top_window->id, lower);
}

TEST_F(Toolkit, UnknownObjectOrWindowIdsChangeNothingAndReadZero) {
    open_test_window(0, 0, 0, 0);
    open_test_window(50, 50, 200, 100);
    define_object(5, 0, 0, 40, 12, 0, ui_check_box, "x");
    set_last_value(7);
    EXPECT_EQ(set_object_value(0, 99, 3), 0);
    EXPECT_EQ(set_object_value(-1, 5, 3), 0);
    EXPECT_EQ(set_object_text(77, 5, "abc"), 0);
    EXPECT_EQ(get_object_value(0, 99), 0);
    EXPECT_EQ(get_object_value(-3, 5), 0);
    char buffer[8] = "zzzzzzz";
    EXPECT_EQ(get_object_data(0, 99, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "zzzzzzz");
    set_focus(99);
    EXPECT_EQ(focused_object, nullptr);
    EXPECT_EQ(get_object_value(0, 5), 7);
    EXPECT_EQ(get_object_value(1, 5), 7);  // the same window by its id
    // A destination smaller than the value gets only what fits.
    uint8_t two[2] = {};
    EXPECT_EQ(get_object_data(0, 5, two, 2), 2);
    EXPECT_EQ(two[0], 7);
}

TEST_F(Toolkit, ClosingTheFocusedWindowLeavesNoFocusBehind) {
    open_test_window(0, 0, 0, 0);
    open_test_window(50, 50, 200, 100);
    define_object(1, 10, 10, 100, 12, 0, ui_input_line, 10);
    set_focus(1);
    ASSERT_NE(focused_object, nullptr);
    close_top_window();
    EXPECT_EQ(focused_object, nullptr);
    // Later events find no object of the closed window.
    key(0x1E61);
    tick();
    dispatch_event(UI_EV_DELIVER, 1, static_cast<int32_t>(EV_KEY), 0x1E61);
    redraw_window();
    EXPECT_EQ(focused_object, nullptr);
}

TEST_F(Toolkit, DisabledObjectIsDrawnThreeQuartersTowardItsColour) {
    open_test_window(0, 0, 0, 0);
    open_test_window(50, 50, 200, 100);
    define_object(1, 10, 10, 40, 20, 0, ui_label, "");
    set_object_props(nullptr, -1, nullptr, 0x7C00);
    last_object->enabled = 0;
    redraw_window();
    frame_buffer[65 * 640 + 65] = 0x001F;
    draw_object(top_window, last_object, false);
    EXPECT_EQ(frame_buffer[65 * 640 + 65], blend50(0x7C00, blend50(0x001F, 0x7C00)));
    EXPECT_EQ(frame_buffer[59 * 640 + 65], 0x294A);  // outside: the window's background is untouched
}
