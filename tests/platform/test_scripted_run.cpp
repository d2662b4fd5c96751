// The whole program started on the headless display with the demo adventure.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "gfx/picture.h"
#include "gfx/screen.h"
#include "support/scripted_run.h"

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string loading_file = demo_dir + "/graphics/basic/LOADING.HI";

// The loading picture as the screen shows it: drawn on black, bit 15 black.
std::vector<uint16_t> expected_loading_screen() {
    std::ifstream in(loading_file, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    clear_buffer(frame_buffer, 0);
    set_target(frame_buffer);
    draw_stored_picture(bytes.data(), static_cast<int32_t>(bytes.size()), 0, 0);
    std::vector<uint16_t> shown(frame_buffer, frame_buffer + 640 * 480);
    for (uint16_t& p : shown)
        if (p & 0x8000) p = 0;
    return shown;
}

size_t differing_pixels(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b) {
    size_t n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
    return n + (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

}  // namespace

TEST(ScriptedRun, FirstPresentedFrameIsTheLoadingPicture) {
    if (!std::filesystem::exists(loading_file)) GTEST_SKIP() << "the demo has no loading picture";
    scripted_run_options options;
    options.adventure_folder = demo_dir;
    options.checkpoints_ms = {0};
    options.stop_at_ms = 2000;
    const scripted_run_result run = run_scripted(options);
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.window_title, "Vorthan");
    EXPECT_EQ(run.window_icon.size(), 630u);
    ASSERT_FALSE(run.frames.empty());

    const std::vector<uint16_t> expected = expected_loading_screen();
    EXPECT_EQ(differing_pixels(run.frames.front().pixels, expected), 0u);
    // The loading picture is not a blank screen.
    EXPECT_GT(differing_pixels(expected, std::vector<uint16_t>(640 * 480, 0)), 640u * 480u / 2);
}

TEST(ScriptedRun, RunsAreRepeatableAndReturnToTheStartFolder) {
    if (!std::filesystem::exists(loading_file)) GTEST_SKIP() << "the demo has no loading picture";
    const auto before = std::filesystem::current_path();
    scripted_run_options options;
    options.adventure_folder = demo_dir;
    options.script = {script_key(0, 0x011B), script_mouse_move(5, 10, 10)};
    options.stop_at_ms = 2000;
    const scripted_run_result first = run_scripted(options);
    EXPECT_EQ(std::filesystem::current_path(), before);
    const scripted_run_result second = run_scripted(options);
    ASSERT_EQ(first.frames.size(), second.frames.size());
    for (size_t i = 0; i < first.frames.size(); ++i) {
        EXPECT_EQ(first.frames[i].at_ms, second.frames[i].at_ms);
        EXPECT_EQ(first.frames[i].pixels, second.frames[i].pixels);
    }
}

TEST(ScriptedRun, MissingConfigurationEndsThroughTheFatalReport) {
    scripted_run_options options;
    options.adventure_folder = demo_dir;
    options.config_file = "no-such.ini";
    const scripted_run_result run = run_scripted(options);
    ASSERT_TRUE(run.fatal_message);
    EXPECT_EQ(*run.fatal_message, "Failed to open configuration file: no-such.ini");
    EXPECT_EQ(run.exit_code, 1);
}
