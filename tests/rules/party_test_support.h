#pragma once
// A small item table and a recording stand-in for the rest of the game, for
// the party tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/party.h"

struct recording_world : party_world {
    bool battle = false;
    uint32_t options = 0;
    int hazard = 0;
    int view_sector_value = 10;
    std::vector<int> events;
    std::vector<std::string> sounds;
    std::vector<int> destroyed;
    int view_sector() const override { return view_sector_value; }
    bool battle_running() const override { return battle; }
    uint32_t game_options() const override { return options; }
    int map_hazard() const override { return hazard; }
    bool raise_global_event(int event, int, int) override {
        events.push_back(event);
        return false;
    }
    void play_sound(const char* name, int) override { sounds.push_back(name); }
    void destroy_item(int item) override { destroyed.push_back(item); }
};

// Items 1.. of the test table; tests add what they need.
inline std::vector<item_def>& test_items() {
    static std::vector<item_def> items;
    return items;
}
inline const item_def* test_item_lookup(int number) {
    auto& items = test_items();
    return number >= 1 && size_t(number) <= items.size() ? &items[size_t(number) - 1] : nullptr;
}
inline int add_test_item(const item_def& item) {
    test_items().push_back(item);
    return int(test_items().size());
}

// Every test starts from an empty party, no items and the recording world.
class PartyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_party();
        test_items().clear();
        set_party_item_lookup(test_item_lookup);
        set_party_world(&world);
    }
    void TearDown() override {
        set_party_world(nullptr);
        set_party_item_lookup(nullptr);
    }
    // A living character in slot `slot` with everything at its maximum.
    party_member& hero(int slot = 0, int hp_max = 40) {
        party_member& m = party_members[slot];
        m = party_member{};
        m.used = 1;
        m.group = 1;
        m.level = 1;
        m.sector = 10;
        m.inventory_size = BACKPACK_MIN;
        m.base_stats[STAT_STRENGTH] = 20;
        m.base_stats[STAT_SPEED] = 30;
        m.base_stats[STAT_DEXTERITY] = 20;
        m.base_stats[STAT_HP_MAX] = int16_t(hp_max);
        m.base_stats[STAT_VP_MAX] = 30;
        m.base_stats[STAT_MP_MAX] = 20;
        recompute_stats(m);
        m.hp = m.stats[STAT_HP_MAX];
        m.vp = m.stats[STAT_VP_MAX];
        m.mp = m.stats[STAT_MP_MAX];
        m.food = food_capacity(m);
        m.water = water_capacity(m);
        std::snprintf(m.name, sizeof m.name, "Hero%d", slot);
        return m;
    }
    recording_world world;
};
