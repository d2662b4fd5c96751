// The whole program on the headless display, walking from the keep through
// the cellars down into the demo's flooded crypt: across the water by boat,
// through the lair to the teleporter, and back up the steps to the cellars.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/events.h"
#include "core/handles.h"
#include "monsters/monsters.h"
#include "rules/monsters_ai/monster_ai.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "world/map.h"
#include "world/map_format.h"
#include "world/movement.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/view_animation.h"

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/world/golden/";

constexpr uint16_t KEY_UP = 0x4800, KEY_LEFT = 0x4B00, KEY_RIGHT = 0x4D00;
constexpr uint16_t KEY_SPACE = 0x3920, KEY_ESC = 0x011B, KEY_ENTER = 0x1C0D;
constexpr uint16_t KEY_STEP_LEFT = 0x1E61;  // a
constexpr uint16_t KEY_J = 0x246A;
constexpr int EAST = 1, WEST = 3;

int sector_at(int x, int y) {
    for (int s = 1; s < current_map.sector_count; ++s) {
        const map_coord& c = current_map.coords[static_cast<size_t>(s)];
        if (c.x == x && c.y == y && c.layer == 0) return s;
    }
    return 0;
}
int type_at(int x, int y) {
    return current_map.sectors[static_cast<size_t>(sector_at(x, y))].sector_type;
}
std::pair<int, int> party_cell() {
    const map_coord& c = current_map.coords[static_cast<size_t>(party.sector)];
    return {c.x, c.y};
}
std::string map_text(int n) {
    const std::string* text = map_string(n);
    return text ? *text : std::string("(no text ") + std::to_string(n) + ")";
}
// The name of the first monster standing in the cell, "" for none.
std::string monster_in(int x, int y) {
    const monster* m = monster_by_number(first_monster_in(sector_at(x, y)));
    return m ? std::string(m->name) : std::string();
}

// The walk is about the maps, not the fights: the monsters neither watch for
// the party nor wander into its way.
void hold_monsters_still() {
    for (monster& m : monster_table)
        if (m.alive()) m.strategy &= static_cast<uint8_t>(~(MS_WALK | MS_LISTEN));
}

std::map<std::string, std::vector<uint8_t>> test_store;
void store_write(const std::string& name, const std::vector<uint8_t>& data) {
    test_store[name] = data;
}
bool store_read(const std::string& name, std::vector<uint8_t>& data) {
    auto it = test_store.find(name);
    if (it == test_store.end()) return false;
    data = it->second;
    return true;
}

// Keys at virtual times and probes that run on the game side at given times.
struct walk {
    scripted_run_options options;
    uint64_t t = 1000;
    std::vector<std::function<void()>> probes;

    void press(uint16_t key, uint64_t then = 300) {
        options.script.push_back(script_key(t, key));
        t += then;
    }
    void presses(uint16_t key, int count) {
        for (int i = 0; i < count; ++i) press(key);
    }
    void wait(uint64_t ms) { t += ms; }
    size_t probe(std::function<void()> fn) {
        options.checkpoints_ms.push_back(t);
        probes.push_back(std::move(fn));
        return probes.size() - 1;
    }

    scripted_run_result run() {
        press(KEY_ESC);
        press(KEY_ENTER);  // "Yes" to the leave question
        options.adventure_folder = demo_dir;
        options.language = "en";
        options.stop_at_ms = t + 5000;
        options.frame_limit = 0;
        size_t next = 0;
        options.on_checkpoint = [&](uint64_t) {
            if (next == 0) set_map_state_store({store_write, store_read});
            if (next < probes.size()) probes[next++]();
        };
        test_store.clear();
        monster_hooks.ignore_party = true;
        scripted_run_result result = run_scripted(options);
        monster_hooks.ignore_party = false;
        set_map_state_store({});
        clear_event_tree();
        free_all_handles();
        EXPECT_EQ(next, probes.size()) << "probes that never ran";
        return result;
    }
};

bool demo_built() {
    return std::filesystem::exists(demo_dir + "/maps/KRYPTA.MAP") &&
           std::filesystem::exists(demo_dir + "/maps/CELLARS.MAP");
}

// From the keep's start down the stairs into the cellars, through the
// corridor's two doors to the chain's lever, and through the raised grilles
// into the chain room, at 23 8 facing the steps down (east).
void keep_to_crypt_steps(walk& w) {
    w.press(KEY_UP);  // 5 17
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 10);  // 15 17
    w.press(KEY_RIGHT);
    w.press(KEY_UP, 600);  // down the stairs
    w.press(KEY_J, 1700);  // ends the cellars' scene
    w.probe([] {
        ASSERT_EQ(current_map.name, "CELLARS.MAP");
        hold_monsters_still();
    });
    w.presses(KEY_UP, 2);  // 2 3
    w.press(KEY_LEFT);
    w.press(KEY_UP);  // 3 3
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 2);  // 3 5
    w.press(KEY_LEFT);
    w.presses(KEY_UP, 3);  // 6 5, at the instant door
    w.press(KEY_SPACE, 100);
    w.presses(KEY_UP, 4);  // 10 5, at the animated door
    w.press(KEY_SPACE, 1000);
    w.presses(KEY_UP, 11);  // 21 5
    w.press(KEY_RIGHT);
    w.press(KEY_SPACE, 4000);  // the chain's lever: three grilles, the last after 12 ticks
    w.press(KEY_LEFT);
    w.press(KEY_UP);  // 22 5
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 3);  // 22 8
    w.press(KEY_LEFT);
    w.press(KEY_UP);  // 23 8
    w.probe([] {
        ASSERT_EQ(party_cell(), std::make_pair(23, 8));
        ASSERT_EQ(party.direction, EAST);
    });
}

}  // namespace

// Down the steps, into the boat and across the water (the boat going along
// with the party and staying where it is left), through the lair to the
// teleporter, whose glow plays the animation, and back up to the cellars.
TEST(CryptEndToEnd, BoatCarriesThePartyAcrossTheWaterAndTheTeleporterLeadsBackToTheSteps) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    walk w;
    keep_to_crypt_steps(w);
    w.press(KEY_UP, 600);  // down the steps
    w.probe([] {
        ASSERT_EQ(current_map.name, "KRYPTA.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(2, 2));
        EXPECT_EQ(party.direction, EAST);
        EXPECT_EQ(panel_message, map_text(1));
        // The big creature waits in its lair, the boat at the landing.
        EXPECT_EQ(monster_in(15, 10), "Zlobr");
        EXPECT_EQ(type_at(7, 2), SECTOR_BOAT);
        EXPECT_FALSE(movement.boat_mode);
        hold_monsters_still();
    });

    w.presses(KEY_UP, 4);  // 6 2, the landing
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(6, 2));
        EXPECT_EQ(panel_message, map_text(2));
        EXPECT_FALSE(movement.boat_mode);
    });
    w.press(KEY_UP);  // into the boat
    w.press(KEY_STEP_LEFT);  // a boat does not go sideways
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(7, 2));
        EXPECT_TRUE(movement.boat_mode);
    });
    w.press(KEY_UP);  // 8 2, out on the water
    const size_t on_the_water = w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(8, 2));
        EXPECT_EQ(type_at(8, 2), SECTOR_BOAT);
        EXPECT_EQ(type_at(7, 2), SECTOR_WATER);
    });
    w.presses(KEY_UP, 5);  // 13 2
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 4);  // 13 6
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(13, 6));
        EXPECT_TRUE(movement.boat_mode);
        for (int x = 7; x <= 13; ++x) EXPECT_EQ(type_at(x, 2), SECTOR_WATER) << x;
        EXPECT_EQ(type_at(13, 6), SECTOR_BOAT);
    });
    w.press(KEY_UP);  // ashore at 13 7
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(13, 7));
        EXPECT_FALSE(movement.boat_mode);
        EXPECT_EQ(type_at(13, 6), SECTOR_BOAT);  // the boat waits where it was left
        EXPECT_EQ(panel_message, map_text(4));
    });

    // Through the lair, past the sleeping ogre, into the teleporter.
    w.presses(KEY_UP, 2);  // 13 9
    w.press(KEY_LEFT);
    w.presses(KEY_UP, 4);  // 17 9
    w.press(KEY_UP, 300);  // onto the teleporter at 18 9
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(3, 2));
        EXPECT_EQ(party.direction, WEST);
        EXPECT_EQ(panel_message, map_text(5));
        EXPECT_TRUE(view_animation_running());
    });
    w.wait(2000);
    w.probe([] { EXPECT_FALSE(view_animation_running()); });

    // Up the steps: the party stands in the chain room, facing away from them.
    w.press(KEY_UP);       // 2 2
    w.press(KEY_UP, 600);  // into the steps at 1 2
    w.probe([] {
        ASSERT_EQ(current_map.name, "CELLARS.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(23, 8));
        EXPECT_EQ(party.direction, WEST);
        EXPECT_TRUE(test_store.count("KRYPTA.MAP"));
    });
    // And down again: the boat is still at the far shore.
    w.press(KEY_LEFT);
    w.press(KEY_LEFT);
    w.press(KEY_UP, 600);
    w.probe([] {
        ASSERT_EQ(current_map.name, "KRYPTA.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(2, 2));
        EXPECT_EQ(type_at(7, 2), SECTOR_WATER);
        EXPECT_EQ(type_at(13, 6), SECTOR_BOAT);
    });

    const scripted_run_result run = w.run();
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.checkpoints.size(), w.probes.size());
    // In the boat on the dark channel: the bow over the view, the water ahead.
    EXPECT_TRUE(golden::matches(golden_dir + "e2e_crypt_boat_on_the_water.png",
                                run.checkpoints[on_the_water].frame_buffer.data()));
}
