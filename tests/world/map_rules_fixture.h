#pragma once
// A loaded test map with the real map rules installed: a store of its own for
// the map state records, and the side events the rules send, recorded.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "map_test_files.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/movement_rules.h"

namespace map_rules_test {

inline std::map<std::string, std::vector<uint8_t>> store;
inline std::vector<std::pair<int, int>> events;  // (side, events) in order

// The small map with four pictures in each wall list, so a side can carry a
// four-frame animation.
inline forge::map_model rules_map() {
    forge::map_model m = map_test::small_map();
    for (int kind : {TEX_WALLS, TEX_LEFT_WALLS, TEX_RIGHT_WALLS}) m.textures[kind].push_back("W4.PCX");
    return m;
}

class MapRules : public ::testing::Test {
  protected:
    map_test::maps_folder folder;

    void SetUp() override {
        store.clear();
        events.clear();
        set_map_state_store(
            {[](const std::string& name, const std::vector<uint8_t>& data) { store[name] = data; },
             [](const std::string& name, std::vector<uint8_t>& data) {
                 auto it = store.find(name);
                 if (it == store.end()) return false;
                 data = it->second;
                 return true;
             }});
        install_map_rules();
        reset_map_services();
        movement_rules.send_side_event = [](int side, int ev) { events.emplace_back(side, ev); };
    }
    void TearDown() override {
        if (!current_map.name.empty()) unload_map(1);
        reset_movement_rules();
        reset_map_services();
        set_map_state_store({});
    }
    void load(const forge::map_model& m, const std::string& name = "RULES.MAP") {
        folder.write(name, map_test::file_of(m));
        folder.write_text(name.substr(0, name.rfind('.')) + ".txt", "5 A message\n-1\n");
        ASSERT_EQ(load_map(name), MAP_OK);
    }
    static map_side& side(int sector, int direction) {
        return current_map.sides[static_cast<size_t>(4 * sector + direction)];
    }
    // How many events sent to that side had all of the bits.
    static int count_events(int side_index, int bits) {
        int n = 0;
        for (const auto& [s, ev] : events) n += s == side_index && (ev & bits) == bits;
        return n;
    }
};

}  // namespace map_rules_test
