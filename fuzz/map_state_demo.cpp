// Fuzzes applying a map state record to the demo's maps, with every part of
// the record installed: the monster table, the objects in the air and the
// monsters' paths. An input is a byte choosing the map (bit 0) and whether
// the automap alone is tried first (bit 1), then the record. Whatever the
// record holds, a refused one leaves the map, the monsters, the things in the
// air and the paths as they were; an accepted one keeps every index inside
// the map, and the record written from it again reads back to the same record.
//
// The demo's maps and ENEMY.DAT come from the build's demo folder
// (VORTHAN_DEMO_DIR, or the environment variable of that name).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "map_indexes.h"
#include "monsters/monsters.h"
#include "rules/flight/flight.h"
#include "rules/monsters_ai/monster_ai.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_services.h"
#include "world/map_state.h"

namespace {

constexpr int KNOWN_ITEMS = 60;

struct demo_map {
    loaded_map map;
    std::vector<monster> definitions;
};

std::vector<uint8_t> read_whole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "map_state_demo: cannot read %s (build the demo first)\n", path.c_str());
        std::abort();
    }
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<demo_map> load_demo() {
    const char* env = std::getenv("VORTHAN_DEMO_DIR");
    const std::string maps = std::string(env && *env ? env : VORTHAN_DEMO_DIR) + "/maps/";
    const std::vector<uint8_t> enemies = read_whole(maps + "ENEMY.DAT");
    std::vector<demo_map> out;
    for (const char* name : {"KEEP.MAP", "CELLARS.MAP"}) {
        const std::vector<uint8_t> bytes = read_whole(maps + name);
        demo_map d;
        if (parse_map(bytes.data(), bytes.size(), d.map) != MAP_OK) std::abort();
        d.map.name = name;
        d.map.side_resting.resize(d.map.sides.size());
        for (size_t k = 0; k < d.map.sides.size(); ++k)
            d.map.side_resting[k] = static_cast<uint8_t>(d.map.sides[k].flags);
        d.definitions = read_monster_definitions(enemies);
        out.push_back(std::move(d));
    }
    return out;
}

// The map as entered: its monsters placed as the loader places them, but
// with the definition number standing for the animation set (no pictures are
// registered here), nothing in the air, no paths.
void enter(const demo_map& d) {
    current_map = d.map;
    reset_map_actions();
    clear_monster_table();
    const std::vector<uint8_t>& block = d.map.monsters;
    for (size_t i = 0; i + 4 <= block.size() && i / 4 < MONSTER_SLOTS - 1; i += 4) {
        const int sector = block[i] | block[i + 1] << 8;
        const int word = block[i + 2] | block[i + 3] << 8;
        for (const monster& def : d.definitions) {
            if (def.anim_set != (word & 0x0FFF) || sector <= 0 || sector >= current_map.sector_count) continue;
            monster& m = monster_table[i / 4];
            m = def;
            m.sector = m.home_sector = static_cast<int16_t>(sector);
            m.direction = static_cast<int16_t>((word >> 14) & 3);
            m.state |= MST_LIVE;
            break;
        }
    }
    rebuild_occupancy();
    clear_flying_objects();
    const uint8_t no_paths[] = {0xFF, 0xFF};
    read_monster_paths(no_paths);
}

// Everything the record can change, as bytes, to compare before and after.
std::vector<uint8_t> snapshot(const demo_map& d) {
    std::vector<uint8_t> out;
    map_state_write(d.map, out);
    for (const monster& m : monster_table) write_monster(m, out);
    out.insert(out.end(), sector_monsters.begin(), sector_monsters.end());
    return out;
}

void check_indexes() {
    (void)follow_map_indexes(current_map);
    for (int s = 0; s < current_map.sector_count; ++s) {
        const int first = first_monster_in(s);
        if (!first) continue;
        const monster* m = monster_by_number(first);
        if (!m || !m->alive() || m->sector != s || (m->state & MST_MOB)) __builtin_trap();
    }
    for (const monster& m : monster_table)
        if (m.alive() && (m.sector <= 0 || m.sector >= current_map.sector_count)) __builtin_trap();
    for (const flying_object& p : flying_objects())
        if (p.fly_sector <= 0 || p.fly_sector >= current_map.sector_count) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<demo_map> demo = load_demo();
    static const bool installed = [] {
        install_monster_map_state();
        install_flight_map_state();
        install_monster_paths_map_state();
        reset_map_services();
        map_services.item_count = [] { return KNOWN_ITEMS; };
        return true;
    }();
    (void)installed;
    // The state of each map as entered, to compare refused records against.
    static const std::vector<std::vector<uint8_t>> as_entered = [] {
        std::vector<std::vector<uint8_t>> out;
        for (const demo_map& d : demo) {
            enter(d);
            out.push_back(snapshot(d));
        }
        return out;
    }();
    if (!data || size == 0) return 0;
    const demo_map& d = demo[data[0] & 1];
    const std::vector<uint8_t>& before = as_entered[data[0] & 1];
    const uint8_t* record = data + 1;
    const size_t record_size = size - 1;

    if (data[0] & 2) {
        enter(d);
        const int result = map_state_apply_bytes(record, record_size, true);
        if (result != MAP_STATE_OK && (result != MAP_STATE_UNFIT || snapshot(d) != before)) __builtin_trap();
    }
    enter(d);
    const int result = map_state_apply_bytes(record, record_size, false);
    if (result != MAP_STATE_OK) {
        if (result != MAP_STATE_UNFIT || snapshot(d) != before) __builtin_trap();
        return 0;
    }
    check_indexes();
    // What was taken is written back as a record that reads to itself.
    std::vector<uint8_t> first, second;
    map_state_write(d.map, first);
    enter(d);
    if (map_state_apply_bytes(first.data(), first.size(), false) != MAP_STATE_OK) __builtin_trap();
    map_state_write(d.map, second);
    if (first != second) __builtin_trap();
    return 0;
}
