// The monsters follow the map: placed when it is loaded (from the map's own
// definitions, else ENEMY.DAT), silenced and forgotten when it is left. Their
// animation sets are handles of the map, released by the map's unloading.
#include <vector>

#include "core/handle_ids.h"
#include "monsters/monster_anim.h"
#include "monsters/monster_sound.h"
#include "monsters/monsters.h"
#include "world/map.h"

namespace {

std::vector<monster> map_definitions() {
    if (current_map.has_monster_defs) {
        std::vector<uint8_t> bytes;
        for (const auto& record : current_map.monster_defs)
            bytes.insert(bytes.end(), record.begin(), record.end());
        return read_old_monster_definitions(bytes);
    }
    const auto* data = static_cast<const uint8_t*>(get_handle_data(H_ENEMY));
    const int32_t length = data ? handle_length(H_ENEMY) : 0;
    if (length <= 0) return {};
    return read_monster_definitions(std::span<const uint8_t>(data, static_cast<size_t>(length)));
}

void on_map_loaded() {
    clear_monster_table();
    handle_id next = current_map.handle_end;
    monster_handle_base = next;
    if (!current_map.has_monsters) return;
    const std::vector<monster> definitions = map_definitions();
    place_monsters(current_map.monsters, definitions, next);
    reserve_map_handles(next - current_map.handle_end);
}

void on_map_unloading() {
    for (int slot = 0; slot < MONSTER_SLOTS; ++slot)
        if (monster_table[static_cast<size_t>(slot)].alive()) stop_monster_sound(slot);
    clear_monster_table();
    sector_monsters.clear();
}

}  // namespace

void install_monster_table() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    add_map_loaded_hook(on_map_loaded);
    add_map_unloading_hook(on_map_unloading);
}

int summon_monster_on_map(int slot, const monster& definition, int sector, int direction) {
    handle_id next = current_map.handle_end;
    const int taken = summon_monster(slot, definition, sector, direction, next);
    if (taken > 0) reserve_map_handles(taken);
    return taken;
}
