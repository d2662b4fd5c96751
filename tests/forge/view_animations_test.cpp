// The demo's animations over the map view (the fire bolt, the sword slash,
// the teleport), as built: each decodes frame by frame with the game's MGIF
// reader, and every frame leaves the view visible around its shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gfx/mgif.h"

namespace {

struct decoded_frame {
    std::vector<uint8_t> indexes;  // 320 x 180, 0 lets the view through
    int shown = 0;                 // pixels that are not index 0
    // The bounds of the pixels shown.
    int top = MGIF_HEIGHT, bottom = -1, left = MGIF_WIDTH, right = -1;
    bool shown_at(int x, int y) const { return indexes[size_t(y) * MGIF_WIDTH + x] != 0; }
};

struct decoding {
    std::vector<uint8_t> picture = std::vector<uint8_t>(MGIF_PICTURE_BYTES, 0);
    bool had_picture = false;
};

void picture_handler(mgif_reader* reader, int type, const uint8_t* data, size_t length) {
    auto* d = static_cast<decoding*>(reader->user);
    if (type == MGIF_FULL_PICTURE || type == MGIF_RAW_PICTURE) {
        decode_full_indexes(d->picture.data(), data, length);
        d->had_picture = true;
    } else if (type == MGIF_DELTA_PICTURE) {
        decode_delta_indexes(d->picture.data(), data, length);
    }
}

// Every frame of a built animation, or a failure naming what went wrong.
std::vector<decoded_frame> decode_animation(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    mgif_reader_ptr reader(mgif_open(file.data(), file.size()));
    if (!reader) {
        ADD_FAILURE() << path << " is missing or not an MGIF file";
        return {};
    }
    decoding d;
    reader->user = &d;
    reader->handler = picture_handler;
    std::vector<decoded_frame> frames;
    bool more = reader->frame_count > 0;
    while (more) {
        more = mgif_next_frame(reader.get());
        if (reader->error != mgif_error::none) {
            ADD_FAILURE() << path << ": frame " << frames.size() << " is corrupt";
            return {};
        }
        decoded_frame f;
        f.indexes = d.picture;
        for (int y = 0; y < MGIF_HEIGHT; ++y)
            for (int x = 0; x < MGIF_WIDTH; ++x)
                if (f.shown_at(x, y)) {
                    ++f.shown;
                    f.top = std::min(f.top, y), f.bottom = std::max(f.bottom, y);
                    f.left = std::min(f.left, x), f.right = std::max(f.right, x);
                }
        frames.push_back(std::move(f));
    }
    EXPECT_TRUE(d.had_picture) << path;
    EXPECT_EQ(frames.size(), reader->frame_count) << path;
    return frames;
}

const std::string items = VORTHAN_DEMO_DIR "/graphics/items/";
const std::string gui = VORTHAN_DEMO_DIR "/graphics/basic/";

// Something to see in every frame, and the view around it.
void expect_shape_over_the_view(const std::vector<decoded_frame>& frames, const std::string& name,
                                double most_covered) {
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_GT(frames[i].shown, 20) << name << " frame " << i << " shows nothing";
        EXPECT_LT(frames[i].shown, int(MGIF_PICTURE_BYTES * most_covered))
            << name << " frame " << i << " hides too much of the view";
    }
}

}  // namespace

TEST(ViewAnimations, FireBoltShrinksIntoTheDistanceFromTheLowerMiddle) {
    const std::vector<decoded_frame> frames = decode_animation(items + "OHEN.MGF");
    ASSERT_GE(frames.size(), 10u);
    ASSERT_LE(frames.size(), 14u);
    expect_shape_over_the_view(frames, "OHEN.MGF", 0.1);
    // It leaves from the view's lower middle ...
    const decoded_frame& first = frames.front();
    EXPECT_EQ(first.bottom, MGIF_HEIGHT - 1);
    EXPECT_TRUE(first.shown_at(MGIF_WIDTH / 2, MGIF_HEIGHT - 10));
    // ... and rises and shrinks as it flies off; the top of the view stays clear.
    for (size_t i = 1; i + 3 < frames.size(); ++i) {
        EXPECT_LT(frames[i].shown, frames[i - 1].shown) << "frame " << i;
        EXPECT_LT(frames[i].bottom - frames[i].top, frames[i - 1].bottom - frames[i - 1].top + 8)
            << "frame " << i;
    }
    for (const decoded_frame& f : frames) EXPECT_GT(f.top, 60);
}

TEST(ViewAnimations, SwordSlashSweepsTheLowerViewFromTheRight) {
    const std::vector<decoded_frame> frames = decode_animation(items + "SEK.MGF");
    ASSERT_GE(frames.size(), 6u);
    ASSERT_LE(frames.size(), 10u);
    expect_shape_over_the_view(frames, "SEK.MGF", 0.15);
    // Enters at the right edge, ends at the lower left; the upper part stays clear.
    EXPECT_EQ(frames.front().right, MGIF_WIDTH - 1);
    EXPECT_LT(frames.back().left, MGIF_WIDTH / 4);
    EXPECT_LT(frames.back().right, MGIF_WIDTH / 2);
    EXPECT_GT(frames.back().top, MGIF_HEIGHT * 3 / 4);
    for (const decoded_frame& f : frames) EXPECT_GT(f.top, MGIF_HEIGHT / 2 - 10);
}

TEST(ViewAnimations, TeleportRingClosesOnTheMiddleAndFades) {
    const std::vector<decoded_frame> frames = decode_animation(gui + "teleport.mgf");
    ASSERT_GE(frames.size(), 10u);
    ASSERT_LE(frames.size(), 14u);
    expect_shape_over_the_view(frames, "teleport.mgf", 0.75);
    // The middle is clear until the ring meets there, then the light fades away.
    auto middle_shown = [](const decoded_frame& f) {
        int n = 0;
        for (int y = 80; y < 100; ++y)
            for (int x = 150; x < 170; ++x) n += f.shown_at(x, y);
        return n;
    };
    EXPECT_EQ(middle_shown(frames.front()), 0);
    const auto brightest = std::max_element(frames.begin(), frames.end(), [&](const auto& a, const auto& b) {
        return middle_shown(a) < middle_shown(b);
    });
    EXPECT_GT(middle_shown(*brightest), 300);
    EXPECT_LT(frames.back().shown, brightest->shown / 4);
}
