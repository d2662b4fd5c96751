// The whole program on the headless display with the demo, its sound captured
// from the mixer through a headless audio device pulled along the virtual
// clock: the dripping water in the cellars' stairs hall heard from the side it
// drips on, silence far from everything, a door opened, a fight with the rats.
// The capture is written to e2e-sound.wav in the build folder to be listened to.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/random.h"
#include "demo_places.h"
#include "demo_session.h"
#include "monsters/monsters.h"
#include "rules/battle/battle.h"
#include "rules/battle_desk/battle_desk.h"
#include "rules/monsters_ai/monster_ai.h"
#include "sound/game_sound.h"
#include "sound/sound_system.h"
#include "support/scripted_run.h"
#include "world/map.h"
#include "world/party_standin.h"

using namespace demo_places;

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;

constexpr uint16_t KEY_UP = 0x4800, KEY_SPACE = 0x3920;
constexpr int NORTH = 0, EAST = 1, SOUTH = 2, WEST = 3;

struct loudness {
    double left = 0, right = 0;
};

// RMS of each side between two virtual times.
loudness rms(const scripted_run_result& run, uint64_t from_ms, uint64_t to_ms) {
    const auto frame = [&](uint64_t ms) {
        return ms < run.audio_start_ms ? size_t(0) : size_t((ms - run.audio_start_ms) * 44100 / 1000);
    };
    const size_t first = frame(from_ms), last = std::min(frame(to_ms), run.audio.size() / 2);
    loudness l;
    if (last <= first) return l;
    for (size_t f = first; f < last; ++f) {
        l.left += double(run.audio[2 * f]) * run.audio[2 * f];
        l.right += double(run.audio[2 * f + 1]) * run.audio[2 * f + 1];
    }
    l.left = std::sqrt(l.left / double(last - first));
    l.right = std::sqrt(l.right / double(last - first));
    return l;
}

// 16-bit stereo WAV of the capture.
void write_wav(const std::string& path, const std::vector<float>& audio) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    const auto u32 = [&](uint32_t v) {
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        std::fwrite(b, 1, 4, f);
    };
    const auto u16 = [&](uint16_t v) {
        const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
        std::fwrite(b, 1, 2, f);
    };
    const uint32_t data = uint32_t(audio.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + data);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(data);
    for (float s : audio) u16(uint16_t(int16_t(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f))));
    std::fclose(f);
}

constexpr double SILENT = 0.0005;  // RMS below this is silence (about -66 dB)
constexpr double HEARD = 0.003;

}  // namespace

TEST(SoundEndToEnd, WaterDripsFromItsSideADoorAndAFightAreHeardAndFarAwayIsSilent) {
    if (!std::filesystem::exists(demo_dir + "/maps/CELLARS.MAP")) GTEST_SKIP() << "the demo is not built";
    random_seed(2024);
    demo_session s;
    s.options.capture_audio = true;
    s.wait(500);
    s.probe([] {
        restart_random_after_startup(2024);
        // Only the effects are measured: the music is turned down, and the
        // monsters leave the party alone until the fight.
        sound_set_setting(9, 0);
        monster_hooks.ignore_party = true;
        put_party(15, 17, SOUTH);  // before the stairs down
    });
    s.step_skipping_video(KEY_UP, 1000);  // the cellars' scene plays the first time down
    // The stairs hall: the water drips on the east wall of its south-east corner.
    s.probe([] {
        ASSERT_EQ(current_map.name, "CELLARS.MAP");
        put_party(4, 2, NORTH);
    });
    s.wait(300);
    const uint64_t facing_north = s.t;
    s.wait(1500);
    s.probe([] { put_party(4, 2, SOUTH); });
    s.wait(300);
    const uint64_t facing_south = s.t;
    s.wait(1500);
    // The far east end of the corridor: the water and the torches are out of
    // earshot, the monsters asleep in their corners.
    s.probe([] { put_party(27, 5, WEST); });
    s.wait(300);
    const uint64_t far_away = s.t;
    s.wait(1500);
    // The animated door east of the prisoner's cell, opened from its west side.
    s.probe([] { put_party(10, 5, EAST); });
    s.wait(800);
    const uint64_t before_door = s.t;
    s.wait(700);
    const uint64_t door_opens = s.t;
    s.press(KEY_SPACE, 1000);
    // The rats' nest: the party steps up to it and the rats come for it.
    s.probe([] {
        monster_hooks.ignore_party = false;
        put_party(18, 3, SOUTH);
    });
    const uint64_t fight = s.t;
    s.wait(1500);
    for (int member = 0; member < 4; ++member) s.click_in(desk_button_rect(DESK_ATTACK));
    s.click_in(desk_button_rect(DESK_GO));
    s.wait(4000);
    const uint64_t fight_end = s.t;
    s.probe([] {});

    const scripted_run_result run = s.run();
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_FALSE(run.audio.empty());
    write_wav(VORTHAN_BINARY_DIR "/e2e-sound.wav", run.audio);

    const loudness north = rms(run, facing_north, facing_north + 1500);
    const loudness south = rms(run, facing_south, facing_south + 1500);
    const loudness far = rms(run, far_away, far_away + 1500);
    const loudness quiet = rms(run, before_door, door_opens);
    const loudness door = rms(run, door_opens, door_opens + 1000);
    const loudness battle = rms(run, fight, fight_end);
    std::printf("north %.5f/%.5f south %.5f/%.5f far %.5f/%.5f door %.5f/%.5f after %.5f/%.5f fight %.5f/%.5f\n",
                north.left, north.right, south.left, south.right, far.left, far.right, quiet.left, quiet.right,
                door.left, door.right, battle.left, battle.right);

    // Facing north the east wall is on the right, facing south on the left.
    EXPECT_GT(north.right, HEARD);
    EXPECT_GT(north.right, 2 * north.left);
    EXPECT_GT(south.left, HEARD);
    EXPECT_GT(south.left, 2 * south.right);
    EXPECT_LT(far.left, SILENT);
    EXPECT_LT(far.right, SILENT);
    EXPECT_GT(door.left + door.right, 4 * (quiet.left + quiet.right) + HEARD);
    EXPECT_GT(battle.left + battle.right, HEARD);
}

TEST(SoundEndToEnd, AnAudioDeviceThatCannotOpenLeavesTheGameSilentWithOneMessage) {
    if (!std::filesystem::exists(demo_dir + "/maps/KEEP.MAP")) GTEST_SKIP() << "the demo is not built";
    demo_session s;
    s.options.capture_audio = true;
    s.options.audio_fails = true;
    s.wait(500);
    s.probe([] {
        EXPECT_EQ(current_map.name, "KEEP.MAP");
        // Sounds asked for meanwhile go nowhere.
        put_party(5, 16, WEST);  // beside the gate's torch
    });
    s.wait(1000);
    testing::internal::CaptureStderr();
    const scripted_run_result run = s.run();
    const std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.audio.empty());
    const std::string line = "Vorthan plays without sound: SDL Error create audio";
    ASSERT_NE(errors.find(line), std::string::npos) << errors;
    EXPECT_EQ(errors.find(line, errors.find(line) + 1), std::string::npos) << errors;
}
