// The intro on the headless display with the demo: played to its end with
// its subtitles and sound, or cut short by a key, and then the game begins.
// Three of its frames and the loudness of its sound are kept as goldens.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "demo_session.h"
#include "gfx/video_player.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "world/game_screen.h"
#include "world/map.h"

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";
constexpr uint16_t KEY_SPACE = 0x3920;

bool intro_built() {
    std::ifstream f(demo_dir + "/video/INTRO.MGF");
    return f.good();
}

// The loudness of each side in windows of 100 ms from the audio's start, as
// text: one line "left right" per window, four decimals.
constexpr size_t WINDOW_FRAMES = 4410;
std::vector<double> envelope(const std::vector<float>& audio, size_t frames) {
    std::vector<double> out;
    for (size_t first = 0; first + WINDOW_FRAMES <= std::min(frames, audio.size() / 2); first += WINDOW_FRAMES) {
        double l = 0, r = 0;
        for (size_t f = first; f < first + WINDOW_FRAMES; ++f) {
            l += double(audio[2 * f]) * audio[2 * f];
            r += double(audio[2 * f + 1]) * audio[2 * f + 1];
        }
        out.push_back(std::sqrt(l / WINDOW_FRAMES));
        out.push_back(std::sqrt(r / WINDOW_FRAMES));
    }
    return out;
}

// Compares the envelope with the golden text within a small tolerance (the
// mixer's floating point may round differently between builds).
::testing::AssertionResult sound_matches(const std::string& path, const std::vector<double>& env) {
    if (golden::regenerating()) {
        std::ofstream out(path);
        char line[64];
        for (size_t i = 0; i + 1 < env.size(); i += 2) {
            std::snprintf(line, sizeof line, "%.4f %.4f\n", env[i], env[i + 1]);
            out << line;
        }
        return ::testing::AssertionSuccess();
    }
    std::ifstream in(path);
    if (!in) return ::testing::AssertionFailure() << "no golden " << path;
    std::vector<double> want;
    for (double v; in >> v;) want.push_back(v);
    if (want.size() != env.size())
        return ::testing::AssertionFailure() << want.size() / 2 << " windows in the golden, " << env.size() / 2
                                             << " heard";
    for (size_t i = 0; i < env.size(); ++i)
        if (std::abs(want[i] - env[i]) > 0.002)
            return ::testing::AssertionFailure() << "window " << i / 2 << (i % 2 ? " right: " : " left: ") << env[i]
                                                 << ", golden " << want[i];
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(IntroEndToEnd, PlaysToItsEndWithSubtitlesAndSoundThenTheGameBegins) {
    if (!intro_built()) GTEST_SKIP() << "the demo's intro is not built";
    demo_session s;
    s.options.intro = true;
    s.options.capture_audio = true;
    s.t = 0;
    // Frames kept as goldens: the keep at dusk, the drift with a subtitle,
    // the title.
    const uint64_t shots[] = {3000, 10000, 19000};
    for (uint64_t at : shots) {
        s.t = at;
        s.probe([] { EXPECT_FALSE(scene.running) << "the intro still plays"; });
    }
    s.t = 40000;
    uint32_t frames = 0;
    std::string map;
    s.probe([&] {
        frames = video_frames_shown();
        map = current_map.name;
        EXPECT_TRUE(scene.running);
    });
    const scripted_run_result r = s.run();
    ASSERT_EQ(r.exit_code, 0);
    ASSERT_EQ(r.checkpoints.size(), 4u);
    EXPECT_GT(frames, 200u) << "every frame of the intro was shown";
    EXPECT_FALSE(map.empty());
    const char* names[] = {"intro_keep.png", "intro_subtitle.png", "intro_title.png"};
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(golden::matches(golden_dir + names[i], r.checkpoints[i].frame_buffer.data())) << names[i];
    // The sound of the first 20 seconds, as heard.
    EXPECT_TRUE(sound_matches(golden_dir + "intro_sound.txt", envelope(r.audio, 20 * 44100)));
}

TEST(IntroEndToEnd, AKeySkipsItAndIsNotSeenByTheGame) {
    if (!intro_built()) GTEST_SKIP() << "the demo's intro is not built";
    demo_session s;
    s.options.intro = true;
    s.t = 3000;
    s.press(KEY_SPACE, 1000);
    uint32_t frames = 0;
    s.probe([&] {
        frames = video_frames_shown();
        EXPECT_TRUE(scene.running) << "the game began at once";
    });
    const scripted_run_result r = s.run();
    ASSERT_EQ(r.exit_code, 0);
    EXPECT_GT(frames, 10u);
    EXPECT_LT(frames, 100u);
}
