#include <gtest/gtest.h>

#include <algorithm>

#include "gfx/screen.h"
#include "platform/headless_display.h"
#include "platform/shown_picture.h"

namespace {

uint16_t at(const std::vector<uint16_t>& picture, int x, int y) {
    return picture[static_cast<size_t>(y) * 640 + x];
}

class HeadlessDisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        clear_buffer(frame_buffer, 0);
        d.open(video_settings{}, "Vorthan");
    }
    HeadlessDisplay d;
};

}  // namespace

TEST_F(HeadlessDisplayTest, TwoPresentsBeforeTheDisplayWakesGiveOneFrame) {
    frame_buffer[0] = 0x7C00;
    d.present_region(0, 0, 10, 10);
    frame_buffer[641] = 0x03E0;
    d.present_region(0, 0, 640, 480);
    EXPECT_EQ(d.present_count(), 0u);
    d.pump();
    ASSERT_EQ(d.present_count(), 1u);
    EXPECT_EQ(at(d.frames()[0].pixels, 0, 0), 0x7C00);
    EXPECT_EQ(at(d.frames()[0].pixels, 1, 1), 0x03E0);
    d.pump();  // nothing new: no frame
    EXPECT_EQ(d.present_count(), 1u);
}

TEST(HeadlessDisplayWake, AtOnceEveryPresentIsAFrameUpToTheLimit) {
    HeadlessDisplay d(10, HeadlessDisplay::wake_mode::at_once);
    d.open(video_settings{}, "Vorthan");
    d.set_frame_limit(2);
    frame_buffer[0] = 0x7C00;
    d.present_region(0, 0, 1, 1);
    frame_buffer[0] = 0x03E0;
    d.present_region(0, 0, 1, 1);
    frame_buffer[0] = 0x001F;
    d.present_region(0, 0, 1, 1);
    EXPECT_EQ(d.present_count(), 3u);
    ASSERT_EQ(d.frames().size(), 2u);
    EXPECT_EQ(d.frames()[0].pixels[0], 0x7C00);
    EXPECT_EQ(d.frames()[1].pixels[0], 0x03E0);
}

TEST_F(HeadlessDisplayTest, RegionCopiesPixelsWhenCalledNotWhenShown) {
    frame_buffer[640 * 100 + 200] = 0x1234;
    d.present_region(200, 100, 1, 1);
    frame_buffer[640 * 100 + 200] = 0x4321;  // drawn after the hand-over
    d.pump();
    EXPECT_EQ(at(d.frames().back().pixels, 200, 100), 0x1234);
}

TEST_F(HeadlessDisplayTest, TransparentScreenPixelsShowBlack) {
    std::fill_n(frame_buffer, 640 * 480, uint16_t{0x8123});
    d.present_region(0, 0, 640, 480);
    d.pump();
    EXPECT_EQ(at(d.frames().back().pixels, 5, 5), 0);
}

TEST_F(HeadlessDisplayTest, OutOfScreenRegionsAreClippedOrDropped) {
    std::fill_n(frame_buffer, 640 * 480, uint16_t{0x7C00});
    d.present_region(600, 470, 100, 100);
    d.present_region(700, 0, 10, 10);
    d.present_region(-50, -50, 60, 60);
    d.pump();
    EXPECT_EQ(d.present_count(), 1u);
}

TEST_F(HeadlessDisplayTest, TransitionKeepsTheOldPictureUntilItEnds) {
    std::fill_n(frame_buffer, 640 * 480, uint16_t{0x001F});  // old: blue
    d.present_region(0, 0, 640, 480);
    d.pump();
    std::fill_n(frame_buffer, 640 * 480, uint16_t{0x7C00});  // new: red
    d.begin_transition();
    d.pump();
    EXPECT_EQ(at(d.frames().back().pixels, 320, 240), 0x001F);
    d.turn_transition(17, 90, 0.5f);
    d.pump();
    const auto& sliding = d.frames().back();
    EXPECT_TRUE(sliding.in_transition);
    EXPECT_EQ(at(sliding.pixels, 100, 100), 0x001F);  // the old view, moving out to the left
    EXPECT_EQ(at(sliding.pixels, 500, 100), 0x7C00);  // the new one coming in
    EXPECT_EQ(at(sliding.pixels, 320, 450), 0x7C00);  // below the view: the new picture
    d.end_transition();
    d.pump();
    EXPECT_FALSE(d.frames().back().in_transition);
    EXPECT_EQ(at(d.frames().back().pixels, 100, 100), 0x7C00);
    // Later updates go to the picture that is now shown.
    frame_buffer[0] = 0x03E0;
    d.present_region(0, 0, 1, 1);
    d.pump();
    EXPECT_EQ(at(d.frames().back().pixels, 0, 0), 0x03E0);
}

TEST_F(HeadlessDisplayTest, ZoomFullyForwardShowsTheNewPicture) {
    std::fill_n(frame_buffer, 640 * 480, uint16_t{0x001F});
    d.present_region(0, 0, 640, 480);
    std::fill_n(frame_buffer, 640 * 480, uint16_t{0x7C00});
    d.begin_transition();
    d.zoom_transition(17, 90, 31, 550, 301, 1.0f);
    d.pump();
    EXPECT_EQ(at(d.frames().back().pixels, 320, 200), 0x7C00);
}

TEST_F(HeadlessDisplayTest, SpritesHiddenUntilShownAndDrawnInZOrder) {
    std::vector<uint16_t> red(4 * 4, 0x7C00), green(4 * 4, 0x03E0);
    red[0] = 0x8000;  // transparent corner
    d.create_sprite(1, red.data(), 4, 4);
    d.create_sprite(2, green.data(), 4, 4);
    d.pump();
    EXPECT_EQ(at(d.compose(), 1, 1), 0);
    d.move_sprite(1, 10, 10);
    d.move_sprite(2, 12, 12);
    d.pump();
    auto shown = d.compose();
    EXPECT_EQ(at(shown, 10, 10), 0);  // the transparent pixel
    EXPECT_EQ(at(shown, 11, 11), 0x7C00);
    EXPECT_EQ(at(shown, 13, 13), 0x03E0);  // equal z: later-created on top
    d.set_sprite_z(1, 5);
    d.pump();
    EXPECT_EQ(at(d.compose(), 13, 13), 0x7C00);
    d.place_sprite(1, {100, 100, 8, 8});  // scaled to the rectangle
    d.hide_sprite(2);
    d.pump();
    shown = d.compose();
    EXPECT_EQ(at(shown, 107, 107), 0x7C00);
    EXPECT_EQ(at(shown, 13, 13), 0);
    // Re-creating an existing sprite replaces picture and rectangle (0, 0, w, h)
    // and keeps its visibility.
    d.create_sprite(1, green.data(), 4, 4);
    d.pump();
    EXPECT_EQ(at(d.compose(), 1, 1), 0x03E0);
    d.delete_sprite(1);
    d.pump();
    EXPECT_EQ(at(d.compose(), 1, 1), 0);
}

TEST_F(HeadlessDisplayTest, MouseRecordReportsChangesOnce) {
    d.inject_mouse_move(0, 5000, -3);
    d.inject_mouse_button(0, 1, true);
    d.inject_mouse_button(0, 3, true);
    d.inject_mouse_button(0, 3, false);
    d.pump();
    mouse_record m = d.read_mouse();
    EXPECT_EQ(m.changed, 1);
    EXPECT_EQ(m.x, 639);
    EXPECT_EQ(m.y, 0);
    EXPECT_EQ(m.left, 1);
    EXPECT_EQ(m.right, 0);
    EXPECT_EQ(m.events, MOUSE_EV_MOTION | MOUSE_EV_LEFT_DOWN | MOUSE_EV_RIGHT_DOWN | MOUSE_EV_RIGHT_UP);
    m = d.read_mouse();
    EXPECT_EQ(m.changed, 0);
    EXPECT_EQ(m.events, 0);
    EXPECT_EQ(m.left, 1);
}

TEST_F(HeadlessDisplayTest, InputArrivesAtItsVirtualTime) {
    d.inject_key(50, 0x1C0D);
    d.inject_key(20, 0x011B);
    d.inject_quit(30);
    d.sleep_ms(19);
    EXPECT_FALSE(d.key_available());
    d.sleep_ms(1);
    EXPECT_EQ(d.read_key(), 0x011B);
    EXPECT_FALSE(d.quit_requested());
    d.sleep_ms(10);
    EXPECT_TRUE(d.quit_requested());
    d.clear_quit_request();
    EXPECT_FALSE(d.quit_requested());
    d.sleep_ms(20);
    EXPECT_EQ(d.read_key(), 0x1C0D);
    EXPECT_EQ(d.read_key(), 0);
    EXPECT_EQ(d.milliseconds(), 50u);
}

TEST_F(HeadlessDisplayTest, WheelQueuesArrowKeys) {
    d.mouse_wheel(2);
    d.mouse_wheel(-1);
    EXPECT_EQ(d.read_key(), 0x4800);
    EXPECT_EQ(d.read_key(), 0x5000);
}

TEST_F(HeadlessDisplayTest, ControllerButtonsFollowTheActionSets) {
    EXPECT_FALSE(d.controller_activated());
    EXPECT_TRUE(d.controller_button(2, true));  // the first press activates
    EXPECT_TRUE(d.controller_activated());
    EXPECT_EQ(d.read_key(), 0x1C0D);  // enter
    EXPECT_FALSE(d.controller_button(2, false));
    EXPECT_FALSE(d.key_available());  // keys only on press
    d.controller_button(0, true);     // lclick
    mouse_record m = d.read_mouse();
    EXPECT_EQ(m.left, 1);
    EXPECT_EQ(m.events, MOUSE_EV_LEFT_DOWN);
    d.controller_button(0, false);
    d.controller_button(8, true);  // ctrl+lclick
    EXPECT_TRUE(d.ctrl_down());
    d.controller_button(8, false);
    EXPECT_FALSE(d.ctrl_down());
    d.controller_button(10, true);  // mod key held: the second set
    d.controller_button(5, true);
    EXPECT_EQ(d.read_key(), 0x011B);  // escape
    d.controller_button(10, false);
    d.controller_button(5, true);
    EXPECT_EQ(d.read_key(), 0x3B00);  // F1
    d.controller_button(40, true);    // out of range: ignored
    EXPECT_FALSE(d.key_available());
}

TEST_F(HeadlessDisplayTest, DisabledControllerIgnoresButtons) {
    controller_settings s = default_controller_settings();
    s.enabled = false;
    d.set_controller_settings(s);
    d.set_controller_present(true);
    EXPECT_FALSE(d.controller_connected());
    EXPECT_FALSE(d.controller_button(2, true));
    EXPECT_FALSE(d.key_available());
    EXPECT_FALSE(d.controller_activated());
}

TEST_F(HeadlessDisplayTest, StickMovesTheCursorWithinTheScreen) {
    d.mouse_moved(630, 5);
    d.read_mouse();
    EXPECT_TRUE(d.stick_poll({0, 0, 32767, -32768}));
    const mouse_record m = d.read_mouse();
    EXPECT_EQ(m.x, 639);
    EXPECT_EQ(m.y, 0);
    EXPECT_EQ(m.events, MOUSE_EV_MOTION);
    EXPECT_FALSE(d.stick_poll({0, 0, 100, 100}));
}

TEST_F(HeadlessDisplayTest, CrtSettingNoneStartsSwitchedOff) {
    EXPECT_FALSE(d.crt_enabled());
    d.set_crt_enabled(true);
    EXPECT_TRUE(d.crt_enabled());
}

TEST_F(HeadlessDisplayTest, UnchangedPictureIsNeitherQueuedNorPresentedAgain) {
    std::fill_n(frame_buffer, 640 * 480, uint16_t{0x03E0});
    d.present_region(0, 0, 640, 480);
    d.pump();
    ASSERT_EQ(d.present_count(), 1u);
    // An idle screen that keeps redrawing the same picture.
    for (int i = 0; i < 5; ++i) {
        d.present_region(0, 0, 640, 480);
        d.present_region(100, 100, 50, 50);
        EXPECT_EQ(d.pending_command_bytes(), 0u);
        d.pump();
    }
    EXPECT_EQ(d.present_count(), 1u);

    frame_buffer[640 * 300 + 5] = 0x7FFF;
    d.present_region(0, 0, 640, 480);
    // Only the changed row goes out.
    EXPECT_LT(d.pending_command_bytes(), 2u * 640 + 64);
    d.pump();
    ASSERT_EQ(d.present_count(), 2u);
    EXPECT_EQ(at(d.frames().back().pixels, 5, 300), 0x7FFF);
    EXPECT_EQ(at(d.frames().back().pixels, 6, 300), 0x03E0);
}

TEST_F(HeadlessDisplayTest, TransitionToTheSamePictureStillShowsIt) {
    std::fill_n(frame_buffer, 640 * 480, uint16_t{0x001F});
    d.present_region(0, 0, 640, 480);
    d.pump();
    // The main slot now holds the older (black) texture: the picture goes out whole.
    d.begin_transition();
    d.end_transition();
    d.pump();
    EXPECT_EQ(at(d.compose(), 320, 240), 0x001F);
    const size_t presents = d.present_count();
    d.present_region(0, 0, 640, 480);
    d.pump();
    EXPECT_EQ(d.present_count(), presents);
}

TEST(ShownPicture, UpdateGivesTheBandOfRowsThatDiffer) {
    std::vector<uint16_t> screen(640 * 480, 0);
    shown_picture shown;
    EXPECT_EQ(shown.update(screen.data(), 640, {0, 0, 640, 480}).h, 0);
    screen[640 * 10 + 3] = 1;
    screen[640 * 20 + 600] = 2;
    EXPECT_EQ(shown.update(screen.data(), 640, {0, 0, 640, 480}), (display_rect{0, 10, 640, 11}));
    EXPECT_EQ(shown.update(screen.data(), 640, {0, 0, 640, 480}).h, 0);
    // Pixels outside the rectangle are neither compared nor taken over.
    screen[640 * 30 + 100] = 3;
    EXPECT_EQ(shown.update(screen.data(), 640, {0, 0, 50, 480}).h, 0);
    EXPECT_EQ(shown.update(screen.data(), 640, {90, 25, 20, 10}), (display_rect{90, 30, 20, 1}));
}

TEST(ShownPicture, ForgottenPictureLetsEverythingPassUntilTheWholeScreenIsSent) {
    std::vector<uint16_t> screen(640 * 480, 0);
    shown_picture shown;
    shown.forget();
    EXPECT_EQ(shown.update(screen.data(), 640, {5, 5, 10, 10}), (display_rect{5, 5, 10, 10}));
    EXPECT_EQ(shown.update(screen.data(), 640, {5, 5, 10, 10}).h, 10);
    EXPECT_FALSE(shown.known());
    EXPECT_EQ(shown.update(screen.data(), 640, {0, 0, 640, 480}).h, 480);
    EXPECT_TRUE(shown.known());
    EXPECT_EQ(shown.update(screen.data(), 640, {5, 5, 10, 10}).h, 0);
}
