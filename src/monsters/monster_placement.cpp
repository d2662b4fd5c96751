// Placing the map's monsters when it is loaded, and summoning one later.
#include <algorithm>
#include <cstring>

#include "base/fatal.h"
#include "core/random.h"
#include "monsters/monster_anim.h"
#include "monsters/monsters.h"
#include "world/map.h"

namespace {

constexpr int MAX_PLACEMENTS = 254;
constexpr size_t PLACEMENT_SIZE = 4;

bool is_place(int sector) {
    return sector > 0 && sector < current_map.sector_count &&
           static_cast<size_t>(sector) < current_map.sectors.size() &&
           current_map.sectors[static_cast<size_t>(sector)].sector_type != 0;
}

// Counts above 15 would reach into the next kind's handles.
void clamp_frame_counts(monster& m) {
    for (uint8_t& count : m.frame_count) count = std::min<uint8_t>(count, MONSTER_MAX_FRAME);
}

void fill_frame_counts(monster& m) {
    for (uint8_t& count : m.frame_count)
        if (count == 0) count = m.frame_count[0];
}

// Steps 2 and 3 of a placement: the copy, the sector byte, where it stands.
void put_monster(int slot, const monster& definition, int sector, int direction) {
    monster& m = monster_table[static_cast<size_t>(slot)];
    m = definition;
    m.sector = static_cast<int16_t>(sector);
    m.direction = static_cast<int16_t>(direction & 3);
    m.home_sector = static_cast<int16_t>(sector);
    m.next_in_sector = 0;
    m.script_state = 0;
    m.state |= MST_LIVE;
    resolve_color_variant(m);
    clamp_frame_counts(m);
    enter_occupancy(slot);
}

handle_id take_set(handle_id& next_free_handle) {
    if (next_free_handle + MONSTER_SET_HANDLES > FIRST_RUNTIME_HANDLE)
        fatal_error("Map file is corrupted!\n");
    const handle_id first = next_free_handle;
    next_free_handle = static_cast<handle_id>(first + MONSTER_SET_HANDLES);
    return first;
}

int16_t set_number(handle_id first) {
    return static_cast<int16_t>(first + 1 - monster_handle_base);
}

}  // namespace

void resolve_color_variant(monster& m) {
    const int v = m.color_variant;
    const int variant = v <= 0 ? -v : random(v);
    m.color_variant = static_cast<int8_t>(-std::min(variant, 128));
}

int place_monsters(std::span<const uint8_t> placement_block, std::span<const monster> definitions,
                   handle_id& next_free_handle) {
    clear_monster_table();
    monster_handle_base = next_free_handle;
    const int count =
        static_cast<int>(std::min<size_t>(placement_block.size() / PLACEMENT_SIZE, MAX_PLACEMENTS));
    std::array<int, MONSTER_SLOTS> definition_of{};  // the definition number each slot was placed from
    definition_of.fill(-1);
    int placed = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* entry = placement_block.data() + static_cast<size_t>(i) * PLACEMENT_SIZE;
        const int sector = static_cast<int16_t>(entry[0] | (entry[1] << 8));
        const int word = entry[2] | (entry[3] << 8);
        const int number = word & 0x0FFF;
        const int direction = (word >> 14) & 3;

        const monster* definition = nullptr;
        for (const monster& d : definitions)
            if (d.anim_set == number) {
                definition = &d;
                break;
            }
        if (!definition || !is_place(sector)) continue;  // the slot stays empty

        put_monster(i, *definition, sector, direction);
        monster& m = monster_table[static_cast<size_t>(i)];
        if (m.speed < 1) fatal_error("Nestvura cislo #%d (%s) je spatne definovana (rychlost)", i, m.name);

        int shared = -1;
        for (int j = 0; j < i; ++j)
            if (definition_of[static_cast<size_t>(j)] == number) {
                shared = j;
                break;
            }
        if (shared >= 0) {
            m.anim_set = monster_table[static_cast<size_t>(shared)].anim_set;
        } else {
            const handle_id first = take_set(next_free_handle);
            register_animation_set(m, first);
            m.anim_set = set_number(first);
        }
        definition_of[static_cast<size_t>(i)] = number;
        fill_frame_counts(m);
        ++placed;
    }
    return placed;
}

int summon_monster(int slot, const monster& definition, int sector, int direction,
                   handle_id& next_free_handle) {
    if (slot < 0 || slot >= MONSTER_SLOTS || !is_place(sector)) return -1;
    monster& m = monster_table[static_cast<size_t>(slot)];
    if (m.alive()) leave_occupancy(slot);
    put_monster(slot, definition, sector, direction);
    m.anim_owned &= static_cast<uint8_t>(~1u);

    for (int j = 0; j < MONSTER_SLOTS; ++j) {
        const monster& other = monster_table[static_cast<size_t>(j)];
        if (j == slot || !other.alive() || (other.anim_owned & 1) || other.anim_set <= 0) continue;
        if (std::strncmp(other.anim_name, m.anim_name, sizeof m.anim_name) != 0) continue;
        m.anim_set = other.anim_set;
        fill_frame_counts(m);
        return 0;
    }
    const handle_id first = take_set(next_free_handle);
    register_animation_set(m, first);
    m.anim_set = set_number(first);
    m.anim_owned |= 1;
    fill_frame_counts(m);
    return MONSTER_SET_HANDLES;
}
