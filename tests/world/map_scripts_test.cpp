// The map's scripts on small maps written by the forge: the walk over a
// side's records, the commands, the global hooks with the game time, story
// flags and code locks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/events.h"
#include "core/timers.h"
#include "map_test_files.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/panel.h"
#include "world/party_standin.h"

namespace {

// One multiaction record in its slot form (the writer drops byte 3 where the
// file does).
struct ma {
    std::vector<uint8_t> b = std::vector<uint8_t>(24, 0);
    ma(int command, int events, uint32_t bits = 0) {
        const uint32_t head = static_cast<uint32_t>(command) | bits | static_cast<uint32_t>(events) << 8;
        b[0] = static_cast<uint8_t>(head);
        b[1] = static_cast<uint8_t>(head >> 8);
        b[2] = static_cast<uint8_t>(head >> 16);
    }
    ma& u8(size_t at, int v) {
        b[at] = static_cast<uint8_t>(v);
        return *this;
    }
    ma& u16(size_t at, int v) {
        b[at] = static_cast<uint8_t>(v);
        b[at + 1] = static_cast<uint8_t>(v >> 8);
        return *this;
    }
    ma& u32(size_t at, int32_t v) {
        for (size_t k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k));
        return *this;
    }
    ma& text(size_t at, const std::string& s) {
        if (b.size() < at + s.size() + 1) b.resize(at + s.size() + 1, 0);
        for (size_t k = 0; k < s.size(); ++k) b[at + k] = static_cast<uint8_t>(s[k]);
        return *this;
    }
};

// Handy records.
ma set_flag(int flag, int events = SIDE_EV_USED, uint32_t bits = 0) {
    return ma(MA_SET_STORY_FLAG, events, bits).u16(4, flag).u8(6, 1);
}
ma if_story_flag(int p4, int jump, int events = SIDE_EV_USED) {
    return ma(MA_IF_STORY_FLAG, events).u16(4, p4).u16(6, jump);
}

// Sides of the 2 x 2 test room (sector 1 top left, 2 right of it, 3 below).
constexpr int NORTH_OF_1 = 4, EAST_OF_1 = 5, WEST_OF_1 = 7, NORTH_OF_2 = 8, WEST_OF_3 = 15;

// Loads the small room with these lists into current_map.
void use_lists(const std::vector<forge::map_model::action_list>& lists) {
    forge::map_model model = map_test::small_map();
    model.multiactions = lists;
    const std::vector<uint8_t> file = map_test::file_of(model);
    current_map = loaded_map{};
    std::string error;
    ASSERT_EQ(parse_map(file.data(), file.size(), current_map, &error), MAP_OK) << error;
    current_map.side_resting.clear();
    for (const map_side& s : current_map.sides)
        current_map.side_resting.push_back(static_cast<uint8_t>(s.flags));
}

forge::map_model::action_list list_on(int side, const std::vector<ma>& records) {
    forge::map_model::action_list list;
    list.side = static_cast<uint32_t>(side);
    for (const ma& r : records) list.records.push_back(r.b);
    return list;
}

// The map changes asked for.
std::vector<map_change_request> changes;
std::vector<std::string> change_names;
void record_change(event_msg& msg, void**) {
    if (msg.number != EV_CHANGE_MAP) return;
    const auto* request = msg.next_ptr<const map_change_request>();
    changes.push_back(*request);
    change_names.emplace_back(request->name);
}

int items_given = 0;

class MapScripts : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_map_services();
        reset_game_state();
        map_actions = map_action_state{};
        new_standin_party(1, 0);
        changes.clear();
        change_names.clear();
        items_given = 0;
    }
    void TearDown() override {
        clear_event_tree();
        clear_timers();
        current_map = loaded_map{};
        reset_map_services();
    }
};

// ---------------------------------------------------------------- the walk

TEST_F(MapScripts, RecordRunsOnlyForEventsInItsMask) {
    use_lists({list_on(NORTH_OF_1, {set_flag(1, SIDE_EV_USED), set_flag(2, SIDE_EV_PASSED),
                                    set_flag(3, SIDE_EV_PASSED | SIDE_EV_USED)})});
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_TRUE(story_flag(1));
    EXPECT_FALSE(story_flag(2));
    EXPECT_TRUE(story_flag(3));
    // Another side's events do not run this list.
    reset_game_state();
    send_side_event(EAST_OF_1, SIDE_EV_USED);
    EXPECT_FALSE(story_flag(1));
}

TEST_F(MapScripts, StopEndsTheWalkOnlyAfterARecordThatRan) {
    use_lists({list_on(NORTH_OF_1, {set_flag(1, SIDE_EV_PASSED, MA_STOP), set_flag(2),
                                    set_flag(3, SIDE_EV_USED, MA_STOP), set_flag(4)})});
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_FALSE(story_flag(1));
    EXPECT_TRUE(story_flag(2));
    EXPECT_TRUE(story_flag(3));
    EXPECT_FALSE(story_flag(4));
}

TEST_F(MapScripts, OnceRecordRunsOnceAndIsMarkedAtItsPlaceAmongAllRecords) {
    use_lists({list_on(NORTH_OF_1, {set_flag(1), set_flag(2)}),
               list_on(EAST_OF_1, {ma(MA_SET_STORY_FLAG, SIDE_EV_USED, MA_ONCE).u16(4, 5).u8(6, 2)})});
    send_side_event(EAST_OF_1, SIDE_EV_USED);
    EXPECT_TRUE(story_flag(5));
    ASSERT_GE(map_actions.ran_once.size(), 3u);
    EXPECT_EQ(map_actions.ran_once[2], 1);
    send_side_event(EAST_OF_1, SIDE_EV_USED);  // would toggle the flag back
    EXPECT_TRUE(story_flag(5));
    // A mark restored from the map state keeps it from running at all.
    map_actions.ran_once.assign(3, 1);
    reset_game_state();
    send_side_event(EAST_OF_1, SIDE_EV_USED);
    EXPECT_FALSE(story_flag(5));
}

TEST_F(MapScripts, ConditionJumpsRelativeToTheCurrentRecord) {
    // Flag 0 is clear: the negated test jumps two records on, over flag 1.
    use_lists({list_on(NORTH_OF_1, {if_story_flag(-1, 2), set_flag(1), set_flag(2)})});
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_FALSE(story_flag(1));
    EXPECT_TRUE(story_flag(2));
    // With flag 0 set the test does not hold and the walk goes straight on.
    reset_game_state();
    set_story_flag(0, 1);
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_TRUE(story_flag(1));
}

TEST_F(MapScripts, JumpOutOfTheListOrOntoItselfEndsTheRun) {
    use_lists({list_on(NORTH_OF_1, {if_story_flag(-1, 7), set_flag(1)}),
               list_on(EAST_OF_1, {set_flag(2, SIDE_EV_USED), if_story_flag(-1, -5), set_flag(3)}),
               list_on(WEST_OF_1, {if_story_flag(-1, 0), set_flag(4)})});
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    send_side_event(EAST_OF_1, SIDE_EV_USED);
    send_side_event(WEST_OF_1, SIDE_EV_USED);
    EXPECT_FALSE(story_flag(1));
    EXPECT_TRUE(story_flag(2));
    EXPECT_FALSE(story_flag(3));
    EXPECT_FALSE(story_flag(4));
}

TEST_F(MapScripts, BackwardJumpThatAlwaysHoldsEnds) {
    // Toggle flag 7, jump back while flag 0 is clear: a circle without end.
    use_lists({list_on(NORTH_OF_1,
                       {ma(MA_SET_STORY_FLAG, SIDE_EV_USED).u16(4, 7).u8(6, 2), if_story_flag(-1, -1)})});
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    SUCCEED();
}

TEST_F(MapScripts, ScriptCallingItselfEndsAndTheGameGoesOn) {
    use_lists({list_on(NORTH_OF_1, {ma(MA_CALL_SIDE, SIDE_EV_USED).u16(4, 1).u16(6, 0), set_flag(9)})});
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_TRUE(story_flag(9));
    // Nesting is back to zero: the next run works as before.
    reset_game_state();
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_TRUE(story_flag(9));
}

TEST_F(MapScripts, CallSideRunsAnotherListForTheSamePlace) {
    use_lists({list_on(NORTH_OF_1, {ma(MA_CALL_SIDE, SIDE_EV_USED).u16(4, 2).u16(6, 0)}),
               list_on(NORTH_OF_2,
                       {ma(MA_IF_FLAG, SIDE_EV_USED).u16(4, -10).u16(6, 2), set_flag(1), set_flag(2)})});
    // The called list tests the place (north of 1, a shown wall), not its own side.
    current_map.sides[NORTH_OF_2].flags &= ~SIDE_P_VIS;
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_TRUE(story_flag(1));
}

// ---------------------------------------------------------------- conditions

TEST_F(MapScripts, IfFlagMinusTenJumpsWhenPrimaryIsHidden) {
    use_lists({list_on(NORTH_OF_1,
                       {ma(MA_IF_FLAG, SIDE_EV_USED).u16(4, -10).u16(6, 2), set_flag(1), set_flag(2)})});
    send_side_event(NORTH_OF_1, SIDE_EV_USED);  // P_VIS set: no jump
    EXPECT_TRUE(story_flag(1));
    reset_game_state();
    current_map.sides[NORTH_OF_1].flags &= ~SIDE_P_VIS;
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_FALSE(story_flag(1));
    EXPECT_TRUE(story_flag(2));
}

TEST_F(MapScripts, StoryFlagTestCountsFromOneAndSetCountsFromZero) {
    use_lists({list_on(NORTH_OF_1, {ma(MA_SET_STORY_FLAG, SIDE_EV_USED).u16(4, 4).u8(6, 1),
                                    if_story_flag(5, 2), set_flag(1), set_flag(2)})});
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_TRUE(story_flag(4));
    EXPECT_FALSE(story_flag(1));
    EXPECT_TRUE(story_flag(2));
    set_story_flag(4, 0);
    EXPECT_FALSE(story_flag(4));
    set_story_flag(4, 7);  // any other value toggles
    EXPECT_TRUE(story_flag(4));
}

// ---------------------------------------------------------------- code lock

TEST_F(MapScripts, CodeLockOpensOnlyOnTheRightSequence) {
    // Three buttons push A, B and C into lock slot 2; the code is "ABC".
    auto button = [](char symbol) {
        return list_on(0,
                       {ma(MA_CODE_LOCK, SIDE_EV_USED).u8(3, symbol).text(4, "ABC").u8(12, 2), set_flag(20)});
    };
    auto a = button('A'), b = button('B'), c = button('C');
    a.side = NORTH_OF_1;
    b.side = EAST_OF_1;
    c.side = WEST_OF_1;
    use_lists({a, b, c});
    for (int side : {NORTH_OF_1, WEST_OF_1, EAST_OF_1}) send_side_event(side, SIDE_EV_USED);  // A C B
    EXPECT_FALSE(story_flag(20));
    for (int side : {NORTH_OF_1, EAST_OF_1}) send_side_event(side, SIDE_EV_USED);  // A B
    EXPECT_FALSE(story_flag(20));
    send_side_event(WEST_OF_1, SIDE_EV_USED);  // C: the memory ends with ABC
    EXPECT_TRUE(story_flag(20));
    // The memory keeps the last seven symbols.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(map_actions.code_locks.data() + 16)), "ACBABC");
    for (int k = 0; k < 3; ++k) send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(map_actions.code_locks.data() + 16)), "BABCAAA");
    EXPECT_EQ(map_actions.code_locks[16 + 7], 0);
}

TEST_F(MapScripts, CodeLockWithEmptyCodeNeverOpens) {
    use_lists({list_on(NORTH_OF_1, {ma(MA_CODE_LOCK, SIDE_EV_USED).u8(3, 'A').u8(12, 0), set_flag(1)})});
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_FALSE(story_flag(1));
    EXPECT_EQ(map_actions.code_locks[0], 'A');
}

// ---------------------------------------------------------------- hooks and time

TEST_F(MapScripts, TimedHookAtTimeOfDayFiresAtTheNextMoment) {
    // The hook runs the list north of 2, which sets flag 30.
    use_lists(
        {list_on(NORTH_OF_1, {ma(MA_SET_HOOK, SIDE_EV_USED).u8(3, 38).u16(4, 2).u8(6, 0).u32(8, -1830)}),
         list_on(NORTH_OF_2, {set_flag(30, SIDE_EV_ACTION)})});
    game_time = 20 * GAME_TIME_HOUR;  // 20:00 of the first day: 18:30 is tomorrow
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    const int32_t due = GAME_TIME_DAY + 18 * GAME_TIME_HOUR + 30 * 6;
    EXPECT_EQ(global_hooks[38].time, due);
    advance_game_time(due - game_time - 1);
    EXPECT_FALSE(story_flag(30));
    advance_game_time(1);
    EXPECT_TRUE(story_flag(30));
    EXPECT_EQ(global_hooks[38].sector, 0);  // cleared when it ran
    EXPECT_EQ(global_hooks[38].time, 0);
}

TEST_F(MapScripts, TimedHookTimesAreMadeAbsolute) {
    game_time = 10 * GAME_TIME_HOUR;
    EXPECT_EQ(timed_hook_time(-1830), 18 * GAME_TIME_HOUR + 180);            // later the same day
    EXPECT_EQ(timed_hook_time(-1000), GAME_TIME_DAY + 10 * GAME_TIME_HOUR);  // now: the next day
    EXPECT_EQ(timed_hook_time(0), GAME_TIME_DAY);                            // midnight
    EXPECT_EQ(timed_hook_time(25), 10 * GAME_TIME_HOUR + 25);                // a delay
    game_time = 3 * GAME_TIME_DAY + 1;
    EXPECT_EQ(timed_hook_time(-30), 3 * GAME_TIME_DAY + 180);
}

TEST_F(MapScripts, OnlyTheFirstDueTimedHookRunsPerAdvance) {
    use_lists({list_on(NORTH_OF_2, {set_flag(1, SIDE_EV_ACTION)}),
               list_on(EAST_OF_1, {set_flag(2, SIDE_EV_ACTION)})});
    global_hooks[39] = global_hook{2, 0, 0, 5};
    global_hooks[40] = global_hook{1, 1, 1, 5};
    EXPECT_TRUE(advance_game_time(5));
    EXPECT_TRUE(story_flag(1));
    EXPECT_FALSE(story_flag(2));
    EXPECT_FALSE(advance_game_time(1));  // hook 40 runs now and forbids
    EXPECT_TRUE(story_flag(2));
}

TEST_F(MapScripts, HookRunsItsSideForThePlaceAndAnswersWithItsCancelByte) {
    use_lists({list_on(NORTH_OF_2, {ma(MA_IF_FLAG, SIDE_EV_ACTION).u16(4, 10).u16(6, 2),
                                    set_flag(1, SIDE_EV_ACTION), set_flag(2, SIDE_EV_ACTION)})});
    EXPECT_TRUE(run_hook(HOOK_BEFORE_STEP, 1, 1));  // empty hook
    global_hooks[HOOK_BEFORE_STEP] = global_hook{2, 0, 1, 0};
    // The place is east of 1, an open side: the P_VIS test does not hold.
    EXPECT_FALSE(run_hook(HOOK_BEFORE_STEP, 1, 1));
    EXPECT_TRUE(story_flag(1));
    EXPECT_TRUE(run_hook(HOOK_COUNT, 1, 1));
    EXPECT_TRUE(run_hook(-1, 1, 1));
}

TEST_F(MapScripts, GameTickAdvancesTimeAndRunsHook13) {
    use_lists({list_on(NORTH_OF_2, {ma(MA_SET_STORY_FLAG, SIDE_EV_ACTION).u16(4, 3).u8(6, 2)})});
    global_hooks[HOOK_GAME_TICK] = global_hook{2, 0, 0, 0};
    game_tick();
    game_tick();
    game_tick();
    EXPECT_EQ(game_time, 3);
    EXPECT_TRUE(story_flag(3));  // toggled three times
}

TEST_F(MapScripts, HookTableStoredFormRoundTrips) {
    global_hooks[0] = global_hook{0x1234, 3, 1, -1830};
    global_hooks[49] = global_hook{7, 2, 0, 0x01020304};
    const auto bytes = global_hooks_bytes();
    EXPECT_EQ(bytes[0], 0x34);
    EXPECT_EQ(bytes[1], 0x12);
    EXPECT_EQ(bytes[2], 3);
    EXPECT_EQ(bytes[3], 1);
    EXPECT_EQ(bytes[49 * 8 + 4], 0x04);
    reset_game_state();
    set_global_hooks_bytes(bytes.data(), bytes.size());
    EXPECT_EQ(global_hooks[0].time, -1830);
    EXPECT_EQ(global_hooks[49].time, 0x01020304);
    // A short table fills what whole entries it holds; the rest is empty.
    set_global_hooks_bytes(bytes.data(), 12);
    EXPECT_EQ(global_hooks[0].sector, 0x1234);
    EXPECT_EQ(global_hooks[1].sector, 0);
    EXPECT_EQ(global_hooks[49].sector, 0);
}

// ---------------------------------------------------------------- out of range

TEST_F(MapScripts, OutOfRangeParametersDoNothing) {
    map_services.give_held = [](int) { ++items_given; };
    map_services.item_count = [] { return 10; };
    use_lists({list_on(NORTH_OF_1, {
                                       ma(MA_SET_STORY_FLAG, SIDE_EV_USED).u16(4, 256).u8(6, 1),
                                       ma(MA_SET_STORY_FLAG, SIDE_EV_USED).u16(4, -1).u8(6, 1),
                                       ma(MA_SET_HOOK, SIDE_EV_USED).u8(3, 50).u16(4, 2),
                                       ma(MA_SET_HOOK, SIDE_EV_USED).u8(3, 5).u16(4, 5),  // sector 5 of 4
                                       ma(MA_SET_HOOK, SIDE_EV_USED).u8(3, 6).u16(4, 2).u8(6, 4),  // side 4
                                       ma(MA_TELEPORT, SIDE_EV_USED).u16(4, 5),
                                       ma(MA_TELEPORT, SIDE_EV_USED).u16(4, 0),
                                       ma(MA_SWAP_SECTORS, SIDE_EV_USED).u16(4, 0).u16(6, 2),
                                       ma(MA_GIVE_HELD, SIDE_EV_USED).u16(4, 11),
                                       ma(MA_GIVE_HELD, SIDE_EV_USED).u16(4, 0),
                                       ma(MA_CALL_SIDE, SIDE_EV_USED).u16(4, 9).u16(6, 0),
                                       ma(MA_IF_STORY_FLAG, SIDE_EV_USED).u16(4, 0).u16(6, 2),
                                       ma(MA_GIVE_HELD, SIDE_EV_USED).u16(4, 10),
                                       // A lock slot out of range never opens (and stops the walk).
                                       ma(MA_CODE_LOCK, SIDE_EV_USED).u8(3, 'A').text(4, "A").u8(12, 16),
                                       set_flag(1),
                                   })});
    const auto sectors_before = current_map.sectors[2].exits;
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    for (uint8_t byte : story_flags) EXPECT_EQ(byte, 0);
    for (const global_hook& h : global_hooks) EXPECT_EQ(h.sector, 0);
    for (uint8_t byte : map_actions.code_locks) EXPECT_EQ(byte, 0);
    EXPECT_EQ(party.sector, 1);
    EXPECT_EQ(current_map.sectors[2].exits, sectors_before);
    EXPECT_EQ(items_given, 1);  // only the last, in range, and the walk went on to it
    // Events for a side outside the map run nothing.
    send_side_event(-1, SIDE_EV_USED);
    send_side_event(static_cast<int>(current_map.sides.size()), SIDE_EV_USED);
}

// ---------------------------------------------------------------- commands

int sounds_played = 0;

// Byte 3 of a sound record keeps the sample size in bit 0: a 16-bit sound's
// "quiet while open" (bit 1) and "quiet while shut" (bit 2) hold all the same.
TEST_F(MapScripts, SoundQuietWhileTheLastDoorIsOpenOrShutWhateverItsSampleSize) {
    map_services.play_sound = [](const uint8_t*, int, int, int) { ++sounds_played; };
    use_lists({list_on(NORTH_OF_1, {ma(MA_SOUND, SIDE_EV_USED).u8(3, 2 | 1), ma(MA_SOUND, SIDE_EV_USED).u8(3, 4 | 1),
                                    ma(MA_SOUND, SIDE_EV_USED).u8(3, 1)})});
    note_side_touched(EAST_OF_1);
    current_map.sides[EAST_OF_1].flags |= SIDE_P_FORW;  // the door stands open
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_EQ(sounds_played, 2);  // quiet while open is quiet
    sounds_played = 0;
    current_map.sides[EAST_OF_1].flags &= ~uint32_t(SIDE_P_FORW);
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_EQ(sounds_played, 2);  // quiet while shut is quiet
}

TEST_F(MapScripts, LoadMapRequestCarriesMapSectorAndDirection) {
    add_event_handler(EV_CHANGE_MAP, record_change);
    use_lists({list_on(NORTH_OF_1, {ma(MA_LOAD_MAP, SIDE_EV_USED).u16(4, 17).u8(6, 2).text(7, "CELLAR.MAP")}),
               list_on(EAST_OF_1, {ma(MA_LOAD_MAP, SIDE_EV_USED).u16(4, 3).u8(6, 1).text(7, "../X.MAP"),
                                   ma(MA_LOAD_MAP, SIDE_EV_USED).u16(4, 3).u8(6, 1)}),
               list_on(NORTH_OF_2, {set_flag(1, SIDE_EV_ACTION)})});
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(change_names[0], "CELLAR.MAP");
    EXPECT_EQ(changes[0].sector, 17);
    EXPECT_EQ(changes[0].direction, 2);
    // A name with a folder, or none, is refused.
    send_side_event(EAST_OF_1, SIDE_EV_USED);
    EXPECT_EQ(changes.size(), 1u);
    // Hook 0 runs first and may forbid the change.
    global_hooks[HOOK_LEAVE_MAP] = global_hook{2, 0, 1, 0};
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_TRUE(story_flag(1));
    EXPECT_EQ(changes.size(), 1u);
    // Not during a battle.
    global_hooks[HOOK_LEAVE_MAP] = global_hook{};
    map_services.in_battle = [] { return true; };
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(MapScripts, TeleportMovesTheMembersInThePlacesSector) {
    use_lists({list_on(NORTH_OF_1, {ma(MA_TELEPORT, SIDE_EV_USED).u16(4, 4).u16(6, 3)})});
    party.members[3].sector = 2;  // not in the place's sector: stays
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_EQ(party.sector, 4);
    EXPECT_EQ(party.direction, 3);
    EXPECT_EQ(party.members[0].sector, 4);
    EXPECT_EQ(party.members[0].direction, 3);
    EXPECT_EQ(party.members[3].sector, 2);
}

TEST_F(MapScripts, HitPartyHurtsEveryoneInTheSectorOrOneMember) {
    use_lists({list_on(NORTH_OF_1, {ma(MA_HIT_PARTY, SIDE_EV_USED).u8(3, 1).u16(4, 5).u16(6, 5)}),
               list_on(EAST_OF_1, {ma(MA_HIT_PARTY, SIDE_EV_USED).u8(3, 0).u16(4, 4).u16(6, 4)})});
    std::vector<int> full;
    for (const standin_member& m : party.members) full.push_back(m.hit_points);
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    for (size_t k = 0; k < party.members.size(); ++k) EXPECT_EQ(party.members[k].hit_points, full[k] - 5);
    send_side_event(EAST_OF_1, SIDE_EV_USED);
    int lost = 0;
    for (size_t k = 0; k < party.members.size(); ++k) lost += full[k] - 5 - party.members[k].hit_points;
    EXPECT_EQ(lost, 4);
}

TEST_F(MapScripts, SwapSectorsExchangesSectorsAndTheirSides) {
    use_lists({list_on(NORTH_OF_1, {ma(MA_SWAP_SECTORS, SIDE_EV_USED).u16(4, 2).u16(6, 3)})});
    current_map.sectors[2].floor = 2;
    current_map.sides[2 * 4 + 1].primary = 3;
    current_map.side_resting[2 * 4 + 1] = 0x55;
    const map_sector two = current_map.sectors[2], three = current_map.sectors[3];
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_EQ(current_map.sectors[3].floor, two.floor);
    EXPECT_EQ(current_map.sectors[3].exits, two.exits);
    EXPECT_EQ(current_map.sectors[2].exits, three.exits);
    EXPECT_EQ(current_map.sides[3 * 4 + 1].primary, 3);
    EXPECT_EQ(current_map.side_resting[3 * 4 + 1], 0x55);
}

TEST_F(MapScripts, TextsGoToTheBottomPanel) {
    use_lists({list_on(NORTH_OF_1, {ma(MA_MAP_TEXT, SIDE_EV_USED).u32(4, 2)}),
               list_on(EAST_OF_1, {ma(MA_MAP_TEXT, SIDE_EV_USED).u32(4, 70000)})});
    current_map.strings = {std::nullopt, std::nullopt, std::string("The gate is shut.")};
    send_side_event(NORTH_OF_1, SIDE_EV_USED);
    EXPECT_EQ(panel_message, "The gate is shut.");
    send_side_event(EAST_OF_1, SIDE_EV_USED);
    EXPECT_EQ(panel_message, "Chybi popisek!!");
}

TEST_F(MapScripts, LockOpensWithItsKeyOnly) {
    static int held = 0;
    map_services.held_item = [] { return held; };
    map_services.key_code = [](int item) { return item == 3 ? 7 : item == 4 ? 8 : 0; };
    use_lists({list_on(WEST_OF_3, {ma(MA_LOCK, SIDE_EV_USED).u16(4, 7).u16(6, -1), set_flag(1),
                                   set_flag(2, SIDE_EV_NO_KEY), set_flag(3, SIDE_EV_WRONG_KEY)})});
    for (int item : {0, 4, 2}) {
        held = item;
        send_side_event(WEST_OF_3, SIDE_EV_USED);
        EXPECT_FALSE(story_flag(1)) << "item " << item;
    }
    EXPECT_TRUE(story_flag(2));  // the empty hand
    EXPECT_TRUE(story_flag(3));  // the other key, and the item that is no key
    held = 3;
    send_side_event(WEST_OF_3, SIDE_EV_USED);
    EXPECT_TRUE(story_flag(1));
}

TEST_F(MapScripts, LockPickBreaksOnALockTooHardForTheGroup) {
    static int broken = 0;
    broken = 0;
    map_services.held_item = [] { return 5; };
    map_services.key_code = [](int) { return -1; };
    map_services.break_held_pick = [] { ++broken; };
    // Difficulty 0 counts as 100; nobody can pick (skill 0): the pick always breaks.
    use_lists({list_on(WEST_OF_3, {ma(MA_LOCK, SIDE_EV_USED).u16(4, 7).u16(6, 0), set_flag(1)}),
               list_on(EAST_OF_1, {ma(MA_LOCK, SIDE_EV_USED).u16(4, 7).u16(6, -1), set_flag(2)})});
    party.members[0].sector = 3;
    for (int k = 0; k < 5; ++k) send_side_event(WEST_OF_3, SIDE_EV_USED);
    EXPECT_EQ(broken, 5);
    EXPECT_FALSE(story_flag(1));
    // A lock that cannot be picked refuses the pick without breaking it.
    send_side_event(EAST_OF_1, SIDE_EV_USED);
    EXPECT_EQ(broken, 5);
    EXPECT_FALSE(story_flag(2));
}

TEST_F(MapScripts, StepEventsWorkOnTheActiveGroupOthersOnTheMembersInTheSector) {
    use_lists({list_on(EAST_OF_1, {ma(MA_TELEPORT, SIDE_EV_PASSED | SIDE_EV_USED).u16(4, 4).u16(6, 2)})});
    party.members[2].sector = 2;  // active group, elsewhere
    party.members[3].group = 2;   // in the sector, another group
    send_side_event(EAST_OF_1, SIDE_EV_PASSED);
    EXPECT_EQ(party.members[2].sector, 4);
    EXPECT_EQ(party.members[3].sector, 1);
    new_standin_party(1, 0);
    party.members[2].sector = 2;
    party.members[3].group = 2;
    send_side_event(EAST_OF_1, SIDE_EV_USED);
    EXPECT_EQ(party.members[2].sector, 2);
    EXPECT_EQ(party.members[3].sector, 4);
}

}  // namespace
