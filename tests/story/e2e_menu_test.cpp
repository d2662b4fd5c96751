// The main menu in the whole program with the demo: a new game started from
// it, the credits and the end of the run from its quit item.
#include <gtest/gtest.h>

#include <string>

#include "demo_session.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "world/game_screen.h"

namespace {

const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";

constexpr uint16_t KEY_DOWN = 0x5000, KEY_ENTER = 0x1C0D;

TEST(MenuEndToEnd, NewGameFromTheMenuStartsTheGame) {
    demo_session s;
    s.options.menu = true;
    s.probe([] { EXPECT_FALSE(scene.running) << "the menu comes first"; });
    s.press(KEY_DOWN);
    s.press(KEY_ENTER, 1000);
    s.probe([] { EXPECT_TRUE(scene.running) << "the new game began"; });
    const scripted_run_result r = s.run();
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_FALSE(r.fatal_message.has_value());
    EXPECT_LT(r.end_ms, s.options.stop_at_ms) << "leaving the game ended the run";
}

TEST(MenuEndToEnd, QuitItemEndsTheRunAndCreditsReturnToTheMenu) {
    demo_session s;
    s.options.menu = true;
    // The credits (the fourth item) and back; then the last item, quit.
    for (int i = 0; i < 4; ++i) s.press(KEY_DOWN);
    s.probe([] {});  // the menu with the credits' item glowing
    s.press(KEY_ENTER, 6000);
    s.probe([] { EXPECT_FALSE(scene.running); });  // the credits under way
    s.press(' ', 1000);  // a key ends the credits at once
    const uint64_t quit_at = s.t + 5 * 300 + 300;
    for (int i = 0; i < 5; ++i) s.press(KEY_DOWN);
    s.press(KEY_ENTER);
    s.options.adventure_folder = VORTHAN_DEMO_DIR;
    s.options.language = "en";
    s.options.stop_at_ms = s.t + 10000;
    s.options.frame_limit = 0;
    size_t next = 0;
    s.options.on_checkpoint = [&](uint64_t) {
        if (next < s.probes.size()) s.probes[next++]();
    };
    const scripted_run_result r = run_scripted(s.options);
    clear_event_tree();
    free_all_handles();
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_LT(r.end_ms, quit_at + 1000) << "the quit item ended the run";
    ASSERT_EQ(r.checkpoints.size(), 2u);
    EXPECT_TRUE(golden::matches(golden_dir + "menu_credits_item.png", r.checkpoints[0].frame_buffer.data()));
    EXPECT_TRUE(golden::matches(golden_dir + "menu_credits_scrolling.png", r.checkpoints[1].frame_buffer.data()));
}

}  // namespace
