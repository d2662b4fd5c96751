// The whole program on the headless display, walking the demo's forest path:
// a new game begun on the forest, up the winding path past the signpost to
// the keep's gate, into the keep and out again by its gate.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/events.h"
#include "core/handles.h"
#include "rules/floor/floor_items.h"
#include "rules/items.h"
#include "rules/monsters_ai/monster_ai.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "world/map.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/world_map.h"

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/world/golden/";

constexpr uint16_t KEY_UP = 0x4800, KEY_DOWN = 0x5000, KEY_LEFT = 0x4B00, KEY_RIGHT = 0x4D00;
constexpr uint16_t KEY_ESC = 0x011B, KEY_ENTER = 0x1C0D;
constexpr int NORTH = 0, EAST = 1, SOUTH = 2, WEST = 3;

int sector_at(int x, int y) {
    for (int s = 1; s < current_map.sector_count; ++s) {
        const map_coord& c = current_map.coords[static_cast<size_t>(s)];
        if (c.x == x && c.y == y && c.layer == 0) return s;
    }
    return 0;
}
std::pair<int, int> party_cell() {
    const map_coord& c = current_map.coords[static_cast<size_t>(party.sector)];
    return {c.x, c.y};
}
std::string map_text(int n) {
    const std::string* text = map_string(n);
    return text ? *text : std::string("(no text ") + std::to_string(n) + ")";
}
int item_named(const char* name) {
    const item_table& items = game_items();
    for (int number = 1; number <= items.definition_count(); ++number)
        if (std::strcmp(items.find(number)->name, name) == 0) return number;
    return 0;
}
bool lies_on(int sector, int item) {
    for (int q = 0; q < FLOOR_QUARTERS; ++q)
        for (int16_t n : floor_list(sector, q))
            if (std::abs(n) == item) return true;
    return false;
}

// Each walk keeps the maps it leaves in a store of its own.
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

// The demo's configuration with the forest as the map a new game begins on.
class forest_start {
  public:
    forest_start()
        : dir_(std::filesystem::temp_directory_path() / ("vorthan-forest-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(dir_);
        std::ifstream in(demo_dir + "/vorthan.ini");
        std::ofstream out(dir_ / "forest.ini");
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("default_map", 0) == 0) line = "default_map = LESPRED.MAP";
            out << line << "\n";
        }
    }
    ~forest_start() { std::filesystem::remove_all(dir_); }
    std::string config() const { return (dir_ / "forest.ini").string(); }

  private:
    std::filesystem::path dir_;
};

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
        // The walk is about the path, not the fight: the rats do not watch for
        // the party.
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
    return std::filesystem::exists(demo_dir + "/maps/LESPRED.MAP") &&
           std::filesystem::exists(demo_dir + "/maps/KEEP.MAP");
}

}  // namespace

TEST(ForestEndToEnd, PathLeadsPastTheSignToTheGateIntoTheKeepAndTheKeepsGateLeadsBack) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    forest_start start;
    walk w;
    w.options.config_file = start.config();
    w.probe([] {
        EXPECT_EQ(current_map.name, "LESPRED.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(7, 19));
        EXPECT_EQ(party.direction, NORTH);
        // The path's start is the forest's way out to the world map.
        EXPECT_EQ(world_map_way_out(), party.sector);
        EXPECT_EQ(panel_message, map_text(1));
        // The rune in the glade, the rats' loot in the clearing.
        EXPECT_TRUE(lies_on(sector_at(2, 7), item_named("Earth rune")));
        EXPECT_TRUE(lies_on(sector_at(12, 11), item_named("Coins")));
    });

    // Up the south glade to the signpost; walking into it reads it.
    w.presses(KEY_UP, 4);
    const size_t before_sign = w.probe([] { EXPECT_EQ(party_cell(), std::make_pair(7, 15)); });
    w.press(KEY_UP);
    w.press(KEY_UP);
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(7, 14));
        EXPECT_EQ(panel_message, map_text(2));
    });
    // West, north, east past the glade and the clearing, north, west, north.
    w.press(KEY_LEFT);
    w.presses(KEY_UP, 3);
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 5);
    w.probe([] { EXPECT_EQ(party_cell(), std::make_pair(4, 9)); });
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 6);
    w.press(KEY_LEFT);
    w.presses(KEY_UP, 5);
    w.probe([] { EXPECT_EQ(party_cell(), std::make_pair(10, 4)); });
    w.press(KEY_LEFT);
    w.presses(KEY_UP, 2);
    w.press(KEY_RIGHT);
    w.presses(KEY_UP, 3);  // into the gate passage at 8 1
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(8, 1));
        EXPECT_EQ(panel_message, map_text(4));
    });

    // Through the gate: the keep, at its gate passage facing north.
    w.press(KEY_UP, 600);
    w.probe([] {
        EXPECT_EQ(current_map.name, "KEEP.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(5, 18));
        EXPECT_EQ(party.direction, NORTH);
    });
    // A step back through the keep's gate: the forest's gate passage, facing
    // south down the path.
    w.press(KEY_DOWN, 600);
    w.probe([] {
        EXPECT_EQ(current_map.name, "LESPRED.MAP");
        EXPECT_EQ(party_cell(), std::make_pair(8, 1));
        EXPECT_EQ(party.direction, SOUTH);
    });
    w.presses(KEY_UP, 2);
    w.probe([] {
        EXPECT_EQ(party_cell(), std::make_pair(8, 3));
        // Travel on the world map leaves from the path's start, the nearest
        // way out over the walked path.
        EXPECT_EQ(world_map_way_out(), sector_at(7, 19));
    });

    const scripted_run_result run = w.run();
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    // The signpost where the path turns west, the forest's edge behind it
    // under the dusk sky and a thicket on the right.
    EXPECT_TRUE(golden::matches(golden_dir + "e2e_forest_signpost.png",
                                run.checkpoints[before_sign].frame_buffer.data()));
}
