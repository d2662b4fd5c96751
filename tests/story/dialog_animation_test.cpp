// The dialog's animations on the headless run: MGIF files written here with
// the forge's encoder into a scratch dialogs folder, played by ANIMATE into
// the dialog picture at the tick rate asked for, over and over or once, one
// replacing the other, and stopped by the dialog's end, by leaving the game
// and (held) by a window over the dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/paths.h"
#include "core/events.h"
#include "core/events_cursor.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "core/tasks.h"
#include "dialog_script.h"
#include "forge/mgif_writer.h"
#include "gfx/font_test_fonts.h"
#include "gfx/mgif.h"
#include "gfx/screen.h"
#include "rules/binding/world_binding.h"
#include "story/dialog.h"
#include "story/dialog_animation.h"
#include "story/dialog_game.h"
#include "story/dialog_screen.h"
#include "support/temp_folder.h"
#include "window_harness.h"
#include "world/game_screen.h"
#include "world/map_services.h"

namespace {

constexpr int FIRST_INDEX = 10;
constexpr uint16_t BACKGROUND_INDEX = 40;

// An animation of `count` frames: the left half always palette index 1,
// the right half index FIRST_INDEX + k in frame k (so the later frames go in
// as changes to the frame before).
std::vector<uint8_t> animation(int count) {
    std::vector<forge::mgif_frame> frames(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        forge::mgif_frame& f = frames[size_t(k)];
        f.pixels.resize(MGIF_PICTURE_BYTES);
        for (int y = 0; y < MGIF_HEIGHT; ++y)
            for (int x = 0; x < MGIF_WIDTH; ++x)
                f.pixels[size_t(y) * MGIF_WIDTH + x] = uint8_t(x < MGIF_WIDTH / 2 ? 1 : FIRST_INDEX + k);
        for (int i = 0; i < 256; ++i) f.palette[size_t(i)] = colour_of_index(i);
    }
    return forge::encode_mgif(frames);
}

// The palette index of the right half of the picture on screen: the frame
// shown is the index minus FIRST_INDEX; -1 for anything else.
int shown_index() {
    const uint16_t pixel = frame_buffer[(DIALOG_PICTURE_Y + 90) * SCREEN_PITCH + DIALOG_PICTURE_X + 250];
    for (int i = 0; i < 256; ++i)
        if (colour_of_index(i) == pixel) return i;
    return -1;
}
int shown_frame() {
    const int index = shown_index();
    return index >= FIRST_INDEX && index < FIRST_INDEX + 20 ? index - FIRST_INDEX : -1;
}

// A one-pixel font for every character the dialogs write.
std::vector<uint8_t> dot_font() {
    test_fonts::font_bytes font;
    for (int c = 32; c < 127; ++c) font.block(uint8_t(c), 2, 8);
    return font.bytes;
}

class DialogAnimation : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        saved_dialogs = path_table[PATH_DIALOGS];
        path_table[PATH_DIALOGS] = folder.path();
        auto put = [&](const char* name, const std::vector<uint8_t>& bytes) {
            folder.write(name, std::string(bytes.begin(), bytes.end()));
        };
        put("LOOP.MGF", animation(3));
        put("ONCE.MGF", animation(4));
        // Cut in its second frame: the first is shown, then the animation ends.
        std::vector<uint8_t> broken = animation(3);
        const size_t first = MGIF_HEADER_BYTES + MGIF_FRAME_HEADER_BYTES +
                             (broken[MGIF_HEADER_BYTES + 1] | broken[MGIF_HEADER_BYTES + 2] << 8 |
                              broken[MGIF_HEADER_BYTES + 3] << 16);
        broken.resize(first + 6);
        put("BROKEN.MGF", broken);
        put("NOTMGIF.MGF", std::vector<uint8_t>(700, 'x'));

        test_fonts::install(DIALOG_FONT, dot_font());
        install_picture(H_DIALOG, 640, 360, [](int, int) { return uint8_t(BACKGROUND_INDEX); });
        dialog_test_party();
        install_rules_into_world();
        install_dialogs();  // the game's dialog world (no dialogy.dat in the maps folder)
    }
    void TearDown() override {
        stop_dialog_animation();
        if (dialog.running) dialog_screen_ended();
        dialog = dialog_state{};
        screen_windows = game_screen_windows{};
        set_dialog_world(nullptr);
        load_dialogs({});
        remove_rules_from_world();
        reset_map_services();
        reset_party();
        set_cursor_display(nullptr);
        reset_cursor();
        mouse_state = mouse_record{};
        for (handle_id id : {DIALOG_FONT, H_DIALOG}) undefine_handle(id);
        path_table[PATH_DIALOGS] = saved_dialogs;
        WindowTest::TearDown();
    }
    static void start(dialog_script& script) {
        script.install();
        at(1, [] { ASSERT_TRUE(dialog_start(1, -1)); });
    }
    // Records the frame shown and the frame count after every poll to `last`.
    void record(int last) {
        for (int poll = 1; poll <= last; ++poll)
            at(poll, [this] {
                shown.push_back(shown_frame());
                counts.push_back(dialog_animation_frames());
            });
        at(last + 1, [] { stop_flag = 1; });
    }

    temp_folder folder;
    std::string saved_dialogs;
    std::vector<int> shown, counts;
};

// Steps run at the start of a poll, before its tick: what a poll records is
// the screen as the poll before left it.
TEST_F(DialogAnimation, ARepeatingAnimationShowsAFrameEveryNTicksUntilTheDialogEnds) {
    dialog_script script;
    script.para(1).op(DOP_ANIMATE).text("LOOP.MGF").num(3).num(0);
    script.op(DOP_SAY).text("Look.").op(DOP_WAIT).op(DOP_END);
    start(script);
    at(2, [] {
        EXPECT_TRUE(dialog_animation_running());
        EXPECT_EQ(dialog.waiting, dialog_wait::wait);
    });
    key(13, KEY_ENTER);  // the dialog ends
    record(18);
    main_loop();
    // The first frame went in before the dialog screen was drawn over it;
    // then a frame every third tick, the first again after the last.
    // After the end nothing more is drawn: the last frame stays until the
    // game redraws the place.
    EXPECT_EQ(counts, (std::vector<int>{1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 5, 5, 5}));
    EXPECT_EQ(shown, (std::vector<int>{-1, -1, -1, 1, 1, 1, 2, 2, 2, 0, 0, 0, 1, 1, 1, 1, 1, 1}));
    EXPECT_FALSE(dialog.running);
    EXPECT_FALSE(dialog_animation_running());
}

TEST_F(DialogAnimation, AnAnimationPlayedOnceKeepsItsLastFrameAndEachNewOneStopsTheOneBefore) {
    dialog_script script;
    script.para(1).op(DOP_ANIMATE).text("LOOP.MGF").num(1).num(0).op(DOP_WAIT);
    script.op(DOP_ANIMATE).text("ONCE.MGF").num(0).num(1).op(DOP_WAIT);  // 0 ticks count as 1
    script.op(DOP_ANIMATE).text("BROKEN.MGF").num(2).num(0).op(DOP_WAIT);
    script.op(DOP_ANIMATE).text("NOTMGIF.MGF").num(1).num(0).op(DOP_WAIT);
    script.op(DOP_ANIMATE).text("LOOP.MGF").num(1).num(0).op(DOP_WAIT);
    script.op(DOP_ANIMATE).text("MISSING.MGF").num(1).num(0).op(DOP_WAIT).op(DOP_END);
    start(script);
    int first_task = -1;
    at(3, [&] {
        EXPECT_GE(dialog_animation_frames(), 2);
        first_task = task_count();
    });
    key(3, KEY_ENTER);  // ONCE.MGF: the looping one is gone
    at(4, [&] {
        EXPECT_EQ(task_count(), first_task);
        EXPECT_TRUE(dialog_animation_running());
    });
    at(9, [] {
        EXPECT_FALSE(dialog_animation_running());
        EXPECT_EQ(dialog_animation_frames(), 4);
        EXPECT_EQ(shown_frame(), 3);
    });
    key(9, KEY_ENTER);  // BROKEN.MGF: its first frame, then nothing
    at(14, [] {
        EXPECT_FALSE(dialog_animation_running());
        EXPECT_EQ(dialog_animation_frames(), 1);
    });
    key(14, KEY_ENTER);  // not an animation: nothing runs, nothing is said
    at(15, [] {
        EXPECT_EQ(dialog.waiting, dialog_wait::wait);
        EXPECT_FALSE(dialog_animation_running());
        EXPECT_EQ(dialog_animation_frames(), 0);
        EXPECT_EQ(shown_index(), BACKGROUND_INDEX);
    });
    key(15, KEY_ENTER);  // LOOP.MGF again, then a missing file stops it
    at(17, [] { EXPECT_TRUE(dialog_animation_running()); });
    key(17, KEY_ENTER);
    at(18, [] {
        EXPECT_TRUE(dialog.running);
        EXPECT_FALSE(dialog_animation_running());
        EXPECT_EQ(dialog_animation_frames(), 0);
    });
    key(18, KEY_ENTER);
    at(19, [] { EXPECT_FALSE(dialog.running); });
    at(20, [] { stop_flag = 1; });
    main_loop();
}

// A window over the dialog (F1) holds the frames; the cursor is hidden for a
// frame only when it is over the picture; leaving the game ends the task.
TEST_F(DialogAnimation, AWindowHoldsTheFramesTheCursorHidesOverThePictureAndLeavingStopsIt) {
    static int hides;
    hides = 0;
    set_cursor_display([](const void* picture, size_t, int, int) { hides += picture == nullptr; });
    static const uint8_t arrow[16] = {};
    set_cursor_picture(arrow, sizeof arrow, 0, 0);
    force_show_cursor();
    dialog_script script;
    script.para(1).op(DOP_ANIMATE).text("LOOP.MGF").num(1).num(0).op(DOP_WAIT).op(DOP_END);
    start(script);
    static int held_at;
    // The window runs the main loop's cycles itself until poll 8.
    screen_windows.options = [] {
        held_at = dialog_animation_frames();
        for (int i = 0; i < 20 && polls() < 8; ++i) do_events();
        EXPECT_EQ(polls(), 8);
        EXPECT_EQ(dialog_animation_frames(), held_at);
    };
    screen_windows.ask_leave = [] { return true; };
    key(3, KEY_F1);
    at(10, [] {
        EXPECT_GT(dialog_animation_frames(), held_at);  // going again
        EXPECT_EQ(hides, 0);
        mouse_state.x = DIALOG_PICTURE_X + 10;
        mouse_state.y = DIALOG_PICTURE_Y + 170;
    });
    at(12, [] {
        EXPECT_GE(hides, 1);
        EXPECT_TRUE(cursor_visible());
    });
    key(12, KEY_ESCAPE);
    int after_leaving = 0;
    at(13, [&] {
        EXPECT_FALSE(dialog.running);
        EXPECT_FALSE(dialog_animation_running());
        after_leaving = dialog_animation_frames();
    });
    at(17, [&] {
        EXPECT_EQ(dialog_animation_frames(), after_leaving);
        stop_flag = 1;
    });
    main_loop();
}

}  // namespace
