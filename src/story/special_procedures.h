#pragma once
// Behaviour an adventure cannot say in its data: the numbered special
// procedures of monsters (a monster record's `script`) and of walls (the
// map's special command), and the alarm that calls listening monsters
// through the map.
//
// A procedure is handed an event and tells whether it took it; a taken event
// skips the caller's normal handling.
#include <string>
#include <vector>

struct item_def;

constexpr int MONSTER_PROCEDURES = 9;
constexpr int WALL_PROCEDURES = 4;

// Monster events.
constexpr int MONSTER_EVENT_DECIDE = 1;     // deciding the next move, before looking for the party
constexpr int MONSTER_EVENT_BATTLE = 2;     // the start of its battle turn
constexpr int MONSTER_EVENT_KNOCKBACK = 3;  // about to be knocked back

// The messages of a procedure number outside a table (the program ends).
extern const char* const BAD_MONSTER_PROCEDURE;
extern const char* const BAD_WALL_PROCEDURE;

// Procedure `number` of the monster in `slot` for the event. 0 takes
// nothing; a number outside 1 .. MONSTER_PROCEDURES ends the program.
bool monster_proc(int number, int event, int slot);
// Wall procedure `number` for side `side` (0..3) of `sector`, with the
// action's parameter and events. 0 does nothing; a number outside
// 1 .. WALL_PROCEDURES ends the program.
bool wall_proc(int number, int sector, int side, int parameter, int events);

// Calls the listening monsters toward the sector, through sides that carry sound.
void raise_alarm(int sector);

// The bit of a monster's script_state that procedures 4 and 5 keep.
constexpr int SCRIPT_STATE_ACTIVE = 0x80;

// The lines wall procedure 4 shows for an item, from the interface texts
// given by `text` (null when a text does not exist). Data texts are formats
// whose %d and %s are filled in order; nothing else in them is interpreted.
std::vector<std::string> item_property_lines(const item_def& item, const char* (*text)(int number));
// A text of the adventure with its conversions (%d, %i, %s with optional
// flags and width) filled from the arguments in order; missing arguments
// give nothing, "%%" gives "%", anything else stands as written.
struct format_argument {
    bool is_text = false;
    int number = 0;
    std::string text;
    format_argument(int n) : number(n) {}
    format_argument(const char* t) : is_text(true), text(t ? t : "") {}
    format_argument(std::string t) : is_text(true), text(std::move(t)) {}
};
std::string format_data_text(const std::string& format, const std::vector<format_argument>& arguments);

// The view turning half a round over 500 ms (wall procedure 3): the picture
// of the 640 x 360 view at angle `degrees` about its centre, into `out`
// (the same size); pixels from outside are black.
void rotate_view(const uint16_t* view, uint16_t* out, double degrees);

// Puts the procedures into the game: the map's special command, the
// monsters' events in and out of battle, and the alarm.
void install_special_procedures();
