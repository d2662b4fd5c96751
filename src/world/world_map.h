#pragma once
// The world map: the overview of the adventure's places, opened from the
// automap's button panel. What it shows is the script "globmap.dat" (maps
// folder), run every time the world map opens: its conditions test story
// flags, the current map, the party's sector and the maps already visited;
// its definitions draw pictures, name the index picture whose pixel values
// are place numbers, and give each place a map file and a description.
// Pointing at a place shows its description, clicking it travels there (or,
// in the automap's note mode, shows that map's automap), a right click
// closes the world map.
//
// The script (words compared in upper case, keywords found by prefix):
//   line        = [condition] ":" definitions | [condition] ":" "{" lines "}"
//   condition   = terms; "!" negates the next term, "&&" ANDs the following
//                 terms, "||" ORs them again; a term is FLG n, IFDEF n,
//                 SEKTOR n, CURMAP name, or a map name (true once the party
//                 has been there)
//   definitions = BREAK | DRAW=picture,x,y | INDX=n | MAP=file | TEXT=words
//                 | UNDEF=n | USEMAP=picture, separated by ";"
// A back-quote starts a comment to the end of the line.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/handles.h"

constexpr int WORLD_PLACE_COUNT = 256;
constexpr size_t WORLD_PLACE_MAP_MAX = 12;    // characters of a place's map file
constexpr size_t WORLD_PLACE_TEXT_MAX = 127;  // characters of a description

struct world_place {
    std::string map;                  // the map file, up to 12 characters
    bool defined = false;             // the mouse can point at it
    std::optional<std::string> text;  // the description
};

// What a run of the script changes.
struct world_script_state {
    std::array<world_place, WORLD_PLACE_COUNT> places;
    int current_place = 0;      // set by INDX
    std::string index_picture;  // set by USEMAP
};

// What the script asks of the game. Unset functions answer false and do nothing.
struct world_script_calls {
    std::function<bool(int flag)> story_flag;
    // The word of a condition that is no keyword: true when the party has
    // been on that map (its state record exists).
    std::function<bool(const std::string& word)> visited;
    std::function<void(const std::string& picture, int x, int y)> draw;
    std::function<void(const std::string& picture)> use_index;
    std::string current_map;  // CURMAP compares with it, ignoring case
    int sector = 0;           // SEKTOR compares with it
};

// A script error: the line (from 1) and the message.
struct world_script_error {
    int line = 0;
    std::string message;
};

// Runs the script (up to its end, its first NUL byte or a BREAK) over the
// state; returns the first error, if any (the state then holds what ran
// before it).
std::optional<world_script_error> run_world_script_text(std::string_view script, world_script_state& state,
                                                        const world_script_calls& calls);

// The text the program ends with for a script error.
std::string world_script_error_text(const world_script_error& error);

// ---------------------------------------------------------------- in the game

// The place number of an index picture's pixel (x, y of the picture); 0 for a
// point outside the picture, a picture that is not a whole 8-bit record, or
// null.
int index_pixel(const void* index_picture, size_t length, int x, int y);

// The description box for a pointer at (x, y) and a text of that size: at
// (x, y + 43), moved left so that it ends before x = 639 but never past the
// left edge, and kept on the screen.
struct world_box {
    int x = 0, y = 0, width = 0, height = 0;
};
world_box description_box(int x, int y, int text_width, int text_height);

// True when the adventure has a world map script.
bool world_map_available();

// Opens the world map: leaves the game screen, clears the place table, runs
// "globmap.dat" (drawing as it goes), presents the screen and takes the mouse.
// A script error closes the display and ends the program with exit code 1
// and the line and message of the error.
void open_world_map();
// Frees the place table, gives the mouse back, leaves the note mode and
// shows the game screen again (through world_map_closed when set).
void close_world_map();
bool world_map_open();
// Parses and runs "globmap.dat" over the place table (for open_world_map and tests).
void run_world_script();
// The place table of the world map now open.
const world_script_state& world_map_state();

// The mouse handler while the world map is open (exposed for tests).
void world_map_mouse(struct event_msg& msg, void** data);

// A click on a defined place: travel there (or show its automap in the note
// mode). Returns true when the world map closed for it.
bool world_map_choose(int place);

// The nearest way out for travel: the party's sector when it is of type 19,
// else the nearest sector of type 19 reached over discovered sectors whose
// sides let the party through, avoiding water, pits, teleports, types 4 and
// 50 to 58 and sectors with monsters; 0 when there is none.
int world_map_way_out();

// The automap's note mode: a click on a place shows that map's automap
// instead of travelling. The automap's panel sets it; closing the world map
// clears it.
extern bool world_map_note_mode;

// Shows the automap of the loaded map (another map's, looked at from the world
// map) until the player leaves it; put here by the automap. Unset: nothing is
// shown. When it returns, the map looked at is put away, the parked map comes
// back and the world map is shown again.
extern void (*show_map_automap)(const std::string& map);
// Parks the current map, reads the other map and its discovered sectors and
// notes, and shows its automap (above).
void show_place_automap(const std::string& map);
// Puts the parked map back after another map's automap was shown.
void end_place_automap();

// What follows when the world map closes; unset: the game screen starts again.
extern void (*world_map_closed)();

// The world map's pictures (DRAW and USEMAP) take handles from here up.
constexpr handle_id WORLD_MAP_HANDLES = FIRST_RUNTIME_HANDLE + 0x0400;
constexpr int WORLD_MAP_HANDLE_COUNT = 64;
