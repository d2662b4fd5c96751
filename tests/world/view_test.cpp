// The view renderer: its geometry tables, the visibility walk and what the
// composed view shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gfx/screen.h"
#include "support/golden.h"
#include "view_test_map.h"
#include "world/render.h"
#include "world/view.h"
#include "world/view_tables.h"

using namespace view_test;

namespace {

constexpr uint16_t FADE = 0x2108;

uint16_t view_pixel(int x, int view_y) {
    return back_buffer[(VIEW_SCREEN_TOP + view_y) * SCREEN_PITCH + x];
}

class ViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        init_view_tables();
        view = view_state{};
        reset_view_hooks();
        clear_special_textures();
        clear_pictures();
        set_view_picture_source(test_picture);
    }
    void TearDown() override {
        set_view_picture_source(nullptr);
        current_map = loaded_map{};
        clear_view_grid();
    }
};

// A straight corridor running north, six sectors long, then a wall.
const std::vector<std::string> corridor = {
    "#.#",  //
    "#.#",  //
    "#.#",  //
    "#.#",  //
    "#.#",  //
    "#.#",  //
    "#.#",  //
};

}  // namespace

// ---------------------------------------------------------------- tables

TEST(ViewTables, BaseTableIsThePrintedOne) {
    const int edges[6][5] = {{357, 1071, 1785, 2499, 3213}, {249, 749, 1248, 1748, 2248},
                             {174, 524, 873, 1223, 1572},   {121, 366, 610, 855, 1099},
                             {84, 256, 426, 598, 768},      {58, 179, 298, 418, 537}};
    const int floors[6] = {305, 213, 149, 104, 72, 50};
    const int ceilings[6] = {-150, -104, -72, -50, -34, -23};
    const view_base_table& b = view_base();
    for (int k = 0; k < 6; k++) {
        for (int e = 0; e < 5; e++) EXPECT_EQ(b.edge[e][k], edges[k][e]) << "edge " << e << " boundary " << k;
        EXPECT_EQ(b.floor_y[k], floors[k]) << k;
        EXPECT_EQ(b.ceiling_y[k], ceilings[k]) << k;
    }
}

TEST(ViewTables, WallRowsSpreadTheWholeTextureOverTheWallHeight) {
    const view_tables& t = tables();
    EXPECT_EQ(t.depth_rows[0].bottom, 417);
    EXPECT_EQ(t.depth_rows[5].bottom, 162);
    EXPECT_EQ(t.depth_rows[5].height, 73);
    for (const depth_row& row : t.depth_rows) {
        EXPECT_EQ(row.row_step[0], 1);
        // Within the wall's height the texture climbs to (nearly) its top row
        // and never past it.
        EXPECT_LE(row.row_offset[row.height - 1], 319) << row.height;
        EXPECT_GE(row.row_offset[row.height - 1], 310) << row.height;
    }
}

TEST(ViewTables, FrontFacesAreFiveHundredTextureColumnsWide) {
    const view_tables& t = tables();
    for (int d = 0; d < VIEW_DEPTHS; d++) {
        const wall_position& f = t.front[0][d];
        EXPECT_TRUE(f.visible);
        // The last screen column of the face shows the last texture column.
        EXPECT_EQ(f.column_of[f.width - 1], 500 * (f.width - 1) / f.width) << d;
        EXPECT_GE(f.column_of[f.width], 500) << d;
    }
    // Columns two to the side are behind the screen edge at the near depth.
    EXPECT_TRUE(t.front[1][0].visible);
    EXPECT_FALSE(t.front[2][0].visible);
    EXPECT_FALSE(t.front[3][1].visible);
    // The near cell's side face runs from off screen to its far end at x = 71.
    EXPECT_EQ(t.side[0][0].left_x, -37);
    EXPECT_EQ(t.side[0][0].width, 108);
    EXPECT_FALSE(t.side[1][1].visible);
}

TEST(ViewTables, StepColumnsNeverStepsBackAndContinuesPastTheTexture) {
    // Magnified: 74 columns over 108 screen columns repeat some of them.
    std::array<int16_t, COLUMN_TABLE_SIZE> step{};
    step_columns(step, 74, 108, 108);
    int e = -1;
    for (int i = 0; i < COLUMN_TABLE_SIZE; i++) {
        ASSERT_GE(step[i], -1) << i;
        e += step[i] + 1;
        if (i == 107) {
            EXPECT_EQ(e, 74 * 107 / 108);
        }
    }
    EXPECT_GT(e, 74);
}

TEST(ViewTables, CeilingSpansWidenWithTheDistanceOfTheirTableRow) {
    // Ceiling row j spans the cell as seen at (114 - j) / 150 of boundary 0.
    const view_tables& t = tables();
    for (int j : {0, 40, 70, 89}) {
        const int half = 357 * (114 - j) / 150;
        EXPECT_EQ(t.ceiling[3][j].x, std::max(0, 320 - half)) << j;
        EXPECT_EQ(t.ceiling[3][j].x + t.ceiling[3][j].length, std::min(640, 320 + half)) << j;
        EXPECT_EQ(t.ceiling[4][j].x, std::min(640, 320 + half)) << j;
    }
}

TEST(ViewTables, FloorAndCeilingRowsMeetTheWalls) {
    const view_tables& t = tables();
    // Floor picture row j is view row 160 + j, and the cells' rows lie between
    // the bottoms of the walls at their near and far boundaries.
    for (int d = 0; d < VIEW_DEPTHS; d++) {
        EXPECT_EQ(FLOOR_FIRST_VIEW_ROW + t.floor_first[d], t.depth_rows[d + 1].bottom + 1) << d;
        if (d > 0) {
            EXPECT_EQ(FLOOR_FIRST_VIEW_ROW + t.floor_last[d], t.depth_rows[d].bottom) << d;
        }
        EXPECT_EQ(t.ceiling_last[d], t.depth_rows[d + 1].bottom - t.depth_rows[d + 1].height) << d;
    }
    EXPECT_EQ(t.floor_last[0], FLOOR_PICTURE_HEIGHT - 1);
    EXPECT_EQ(t.ceiling_first[0], 0);
    EXPECT_EQ(t.ceiling_last[4], CEILING_PICTURE_HEIGHT - 1);
    // On every row the seven columns tile the row without gaps or overlaps.
    for (int j = 0; j < FLOOR_PICTURE_HEIGHT; j++) {
        int covered = 0;
        for (int c = 0; c < VIEW_COLUMNS; c++) covered += t.floor[c][j].length;
        if (t.floor[3][j].depth >= 0) {
            EXPECT_EQ(covered, 640) << j;
        }
    }
}

// ---------------------------------------------------------------- projection

TEST(ViewProject, CentreOfTheNearCell) {
    const view_point p = project(0, 0, 64, 64, 0);
    EXPECT_EQ(p.x, 320);
    EXPECT_EQ(p.y, 371);
    EXPECT_EQ(p.scale, 386);
    // At the near edge's corners the point lies on the base table's edges.
    const view_point corner = project(0, 0, 128, 0, 0);
    EXPECT_EQ(corner.x, 320 + 357);
    EXPECT_EQ(corner.y, 305 + 112);
    EXPECT_EQ(corner.scale, 455);
    // Half a wall up at the far edge of depth 1.
    const view_point up = project(1, 1, 0, 128, 64);
    EXPECT_EQ(up.x, 320 + 174);
    EXPECT_EQ(up.y, 149 - 221 * 64 / 128 + 112);
}

TEST(ViewProject, LeftColumnsMirrorTheRightOnes) {
    for (int d = 0; d < 5; d++)
        for (int a = 0; a <= 128; a += 32)
            for (int l = 0; l <= 128; l += 32) {
                const view_point right = project(2, d, 128 - a, l, 10);
                const view_point left = project(-2, d, a, l, 10);
                EXPECT_EQ(left.x + right.x, 640);
                EXPECT_EQ(left.y, right.y);
                EXPECT_EQ(left.scale, right.scale);
            }
}

TEST(ViewProject, MonsterClipFollowsTheSideWallsInFront) {
    const view_clip none = monster_clip(0, 1, 0, 0);
    EXPECT_EQ(none.left, 0);
    EXPECT_EQ(none.right, 640);
    // 37 of 74 columns of the right wall of the centre cell at depth 1:
    // half-way between x(0,1) = 249 and x(0,2) = 174.
    EXPECT_EQ(monster_clip(0, 1, 0, 37).right, 320 + 249 - 37 * 75 / 74);
    EXPECT_EQ(monster_clip(0, 1, 37, 0).left, 320 - 249 + 37 * 75 / 74);
    // A cell on the right is also cut at its inner edge when L is set.
    EXPECT_EQ(monster_clip(1, 2, 5, 0).left, 320 + 174);
    EXPECT_EQ(monster_clip(-1, 2, 0, 5).right, 320 - 174);
}

// ---------------------------------------------------------------- the walk

TEST_F(ViewTest, WalkSeesDownACorridorUpToDepthFive) {
    const grid_map g = build_grid_map(corridor);
    walk_view(g.sector(1, 6), 0);
    for (int d = 0; d <= 5; d++) EXPECT_EQ(view_grid_sector(d, 0), g.sector(1, 6 - d)) << d;
    EXPECT_EQ(view_grid_sector(1, -1), 0);
    EXPECT_EQ(view_grid_sector(1, 1), 0);
}

TEST_F(ViewTest, ClosedFrontSideHidesEverythingBehindIt) {
    const grid_map g = build_grid_map(corridor);
    // The side between depth 1 and depth 2 becomes a door: opaque.
    const int s = g.sector(1, 5);
    current_map.sides[s * 4 + 0].flags &= ~SIDE_TRANSPARENT;
    walk_view(g.sector(1, 6), 0);
    EXPECT_EQ(view_grid_sector(1, 0), s);
    for (int d = 2; d <= 5; d++) EXPECT_EQ(view_grid_sector(d, 0), 0) << d;
}

TEST_F(ViewTest, TransparentSideWithoutExitShowsNothing) {
    const grid_map g = build_grid_map(corridor);
    const int s = g.sector(1, 6);
    current_map.sides[s * 4 + 3].flags |= SIDE_TRANSPARENT;  // a window into rock
    walk_view(s, 0);
    EXPECT_EQ(view_grid_sector(0, -1), 0);
}

TEST_F(ViewTest, WalkMarksOnlyCentralColumnsBehindAutomapSides) {
    const grid_map g = build_grid_map({
        ".....",  //
        ".....",  //
        ".....",  //
        ".....",  //
    });
    // Facing north from the bottom middle.
    const int start = g.sector(2, 3);
    const int beyond = g.sector(2, 1);
    // Seeing through the side between rows 2 and 1 does not map what lies beyond.
    current_map.sides[g.sector(2, 2) * 4 + 0].flags &= ~SIDE_AUTOMAP;
    walk_view(start, 0);
    EXPECT_TRUE(current_map.coords[start].coord_flags & MC_MAPPED);
    EXPECT_TRUE(current_map.coords[g.sector(1, 3)].coord_flags & MC_MAPPED);
    // Column -2 is reached only after three forward steps, and is not mapped.
    EXPECT_EQ(view_grid_sector(3, -2), g.sector(0, 0));
    EXPECT_FALSE(current_map.coords[g.sector(0, 0)].coord_flags & MC_MAPPED);
    EXPECT_EQ(view_grid_sector(2, 0), beyond);
    EXPECT_FALSE(current_map.coords[beyond].coord_flags & MC_MAPPED);

    // A remote viewpoint maps nothing.
    for (auto& c : current_map.coords) c.coord_flags = 0;
    view.remote_active = true;
    walk_view(start, 0);
    EXPECT_FALSE(current_map.coords[start].coord_flags & MC_MAPPED);
}

TEST_F(ViewTest, SidewaysStepsWaitForForwardSteps) {
    // An open field: after a step to the side, the walk must go forward as
    // many steps as the allowance says before it may step further out.
    const grid_map g = build_grid_map(std::vector<std::string>(7, "........."));
    walk_view(g.sector(4, 6), 0);
    EXPECT_EQ(view_grid_sector(0, -1), g.sector(3, 6));
    EXPECT_EQ(view_grid_sector(0, 1), g.sector(5, 6));
    EXPECT_EQ(view_grid_sector(0, -2), 0);
    EXPECT_EQ(view_grid_sector(0, 2), 0);
    EXPECT_EQ(view_grid_sector(2, -2), 0);
    EXPECT_EQ(view_grid_sector(3, -2), g.sector(2, 3));
    EXPECT_EQ(view_grid_sector(3, 2), g.sector(6, 3));
}

// ---------------------------------------------------------------- drawing

TEST_F(ViewTest, ShadedFarSectorIsDarkBeyondInsteadOfFogged) {
    build_grid_map(corridor, FADE);
    install_standard_pictures();
    const int start = current_map.sector_count - 1;  // the southern end
    draw_view(start, 0);
    // Depth 4 is open toward depth 5: beyond it the fog colour shows.
    EXPECT_EQ(view_pixel(320, 130), FADE);
    const int far = view_grid_sector(4, 0);
    current_map.coords[far].coord_flags |= MC_SHADED;
    draw_view(start, 0);
    EXPECT_EQ(view_pixel(320, 130), 0);
}

TEST_F(ViewTest, OpaqueFrontWallCoversTheViewBehindIt) {
    build_grid_map({"#.#", "#.#", "#.#"}, FADE);
    install_standard_pictures();
    const int start = current_map.sector_count - 1;
    draw_view(start, 0);
    // The wall two cells ahead (boundary 3) covers the centre of the view.
    const view_tables& t = tables();
    const depth_row& row = t.depth_rows[3];
    for (int y = row.bottom - row.height + 1; y <= row.bottom; y += 7)
        EXPECT_NE(view_pixel(320, y), FADE) << y;
    // Above and below it: the ceiling and the floor of the nearer cells.
    EXPECT_NE(view_pixel(320, row.bottom + 3), FADE);
    EXPECT_NE(view_pixel(320, row.bottom - row.height - 3), FADE);
}

TEST_F(ViewTest, FloorPictureRowsLandOnTheirViewRows) {
    build_grid_map(corridor, FADE);
    std::vector<uint16_t> rows(640 * 200);
    for (int j = 0; j < 200; j++) std::fill(rows.begin() + j * 640, rows.begin() + (j + 1) * 640, j);
    put_picture(FLOORS + 1, hicolor_picture(640, 200, rows));
    draw_view(current_map.sector_count - 1, 0);
    for (int y : {163, 200, 300, 359}) EXPECT_EQ(view_pixel(320, y), y - 160) << y;
    EXPECT_EQ(view_pixel(320, 162), FADE);  // beyond depth 4
}

TEST_F(ViewTest, WallsAndSpritesStayInsideTheView) {
    build_grid_map({"#.#", "#.#"}, FADE);
    install_standard_pictures();
    const int start = current_map.sector_count - 1;
    const int ahead = start - 1;
    std::fill(back_buffer, back_buffer + SCREEN_WIDTH * SCREEN_HEIGHT, uint16_t{0x1234});
    auto outside_untouched = [] {
        for (int y = 0; y < SCREEN_HEIGHT; y++) {
            if (y >= VIEW_SCREEN_TOP && y < VIEW_SCREEN_TOP + VIEW_HEIGHT) continue;
            for (int x = 0; x < SCREEN_WIDTH; x++)
                if (back_buffer[y * SCREEN_PITCH + x] != 0x1234) return false;
        }
        return true;
    };
    // The wall ahead raised by a wall height runs past the view's top...
    current_map.sides[ahead * 4 + 0].arch_and_flags2 = SIDE2_UP_SIDE;
    draw_view(start, 0);
    EXPECT_TRUE(outside_untouched());
    EXPECT_NE(view_pixel(320, 0), FADE);
    // ... and lowered by one, past its bottom.
    current_map.sides[ahead * 4 + 0].arch_and_flags2 = SIDE2_DOWN_SIDE;
    draw_view(start, 0);
    EXPECT_TRUE(outside_untouched());
    EXPECT_NE(view_pixel(320, 359), FADE);
    // Sprites hanging over every edge of the view.
    const picture* wall = test_picture(WALLS + 1);
    blit_scaled(wall, -100, 470, 0, 640, 469, 0, 2000);
    blit_scaled(wall, 500, 380, 0, 640, 300, 0, 2000);
    std::vector<uint16_t> palette(256, 0x7FFF);
    blit_scaled_blend(wall, -50, 400, palette.data(), 900, 469, 0, 2000, true);
    EXPECT_TRUE(outside_untouched());
    EXPECT_EQ(view_pixel(639, 359), 0x7FFF);
}

TEST_F(ViewTest, TrueSeeingShowsHiddenSidesBlended) {
    build_grid_map({"#.#", "#.#", "#.#"}, FADE);
    install_standard_pictures();
    const int start = current_map.sector_count - 1;
    const int far = start - 2;
    draw_view(start, 0);
    const uint16_t solid = view_pixel(320, 120);
    ASSERT_NE(solid, FADE);
    current_map.sides[far * 4 + 0].flags = SIDE_TRUESEE;
    draw_view(start, 0);
    EXPECT_EQ(view_pixel(320, 120), FADE);
    view.true_seeing = true;
    draw_view(start, 0);
    EXPECT_EQ(view_pixel(320, 120), blend50(FADE, solid));
}

TEST_F(ViewTest, NeighbourCellSecondaryIsNotDrawnAtDepthZero) {
    build_grid_map({"#.#", "#.#"}, FADE);
    install_standard_pictures();
    std::vector<uint8_t> rgb(768, 0);
    rgb[2 * 3] = 255;  // index 2: pure red
    put_picture(WALLS + 2, fade_picture(500, 320, std::vector<uint8_t>(500 * 320, 2), rgb, FADE));
    const int north = 1, south = 2;
    map_side& f = current_map.sides[north * 4 + 0];
    f.secondary = 2;
    f.flags |= SIDE_S_VIS;
    f.target_side = 0x80;  // stands in the cell in front of the wall
    auto red_in_view = [] {
        for (int y = 0; y < VIEW_HEIGHT; y += 3)
            for (int x = 0; x < VIEW_WIDTH; x += 3)
                if (((view_pixel(x, y) >> 10) & 31) > 20 && ((view_pixel(x, y) >> 5) & 31) < 10) return true;
        return false;
    };
    draw_view(south, 0);  // the wall at depth 1: its secondary stands one depth nearer
    EXPECT_TRUE(red_in_view());
    draw_view(north, 0);  // the wall at depth 0: nothing nearer to stand on
    EXPECT_FALSE(red_in_view());
}

TEST_F(ViewTest, ChequeredFloorFollowsThePartysSquareAndFacing) {
    const grid_map g = build_grid_map({"...", "..."}, FADE);
    put_picture(FLOORS + 1, solid_hicolor(640, 200, 0x0011));
    put_picture(FLOORS + 2, solid_hicolor(640, 200, 0x0022));
    for (auto& s : current_map.sectors) s.surface_modes = 1;
    auto floor_under_party = [] { return view_pixel(320, 350); };
    draw_view(g.sector(0, 1), 0);  // x + y + p = 1: the second picture
    EXPECT_EQ(floor_under_party(), 0x0022);
    draw_view(g.sector(1, 1), 0);  // one square on
    EXPECT_EQ(floor_under_party(), 0x0011);
    draw_view(g.sector(1, 1), 1);  // turned right
    EXPECT_EQ(floor_under_party(), 0x0022);
}

TEST_F(ViewTest, FogGradientTurnsTheHorizonRowsToTheFadeColour) {
    build_grid_map(corridor, 0x7C00);
    current_map.header.fog_gradient = 1;
    put_picture(FLOORS + 1, hicolor_picture(640, 200, std::vector<uint16_t>(640 * 200, 0x001F), true));
    put_picture(CEILINGS + 1, hicolor_picture(640, 90, std::vector<uint16_t>(640 * 90, 0x001F), true));
    draw_view(current_map.sector_count - 1, 0);
    const picture* floor = test_picture(FLOORS + 1);
    const picture* ceiling = test_picture(CEILINGS + 1);
    EXPECT_EQ(floor->type, PIC_HICOLOR);
    EXPECT_EQ(ceiling->type, PIC_HICOLOR);
    EXPECT_EQ(picture_pixels16(floor)[0], 0x7C00);          // the horizon row
    EXPECT_EQ(picture_pixels16(floor)[199 * 640], 0x001F);  // the nearest row
    EXPECT_EQ(picture_pixels16(ceiling)[89 * 640], 0x7C00);
    EXPECT_EQ(picture_pixels16(ceiling)[0], 0x001F);
    // Applied once: drawing again changes nothing more.
    const uint16_t middle = picture_pixels16(floor)[100 * 640];
    draw_view(current_map.sector_count - 1, 0);
    EXPECT_EQ(picture_pixels16(floor)[100 * 640], middle);
}

TEST_F(ViewTest, SpecialTexturePlaysItsFramesThenClearsTheFlag) {
    const grid_map g = build_grid_map(corridor, FADE);
    std::vector<uint8_t> rgb(768, 0);
    rgb[5 * 3 + 1] = 255;  // index 5: green
    for (int i = 0; i < 3; i++)
        put_picture(0x300 + i, fade_picture(40, 40, std::vector<uint8_t>(1600, 5), rgb, FADE));
    const int start = g.sector(1, 6), target = g.sector(1, 5);
    add_special_texture(target, 0x300, 3, 1, 0);
    EXPECT_TRUE(current_map.coords[target].coord_flags & MC_SPECTXTR);
    const view_point centre = project(0, 1, 64, 64, 0);
    for (int frame = 0; frame < 3; frame++) {
        draw_view(start, 0);
        EXPECT_GT((view_pixel(centre.x, centre.y - 5) >> 5) & 31, 20) << frame;
    }
    draw_view(start, 0);  // finished: nothing drawn, flag cleared
    EXPECT_LT((view_pixel(centre.x, centre.y - 5) >> 5) & 31, 20);
    EXPECT_FALSE(current_map.coords[target].coord_flags & MC_SPECTXTR);
}

TEST_F(ViewTest, BlitScaledHalvesUnderIndexOneAndScalesByThreeTwenty) {
    std::vector<uint8_t> rgb(768, 0);
    rgb[2 * 3 + 2] = 255;  // index 2: blue
    std::vector<uint8_t> px(20 * 10, 2);
    for (int x = 0; x < 20; x++) px[x] = 1;  // the top row darkens
    put_picture(0x300, fade_picture(20, 10, px, rgb, FADE));
    const picture* pic = test_picture(0x300);
    std::fill(back_buffer, back_buffer + SCREEN_WIDTH * SCREEN_HEIGHT, uint16_t{0x7FFF});
    blit_scaled(pic, 100, 200, 0, 320, 100, 0, 640);
    EXPECT_EQ(back_buffer[200 * 640 + 100], 0x001F);
    EXPECT_EQ(back_buffer[191 * 640 + 119], 0x3DEF);  // the top row: half of white
    EXPECT_EQ(back_buffer[190 * 640 + 100], 0x7FFF);
    EXPECT_EQ(back_buffer[200 * 640 + 120], 0x7FFF);
    // At half the scale: 10 x 5 pixels. Skipping 4 columns shifts the picture left.
    blit_scaled(pic, 300, 200, 0, 160, 100, 4, 640);
    EXPECT_EQ(back_buffer[200 * 640 + 305], 0x001F);
    EXPECT_EQ(back_buffer[200 * 640 + 306], 0x7FFF);
    EXPECT_EQ(back_buffer[196 * 640 + 300], 0x001F);
    EXPECT_EQ(back_buffer[195 * 640 + 300], 0x7FFF);
    // Rows available limit the height; 470 rows or more draw nothing.
    blit_scaled(pic, 400, 200, 0, 320, 3, 0, 640);
    EXPECT_EQ(back_buffer[198 * 640 + 400], 0x001F);
    EXPECT_EQ(back_buffer[197 * 640 + 400], 0x7FFF);
    blit_scaled(pic, 500, 200, 0, 320, 470, 0, 640);
    EXPECT_EQ(back_buffer[200 * 640 + 500], 0x7FFF);
}

// ---------------------------------------------------------------- golden views

namespace {

// A small keep: a hall with a pillar, a corridor, a dark room.
const std::vector<std::string> keep = {
    "##########",  //
    "#......SS#",  //
    "#.#....SS#",  //
    "#......###",  //
    "###.######",  //
    "###.######",  //
    "###.######",  //
    "##########",  //
};

void decorate_keep(const grid_map& g) {
    const uint16_t fade = current_map.fade_colour;
    install_standard_pictures();
    put_picture(WALLS + 2, brick_wall(fade, 1));
    put_picture(LEFT_WALLS + 2, brick_side_wall(fade, 1));
    put_picture(RIGHT_WALLS + 2, brick_side_wall(fade, 1));
    // A small plaque: index 3 gold, 1 ends rows at its right.
    std::vector<uint8_t> rgb(768, 0);
    rgb[9] = 220, rgb[10] = 180, rgb[11] = 60;
    std::vector<uint8_t> px(60 * 80, 3);
    for (int y = 0; y < 80; y++) px[y * 60 + 50] = 1;
    put_picture(WALLS + 3, fade_picture(60, 80, px, rgb, fade));
    // The hall's north wall is of the second stone, with plaques.
    for (int x = 1; x <= 6; x++) {
        map_side& s = current_map.sides[g.sector(x, 1) * 4 + 0];
        s.primary = 2;
        s.secondary = 3;
        s.secondary_x = 125;
        s.secondary_y = 90;
        s.flags |= SIDE_S_VIS;
    }
    // The pillar's faces too.
    current_map.sides[g.sector(2, 3) * 4 + 0].primary = 2;
}

}  // namespace

TEST_F(ViewTest, GoldenViewsOfASmallKeep) {
    const grid_map g = build_grid_map(keep, 0x1D0B);
    decorate_keep(g);
    struct shot {
        int x, y, direction;
        const char* name;
    } shots[] = {
        {3, 6, 0, "view_corridor_north.png"},
        {3, 3, 0, "view_hall_north.png"},
        {1, 3, 1, "view_hall_east_dark.png"},
    };
    for (const shot& s : shots) {
        draw_view(g.sector(s.x, s.y), s.direction);
        EXPECT_TRUE(golden::matches(std::string(VORTHAN_SOURCE_DIR "/tests/world/golden/") + s.name,
                                    back_buffer + VIEW_SCREEN_TOP * SCREEN_PITCH, VIEW_WIDTH, VIEW_HEIGHT,
                                    SCREEN_PITCH));
    }
}

// ---------------------------------------------------------------- monsters and members

namespace {

std::vector<uint16_t> ten_palettes(uint16_t index5, uint16_t index200) {
    std::vector<uint16_t> p(10 * 256, 0);
    for (int k = 0; k < 10; k++) p[k * 256 + 5] = index5, p[k * 256 + 200] = index200;
    return p;
}

std::vector<uint16_t> nopal_picture(int width, int height, uint8_t index) {
    std::vector<uint16_t> record(3 + (width * height + 1) / 2);
    record[0] = static_cast<uint16_t>(width);
    record[1] = static_cast<uint16_t>(height);
    record[2] = PIC_NOPAL8;
    std::memset(record.data() + 3, index, width * height);
    return record;
}

}  // namespace

TEST_F(ViewTest, MonsterSpriteStandsOnItsPointAndIsCutByTheWallsInFront) {
    std::fill(back_buffer, back_buffer + SCREEN_WIDTH * SCREEN_HEIGHT, uint16_t{0});
    std::vector<uint16_t> pic = nopal_picture(400, 100, 5);
    const std::vector<uint16_t> palettes = ten_palettes(0x7C00, 0x001F);
    monster_draw_request r;
    r.frame = reinterpret_cast<const picture*>(pic.data());
    r.column = 0;
    r.depth = 1;
    r.anchor = 200;
    r.palettes = palettes.data();
    draw_monster_sprite(r);
    const view_point p = project(0, 1, 64, 32, 0);
    EXPECT_EQ(view_pixel(p.x, p.y), 0x7C00);
    EXPECT_EQ(view_pixel(p.x, p.y + 1), 0);

    // The right wall of the cell in front hides everything right of its edge.
    std::fill(back_buffer, back_buffer + SCREEN_WIDTH * SCREEN_HEIGHT, uint16_t{0});
    r.right_cut = 74;
    draw_monster_sprite(r);
    const int right = monster_clip(0, 1, 0, 74).right;
    EXPECT_EQ(view_pixel(right - 1, p.y), 0x7C00);
    EXPECT_EQ(view_pixel(right, p.y), 0);

    // Frozen: the same colour's grey.
    r.right_cut = 0;
    r.frozen = true;
    draw_monster_sprite(r);
    EXPECT_EQ(view_pixel(p.x, p.y), rgb555(82, 82, 82));

    // Past the far edge of its cell a monster is not drawn.
    std::fill(back_buffer, back_buffer + SCREEN_WIDTH * SCREEN_HEIGHT, uint16_t{0});
    r.along = 100;
    draw_monster_sprite(r);
    EXPECT_TRUE(std::all_of(back_buffer, back_buffer + SCREEN_WIDTH * SCREEN_HEIGHT,
                            [](uint16_t c) { return c == 0; }));
}

namespace {
int member_direction = 0;
int one_member(int, view_member* out, int) {
    out[0] = view_member{};
    out[0].figure = 0x310;
    out[0].direction = member_direction;
    return 1;
}
}  // namespace

TEST_F(ViewTest, LoneMemberOnAnOddPlaceMovesToTheNextOne) {
    const grid_map g = build_grid_map(corridor, FADE);
    std::vector<uint8_t> rgb(768, 0);
    rgb[2 * 3 + 1] = 255;
    put_picture(0x310, fade_picture(200, 40, std::vector<uint8_t>(200 * 40, 2), rgb, FADE));
    view_neighbours.members_in_sector = one_member;
    const int there = g.sector(1, 5);
    current_map.coords[there].coord_flags |= MC_PLAYER;
    auto figure_at = [](int across, int along) {
        const view_point p = project(0, 1, across, along, 0);
        return ((view_pixel(p.x, p.y + 20 * p.scale / 320 - 2) >> 5) & 31) > 20;
    };
    // Facing the way the party looks: place 0, near left.
    member_direction = 0;
    draw_view(g.sector(1, 6), 0);
    EXPECT_TRUE(figure_at(32, 96));
    // Facing right: its first place would be 1, which moves on to place 2.
    member_direction = 1;
    draw_view(g.sector(1, 6), 0);
    EXPECT_TRUE(figure_at(96, 32));
    EXPECT_FALSE(figure_at(96, 96));
}

TEST_F(ViewTest, ScrambledRecordsNeverDrawOutsideTheirPictures) {
    // Every field of every record random (exits to any sector or none, any
    // flags, texture indexes beyond the lists, animation frames, all sector
    // types): every place and direction is drawn without a fault.
    build_grid_map({"...", "...", "..."}, FADE);
    install_standard_pictures();
    put_picture(LEFT_ARCHES + 1, brick_wall(FADE, 2));
    put_picture(RIGHT_ARCHES + 1, brick_wall(FADE, 2));
    uint32_t state = 12345;
    auto next = [&] {
        state = state * 214013 + 2531011;
        return (state >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 20; round++) {
        for (map_sector& s : current_map.sectors) {
            s.floor = static_cast<uint8_t>(next() % 12);
            s.ceiling = static_cast<uint8_t>(next() % 12);
            s.surface_modes = static_cast<uint8_t>(next());
            s.sector_type = static_cast<uint8_t>(next() % 24);
            for (uint16_t& e : s.exits) e = static_cast<uint16_t>(next() % current_map.sector_count);
        }
        for (map_side& side : current_map.sides) {
            side.primary = static_cast<uint8_t>(next() % 10);
            side.secondary = static_cast<uint8_t>(next() % 10);
            side.arch_and_flags2 = static_cast<uint8_t>(next());
            side.target_side = static_cast<uint8_t>(next());
            side.secondary_x = static_cast<uint8_t>(next());
            side.secondary_y = static_cast<uint8_t>(next());
            side.flags = static_cast<uint32_t>(next()) << 17 | next();
            side.primary_anim = static_cast<uint8_t>(next());
            side.secondary_anim = static_cast<uint8_t>(next());
        }
        for (map_coord& c : current_map.coords) c.coord_flags = static_cast<uint16_t>(next());
        view.true_seeing = round & 1;
        view.anim_counter = static_cast<uint8_t>(round * 37);
        for (int s = 1; s < current_map.sector_count; s++)
            for (int d = 0; d < 4; d++) draw_view(s, d);
    }
    SUCCEED();
}
