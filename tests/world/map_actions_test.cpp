// The map's actions on a loaded 2 x 2 room: doors and their animations,
// propagation that must end, sector actions of levers, delayed actions,
// passing sides and pressure plates.
#include <gtest/gtest.h>

#include "map_rules_fixture.h"

using map_rules_test::events;
using map_rules_test::MapRules;
using map_rules_test::rules_map;

namespace {

constexpr uint32_t DOOR_BITS = SIDE_NOPLAYER | SIDE_NOMONSTER | SIDE_NOTHING | SIDE_NOSOUND;
constexpr uint32_t DOOR_MASK = DOOR_BITS << 24;

// Sector 1's east side (toward sector 2) as a closed door of four frames.
forge::map_model door_map(uint32_t extra_flags = 0) {
    forge::map_model m = rules_map();
    map_side& door = m.sides[4 * 1 + 1];
    door.primary = 1;
    door.primary_anim = 0x03;
    door.flags = SIDE_P_VIS | SIDE_AUTOMAP | DOOR_BITS | extra_flags;
    return m;
}

int frame(const map_side& s) {
    return s.primary_anim >> 4;
}

}  // namespace

TEST_F(MapRules, DoorBecomesPassableAtItsLastFrameAndBlocksAtTheFirstStepBack) {
    load(door_map());
    map_side& door = side(1, 1);
    apply_action(ACT_OPEN, 1, 1, DOOR_MASK, false);
    EXPECT_EQ(events.back(), std::make_pair(5, SIDE_EV_ACTION | SIDE_EV_CHANGED));
    EXPECT_EQ(map_actions.last_action, ACT_OPEN);
    for (int tick = 1; tick <= 2; ++tick) {
        map_world_tick();
        EXPECT_EQ(frame(door), tick);
        EXPECT_TRUE(door.flags & SIDE_NOPLAYER) << "tick " << tick;
    }
    map_world_tick();
    EXPECT_EQ(frame(door), 3);
    EXPECT_FALSE(door.flags & DOOR_BITS);
    EXPECT_EQ(events.back(), std::make_pair(5, SIDE_EV_ANIM_STEP | SIDE_EV_ANIM_ODD | SIDE_EV_ANIM_END));
    map_world_tick();  // stays open, silently
    EXPECT_EQ(frame(door), 3);

    events.clear();
    apply_action(ACT_CLOSE, 1, 1, DOOR_MASK, false);
    EXPECT_FALSE(door.flags & SIDE_NOPLAYER);
    map_world_tick();
    EXPECT_EQ(frame(door), 2);
    EXPECT_EQ(door.flags & DOOR_BITS, DOOR_BITS);
    map_world_tick();
    map_world_tick();
    EXPECT_EQ(frame(door), 0);
    EXPECT_EQ(events.back(), std::make_pair(5, SIDE_EV_ANIM_STEP | SIDE_EV_ANIM_START));
}

TEST_F(MapRules, PingPongDoorTurnsBackByItself) {
    load(door_map(SIDE_P_PING));
    map_side& door = side(1, 1);
    apply_action(ACT_OPEN, 1, 1, DOOR_MASK, false);
    std::vector<int> frames;
    for (int tick = 0; tick < 7; ++tick) {
        map_world_tick();
        frames.push_back(frame(door));
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 2, 1, 0, 0}));
    EXPECT_FALSE(door.flags & SIDE_P_FORW);
}

TEST_F(MapRules, OpenLeavesAContinuousPrimaryAlone) {
    load(door_map(SIDE_P_ANIM));
    map_side& door = side(1, 1);
    const uint8_t resting = current_map.side_resting[5];
    apply_action(ACT_OPEN, 1, 1, DOOR_MASK, false);
    EXPECT_FALSE(door.flags & SIDE_P_FORW);
    EXPECT_EQ(current_map.side_resting[5], resting);
    // It runs round backwards as before, without events.
    events.clear();
    std::vector<int> frames;
    for (int tick = 0; tick < 5; ++tick) {
        map_world_tick();
        frames.push_back(frame(door));
    }
    EXPECT_EQ(frames, (std::vector<int>{3, 2, 1, 0, 3}));
    EXPECT_TRUE(events.empty());
}

TEST_F(MapRules, SidesThatCopyToEachOtherAndApplyTheSecondFaceEnd) {
    forge::map_model m = rules_map();
    // The wall between sectors 1 and 2, from both faces, each copying its
    // actions to the other and to the other face.
    m.sides[4 * 1 + 1].flags |= SIDE_COPY | SIDE_APLY2ND;
    m.sides[4 * 1 + 1].action_target = 2;
    m.sides[4 * 1 + 1].target_side = 3;
    m.sides[4 * 2 + 3].flags |= SIDE_COPY | SIDE_APLY2ND;
    m.sides[4 * 2 + 3].action_target = 1;
    m.sides[4 * 2 + 3].target_side = 1;
    load(m);
    testing::internal::CaptureStderr();
    apply_action(ACT_SHOW_HIDE, 1, 1, 0, false);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // ended by itself, not cut
    EXPECT_TRUE(side(1, 1).flags & SIDE_COPY);
    EXPECT_TRUE(side(2, 3).flags & SIDE_COPY);
    // Side 5, side 11 by the copy, side 5 by 11's copy; the faces reached
    // through APLY2ND hear nothing.
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(MapRules, RulesThatCallEachOtherForeverAreCutAndReportedOnce) {
    load(rules_map());
    // Side events that apply actions back and forth, as two scripts might.
    movement_rules.send_side_event = [](int side, int ev) {
        events.emplace_back(side, ev);
        apply_action(ACT_SHOW_HIDE, side == 4 ? 2 : 1, 0, 0, false);
        apply_action(ACT_SHOW_HIDE, side == 4 ? 2 : 1, 0, 0, false);
    };
    testing::internal::CaptureStderr();
    apply_action(ACT_SHOW_HIDE, 1, 0, 0, false);
    apply_action(ACT_SHOW_HIDE, 1, 0, 0, false);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("RULES.MAP"), std::string::npos);
    EXPECT_EQ(said.find("RULES.MAP"), said.rfind("RULES.MAP"));
    EXPECT_LE(events.size(), 2u * MAP_RULES_MAX_DEPTH);
    // The game goes on: the next action runs in full.
    movement_rules.send_side_event = [](int side, int ev) { events.emplace_back(side, ev); };
    events.clear();
    apply_action(ACT_SHOW_HIDE, 1, 0, 0, false);
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(MapRules, FourLeversFireTheSectorActionAndFireAgainWhenOneIsReleased) {
    forge::map_model m = rules_map();
    // Sector 4's four sides are levers switching its walls; when all four
    // show, the sector toggles sector 1's north wall.
    for (int d = 0; d < 4; ++d) {
        map_side& lever = m.sides[4 * 4 + d];
        lever.action = ACT_SECTOR_SWITCH;
        lever.action_target = 4;
        lever.target_side = static_cast<uint8_t>(d);
        lever.flags = (lever.flags & ~SIDE_P_VIS) | SIDE_NOPLAYER;
    }
    m.sectors[4].action = ACT_SHOW_HIDE;
    m.sectors[4].action_target = 1;
    m.sectors[4].action_side = 0;
    load(m);
    auto fired = [] { return map_rules_test::MapRules::count_events(4, SIDE_EV_ACTION); };
    for (int d = 0; d < 3; ++d) use_side(4, d);
    EXPECT_EQ(fired(), 0);
    use_side(4, 3);
    EXPECT_EQ(fired(), 1);
    EXPECT_FALSE(side(1, 0).flags & SIDE_P_VIS);
    use_side(4, 2);  // released
    EXPECT_EQ(fired(), 2);
    EXPECT_TRUE(side(1, 0).flags & SIDE_P_VIS);
    use_side(4, 2);
    EXPECT_EQ(fired(), 3);
}

TEST_F(MapRules, DelayedActionsFireInOrderAndCanBeCancelled) {
    load(rules_map());
    queue_action(ACT_SHOW_HIDE, 1, 0, 0, false, 3);
    queue_action(ACT_SHOW_HIDE, 2, 0, 0, false, 1);
    queue_action(ACT_SHOW_HIDE, 3, 0, 0, false, 2);
    queue_action(ACT_SHOW_HIDE, 4, 0, 0, false, 2);
    queue_action(ACT_SHOW_HIDE, 0, 0, 0, false, 1);  // no target: nothing queued
    ASSERT_EQ(map_actions.delayed.size(), 4u);
    EXPECT_EQ(map_actions.delayed.front().sector, 4);  // newest first
    EXPECT_TRUE(cancel_delayed_action(3, 0));
    EXPECT_FALSE(cancel_delayed_action(3, 0));
    std::vector<int> order;
    for (int tick = 0; tick < 4; ++tick) {
        events.clear();
        map_world_tick();
        for (const auto& [s, ev] : events) order.push_back(s / 4);
    }
    EXPECT_EQ(order, (std::vector<int>{2, 4, 1}));
    EXPECT_TRUE(map_actions.delayed.empty());
    // Two due in the same tick: the one queued first goes first.
    queue_action(ACT_SHOW_HIDE, 3, 0, 0, false, 1);
    queue_action(ACT_SHOW_HIDE, 2, 0, 0, false, 1);
    events.clear();
    map_world_tick();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].first, 12);
}

TEST_F(MapRules, OutOfRangeTargetsDoNothing) {
    load(rules_map());
    const std::vector<map_side> before = current_map.sides;
    apply_action(ACT_SHOW_HIDE, 5, 0, 0, false);
    apply_action(ACT_SHOW_HIDE, -1, 0, 0, false);
    apply_action(ACT_SHOW_HIDE, 1, 4, 0, false);
    apply_action(ACT_TELEPORT_ON, 60000, 0, 0, false);
    use_side(9, 0);
    pass_side(-3, 0);
    check_plate(70, true);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(current_map.sides.size(), before.size());
    for (size_t k = 0; k < before.size(); ++k) EXPECT_EQ(current_map.sides[k].flags, before[k].flags);
}

TEST_F(MapRules, PassingASideUncoversItRaisesItsAlarmAndRunsItsAction) {
    forge::map_model m = rules_map();
    map_side& passage = m.sides[4 * 1 + 2];  // sector 1 south, toward 3
    passage.flags |= SIDE_SECRET | SIDE_ALARM | SIDE_PASS;
    passage.action = ACT_SHOW_HIDE;
    passage.action_target = 4;
    passage.target_side = 1;
    load(m);
    static int alarmed = 0;
    static bool allow = true;
    alarmed = 0;
    map_services.alarm = [](int sector) { alarmed = sector; };
    movement_rules.run_hook = [](int number, int, int) { return number == HOOK_ALARM && allow; };
    pass_side(1, 2);
    EXPECT_FALSE(side(1, 2).flags & SIDE_SECRET);
    EXPECT_EQ(alarmed, 3);
    EXPECT_EQ(map_rules_test::MapRules::count_events(4 * 4 + 1, SIDE_EV_ACTION), 1);
    allow = false;
    alarmed = 0;
    pass_side(1, 2);
    EXPECT_EQ(alarmed, 0);
    allow = true;
    // Using a PASS side does nothing.
    events.clear();
    use_side(1, 2);
    EXPECT_TRUE(events.empty());
}

TEST_F(MapRules, PlateIsPressedByThePartyOrAnItemAndReleasedWhenEmpty) {
    forge::map_model m = rules_map();
    m.sectors[2].sector_type = SECTOR_PLATE_RELEASED;
    m.sectors[2].surface_modes = 3;  // floor step 4
    m.sectors[2].action = ACT_SHOW_HIDE;
    m.sectors[2].action_target = 3;
    m.sectors[2].action_side = 2;
    load(m);
    map_sector& plate = current_map.sectors[2];
    const int floor = plate.floor;
    auto fired = [] { return map_rules_test::MapRules::count_events(3 * 4 + 2, SIDE_EV_ACTION); };

    current_map.coords[2].coord_flags |= MC_PLAYER;
    check_plates(1, 2);
    EXPECT_EQ(plate.sector_type, SECTOR_PLATE_PRESSED);
    EXPECT_EQ(plate.floor, floor + 4);
    EXPECT_EQ(fired(), 1);
    check_plates(1, 2);  // still pressed: nothing more
    EXPECT_EQ(fired(), 1);

    current_map.coords[2].coord_flags &= static_cast<uint16_t>(~MC_PLAYER);
    check_plates(2, 1);
    EXPECT_EQ(plate.sector_type, SECTOR_PLATE_RELEASED);
    EXPECT_EQ(plate.floor, floor);
    EXPECT_EQ(fired(), 2);

    // An item in the third quarter presses it too; without run nothing fires.
    current_map.items.push_back({2 * 4 + 2, {7, 0}});
    check_plate(2, false);
    EXPECT_EQ(plate.sector_type, SECTOR_PLATE_PRESSED);
    EXPECT_EQ(fired(), 2);
    current_map.items.clear();
    check_plate(2, true);
    EXPECT_EQ(plate.sector_type, SECTOR_PLATE_RELEASED);
    EXPECT_EQ(fired(), 3);
    // So does an item the items part knows of.
    map_services.item_on_floor = [](int sector) { return sector == 2; };
    check_plate(2, true);
    EXPECT_EQ(plate.sector_type, SECTOR_PLATE_PRESSED);
    EXPECT_EQ(fired(), 4);
}
