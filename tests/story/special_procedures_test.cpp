// The special procedures of monsters and walls on a small grid map of the
// test's own, with the party's records placed by hand and the random
// generator seeded.
#include "story/special_procedures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "core/random.h"
#include "grid_map.h"
#include "rules/binding/world_binding.h"
#include "rules/item_record.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "world/map_actions.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/movement.h"
#include "world/party_standin.h"

namespace {

constexpr uint32_t HASH = 0x5eC1A1;
constexpr int W = 8;

class SpecialProcedures : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_party();
        reset_game_state();
        reset_map_services();
        reset_monster_ai();
        random_seed(4321);
        make_grid_map(W, W);
        current_map.hash = HASH;
        current_map.side_resting.assign(current_map.sides.size(), 0);
        reset_map_actions();
        party_state.map_hash = HASH;
        party = standin_party{};
        install_rules_into_world();
        install_monster_ai();
        install_monster_fight();
        install_special_procedures();
    }
    void TearDown() override {
        remove_rules_from_world();
        reset_map_services();
        reset_monster_ai();
        set_monster_fight_world(nullptr);
        current_map = loaded_map{};
        reset_party();
    }
    static int at(int x, int y) { return grid_sector(W, x, y); }
    static party_member& member(int slot, int sector, int defence = 10) {
        party_member& m = party_members[slot];
        m = party_member{};
        m.used = 1;
        std::snprintf(m.name, sizeof m.name, "Member%d", slot);
        m.hp = 20;
        m.group = 1;
        m.sector = static_cast<int16_t>(sector);
        m.map_hash = HASH;
        m.stats[STAT_DEFENSE_MAX] = static_cast<int16_t>(defence);
        mark_party_sectors();
        return m;
    }
    static void move_member(int slot, int sector) {
        party_members[slot].sector = static_cast<int16_t>(sector);
        mark_party_sectors();
    }
    static monster& scripted(int slot, int sector, int direction, int script, uint8_t strategy = MS_WALK) {
        monster& m = put_monster(slot, sector, direction, strategy);
        m.script = static_cast<uint16_t>(script);
        return m;
    }
};

// ---------------------------------------------------------------- the tables

TEST_F(SpecialProcedures, NumberZeroTakesNothingAndUnknownNumbersEndTheProgram) {
    scripted(0, at(3, 3), 0, 0);
    EXPECT_FALSE(monster_proc(0, MONSTER_EVENT_DECIDE, 0));
    EXPECT_FALSE(wall_proc(0, at(3, 3), 0, 0, 0));
    EXPECT_EXIT(monster_proc(10, MONSTER_EVENT_DECIDE, 0), ::testing::ExitedWithCode(1),
                "neplatnou specproc.\n Specproc num: 10");
    EXPECT_EXIT(wall_proc(5, at(3, 3), 0, 0, 0), ::testing::ExitedWithCode(1),
                "Specproc s t.*definov.*\n Specproc num: 5");
    // A negative number is as unknown as one past the end, not a read before the table.
    EXPECT_EXIT(monster_proc(-1, MONSTER_EVENT_DECIDE, 0), ::testing::ExitedWithCode(1), "Specproc num: -1");
    EXPECT_EXIT(wall_proc(-3, at(3, 3), 0, 0, 0), ::testing::ExitedWithCode(1), "Specproc num: -3");
}

TEST_F(SpecialProcedures, MapCommandAndMonsterEventsReachTheTables) {
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(map_services.special(1, at(2, 2) * 4 + 1, 0, 0));
    monster& m = scripted(0, at(3, 3), 0, 1);
    EXPECT_FALSE(monster_hooks.special(0, MONSTER_EVENT_BATTLE));  // the bell takes nothing
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\a\n\a\n");
    // The fight asks through the same hook: a monster that stands fast cannot be pushed.
    m.script = 9;
    push_monster(0, 1);
    EXPECT_EQ(m.sector, at(3, 3));
    m.script = 0;
    push_monster(0, 1);
    EXPECT_EQ(m.sector, at(4, 3));
}

// ---------------------------------------------------------------- monsters

TEST_F(SpecialProcedures, WalkerTurnsRightAtEachDecisionAndNeverLooksForTheParty) {
    member(0, at(3, 2));  // straight ahead of it
    monster& m = scripted(0, at(3, 3), 0, 2, MS_WALK | MS_WATCH);
    EXPECT_TRUE(monster_proc(2, MONSTER_EVENT_DECIDE, 0));
    EXPECT_EQ(m.direction, 1);
    EXPECT_EQ(m.goal_x, exit_goal_x[1]);
    EXPECT_EQ(m.goal_y, 128);  // only the coordinate along its way
    EXPECT_TRUE(monster_proc(2, MONSTER_EVENT_DECIDE, 0));
    EXPECT_EQ(m.direction, 2);
    EXPECT_EQ(m.goal_y, exit_goal_y[2]);
    EXPECT_FALSE(monster_proc(2, MONSTER_EVENT_BATTLE, 0));
    // Deciding at its goal it does not engage the party ahead of it...
    m.direction = 0;
    m.pos_x = m.pos_y = m.goal_x = m.goal_y = 128;
    monsters_tick();
    EXPECT_FALSE(monster_battle.battle);
    EXPECT_FALSE(m.state & MST_BATTLE);
    EXPECT_NE(m.direction, 0);
    // ...which the same monster does without the procedure.
    m.script = 0;
    m.direction = 0;
    m.pos_x = m.pos_y = m.goal_x = m.goal_y = 128;
    monsters_tick();
    EXPECT_TRUE(m.state & MST_BATTLE);
}

TEST_F(SpecialProcedures, RandomSpellScriptChangeAndAlarmAtTheBattleTurn) {
    monster& caster = scripted(0, at(1, 1), 0, 3);
    caster.spell = 7;
    EXPECT_FALSE(monster_proc(3, MONSTER_EVENT_DECIDE, 0));
    EXPECT_EQ(caster.spell, 7);
    std::set<int> seen;
    for (int i = 0; i < 200; ++i) {
        EXPECT_FALSE(monster_proc(3, MONSTER_EVENT_BATTLE, 0));
        seen.insert(caster.spell);
    }
    EXPECT_EQ(seen, (std::set<int>{3, 8, 13, 18, 80}));

    monster& opener = scripted(1, at(6, 1), 0, 6);
    EXPECT_FALSE(monster_proc(6, MONSTER_EVENT_DECIDE, 1));
    EXPECT_EQ(opener.script, 6);
    EXPECT_FALSE(monster_proc(6, MONSTER_EVENT_BATTLE, 1));
    EXPECT_EQ(opener.script, 5);

    scripted(2, at(4, 4), 0, 7);
    monster& listener = put_monster(3, at(4, 6), 0, MS_LISTEN);
    monster& deaf = put_monster(4, at(2, 4), 0, 0);
    EXPECT_FALSE(monster_proc(7, MONSTER_EVENT_DECIDE, 2));
    EXPECT_FALSE(listener.strategy & MS_WALK);
    EXPECT_FALSE(monster_proc(7, MONSTER_EVENT_BATTLE, 2));
    EXPECT_EQ(listener.direction, 0);  // toward the alarm, north
    EXPECT_TRUE(listener.strategy & MS_WALK);
    EXPECT_EQ(listener.goal_y, exit_goal_y[0]);
    EXPECT_FALSE(deaf.strategy & MS_WALK);
}

TEST_F(SpecialProcedures, StandingFastHoldsItsPlaceAndLeavesTheBattleUnlessThePartyIsNext) {
    monster& m = scripted(0, at(3, 3), 0, 9, MS_WALK | MS_LISTEN);
    m.pos_x = 140;
    m.pos_y = 120;
    m.goal_x = 0;
    EXPECT_FALSE(monster_proc(9, MONSTER_EVENT_DECIDE, 0));
    EXPECT_EQ(m.goal_x, 140);
    EXPECT_EQ(m.goal_y, 120);
    EXPECT_TRUE(monster_proc(9, MONSTER_EVENT_KNOCKBACK, 0));

    member(0, at(3, 2));
    m.state |= MST_BATTLE;
    m.goal_y = 0;
    EXPECT_FALSE(monster_proc(9, MONSTER_EVENT_BATTLE, 0));  // next to the party it fights
    EXPECT_TRUE(m.state & MST_BATTLE);
    EXPECT_EQ(m.goal_y, 0);
    move_member(0, at(3, 1));
    EXPECT_TRUE(monster_proc(9, MONSTER_EVENT_BATTLE, 0));
    EXPECT_FALSE(m.state & MST_BATTLE);
    EXPECT_EQ(m.strategy & (MS_WALK | MS_LISTEN), 0);
    EXPECT_EQ(m.goal_y, 120);
}

TEST_F(SpecialProcedures, KeepingItsDistanceStepsAwayFromThePartyAndWaitsWhenCornered) {
    monster& m = scripted(0, at(3, 3), 0, 4);
    member(0, at(3, 1));  // two sectors away
    m.damage_taken = 5;
    EXPECT_FALSE(monster_proc(4, MONSTER_EVENT_BATTLE, 0));
    EXPECT_EQ(m.script_state, 0);
    EXPECT_EQ(m.direction, 0);

    move_member(0, at(3, 2));  // next to it, north: it backs off south
    EXPECT_TRUE(monster_proc(4, MONSTER_EVENT_BATTLE, 0));
    EXPECT_EQ(m.direction, 2);
    EXPECT_EQ(m.goal_y, exit_goal_y[2]);
    EXPECT_TRUE(m.script_state & SCRIPT_STATE_ACTIVE);
    // While the party is within a sector it stands and faces at its decisions.
    EXPECT_TRUE(monster_proc(4, MONSTER_EVENT_DECIDE, 0));
    EXPECT_TRUE(monster_proc(4, MONSTER_EVENT_KNOCKBACK, 0));
    EXPECT_EQ(m.goal_x, stand_x[2]);
    EXPECT_EQ(m.goal_y, stand_y[2]);

    // The way back is walled: it takes a side that is not next to the party.
    m.script_state = 0;
    wall_between(at(3, 3), 2);
    for (int i = 0; i < 20; ++i) {
        m.direction = 0;
        ASSERT_TRUE(monster_proc(4, MONSTER_EVENT_BATTLE, 0));
        EXPECT_TRUE(m.direction == 1 || m.direction == 3);
        const int to =
            current_map.sectors[static_cast<size_t>(m.sector)].exits[static_cast<size_t>(m.direction)];
        for (int d = 0; d < 4; ++d) {
            const int around = current_map.sectors[static_cast<size_t>(to)].exits[static_cast<size_t>(d)];
            EXPECT_NE(around, at(3, 2));
        }
    }
    // Cornered, with every way out next to the party, it does not take the turn.
    member(1, at(2, 4));
    member(2, at(4, 4));
    m.script_state = 0;
    EXPECT_FALSE(monster_proc(4, MONSTER_EVENT_BATTLE, 0));
}

TEST_F(SpecialProcedures, KeepingItsDistanceTurnsBackWhenThePartyFollowsInLine) {
    monster& m = scripted(0, at(3, 3), 2, 4);
    m.script_state = SCRIPT_STATE_ACTIVE;
    member(0, at(3, 0));  // three sectors behind it, in line
    EXPECT_FALSE(monster_proc(4, MONSTER_EVENT_BATTLE, 0));
    EXPECT_EQ(m.direction, 0);
    EXPECT_FALSE(m.script_state & SCRIPT_STATE_ACTIVE);
    // Out of line it keeps walking away and takes the turn.
    m.direction = 2;
    m.script_state = SCRIPT_STATE_ACTIVE;
    move_member(0, at(5, 0));
    EXPECT_TRUE(monster_proc(4, MONSTER_EVENT_BATTLE, 0));
    EXPECT_EQ(m.direction, 2);
    // A side closed to monsters ends the look behind.
    m.script_state = SCRIPT_STATE_ACTIVE;
    move_member(0, at(3, 0));
    wall_between(at(3, 2), 0);
    EXPECT_TRUE(monster_proc(4, MONSTER_EVENT_BATTLE, 0));
}

TEST_F(SpecialProcedures, DoorOpenerUsesTheDoorWaitsAndWalksThroughWhenItOpens) {
    const int here = at(3, 3);
    const size_t door = static_cast<size_t>(here) * 4 + 1;
    wall_between(here, 1);
    current_map.sides[door].action_target = static_cast<uint16_t>(at(6, 6));
    current_map.sides[door].target_side = 2;
    current_map.sides[door].action = ACT_SHOW;
    current_map.side_resting[door] = SIDE_NOMONSTER;
    monster& m = scripted(0, here, 0, 5);
    EXPECT_FALSE(monster_proc(5, MONSTER_EVENT_BATTLE, 0));
    map_actions.last_action = -1;
    EXPECT_TRUE(monster_proc(5, MONSTER_EVENT_DECIDE, 0));
    EXPECT_EQ(m.direction, 1);
    EXPECT_EQ(m.goal_x, stand_x[1]);
    EXPECT_EQ(m.script_state, 128);
    EXPECT_EQ(map_actions.last_action, ACT_SHOW);  // the door's mechanism ran
    // It waits at the closed door for up to sixteen decisions.
    int waited = 0;
    while (monster_proc(5, MONSTER_EVENT_DECIDE, 0) && waited < 100) ++waited;
    EXPECT_EQ(waited, 15);
    EXPECT_EQ(m.script_state, 144);
    // The door opens with the party beyond it.
    current_map.sides[door].flags &= ~SIDE_NOMONSTER;
    member(0, at(4, 3));
    EXPECT_FALSE(monster_proc(5, MONSTER_EVENT_DECIDE, 0));
    EXPECT_EQ(m.script_state, 255);
    EXPECT_EQ(m.goal_x, exit_goal_x[1]);
    // A door that is already opening (its resting state lets monsters by) is not used again.
    current_map.sides[door].flags |= SIDE_NOMONSTER;
    current_map.side_resting[door] = 0;
    map_actions.last_action = -1;
    EXPECT_TRUE(monster_proc(5, MONSTER_EVENT_DECIDE, 0));
    EXPECT_EQ(map_actions.last_action, -1);
    // Secret doors and sides without a mechanism are not doors.
    current_map.sides[door].flags |= SIDE_SECRET;
    m.script_state = 0;
    EXPECT_FALSE(monster_proc(5, MONSTER_EVENT_DECIDE, 0));
}

TEST_F(SpecialProcedures, DoorOpenerUsesTheFarFaceOfTheDoorBehindIt) {
    const int here = at(3, 3), beyond = at(3, 4);
    const size_t far_face = static_cast<size_t>(beyond) * 4 + 0;
    wall_between(here, 2);  // behind it, facing north
    current_map.sides[far_face].action_target = static_cast<uint16_t>(at(6, 6));
    current_map.sides[far_face].action = ACT_SHOW;
    current_map.side_resting[far_face] = SIDE_NOMONSTER;
    monster& m = scripted(0, here, 0, 5);
    put_monster(1, beyond, 0, 0);
    EXPECT_FALSE(monster_proc(5, MONSTER_EVENT_DECIDE, 0));  // someone stands beyond it
    leave_occupancy(1);
    monster_table[1].state = 0;
    map_actions.last_action = -1;
    EXPECT_TRUE(monster_proc(5, MONSTER_EVENT_DECIDE, 0));
    EXPECT_EQ(m.direction, 2);
    EXPECT_EQ(m.script_state, 128);
    EXPECT_EQ(map_actions.last_action, ACT_SHOW);
}

TEST_F(SpecialProcedures, HunterGoesForTheMemberWithTheLowestDefence) {
    monster& m = scripted(0, at(3, 3), 0, 8);
    EXPECT_FALSE(monster_proc(8, MONSTER_EVENT_BATTLE, 0));  // nobody near
    member(0, at(3, 2), 30);                                 // next to it, north
    member(1, at(5, 3), 12);                                 // two steps east
    EXPECT_FALSE(monster_proc(8, MONSTER_EVENT_DECIDE, 0));
    EXPECT_TRUE(monster_proc(8, MONSTER_EVENT_BATTLE, 0));
    EXPECT_EQ(m.direction, 1);
    EXPECT_EQ(m.goal_x, exit_goal_x[1]);
    // The weakest next to it: it turns and its normal turn attacks.
    member(2, at(2, 3), 5);
    m.goal_x = 128;
    EXPECT_FALSE(monster_proc(8, MONSTER_EVENT_BATTLE, 0));
    EXPECT_EQ(m.direction, 3);
    EXPECT_EQ(m.goal_x, 128);
    // A wall hides the way to it; the dead do not count.
    wall_between(at(3, 3), 3);
    party_members[1].hp = 0;
    mark_party_sectors();
    EXPECT_FALSE(monster_proc(8, MONSTER_EVENT_BATTLE, 0));
    EXPECT_EQ(m.direction, 0);
}

// ---------------------------------------------------------------- walls

TEST_F(SpecialProcedures, TeleporterSendsMonstersAwayAndMovesTheMembersStandingThere) {
    const int pad = at(2, 2), target = at(6, 6);
    EXPECT_FALSE(wall_proc(2, pad, 0, target, 0));  // nobody there
    monster& first = put_monster(0, pad, 0, 0);
    monster& second = put_monster(1, pad, 0, 0);
    EXPECT_TRUE(wall_proc(2, pad, 0, target, 0));
    EXPECT_NE(first.sector, pad);
    EXPECT_NE(second.sector, pad);
    EXPECT_EQ(first_monster_in(pad), 0);

    member(0, pad);
    member(1, pad);
    party_members[1].hp = 0;  // a body goes along
    member(2, at(5, 5));
    party.sector = pad;
    mark_party_sectors();
    static int animations = 0;
    map_services.teleport_animation = [] { ++animations; };
    EXPECT_TRUE(wall_proc(2, pad, 0, target, 0));
    EXPECT_EQ(animations, 1);
    EXPECT_EQ(party_members[0].sector, target);
    EXPECT_EQ(party_members[1].sector, target);
    EXPECT_EQ(party_members[2].sector, at(5, 5));
    EXPECT_EQ(party.sector, target);
    EXPECT_FALSE(current_map.coords[static_cast<size_t>(pad)].coord_flags & (MC_PLAYER | MC_DEAD_PLAYER));
    EXPECT_TRUE(current_map.coords[static_cast<size_t>(target)].coord_flags & MC_PLAYER);
    EXPECT_NE(party_members[0].group, party_members[2].group);  // groups counted anew
    // A target that is not a place moves nobody.
    EXPECT_FALSE(wall_proc(2, target, 0, 9999, 0));
    EXPECT_EQ(party_members[0].sector, target);
}

TEST_F(SpecialProcedures, DeadlyTrapKillsTheMembersItWasTriggeredFor) {
    const int trap = at(4, 4);
    member(0, trap);
    member(1, trap);
    member(2, at(4, 5));
    EXPECT_TRUE(wall_proc(3, trap, 2, 0, SIDE_EV_USED));
    for (int slot : {0, 1}) {
        EXPECT_EQ(party_members[slot].hp, 0);
        EXPECT_EQ(party_members[slot].sector, 0);
    }
    EXPECT_EQ(party_members[2].hp, 20);
    EXPECT_FALSE(current_map.coords[static_cast<size_t>(trap)].coord_flags & (MC_PLAYER | MC_DEAD_PLAYER));
}

TEST_F(SpecialProcedures, ViewTurnsHalfARoundAboutItsCentre) {
    constexpr int VW = 640, VH = 360;
    std::vector<uint16_t> view(VW * VH), out(VW * VH, 0x1234);
    for (int y = 0; y < VH; ++y)
        for (int x = 0; x < VW; ++x)
            view[static_cast<size_t>(y * VW + x)] = static_cast<uint16_t>((x * 7 + y * 13) & 0x7FFF);
    rotate_view(view.data(), out.data(), 0.0);
    EXPECT_EQ(out, view);
    rotate_view(view.data(), out.data(), 180.0);
    for (int y : {0, 17, 359})
        for (int x : {0, 300, 639})
            EXPECT_EQ(out[static_cast<size_t>(y * VW + x)],
                      view[static_cast<size_t>((VH - 1 - y) * VW + VW - 1 - x)]);
    rotate_view(view.data(), out.data(), 90.0);
    // A quarter round: the pixel right of the centre comes from above it; the
    // ends of the wide picture come from outside it and are black.
    EXPECT_EQ(out[static_cast<size_t>(180 * VW + 320)], view[static_cast<size_t>(179 * VW + 320)]);
    EXPECT_EQ(out[static_cast<size_t>(180 * VW + 639)], 0);
    EXPECT_EQ(out[0], 0);
}

// ---------------------------------------------------------------- the item's properties

const char* test_text(int number) {
    switch (number) {
        case 210:
            return "Name: %s";
        case 211:
            return "Weight: %d %s";
        case 212:
            return "Places: %d";
        case 213:
            return "Strength %+d";
        case 222:
            return "Attack %d-%d";
        case 229:
            return "Life %d %s";
        case 233:
            return "Element: %s";
        case 234:
            return "lost";
        case 235:
            return "gained";
        case 236:
            return "lb";
        case 237:
            return "lbs";
        case 24:
            return "water";
        case 240:
            return "Invisible";
        case 241:
            return "";
        default:
            return nullptr;
    }
}

TEST_F(SpecialProcedures, ItemPropertiesListWhatTheItemChanges) {
    item_def sword{};
    std::strcpy(sword.name, "Sword");
    sword.weight = 2;
    sword.mods[0] = 3;
    sword.mods[STAT_ATTACK_MIN] = 4;
    sword.mods[STAT_ATTACK_MAX] = 9;
    sword.mods[STAT_DEFENSE_MIN] = 1;  // no text for it: left out
    sword.mods[STAT_HP_REGEN] = -1;
    sword.magic_attack_max = 6;
    sword.magic_element = 2;
    sword.flags_given = 0x0003;
    const std::vector<std::string> lines = item_property_lines(sword, test_text);
    EXPECT_EQ(lines, (std::vector<std::string>{"Name: Sword", "Weight: 4 lb", "Strength +3", "Attack 4-9",
                                               "Life -1 lost", "Element: water", "Invisible"}));
    sword.weight = 5;
    sword.extra_slots = 4;
    sword.magic_element = 9;  // no such element: no name
    EXPECT_EQ(item_property_lines(sword, test_text)[1], "Weight: 10 lbs");
    EXPECT_EQ(item_property_lines(sword, test_text)[2], "Places: 4");
    EXPECT_EQ(item_property_lines(sword, test_text)[6], "Element: ");
}

TEST(AdventureTexts, FormatsFillNumbersAndWordsAndLeaveEverythingElse) {
    EXPECT_EQ(format_data_text("%d of %s", {3, "five"}), "3 of five");
    EXPECT_EQ(format_data_text("[%4d|%-4d|%03d]", {7, 8, -5}), "[   7|8   |-05]");
    EXPECT_EQ(format_data_text("%s and %d", {12, "x"}), "12 and x");  // a word for a number stands as it is
    EXPECT_EQ(format_data_text("%d%% %d %s", {50}), "50%  ");         // missing values give nothing
    // Conversions that would read memory or write it stand as written.
    EXPECT_EQ(format_data_text("%n%x%p%", {1}), "%n%x%p%");
}

}  // namespace
