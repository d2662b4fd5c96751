// The demo's game-screen pictures as the player gets them: every one loads
// from the demo archive through its fixed handle and decoder with the size
// and frame layout the game screen and its windows draw, the compass scrolls evenly and
// centres the right letter, and each pressed arrow picture changes only its
// own button.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/paths.h"
#include "core/archive.h"
#include "core/decoders.h"
#include "core/handles.h"
#include "gfx/picture.h"
#include "startup/run/fixed_handles.h"

namespace {

class DemoScreenArt : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        path_table[PATH_GUI] = VORTHAN_DEMO_DIR "/graphics/basic";
        register_picture_decoders();
        register_archive(VORTHAN_DEMO_DIR "/VORTHAN.DDL");
        define_fixed_handles();
    }
    static void TearDownTestSuite() { free_all_handles(); }

    static const picture* pic(handle_id id) {
        const auto* p = static_cast<const picture*>(get_handle_data(id));
        EXPECT_NE(p, nullptr) << "handle " << id;
        return p;
    }
};

struct expected_picture {
    handle_id id;
    const char* name;
    uint16_t type;
    int width, height;
};

// Sizes follow the places the game screen draws them at: frames lie one
// under the other (compass 40 x 16 rows, arrows 3 x 110, blood 8 x 105,
// sparkle 15 x 16, status icons 13 x 13 cells).
const expected_picture SCREEN_PICTURES[] = {
    {1, "topbar", PIC_HICOLOR, 640, 16},   {3, "kompas", PIC_HICOLOR, 102, 640},
    {2, "okno", PIC_HICOLOR, 74, 102},     {0, "desk", PIC_PAL8, 640, 102},
    {40, "sipky", PIC_PAL8, 142, 102},     {4, "sipky_s", PIC_PAL8, 142, 330},
    {5, "sipky_v", PIC_PAL8, 142, 330},    {6, "sipky_j", PIC_PAL8, 142, 330},
    {7, "sipky_z", PIC_PAL8, 142, 330},    {8, "sipky_sv", PIC_PAL8, 142, 330},
    {9, "sipky_sz", PIC_PAL8, 142, 330},   {158, "postup", PIC_PAL8, 13, 104},
    {41, "death", PIC_PAL8, 54, 75},       {38, "pzasah", PIC_PAL8, 44, 36},
    {183, "krevmin", PIC_PAL8, 120, 840},  {184, "krevmid", PIC_PAL8, 120, 840},
    {185, "krevmax", PIC_PAL8, 120, 840},  {143, "fx", PIC_PAL8, 16, 240},
    {168, "stupnice", PIC_PAL8, 640, 102}, {27, "lodka", PIC_HICOLOR, 640, 59},
    {51, "msc_sip", PIC_PAL8, 28, 28},     {52, "msc_x", PIC_PAL8, 28, 28},
    {53, "msc_who", PIC_PAL8, 28, 28},     {55, "msc_zare", PIC_PAL8, 28, 28},
    {14, "ramecek", PIC_PAL8, 12, 96},     {45, "wintxtr", PIC_PAL8, 64, 64},
    {12, "ideska", PIC_PAL8, 64, 64},      {155, "volbades", PIC_PAL8, 640, 360},
    {154, "checkbox", PIC_PAL8, 20, 140},  {156, "volbasou", PIC_PAL8, 30, 16},
    {157, "volbazpe", PIC_PAL8, 81, 21},
};

TEST_F(DemoScreenArt, EveryPictureLoadsThroughItsHandleAtItsSize) {
    for (const auto& e : SCREEN_PICTURES) {
        const picture* p = pic(e.id);
        if (!p) continue;
        EXPECT_EQ(p->type, e.type) << e.name;
        EXPECT_EQ(p->width, e.width) << e.name;
        EXPECT_EQ(p->height, e.height) << e.name;
    }
}

TEST_F(DemoScreenArt, OpaquePicturesHaveNoHolesAndOverlaysHaveSome) {
    auto holes = [](const picture* p) {
        int n = 0;
        if (p->type == PIC_HICOLOR) {
            for (int i = 0; i < p->width * p->height; ++i) n += picture_pixels16(p)[i] == 0x8000;
        } else {
            for (int i = 0; i < p->width * p->height; ++i) n += picture_pixels8(p)[i] == 0;
        }
        return n;
    };
    for (handle_id id : {1, 2, 3, 0, 33, 40, 4, 41, 168, 45, 12, 50, 154, 155, 157})
        if (const picture* p = pic(id)) {
            EXPECT_EQ(holes(p), 0) << "handle " << id;
        }
    // The boat, cursors, icons and marks are seen through around their shapes.
    for (handle_id id : {27, 51, 158, 38, 183, 143, 14, 156})
        if (const picture* p = pic(id)) {
            EXPECT_GT(holes(p), 0) << "handle " << id;
        }
}

TEST_F(DemoScreenArt, CursorsHaveTheirTipAtTheHotSpot) {
    for (handle_id id : {51, 52, 53, 55}) {
        const picture* p = pic(id);
        if (!p) continue;
        EXPECT_NE(picture_pixels8(p)[0], 0) << "handle " << id;             // the tip pixel
        EXPECT_EQ(picture_pixels8(p)[p->width - 1], 0) << "handle " << id;  // nothing at the far corner
    }
}

TEST_F(DemoScreenArt, PartySlotBarsAreColouredOverTheirWholeHeight) {
    const picture* p = pic(2);
    if (!p) return;
    const uint16_t* px = picture_pixels16(p);
    for (int bar = 0; bar < 3; ++bar)
        for (int y = 13; y < 85; ++y) {
            const uint16_t c = px[y * p->width + 61 + 4 * bar];
            const int brightest = std::max({(c >> 10) & 31, (c >> 5) & 31, c & 31});
            EXPECT_GE(brightest, 8) << "bar " << bar << " row " << y;
        }
}

// Gold and red marks (letters, ticks, diamonds) of one compass row: red at
// least twice the blue, as the drum's grey slate never is.
std::vector<bool> compass_marks(const picture* p, int frame, int row) {
    std::vector<bool> marks(p->width);
    for (int x = 0; x < p->width; ++x) {
        const uint16_t c = picture_pixels16(p)[(frame * 16 + row) * p->width + x];
        const int r = (c >> 10) & 31, b = c & 31;
        marks[x] = r >= 8 && r >= 2 * b;
    }
    return marks;
}

TEST_F(DemoScreenArt, CompassTurnsSixPixelsPerFrameAllTheWayRound) {
    const picture* p = pic(3);
    if (!p) return;
    // Frame f + 1 shows the drum turned back by one step: what frame f showed
    // at x now lies at x + 6 (frame 0 follows frame 39).
    for (int f = 0; f < 40; ++f)
        for (int row : {10, 12}) {  // letters' feet and the ticks: no smoothed edges
            const auto now = compass_marks(p, f, row), next = compass_marks(p, (f + 1) % 40, row);
            for (int x = 10; x < 92; ++x)
                ASSERT_EQ(next[x + 6], now[x]) << "frame " << f << " row " << row << " x " << x;
        }
}

TEST_F(DemoScreenArt, CompassAtRestCentresTheLetterOfTheDirection) {
    const picture* p = pic(3);
    if (!p) return;
    for (int direction = 0; direction < 4; ++direction) {
        const int frame = (3 - direction) * 10;
        int left = 999, right = -1;
        for (int row = 4; row <= 10; ++row) {
            const auto marks = compass_marks(p, frame, row);
            for (int x = 40; x < 62; ++x)
                if (marks[x]) left = std::min(left, x), right = std::max(right, x);
        }
        ASSERT_GE(right, 0) << "direction " << direction;
        EXPECT_NEAR((left + right) / 2.0, 51, 1.0) << "direction " << direction;
        // Only north's letter is red.
        const uint16_t c = picture_pixels16(p)[(frame * 16 + 6) * p->width + left];
        const bool red = ((c >> 10) & 31) > 2 * ((c >> 5) & 31);
        EXPECT_EQ(red, direction == 0) << "direction " << direction;
    }
}

// Each picture has a palette of its own, so the same painted colour may land
// a step apart in two of them.
bool differs(uint16_t a, uint16_t b) {
    for (int shift : {0, 5, 10})
        if (std::abs(((a >> shift) & 31) - ((b >> shift) & 31)) > 2) return true;
    return false;
}

TEST_F(DemoScreenArt, EachPressedArrowPictureChangesOnlyItsOwnButton) {
    const picture* rest = pic(40);
    if (!rest) return;
    // The buttons on the panel: turn left, forward, turn right over left,
    // back, right; each pressed picture is expected in its own cell.
    struct cell {
        handle_id id;
        int column, row;
    } cells[] = {{4, 1, 0}, {5, 2, 1}, {6, 1, 1}, {7, 0, 1}, {8, 2, 0}, {9, 0, 0}};
    for (const cell& c : cells) {
        const picture* pressed = pic(c.id);
        if (!pressed) continue;
        for (int frame = 0; frame < 3; ++frame) {
            int changed = 0, outside = 0;
            for (int y = 0; y < 102; ++y)
                for (int x = 0; x < 142; ++x) {
                    const uint16_t a = picture_palette(rest)[picture_pixels8(rest)[y * 142 + x]];
                    const uint16_t b =
                        picture_palette(pressed)[picture_pixels8(pressed)[(frame * 110 + y) * 142 + x]];
                    if (!differs(a, b)) continue;
                    const bool in_cell = x >= 4 + 44 * c.column && x < 50 + 44 * c.column &&
                                         y >= 5 + 46 * c.row && y < 51 + 46 * c.row;
                    ++(in_cell ? changed : outside);
                }
            EXPECT_GT(changed, 200) << "handle " << c.id << " frame " << frame;
            EXPECT_LT(outside, 142 * 102 / 50) << "handle " << c.id << " frame " << frame;
        }
    }
}

// The brightest 5-bit channel of a picture's pixel, whatever its type.
int brightness(const picture* p, int x, int y) {
    const uint16_t c = p->type == PIC_HICOLOR ? picture_pixels16(p)[y * p->width + x]
                                              : picture_palette(p)[picture_pixels8(p)[y * p->width + x]];
    return std::max({(c >> 10) & 31, (c >> 5) & 31, c & 31});
}

TEST_F(DemoScreenArt, TextsOfTheScreenLandOnDarkGround) {
    struct area {
        handle_id id;
        int x, y, w, h;
        const char* what;
    };
    std::vector<area> areas = {
        {1, 420, 5, 40, 8, "money"},
        {2, 10, 90, 54, 9, "member's name"},
        {38, 17, 13, 10, 10, "hit amount"},
        {168, 73, 46, 60, 13, "note panel caption"},
    };
    for (int i = 0; i < 12; ++i) areas.push_back({168, 150 + 22 * i, 27, 13, 10, "note name"});
    for (handle_id blood : {183, 184, 185})
        for (int frame = 0; frame < 8; ++frame)
            areas.push_back({blood, 54, 105 * frame + 46, 12, 10, "damage"});
    for (const area& a : areas) {
        const picture* p = pic(a.id);
        if (!p) continue;
        int brightest = 0;
        for (int y = a.y; y < a.y + a.h; ++y)
            for (int x = a.x; x < a.x + a.w; ++x) brightest = std::max(brightest, brightness(p, x, y));
        EXPECT_LE(brightest, 14) << a.what << " in handle " << a.id << " at row " << a.y;
    }
}

TEST_F(DemoScreenArt, WindowTexturesTileWithoutSeams) {
    for (handle_id id : {45, 12}) {
        const picture* p = pic(id);
        if (!p) continue;
        const int w = p->width, h = p->height;
        // Mean step in brightness between two columns (rows), wrapping round.
        auto column_step = [&](int a, int b) {
            double sum = 0;
            for (int y = 0; y < h; ++y) sum += std::abs(brightness(p, a, y) - brightness(p, b, y));
            return sum / h;
        };
        auto row_step = [&](int a, int b) {
            double sum = 0;
            for (int x = 0; x < w; ++x) sum += std::abs(brightness(p, x, a) - brightness(p, x, b));
            return sum / w;
        };
        double inside_columns = 0, inside_rows = 0;
        for (int i = 0; i + 1 < w; ++i) inside_columns = std::max(inside_columns, column_step(i, i + 1));
        for (int i = 0; i + 1 < h; ++i) inside_rows = std::max(inside_rows, row_step(i, i + 1));
        EXPECT_LE(column_step(w - 1, 0), inside_columns) << "handle " << id;
        EXPECT_LE(row_step(h - 1, 0), inside_rows) << "handle " << id;
    }
}

TEST_F(DemoScreenArt, DialogBackgroundKeepsItsTextColoursForTheText) {
    const picture* p = pic(50);
    if (!p) return;
    // The conversation is written in palette colours 254 and 255 on the
    // parchment of the history: dark inks, told apart, and never part of the
    // background itself.
    const uint16_t lines = picture_palette(p)[254], selected = picture_palette(p)[255];
    EXPECT_TRUE(differs(lines, selected));
    for (uint16_t c : {lines, selected}) EXPECT_LE((c & 31) + ((c >> 5) & 31), 32);
    int used = 0;
    for (int i = 0; i < p->width * p->height; ++i) used += picture_pixels8(p)[i] >= 254;
    EXPECT_EQ(used, 0);
}

// Shaded, not flat: many distinct colours and a real spread of light.
TEST_F(DemoScreenArt, OptionsWindowPicturesAreShadedNotFlat) {
    for (handle_id id : {154, 155, 156, 157}) {
        const picture* p = pic(id);
        if (!p) continue;
        std::vector<bool> seen(256);
        int colours = 0, darkest = 31, lightest = 0;
        for (int y = 0; y < p->height; ++y)
            for (int x = 0; x < p->width; ++x) {
                const uint8_t i = picture_pixels8(p)[y * p->width + x];
                if (i == 0) continue;
                colours += !seen[i];
                seen[i] = true;
                darkest = std::min(darkest, brightness(p, x, y));
                lightest = std::max(lightest, brightness(p, x, y));
            }
        EXPECT_GE(colours, 24) << "handle " << id;
        EXPECT_GE(lightest - darkest, 12) << "handle " << id;
    }
}

// Inside the well of one switch frame (its bronze rim left out): the
// amber-lit pixels (red well above blue) and the sum of the red channel.
struct well_light {
    int lit = 0, red = 0;
};
well_light switch_well(const picture* p, int frame) {
    well_light w;
    for (int y = 20 * frame + 4; y < 20 * frame + 16; ++y)
        for (int x = 4; x < 16; ++x) {
            const uint16_t c = picture_palette(p)[picture_pixels8(p)[y * 20 + x]];
            const int r = (c >> 10) & 31;
            w.lit += r >= 18 && r >= 3 * (c & 31);
            w.red += r;
        }
    return w;
}

TEST_F(DemoScreenArt, SwitchFramesRunFromOnAtTheTopToOffAtTheBottom) {
    // The switch shows the frame at row 120 - 20 x phase: phase 6 (on) is
    // the top frame, phase 0 (off) the bottom one; each step shows less light.
    const picture* p = pic(154);
    if (!p) return;
    for (int f = 0; f < 6; ++f) EXPECT_GT(switch_well(p, f).red, switch_well(p, f + 1).red) << "frame " << f;
    EXPECT_GE(switch_well(p, 0).lit, 20);
    EXPECT_LE(switch_well(p, 6).lit, 2);
}

TEST_F(DemoScreenArt, PressedCloseButtonSitsDeeperThanTheButtonAtRest) {
    const picture* desk = pic(155);
    const picture* pressed = pic(157);
    if (!desk || !pressed) return;
    // The button at rest is part of the background at (559, 336); inside
    // their common bronze rim the pressed face differs and is darker.
    int changed = 0;
    long rest_light = 0, pressed_light = 0;
    for (int y = 3; y < 18; ++y)
        for (int x = 3; x < 78; ++x) {
            const uint16_t a = picture_palette(desk)[picture_pixels8(desk)[(336 + y) * 640 + 559 + x]];
            const uint16_t b = picture_palette(pressed)[picture_pixels8(pressed)[y * 81 + x]];
            changed += differs(a, b);
            rest_light += brightness(desk, 559 + x, 336 + y);
            pressed_light += brightness(pressed, x, y);
        }
    EXPECT_GT(changed, 75 * 15 / 2);
    EXPECT_LT(pressed_light, rest_light);
}

TEST_F(DemoScreenArt, OptionsWindowLabelsLandOnDarkGround) {
    // The labels are written light at (x, y - 1) of their place; the slider
    // caption runs along the row under the grooves.
    struct area {
        int x, y, w;
    };
    std::vector<area> areas = {{35, 234, 340}, {410, 39, 80}, {510, 39, 80}};
    for (int y : {275, 305}) areas.push_back({75, y - 1, 160});
    for (int k = 0; k < 3; ++k)
        areas.push_back({434, 64 + 30 * k, 60}), areas.push_back({535, 64 + 30 * k, 60});
    for (int k = 0; k < 5; ++k) areas.push_back({434, 184 + 30 * k, 160});
    const picture* p = pic(155);
    if (!p) return;
    for (const area& a : areas) {
        int brightest = 0;
        for (int y = a.y; y < a.y + 10; ++y)
            for (int x = a.x; x < a.x + a.w; ++x) brightest = std::max(brightest, brightness(p, x, y));
        EXPECT_LE(brightest, 12) << "label at " << a.x << ", " << a.y;
    }
}

}  // namespace
