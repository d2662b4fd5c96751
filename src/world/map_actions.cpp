// Skeleton: filled in by the map actions work.
#include "world/map_actions.h"

map_action_state map_actions;

namespace {
int depth = 0;
}

map_rules_depth::map_rules_depth() : ok_(depth < MAP_RULES_MAX_DEPTH) { ++depth; }
map_rules_depth::~map_rules_depth() { --depth; }

void reset_map_actions() {}
void apply_action(int, int, int, uint32_t, bool) {}
void queue_action(int, int, int, uint32_t, bool, int) {}
bool cancel_delayed_action(int, int) { return false; }
void use_side(int, int) {}
void pass_side(int, int) {}
void check_plate(int, bool) {}
void check_plates(int, int) {}
void map_world_tick() {}
void install_map_rules() {}
