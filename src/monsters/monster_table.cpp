// The table of the loaded map's monsters and the sector bytes beside it.
#include <algorithm>

#include "monsters/monsters.h"
#include "world/map.h"

std::array<monster, MONSTER_SLOTS> monster_table;
std::vector<uint8_t> sector_monsters;
handle_id monster_handle_base = MAP_FIRST_HANDLE;

namespace {

bool valid_slot(int slot) {
    return slot >= 0 && slot < MONSTER_SLOTS;
}

bool sector_in_table(int sector) {
    return sector >= 0 && static_cast<size_t>(sector) < sector_monsters.size();
}

monster empty_slot() {
    monster m;
    m.anim_set = -1;
    return m;
}

}  // namespace

monster* monster_by_number(int number) {
    return valid_slot(number - 1) ? &monster_table[static_cast<size_t>(number - 1)] : nullptr;
}

int first_monster_in(int sector) {
    return sector_in_table(sector) ? sector_monsters[static_cast<size_t>(sector)] : 0;
}

int second_monster_in(int sector) {
    const monster* first = monster_by_number(first_monster_in(sector));
    if (!first || !monster_by_number(first->next_in_sector)) return 0;
    return first->next_in_sector;
}

bool sector_has_monster(int sector) {
    return first_monster_in(sector) != 0;
}

void clear_monster_table() {
    monster_table.fill(empty_slot());
    sector_monsters.assign(static_cast<size_t>(std::max(current_map.sector_count, 0)), 0);
}

void enter_occupancy(int slot) {
    if (!valid_slot(slot)) return;
    monster& m = monster_table[static_cast<size_t>(slot)];
    m.next_in_sector = 0;
    if (!m.alive() || (m.state & MST_MOB) || !sector_in_table(m.sector)) return;
    const int number = slot + 1;
    uint8_t& first = sector_monsters[static_cast<size_t>(m.sector)];
    if (first == 0) {
        first = static_cast<uint8_t>(number);
        return;
    }
    // Behind the last one of the sector; the walk is bounded so that a
    // damaged chain (from a saved game) cannot loop.
    int at = first;
    for (int steps = 0; steps < MONSTER_SLOTS; ++steps) {
        if (at == number) return;  // already there
        monster* here = monster_by_number(at);
        if (!here) return;
        if (!monster_by_number(here->next_in_sector)) {
            here->next_in_sector = static_cast<int16_t>(number);
            return;
        }
        at = here->next_in_sector;
    }
}

void leave_occupancy(int slot) {
    if (!valid_slot(slot)) return;
    monster& m = monster_table[static_cast<size_t>(slot)];
    const int number = slot + 1;
    const int16_t behind = monster_by_number(m.next_in_sector) ? m.next_in_sector : 0;
    m.next_in_sector = 0;
    if (!sector_in_table(m.sector)) return;
    uint8_t& first = sector_monsters[static_cast<size_t>(m.sector)];
    if (first == number) {
        first = static_cast<uint8_t>(behind);
        return;
    }
    int at = first;
    for (int steps = 0; steps < MONSTER_SLOTS && at != 0; ++steps) {
        monster* here = monster_by_number(at);
        if (!here) return;
        if (here->next_in_sector == number) {
            here->next_in_sector = behind;
            return;
        }
        at = here->next_in_sector;
    }
}

void rebuild_occupancy() {
    sector_monsters.assign(static_cast<size_t>(std::max(current_map.sector_count, 0)), 0);
    for (monster& m : monster_table) m.next_in_sector = 0;
    for (int slot = 0; slot < MONSTER_SLOTS; ++slot) enter_occupancy(slot);
}
