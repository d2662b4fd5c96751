// The full-screen video player: forge-made videos played on the headless
// display, skipped by a key or a quit, ended by a corrupt frame, and their
// sound handed on in order.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/paths.h"
#include "font_test_fonts.h"
#include "forge/mgif_writer.h"
#include "gfx/font.h"
#include "gfx/mgif.h"
#include "gfx/screen.h"
#include "gfx/video_player.h"
#include "platform/headless_display.h"

namespace {

using bytes = std::vector<uint8_t>;

// Solid colours whose lowest channel bits are clear, so a blend of a colour
// with itself gives the colour back.
constexpr uint16_t colours[] = {0x7800, 0x03C0, 0x001E, 0x4210, 0x5294, 0x2108};
constexpr int TOP = 60;

forge::mgif_frame solid_frame(int index, std::vector<int16_t> sound = {}) {
    forge::mgif_frame f;
    f.pixels.assign(MGIF_PICTURE_BYTES, uint8_t(index + 1));
    for (int i = 0; i < 6; ++i) f.palette[size_t(i + 1)] = colours[i];
    f.sound = std::move(sound);
    return f;
}

bytes solid_video(int frames) {
    std::vector<forge::mgif_frame> list;
    for (int i = 0; i < frames; ++i) list.push_back(solid_frame(i % 6));
    return forge::encode_mgif(list);
}

HeadlessDisplay* shown = nullptr;

struct record {
    std::vector<std::string> calls;
    std::vector<int16_t> samples;
    int refusals_left = 0;
    int start_rate = 0;
    size_t start_bytes = 0;
    uint32_t first_cursor = 0;
} rec;

class VideoPlayer : public ::testing::Test {
  protected:
    void SetUp() override {
        rec = record{};
        shown = &d;
        d.open(video_settings{}, "Vorthan");
        clear_buffer(frame_buffer, 0);
        set_screen_update([](int x, int y, int w, int h) { shown->present_region(x, y, w, h); });
        video_display v;
        v.take_key = [] {
            shown->poll_started();
            if (!shown->key_available()) return false;
            shown->read_key();
            return true;
        };
        v.quit_requested = [] { return shown->quit_requested(); };
        v.set_crt_suppressed = [](bool on) { rec.calls.push_back(on ? "crt off" : "crt on"); };
        v.wait = [](int ms) { shown->sleep_ms(ms); };
        set_video_display(v);
        video_sound s;
        s.stop_music = [] { rec.calls.push_back("stop music"); };
        s.start = [](int rate, size_t size) {
            rec.calls.push_back("start");
            rec.start_rate = rate;
            rec.start_bytes = size;
        };
        s.write_delta = [](const uint8_t* codes, size_t count, const int16_t* table, int16_t* acc,
                           uint32_t* cursor) {
            if (rec.refusals_left > 0) {
                --rec.refusals_left;
                return false;
            }
            if (rec.samples.empty()) rec.first_cursor = *cursor;
            for (size_t i = 0; i < count; ++i) {
                acc[i & 1] = int16_t(table[codes[i]] + acc[i & 1]);
                rec.samples.push_back(acc[i & 1]);
            }
            *cursor += uint32_t(count * 2);
            return true;
        };
        s.stop = [] { rec.calls.push_back("stop"); };
        set_video_sound(s);
    }
    void TearDown() override {
        set_video_sound({});
        set_video_display({});
        set_screen_update(nullptr);
        shown = nullptr;
    }
    // The shown frames' pixel at a doubled position of the picture.
    uint16_t shown_at(size_t frame, int x, int y) const {
        return d.frames()[frame].pixels[size_t(TOP + 2 * y) * SCREEN_WIDTH + size_t(2 * x)];
    }
    HeadlessDisplay d;
};

}  // namespace

TEST_F(VideoPlayer, PlaysEveryFrameInOrderDoubledBelowTheTopRow) {
    const bytes video = solid_video(4);
    frame_buffer[0] = 0x1234;  // above the top row: left alone
    EXPECT_EQ(play_video_data(video.data(), video.size(), TOP), video_end::finished);
    EXPECT_EQ(video_frames_shown(), 4u);
    ASSERT_EQ(d.frames().size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(shown_at(i, 0, 0), colours[i]) << "frame " << i;
        EXPECT_EQ(shown_at(i, 319, 179), colours[i]) << "frame " << i;
        // Odd rows are the scan lines at half brightness.
        EXPECT_EQ(d.frames()[i].pixels[size_t(TOP + 1) * SCREEN_WIDTH + 10], blend50(colours[i], 0));
    }
    EXPECT_EQ(frame_buffer[0], 0x1234);
    EXPECT_EQ(frame_buffer[size_t(TOP - 1) * SCREEN_WIDTH + 5], 0);
    // The CRT overlay is off for the video only; music stops first; a video
    // played to its end leaves the ring to the next music.
    const std::vector<std::string> expected{"stop music", "crt off", "start", "crt on"};
    EXPECT_EQ(rec.calls, expected);
    EXPECT_EQ(rec.start_rate, MGIF_SOUND_RATE);
    EXPECT_EQ(rec.start_bytes, MGIF_RING_BYTES);
}

TEST_F(VideoPlayer, AKeyStopsItAfterTheCurrentFrameAndIsConsumed) {
    const bytes video = solid_video(20);
    d.inject_key(25, 27);
    EXPECT_EQ(play_video_data(video.data(), video.size(), TOP), video_end::skipped);
    EXPECT_GE(video_frames_shown(), 1u);
    EXPECT_LT(video_frames_shown(), 20u);
    EXPECT_FALSE(d.key_available());
    EXPECT_EQ(rec.calls.back(), "stop");  // the ring fades with the pictures
}

TEST_F(VideoPlayer, AQuitRequestStopsIt) {
    const bytes video = solid_video(20);
    d.inject_quit(15);
    EXPECT_EQ(play_video_data(video.data(), video.size(), TOP), video_end::skipped);
    EXPECT_LT(video_frames_shown(), 20u);
}

TEST_F(VideoPlayer, CorruptOrForeignDataEndsItWithoutACrash) {
    bytes video = solid_video(3);
    // Cut the file inside its second frame: the first is shown, then it ends.
    const size_t first_frame_bytes =
        MGIF_FRAME_HEADER_BYTES + (video[MGIF_HEADER_BYTES + 1] | video[MGIF_HEADER_BYTES + 2] << 8 |
                                   video[MGIF_HEADER_BYTES + 3] << 16);
    bytes cut(video.begin(), video.begin() + long(MGIF_HEADER_BYTES + first_frame_bytes + 6));
    EXPECT_EQ(play_video_data(cut.data(), cut.size(), TOP), video_end::corrupt);
    EXPECT_EQ(video_frames_shown(), 1u);
    EXPECT_EQ(rec.calls.back(), "stop");

    // A chunk length that runs past its frame.
    bytes lying = video;
    lying[MGIF_HEADER_BYTES + 4 + 1] = 0xFF;
    lying[MGIF_HEADER_BYTES + 4 + 3] = 0x7F;
    EXPECT_EQ(play_video_data(lying.data(), lying.size(), TOP), video_end::corrupt);
    EXPECT_EQ(video_frames_shown(), 0u);

    bytes foreign(700, 0x41);
    EXPECT_EQ(play_video_data(foreign.data(), foreign.size(), TOP), video_end::missing);
    EXPECT_EQ(play_video_data(video.data(), 10, TOP), video_end::missing);
    EXPECT_EQ(rec.calls.back(), "crt on");
}

TEST_F(VideoPlayer, SoundPiecesReachTheSeamInOrderEvenWhenTheRingIsFull) {
    // A rising and falling ramp on the left, its mirror on the right, long
    // enough to be split into several pieces.
    std::vector<forge::mgif_frame> frames;
    std::vector<int16_t> all;
    for (int f = 0; f < 3; ++f) {
        std::vector<int16_t> sound;
        for (int i = 0; i < 20000; ++i) {
            const int16_t v = int16_t(((f * 20000 + i) % 400 - 200) * 40);
            sound.push_back(v);
            sound.push_back(int16_t(-v));
        }
        all.insert(all.end(), sound.begin(), sound.end());
        frames.push_back(solid_frame(f, sound));
    }
    const bytes video = forge::encode_mgif(frames);
    rec.refusals_left = 3;
    EXPECT_EQ(play_video_data(video.data(), video.size(), TOP), video_end::finished);
    EXPECT_EQ(rec.first_cursor, MGIF_RING_START_CURSOR);
    ASSERT_EQ(rec.samples.size(), all.size());
    // The codes only approximate the samples; order and channels must hold.
    for (size_t i = 0; i < all.size(); i += 997) EXPECT_NEAR(rec.samples[i], all[i], 600) << "sample " << i;
    EXPECT_GT(d.milliseconds(), 0u);  // the full ring was waited for
}

TEST_F(VideoPlayer, FilesComeFromTheVideoFolderAndAMissingOnePlaysNothing) {
    const auto folder = std::filesystem::temp_directory_path() / "vorthan_video_player_test";
    std::filesystem::create_directories(folder);
    const bytes video = solid_video(2);
    std::ofstream(folder / "intro.mgf", std::ios::binary)
        .write(reinterpret_cast<const char*>(video.data()), std::streamsize(video.size()));
    const std::string saved = path_table[PATH_VIDEO];
    path_table[PATH_VIDEO] = folder.string() + "/";
    EXPECT_EQ(play_video("missing.mgf", TOP), video_end::missing);
    EXPECT_EQ(rec.calls, std::vector<std::string>{"stop music"});  // even for a missing file
    EXPECT_EQ(play_video("intro.mgf", 17), video_end::finished);
    EXPECT_EQ(video_frames_shown(), 2u);
    EXPECT_EQ(frame_buffer[size_t(17) * SCREEN_WIDTH], colours[1]);
    path_table[PATH_VIDEO] = saved;
    std::filesystem::remove_all(folder);
}

TEST_F(VideoPlayer, SubtitlesShowFromTheirFrameOnInOneOrTwoLinesUntilAnEmptyOneClearsThem) {
    constexpr handle_id FONT = 0x9100;
    test_fonts::font_bytes font;
    font.block('A', 4, 10).block('B', 4, 10).block('C', 4, 10);
    test_fonts::install(FONT, font.bytes);
    set_font(FONT, 0x7C00);
    string_list texts = string_list_create(6);
    string_list_set(texts, 1, "A");
    string_list_set(texts, 3, "B\nC");
    string_list_set(texts, 5, "");
    set_video_subtitles(&texts);
    const auto px = [](int x, int y) { return frame_buffer[size_t(y) * SCREEN_WIDTH + size_t(x)]; };
    constexpr uint16_t INK = 0x7C00;

    // One line of height 10 stands on row 475 - 20; two lines at 455 and 467.
    draw_subtitle(1);
    EXPECT_EQ(px(320, 455), INK);
    EXPECT_EQ(px(320, 464), INK);
    EXPECT_NE(px(320, 467), INK);
    frame_buffer[size_t(470) * SCREEN_WIDTH + 5] = 0x1111;
    draw_subtitle(2);  // no entry: the subtitle stays
    EXPECT_EQ(px(320, 455), INK);
    EXPECT_EQ(px(5, 470), 0x1111);
    draw_subtitle(3);
    EXPECT_EQ(px(320, 455), INK);
    EXPECT_EQ(px(320, 467), INK);
    EXPECT_EQ(px(5, 470), 0) << "the lines are drawn on black";
    draw_subtitle(4);
    EXPECT_EQ(px(320, 467), INK);
    draw_subtitle(5);  // empty: cleared down to the bottom
    EXPECT_EQ(px(320, 455), 0);
    EXPECT_EQ(px(320, 467), 0);
    draw_subtitle(9);  // past the list: nothing
    EXPECT_EQ(px(320, 467), 0);

    // The player draws them after each frame.
    clear_buffer(frame_buffer, 0);
    const bytes video = solid_video(2);
    EXPECT_EQ(play_video_data(video.data(), video.size(), TOP), video_end::finished);
    EXPECT_EQ(px(320, 460), INK);
    set_video_subtitles(nullptr);
    reset_font_state();
    undefine_handle(FONT);
}

TEST(VideoUpscale, BetweenPixelsBlendTheirNeighboursAndOddRowsAreHalfBright) {
    std::vector<uint16_t> picture(MGIF_PICTURE_BYTES, 0);
    const uint16_t a = 0x7C00, b = 0x03E0, c = 0x001F;
    picture[0] = a;
    picture[1] = b;
    picture[2] = c;
    std::vector<uint16_t> screen(size_t(SCREEN_WIDTH) * 360, 0x1111);
    upscale_video_frame(picture.data(), screen.data(), SCREEN_WIDTH);
    EXPECT_EQ(screen[0], a);
    EXPECT_EQ(screen[2], b);
    // Left of the first pixel counts as the first pixel.
    EXPECT_EQ(screen[1], blend50(blend50(a, b), blend50(a, c)));
    EXPECT_EQ(screen[3], blend50(blend50(b, c), blend50(a, 0)));
    // The last column of an even row and the last row stay as they were.
    EXPECT_EQ(screen[639], 0x1111);
    EXPECT_EQ(screen[size_t(359) * SCREEN_WIDTH + 4], 0x1111);
    // Row 1 between rows 0 and 2 (row 2 is black).
    EXPECT_EQ(screen[size_t(SCREEN_WIDTH)], blend50(blend50(blend50(a, 0), blend50(a, 0)), 0));
}
