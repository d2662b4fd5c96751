#pragma once
// What one side or sector does to another: the action codes with their toggle
// mask, the sector check, COPY / SEND / APLY2ND propagation, delayed actions,
// using and passing sides, pressure plates and the side animations that carry
// doors from closed to open. Everything works on current_map.
#include <array>
#include <cstdint>
#include <vector>

#include "world/movement_rules.h"

// Action codes (apply_action's code).
enum action_code : int {
    ACT_TOGGLE_BITS = 0,
    ACT_OPEN = 1,
    ACT_CLOSE = 2,
    ACT_REVERSE = 3,
    ACT_ANIMATE = 4,
    ACT_SHOW = 5,
    ACT_HIDE = 6,
    ACT_SHOW_HIDE = 7,
    ACT_ANIMATE_2ND = 8,
    ACT_SHOW_2ND = 9,
    ACT_HIDE_2ND = 10,
    ACT_SHOW_HIDE_2ND = 11,
    ACT_REMOVE = 12,
    ACT_MESSAGE = 13,
    ACT_SECTOR_TOGGLE = 14,
    ACT_TELEPORT_ON = 15,
    ACT_TELEPORT_OFF = 16,
    ACT_SECTOR_SWITCH = 17,
    ACT_SECTOR_SET = 18,
};

// Sector types of pressure plates.
constexpr int SECTOR_PLATE_RELEASED = 13, SECTOR_PLATE_PRESSED = 14;

// One pending delayed action. The flags argument keeps only its upper 16 bits
// (the toggle mask lives in bits 24-28).
struct delayed_action {
    uint16_t code = 0;
    uint16_t sector = 0;
    uint16_t side = 0;
    uint16_t flags_high = 0;
    uint16_t propagate = 0;
    uint16_t delay = 0;  // world ticks left
};

// The loaded map's action state (saved with the map state record).
struct map_action_state {
    // Pending delayed actions, newest first (the order of the stored record).
    std::vector<delayed_action> delayed;
    // One has-run mark per multiaction record of the map, in file order
    // (the records of current_map.multiactions, list after list).
    std::vector<uint8_t> ran_once;
    // 16 code locks x 8 bytes: the last seven symbols entered, NUL-padded.
    std::array<uint8_t, 128> code_locks{};
    // The code of the last action applied (tested by scripts).
    int last_action = 0;
    // The side last acted on or animated (sector x 4 + side; its P_FORW
    // decides whether some sounds play).
    int last_side = 0;
};
extern map_action_state map_actions;

// Fresh action state for the map just loaded (no pending actions, nothing run).
void reset_map_actions();

// Applies an action to side sector x 4 + side. With propagate set (the other
// face of a wall) no events are sent and nothing propagates further.
void apply_action(int code, int sector, int side, uint32_t flags, bool propagate);
// As apply_action with delay 0; else the action waits that many world ticks.
// Nothing happens when sector and side are both 0.
void queue_action(int code, int sector, int side, uint32_t flags, bool propagate, int delay);
// Removes the first pending delayed action aimed at that side. Returns whether
// there was one.
bool cancel_delayed_action(int sector, int side);

// Using a side (the use key or a click) and passing through it.
void use_side(int sector, int direction);
void pass_side(int sector, int direction);

// Pressure plates of a sector: pressed when occupied, released when empty.
// With run set a plate that changed applies the sector's own action.
void check_plate(int sector, bool run);
// The plates of the sector left and the sector entered, after a move.
void check_plates(int old_sector, int new_sector);

// One world tick of the map: side animations, then delayed actions.
void map_world_tick();
// Its two halves: one step of every side animation; the delayed actions
// counted down, the due ones applied.
void step_side_animations();
void run_delayed_actions();

// Sends SIDE_EV_MAP_START to every side: the party has entered the map.
void send_map_start();

// Map rules nest (an action sends events, events run scripts, scripts apply
// actions, hooks run scripts). A map whose actions or scripts call each other
// in a cycle is cut at this depth; the first cut is reported on stderr.
constexpr int MAP_RULES_MAX_DEPTH = 32;
class map_rules_depth {
  public:
    map_rules_depth();
    ~map_rules_depth();
    map_rules_depth(const map_rules_depth&) = delete;
    map_rules_depth& operator=(const map_rules_depth&) = delete;
    // False when the nesting is too deep: the caller does nothing.
    bool ok() const { return ok_; }

  private:
    bool ok_;
};

// Puts the real map rules into movement_rules and attaches the map state to
// loading and unloading maps. Called at start-up (and by tests).
void install_map_rules();
