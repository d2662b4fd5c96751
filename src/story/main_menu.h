#pragma once
// The main menu: the animated logo over the menu picture and five items that
// glow up under the pointer or the keyboard cursor and fade when left.
#include <array>

#include "core/handles.h"
#include "gfx/picture.h"

// The items, as the game task acts on them.
enum menu_item : int { MENU_NEW_GAME = 0, MENU_LOAD = 1, MENU_INTRO = 2, MENU_CREDITS = 3, MENU_QUIT = 4 };
constexpr int MENU_ITEM_COUNT = 5;
constexpr int MENU_GLOW_MAX = 4;
constexpr int LOGO_FRAMES = 30;
constexpr int LOGO_TICKS = 3 * LOGO_FRAMES;  // the logo loops through its frames in 90 ticks

// The menu's pictures (defined when the menu opens, in the block undefined
// when a new game starts).
constexpr handle_id H_MENU_LOGO_REFERENCE = 0x8000;  // LOGO00.PCX as 8-bit indexes
constexpr handle_id H_MENU_LOGO = 0x8001;            // logo frames 0-29 (1-29 from the XOR deltas)
constexpr handle_id H_MENU_BACKGROUND = 0x801F;      // MAINMENU.PCX
constexpr handle_id H_MENU_MASK = 0x8020;            // MENUVOL5.PCX: item number + 1 per pixel
constexpr handle_id H_MENU_GLOW = 0x8021;            // MENUVOL0-4.PCX: the items at glow levels 0-4
constexpr int LOGO_X = 0, LOGO_Y = 56;
constexpr int MENU_AREA_X = 220, MENU_AREA_Y = 300;

// The glow and the logo's clock.
struct menu_glow {
    int logo_tick = 0;                                               // 0 to LOGO_TICKS - 1
    std::array<int, MENU_ITEM_COUNT> direction{-1, -1, -1, -1, -1};  // +1 the item pointed at
    std::array<int, MENU_ITEM_COUNT> glow{};                         // 0 to MENU_GLOW_MAX
};
// What one tick asks to draw.
struct menu_tick_drawing {
    int logo_frame = -1;                                              // -1: none this tick
    std::array<int, MENU_ITEM_COUNT> item_level{-1, -1, -1, -1, -1};  // -1: not drawn
};
// One timer tick: every third tick the next logo frame and each item's glow
// one level towards its direction (an item already at its limit is not drawn).
menu_tick_drawing menu_tick(menu_glow& state);
// The item pointed at (-1: none) glows up, every other one fades.
void menu_point_at(menu_glow& state, int item);

// A logo frame from its delta picture: each 8-bit index XOR the index of the
// reference frame at the same place, looked up in the delta's own palette.
// A new hi-colour picture (game_alloc) of the delta's size; pixels beyond the
// reference take its index 0. Null when either is not an 8-bit picture.
picture* logo_frame_from_delta(const picture* reference, const picture* delta);

// The version written at the menu's bottom right.
extern const char* const MENU_VERSION_TEXT;

// Shows the menu until an item is picked and returns it (MENU_QUIT when the
// window is closed or the game is asked to stop). resume: the music goes on;
// otherwise the playlist's next piece starts.
int main_menu(bool resume);

// Runs the event loop until a handler sets done; false when the game was
// asked to stop first (stop_flag, which stays set for the loops around, or
// the task's end). Unlike main_loop it never sets stop_flag itself, so the
// game's own loop cannot take a screen's end for the end of the game.
bool run_until(const bool& done);

// Reveals what frame_buffer holds from the middle outwards: 12 steps of
// 20 rows above and below, one step a timer tick. False when the game was
// asked to stop meanwhile (the rest is shown at once).
bool reveal_screen();
