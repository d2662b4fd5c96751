// The forge's view textures meet what the renderer expects of them: sizes,
// index 0 and 1, perspective that joins the renderer's geometry. And a view
// built from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "forge/pcx_writer.h"
#include "forge/texture_manifest.h"
#include "forge/texture_source.h"
#include "forge/texture_views.h"
#include "gfx/screen.h"
#include "support/golden.h"
#include "view_test_map.h"
#include "world/view.h"

using namespace view_test;

namespace {

// Through the player's own decoder, as a map would load it.
std::vector<uint16_t> decoded(const forge::indexed_image& image, int type, uint16_t fade = 0) {
    const std::vector<uint8_t> pcx = forge::encode_pcx(image);
    picture* pic = nullptr;
    const int32_t size =
        decode_pcx(pcx.data(), static_cast<int32_t>(pcx.size()), type, &pic,
                   static_cast<uint8_t>(((fade >> 10) & 31) << 3),
                   static_cast<uint8_t>(((fade >> 5) & 31) << 3), static_cast<uint8_t>((fade & 31) << 3));
    EXPECT_GT(size, 0);
    if (size <= 0) return {};
    std::vector<uint16_t> record((size + 1) / 2);
    std::memcpy(record.data(), pic, size);
    game_free(pic);
    return record;
}

// A small flat wall: light blocks on dark joints, so edges are easy to find.
forge::texture_canvas plain_wall() {
    forge::texture_canvas c(100, 64);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 100; x++) {
            const bool joint = x % 25 < 2 || y % 16 < 2;
            c.set(x, y, joint ? 40.0f : 180.0f + (x * 7 + y * 3) % 40, joint ? 40.0f : 170.0f,
                  joint ? 40.0f : 150.0f);
        }
    return c;
}

bool row_ends_are_clean(const forge::indexed_image& image) {
    for (int y = 0; y < image.height; y++) {
        const uint8_t* row = &image.pixels[static_cast<size_t>(y) * image.width];
        const uint8_t* one = std::find(row, row + image.width, 1);
        if (std::any_of(one + (one < row + image.width ? 1 : 0), row + image.width,
                        [](uint8_t c) { return c != 0; }))
            return false;
    }
    return true;
}

}  // namespace

TEST(ViewTextures, WallPicturesHaveThePlayersSizesAndRowEnds) {
    const forge::texture_canvas flat = plain_wall();
    const forge::indexed_image front = forge::wall_picture(forge::front_wall_view(flat));
    EXPECT_EQ(front.width, 500);
    EXPECT_EQ(front.height, 320);
    // A whole face: nothing transparent, no row ends.
    EXPECT_EQ(std::count(front.pixels.begin(), front.pixels.end(), 0), 0);
    EXPECT_EQ(std::count(front.pixels.begin(), front.pixels.end(), 1), 0);

    const forge::indexed_image left = forge::wall_picture(forge::side_wall_view(flat, false));
    EXPECT_EQ(left.width, 74);
    EXPECT_EQ(left.height, 320);
    EXPECT_TRUE(row_ends_are_clean(left));
    // The near end is the whole wall height; the far end is shrunk toward the
    // horizon (about 32 rows from the top and 64 from the bottom).
    auto opaque_rows = [&](int column, int& first, int& last) {
        first = -1, last = -1;
        for (int y = 0; y < 320; y++)
            if (left.pixels[y * 74 + column] > 1) {
                if (first < 0) first = y;
                last = y;
            }
    };
    int first, last;
    opaque_rows(0, first, last);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 319);
    opaque_rows(73, first, last);
    EXPECT_NEAR(first, 32, 2);
    EXPECT_NEAR(last, 255, 2);
}

TEST(ViewTextures, ManyColoursKeepIndexOneForRowEnds) {
    forge::texture_canvas c(300, 200);
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 300; x++) c.set(x, y, x * 0.85f, y * 1.27f, (x * y) % 256, x < 280 ? 1.0f : 0.0f);
    const forge::indexed_image image = forge::wall_picture(c);
    EXPECT_TRUE(row_ends_are_clean(image));
    for (int y = 0; y < 200; y++) {
        EXPECT_EQ(image.pixels[y * 300 + 280], 1) << y;  // the end of every row's visible part
        EXPECT_GT(image.pixels[y * 300 + 279], 1) << y;
    }
}

TEST(ViewTextures, FloorsAndCeilingsDecodeAsFullViewPictures) {
    forge::texture_canvas square(32, 32);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) square.set(x, y, (x < 16) == (y < 16) ? 200.0f : 60.0f, 90, 40);
    const std::vector<uint16_t> floor =
        decoded(forge::surface_picture(forge::floor_view(square)), PIC_HICOLOR);
    ASSERT_GE(floor.size(), 3u);
    EXPECT_EQ(floor[0], 640);
    EXPECT_EQ(floor[1], 200);
    EXPECT_EQ(floor[2], PIC_HICOLOR);
    const std::vector<uint16_t> ceiling =
        decoded(forge::surface_picture(forge::ceiling_view(square)), PIC_HICOLOR);
    ASSERT_GE(ceiling.size(), 3u);
    EXPECT_EQ(ceiling[0], 640);
    EXPECT_EQ(ceiling[1], 90);
    // Just right of the centre: the far half of the party's own square (the
    // only part of it on the screen) and the near half of the next one differ
    // (the square is chequered in halves).
    EXPECT_EQ(floor[3 + 199 * 640 + 330], floor[3 + 170 * 640 + 330]);
    EXPECT_NE(floor[3 + 199 * 640 + 330], floor[3 + 150 * 640 + 330]);
}

TEST(ViewTextures, SecondarySideViewsAreForeshortenedAndCentred) {
    const forge::texture_canvas torch = forge::procedural_source("torch", 1);
    const forge::texture_canvas left = forge::secondary_side_view(torch, 250, 150, false);
    const forge::texture_canvas right = forge::secondary_side_view(torch, 250, 150, true);
    EXPECT_LT(left.width, torch.width / 3);  // seen along the wall
    EXPECT_GT(left.height, torch.height / 2);
    EXPECT_EQ(left.width % 2, 0);
    EXPECT_EQ(left.height % 2, 0);
    EXPECT_EQ(left.width, right.width);
    EXPECT_EQ(left.height, right.height);
}

TEST(ViewTextures, TextureListErrorsNameFileAndLine) {
    auto error_of = [](const std::string& text) {
        try {
            forge::parse_texture_list(text, "t.txt");
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(error_of("; walls\nwall proc:stone A.PCX B.PCX C.PCX\nfloor proc:grass\n"),
              "t.txt:3: expected 1 output file(s), found 0");
    EXPECT_EQ(error_of("door proc:stone A.PCX\n"), "t.txt:1: unknown texture kind 'door'");
    EXPECT_EQ(error_of("wall proc:marble A B C\n"), "t.txt:1: no procedural texture named 'marble'");
    EXPECT_EQ(error_of("secondary proc:torch at=3 A B C\n"), "t.txt:1: bad position 'at=3'");
    const auto list =
        forge::parse_texture_list("secondary proc:torch at=250,150 seed=4 A B C ; torch\n", "t.txt");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].kind, forge::texture_kind::secondary);
    EXPECT_EQ(list[0].at_x, 250);
    EXPECT_EQ(list[0].at_y, 150);
    EXPECT_EQ(list[0].seed, 4u);
    EXPECT_EQ(list[0].outputs, (std::vector<std::string>{"A", "B", "C"}));
}

// ---------------------------------------------------------------- in the view

class ViewWithForgedTextures : public ::testing::Test {
  protected:
    void SetUp() override {
        init_view_tables();
        view = view_state{};
        reset_view_hooks();
        clear_pictures();
        set_view_picture_source(test_picture);
    }
    void TearDown() override {
        set_view_picture_source(nullptr);
        current_map = loaded_map{};
        clear_view_grid();
    }
    void install(const forge::texture_canvas& wall, uint16_t fade) {
        put_picture(WALLS + 1, decoded(forge::wall_picture(forge::front_wall_view(wall)), PIC_FADE8, fade));
        put_picture(LEFT_WALLS + 1,
                    decoded(forge::wall_picture(forge::side_wall_view(wall, false)), PIC_FADE8, fade));
        put_picture(RIGHT_WALLS + 1,
                    decoded(forge::wall_picture(forge::side_wall_view(wall, true)), PIC_FADE8, fade));
    }
};

TEST_F(ViewWithForgedTextures, SideWallsMeetTheFrontWallsCorners) {
    build_grid_map({"#.#", "#.#", "#.#"}, 0);
    install(plain_wall(), 0);
    draw_view(current_map.sector_count - 1, 0);
    // The left side wall of the party's cell ends at x = 320 - 249 where the
    // face at boundary 1 would stand: its last columns span that face's rows.
    const view_base_table& b = view_base();
    const int x = 320 - b.edge[0][1] - 1;
    int first = -1, last = -1;
    for (int y = 0; y < VIEW_HEIGHT; y++)
        if (back_buffer[(VIEW_SCREEN_TOP + y) * SCREEN_PITCH + x] != 0) {
            if (first < 0) first = y;
            last = y;
        }
    EXPECT_NEAR(first, b.ceiling_y[1] + VIEW_HORIZON + 1, 3);
    EXPECT_NEAR(last, b.floor_y[1] + VIEW_HORIZON, 3);
}

TEST_F(ViewWithForgedTextures, GoldenViewOfAForgedCorridor) {
    const grid_map g =
        build_grid_map({"#####", "#...#", "#.#.#", "#.#.#", "#...#", "##.##", "##.##", "#####"}, 0x0C63);
    const uint16_t fade = current_map.fade_colour;
    install(forge::procedural_source("stone", 7), fade);
    put_picture(FLOORS + 1,
                decoded(forge::surface_picture(forge::floor_view(forge::procedural_source("flags", 6))),
                        PIC_HICOLOR));
    put_picture(CEILINGS + 1,
                decoded(forge::surface_picture(forge::ceiling_view(forge::procedural_source("vault", 9))),
                        PIC_HICOLOR));
    const forge::texture_canvas torch = forge::procedural_source("torch", 1);
    put_picture(WALLS + 2, decoded(forge::wall_picture(torch), PIC_FADE8, fade));
    put_picture(
        LEFT_WALLS + 2,
        decoded(forge::wall_picture(forge::secondary_side_view(torch, 250, 150, false)), PIC_FADE8, fade));
    put_picture(
        RIGHT_WALLS + 2,
        decoded(forge::wall_picture(forge::secondary_side_view(torch, 250, 150, true)), PIC_FADE8, fade));
    // Torches on the walls beside the way and on the wall ahead.
    auto torch_on = [&](int x, int y, int direction) {
        map_side& s = current_map.sides[g.sector(x, y) * 4 + direction];
        s.secondary = 2;
        s.secondary_x = 125;
        s.secondary_y = 75;
        s.flags |= SIDE_S_VIS;
    };
    torch_on(2, 5, 3);
    torch_on(2, 4, 1);
    torch_on(2, 1, 0);
    draw_view(g.sector(2, 6), 0);
    EXPECT_TRUE(golden::matches(VORTHAN_SOURCE_DIR "/tests/world/golden/view_forged_corridor.png",
                                back_buffer + VIEW_SCREEN_TOP * SCREEN_PITCH, VIEW_WIDTH, VIEW_HEIGHT,
                                SCREEN_PITCH));
}
