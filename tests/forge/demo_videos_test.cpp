// The demo's full-screen videos as built: every frame of the intro and of the
// cellars' scene reads and decodes, both carry their sound, the names the
// game plays them by find them, and the intro's subtitles read in Czech and
// in English.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "base/strings.h"
#include "gfx/mgif.h"

namespace {

const std::string demo = VORTHAN_DEMO_DIR "/";
const std::string source = VORTHAN_SOURCE_DIR "/content/demo/";

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct playback {
    std::vector<uint16_t> picture = std::vector<uint16_t>(MGIF_PICTURE_BYTES, 0);
    uint16_t palette[256] = {};
    size_t pictures = 0, sound_codes = 0, audible_codes = 0;
    // Colours of the picture after each frame, counted at a few frames.
    std::vector<size_t> colours;
};

void handle(mgif_reader* reader, int type, const uint8_t* data, size_t length) {
    auto& p = *static_cast<playback*>(reader->user);
    switch (type) {
        case MGIF_FULL_PICTURE:
        case MGIF_RAW_PICTURE:
            decode_full_frame(p.picture.data(), MGIF_WIDTH, data, length, p.palette);
            ++p.pictures;
            break;
        case MGIF_DELTA_PICTURE:
            decode_delta_frame(p.picture.data(), MGIF_WIDTH, data, length, p.palette);
            ++p.pictures;
            break;
        case MGIF_PALETTE:
            read_mgif_palette(data, length, p.palette);
            break;
        case MGIF_SOUND:
            p.sound_codes += length;
            for (size_t i = 0; i < length; ++i)
                if (reader->sound_table[data[i]] != 0) ++p.audible_codes;
            break;
        default:
            break;
    }
}

playback play_through(const std::string& bytes, uint32_t frames) {
    playback p;
    mgif_reader_ptr reader(mgif_open(bytes.data(), bytes.size()));
    EXPECT_TRUE(reader);
    if (!reader) return p;
    EXPECT_EQ(reader->frame_count, frames);
    reader->user = &p;
    reader->handler = handle;
    bool more = true;
    while (more) {
        more = mgif_next_frame(reader.get());
        EXPECT_EQ(reader->error, mgif_error::none) << "frame " << reader->frames_read;
        if (reader->error != mgif_error::none) break;
        if (reader->frames_read % 30 == 0 || !more)
            p.colours.push_back(std::set<uint16_t>(p.picture.begin(), p.picture.end()).size());
    }
    EXPECT_EQ(reader->frames_read, frames);
    return p;
}

TEST(DemoVideos, IntroAndCellarsSceneDecodeEveryFrameWithTheirSound) {
    struct video {
        const char* file;
        uint32_t frames;
    };
    for (const video& v : {video{"INTRO.MGF", 330}, video{"SKLEPY.MGF", 120}}) {
        SCOPED_TRACE(v.file);
        const std::string bytes = read_file(demo + "video/" + v.file);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(mgif_header_fps(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 15);
        const playback p = play_through(bytes, v.frames);
        EXPECT_GT(p.pictures, v.frames / 2);
        // The sound lasts as long as the pictures at 15 a second (two codes a
        // stereo sample), plus what first fills the player's ring, and is not
        // silence.
        const size_t expected = size_t(v.frames) * MGIF_SOUND_RATE / 15 * 2;
        EXPECT_GE(p.sound_codes, expected);
        EXPECT_LE(p.sound_codes, expected + MGIF_RING_BYTES / 2);
        EXPECT_GT(p.audible_codes, p.sound_codes / 4);
        // Painted scenes, not flat fills: past the fade from black every
        // picture shows many colours.
        ASSERT_GE(p.colours.size(), 2u);
        for (size_t i = 1; i < p.colours.size() - 1; ++i) EXPECT_GT(p.colours[i], 60u) << "at frame " << i * 30;
    }
}

TEST(DemoVideos, GameFindsTheVideosAndTheIntroSubtitlesInBothLanguages) {
    // The intro is interface text 7; the cellars' map plays its scene by name.
    string_list ui;
    ASSERT_EQ(read_numbered_table(ui, demo + "POPISY.TXT"), TABLE_OK);
    ASSERT_NE(string_list_get(ui, 7), nullptr);
    const std::string intro = string_list_get(ui, 7);
    EXPECT_FALSE(read_file(demo + "video/" + intro).empty()) << intro;
    const std::string cellars = read_file(source + "maps/cellars.mapsrc");
    std::smatch named;
    ASSERT_TRUE(std::regex_search(cellars, named, std::regex(R"(play_video file=(\S+))")));
    EXPECT_FALSE(read_file(demo + "video/" + named[1].str()).empty()) << named[1];

    // Subtitles: entry n from frame n on, within the video, at most two lines
    // each, the last one clearing the line.
    string_list czech;
    ASSERT_EQ(read_numbered_table(czech, demo + "video/" + replace_extension(intro, ".TXT")), TABLE_OK);
    std::vector<int> shown;
    for (int i = 0; i < string_list_count(czech); ++i)
        if (const char* text = string_list_get(czech, i)) {
            shown.push_back(i);
            EXPECT_LE(std::count(text, text + std::char_traits<char>::length(text), '\n'), 1) << i;
        }
    ASSERT_GE(shown.size(), 4u);
    EXPECT_LT(shown.back(), 330);
    EXPECT_STREQ(string_list_get(czech, shown.back()), "");
    const auto english = read_csv_table(demo + "lang/en/intro.csv");
    ASSERT_TRUE(english);
    for (int i : shown) EXPECT_TRUE(english->count(i)) << "no English subtitle " << i;
    EXPECT_EQ(english->size(), shown.size());
}

}  // namespace
