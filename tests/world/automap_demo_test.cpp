// The automap drawn with the demo adventure's own paper, panel and fonts:
// a small map with its signs, the party, a note, the title and the time.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/paths.h"
#include "base/strings.h"
#include "core/archive.h"
#include "core/decoders.h"
#include "core/handles.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "support/golden.h"
#include "view_test_map.h"
#include "world/automap.h"
#include "world/map_scripts.h"
#include "world/movement.h"
#include "world/party_standin.h"
#include "world/screen_resources.h"

using namespace view_test;

namespace {

class AutomapDemo : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        path_table[PATH_FONTS] = VORTHAN_DEMO_DIR "/font";
        path_table[PATH_GUI] = VORTHAN_DEMO_DIR "/graphics/basic";
        register_picture_decoders();
        register_archive(VORTHAN_DEMO_DIR "/VORTHAN.DDL");
        const decoder_fn pal8 = decoder_for(decoder_id::pcx_to_pal8);
        define_handle(H_BACKMAP, "backmap.pcx", pal8, PATH_GUI);
        define_handle(H_CHARGEN, "chargen.pcx", pal8, PATH_GUI);
        define_handle(H_CHARGENB, "chargenb.pcx", pal8, PATH_GUI);
        define_handle(H_CHARGENM, "chargenm.pcx", decoder_for(decoder_id::pcx_to_nopal), PATH_GUI);
        for (auto [id, name] : {std::pair{FONT_IKONES, "ikones.fon"},
                                {FONT_5X8, "font5x8.fon"},
                                {FONT_6X9, "font6x9.fon"},
                                {FONT_SADA16, "sada16.fon"}})
            define_handle(id, name, nullptr, PATH_FONTS);
        ui_strings = string_list_create(220);
        const std::pair<int, const char*> texts[] = {
            {145, "Time:"},  {146, "day"},    {147, "days"},    {148, "days"},         {149, "month"},
            {150, "months"}, {151, "months"}, {152, "%d:%02d"}, {153, "%s, level %d"}, {210, "World"},
            {211, "Map"},    {212, "Notes"},  {213, "Back"}};
        for (const auto& [n, text] : texts) string_list_set(ui_strings, n, text);
    }
    static void TearDownTestSuite() {
        reset_font_state();
        free_all_handles();
    }
    void TearDown() override {
        automap = automap_state{};
        automap_hooks = automap_links{};
        current_map = loaded_map{};
        game_time = 0;
    }
};

}  // namespace

TEST_F(AutomapDemo, SmallMapWithSignsPartyNoteTitleAndTime) {
    const std::vector<std::string> rows = {
        "############",  //
        "#.....#....#",  //
        "#.###.#.##.#",  //
        "#.#.....#..#",  //
        "#.###.#.##.#",  //
        "#.....#....#",  //
        "###.########",  //
        "#.......####",  //
        "############",  //
    };
    const grid_map g = build_grid_map(rows);
    for (map_coord& c : current_map.coords) c.coord_flags |= MC_MAPPED;
    auto sector = [&](int x, int y) -> map_sector& {
        return current_map.sectors[static_cast<size_t>(g.sector(x, y))];
    };
    auto coord = [&](int x, int y) -> map_coord& {
        return current_map.coords[static_cast<size_t>(g.sector(x, y))];
    };
    sector(1, 1).sector_type = 0;
    coord(1, 1).coord_flags |= MC_STAIRS;
    sector(10, 5).sector_type = 2;  // a way down
    sector(3, 3).sector_type = 11;  // a pit
    sector(7, 1).sector_type = 12;  // a teleport that shows
    current_map.sides[static_cast<size_t>(g.sector(7, 1)) * 4].flags |= SIDE_S_VIS;
    for (int x = 3; x <= 5; ++x) sector(x, 7).sector_type = 3;
    sector(1, 7).sector_type = 19;
    current_map.sides[static_cast<size_t>(g.sector(5, 3)) * 4 + 1].flags |= SIDE_NOPLAYER;  // bars
    for (int y = 1; y <= 5; ++y) coord(10, y).coord_flags &= ~MC_MAPPED;
    std::snprintf(current_map.header.title.data(), current_map.header.title.size(), "The Old Cellars");
    game_time = 8640 * 3 + 6 * (14 * 60 + 5);

    new_standin_party(g.sector(5, 5), 0);
    mark_party_sectors();
    automap_hooks.world_map_available = [] { return true; };
    clear_buffer(frame_buffer, 0);
    ASSERT_TRUE(begin_automap(true));
    EXPECT_EQ(automap.mask, 6);
    add_automap_note({8 * 7 + 2, 8 * 3 - 4, 0, "Lever here"});
    draw_automap(automap.ox, automap.oy);
    EXPECT_EQ(automap_panel_button(570, 398), 1);
    EXPECT_EQ(automap_panel_button(570, 475), 0);
    EXPECT_EQ(automap_panel_button(570, 460), 4);
    EXPECT_TRUE(golden::matches(VORTHAN_SOURCE_DIR "/tests/world/golden/automap_demo.png", frame_buffer));
    end_automap();
}
