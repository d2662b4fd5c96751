#include "world/monster_hooks.h"

#include <algorithm>

#include "core/clock.h"
#include "core/event_ids.h"

static_assert(id_blocks::world.holds(TIMER_MONSTERS));

world_monster_hooks world_monsters;

int monster_timer_period() {
    // The setting runs from 1 (fastest) to 25 (slowest).
    return std::clamp(tick_length(), 1, 25);
}
