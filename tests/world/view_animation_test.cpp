// Animations over the view: a frame read after each scene redraw, drawn
// doubled with index 0 showing the view, one animation at a time, steps and
// turns held back while it runs, and nothing at all for a missing file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/paths.h"
#include "core/event_ids.h"
#include "core/events.h"
#include "core/handles.h"
#include "core/tasks.h"
#include "forge/mgif_writer.h"
#include "gfx/mgif.h"
#include "gfx/screen.h"
#include "gfx/video_player.h"
#include "support/temp_folder.h"
#include "world/movement.h"
#include "world/view_animation.h"

namespace {

constexpr uint16_t BACKGROUND = 0x1234;
constexpr uint16_t colours[] = {0x7C00, 0x03E0, 0x001F};

// Frame i: a square of colour i at (10 + 20i, 20), the rest index 0.
std::vector<uint8_t> squares_animation(int frames) {
    std::vector<forge::mgif_frame> list;
    for (int i = 0; i < frames; ++i) {
        forge::mgif_frame f;
        f.pixels.assign(MGIF_PICTURE_BYTES, 0);
        for (int y = 20; y < 30; ++y)
            for (int x = 10 + 20 * i; x < 20 + 20 * i; ++x) f.pixels[size_t(y) * MGIF_WIDTH + size_t(x)] = 1;
        f.palette[0] = 0x7FFF;  // opaque white in the file: still shows the view
        f.palette[1] = colours[i % 3];
        list.push_back(f);
    }
    forge::mgif_options o;
    o.deltas = false;
    return forge::encode_mgif(list, o);
}

class ViewAnimation : public ::testing::Test {
  protected:
    void SetUp() override {
        clear_event_tree();
        path_table[PATH_ITEMS] = folder.path();
        const std::vector<uint8_t> bytes = squares_animation(3);
        folder.write("SQUARES.MGF", std::string(bytes.begin(), bytes.end()));
        view.assign(size_t(SCREEN_PITCH) * 2 * MGIF_HEIGHT, BACKGROUND);
    }
    void TearDown() override {
        stop_view_animation();
        for (int id = VIEW_ANIMATION_HANDLES; id < VIEW_ANIMATION_HANDLES + VIEW_ANIMATION_HANDLE_COUNT; ++id)
            undefine_handle(handle_id(id));
        EXPECT_EQ(task_count(), 0);
        clear_event_tree();
    }
    static void redraw() { dispatch_event(EV_SCENE_REDRAWN); }
    uint16_t at(int x, int y) const { return view[size_t(y) * SCREEN_PITCH + size_t(x)]; }
    // Draws the current frame over a fresh background.
    void draw() {
        std::fill(view.begin(), view.end(), BACKGROUND);
        draw_view_animation(view.data());
    }
    temp_folder folder;
    std::vector<uint16_t> view;
};

}  // namespace

TEST_F(ViewAnimation, EachRedrawShowsTheNextFrameDoubledAndTheLastOneOnceMore) {
    start_view_animation_file("squares.mgf", false);
    ASSERT_TRUE(view_animation_running());
    draw();
    EXPECT_EQ(at(20, 40), BACKGROUND) << "nothing is read before the first redraw";
    for (int frame = 0; frame < 3; ++frame) {
        redraw();
        draw();
        const int x = 2 * (10 + 20 * frame);
        EXPECT_EQ(at(x, 40), colours[frame]) << frame;
        EXPECT_EQ(at(x + 19, 59), colours[frame]) << "a 2 x 2 block for every pixel";
        if (frame > 0) {
            EXPECT_EQ(at(x - 40, 40), BACKGROUND) << "the frame before is gone";
        }
        EXPECT_EQ(at(0, 0), BACKGROUND) << "index 0 shows the view";
        EXPECT_TRUE(view_animation_running());
    }
    redraw();  // the last frame has been seen
    EXPECT_FALSE(view_animation_running());
    draw();
    EXPECT_EQ(at(100, 40), BACKGROUND);
}

TEST_F(ViewAnimation, MirroredFramesRunFromTheRightEdgeAndRepeatsPlayAgain) {
    start_view_animation(handle_id(0), false);
    EXPECT_FALSE(view_animation_running()) << "no handle, no animation";
    start_view_animation_file("SQUARES.MGF", true);
    const int first = find_handle("SQUARES.MGF", nullptr);
    ASSERT_GE(first, VIEW_ANIMATION_HANDLES);
    redraw();
    draw();
    EXPECT_EQ(at(638 - 2 * 10, 40), colours[0]);
    EXPECT_EQ(at(639 - 2 * 10, 41), colours[0]);
    EXPECT_EQ(at(2 * 10, 40), BACKGROUND);
    for (int i = 0; i < 3; ++i) redraw();
    EXPECT_FALSE(view_animation_running());

    start_view_animation(handle_id(first), false, 2);
    for (int i = 0; i < 4; ++i) redraw();
    draw();
    EXPECT_EQ(at(2 * 10, 40), colours[0]) << "the second time round starts again";
    for (int i = 0; i < 3; ++i) redraw();
    EXPECT_FALSE(view_animation_running());
}

TEST_F(ViewAnimation, OneAtATimeHoldsStepsBackAndAMissingFileStartsNothing) {
    start_view_animation_file("NOSUCH.MGF", false);
    EXPECT_FALSE(view_animation_running());
    start_view_animation_file("SQUARES.MGF", false);
    redraw();
    start_view_animation_file("SQUARES.MGF", true);  // ignored: one runs
    draw();
    EXPECT_EQ(at(20, 40), colours[0]) << "the first one goes on unmirrored";
    EXPECT_FALSE(step(0));
    EXPECT_FALSE(turn(1));
    stop_view_animation();
    EXPECT_FALSE(view_animation_running());
    draw();
    EXPECT_EQ(at(20, 40), BACKGROUND);
}
