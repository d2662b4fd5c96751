#pragma once
// The game screen: the first-person view framed by the top bar (with the
// compass and the money), the bottom panel and the arrow panel; its timers,
// keys and mouse clicks; the periodic scene redraw.
#include <cstdint>

#include "core/handles.h"

// Screen layout.
constexpr int TOP_BAR_ROWS = 16;      // rows 0..15; row 16 is a black line
constexpr int VIEW_FIRST_ROW = 17;    // the view: rows 17..376
constexpr int PANEL_FIRST_ROW = 378;  // the bottom panel: rows 378..479 (row 377 black)
constexpr int PANEL_ROWS = 102;
constexpr int COMPASS_X = 476, COMPASS_WIDTH = 102, COMPASS_ROWS = 16, COMPASS_FRAMES = 40;
constexpr int MONEY_X = 460, MONEY_Y = 13;
constexpr int ARROWS_X = 498, ARROWS_Y = 378, ARROWS_WIDTH = 142, ARROWS_HEIGHT = 102;
constexpr int ARROW_FRAME_ROWS = 110;

// The fixed handles of the game screen's pictures.
constexpr handle_id H_DESK = 0, H_TOPBAR = 1, H_OKNO = 2, H_KOMPAS = 3, H_SIPKY_S = 4, H_SIPKY_V = 5,
                    H_SIPKY_J = 6, H_SIPKY_Z = 7, H_SIPKY_SV = 8, H_SIPKY_SZ = 9, H_RAMECEK = 14,
                    H_LODKA = 27, H_SIPKY = 40, H_DEATH = 41, H_PANEL = 66;
// The display overlay that shows the boat's bow at (0, 318).
constexpr int BOAT_SPRITE = 1;
constexpr int BOAT_X = 0, BOAT_Y = 318;

// Timers of the game screen.
constexpr int TIMER_SCENE = 2, TIMER_EFFECTS = 3, TIMER_PANEL = 5, TIMER_FLYING = 6, TIMER_PARTY = 8;

// The arrows of the arrow panel, in the order of step kinds, then the turns.
enum arrow_kind : int {
    ARROW_FORWARD = 0,
    ARROW_RIGHT = 1,
    ARROW_BACK = 2,
    ARROW_LEFT = 3,
    ARROW_TURN_RIGHT = 4,
    ARROW_TURN_LEFT = 5,
};

struct scene_state {
    bool running = false;  // the game screen's timers and handlers are installed
    bool moving = false;   // a step or turn is in progress: new ones are refused
    int scene_period = 5;  // ticks between scene redraws
    int walk_speed = 1;    // 0, 1 or 2; 0 = no transition
    int turn_speed = 1;
    int compass_frame = 0;  // 0..39
    int arrow = -1;         // highlighted arrow_kind, -1 none
    int arrow_counter = 0;  // 6 when started, counts down per effects step
    int shake_steps = 0;
    bool spin_running = false;
    bool boat_mode = false;  // the party is in a boat: no sideways steps, the bow shown over the view
};
extern scene_state scene;

// The compass frame of a party at rest facing direction.
inline int compass_rest_frame(int direction) {
    return (3 - (direction & 3)) * 10;
}
// One compass step toward the party's direction (the shorter way round).
// Returns true when the frame changed.
bool compass_step();
// The arrow picture's frame for a highlight counter value (-1: the resting picture).
int arrow_frame(int counter);
void start_arrow_highlight(int arrow);
bool arrow_highlight_step();
void shake_screen(int steps);

// A picture of the game screen, or null when its file is not in the
// adventure (so a missing decoration never stops the game).
const struct picture* screen_picture(handle_id id);
// The same for any resource of the screen (fonts), and a font made current
// only when it exists.
bool screen_resource_available(handle_id id);
bool screen_font(handle_id font, int32_t colour_spec);
// Asks again which pictures exist (a new adventure, tests).
void forget_screen_pictures();

// Draws the view of the party's place into back_buffer.
void draw_party_view();
// Everything around the view, into frame_buffer.
void draw_screen_frame();
// The periodic redraw (nothing while a move is in progress).
void redraw_scene();

// Installs and removes the timers and handlers of the game screen.
void start_game_screen();
void stop_game_screen();
// In the game task: shows the game screen and waits until it is left
// (EV_GAME_RESULT); returns the result's first value (0 without one).
int run_game_screen();

// The key and mouse handlers (exposed for tests).
void game_screen_key(struct event_msg& msg, void** data);
void game_screen_mouse(struct event_msg& msg, void** data);
// The arrow under a point of the arrow panel, -1 outside.
int arrow_at(int x, int y);
