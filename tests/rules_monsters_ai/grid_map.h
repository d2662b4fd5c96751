#pragma once
// A generated map for the monster tests and benchmarks: a width x height
// grid of open sectors (sector 1 + y x width + x), the edges walled.
#include "monsters/monsters.h"
#include "world/map.h"

inline int grid_sector(int width, int x, int y) {
    return 1 + y * width + x;
}

inline void make_grid_map(int width, int height) {
    current_map = {};
    current_map.name = "grid.map";
    current_map.sector_count = 1 + width * height;
    current_map.sectors.assign(static_cast<size_t>(current_map.sector_count), {});
    current_map.sides.assign(static_cast<size_t>(current_map.sector_count) * 4, {});
    current_map.coords.assign(static_cast<size_t>(current_map.sector_count), {});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int s = grid_sector(width, x, y);
            map_sector& sector = current_map.sectors[static_cast<size_t>(s)];
            sector.sector_type = 1;
            const int nx[4] = {x, x + 1, x, x - 1}, ny[4] = {y - 1, y, y + 1, y};
            for (int d = 0; d < 4; ++d) {
                const bool inside = nx[d] >= 0 && nx[d] < width && ny[d] >= 0 && ny[d] < height;
                sector.exits[static_cast<size_t>(d)] =
                    inside ? static_cast<uint16_t>(grid_sector(width, nx[d], ny[d])) : 0;
                if (!inside)
                    current_map.sides[static_cast<size_t>(s * 4 + d)].flags = SIDE_NOPLAYER | SIDE_NOMONSTER;
            }
            current_map.coords[static_cast<size_t>(s)] = {static_cast<int16_t>(x), static_cast<int16_t>(y), 0,
                                                          0};
        }
    clear_monster_table();
}

// Closes the side between a sector and its neighbour for monsters and the party, both ways.
inline void wall_between(int sector, int direction) {
    const int other = current_map.sectors[static_cast<size_t>(sector)].exits[static_cast<size_t>(direction)];
    current_map.sides[static_cast<size_t>(sector * 4 + direction)].flags |= SIDE_NOPLAYER | SIDE_NOMONSTER;
    current_map.sides[static_cast<size_t>(other * 4 + ((direction + 2) & 3))].flags |=
        SIDE_NOPLAYER | SIDE_NOMONSTER;
}

// A living monster in a slot, standing at the centre of a sector.
inline monster& put_monster(int slot, int sector, int direction, uint8_t strategy) {
    monster& m = monster_table[static_cast<size_t>(slot)];
    m = {};
    m.state = MST_LIVE;
    m.strategy = strategy;
    m.sector = m.home_sector = static_cast<int16_t>(sector);
    m.direction = static_cast<int16_t>(direction);
    m.speed = 16;
    m.sight = 6;
    m.reach = 1;
    m.hp = m.stats[4] = 20;
    m.anim_set = 1;
    m.frame_count[4] = 3;
    m.hit_frame = 2;
    enter_occupancy(slot);
    return m;
}
