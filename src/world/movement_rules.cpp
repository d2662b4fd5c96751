#include "world/movement_rules.h"

#include "core/events.h"
#include "world/map.h"

movement_rules_table movement_rules;

namespace {

void send_side_event_standin(int side, int events) {
    dispatch_event(EV_MAP_EVENT, side, events);
}

bool run_hook_standin(int, int, int) {
    return true;
}

void pass_side_standin(int sector, int direction) {
    const size_t side = static_cast<size_t>(sector) * 4 + static_cast<size_t>(direction & 3);
    if (side < current_map.sides.size()) current_map.sides[side].flags &= ~SIDE_SECRET;
}

void use_side_standin(int sector, int direction) {
    movement_rules.send_side_event(sector * 4 + (direction & 3), SIDE_EV_USED);
}

bool monster_allows_standin(int) {
    return true;
}

void nothing() {}
void no_plates(int, int) {}

}  // namespace

void reset_movement_rules() {
    movement_rules.send_side_event = send_side_event_standin;
    movement_rules.run_hook = run_hook_standin;
    movement_rules.pass_side = pass_side_standin;
    movement_rules.use_side = use_side_standin;
    movement_rules.monster_allows_step = monster_allows_standin;
    movement_rules.world_tick = nothing;
    movement_rules.check_plates = no_plates;
}

namespace {
// The stand-ins are in place from program start.
const bool rules_ready = (reset_movement_rules(), true);
}  // namespace
