#pragma once
// What the flight asks of the loaded map: sectors, their types and targets,
// neighbours, and sides closed to things in the air. Internal to the flight.
#include "world/map.h"

namespace flight_map {

inline bool is_sector(int sector) {
    return sector > 0 && sector < current_map.sector_count && size_t(sector) < current_map.sectors.size() &&
           size_t(sector) < current_map.coords.size() && size_t(sector) * 4 + 3 < current_map.sides.size();
}
inline int sector_type(int sector) {
    return is_sector(sector) ? current_map.sectors[size_t(sector)].sector_type : 0;
}
// Where a shaft or a teleport leads (not checked).
inline int target(int sector) {
    return is_sector(sector) ? current_map.sectors[size_t(sector)].action_target : 0;
}
// The neighbour in a direction, 0 for none.
inline int neighbour(int sector, int direction) {
    if (!is_sector(sector)) return 0;
    const int next = current_map.sectors[size_t(sector)].exits[size_t(direction & 3)];
    return is_sector(next) ? next : 0;
}
inline bool closed_to_things(int sector, int direction) {
    return (current_map.sides[size_t(sector) * 4 + size_t(direction & 3)].flags & SIDE_NOTHING) != 0;
}
inline bool holds_party(int sector) {
    return is_sector(sector) && (current_map.coords[size_t(sector)].coord_flags & MC_PLAYER);
}

}  // namespace flight_map
