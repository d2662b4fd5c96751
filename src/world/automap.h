#pragma once
// The automap: the party's map of the current level, one layer at a time, in
// 8 x 8-pixel cells over the view area; the notes the player writes on it;
// its button panel; the choosing of a place for spells; and the mini-map, a
// small rotated version of it drawn into the corner of the view in battles.
//
// A cell (x, y) is drawn at (8x - cx + 320, 8y - cy + 197), where (cx, cy),
// the map point at the screen centre in pixels, is 8 x the party's position
// minus 8 x the offset (ox, oy) that the keys move.
#include <cstdint>
#include <string>
#include <vector>

#include "core/events.h"

constexpr int AUTOMAP_CELL = 8;
constexpr int AUTOMAP_CENTRE_X = 320, AUTOMAP_CENTRE_Y = 197;
constexpr int AUTOMAP_VIEW_X = 0, AUTOMAP_VIEW_Y = 17, AUTOMAP_VIEW_W = 640, AUTOMAP_VIEW_H = 360;
constexpr int AUTOMAP_PANEL_X = 520, AUTOMAP_PANEL_Y = 378;
constexpr int AUTOMAP_BUTTONS_Y = 392;  // where the pressed buttons' picture goes

// Colours (RGB555).
constexpr uint16_t AUTOMAP_EMPTY = 0x4A2E;
constexpr uint16_t AUTOMAP_WATER = 0x01FF;  // sector types 3 and 9
constexpr uint16_t AUTOMAP_TYPE4 = 0x7E00;
constexpr uint16_t AUTOMAP_TYPE19 = 0x39AB;
constexpr uint16_t AUTOMAP_WALL = 0x356A;
constexpr uint16_t MINIMAP_WALL = 0x6691;
constexpr uint16_t AUTOMAP_BARS = 0x7EC6;  // see-through sides that stop the party
constexpr uint16_t AUTOMAP_BACK_LINE = 0x2080;

// The coordinate bit drawn like MAPPED in the wall pass (and kept with the
// map's state); nothing in the automap sets it.
constexpr uint16_t MC_KNOWN = 0x0040;

// The automap while it is open (and the view it keeps between draws).
struct automap_state {
    bool open = false;
    bool full = true;              // false: choosing a place
    bool world_map_state = false;  // shown from the world map (another map's automap)
    int layer = 0;
    int ox = 0, oy = 0;  // offset in cells
    int mask = 7;        // button panel: a set bit selects and disables that button
    bool note_cursor = false;
    bool closing = false;         // a key or click asked to close
    int chosen = 0;               // the sector chosen in target mode
    bool then_world_map = false;  // button 1: the world map opens once the automap is closed
    bool quit_asked = false;      // the window is to close: the game ends after the automap
    // The note being edited (screen position of its first character).
    bool editing = false;
    int edit_x = 0, edit_y = 0;
    std::string edit_text;
    std::string edit_before;           // what Esc puts back
    std::vector<uint16_t> edit_saved;  // the 20 rows under the text
};
extern automap_state automap;

// What the automap leaves to other parts of the game. Unset members do
// nothing (and say "no").
struct automap_links {
    // Button 1 of the panel: the world map. Nothing happens while unset.
    void (*open_world_map)() = nullptr;
    // The book: the story fills this in when it has a book window to show;
    // until then the book does not open from here.
    void (*open_book)() = nullptr;
    // Whether the adventure has a world map to offer.
    bool (*world_map_available)() = nullptr;
    // A battle is running (the panel offers only the way back); unset: the
    // game screen's battle screen says so.
    bool (*in_battle)() = nullptr;
    // The mini-map's monsters: a monster that is not hidden stands there.
    bool (*monster_shown)(int sector) = nullptr;
};
extern automap_links automap_hooks;

bool automap_battle();

// The map point at the screen centre, in pixels.
int automap_centre_x();
int automap_centre_y();

// Opens the automap and runs it until it closes. full: the whole map (Tab, M;
// hook 7 may refuse); otherwise the party's surroundings, for choosing a
// place: returns the chosen sector, 0 when none was chosen.
int open_automap(bool full);
// The two halves of open_automap without the event loop between them (tests,
// the world map): begin returns false when the automap cannot open.
bool begin_automap(bool full);
int end_automap();

// The loaded map's automap shown from the world map (another map's, while
// the party's own is parked): no hooks run, notes cannot be written, and the
// panel offers the world map back.
void open_automap_from_world_map();

// Marks the sectors to show (MARKED!): every one, or those within two steps
// of the party and the party's own; and clears the marks again.
void mark_automap_sectors(bool full);
void clear_automap_marks();
// The shown layer and the offset that centres the seen part of the map.
void reset_automap_view();

// Draws the automap into the frame buffer and presents the view area.
void draw_automap(int ox, int oy);
// The button panel with the current mask.
void draw_automap_panel();
// The title line and the game time.
std::string automap_time_text(int32_t time);

// The keys (scan codes) and clicks; they redraw. Keys return true when taken.
bool automap_keys(int scan, bool ctrl);
void automap_click(int x, int y);
// The panel's button under a point (1..4), 0 none.
int automap_panel_button(int x, int y);
void automap_key_event(event_msg& msg, void** data);
void automap_mouse_event(event_msg& msg, void** data);

// The sector whose cell on the shown layer lies under a screen point, 0 none.
int automap_sector_at(int x, int y);

// ---------------------------------------------------------------- notes

// A note as the map keeps it (see loaded_map::automap_notes).
struct automap_note {
    int32_t x = 0, y = 0;  // map pixels
    int32_t layer = 0;
    std::string text;
};
// Reads one record; false for a record too short or without its NUL.
bool decode_automap_note(const std::vector<uint8_t>& record, automap_note& note);
std::vector<uint8_t> encode_automap_note(const automap_note& note);
std::vector<automap_note> automap_notes();
void add_automap_note(const automap_note& note);
// Index of the note on the shown layer whose text lies under the screen
// point, -1 none.
int automap_note_at(int x, int y);
void remove_automap_note(int index);
void draw_automap_notes();

// Note editing: starts at a screen position with a text (the note's own or
// empty); keys go to automap_edit_key until Enter or Esc stores the text.
void start_note_edit(int x, int y, const std::string& text, bool existing);
void automap_edit_key(int scan, int character);
void draw_note_edit();

// ---------------------------------------------------------------- cells

// One cell drawn at a screen position: pass 0 fills it and writes its sign,
// pass 1 its walls (rotation: the party's direction in the mini-map, sides
// turned so that it points up) and the member standing there.
struct automap_cell_style {
    uint16_t wall = AUTOMAP_WALL;
    int rotation = 0;
    bool minimap = false;
};
void draw_automap_cell(int sector, int screen_x, int screen_y, int pass, const automap_cell_style& style);

// The mini-map in the view's top-left corner. The game screen draws it after
// every scene redraw and step during a battle, and also while
// minimap_always_shown is set (a game option, set by the rules).
void draw_minimap();
extern bool minimap_always_shown;
