#pragma once
// Places, monsters and items of the loaded demo map by what a test knows of
// them: grid cells, animation sets, names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "monsters/monsters.h"
#include "rules/battle/battle.h"
#include "rules/items.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/movement.h"
#include "world/party_standin.h"

namespace demo_places {

// The sector of a grid cell of the loaded map, 0 when there is none.
inline int sector_at(int x, int y) {
    for (int s = 1; s < current_map.sector_count; ++s)
        if (current_map.coords[size_t(s)].x == x && current_map.coords[size_t(s)].y == y) return s;
    return 0;
}
inline std::pair<int, int> cell_of(int sector) {
    const map_coord& c = current_map.coords[size_t(sector)];
    return {c.x, c.y};
}
// The slot of the monster of that animation set placed at the cell, -1 for none.
inline int placed_at(const char* anim, int x, int y) {
    const int home = sector_at(x, y);
    for (int i = 0; i < MONSTER_SLOTS; ++i) {
        const monster& m = monster_table[size_t(i)];
        if (m.alive() && m.home_sector == home && std::string(m.anim_name) == anim) return i;
    }
    return -1;
}
// The party put down at a cell as a map's teleport would, and the monsters
// told, as after a step.
inline void put_party(int x, int y, int direction) {
    const int sector = sector_at(x, y);
    ASSERT_NE(sector, 0);
    place_party(sector, direction);
    mark_party_sectors();
    redraw_scene();
    battle_monsters_look();
}
// The item number of the definition with that name, 0 for none.
inline int item_named(const char* name) {
    const item_table& items = game_items();
    for (int number = 1; number <= items.definition_count(); ++number)
        if (std::strcmp(items.find(number)->name, name) == 0) return number;
    return 0;
}

}  // namespace demo_places
