// Entering sectors, open sides, the line of sight and the nearest member in sight.
#include <cstdlib>

#include "core/random.h"
#include "rules/monsters_ai/monster_ai_internal.h"

using namespace monster_ai_detail;

int can_enter(const monster& m, int sector, int direction) {
    if (!valid_sector(sector)) return ENTER_BLOCKED;
    if (side_flags(sector, direction) & SIDE_NOMONSTER) return ENTER_BLOCKED;
    const int target = neighbour(sector, direction);
    // A side without an exit is a wall whatever its flags say.
    if (!valid_sector(target)) return ENTER_BLOCKED;
    if ((coord_flags(target) & MC_PLAYER) && !(m.state & MST_PASSABLE)) return ENTER_PARTY;
    const int first = first_slot_in(target);
    if (first < 0) return ENTER_FREE;
    const monster& occupant = monster_table[static_cast<size_t>(first)];
    if (&occupant == &m) return ENTER_FREE;
    if ((m.strategy & MS_BIG) || (occupant.strategy & MS_BIG) || occupant.next_in_sector != 0)
        return ENTER_BLOCKED;
    return ENTER_FREE;
}

int open_sides(int sector, int direction) {
    if (!valid_sector(sector)) return 0;
    int n = 0;
    for (int turn : {0, 1, 3})
        if (!(side_flags(sector, direction + turn) & SIDE_NOMONSTER)) ++n;
    return n;
}

int nth_open_side(const monster& m, int sector, int direction, int n) {
    // From the left clockwise over five sides; the side behind is passed
    // over, so a monster turns round only where nothing else is open.
    int found = 0;
    for (int i = 0; i < 5; ++i) {
        const int d = (direction + 3 + i) & 3;
        if (d == ((direction + 2) & 3)) continue;
        if (can_enter(m, sector, d) == ENTER_FREE && ++found == n) return d;
    }
    return -1;
}

bool line_of_sight(int from, int to, bool rogue) {
    if (!valid_sector(from) || !valid_sector(to)) return false;
    const map_coord& a = current_map.coords[static_cast<size_t>(from)];
    const map_coord& b = current_map.coords[static_cast<size_t>(to)];
    if (a.layer != b.layer) return false;
    const int dx = b.x - a.x, dy = b.y - a.y;
    const int ax = std::abs(dx), ay = std::abs(dy);
    const uint32_t blocking = rogue && (dx == 0 || dy == 0) ? SIDE_NOTHING : SIDE_NOPLAYER;
    const int x_dir = dx > 0 ? 1 : 3, y_dir = dy > 0 ? 2 : 0;
    const bool x_major = ax >= ay;
    const int major = x_major ? ax : ay, minor = x_major ? ay : ax;
    const int major_dir = x_major ? x_dir : y_dir, minor_dir = x_major ? y_dir : x_dir;
    int here = from;
    auto cross = [&](int d) {
        const uint32_t flags = side_flags(here, d);
        if ((flags & blocking) && !(blocking == SIDE_NOPLAYER && (flags & SIDE_TRANSPARENT))) return false;
        const int next = neighbour(here, d);
        if (!valid_sector(next)) return false;
        here = next;
        return true;
    };
    // One step along the longer axis each time; a step across follows
    // whenever the accumulated share of the shorter axis reaches half a step.
    int share = 0;
    for (int i = 0; i < major; ++i) {
        if (!cross(major_dir)) return false;
        share += minor;
        if (2 * share >= major && minor > 0) {
            share -= major;
            if (!cross(minor_dir)) return false;
        }
    }
    return here == to;
}

namespace {

bool lies_ahead(int direction, int dx, int dy) {
    switch (direction & 3) {
        case 0:
            return dy <= 0;
        case 1:
            return dx >= 0;
        case 2:
            return dy >= 0;
        default:
            return dx <= 0;
    }
}

int walk_direction(const monster& m, int dx, int dy) {
    const int along_x = dx > 0 ? 1 : 3, along_y = dy > 0 ? 2 : 0;
    const bool x_first = std::abs(dx) > std::abs(dy);
    const int first = x_first ? along_x : along_y;
    if (can_enter(m, m.sector, first) != ENTER_BLOCKED) return first;
    const int second = x_first ? along_y : along_x;
    if (can_enter(m, m.sector, second) != ENTER_BLOCKED) return second;
    return (second + 1) & 3;
}

}  // namespace

target_found monster_ai_detail::find_target_in(int slot, const std::vector<member_view>& members) {
    target_found best;
    const monster& m = monster_table[static_cast<size_t>(slot)];
    if (m.stats[23] & (MF_NEVER_PURSUES | MF_PANIC)) return best;
    if (m.morale >= 100 && !party_rests()) return best;
    if (!valid_sector(m.sector)) return best;
    const map_coord& here = current_map.coords[static_cast<size_t>(m.sector)];
    int best_score = 0;
    for (const member_view& member : members) {
        if (!member.alive || !valid_sector(member.sector)) continue;
        if (member.invisible && !(m.state & MST_SENS)) continue;
        const map_coord& there = current_map.coords[static_cast<size_t>(member.sector)];
        const int dx = there.x - here.x, dy = there.y - here.y;
        const int distance = std::max(std::abs(dx), std::abs(dy));
        if (distance > m.sight || !lies_ahead(m.direction, dx, dy)) continue;
        if (!line_of_sight(m.sector, member.sector, (m.strategy & MS_ROGUE) != 0)) continue;
        const int score = 2 * distance + (dx != 0 && dy != 0 ? 3 : 0);
        if (best.member >= 0 && (score > best_score || (score == best_score && random(10) >= 3))) continue;
        best_score = score;
        best.member = member.slot;
        best.distance = score / 2;
        best.direction = distance == 0 ? m.direction : walk_direction(m, dx, dy);
        best.sector = member.sector;
    }
    return best;
}

target_found find_target(int slot) {
    return find_target_in(slot, refresh_party());
}
