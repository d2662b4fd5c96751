// The automap and the mini-map on small maps built in memory: where cells
// and walls go, what is shown and what is not, the keys, the notes and the
// choosing of a place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/events.h"
#include "core/handles.h"
#include "gfx/font.h"
#include "gfx/font_test_fonts.h"
#include "gfx/screen.h"
#include "support/golden.h"
#include "view_test_map.h"
#include "world/automap.h"
#include "world/map_scripts.h"
#include "world/map_state.h"
#include "world/movement.h"
#include "world/party_standin.h"
#include "world/view.h"

using namespace view_test;

namespace {

constexpr uint16_t PAPER = 0x1234;  // the frame buffer before drawing (no paper picture in the tests)
const uint16_t CELL_FILL = blend50(PAPER, AUTOMAP_EMPTY);

uint16_t pixel(int x, int y) {
    return frame_buffer[y * SCREEN_PITCH + x];
}

class Automap : public ::testing::Test {
  protected:
    void SetUp() override {
        init_view_tables();
        view = view_state{};
        automap = automap_state{};
        automap_hooks = automap_links{};
        clear_buffer(frame_buffer, PAPER);
    }
    void TearDown() override {
        if (automap.open) end_automap();
        automap = automap_state{};
        current_map = loaded_map{};
        clear_view_grid();
    }
    // Builds the map, puts the party at (x, y) and marks every open sector seen.
    grid_map build(const std::vector<std::string>& rows, int x, int y, bool seen = true) {
        grid_map g = build_grid_map(rows);
        new_standin_party(g.sector(x, y), 0);
        if (seen)
            for (map_coord& c : current_map.coords) c.coord_flags |= MC_MAPPED;
        return g;
    }
    // The top-left pixel of the cell of a map position, as the automap places it.
    static int cell_x(int x) { return 8 * x - automap_centre_x() + 320; }
    static int cell_y(int y) { return 8 * y - automap_centre_y() + 197; }
    void show() {
        mark_automap_sectors(true);
        clear_buffer(frame_buffer, PAPER);
        draw_automap(automap.ox, automap.oy);
    }
};

const std::vector<std::string> room = {
    "#####",  //
    "#...#",  //
    "#...#",  //
    "#...#",  //
    "#####",  //
};

}  // namespace

// ---------------------------------------------------------------- cells and walls

TEST_F(Automap, CellIsDrawnWhereCentreAndOffsetPutIt) {
    const grid_map g = build(room, 2, 2);
    for (const auto& [ox, oy] : {std::pair{0, 0}, {3, -2}, {-5, 4}}) {
        automap.ox = ox;
        automap.oy = oy;
        show();
        // The party stands at (2, 2): cx = 16 - 8 ox, cy = 16 - 8 oy.
        const int x = 8 * 3 - (16 - 8 * ox) + 320, y = 8 * 1 - (16 - 8 * oy) + 197;
        EXPECT_EQ(cell_x(3), x);
        EXPECT_EQ(cell_y(1), y);
        EXPECT_EQ(pixel(x + 3, y + 3), CELL_FILL) << ox << "," << oy;
        EXPECT_EQ(pixel(x - 20, y + 3), PAPER);  // left of the room: rock, never seen
    }
    (void)g;
}

TEST_F(Automap, WallsAreDrawnInTheWallColourAndOpenSidesAreNot) {
    build(room, 2, 2);
    show();
    // The north-west corner sector (1, 1): walls north and west, open east and south.
    const int x = cell_x(1), y = cell_y(1);
    EXPECT_EQ(pixel(x + 4, y), AUTOMAP_WALL);   // north edge
    EXPECT_EQ(pixel(x, y + 4), AUTOMAP_WALL);   // west edge
    EXPECT_EQ(pixel(x + 7, y + 4), CELL_FILL);  // east edge: open toward (2, 1)
    EXPECT_EQ(pixel(x + 4, y + 7), CELL_FILL);  // south edge: open toward (1, 2)
}

TEST_F(Automap, SidesAreDrawnByWhatThePartyKnowsOfThem) {
    const grid_map g = build(room, 2, 2);
    const int s = g.sector(2, 2);
    map_side* sides = &current_map.sides[static_cast<size_t>(s) * 4];
    sides[0].flags |= SIDE_SECRET;                   // north: a secret passage looks like a wall
    sides[1].flags |= SIDE_NOPLAYER;                 // east: bars the party cannot pass
    sides[2].flags = SIDE_INVIS;                     // south: a wall that is never drawn
    sides[3].flags |= SIDE_NOPLAYER | SIDE_TRUESEE;  // west: hidden until true seeing
    show();
    const int x = cell_x(2), y = cell_y(2);
    EXPECT_EQ(pixel(x + 4, y), AUTOMAP_WALL);
    EXPECT_EQ(pixel(x + 7, y + 4), AUTOMAP_BARS);
    EXPECT_EQ(pixel(x + 4, y + 7), CELL_FILL);
    EXPECT_EQ(pixel(x, y + 4), CELL_FILL);

    view.true_seeing = true;
    show();
    EXPECT_EQ(pixel(x, y + 4), AUTOMAP_BARS);
}

TEST_F(Automap, OnlySectorsSeenMarkedAndOnTheShownLayerAppear) {
    const grid_map g = build(room, 2, 2);
    current_map.coords[static_cast<size_t>(g.sector(1, 1))].coord_flags &= ~MC_MAPPED;
    current_map.coords[static_cast<size_t>(g.sector(3, 1))].coord_flags |= MC_NOAUTOMAP;
    current_map.coords[static_cast<size_t>(g.sector(1, 3))].layer = 1;
    // Known only by the second bit: walls without a fill.
    current_map.coords[static_cast<size_t>(g.sector(3, 3))].coord_flags = static_cast<uint16_t>(
        (current_map.coords[static_cast<size_t>(g.sector(3, 3))].coord_flags & ~MC_MAPPED) | MC_KNOWN);
    show();
    EXPECT_EQ(pixel(cell_x(1) + 3, cell_y(1) + 3), PAPER);
    EXPECT_EQ(pixel(cell_x(3) + 3, cell_y(1) + 3), PAPER);
    EXPECT_EQ(pixel(cell_x(1) + 3, cell_y(3) + 3), PAPER);
    EXPECT_EQ(pixel(cell_x(3) + 3, cell_y(3) + 3), PAPER);
    EXPECT_EQ(pixel(cell_x(3) + 7, cell_y(3) + 3), AUTOMAP_WALL);
    EXPECT_EQ(pixel(cell_x(2) + 3, cell_y(2) + 3), CELL_FILL);

    clear_automap_marks();  // not marked: nothing at all
    clear_buffer(frame_buffer, PAPER);
    draw_automap(automap.ox, automap.oy);
    EXPECT_EQ(pixel(cell_x(2) + 3, cell_y(2) + 3), PAPER);
}

TEST_F(Automap, SectorSeenThroughASideWithoutAutomapIsNotShown) {
    const std::vector<std::string> corridor = {"#.#", "#.#", "#.#", "#.#", "#.#"};
    const grid_map g = build(corridor, 1, 4, false);
    // Looking north from the south end; the side between (1, 2) and (1, 1) does not map.
    current_map.sides[static_cast<size_t>(g.sector(1, 2)) * 4 + 0].flags &= ~SIDE_AUTOMAP;
    walk_view(g.sector(1, 4), 0);
    EXPECT_TRUE(current_map.coords[static_cast<size_t>(g.sector(1, 3))].coord_flags & MC_MAPPED);
    EXPECT_FALSE(current_map.coords[static_cast<size_t>(g.sector(1, 1))].coord_flags & MC_MAPPED);
    show();
    EXPECT_EQ(pixel(cell_x(1) + 3, cell_y(3) + 3), CELL_FILL);
    EXPECT_EQ(pixel(cell_x(1) + 3, cell_y(1) + 3), PAPER);
}

TEST_F(Automap, SectorTypesTintTheirCells) {
    const grid_map g = build(room, 2, 2);
    current_map.sectors[static_cast<size_t>(g.sector(1, 1))].sector_type = 3;
    current_map.sectors[static_cast<size_t>(g.sector(2, 1))].sector_type = 9;
    current_map.sectors[static_cast<size_t>(g.sector(3, 1))].sector_type = 4;
    current_map.sectors[static_cast<size_t>(g.sector(1, 2))].sector_type = 19;
    show();
    EXPECT_EQ(pixel(cell_x(1) + 3, cell_y(1) + 3), blend50(PAPER, AUTOMAP_WATER));
    EXPECT_EQ(pixel(cell_x(2) + 3, cell_y(1) + 3), blend50(PAPER, AUTOMAP_WATER));
    EXPECT_EQ(pixel(cell_x(3) + 3, cell_y(1) + 3), blend50(PAPER, AUTOMAP_TYPE4));
    EXPECT_EQ(pixel(cell_x(1) + 3, cell_y(2) + 3), blend50(PAPER, AUTOMAP_TYPE19));
}

TEST_F(Automap, GoldenPictureOfASmallMap) {
    const std::vector<std::string> rows = {
        "##########",  //
        "#....#...#",  //
        "#.##.#.#.#",  //
        "#.##...#.#",  //
        "#....#...#",  //
        "##.#######",  //
        "#...~~~..#",  //
        "##########",  //
    };
    std::vector<std::string> plain = rows;
    for (std::string& r : plain) std::replace(r.begin(), r.end(), '~', '.');
    const grid_map g = build(plain, 2, 4);
    for (int x = 4; x <= 6; ++x) current_map.sectors[static_cast<size_t>(g.sector(x, 6))].sector_type = 3;
    current_map.sides[static_cast<size_t>(g.sector(4, 3)) * 4 + 1].flags |= SIDE_NOPLAYER;  // bars
    current_map.sides[static_cast<size_t>(g.sector(4, 1)) * 4 + 1].flags = SIDE_TRANSPARENT | SIDE_SECRET;
    // The far corner is unexplored.
    for (int y = 1; y <= 4; ++y) current_map.coords[static_cast<size_t>(g.sector(8, y))].coord_flags = 0;
    reset_automap_view();
    show();
    // The map's part of the screen (the rest is the untouched paper).
    EXPECT_TRUE(golden::matches(VORTHAN_SOURCE_DIR "/tests/world/golden/automap_small.png",
                                frame_buffer + 150 * SCREEN_PITCH + 280, 120, 90, SCREEN_PITCH));
}

// ---------------------------------------------------------------- opening, keys, layers

TEST_F(Automap, NothingSeenOpensCentredOnTheParty) {
    build(room, 2, 2, false);
    ASSERT_TRUE(begin_automap(true));
    EXPECT_EQ(automap.ox, 0);
    EXPECT_EQ(automap.oy, 0);
    EXPECT_EQ(automap.layer, 0);
    automap_keys(18, false);  // E: no layer above
    EXPECT_EQ(automap.layer, 0);
    EXPECT_EQ(end_automap(), 0);
    for (const map_coord& c : current_map.coords) EXPECT_FALSE(c.coord_flags & MC_MARKED);
}

TEST_F(Automap, HookSevenCanRefuseTheFullAutomapButNotTheChoosingOfAPlace) {
    build(room, 2, 2);
    global_hooks[HOOK_AUTOMAP_OPEN] = global_hook{1, 0, 1, 0};
    EXPECT_FALSE(begin_automap(true));
    EXPECT_FALSE(automap.open);
    EXPECT_TRUE(begin_automap(false));
    end_automap();
    clear_global_hooks();
    EXPECT_TRUE(begin_automap(true));
    end_automap();
}

TEST_F(Automap, OpeningCentresTheSeenPartWithinItsLimits) {
    std::vector<std::string> wide(3, std::string(120, '.'));
    const grid_map g = build(wide, 0, 1, false);
    for (int x = 60; x < 120; ++x)
        current_map.coords[static_cast<size_t>(g.sector(x, 1))].coord_flags |= MC_MAPPED;
    ASSERT_TRUE(begin_automap(true));
    EXPECT_EQ(automap.ox, -35);  // the box's centre is 89 cells away: clamped to 35
    EXPECT_EQ(automap.oy, 0);
    end_automap();
}

TEST_F(Automap, KeysMoveTheMapAndChangeLayersThatHaveSomethingSeen) {
    const grid_map g = build(room, 2, 2);
    current_map.coords[static_cast<size_t>(g.sector(1, 1))].layer = -2;
    ASSERT_TRUE(begin_automap(true));
    const int ox = automap.ox, oy = automap.oy;
    automap_keys(32, false);  // D
    automap_keys(72, false);  // Up
    EXPECT_EQ(automap.ox, ox + 1);
    EXPECT_EQ(automap.oy, oy - 1);
    automap_keys(18, false);  // E: nothing above
    EXPECT_EQ(automap.layer, 0);
    automap_keys(81, false);  // PgDn: the nearest layer below with something seen
    EXPECT_EQ(automap.layer, -2);
    automap_keys(77, true);  // Ctrl+Right: back up
    EXPECT_EQ(automap.layer, 0);
    EXPECT_EQ(automap.ox, ox + 1);
    EXPECT_TRUE(automap_keys(15, false));  // Tab closes
    EXPECT_TRUE(automap.closing);
    end_automap();
}

TEST_F(Automap, BoundedWhenCoordinatesAndExitsDoNotAddUp) {
    const grid_map g = build(room, 2, 2);
    current_map.sectors[static_cast<size_t>(g.sector(2, 2))].exits[0] = 60000;
    current_map.sides[static_cast<size_t>(g.sector(2, 2)) * 4].flags = SIDE_TRANSPARENT | SIDE_NOPLAYER;
    current_map.coords[static_cast<size_t>(g.sector(1, 1))].x = 32767;
    current_map.coords[static_cast<size_t>(g.sector(1, 2))].y = -32768;
    current_map.coords.resize(current_map.coords.size() - 2);  // fewer coordinates than sectors
    current_map.automap_notes.push_back({1, 2, 3});            // a record cut short
    add_automap_note({INT32_MAX, INT32_MIN, 0, "far away"});
    ASSERT_TRUE(begin_automap(false));
    show();
    draw_minimap();
    EXPECT_EQ(automap_sector_at(0, 0), 0);
    EXPECT_EQ(automap_note_at(320, 197), -1);
    end_automap();
}

// ---------------------------------------------------------------- choosing a place

TEST_F(Automap, TargetModeChoosesASectorWithinTwoSteps) {
    const std::vector<std::string> corridor = {"#.#", "#.#", "#.#", "#.#", "#.#"};
    const grid_map g = build(corridor, 1, 4);
    ASSERT_TRUE(begin_automap(false));
    EXPECT_EQ(automap.mask, 7);
    // Three steps away: not offered.
    automap_click(cell_x(1) + 4, cell_y(1) + 4);
    EXPECT_FALSE(automap.closing);
    automap_click(cell_x(1) + 4, cell_y(2) + 4);
    EXPECT_TRUE(automap.closing);
    EXPECT_EQ(end_automap(), g.sector(1, 2));
    for (const map_coord& c : current_map.coords) EXPECT_FALSE(c.coord_flags & MC_MARKED);
}

TEST_F(Automap, TargetModeDoesNotReachThroughSidesThePartyCannotPass) {
    const std::vector<std::string> corridor = {"#.#", "#.#", "#.#"};
    const grid_map g = build(corridor, 1, 2);
    current_map.sides[static_cast<size_t>(g.sector(1, 2)) * 4].flags |= SIDE_NOPLAYER;
    mark_automap_sectors(false);
    EXPECT_TRUE(current_map.coords[static_cast<size_t>(g.sector(1, 2))].coord_flags & MC_MARKED);
    EXPECT_FALSE(current_map.coords[static_cast<size_t>(g.sector(1, 1))].coord_flags & MC_MARKED);
}

// ---------------------------------------------------------------- notes

TEST_F(Automap, ClickStartsANoteOnTheGridAndEnterStoresItInMapPixels) {
    build(room, 2, 2);
    ASSERT_TRUE(begin_automap(true));
    automap_click(101, 203);
    ASSERT_TRUE(automap.editing);
    EXPECT_EQ(automap.edit_x, (101 & ~7) | 2);
    EXPECT_EQ(automap.edit_y, (203 & ~7) - 4);
    for (char c : std::string("Key")) automap_edit_key(0, c);
    automap_edit_key(14, 0);  // Backspace
    automap_edit_key(0, 'y');
    automap_edit_key(28, 13);  // Enter
    EXPECT_FALSE(automap.editing);
    const std::vector<automap_note> notes = automap_notes();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].text, "Key");
    EXPECT_EQ(notes[0].x, 98 + automap_centre_x() - 320);
    EXPECT_EQ(notes[0].y, 196 + automap_centre_y() - 197);
    EXPECT_EQ(notes[0].layer, automap.layer);
    end_automap();
}

TEST_F(Automap, EscKeepsAnEditedNoteAndBlankNotesAreNotStored) {
    build(room, 2, 2);
    ASSERT_TRUE(begin_automap(true));
    add_automap_note({automap_centre_x() - 100, automap_centre_y() - 50, 0, "well"});
    automap_click(320 - 100 + 1, 197 - 50 + 1);  // on the note: taken off for editing
    ASSERT_TRUE(automap.editing);
    EXPECT_TRUE(current_map.automap_notes.empty());
    EXPECT_EQ(automap.edit_text, "well");
    automap_edit_key(14, 0);
    automap_edit_key(0, 'x');
    automap_edit_key(1, 27);  // Esc
    ASSERT_EQ(automap_notes().size(), 1u);
    EXPECT_EQ(automap_notes()[0].text, "well");
    EXPECT_EQ(automap_notes()[0].x, automap_centre_x() - 100);

    automap_click(500, 300);
    automap_edit_key(0, ' ');
    automap_edit_key(0, ' ');
    automap_edit_key(28, 13);
    EXPECT_EQ(automap_notes().size(), 1u);
    end_automap();
}

TEST_F(Automap, NotesSurviveLeavingTheMapAndComingBack) {
    build(room, 2, 2);
    current_map.side_resting.assign(current_map.sides.size(), 0);
    const loaded_map original = current_map;
    add_automap_note({16, 24, 0, "stairs down"});
    add_automap_note({-40, 8, 3, "lever"});
    std::vector<uint8_t> record;
    map_state_write(original, record);
    current_map.automap_notes.clear();
    ASSERT_EQ(map_state_apply_bytes(record.data(), record.size()), MAP_STATE_OK);
    const std::vector<automap_note> notes = automap_notes();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].text, "stairs down");
    EXPECT_EQ(notes[0].x, 16);
    EXPECT_EQ(notes[0].y, 24);
    EXPECT_EQ(notes[1].text, "lever");
    EXPECT_EQ(notes[1].x, -40);
    EXPECT_EQ(notes[1].layer, 3);
}

TEST_F(Automap, NoteRecordsWithoutTheirEndAreIgnored) {
    automap_note n;
    std::vector<uint8_t> record = encode_automap_note({1, 2, 3, "abc"});
    EXPECT_EQ(record.size(), 12u + 4u);
    ASSERT_TRUE(decode_automap_note(record, n));
    EXPECT_EQ(n.text, "abc");
    record.pop_back();
    EXPECT_FALSE(decode_automap_note(record, n));
    EXPECT_FALSE(decode_automap_note({1, 2, 3}, n));
}

// ---------------------------------------------------------------- mini-map

TEST_F(Automap, MiniMapTurnsThePartysDirectionUp) {
    const grid_map g = build(room, 2, 2);
    party.direction = 1;  // facing east
    // An east wall of the eastern neighbour, drawn on its top edge.
    current_map.sides[static_cast<size_t>(g.sector(3, 2)) * 4 + 1].flags = 0;
    clear_buffer(frame_buffer, PAPER);
    draw_minimap();
    const uint16_t dimmed = blend50(PAPER, 0);
    EXPECT_EQ(pixel(2, 20), dimmed);
    // The eastern neighbour is one cell above the party's (37, 52).
    EXPECT_EQ(pixel(37 + 3, 44 + 3), blend50(dimmed, AUTOMAP_EMPTY));
    EXPECT_EQ(pixel(37 + 3, 44), MINIMAP_WALL);
    // Outside the corner nothing changes.
    EXPECT_EQ(pixel(100, 50), PAPER);
}

// ---------------------------------------------------------------- with fonts

namespace {

class AutomapWithFonts : public Automap {
  protected:
    void SetUp() override {
        Automap::SetUp();
        test_fonts::font_bytes letters;
        for (int c = 32; c < 127; ++c) letters.block(static_cast<uint8_t>(c), 6, 8);
        test_fonts::install(FONT_5X8, letters.bytes);
        test_fonts::font_bytes icons;
        for (int c = 4; c < 8; ++c) icons.block(static_cast<uint8_t>(c), 6, 6);
        test_fonts::install(FONT_IKONES, icons.bytes);
    }
    void TearDown() override {
        reset_font_state();
        undefine_handle(FONT_5X8);
        undefine_handle(FONT_IKONES);
        Automap::TearDown();
    }
};

}  // namespace

TEST_F(AutomapWithFonts, NoteTypedToTheScreensEdgeTakesNoMoreCharacters) {
    build(room, 2, 2);
    ASSERT_TRUE(begin_automap(true));
    automap_click(600, 100);  // the note starts at x = 602: six 6-pixel letters fit
    ASSERT_TRUE(automap.editing);
    for (int k = 0; k < 10; ++k) automap_edit_key(0, 'w');
    EXPECT_EQ(automap.edit_text, "wwwwww");
    automap_edit_key(28, 13);
    ASSERT_EQ(automap_notes().size(), 1u);
    // Drawn, and clicking it takes it off for editing again.
    EXPECT_EQ(automap_note_at(603 + 30, 97), 0);
    end_automap();
}

TEST_F(AutomapWithFonts, PartyIsShownAsTheArrowOfItsFacing) {
    const grid_map g = build(room, 2, 2);
    party.direction = 2;
    mark_party_sectors();
    show();
    const int x = cell_x(2) + 1, y = cell_y(2) + 1;
    // The member of the active group: white (a text colour loses bit 5).
    EXPECT_EQ(pixel(x + 2, y + 2), 0x7FFF & ~0x20);
    EXPECT_EQ(pixel(x + 2, y + 7), CELL_FILL);  // the glyph is 6 rows high
    (void)g;
}

TEST_F(Automap, KeysAndClicksDoNotReachTheScreenUnderTheAutomap) {
    static int heard = 0;
    heard = 0;
    const event_handler under = [](event_msg& msg, void**) {
        if (msg.number == EV_KEY) ++heard;
    };
    build(room, 2, 2);
    add_event_handler(EV_KEY, under);
    ASSERT_TRUE(begin_automap(true));
    add_event_handler(EV_KEY, automap_key_event);
    const int ox = automap.ox;
    dispatch_event(EV_KEY, 32 << 8);  // D
    EXPECT_EQ(automap.ox, ox + 1);
    EXPECT_EQ(heard, 0);
    remove_event_handler(EV_KEY, automap_key_event);
    remove_event_handler(EV_KEY, under);
    end_automap();
}
