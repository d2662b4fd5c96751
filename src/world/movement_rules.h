#pragma once
// What a step or a turn asks of the map's rules (side events, the global
// hooks, passing and using sides, monsters in the way, the per-tick world
// update). The map's actions send their side events and run their hooks
// through this table too, so a test can listen in by replacing an entry.
#include <cstdint>

// Side events.
enum : uint16_t {
    SIDE_EV_PASSED = 0x0001,
    SIDE_EV_BLOCKED = 0x0002,
    SIDE_EV_USED = 0x0004,
    SIDE_EV_WRONG_KEY = 0x0008,
    SIDE_EV_NO_KEY = 0x0010,
    SIDE_EV_APPROACH = 0x0020,
    SIDE_EV_ACTION = 0x0040,
    SIDE_EV_MAP_START = 0x0080,
    SIDE_EV_ANIM_START = 0x0100,
    SIDE_EV_ANIM_STEP = 0x0200,
    SIDE_EV_ANIM_ODD = 0x0400,
    SIDE_EV_CHANGED = 0x0800,
    SIDE_EV_SPECIAL_OK = 0x1000,
    SIDE_EV_ANIM_END = 0x2000,
    SIDE_EV_RECESS = 0x4000,
    SIDE_EV_MONSTER_BUMP = 0x8000,
};

// Global hook numbers used by movement.
constexpr int HOOK_BEFORE_STEP = 21;
constexpr int HOOK_BEFORE_TURN = 22;

struct movement_rules_table {
    // Sends side events to a side (sector x 4 + direction).
    void (*send_side_event)(int side, int events) = nullptr;
    // Runs a global hook; false cancels what the caller was about to do.
    bool (*run_hook)(int number, int sector, int direction) = nullptr;
    // The party steps through the side of sector facing direction.
    void (*pass_side)(int sector, int direction) = nullptr;
    // The side in front is used (Space).
    void (*use_side)(int sector, int direction) = nullptr;
    // A monster stands in the target sector: may the party step there?
    // Until monsters exist it always allows.
    bool (*monster_allows_step)(int target_sector) = nullptr;
    // Side animations and delayed actions, once per scene period.
    void (*world_tick)() = nullptr;
    // Pressure plates of the sector left and the sector entered.
    void (*check_plates)(int old_sector, int new_sector) = nullptr;
};
extern movement_rules_table movement_rules;
// Puts the map's rules (map_actions.h, map_scripts.h) into every entry.
void reset_movement_rules();
