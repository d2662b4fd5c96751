// Monsters drawn in the view: placed by the monster table in a corridor of
// the view's test map, with creature pictures drawn here (a lit body, head,
// legs that step, a sword in one hand, a shadow of index 1 at the feet).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "../world/view_test_map.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "monster_test_map.h"
#include "monsters/monster_anim.h"
#include "monsters/monster_draw.h"
#include "monsters/monsters.h"
#include "support/golden.h"
#include "world/view.h"

using namespace view_test;
using namespace monster_test;

namespace {

constexpr uint16_t FADE = 0x2108;  // (8, 8, 8) in 5-bit channels
constexpr int W = 96, H = 128;
constexpr int ANCHOR = 48;

// Palette indices of the creature.
constexpr uint8_t SHADOW = 1, BODY = 2 /* 2..17 dark to light */, HEAD = 20 /* 20..27 */, EYE = 30,
                  BLADE = 40 /* 40..43 */, HILT = 44;

uint8_t shade(uint8_t first, int levels, double light) {
    return static_cast<uint8_t>(first + std::clamp(static_cast<int>(light * levels), 0, levels - 1));
}

bool in_ellipse(int x, int y, double cx, double cy, double rx, double ry) {
    const double u = (x - cx) / rx, v = (y - cy) / ry;
    return u * u + v * v <= 1.0;
}

// The creature of one animation kind and frame. Kind 0 faces the viewer,
// kind 1 shows its left side (snout to the picture's left), kind 2 its back;
// moving frames swing the legs.
std::vector<uint16_t> creature(int kind, int frame) {
    std::vector<uint8_t> px(W * H, 0);
    auto put = [&](int x, int y, uint8_t c) {
        if (x >= 0 && x < W && y >= 0 && y < H) px[y * W + x] = c;
    };
    const bool side = kind == 1;
    const int swing = frame == 0 ? 0 : (frame % 2 == 1 ? 6 : -6);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            if (in_ellipse(x, y, 48, 123, 34, 5)) put(x, y, SHADOW);
            // Legs.
            const int left_leg = side ? 42 + swing : 36, right_leg = side ? 52 - swing : 56;
            if (y >= 84 && y < 122 && (std::abs(x - left_leg) <= 5 || std::abs(x - right_leg) <= 5))
                put(x, y, shade(BODY, 16, 0.25 + (x < 48 ? 0.2 : 0.0)));
            // Body, lit from the upper left.
            const double bw = side ? 15 : 22;
            if (in_ellipse(x, y, 48, 62, bw, 28)) {
                const double light = 0.85 - 0.6 * (x - 48 + bw) / (2 * bw) - 0.2 * (y - 34) / 56.0;
                put(x, y, shade(BODY, 16, kind == 2 ? light * 0.7 : light));
            }
            // Head, with a snout seen from the side.
            if (in_ellipse(x, y, 48, 24, 14, 14) || (side && in_ellipse(x, y, 32, 28, 10, 5)))
                put(x, y, shade(HEAD, 8, 0.9 - (x - 26) / 40.0));
        }
    if (kind == 0)
        for (int dx : {-6, 6}) put(48 + dx, 22, EYE), put(49 + dx, 22, EYE);
    if (kind == 1) put(40, 20, EYE), put(41, 20, EYE);
    // A sword held up in the right hand (the picture's left for the front).
    const int hand = kind == 0 ? 20 : kind == 2 ? 76 : 58;
    for (int y = 6; y < 70; y++)
        for (int x = hand - 2; x <= hand + 2; x++)
            put(x, y, y > 58 ? HILT : shade(BLADE, 4, (x - hand + 2) / 5.0));
    for (int x = hand - 7; x <= hand + 7; x++) put(x, 58, HILT);

    std::vector<uint16_t> record(3 + (W * H + 1) / 2);
    record[0] = W, record[1] = H, record[2] = PIC_NOPAL8;
    std::memcpy(record.data() + 3, px.data(), px.size());
    return record;
}

// Variant 0: a green creature with a steel sword; variant 1: a red one.
std::array<uint8_t, 768> creature_palette(int variant) {
    std::array<uint8_t, 768> rgb{};
    for (int i = 0; i < 16; i++) {
        const int v = 60 + 12 * i;
        rgb[(BODY + i) * 3 + 0] = static_cast<uint8_t>(variant == 0 ? v / 3 : v);
        rgb[(BODY + i) * 3 + 1] = static_cast<uint8_t>(variant == 0 ? v : v / 4);
        rgb[(BODY + i) * 3 + 2] = static_cast<uint8_t>(v / 4);
    }
    for (int i = 0; i < 8; i++) {
        const int v = 110 + 18 * i;
        rgb[(HEAD + i) * 3 + 0] = static_cast<uint8_t>(v);
        rgb[(HEAD + i) * 3 + 1] = static_cast<uint8_t>(v * 4 / 5);
        rgb[(HEAD + i) * 3 + 2] = static_cast<uint8_t>(v / 2);
    }
    rgb[EYE * 3 + 0] = 255, rgb[EYE * 3 + 1] = 230;
    for (int i = 0; i < 4; i++)
        rgb[(BLADE + i) * 3 + 0] = rgb[(BLADE + i) * 3 + 1] = rgb[(BLADE + i) * 3 + 2] =
            static_cast<uint8_t>(150 + 30 * i);
    rgb[HILT * 3 + 0] = 120, rgb[HILT * 3 + 1] = 80, rgb[HILT * 3 + 2] = 30;
    return rgb;
}

// A straight corridor running north; the party stands at its south end.
const std::vector<std::string> corridor = {"#.#", "#.#", "#.#", "#.#", "#.#", "#.#", "#.#", "#.#"};

uint16_t view_pixel(int x, int view_y) {
    return back_buffer[(VIEW_SCREEN_TOP + view_y) * SCREEN_PITCH + x];
}

std::vector<uint16_t> view_copy() {
    return {back_buffer + VIEW_SCREEN_TOP * SCREEN_PITCH,
            back_buffer + (VIEW_SCREEN_TOP + VIEW_HEIGHT) * SCREEN_PITCH};
}

::testing::AssertionResult view_matches(const char* name) {
    return golden::matches(std::string(VORTHAN_SOURCE_DIR "/tests/monsters/golden/") + name,
                           back_buffer + VIEW_SCREEN_TOP * SCREEN_PITCH, VIEW_WIDTH, VIEW_HEIGHT,
                           SCREEN_PITCH);
}

struct seeing_senses : monster_view_senses {
    bool true_seeing() const override { return true; }
};

class MonsterDrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        scratch_ = std::make_unique<monster_map>();
        init_view_tables();
        view = view_state{};
        reset_view_hooks();
        clear_special_textures();
        clear_pictures();
        set_view_picture_source(test_picture);
        grid_ = build_grid_map(corridor, FADE);
        for (map_sector& s : current_map.sectors) s.sector_type = 1;
        install_standard_pictures();
        set_fade_colour(8 << 3, 8 << 3, 8 << 3);
        scratch_->write_seq("CREATR", "0123");
        const std::array<uint8_t, 768> palettes[2] = {creature_palette(0), creature_palette(1)};
        scratch_->write("CREATR.COL", write_colour_file(palettes));
        install_monster_drawing();
        start_ = grid_.sector(1, 7);
    }
    void TearDown() override {
        set_view_picture_source(nullptr);
        reset_view_hooks();
        set_monster_view_senses(nullptr);
        monster_insight_shown = false;
        set_fade_colour(0, 0, 0);
        clear_view_grid();
        scratch_.reset();
    }

    // Places one creature per entry (sector, direction, colour variant) and
    // hands the view the frame pictures of the shared animation set.
    void place(std::initializer_list<std::array<int, 3>> creatures) {
        std::vector<monster> defs;
        std::vector<uint8_t> block;
        for (const auto& [sector, direction, variant] : creatures) {
            monster def = definition(static_cast<int>(defs.size()) + 1, "CREATR");
            std::memset(def.frame_count, 3, sizeof def.frame_count);
            std::fill(std::begin(def.frame_shift), std::end(def.frame_shift), int16_t{ANCHOR});
            std::fill(def.frame_shift + 3 * 16, def.frame_shift + 4 * 16, int16_t{W - 1 - ANCHOR});
            def.color_variant = static_cast<int8_t>(-variant);
            def.hp = 25;
            defs.push_back(def);
            add_placement(block, sector, static_cast<int>(defs.size()), direction);
        }
        handle_id next = FIRST;
        place_monsters(block, defs, next);
        for (size_t slot = 0; slot < defs.size(); slot++) {
            const handle_id set = monster_set_handle(monster_table[slot]);
            for (int k = 0; k < MONSTER_ANIM_KINDS; k++)
                for (int f = 0; f <= 3; f++)
                    put_picture(static_cast<handle_id>(set + 1 + 16 * k + f), creature(k == 3 ? 1 : k, f));
        }
    }

    grid_map grid_;
    int start_ = 0;
    std::unique_ptr<monster_map> scratch_;
};

}  // namespace

TEST_F(MonsterDrawTest, CorridorWithACreatureWalkingTowardTheViewer) {
    place({{grid_.sector(1, 5), 2, 0}});
    monster& m = monster_table[0];
    m.pos_y = 120;
    m.goal_y = 152;  // walking south, toward the party
    m.anim_frame = 0;
    draw_view(start_, 0);
    EXPECT_TRUE(view_matches("monster_walking_toward.png"));

    // Two steps nearer, one moving frame later: larger, and in the next frame.
    m.sector = static_cast<int16_t>(grid_.sector(1, 6));
    m.anim_frame = 1;
    rebuild_occupancy();
    draw_view(start_, 0);
    EXPECT_TRUE(view_matches("monster_walking_toward_near.png"));
}

TEST_F(MonsterDrawTest, CreatureWalkingAcrossIsItsLeftSideMirrored) {
    place({{grid_.sector(1, 5), 1, 1}});
    monster& m = monster_table[0];
    m.pos_x = 120;
    m.goal_x = 160;  // walking east: to the viewer's right
    m.anim_frame = 2;
    monster_draw_request r[2];
    std::string texts[2];
    ASSERT_EQ(monster_draw_requests(m.sector, 0, 2, 0, r, texts), 1);
    EXPECT_TRUE(r[0].mirrored);
    EXPECT_EQ(r[0].anchor, W - 1 - ANCHOR);  // the mirrored pictures' anchor (kind 3)
    EXPECT_EQ(r[0].across, -8);
    EXPECT_EQ(r[0].along, 0);
    draw_view(start_, 0);
    EXPECT_TRUE(view_matches("monster_side_mirrored.png"));

    // Walking west it shows the same pictures unmirrored.
    m.pos_x = 136;
    m.goal_x = 96;
    ASSERT_EQ(monster_draw_requests(m.sector, 0, 2, 0, r, texts), 1);
    EXPECT_FALSE(r[0].mirrored);
    EXPECT_EQ(r[0].anchor, ANCHOR);
}

TEST_F(MonsterDrawTest, TwoInASectorTheFartherIsDrawnFirst) {
    const int there = grid_.sector(1, 5);
    place({{there, 0, 0}, {there, 0, 1}});
    // Seen from the south, the green one (first in the sector) stands nearer,
    // the red one farther and a little to the right: the green one hides part of it.
    monster_table[0].pos_x = 120, monster_table[0].pos_y = 152;
    monster_table[1].pos_x = 130, monster_table[1].pos_y = 104;
    for (monster& m : monster_table) m.goal_x = m.pos_x, m.goal_y = m.pos_y;
    ASSERT_EQ(first_monster_in(there), 1);
    monster_draw_request r[2];
    std::string texts[2];
    ASSERT_EQ(monster_draw_requests(there, 0, 2, 0, r, texts), 2);
    EXPECT_EQ(r[0].across, 2);  // the red one
    EXPECT_EQ(r[0].along, 24);
    EXPECT_EQ(r[1].across, -8);
    EXPECT_EQ(r[1].along, -24);
    // Looking south the green one is the farther.
    ASSERT_EQ(monster_draw_requests(there, 0, 2, 2, r, texts), 2);
    EXPECT_EQ(r[0].across, 8);
    EXPECT_EQ(r[0].along, 24);
    draw_view(start_, 0);
    EXPECT_TRUE(view_matches("monster_two_in_a_sector.png"));

    // Whichever of them the sector names first, the picture is the same.
    const std::vector<uint16_t> before = view_copy();
    std::swap(monster_table[0].pos_y, monster_table[1].pos_y);
    std::swap(monster_table[0].pos_x, monster_table[1].pos_x);
    std::swap(monster_table[0].color_variant, monster_table[1].color_variant);
    for (monster& m : monster_table) m.goal_x = m.pos_x, m.goal_y = m.pos_y;
    draw_view(start_, 0);
    EXPECT_EQ(view_copy(), before);
}

TEST_F(MonsterDrawTest, ShadowHalvesTheFloorOnceAndInvisibleCreaturesCastNone) {
    const int there = grid_.sector(1, 5);
    draw_view(start_, 0);
    const std::vector<uint16_t> empty = view_copy();
    place({{there, 0, 0}});
    monster_table[0].stats[23] = MF_INVISIBLE;
    draw_view(start_, 0);
    EXPECT_EQ(view_copy(), empty);

    // With true seeing it shows, its shadow halving the floor around its feet
    // (the see-through side in front of its sector does not lay it on twice).
    const seeing_senses seeing;
    set_monster_view_senses(&seeing);
    draw_view(start_, 0);
    const view_point feet = project(0, 2, 64, 32, 0);
    int shadowed = 0;
    for (int x = feet.x - 30; x <= feet.x + 30; x++) {
        const uint16_t floor = empty[(feet.y - 1) * SCREEN_PITCH + x];
        const uint16_t now = view_pixel(x, feet.y - 1);
        if (now == floor) continue;
        EXPECT_EQ(now, (floor >> 1) & 0x3DEF) << x;
        shadowed++;
    }
    EXPECT_GT(shadowed, 20);
    EXPECT_TRUE(view_matches("monster_shadow.png"));
}

TEST_F(MonsterDrawTest, BeyondTheFarthestDepthNothingIsDrawnAndInsightCarriesTheText) {
    // Five sectors ahead: behind the see-through side of the farthest cell.
    draw_view(start_, 0);
    const std::vector<uint16_t> empty = view_copy();
    place({{grid_.sector(1, 2), 0, 0}});
    draw_view(start_, 0);
    EXPECT_EQ(view_copy(), empty);

    monster_insight_shown = true;
    monster_draw_request r[2];
    std::string texts[2];
    ASSERT_EQ(monster_draw_requests(grid_.sector(1, 2), 0, 4, 0, r, texts), 1);
    ASSERT_NE(r[0].insight, nullptr);
    EXPECT_EQ(std::string(r[0].insight).rfind("name: Monster 1\naction: STANDBACK\n", 0), 0u) << r[0].insight;
}
