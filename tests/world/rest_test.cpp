// Resting with F4 on the headless display: the characters' rules installed,
// a small map, the rest task driven by tick and key events.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/strings.h"
#include "compiled_map.h"
#include "core/events.h"
#include "core/tasks.h"
#include "core/timers.h"
#include "forge/map_source.h"
#include "gfx/screen.h"
#include "platform/display.h"
#include "platform/headless_display.h"
#include "rules/party.h"
#include "rules/binding/rest_rules.h"
#include "world/character_rules.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/movement.h"
#include "world/movement_rules.h"
#include "world/panel.h"
#include "world/party_rules.h"
#include "world/party_standin.h"
#include "world/rest.h"

namespace {

constexpr int KEY_F4 = 0x3E00, KEY_SPACE = 0x3920;
constexpr int HP_REGEN = 3;

void use_map(const std::string& grid) {
    const std::string source =
        "[map]\ntitle = Test\nfade = 0 0 0\n"
        "[textures]\nwall w = W.PCX WL.PCX WR.PCX\nfloor f = F.PCX\nceiling c = C.PCX\n"
        "[legend]\n# = wall=w\n. = floor=f ceiling=c\n[grid]\n" +
        grid + "[map]\nstart = 1 1 east\n";
    const auto sector_at = use_compiled_map(source);
    new_standin_party(sector_at.at({1, 1, 0}), 1);
}

// The hooks run through movement's table, and whether hook 1 allows the rest.
std::vector<int> hooks_run;
bool rest_allowed = true;
bool record_hook(int number, int sector, int direction) {
    hooks_run.push_back(number);
    if (number == HOOK_BEFORE_REST) return rest_allowed;
    return run_hook(number, sector, direction);
}

std::vector<bool> sound_switches;
bool sound_on = true;
bool switch_sound(bool on) {
    sound_switches.push_back(on);
    const bool was = sound_on;
    sound_on = on;
    return was;
}

class Rest : public ::testing::Test {
  protected:
    void SetUp() override {
        set_display_factory([] { return std::make_unique<HeadlessDisplay>(); });
        display_open(video_settings{}, "test");
        install_display_hooks();
        reset_movement_rules();
        reset_party_rules();
        reset_map_services();
        reset_rest_services();
        reset_game_state();
        define_handle(H_PANEL, "", draw_panel_picture, PATH_DATA);
        forget_screen_pictures();
        scene = scene_state{};
        movement = movement_state{};
        panel_mode = PANEL_PARTY;
        hooks_run.clear();
        rest_allowed = true;
        movement_rules.run_hook = record_hook;
        sound_switches.clear();
        sound_on = true;
        rest_services.sound_enable = switch_sound;
        reset_party();
        install_rest_rules();
        use_map("#####\n#...#\n#####\n");
        // Two sleepers of the rules' party, well fed, hurt.
        for (int slot = 0; slot < 2; ++slot) {
            party_member& m = party_members[slot];
            m.used = 1;
            m.group = 1;
            m.hp = 10;
            m.stats[STAT_HP_MAX] = 40;
            m.stats[STAT_HP_REGEN] = HP_REGEN;
            m.vp = m.stats[STAT_VP_MAX] = 30;
            m.food = m.water = 5000;
        }
    }
    void TearDown() override {
        // A rest a failed test left asleep is woken and ended.
        for (int i = 0; i < 8 && rest_state.resting; ++i) {
            dispatch_event(EV_KEY, KEY_SPACE);
            dispatch_event(EV_TICK, 1);
        }
        stop_game_screen();
        reset_character_rules();
        reset_rest_services();
        reset_movement_rules();
        reset_party();
        clear_event_tree();
        clear_timers();
        undefine_handle(H_PANEL);
        destroy_display();
        remove_display_hooks();
        set_display_factory(nullptr);
        current_map = loaded_map{};
    }
    static void ticks(int n) {
        for (int i = 0; i < n; ++i) dispatch_event(EV_TICK, 1);
    }
};

}  // namespace

TEST_F(Rest, HoursRestoreHitPointsUntilAKeyWakesTheParty) {
    start_game_screen();
    dispatch_event(EV_KEY, KEY_F4);
    // The first hour passed at once (a full allowance is a whole number of hours).
    ASSERT_TRUE(rest_state.resting);
    EXPECT_FALSE(scene.running);
    EXPECT_EQ(party_members[0].hp, 10 + HP_REGEN);
    EXPECT_EQ(frame_buffer[200 * SCREEN_PITCH + 320], 0);  // the view is black
    EXPECT_EQ(sound_switches, std::vector<bool>{false});
    ticks(4);  // the hour shown; the next 360 ticks of rest run, then the second hour
    EXPECT_EQ(party_members[0].hp, 10 + 2 * HP_REGEN);
    EXPECT_EQ(party_members[1].hp, 10 + 2 * HP_REGEN);
    EXPECT_EQ(game_time, 360);
    EXPECT_EQ(party_state.rest_allowance, REST_ALLOWANCE_MAX - 360);

    dispatch_event(EV_KEY, KEY_SPACE);
    EXPECT_TRUE(rest_state.resting);  // it notices at the next tick
    ticks(1);
    EXPECT_FALSE(rest_state.resting);
    EXPECT_TRUE(scene.running);
    EXPECT_EQ(task_count(), 0);
    EXPECT_EQ(party_members[0].hp, 10 + 2 * HP_REGEN);  // no third hour
    EXPECT_EQ(party_state.rest_allowance, REST_ALLOWANCE_MAX - 361);
    EXPECT_EQ(game_time, 361);
    EXPECT_EQ(sound_switches, (std::vector<bool>{false, true}));
    EXPECT_EQ(hooks_run, (std::vector<int>{HOOK_BEFORE_REST, HOOK_AFTER_REST}));
    // The party is awake: keys move it again.
    const int before = party.sector;
    dispatch_event(EV_KEY, 0x4800);
    EXPECT_NE(party.sector, before);
    EXPECT_EQ(hooks_run.back(), HOOK_BEFORE_STEP);
}

TEST_F(Rest, NothingHappensWhenHookOneForbidsOrNoRestIsLeft) {
    start_game_screen();
    rest_allowed = false;
    dispatch_event(EV_KEY, KEY_F4);
    EXPECT_FALSE(rest_state.resting);
    EXPECT_TRUE(scene.running);
    EXPECT_EQ(party_members[0].hp, 10);
    EXPECT_EQ(party_state.rest_allowance, REST_ALLOWANCE_MAX);
    EXPECT_EQ(hooks_run, std::vector<int>{HOOK_BEFORE_REST});
    EXPECT_TRUE(sound_switches.empty());

    rest_allowed = true;
    hooks_run.clear();
    party_state.rest_allowance = 0;
    dispatch_event(EV_KEY, KEY_F4);
    EXPECT_FALSE(rest_state.resting);
    EXPECT_TRUE(hooks_run.empty());
    EXPECT_EQ(task_count(), 0);
}

TEST_F(Rest, NoRestInMapsOfClassFourNorDuringABattle) {
    string_list_set(ui_strings, TEXT_NO_REST_HERE, "No rest here");
    start_game_screen();
    current_map.header.map_class = MAP_CLASS_NO_REST;
    dispatch_event(EV_KEY, KEY_F4);
    EXPECT_FALSE(rest_state.resting);
    EXPECT_EQ(panel_mode, PANEL_MESSAGE);
    EXPECT_EQ(panel_message, "No rest here");
    EXPECT_TRUE(hooks_run.empty());

    panel_back_to_party(true);
    current_map.header.map_class = 0;
    map_services.in_battle = [] { return true; };
    dispatch_event(EV_KEY, KEY_F4);
    EXPECT_FALSE(rest_state.resting);
    EXPECT_EQ(panel_mode, PANEL_PARTY);
    EXPECT_TRUE(hooks_run.empty());
    string_list_set(ui_strings, TEXT_NO_REST_HERE, nullptr);
}

TEST_F(Rest, ThirstATimedHookThatForbidsAndASpentAllowanceEachEndTheRest) {
    start_game_screen();
    // A member out of water wakes at the first tick, without a key.
    party_members[1].water = 0;
    dispatch_event(EV_KEY, KEY_F4);
    ticks(1);
    EXPECT_FALSE(rest_state.resting);
    EXPECT_EQ(party_state.rest_allowance, REST_ALLOWANCE_MAX - 1);

    // A timed hook that cancels, due 20 units from now.
    party_members[1].water = 5000;
    global_hooks[HOOK_TIMED_FIRST] = global_hook{1, 0, 1, game_time + 20};
    party_state.rest_allowance = 100;  // no whole hour: nothing to wait for
    const int32_t start = game_time;
    dispatch_event(EV_KEY, KEY_F4);
    EXPECT_FALSE(rest_state.resting);
    EXPECT_EQ(game_time, start + 20);
    EXPECT_EQ(party_state.rest_allowance, 80);
    EXPECT_EQ(party_members[0].hp, 10 + HP_REGEN);  // only the thirsty rest's hour

    // Without interruptions the rest lasts as long as the allowance.
    dispatch_event(EV_KEY, KEY_F4);
    EXPECT_FALSE(rest_state.resting);
    EXPECT_EQ(party_state.rest_allowance, 0);
    EXPECT_EQ(game_time, start + 100);
    EXPECT_TRUE(scene.running);
}

TEST(RestAllowance, EachGameTickAddsTwoFifthsOfAnHourUpToTwelveHours) {
    reset_party();
    EXPECT_EQ(party_state.rest_allowance, REST_ALLOWANCE_MAX);
    party_state.rest_allowance = 0;
    party_game_tick();
    EXPECT_EQ(party_state.rest_allowance, 144);
    party_state.rest_allowance = REST_ALLOWANCE_MAX - 100;
    party_game_tick();
    EXPECT_EQ(party_state.rest_allowance, REST_ALLOWANCE_MAX);
}
