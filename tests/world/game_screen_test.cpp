// The game screen and party movement on small maps written in the map
// source language, with the headless display recording what is shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "compiled_map.h"
#include "core/events.h"
#include "core/handles.h"
#include "core/random.h"
#include "core/timers.h"
#include "forge/map_source.h"
#include "gfx/screen.h"
#include "platform/display.h"
#include "platform/headless_display.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/movement.h"
#include "world/movement_rules.h"
#include "world/panel.h"
#include "world/party_rules.h"
#include "world/party_standin.h"
#include "world/screenshot.h"
#include "world/view.h"

namespace {

// The common head of the test maps: one wall and one floor texture.
const std::string map_head =
    "[map]\ntitle = Test\nfade = 0 0 0\n"
    "[textures]\nwall w = W.PCX WL.PCX WR.PCX\nfloor f = F.PCX\nceiling c = C.PCX\n"
    "[legend]\n# = wall=w\n. = floor=f ceiling=c\n";

// Compiles a map source into current_map (records only: no pictures).
std::map<std::tuple<int, int, int>, int> use_map(const std::string& body) {
    return use_compiled_map(map_head + body);
}

int cell(const std::map<std::tuple<int, int, int>, int>& at, int x, int y) {
    return at.at({x, y, 0});
}

// Side events as movement sends them to the map's rules (which get them too).
std::vector<std::pair<int, int>> side_events;
void (*rules_side_event)(int side, int events) = nullptr;
void record_side_event(int side, int events) {
    side_events.emplace_back(side, events);
    if (rules_side_event) rules_side_event(side, events);
}

class GameScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        set_display_factory([] { return std::make_unique<HeadlessDisplay>(); });
        display_open(video_settings{}, "test");
        install_display_hooks();
        reset_movement_rules();
        reset_party_rules();
        define_handle(H_PANEL, "", draw_panel_picture, PATH_DATA);
        forget_screen_pictures();
        scene = scene_state{};
        movement = movement_state{};
        panel_mode = PANEL_PARTY;
        side_events.clear();
        rules_side_event = movement_rules.send_side_event;
        movement_rules.send_side_event = record_side_event;
    }
    void TearDown() override {
        stop_game_screen();
        clear_event_tree();
        clear_timers();
        undefine_handle(H_PANEL);
        destroy_display();
        remove_display_hooks();
        set_display_factory(nullptr);
        current_map = loaded_map{};
    }
    HeadlessDisplay& headless() { return static_cast<HeadlessDisplay&>(display()); }
    size_t transition_frames() const {
        size_t n = 0;
        for (const headless_frame& f : static_cast<HeadlessDisplay&>(display()).frames())
            n += f.in_transition;
        return n;
    }
};

}  // namespace

TEST(Compass, TurnsTheShorterWayToTheRestFrame) {
    scene.compass_frame = compass_rest_frame(3);
    EXPECT_EQ(scene.compass_frame, 0);
    party.direction = 0;
    std::vector<int> frames;
    while (compass_step()) frames.push_back(scene.compass_frame);
    EXPECT_EQ(frames, (std::vector<int>{39, 38, 37, 36, 35, 34, 33, 32, 31, 30}));
    // And back from north to west: 30 up to 39 and round to 0.
    party.direction = 3;
    frames.clear();
    while (compass_step()) frames.push_back(scene.compass_frame);
    EXPECT_EQ(frames.back(), 0);
    EXPECT_EQ(frames.size(), 10u);
    // Facing east from north goes down 30 -> 20.
    party.direction = 1;
    scene.compass_frame = 30;
    compass_step();
    EXPECT_EQ(scene.compass_frame, 29);
}

TEST(ArrowPanel, HighlightRunsFramesUpAndDownThenRests) {
    start_arrow_highlight(ARROW_FORWARD);
    std::vector<int> frames{arrow_frame(scene.arrow_counter)};
    while (arrow_highlight_step()) frames.push_back(scene.arrow < 0 ? -1 : arrow_frame(scene.arrow_counter));
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 2, 1, 0, -1}));
    EXPECT_EQ(scene.arrow, -1);
}

TEST(ArrowPanel, ClicksMapToTurnsAboveAndStepsBelow) {
    EXPECT_EQ(arrow_at(500, 380), ARROW_TURN_LEFT);
    EXPECT_EQ(arrow_at(569, 400), ARROW_FORWARD);
    EXPECT_EQ(arrow_at(639, 428), ARROW_TURN_RIGHT);
    EXPECT_EQ(arrow_at(498, 479), ARROW_LEFT);
    EXPECT_EQ(arrow_at(569, 470), ARROW_BACK);
    EXPECT_EQ(arrow_at(630, 460), ARROW_RIGHT);
    EXPECT_EQ(arrow_at(497, 400), -1);
    EXPECT_EQ(arrow_at(600, 377), -1);
}

TEST_F(GameScreen, StepIntoAWallStaysAndSendsTheBlockedEvent) {
    auto at = use_map("[grid]\n####\n#..#\n####\n[map]\nstart = 1 1 west\n");
    const int start = cell(at, 1, 1);
    new_standin_party(start, 3);
    EXPECT_FALSE(step(STEP_FORWARD));
    EXPECT_EQ(party.sector, start);
    const int side = start * 4 + 3;
    EXPECT_EQ(side_events,
              (std::vector<std::pair<int, int>>{{side, SIDE_EV_APPROACH}, {side, SIDE_EV_BLOCKED}}));
    EXPECT_EQ(transition_frames(), 0u);
    EXPECT_FALSE(movement.moving);
    // The way east is open: passed, moved, with a zoom.
    side_events.clear();
    party.direction = 1;
    EXPECT_TRUE(step(STEP_FORWARD));
    EXPECT_EQ(party.sector, cell(at, 2, 1));
    EXPECT_EQ(side_events.back(), std::make_pair(start * 4 + 1, static_cast<int>(SIDE_EV_PASSED)));
    EXPECT_GT(transition_frames(), 0u);
    for (const standin_member& m : party.members) EXPECT_EQ(m.sector, party.sector);
    EXPECT_TRUE(current_map.coords[static_cast<size_t>(party.sector)].coord_flags & MC_PLAYER);
    EXPECT_FALSE(current_map.coords[static_cast<size_t>(start)].coord_flags & MC_PLAYER);
}

TEST_F(GameScreen, AMissingExitIsAWallEvenWithoutItsFlags) {
    auto at = use_map("[grid]\n###\n#.#\n###\n[map]\nstart = 1 1 north\n");
    const int start = cell(at, 1, 1);
    new_standin_party(start, 0);
    // An action may have cleared !PLR of the side; the exit is still 0.
    current_map.sides[static_cast<size_t>(start * 4)].flags &= ~SIDE_NOPLAYER;
    current_map.sectors[static_cast<size_t>(start)].exits[0] = 0;
    EXPECT_FALSE(step(STEP_FORWARD));
    EXPECT_EQ(party.sector, start);
    EXPECT_EQ(side_events.back().second, SIDE_EV_BLOCKED);
}

TEST_F(GameScreen, SidewaysAndBackStepsAreRelativeToTheFacing) {
    auto at = use_map("[grid]\n#####\n#...#\n#...#\n#####\n[map]\nstart = 2 1 east\n");
    new_standin_party(cell(at, 2, 1), 1);  // facing east
    EXPECT_TRUE(step(STEP_RIGHT));         // south
    EXPECT_EQ(party.sector, cell(at, 2, 2));
    EXPECT_TRUE(step(STEP_BACK));  // west
    EXPECT_EQ(party.sector, cell(at, 1, 2));
    EXPECT_TRUE(step(STEP_LEFT));  // north
    EXPECT_EQ(party.sector, cell(at, 1, 1));
    EXPECT_EQ(party.direction, 1);
}

TEST_F(GameScreen, CarrySectorTurnsByItsSideAndMovesOn) {
    auto at = use_map(
        "[grid]\n#####\n#...#\n#####\n[map]\nstart = 1 1 east\n"
        "[sectors]\n2 1: type=2 action_side=south target=3,1\n");
    new_standin_party(cell(at, 1, 1), 1);
    EXPECT_TRUE(step(STEP_FORWARD));
    EXPECT_EQ(party.sector, cell(at, 3, 1));
    EXPECT_EQ(party.direction, 3);  // east turned by 2: facing backwards
}

TEST_F(GameScreen, TeleportMovesThePartyOnArrival) {
    auto at = use_map(
        "[grid]\n######\n#....#\n######\n[map]\nstart = 1 1 east\n"
        "[sectors]\n2 1: type=12 action_side=west target=4,1\n");
    new_standin_party(cell(at, 1, 1), 1);
    EXPECT_TRUE(step(STEP_FORWARD));
    EXPECT_EQ(party.sector, cell(at, 4, 1));
    EXPECT_EQ(party.direction, 3);
    EXPECT_EQ(scene.compass_frame, compass_rest_frame(3));
}

TEST_F(GameScreen, CarryAndTeleportWithoutAPlaceMoveNobody) {
    auto at = use_map(
        "[grid]\n######\n#....#\n######\n[map]\nstart = 1 1 east\n"
        "[sectors]\n2 1: type=2 target=4,1\n3 1: type=12 target=4,1\n");
    // The loader keeps targets as the file has them.
    current_map.sectors[static_cast<size_t>(cell(at, 2, 1))].action_target = 0;
    current_map.sectors[static_cast<size_t>(cell(at, 3, 1))].action_target = 900;
    new_standin_party(cell(at, 1, 1), 1);
    EXPECT_TRUE(step(STEP_FORWARD));
    EXPECT_EQ(party.sector, cell(at, 2, 1));
    EXPECT_TRUE(step(STEP_FORWARD));
    EXPECT_EQ(party.sector, cell(at, 3, 1));
    EXPECT_EQ(party.direction, 1);
}

namespace {
// Counts the turns of the party through the hook every turn asks first.
int turns = 0;
void count_turns() {
    turns = 0;
    movement_rules.run_hook = [](int number, int, int) {
        turns += number == HOOK_BEFORE_TURN;
        return true;
    };
}
}  // namespace

TEST_F(GameScreen, SpinnerTurnsEightTimesAtAWorldTickNotAfterTheStep) {
    auto at = use_map("[grid]\n####\n#..#\n####\n[map]\nstart = 1 1 east\n[sectors]\n2 1: type=20\n");
    new_standin_party(cell(at, 1, 1), 1);
    movement.turn_speed = 0;
    count_turns();
    EXPECT_TRUE(step(STEP_FORWARD));
    EXPECT_EQ(turns, 0);  // no spin right after the move
    world_update();
    EXPECT_EQ(turns, 8);
    EXPECT_EQ(party.direction, 1);  // eight quarter turns bring it back
    world_update();
    EXPECT_EQ(turns, 16);  // standing on it spins at every tick
    EXPECT_FALSE(movement.spin_running);
}

TEST_F(GameScreen, SpinnerSpinsThePartyWhenAnyMemberStandsOnIt) {
    auto at = use_map("[grid]\n#####\n#...#\n#####\n[map]\nstart = 1 1 east\n[sectors]\n3 1: type=20\n");
    new_standin_party(cell(at, 1, 1), 1);
    movement.turn_speed = 0;
    count_turns();
    // A member of another group stands on the spinner, away from the party.
    party.members[3].group = 2;
    party.members[3].sector = cell(at, 3, 1);
    world_update();
    EXPECT_EQ(turns, 8);
    // Floating over it, nobody spins.
    party.members[3].levitating = true;
    world_update();
    EXPECT_EQ(turns, 8);
}

TEST_F(GameScreen, EveryTurnRunsTheWorldUpdateTheTurnsOfASpinToo) {
    auto at = use_map("[grid]\n####\n#..#\n####\n[map]\nstart = 1 1 east\n[sectors]\n2 1: type=20\n");
    new_standin_party(cell(at, 1, 1), 1);
    movement.turn_speed = 0;
    static int ticks = 0;
    ticks = 0;
    movement_rules.world_tick = [] { ++ticks; };
    EXPECT_TRUE(turn(+1));
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(turn(-1));
    EXPECT_EQ(ticks, 2);
    // On the spinner: the tick's spin turns eight times, each turn with its
    // own update, and none of those starts another spin.
    place_party(cell(at, 2, 1), 1);
    world_update();
    EXPECT_EQ(ticks, 3 + 8);
    EXPECT_EQ(party.direction, 1);
    EXPECT_FALSE(movement.spin_running);
}

TEST_F(GameScreen, StartingTheScreenForgetsTheSpecialTextures) {
    auto at = use_map("[grid]\n###\n#.#\n###\n[map]\nstart = 1 1 east\n");
    const int here = cell(at, 1, 1);
    new_standin_party(here, 1);
    add_special_texture(here, 0x7000, 3, 5, 0);  // would still play for a while
    ASSERT_TRUE(current_map.coords[static_cast<size_t>(here)].coord_flags & MC_SPECTXTR);
    start_game_screen();  // draws the view: no texture left, the mark goes
    EXPECT_FALSE(current_map.coords[static_cast<size_t>(here)].coord_flags & MC_SPECTXTR);
}

TEST_F(GameScreen, DeadlyAndHarmfulSectorsHurtTheMembersStandingThere) {
    auto at = use_map(
        "[grid]\n#####\n#...#\n#####\n[map]\nstart = 1 1 east\n[sectors]\n2 1: type=22\n3 1: type=21\n");
    new_standin_party(cell(at, 1, 1), 1);
    step(STEP_FORWARD);
    for (const standin_member& m : party.members) EXPECT_EQ(m.hit_points, m.max_hit_points - 3);
    party.members[0].hit_points = 2;
    sector_effects(WORLD_TICK_STRENGTH, false);
    EXPECT_EQ(party.members[0].hit_points, 0);  // fewer than 4: takes the strength
    step(STEP_FORWARD);
    for (const standin_member& m : party.members) EXPECT_FALSE(m.alive());
    EXPECT_TRUE(current_map.coords[static_cast<size_t>(party.sector)].coord_flags & MC_DEAD_PLAYER);
}

TEST_F(GameScreen, PlacesHurtMembersThroughThePartyRules) {
    auto at = use_map(
        "[grid]\n######\n#....#\n######\n[map]\nstart = 1 1 east\n"
        "[sectors]\n2 1: type=9\n3 1: type=21\n4 1: type=11\n");
    new_standin_party(cell(at, 1, 1), 1);
    static std::vector<std::string> calls;
    calls.clear();
    party_rules.tire = [](int member, bool after_move) {
        calls.push_back("tire " + std::to_string(member) + (after_move ? " move" : " tick"));
    };
    party_rules.kill = [](int member) { calls.push_back("kill " + std::to_string(member)); };
    party_rules.fall = [](int member) { calls.push_back("fall " + std::to_string(member)); };
    party.members[1].levitating = true;
    step(STEP_FORWARD);  // water
    EXPECT_EQ(calls, (std::vector<std::string>{"tire 0 move", "tire 2 move", "tire 3 move"}));
    calls.clear();
    step(STEP_FORWARD);  // deadly: the rules decide, the stand-in members stay alive
    EXPECT_EQ(calls, (std::vector<std::string>{"kill 0", "kill 1", "kill 2", "kill 3"}));
    EXPECT_TRUE(party.members[0].alive());
    calls.clear();
    step(STEP_FORWARD);  // a pit without a target: nowhere to fall
    EXPECT_EQ(calls, (std::vector<std::string>{"kill 0", "kill 2", "kill 3"}));
    EXPECT_EQ(party.members[0].sector, cell(at, 4, 1));
}

TEST_F(GameScreen, PitDropsTheGroupToItsTargetAndWaterTiresItsWaders) {
    auto at = use_map(
        "[grid]\n######\n#....#\n######\n[map]\nstart = 1 1 east\n"
        "[sectors]\n2 1: type=11 target=4,1\n3 1: type=9\n");
    new_standin_party(cell(at, 1, 1), 1);
    random_seed(7);
    EXPECT_TRUE(step(STEP_FORWARD));
    EXPECT_EQ(party.sector, cell(at, 4, 1));  // fell through to the pit's target
    for (const standin_member& m : party.members) {
        EXPECT_EQ(m.sector, party.sector);
        EXPECT_LE(m.hit_points, m.max_hit_points - m.max_hit_points / 3);
        EXPECT_GT(m.hit_points, 0);
    }
    // A levitating member floats over the pit, the others fall.
    place_party(cell(at, 1, 1), 1);
    party.members[1].levitating = true;
    step(STEP_FORWARD);
    EXPECT_EQ(party.members[1].sector, cell(at, 2, 1));
    EXPECT_EQ(party.members[0].sector, cell(at, 4, 1));
    // Water: 20 condition after a move, 2 at each tick, drowned at 0.
    for (standin_member& m : party.members) m.levitating = false;
    place_party(cell(at, 3, 1), 1);
    party.members[2].condition = 22;
    sector_effects(AFTER_MOVE_STRENGTH, true);
    EXPECT_EQ(party.members[2].condition, 2);
    sector_effects(WORLD_TICK_STRENGTH, false);
    EXPECT_EQ(party.members[2].condition, 0);
    EXPECT_FALSE(party.members[2].alive());
}

TEST_F(GameScreen, BoatCarriesThePartyOverWaterAndRefusesSidewaysSteps) {
    auto at = use_map(
        "[grid]\n######\n#....#\n#....#\n######\n[map]\nstart = 1 1 east\n"
        "[sectors]\n2 1: type=3\n3 1: type=9\n");
    new_standin_party(cell(at, 1, 1), 1);
    EXPECT_TRUE(step(STEP_FORWARD));
    EXPECT_TRUE(movement.boat_mode);
    EXPECT_FALSE(step(STEP_RIGHT));
    EXPECT_EQ(party.sector, cell(at, 2, 1));
    EXPECT_TRUE(step(STEP_FORWARD));  // the boat moves onto the water with the party
    EXPECT_EQ(current_map.sectors[static_cast<size_t>(cell(at, 3, 1))].sector_type, 3);
    EXPECT_EQ(current_map.sectors[static_cast<size_t>(cell(at, 2, 1))].sector_type, 9);
    EXPECT_TRUE(movement.boat_mode);
    for (const standin_member& m : party.members) EXPECT_EQ(m.condition, m.max_condition);  // dry in the boat
    EXPECT_TRUE(step(STEP_FORWARD));  // onto land: the boat stays behind
    EXPECT_EQ(current_map.sectors[static_cast<size_t>(cell(at, 3, 1))].sector_type, 3);
    EXPECT_FALSE(movement.boat_mode);
    EXPECT_TRUE(step(STEP_RIGHT));
}

TEST_F(GameScreen, ClicksOnTheArrowPanelStepAndTurn) {
    auto at = use_map("[grid]\n####\n#..#\n####\n[map]\nstart = 1 1 east\n");
    new_standin_party(cell(at, 1, 1), 1);
    start_game_screen();
    mouse_record click;
    click.x = 569;
    click.y = 400;
    click.left = 1;
    click.events = MOUSE_EV_LEFT_DOWN;
    dispatch_event(EV_MOUSE, &click);
    EXPECT_EQ(party.sector, cell(at, 2, 1));
    click.x = 630;  // turn right
    dispatch_event(EV_MOUSE, &click);
    EXPECT_EQ(party.direction, 2);
    click.events = MOUSE_EV_MOTION;  // moving over it does nothing
    click.x = 520;
    dispatch_event(EV_MOUSE, &click);
    EXPECT_EQ(party.direction, 2);
}

TEST_F(GameScreen, TurnPlaysTheSlideAndWalkSpeedZeroPlaysNone) {
    auto at = use_map("[grid]\n####\n#..#\n####\n[map]\nstart = 1 1 east\n");
    new_standin_party(cell(at, 1, 1), 1);
    EXPECT_TRUE(turn(+1));
    EXPECT_EQ(party.direction, 2);
    EXPECT_GT(transition_frames(), 0u);
    EXPECT_EQ(scene.arrow, ARROW_TURN_RIGHT);
    for (const standin_member& m : party.members) EXPECT_EQ(m.direction, 2);
    const size_t before = transition_frames();
    movement.walk_speed = 0;
    party.direction = 1;
    EXPECT_TRUE(step(STEP_FORWARD));
    headless().pump();
    EXPECT_EQ(transition_frames(), before);
}

TEST_F(GameScreen, HooksMayCancelStepsAndTurns) {
    auto at = use_map("[grid]\n####\n#..#\n####\n[map]\nstart = 1 1 east\n");
    new_standin_party(cell(at, 1, 1), 1);
    movement_rules.run_hook = [](int, int, int) { return false; };
    EXPECT_FALSE(step(STEP_FORWARD));
    EXPECT_FALSE(turn(-1));
    EXPECT_EQ(party.sector, cell(at, 1, 1));
    EXPECT_EQ(party.direction, 1);
}

TEST_F(GameScreen, KeysMoveAndEscapeLeaves) {
    auto at = use_map("[grid]\n#####\n#...#\n#####\n[map]\nstart = 1 1 east\n");
    new_standin_party(cell(at, 1, 1), 1);
    start_game_screen();
    dispatch_event(EV_KEY, 0x4800);  // Up
    EXPECT_EQ(party.sector, cell(at, 2, 1));
    dispatch_event(EV_KEY, 0x1071);  // Q
    EXPECT_EQ(party.direction, 0);
    dispatch_event(EV_KEY, 0x1265);  // E
    dispatch_event(EV_KEY, 0x2064);  // D: to the right of east is south (a wall)
    EXPECT_EQ(party.sector, cell(at, 2, 1));
    static int results = 0;
    results = 0;
    add_event_handler(EV_GAME_RESULT,
                      [](event_msg& msg, void**) { results += msg.number == EV_GAME_RESULT; });
    dispatch_event(EV_KEY, 0x011B);
    EXPECT_EQ(results, 1);
    EXPECT_FALSE(scene.running);
    EXPECT_EQ(find_timer(TIMER_SCENE), nullptr);
}

TEST_F(GameScreen, PanelMessageEndsAfterItsTicksOrWhenForced) {
    auto at = use_map("[grid]\n###\n#.#\n###\n[map]\nstart = 1 1 east\n");
    new_standin_party(cell(at, 1, 1), 1);
    show_panel_message(nullptr);
    EXPECT_EQ(panel_mode, PANEL_MESSAGE);
    EXPECT_EQ(panel_message, "Chybi popisek!!");
    run_timers(499);
    EXPECT_EQ(panel_mode, PANEL_MESSAGE);
    show_panel_message("again");  // replaces it and starts the 500 ticks anew
    run_timers(1);
    run_timers(498);
    EXPECT_EQ(panel_mode, PANEL_MESSAGE);
    run_timers(1);
    EXPECT_EQ(panel_mode, PANEL_PARTY);
    show_panel_message("forced");
    panel_back_to_party(true);
    EXPECT_EQ(panel_mode, PANEL_PARTY);
    EXPECT_EQ(find_timer(TIMER_PANEL), nullptr);
}

TEST_F(GameScreen, SceneTimerRedrawsAndPresents) {
    auto at = use_map("[grid]\n###\n#.#\n###\n[map]\nstart = 1 1 east\n");
    new_standin_party(cell(at, 1, 1), 1);
    start_game_screen();
    headless().pump();
    const size_t presents = headless().present_count();
    // The view looks different now (the fog's colour), so the redraw has a
    // change to show.
    current_map.fade_colour = 0x1234;
    static int redrawn = 0;
    redrawn = 0;
    add_event_handler(EV_SCENE_REDRAWN,
                      [](event_msg& msg, void**) { redrawn += msg.number == EV_SCENE_REDRAWN; });
    for (int i = 0; i < 10; ++i) run_timers(1);
    headless().pump();
    EXPECT_EQ(redrawn, 2);
    EXPECT_GT(headless().present_count(), presents);
    // Black lines above and below the view.
    EXPECT_EQ(frame_buffer[200 * 640 + 5], 0x1234);
    for (int x = 0; x < 640; x += 37) {
        EXPECT_EQ(frame_buffer[16 * 640 + x], 0);
        EXPECT_EQ(frame_buffer[377 * 640 + x], 0);
    }
}

// ---------------------------------------------------------------- screenshots

namespace {
struct screenshot_folder {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vorthan-shots-" + std::to_string(::getpid()));
    screenshot_folder() {
        std::filesystem::create_directories(path);
        std::filesystem::current_path(path);
        reset_screenshot_numbering();
    }
    ~screenshot_folder() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(path);
        reset_screenshot_numbering();
    }
    std::vector<uint8_t> read(const std::string& name) const {
        std::ifstream in(path / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};
uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
}  // namespace

TEST(Screenshot, WritesA24BitBottomUpBmpOfTheTarget) {
    screenshot_folder folder;
    set_target(frame_buffer);
    clear_buffer(frame_buffer, 0);
    frame_buffer[0] = 0x7FFF;                    // top-left: white
    frame_buffer[479 * 640 + 1] = 0x7C00 | 0x1;  // bottom row, second pixel: red + a little blue
    EXPECT_EQ(take_screenshot(), "dump0000.bmp");
    const std::vector<uint8_t> bmp = folder.read("dump0000.bmp");
    ASSERT_EQ(bmp.size(), 54u + 640u * 480u * 3u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(u32(bmp, 2), bmp.size());
    EXPECT_EQ(u32(bmp, 10), 54u);
    EXPECT_EQ(u32(bmp, 14), 40u);
    EXPECT_EQ(u32(bmp, 18), 640u);
    EXPECT_EQ(u32(bmp, 22), 480u);
    EXPECT_EQ(bmp[26] | bmp[27] << 8, 1);
    EXPECT_EQ(bmp[28] | bmp[29] << 8, 24);
    EXPECT_EQ(u32(bmp, 34), 640u * 480u * 3u);
    // The bottom row comes first: its second pixel is blue 0x08, green 0, red 0xF8.
    EXPECT_EQ(bmp[54 + 3], 0x08);
    EXPECT_EQ(bmp[54 + 4], 0x00);
    EXPECT_EQ(bmp[54 + 5], 0xF8);
    // The top-left pixel is the first of the last row written.
    const size_t top = 54 + 479u * 640u * 3u;
    EXPECT_EQ(bmp[top], 0xF8);
    EXPECT_EQ(bmp[top + 1], 0xF8);
    EXPECT_EQ(bmp[top + 2], 0xF8);
}

TEST(Screenshot, NumberingContinuesAfterTheLargestExistingFile) {
    screenshot_folder folder;
    for (const char* name : {"dump0007.bmp", "dump0012.bmp", "dump12.bmp", "xdump0099.bmp", "dump0050.BMP"})
        std::ofstream(folder.path / name) << "x";
    EXPECT_EQ(take_screenshot(), "dump0013.bmp");
    EXPECT_EQ(take_screenshot(), "dump0014.bmp");
    EXPECT_TRUE(std::filesystem::exists(folder.path / "dump0014.bmp"));
}

TEST(Screenshot, F1KeyTakesOneOtherKeysNone) {
    screenshot_folder folder;
    add_event_handler(EV_KEY, screenshot_key_handler);
    dispatch_event(EV_KEY, 0x4800);
    EXPECT_FALSE(std::filesystem::exists(folder.path / "dump0000.bmp"));
    dispatch_event(EV_KEY, 0x3B00);
    EXPECT_TRUE(std::filesystem::exists(folder.path / "dump0000.bmp"));
    clear_event_tree();
}
