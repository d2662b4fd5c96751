// The battle screen on a corridor built in memory: members plan through the
// desk's buttons, keys and portraits and the round starts; a walking member
// steps alone until its steps run out, or with its group on its sector
// when the group moves together; the planning controls, the plan list
// and the hand box drawn with the demo's pictures and fonts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../world/view_test_map.h"
#include "base/paths.h"
#include "base/strings.h"
#include "core/archive.h"
#include "core/decoders.h"
#include "core/events.h"
#include "core/handles.h"
#include "core/random.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "rules/battle/battle.h"
#include "rules/battle_desk/battle_desk.h"
#include "rules/binding/world_binding.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "rules/rune_panel/rune_panel.h"
#include "support/golden.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/monster_hooks.h"
#include "world/movement.h"
#include "world/movement_rules.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/screen_resources.h"
#include "world/view.h"

namespace {

// Sectors 1..8 from west to east.
const std::vector<std::string> corridor = {
    "##########",  //
    "#........#",  //
    "##########",  //
};

void place_member(int slot, const char* name, int sector) {
    party_member& m = party_members[slot];
    m.used = 1;
    m.group = 1;
    m.hp = m.stats[STAT_HP_MAX] = 40;
    m.vp = m.stats[STAT_VP_MAX] = 40;
    m.stats[STAT_SPEED] = 15;  // one action a round
    m.direction = 1;           // east, down the corridor
    m.sector = int16_t(sector);
    std::snprintf(m.name, sizeof m.name, "%s", name);
    mark_party_sectors();  // as the game marks them, so that the next marking clears them again
}

void place_guard(int sector) {
    monster& guard = monster_table[0];
    std::snprintf(guard.name, sizeof guard.name, "guard");
    guard.state = MST_LIVE | MST_BATTLE;
    guard.sector = guard.home_sector = int16_t(sector);
    guard.direction = 3;
    guard.pos_x = guard.pos_y = guard.goal_x = guard.goal_y = 128;
    guard.anim_frame = -1;
    guard.hp = guard.stats[STAT_HP_MAX] = 30;
    guard.stats[STAT_SPEED] = 20;
    enter_occupancy(0);
}

void key(int scan) {
    dispatch_event(EV_KEY, scan << 8);
}

void click(int x, int y) {
    mouse_record m;
    m.x = uint16_t(x);
    m.y = uint16_t(y);
    m.left = 1;
    m.events = MOUSE_EV_LEFT_DOWN;
    dispatch_event(EV_MOUSE, &m);
}

void click_button(int button) {
    const desk_rect r = desk_button_rect(button);
    click(r.x + r.w / 2, r.y + r.h / 2);
}

int plan_of(int slot, int entry) {
    const party_member& m = party_members[slot];
    return m.plan && entry < m.planned ? int(m.plan[entry].action) : int(BA_END);
}

class BattleDesk : public ::testing::Test {
  protected:
    void SetUp() override {
        view_test::build_grid_map(corridor);
        clear_monster_table();
        reset_monster_ai();
        reset_party();
        random_seed(77);
        reset_movement_rules();
        install_rules_into_world();
        install_monster_fight();
        set_monster_fight_world(&quiet);
        install_battle();
        install_battle_desk();
        add_event_handler(EV_KEY, game_screen_key);
        add_event_handler(EV_MOUSE, game_screen_mouse);
        party.sector = 2;
        party.direction = 1;
    }
    void TearDown() override {
        remove_event_handler(EV_KEY, game_screen_key);
        remove_event_handler(EV_MOUSE, game_screen_mouse);
        remove_battle_desk();
        reset_battle();
        world_monsters = {};
        set_monster_fight_world(nullptr);
        remove_rules_from_world();
        reset_monster_ai();
    }
    monster_fight_world quiet;  // no sounds, views or log
};

}  // namespace

TEST_F(BattleDesk, TwoMembersPlanAttacksByButtonAndKeyAndTheGoButtonStartsTheRound) {
    place_member(0, "Ardo", 2);
    place_member(1, "Bera", 2);
    place_member(2, "Cil", 2);
    place_guard(3);
    start_battle(2);
    begin_battle();
    ASSERT_EQ(battle.phase, BATTLE_PLANNING);
    ASSERT_EQ(battle.acting, 0);

    // While the round is planned nobody walks, and F4 rests nobody.
    key(17);
    EXPECT_EQ(party.sector, 2);

    // A click on the attack button plans it; the next member takes over.
    click_button(DESK_ATTACK);
    EXPECT_EQ(plan_of(0, 0), BA_ATTACK);
    EXPECT_EQ(party_members[0].actions_left, 0);
    EXPECT_EQ(battle.acting, 1);
    EXPECT_EQ(desk.pressed, DESK_ATTACK);

    // The third member's portrait makes it the one who plans; the second
    // plans by the attack key after its portrait was clicked.
    click(PARTY_BAR_FIRST_X + 2 * PARTY_SLOT_WIDTH + 20, PANEL_FIRST_ROW + 40);
    EXPECT_EQ(battle.acting, 2);
    key(3);  // 2: the member at the bar's second place
    EXPECT_EQ(battle.acting, 1);
    key(63);  // F5: attack
    EXPECT_EQ(plan_of(1, 0), BA_ATTACK);
    EXPECT_EQ(plan_of(2, 0), BA_END);

    // Go: the third member gets its automatic plan and the round's order is made.
    click_button(DESK_GO);
    EXPECT_NE(battle.phase, BATTLE_PLANNING);
    int members = 0, monsters = 0;
    for (int16_t entry : battle.order) {
        members += entry < 0 && entry != ORDER_END_OF_ACTIONS;
        monsters += entry > 0;
    }
    EXPECT_EQ(members, 3);
    EXPECT_GE(monsters, 1);
    ASSERT_GE(battle.order.size(), 2u);
    EXPECT_EQ(battle.order[battle.order.size() - 2], ORDER_END_OF_ACTIONS);
    EXPECT_EQ(battle.order.back(), ORDER_END);
}

TEST_F(BattleDesk, TheWalkingMemberStepsAloneIsStoppedByMonstersAndStopsWhenItsStepsRunOut) {
    place_member(0, "Ardo", 2);
    place_member(1, "Bera", 2);
    place_guard(5);
    start_battle(2);
    begin_battle();
    ASSERT_EQ(battle.phase, BATTLE_PLANNING);

    // As the round carries out its walk: three steps for the first member.
    battle.phase = BATTLE_WALKING;
    battle.acting = 0;
    party_members[0].actions_left = 3;
    key(17);
    key(17);
    EXPECT_EQ(party_members[0].sector, 4);
    EXPECT_EQ(party.sector, 4);  // the view goes with the walker
    EXPECT_EQ(party_members[1].sector, 2);
    EXPECT_EQ(party_members[0].actions_left, 1);
    // Nobody steps in among the monsters: the guard stands ahead.
    key(17);
    EXPECT_EQ(party_members[0].sector, 4);
    EXPECT_EQ(party_members[0].actions_left, 1);
    // Enter gives the rest of the walk up.
    key(28);
    EXPECT_EQ(battle.phase, BATTLE_ROUND);
    EXPECT_EQ(party_members[0].actions_left, 0);

    // A run of one step back: when it is taken the round goes on, and while
    // the round plays the keys wait.
    battle.phase = BATTLE_RUNNING;
    party_members[0].actions_left = 1;
    key(31);
    EXPECT_EQ(party_members[0].sector, 3);
    EXPECT_EQ(party_members[0].actions_left, 0);
    EXPECT_EQ(battle.phase, BATTLE_ROUND);
    key(31);
    key(17);
    EXPECT_EQ(party_members[0].sector, 3);
    EXPECT_EQ(party.sector, 3);
    EXPECT_EQ(party_members[1].sector, 2);
}

TEST_F(BattleDesk, WithGroupMoveTheWalkersGroupOnItsSectorStepsAndTurnsWithItAndGivesUpItsPlans) {
    place_member(0, "Ardo", 2);
    place_member(1, "Bera", 2);
    place_member(2, "Cil", 1);  // same group, another sector: stays
    place_guard(8);
    battle_options.group_move = true;
    start_battle(2);
    begin_battle();
    ASSERT_EQ(battle.phase, BATTLE_PLANNING);
    click_button(DESK_GO);  // every member gets one walk

    // The round plays until the first walk of a member on sector 2 begins.
    for (int tick = 0; tick < 400 && battle.phase != BATTLE_WALKING; ++tick) battle_monsters_tick();
    ASSERT_EQ(battle.phase, BATTLE_WALKING);
    const int walker = battle.acting, other = 1 - walker;
    ASSERT_TRUE(walker == 0 || walker == 1) << walker;
    // Both paid for the group's walk; the other's own walk is given up.
    EXPECT_EQ(party_members[walker].vp, 30);
    EXPECT_EQ(party_members[other].vp, 30);
    EXPECT_EQ(party_members[other].plan_cursor->action, BA_END);
    EXPECT_EQ(party_members[walker].actions_left, 5);

    key(17);
    key(17);
    EXPECT_EQ(party_members[walker].sector, 4);
    EXPECT_EQ(party_members[other].sector, 4);
    EXPECT_EQ(party_members[2].sector, 1);
    EXPECT_EQ(party_members[walker].actions_left, 3);
    EXPECT_TRUE(current_map.coords[4].coord_flags & MC_PLAYER);
    EXPECT_FALSE(current_map.coords[2].coord_flags & MC_PLAYER);
    key(16);  // Q: a quarter turn left
    EXPECT_EQ(party_members[walker].direction, 0);
    EXPECT_EQ(party_members[other].direction, 0);
    EXPECT_EQ(party_members[2].direction, 1);
    battle_options.group_move = false;
}

// A heal on a chosen member, cast by anyone with magic points.
class one_heal : public rune_spells {
  public:
    spell_def heal;
    one_heal() {
        heal.cost = 5;
        heal.code = 1;
        heal.target_kind = ST_CHOSEN;
    }
    const spell_def* spell(int number) override { return number == 21 ? &heal : nullptr; }
    int can_cast(int, int number) override { return number == 21 ? 0 : 1; }
};

TEST_F(BattleDesk, TheCastButtonOpensTheRunesAndTheComposedHealBecomesAKind7Plan) {
    place_member(0, "Ardo", 2);
    place_member(1, "Bera", 2);
    place_guard(3);
    party_state.runes[1] = 1;
    one_heal spells;
    set_rune_spells(&spells);
    start_battle(2);
    begin_battle();
    ASSERT_EQ(battle.acting, 0);

    key(64);  // F6: cast
    ASSERT_TRUE(rune_panel().open);
    key(77);  // Right: the water runes
    auto centre = [](const rune_rect& r) { click(r.x + r.w / 2, r.y + r.h / 2); };
    centre(rune_place_rect(0));
    centre(rune_variant_rect(0));
    EXPECT_EQ(plan_of(0, 0), BA_END);  // waits for its target
    click(party_slot_x(1) + 30, PANEL_FIRST_ROW + 40);
    EXPECT_FALSE(rune_panel().open);
    ASSERT_EQ(plan_of(0, 0), BA_CAST);
    EXPECT_EQ(party_members[0].plan[0].arg, 21 + 512 * 2);
    EXPECT_EQ(battle.acting, 1);  // the next member plans

    // Esc closes the panel without leaving the battle screen's planning.
    click_button(DESK_CAST);
    ASSERT_TRUE(rune_panel().open);
    key(1);
    EXPECT_FALSE(rune_panel().open);
    EXPECT_EQ(battle.phase, BATTLE_PLANNING);
    set_rune_spells(nullptr);
}

TEST_F(BattleDesk, EnterAttacksOnlyWhenTheLastViewShowedAMonster) {
    place_member(0, "Ardo", 2);
    place_guard(3);
    monster_table[0].state = MST_LIVE;
    view.monsters_drawn = 0;
    key(28);
    EXPECT_FALSE(monster_battle.battle);
    view.monsters_drawn = 1;
    key(28);
    EXPECT_TRUE(monster_battle.battle);
    EXPECT_EQ(battle.phase, BATTLE_PLANNING);
    EXPECT_TRUE(battle_on_screen().active());
}

TEST(BattleDeskPicture, PlanningControlsPlanListAndHandBoxLookAsBefore) {
    path_table[PATH_FONTS] = VORTHAN_DEMO_DIR "/font";
    path_table[PATH_GUI] = VORTHAN_DEMO_DIR "/graphics/basic";
    register_picture_decoders();
    register_archive(VORTHAN_DEMO_DIR "/VORTHAN.DDL");
    define_handle(H_M_SOUBOJ, "m_souboj.pcx", decoder_for(decoder_id::pcx_to_pal8), PATH_GUI);
    define_handle(FONT_SADA16, "sada16.fon", nullptr, PATH_FONTS);
    forget_screen_pictures();
    reset_font_state();
    ui_strings = string_list_create(100);
    string_list_set(ui_strings, TEXT_ACTION_NAMES + BA_ATTACK, "Attack");
    string_list_set(ui_strings, TEXT_ACTION_NAMES + BA_WALK, "Walk");

    reset_party();
    party_members[0].used = 1;
    std::snprintf(party_members[0].name, sizeof party_members[0].name, "Ardo");
    battle_action plan[3] = {{BA_ATTACK, 0, 0}, {BA_WALK, 0, 0}, {}};
    party_members[0].plan = plan;
    party_members[0].planned = 2;
    battle.phase = BATTLE_PLANNING;
    battle.acting = 0;
    desk = battle_desk_state{};
    desk.pressed = DESK_ATTACK;
    desk.choosing_hand = true;
    desk.both_offered = true;

    target_frame_buffer();
    clear_buffer(frame_buffer, 0x294A);
    draw_desk_overlay();
    draw_desk_controls();
    EXPECT_TRUE(
        golden::matches(VORTHAN_SOURCE_DIR "/tests/rules_battle_desk/golden/planning.png", frame_buffer));

    party_members[0].plan = nullptr;
    battle = battle_state{};
    desk = battle_desk_state{};
    reset_font_state();
    free_all_handles();
}
