// What the walls' special procedures show on the screen: the properties of
// the item in the hand in a filled tile frame over the view.
#include <gtest/gtest.h>

#include <cstring>

#include "base/strings.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "gfx/font.h"
#include "gfx/font_test_fonts.h"
#include "gfx/screen.h"
#include "rules/item_record.h"
#include "rules/items.h"
#include "story/special_procedures.h"
#include "story/tile_frame.h"
#include "window_harness.h"
#include "world/map_services.h"

namespace {

constexpr int TOP_LEFT_TILE = 30;  // the harness paints tile k in colour index 30 + k
constexpr uint16_t BACKGROUND = 0x7BDE;

uint16_t pixel(int x, int y) {
    return frame_buffer[y * SCREEN_PITCH + x];
}

class SpecialScreens : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        test_fonts::install(FONT_SADA16, test_fonts::font_bytes().block('X', 6, 8).bytes);
        string_list_set(ui_strings, 210, "%s");
        item_def stone{};
        std::strcpy(stone.name, "XX");
        game_items().set_definitions({stone});
        reset_map_services();
    }
    void TearDown() override {
        reset_map_services();
        game_items().set_definitions({});
        reset_font_state();
        undefine_handle(FONT_SADA16);
        string_list_free(ui_strings);
        WindowTest::TearDown();
    }
};

TEST_F(SpecialScreens, ItemPropertiesAppearInAFilledFrameAndAnEmptyHandShowsNothing) {
    EXPECT_FALSE(wall_proc(4, 5, 0, 0, 0));
    EXPECT_EQ(pixel(120, 235), BACKGROUND);

    map_services.held_item = [] { return 1; };
    EXPECT_TRUE(wall_proc(4, 5, 0, 0, 0));
    // One line: h = 20, the frame's inside from y = 230, its corner a tile above and left.
    EXPECT_EQ(pixel(108, 218), colour_of_index(TOP_LEFT_TILE));
    EXPECT_EQ(pixel(121, 231), TILE_FRAME_FILL);
    EXPECT_EQ(pixel(519, 249), TILE_FRAME_FILL);
    EXPECT_NE(pixel(127, 238), TILE_FRAME_FILL);  // the name's first glyph at (125, 235)
    EXPECT_EQ(pixel(200, 238), TILE_FRAME_FILL);
}

}  // namespace
