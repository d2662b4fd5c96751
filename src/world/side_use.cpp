// What the party does to sides and sectors by walking and using: using a
// side, passing through it, pressure plates, and the start of a map.
#include <algorithm>
#include <array>

#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_scripts.h"
#include "world/map_services.h"

namespace {

bool is_place(int sector) {
    return sector > 0 && sector < current_map.sector_count;
}

map_side& side_of(int sector, int direction) {
    return current_map.sides[static_cast<size_t>(sector) * 4 + static_cast<size_t>(direction & 3)];
}

// The side's own action, aimed at its target.
void apply_own_action(const map_side& side) {
    queue_action(side.action, side.action_target, side.target_side & 3, side.flags, false, 0);
}

// An item in the map's own floor lists, or one the items part knows of.
bool item_lies_on(int sector) {
    if (map_services.item_on_floor && map_services.item_on_floor(sector)) return true;
    const uint32_t first = static_cast<uint32_t>(sector) * 4;
    for (const map_item_place& place : current_map.items)
        if (place.place >= first && place.place < first + 4 && !place.items.empty() && place.items[0] != 0)
            return true;
    return false;
}

bool plate_occupied(int sector) {
    if (current_map.coords[static_cast<size_t>(sector)].coord_flags & (MC_PLAYER | MC_DEAD_PLAYER))
        return true;
    if (map_services.monster_in && map_services.monster_in(sector)) return true;
    return item_lies_on(sector);
}

// How far the floor index moves to the pressed picture, by floor mode.
constexpr std::array<int, 8> PLATE_FLOOR_STEP = {1, 2, 2, 4, 4, 8, 2, 2};

}  // namespace

void use_side(int sector, int direction) {
    if (!is_place(sector)) return;
    const map_side& side = side_of(sector, direction);
    if (side.flags & SIDE_PASS) return;
    if (side.secondary != 0 && !(side.flags & SIDE_S_VIS)) return;
    if (side.secondary != 0 && (side.flags & SIDE_AUTOANIM))
        apply_action(ACT_REVERSE, sector, direction & 3, 0, true);
    apply_own_action(side_of(sector, direction));
    if (movement_rules.send_side_event)
        movement_rules.send_side_event(sector * 4 + (direction & 3), SIDE_EV_USED);
}

void pass_side(int sector, int direction) {
    if (!is_place(sector)) return;
    side_of(sector, direction).flags &= ~SIDE_SECRET;
    if (side_of(sector, direction).flags & SIDE_ALARM) {
        const bool allowed =
            !movement_rules.run_hook || movement_rules.run_hook(HOOK_ALARM, sector, direction & 3);
        const int neighbour =
            current_map.sectors[static_cast<size_t>(sector)].exits[static_cast<size_t>(direction & 3)];
        if (allowed && is_place(neighbour) && map_services.alarm) map_services.alarm(neighbour);
    }
    const map_side& side = side_of(sector, direction);
    if (side.flags & SIDE_PASS) apply_own_action(side);
}

void check_plate(int sector, bool run) {
    if (!is_place(sector)) return;
    map_sector& sec = current_map.sectors[static_cast<size_t>(sector)];
    if (sec.sector_type != SECTOR_PLATE_RELEASED && sec.sector_type != SECTOR_PLATE_PRESSED) return;
    const bool occupied = plate_occupied(sector);
    const int step = PLATE_FLOOR_STEP[sec.surface_modes & 7];
    if (sec.sector_type == SECTOR_PLATE_RELEASED && occupied) {
        sec.floor = static_cast<uint8_t>(std::min(sec.floor + step, 255));
        sec.sector_type = SECTOR_PLATE_PRESSED;
    } else if (sec.sector_type == SECTOR_PLATE_PRESSED && !occupied) {
        sec.floor = static_cast<uint8_t>(std::max(sec.floor - step, 0));
        sec.sector_type = SECTOR_PLATE_RELEASED;
    } else {
        return;
    }
    if (run) queue_action(sec.action, sec.action_target, sec.action_side & 3, 0, false, 0);
}

void check_plates(int old_sector, int new_sector) {
    check_plate(old_sector, true);
    check_plate(new_sector, true);
}

void send_map_start() {
    if (!movement_rules.send_side_event) return;
    for (size_t k = 0; k < current_map.sides.size(); ++k)
        movement_rules.send_side_event(static_cast<int>(k), SIDE_EV_MAP_START);
}
