// What a step asks of the party's members: whether the group can move at
// all, boarding a boat together, the load each walker pays, and the marks and
// animations of the places they reach. On the stand-in company, headless.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "base/strings.h"
#include "compiled_map.h"
#include "core/events.h"
#include "core/timers.h"
#include "forge/map_source.h"
#include "platform/display.h"
#include "platform/headless_display.h"
#include "world/character_rules.h"
#include "world/map.h"
#include "world/map_services.h"
#include "world/movement.h"
#include "world/movement_rules.h"
#include "world/panel.h"
#include "world/party_rules.h"
#include "world/party_standin.h"

namespace {

using cells = std::map<std::tuple<int, int, int>, int>;

cells use_map(const std::string& body) {
    const std::string head =
        "[map]\ntitle = Test\nfade = 0 0 0\n"
        "[textures]\nwall w = W.PCX WL.PCX WR.PCX\nfloor f = F.PCX\nceiling c = C.PCX\n"
        "[legend]\n# = wall=w\n. = floor=f ceiling=c\n";
    return use_compiled_map(head + body);
}

int cell(const cells& at, int x, int y) {
    return at.at({x, y, 0});
}

std::vector<int> walkers;
int teleport_animations = 0;

class PartySteps : public ::testing::Test {
  protected:
    void SetUp() override {
        set_display_factory([] { return std::make_unique<HeadlessDisplay>(); });
        display_open(video_settings{}, "test");
        install_display_hooks();
        reset_movement_rules();
        reset_party_rules();
        reset_map_services();
        reset_character_rules();
        movement = movement_state{};
        movement.walk_speed = 0;
        panel_mode = PANEL_PARTY;
        walkers.clear();
        teleport_animations = 0;
        character_rules.walked = [](int slot) { walkers.push_back(slot); };
        map_services.teleport_animation = [] { ++teleport_animations; };
        string_list_set(ui_strings, 66, "ashore");
        string_list_set(ui_strings, 220, "cannot move");
    }
    void TearDown() override {
        panel_back_to_party(true);
        string_list_set(ui_strings, 66, nullptr);
        string_list_set(ui_strings, 220, nullptr);
        reset_character_rules();
        reset_map_services();
        clear_event_tree();
        clear_timers();
        destroy_display();
        remove_display_hooks();
        set_display_factory(nullptr);
        current_map = loaded_map{};
    }
};

}  // namespace

TEST_F(PartySteps, AGroupWithAnExhaustedOrOverloadedMemberCannotMove) {
    auto at = use_map("[grid]\n#####\n#...#\n#####\n[map]\nstart = 1 1 east\n");
    new_standin_party(cell(at, 1, 1), 1);
    const int start = party.sector;
    party.members[2].condition = 0;
    EXPECT_FALSE(step(STEP_FORWARD));
    EXPECT_EQ(party.sector, start);
    EXPECT_EQ(panel_mode, PANEL_MESSAGE);
    EXPECT_EQ(panel_message, "cannot move");

    // A member of another group does not hold the active one back.
    panel_back_to_party(true);
    party.members[2].group = 2;
    EXPECT_TRUE(step(STEP_FORWARD));
    EXPECT_EQ(panel_mode, PANEL_PARTY);
    EXPECT_EQ(walkers, (std::vector<int>{0, 1, 3}));  // each walker paid for its load
    EXPECT_EQ(party.members[2].sector, start);        // left behind

    // A load its condition cannot pay stops the group too.
    character_rules.load_penalty = [](int slot) { return slot == 1 ? 49 : 0; };  // condition 48
    EXPECT_FALSE(step(STEP_BACK));
    EXPECT_EQ(panel_message, "cannot move");
    character_rules.load_penalty = [](int slot) { return slot == 1 ? 48 : 0; };
    EXPECT_TRUE(step(STEP_BACK));
}

TEST_F(PartySteps, BoardingGathersThoseAtHandAndWaitsForAnyoneLeftAshore) {
    auto at = use_map(
        "[grid]\n######\n#....#\n######\n[map]\nstart = 1 1 east\n"
        "[sectors]\n3 1: type=3\n4 1: type=9\n");
    new_standin_party(cell(at, 1, 1), 1);
    // Two stand apart in the party's sector (another group), one further back.
    EXPECT_TRUE(step(STEP_FORWARD));
    const int shore = party.sector;
    party.members[1].group = 2;
    party.members[2].group = 2;
    party.members[3].group = 3;
    party.members[3].sector = cell(at, 1, 1);
    EXPECT_FALSE(step(STEP_FORWARD));
    EXPECT_EQ(party.sector, shore);
    EXPECT_EQ(panel_message, "ashore");
    EXPECT_EQ(party.members[1].group, party.active_group);  // merged all the same
    EXPECT_EQ(party.members[2].group, party.active_group);
    EXPECT_FALSE(movement.boat_mode);

    // A dead member does not wait to be taken aboard; the living one comes.
    party.members[3].hit_points = 0;
    panel_back_to_party(true);
    EXPECT_TRUE(step(STEP_FORWARD));
    EXPECT_TRUE(movement.boat_mode);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(party.members[static_cast<size_t>(i)].sector, party.sector);
}

TEST_F(PartySteps, ShownTeleportPlaysItsAnimationAndProtectedMembersMakeASafePlace) {
    auto at = use_map(
        "[grid]\n######\n#....#\n######\n[map]\nstart = 1 1 east\nclass = 3\n"
        "[sectors]\n2 1: type=12 action_side=east target=4,1\n");
    new_standin_party(cell(at, 1, 1), 1);
    const int pad = cell(at, 2, 1);
    current_map.sides[static_cast<size_t>(pad * 4 + 1)].flags |= SIDE_S_VIS;  // seen facing east
    // Only Lenka (slot 1) carries the protective item.
    character_rules.carries_protective_item = [](int slot) { return slot == 1; };
    EXPECT_TRUE(step(STEP_FORWARD));
    EXPECT_EQ(teleport_animations, 1);
    const int there = cell(at, 4, 1);
    EXPECT_EQ(party.sector, there);
    EXPECT_TRUE(current_map.coords[static_cast<size_t>(there)].coord_flags & MC_SAFEPLACE);
    EXPECT_TRUE(current_map.coords[static_cast<size_t>(there)].coord_flags & MC_PLAYER);
    for (const standin_member& m : party.members) EXPECT_EQ(m.condition, m.max_condition);

    // Without the item the next place is unsafe: everyone tires as in
    // water, and the marks leave the sector behind.
    character_rules.carries_protective_item = [](int) { return false; };
    EXPECT_TRUE(step(STEP_BACK));
    EXPECT_EQ(party.sector, cell(at, 3, 1));
    EXPECT_EQ(current_map.coords[static_cast<size_t>(there)].coord_flags & (MC_SAFEPLACE | MC_PLAYER), 0);
    EXPECT_FALSE(current_map.coords[static_cast<size_t>(party.sector)].coord_flags & MC_SAFEPLACE);
    for (const standin_member& m : party.members) EXPECT_EQ(m.condition, m.max_condition - 20);
}
