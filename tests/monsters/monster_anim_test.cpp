// Colour variants with the fog, and the picture and text the view takes.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "core/random.h"
#include "gfx/picture.h"
#include "monster_test_map.h"
#include "monsters/monster_anim.h"
#include "monsters/monster_view.h"
#include "monsters/monsters.h"

using namespace monster_test;

namespace {

// Three variants; entry 1 of variant v is red 80 (v + 1), nothing else.
std::vector<uint8_t> three_variants() {
    std::vector<std::array<uint8_t, 768>> palettes(3);
    for (size_t v = 0; v < 3; ++v) {
        palettes[v].fill(0);
        palettes[v][3] = static_cast<uint8_t>(80 * (v + 1));
    }
    std::vector<uint8_t> file = write_colour_file(palettes);
    file.resize(file.size() + 500);  // a partial record is no variant
    return file;
}

int variant_of(const uint16_t* palettes) {
    return palettes ? (palettes[1] >> 10) * 8 / 80 - 1 : -1;
}

}  // namespace

TEST(MonsterColours, VariantsAreChosenClampedAndShadedWithTheFog) {
    monster_map map;
    map.write_seq("GOBLIN");
    map.write("GOBLIN.COL", three_variants());
    set_fade_colour(0, 0, 248);
    monster defs[] = {definition(1, "GOBLIN"), definition(2, "GOBLIN"), definition(3, "GOBLIN")};
    defs[0].color_variant = -2;
    defs[1].color_variant = -7;  // beyond the file's three
    defs[2].color_variant = 3;
    std::vector<uint8_t> block;
    add_placement(block, 1, 1);
    add_placement(block, 1, 2);
    for (int i = 0; i < 30; ++i) add_placement(block, 2 + i % 8, 3);
    random_seed(12345);
    handle_id next = FIRST;
    place_monsters(block, defs, next);

    EXPECT_EQ(variant_of(monster_palettes(monster_table[0])), 2);
    EXPECT_EQ(variant_of(monster_palettes(monster_table[1])), 2);
    std::set<int> seen;
    for (size_t slot = 2; slot < 32; ++slot) seen.insert(variant_of(monster_palettes(monster_table[slot])));
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2}));

    // Palette 4 of red 240 is nearly the fade colour: 240 x 2 / 14 and 248 - 248 x 12 / 14.
    const uint16_t* far = monster_palettes(monster_table[0]) + 4 * PALETTE_ENTRIES;
    EXPECT_EQ(far[1], (34 >> 3) << 10 | (213 >> 3));
    set_fade_colour(0, 0, 0);
}

TEST(MonsterColours, FileWithoutAWholeRecordGivesNoPalettes) {
    monster_map map;
    map.write_seq("GOBLIN");
    map.write("GOBLIN.COL", std::vector<uint8_t>(775, 9));
    const monster def = definition(1, "GOBLIN");
    std::vector<uint8_t> block;
    add_placement(block, 1, 1);
    handle_id next = FIRST;
    place_monsters(block, std::span(&def, 1), next);
    EXPECT_EQ(monster_palettes(monster_table[0]), nullptr);
}

TEST(MonsterPicture, WalkingTowardAndAcrossTheViewer) {
    monster m = definition(1, "GOBLIN");
    m.anim_set = 1;
    std::memset(m.frame_count, 3, sizeof m.frame_count);
    m.direction = 2;
    m.pos_x = m.pos_y = 128;
    m.goal_x = 128, m.goal_y = 200;  // south, toward a party looking north
    m.anim_frame = 4;
    monster_view_picture p = monster_picture(m, 0, false);
    EXPECT_EQ(p.kind, 0);
    EXPECT_FALSE(p.mirrored);
    EXPECT_EQ(p.frame, 4 % 3 + 1);
    EXPECT_EQ(p.handle, monster_handle_base + 1 + p.frame);

    m.direction = 1;
    m.goal_x = 200, m.goal_y = 128;  // east: to the right of a party looking north
    p = monster_picture(m, 0, false);
    EXPECT_EQ(p.kind, 1);
    EXPECT_TRUE(p.mirrored);
    EXPECT_EQ(p.handle, monster_handle_base + 1 + 16 + p.frame);
    EXPECT_FALSE(monster_picture(m, 2, false).mirrored);  // the same walk seen from the east side
    EXPECT_EQ(monster_picture(m, 1, false).kind, 2);      // walking away

    // Diagonal: without the option the facing axis decides, with it the sideways part.
    m.direction = 2;
    m.goal_x = 200, m.goal_y = 200;
    EXPECT_EQ(monster_picture(m, 0, false).kind, 0);
    EXPECT_TRUE(monster_picture(m, 0, true).mirrored);
    m.strategy = MS_BIG;
    EXPECT_EQ(monster_picture(m, 0, true).kind, 0);

    m.anim_frame = -1;
    m.goal_x = m.goal_y = 128;
    m.direction = 0;  // standing, facing the same way as the party
    EXPECT_EQ(monster_picture(m, 0, false).kind, 2);
    EXPECT_EQ(monster_picture(m, 0, false).frame, 0);

    m.anim_kind = MA_ATTACKING;
    m.anim_frame = 1;
    EXPECT_EQ(monster_picture(m, 0, false).kind, 4);
    m.anim_kind = MA_DYING;
    EXPECT_EQ(monster_picture(m, 0, false).handle, monster_handle_base + 1);
}

TEST(MonsterInsight, DescribesActionIntentAndBits) {
    monster m = definition(1, "GOBLIN");
    std::snprintf(m.name, sizeof m.name, "Skret");
    m.anim_set = 1;
    m.direction = 1;
    m.goal_x = 200;
    m.anim_frame = 0;
    m.strategy = MS_WALK | MS_GUARD;
    m.state = MST_LIVE | MST_MOB;
    m.intent = MI_FLEE;
    m.walk_data = 7, m.sight = 3, m.reach = 1, m.damage_taken = 12;
    EXPECT_EQ(describe_monster(m, 0, false, true),
              "name: Skret\naction: WALKLEFTMIRR\nwalkdata: 7\nsight: 3\nreach: 1\nhit: 12\nintent: FLEE\n"
              "strategy: WALK GUARD \nflags: MOB LIVE \nhas_path: YES");
    m.anim_kind = MA_IN_PAIN;
    EXPECT_NE(describe_monster(m, 0, false, false).find("action: INPAIN\n"), std::string::npos);
}
