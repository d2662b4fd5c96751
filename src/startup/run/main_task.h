#pragma once
// The game task: what the game shows after start-up, and the map loop.
#include <optional>
#include <string>

// The name of the next map to load (at most 12 characters); empty = none.
extern std::string next_map_name;

// What the game task is told at its start.
struct main_task_options {
    // Unset: the intro plays when nobody has saved a game yet; true or false:
    // always or never (development and tests).
    std::optional<bool> intro;
    // Unset or true: the main menu; false: straight into a new game, and the
    // run ends with it (development and scripted runs).
    std::optional<bool> menu;
};

// The body of the game task (arg: main_task_options, or null). It plays the
// intro, then shows the main menu and acts on its items until a game has
// been played or the player quits; the run ends then (stop_flag).
void main_task(void* arg);
// A new game: the stand-in party on the default map's start.
void start_new_game();
// Loads the map named in next_map_name and runs the game screen on it until
// the party leaves the map, then the next map, until none is requested.
// continuing: keep the party's place (a loaded game) instead of the map's start.
void run_maps(bool continuing);
