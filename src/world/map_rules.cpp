// Putting the map's rules to work: the movement rules table, and the map
// state that follows a map through loading and unloading.
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_state.h"

namespace {

void on_map_loaded() {
    reset_map_actions();
    restore_map_state();
}

void on_map_unloading() {
    save_map_state();
}

}  // namespace

void install_map_rules() {
    reset_movement_rules();
    static bool hooks_added = false;
    if (hooks_added) return;
    hooks_added = true;
    add_map_loaded_hook(on_map_loaded);
    add_map_unloading_hook(on_map_unloading);
}
