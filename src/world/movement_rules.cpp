#include "world/movement_rules.h"

#include "world/map_actions.h"
#include "world/map_scripts.h"

movement_rules_table movement_rules;

namespace {

// Monsters do not exist yet: nothing stands in the party's way.
bool no_monster_blocks(int) {
    return true;
}

}  // namespace

void reset_movement_rules() {
    movement_rules.send_side_event = send_side_event;
    movement_rules.run_hook = run_hook;
    movement_rules.pass_side = pass_side;
    movement_rules.use_side = use_side;
    movement_rules.monster_allows_step = no_monster_blocks;
    movement_rules.world_tick = map_world_tick;
    movement_rules.check_plates = check_plates;
}

namespace {
// The map's rules are in place from program start.
const bool rules_ready = (reset_movement_rules(), true);
}  // namespace
