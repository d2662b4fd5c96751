#pragma once
// Resting (F4): the party sleeps tick by tick while its rest allowance lasts,
// an hour at a time on a black view, until a key, a disturbance, a battle or
// a timed hook of the map wakes it. It runs as a task of its own, with the
// game screen stopped meanwhile.

// The texts shown by number.
constexpr int TEXT_REST_HOURS = 71;  // "%d" hours rested, over the black view
constexpr int TEXT_NO_REST_HERE = 120;

// Maps of this class (header byte) allow no rest.
constexpr int MAP_CLASS_NO_REST = 4;

struct rest_state_t {
    bool resting = false;  // the resting mark: set while the party sleeps
};
extern rest_state_t rest_state;

// What resting asks of the parts of the game not built yet. Until they fill
// an entry in, nothing happens there: the sound stays as it is, no autosave
// is written and the monsters do not move while the party sleeps.
struct rest_services_table {
    // Switches new sounds on or off; returns the previous value.
    bool (*sound_enable)(bool on) = nullptr;
    // Stops the positional sounds around the party.
    void (*stop_positional_sounds)() = nullptr;
    // Writes an autosave when the autosave switch is on.
    void (*autosave)() = nullptr;
    // The monsters' step while the party rests (every 6 ticks), told whether an hour passed.
    void (*monsters_rest_step)(bool hour_passed) = nullptr;
};
extern rest_services_table rest_services;
// Puts every entry back to its "nothing happens" default.
void reset_rest_services();

// F4 on the game screen: in maps of class 4 shows text 120; otherwise starts
// the rest as a task of its own (it runs at once until it first waits).
void start_rest();
// The rest itself, in a task: returns when the party wakes up (or at once
// when the allowance is spent or hook 1 forbids it).
void rest();
