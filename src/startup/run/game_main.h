#pragma once
// The program's spine: the command line, the two ways to run (the game, or
// the string-table export with -s) and the start sequence.
#include <optional>
#include <string>

#include "base/fatal.h"

struct start_params {
    void (*after_error)() = nullptr;  // called after a start-up error was reported
    report_fatal_fn report_fatal = nullptr;
    std::optional<std::string> adventure_path;  // -a (absent when not given or empty)
    std::string config_path = "vorthan.ini";    // -f
    std::optional<std::string> language;        // -l (absent when not given or empty)
    // Unset: the intro plays on a first start; true or false: always or never.
    std::optional<bool> intro;
    // Unset or true: the main menu; false: a new game at once.
    std::optional<bool> menu;
};

// The help text for the program started as program_path.
std::string help_text(const char* program_path);

// main: parses the options and runs one of the paths; the exit code.
int game_main(int argc, char** argv);

// 0 or 1.
int run_game(const start_params& params);
int export_strings(const start_params& params, const std::string& directory);

// The start steps of the game, in their fixed order.
void init_game();
// Writes every string table of the adventure into directory; false when a
// step failed (it has reported why).
bool export_string_tables(const std::string& directory);

// Start step 1: the interface texts. An error is reported through
// display_error (which ends the program once the fatal hook is installed);
// false when it returns.
bool init_ui_strings(bool with_language);

// The name of the map a new game starts on ("LESPRED.MAP" unless the
// configuration names another).
extern std::string default_map_name;
