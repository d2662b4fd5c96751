#pragma once
// The demo played on the headless display from a script: keys, mouse clicks
// and probes at virtual times; each probe runs on the game side and the frame
// shown then becomes a checkpoint. The run ends by leaving the game.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/events.h"
#include "core/handles.h"
#include "core/random.h"
#include "support/scripted_run.h"

// Seeds the random again once the game has started and entered its map, so
// that what start-up draws (the shops' restocking, say) does not shift the
// rolls a run checks afterwards. Called from a run's first probe.
inline void restart_random_after_startup(uint32_t seed) {
    random_seed(seed);
}

struct demo_session {
    scripted_run_options options;
    uint64_t t = 1000;
    std::vector<std::function<void()>> probes;

    void press(uint16_t key, uint64_t then = 300) {
        options.script.push_back(script_key(t, key));
        t += then;
    }
    void click(int x, int y, int button = 1) {
        options.script.push_back(script_mouse_move(t, x, y));
        options.script.push_back(script_click(t + 10, button, true));
        options.script.push_back(script_click(t + 30, button, false));
        t += 200;
    }
    // A click at the middle of a rectangle of the screen (anything with x, y, w, h).
    template <class rectangle>
    void click_in(const rectangle& r) {
        click(r.x + r.w / 2, r.y + r.h / 2);
    }
    void wait(uint64_t ms) { t += ms; }
    // A step (the key) into a map that plays a video on the way in (the
    // cellars' scene, the first time down), ended by a key the game screen
    // ignores ('J'), so that on a way in without a video it does nothing.
    // The player looks at the keys after each picture, and its first pictures
    // wait while the sound fills the ring: the video ends about a second
    // after the step. `then` counts from there.
    void step_skipping_video(uint16_t key, uint64_t then = 800) {
        press(key, 300);
        press(0x246A, 1700);
        wait(then);
    }
    size_t probe(std::function<void()> fn) {
        options.checkpoints_ms.push_back(t);
        probes.push_back(std::move(fn));
        t += 100;
        return probes.size() - 1;
    }
    scripted_run_result run() {
        press(0x011B);  // Esc
        press(0x1C0D);  // Enter: "Yes" to the leave question
        options.adventure_folder = VORTHAN_DEMO_DIR;
        options.language = "en";
        options.stop_at_ms = t + 5000;
        options.frame_limit = 0;
        size_t next = 0;
        options.on_checkpoint = [&](uint64_t) {
            if (next < probes.size()) probes[next++]();
        };
        scripted_run_result result = run_scripted(options);
        clear_event_tree();
        free_all_handles();  // what the process exit would free
        EXPECT_EQ(next, probes.size()) << "probes that never ran";
        return result;
    }
};
