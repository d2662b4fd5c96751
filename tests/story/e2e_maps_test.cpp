// The whole program on the headless display with the demo, on a seeded
// random: the automap after a walk through the keep, a note written on it
// that outlives a trip to the cellars; Blink, whose place is picked on the
// automap around the caster (and given up with Esc); and the world map,
// opened from the automap's panel, taking the party to the cellars through
// the nearest way out; and the automap in a battle. Frames are compared with
// golden pictures.
//
// The cellars may greet a first visit with a short video: after each arrival
// there a run presses a key that skips it and means nothing to the game
// screen, and waits before going on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "base/strings.h"
#include "core/random.h"
#include "demo_places.h"
#include "demo_session.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "rules/rune_panel/rune_panel.h"
#include "rules/spells/spells.h"
#include "story/inventory_screen.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "world/automap.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/screen_layout.h"
#include "world/world_map.h"

using namespace demo_places;

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";

constexpr uint16_t KEY_UP = 0x4800, KEY_LEFT = 0x4B00, KEY_RIGHT = 0x4D00, KEY_TAB = 0x0F09,
                   KEY_ENTER = 0x1C0D, KEY_ESC = 0x011B, KEY_I = 0x1769, KEY_R = 0x1372;
constexpr uint16_t KEY_Z = 0x2C7A;  // nothing on the game screen; skips a video
constexpr int NORTH = 0, SOUTH = 2, WEST = 3;
constexpr int AIR = 3;
constexpr int LENKA = 1;
constexpr int BLINK = 63;  // air, first rune, first variant
constexpr int TEXT_NO_WAY_OUT = 121;

// The automap panel's buttons (their middles; a probe checks them against
// the panel's index picture).
constexpr int PANEL_BUTTON_X = 570;
constexpr int WORLD_BUTTON_Y = 401, NOTE_BUTTON_Y = 438, BACK_BUTTON_Y = 457;
// The cellars' door on the world map.
constexpr int CELLARS_X = 444, CELLARS_Y = 175;

bool demo_built() {
    return std::filesystem::exists(demo_dir + "/maps/KEEP.MAP") &&
           std::filesystem::exists(demo_dir + "/maps/CELLARS.MAP");
}

void expect_goldens(const scripted_run_result& run,
                    std::initializer_list<std::pair<size_t, const char*>> goldens) {
    for (const auto& [index, name] : goldens)
        EXPECT_TRUE(golden::matches(golden_dir + name + ".png", run.checkpoints[index].frame_buffer.data()))
            << name;
}

void expect_run_ended_well(const scripted_run_result& run, const demo_session& s) {
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.checkpoints.size(), s.probes.size())
        << "ended at " << run.end_ms << " ms after " << run.present_count << " presents";
}

// Lower-case letters and spaces typed as keys (scan code and character).
void type(demo_session& s, const std::string& text) {
    static const char* const letters = "abcdefghijklmnopqrstuvwxyz";
    static const uint8_t scans[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                      0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                      0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    for (const char c : text) {
        const int scan = c == ' ' ? 0x39 : scans[std::string(letters).find(c)];
        s.press(static_cast<uint16_t>(scan << 8 | static_cast<uint8_t>(c)), 100);
    }
}

void click_panel_button(demo_session& s, int y) {
    s.click(PANEL_BUTTON_X, y);
}

std::pair<int, int> party_cell() {
    return cell_of(party.sector);
}

// After an arrival in the cellars: a video, if one greets the party, is
// skipped and over before anything else is pressed.
void past_any_video(demo_session& s) {
    s.wait(500);
    s.press(KEY_Z, 1500);
}

// The first probe of every run: the seed again, and the keep's monsters
// leave the party alone (the debug console's switch): these runs are about
// maps, not fights.
void calm_start(uint32_t seed) {
    restart_random_after_startup(seed);
    monster_hooks.ignore_party = true;
}

}  // namespace

TEST(MapsEndToEnd, TheAutomapShowsTheWalkedRouteAndANoteWrittenOnItOutlivesATripToTheCellars) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    random_seed(1901);
    demo_session s;
    s.wait(500);
    s.probe([] {
        calm_start(1901);
        ASSERT_EQ(current_map.name, "KEEP.MAP");
        ASSERT_EQ(party_cell(), std::make_pair(5, 18));
        EXPECT_EQ(party.direction, NORTH);
    });
    // Up the gate passage, east through the doorway into the east guard
    // room, north along its east wall and west to the throwing knife.
    for (int i = 0; i < 3; ++i) s.press(KEY_UP);  // 5 15
    s.press(KEY_RIGHT);
    for (int i = 0; i < 3; ++i) s.press(KEY_UP);  // 8 15
    s.press(KEY_LEFT);
    for (int i = 0; i < 2; ++i) s.press(KEY_UP);  // 8 13
    s.press(KEY_LEFT);
    s.press(KEY_UP);  // 7 13
    s.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(7, 13));
        EXPECT_EQ(party.direction, WEST);
        for (const auto& [x, y] : {std::pair{5, 17}, {5, 15}, {6, 15}, {8, 15}, {8, 13}, {7, 13}})
            EXPECT_TRUE(current_map.coords[size_t(sector_at(x, y))].coord_flags & MC_MAPPED) << x << " " << y;
    });
    s.press(KEY_TAB);
    const size_t walked = s.probe([] {
        EXPECT_TRUE(automap.open);
        EXPECT_TRUE(automap.full);
        EXPECT_EQ(automap.mask, 6);  // World, Note and Back offered
        EXPECT_EQ(automap.layer, 0);
        EXPECT_EQ(automap_panel_button(PANEL_BUTTON_X, WORLD_BUTTON_Y), 1);
        EXPECT_EQ(automap_panel_button(PANEL_BUTTON_X, NOTE_BUTTON_Y), 3);
        EXPECT_EQ(automap_panel_button(PANEL_BUTTON_X, BACK_BUTTON_Y), 4);
        EXPECT_TRUE(automap_notes().empty());
    });
    // A note beside the east guard room. The Note button is shown pressed on the
    // party's own automap and takes no click: a note is begun by a click on
    // the map, then a word and Enter.
    click_panel_button(s, NOTE_BUTTON_Y);
    s.probe([] {
        EXPECT_FALSE(automap.note_cursor);
        EXPECT_FALSE(world_map_note_mode);
        EXPECT_EQ(automap.mask, 6);
        EXPECT_FALSE(automap.editing);
    });
    s.click(350, 195);
    s.probe([] {
        EXPECT_TRUE(automap.editing);
        EXPECT_EQ(automap.edit_x, 346);  // snapped to the grid
        EXPECT_EQ(automap.edit_y, 188);
    });
    type(s, "knife");
    s.press(KEY_ENTER);
    int note_x = 0, note_y = 0;
    const size_t noted = s.probe([&] {
        EXPECT_FALSE(automap.editing);
        const std::vector<automap_note> notes = automap_notes();
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].text, "knife");
        EXPECT_EQ(notes[0].layer, 0);
        note_x = notes[0].x;
        note_y = notes[0].y;
        EXPECT_EQ(note_x, 346 + automap_centre_x() - AUTOMAP_CENTRE_X);
        EXPECT_EQ(note_y, 188 + automap_centre_y() - AUTOMAP_CENTRE_Y);
        EXPECT_EQ(automap_note_at(348, 192), 0);  // drawn where it was written
    });
    click_panel_button(s, BACK_BUTTON_Y);
    s.probe([] {
        EXPECT_FALSE(automap.open);
        EXPECT_EQ(current_map.automap_notes.size(), 1u);
    });

    // Down the stairs and up again.
    s.probe([] { put_party(15, 17, SOUTH); });
    s.press(KEY_UP, 800);
    s.probe([] {
        EXPECT_EQ(current_map.name, "CELLARS.MAP");
        EXPECT_TRUE(automap_notes().empty());  // the cellars' own, none
    });
    past_any_video(s);
    s.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(2, 1));
        put_party(2, 1, WEST);
    });
    s.press(KEY_UP, 800);
    s.probe([] {
        EXPECT_EQ(current_map.name, "KEEP.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(15, 17));
    });
    s.press(KEY_TAB);
    s.probe([&] {
        EXPECT_TRUE(automap.open);
        const std::vector<automap_note> notes = automap_notes();
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].text, "knife");
        EXPECT_EQ(notes[0].x, note_x);
        EXPECT_EQ(notes[0].y, note_y);
        // Drawn where the map puts it now that the party stands elsewhere.
        EXPECT_EQ(automap_note_at(note_x - automap_centre_x() + AUTOMAP_CENTRE_X + 2,
                                  note_y - automap_centre_y() + AUTOMAP_CENTRE_Y + 4),
                  0);
    });
    s.press(KEY_TAB);
    s.probe([] { EXPECT_FALSE(automap.open); });

    const scripted_run_result run = s.run();
    ASSERT_NO_FATAL_FAILURE(expect_run_ended_well(run, s));
    expect_goldens(run, {{walked, "maps_automap_walked"}, {noted, "maps_automap_note"}});
}

TEST(MapsEndToEnd, BlinkTakesLenkaToTheSectorPickedOnTheAutomapAndEscCastsNothing) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    random_seed(1902);
    demo_session s;
    const party_member& lenka = party_members[LENKA];
    int mp_before = 0, start = 0, target = 0;
    s.wait(500);
    // In the courtyard facing north: Lenka is given the air rune Blink is
    // composed of.
    s.probe([&] {
        calm_start(1902);
        party_state.runes[AIR] |= 1;
        ASSERT_NE(game_spells().find(BLINK), nullptr);
        EXPECT_EQ(std::string(game_spells().find(BLINK)->spell_name), "Blink");
        put_party(5, 10, NORTH);
        ASSERT_EQ(can_cast(lenka, BLINK), 0);
        mp_before = lenka.mp;
        start = party.sector;
        target = sector_at(5, 8);
        ASSERT_TRUE(current_map.coords[size_t(target)].coord_flags & MC_MAPPED);
    });
    s.press(KEY_I);
    s.click(party_slot_x(LENKA) + PARTY_SLOT_WIDTH / 2, PANEL_FIRST_ROW + 40);
    s.press(KEY_R);
    s.click_in(rune_tab_rect(AIR));
    s.click_in(rune_place_rect(0));
    s.click_in(rune_variant_rect(0));
    s.probe([&] {
        EXPECT_TRUE(automap.open);
        EXPECT_FALSE(automap.full);
        EXPECT_EQ(automap.mask, 7);
        // The click below goes to the target's cell.
        EXPECT_EQ(AUTOMAP_CELL * 5 - automap_centre_x() + AUTOMAP_CENTRE_X, 320);
        EXPECT_EQ(AUTOMAP_CELL * 8 - automap_centre_y() + AUTOMAP_CENTRE_Y, 189);
        EXPECT_EQ(automap_sector_at(324, 193), target);
    });
    s.press(KEY_ESC);
    s.probe([&] {
        EXPECT_FALSE(automap.open);
        EXPECT_EQ(party.sector, start);
        EXPECT_EQ(lenka.sector, start);
        EXPECT_EQ(lenka.mp, mp_before);
        EXPECT_EQ(inventory_shown_slot(), LENKA);
    });
    // Again, and a click on the cell two steps north.
    s.press(KEY_R);
    s.click_in(rune_tab_rect(AIR));
    s.click_in(rune_place_rect(0));
    s.click_in(rune_variant_rect(0));
    const size_t picking = s.probe([&] {
        EXPECT_TRUE(automap.open);
        EXPECT_FALSE(automap.full);
        // Farther than two steps is not offered.
        EXPECT_EQ(automap_sector_at(324, 185), 0);
    });
    s.click(324, 193);
    s.probe([&] {
        EXPECT_FALSE(automap.open);
        EXPECT_EQ(party.sector, target);
        EXPECT_EQ(lenka.sector, target);
        EXPECT_EQ(lenka.mp, mp_before - 10);
        EXPECT_EQ(inventory_shown_slot(), LENKA);
    });
    s.wait(1000);
    const size_t blinked = s.probe([] { EXPECT_EQ(inventory_shown_slot(), LENKA); });
    s.press(KEY_I);
    const size_t arrived = s.probe([&] {
        EXPECT_EQ(inventory_shown_slot(), -1);
        EXPECT_TRUE(scene.running);
        EXPECT_EQ(party_cell(), std::make_pair(5, 8));
        // The spell moves its target, the caster, and the view goes with
        // her; the others stay where they stood.
        for (const int other : {0, 2, 3}) EXPECT_EQ(party_members[other].sector, start) << other;
    });

    const scripted_run_result run = s.run();
    ASSERT_NO_FATAL_FAILURE(expect_run_ended_well(run, s));
    expect_goldens(
        run,
        {{picking, "maps_blink_picking"}, {blinked, "maps_blink_done"}, {arrived, "maps_blink_arrived"}});
}

TEST(MapsEndToEnd, TheWorldMapTakesThePartyToTheCellarsThroughTheNearestWayOut) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    random_seed(1903);
    demo_session s;
    int way_out = 0;
    s.wait(500);
    // The cellars are on the world map once the party has been there.
    s.probe([] {
        calm_start(1903);
        put_party(15, 17, SOUTH);
    });
    s.press(KEY_UP, 800);
    s.probe([] { ASSERT_EQ(current_map.name, "CELLARS.MAP"); });
    past_any_video(s);
    s.probe([] { put_party(2, 1, WEST); });
    s.press(KEY_UP, 800);
    // Back in the keep at the stairs, looking west along the corridor.
    s.press(KEY_LEFT);
    s.probe([] {
        ASSERT_EQ(current_map.name, "KEEP.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(15, 17));
        EXPECT_TRUE(current_map.coords[size_t(sector_at(12, 17))].coord_flags & MC_MAPPED);
    });
    s.press(KEY_TAB);
    s.probe([] {
        EXPECT_TRUE(automap.open);
        EXPECT_EQ(automap.mask, 6);
    });
    click_panel_button(s, WORLD_BUTTON_Y);
    const size_t shown = s.probe([] {
        EXPECT_FALSE(automap.open);
        ASSERT_TRUE(world_map_open());
        EXPECT_FALSE(world_map_note_mode);
        const world_place& cellars = world_map_state().places[3];
        EXPECT_TRUE(cellars.defined);
        EXPECT_EQ(cellars.map, "CELLARS.MAP");
    });
    // The demo's keep has no way out (no sector of type 19): the panel says so.
    s.click(CELLARS_X, CELLARS_Y);
    s.probe([] {
        EXPECT_TRUE(world_map_open());
        EXPECT_EQ(current_map.name, "KEEP.MAP");
        EXPECT_EQ(panel_message, string_list_get(ui_strings, TEXT_NO_WAY_OUT));
    });
    // Two seen sectors of the corridor west of the stairs made ways out, as
    // a map would mark them: the party leaves through the nearer one.
    s.probe([&] {
        way_out = sector_at(12, 17);
        const int farther = sector_at(10, 17);
        ASSERT_TRUE(current_map.coords[size_t(farther)].coord_flags & MC_MAPPED);
        current_map.sectors[size_t(farther)].sector_type = 19;
        current_map.sectors[size_t(way_out)].sector_type = 19;
        EXPECT_EQ(world_map_way_out(), way_out);
    });
    s.click(CELLARS_X, CELLARS_Y);
    s.wait(800);
    s.probe([&] {
        EXPECT_FALSE(world_map_open());
        EXPECT_EQ(current_map.name, "CELLARS.MAP");
        // Where it left the cellars: in the stairs, whose side took it up.
        EXPECT_EQ(party_cell(), std::make_pair(1, 1));
        EXPECT_EQ(last_place("KEEP.MAP"), way_out);
    });
    // The message about the way out has had its time (500 ticks of 25 ms).
    s.wait(12500);
    s.probe([] { EXPECT_EQ(panel_mode, PANEL_PARTY); });

    const scripted_run_result run = s.run();
    ASSERT_NO_FATAL_FAILURE(expect_run_ended_well(run, s));
    expect_goldens(run, {{shown, "maps_world_map"}});
}

TEST(MapsEndToEnd, InABattleTheAutomapOffersOnlyTheWayBackAndItsKeysMoveTheView) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    random_seed(1904);
    demo_session s;
    int cx = 0, cy = 0;
    s.wait(500);
    // Before the grey goblin in the great hall's doorway: a battle begins.
    s.probe([] {
        restart_random_after_startup(1904);
        monster_hooks.ignore_party = false;  // the other runs' calm does not hold here
        put_party(16, 8, NORTH);
        EXPECT_TRUE(monster_battle.battle);
    });
    s.wait(1500);
    s.press(KEY_TAB);
    s.probe([&] {
        ASSERT_TRUE(automap.open);
        EXPECT_TRUE(automap.full);
        EXPECT_EQ(automap.mask, 7);
        cx = automap_centre_x();
        cy = automap_centre_y();
    });
    click_panel_button(s, WORLD_BUTTON_Y);  // pressed: nothing
    s.press(KEY_UP);
    s.press(KEY_LEFT);
    s.press(KEY_LEFT);
    s.probe([&] {
        EXPECT_TRUE(automap.open);
        EXPECT_FALSE(world_map_open());
        // Up lowers the offset by a cell, Left by two; the map point at the
        // screen's middle moves that far the other way.
        EXPECT_EQ(automap_centre_x(), cx + 2 * AUTOMAP_CELL);
        EXPECT_EQ(automap_centre_y(), cy + AUTOMAP_CELL);
    });
    click_panel_button(s, BACK_BUTTON_Y);
    s.probe([] {
        EXPECT_FALSE(automap.open);
        EXPECT_TRUE(monster_battle.battle);
        EXPECT_TRUE(scene.running);
    });

    const scripted_run_result run = s.run();
    ASSERT_NO_FATAL_FAILURE(expect_run_ended_well(run, s));
}
