// Putting the map's rules to work: the movement rules table, and the map
// state that follows a map through loading and unloading.
#include "base/fatal.h"
#include "core/handle_ids.h"
#include "platform/display.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_services.h"
#include "world/map_state.h"
#include "world/screen_effects.h"
#include "world/view_animation.h"

namespace {

void on_map_loaded() {
    reset_map_actions();
    if (map_state_apply(current_map.name, current_map.sector_count, false) == MAP_STATE_UNFIT) {
        display_close();
        fatal_error("Bug in temp file. Please purge some status blocks in last load savegame file.");
    }
}

}  // namespace

void install_map_rules() {
    reset_movement_rules();
    map_services.teleport_animation = [] { start_view_animation(H_TELEPORT, false); };
    map_services.start_small_effect = start_effect;
    // The state is restored after the other parts have set the map up (the
    // monsters placed) and stored before they take it down.
    set_map_state_hooks(on_map_loaded, map_state_store);
}
