#pragma once
// Where everything sits on the game screen: the rows of the top bar, the view
// and the bottom panel, the compass, the money and the arrow panel, the
// display overlay of the boat. Shared by the game screen, the panel and
// movement.
#include "core/event_ids.h"   // the game screen's timers (TIMER_*)
#include "core/handle_ids.h"  // the fixed handles of the screen's pictures (H_*)

constexpr int TOP_BAR_ROWS = 16;      // rows 0..15; row 16 is a black line
constexpr int VIEW_FIRST_ROW = 17;    // the view: rows 17..376
constexpr int PANEL_FIRST_ROW = 378;  // the bottom panel: rows 378..479 (row 377 black)
constexpr int PANEL_ROWS = 102;
constexpr int COMPASS_X = 476, COMPASS_WIDTH = 102, COMPASS_ROWS = 16, COMPASS_FRAMES = 40;
constexpr int MONEY_X = 460, MONEY_Y = 13;
constexpr int ARROWS_X = 498, ARROWS_Y = 378, ARROWS_WIDTH = 142, ARROWS_HEIGHT = 102;
constexpr int ARROW_FRAME_ROWS = 110;

// The display overlay that shows the boat's bow at (0, 318).
constexpr int BOAT_SPRITE = 1;
constexpr int BOAT_X = 0, BOAT_Y = 318;

// The arrows of the arrow panel, in the order of step kinds, then the turns.
enum arrow_kind : int {
    ARROW_FORWARD = 0,
    ARROW_RIGHT = 1,
    ARROW_BACK = 2,
    ARROW_LEFT = 3,
    ARROW_TURN_RIGHT = 4,
    ARROW_TURN_LEFT = 5,
};

// The compass frame of a party at rest facing direction.
inline int compass_rest_frame(int direction) {
    return (3 - (direction & 3)) * 10;
}
