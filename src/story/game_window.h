#pragma once
// The game's own window look: a face tiled with a texture picture, raised or
// sunken one-pixel rings inside its edge, and a shadow 10 pixels wide on the
// right and at the bottom. The window's rectangle includes the shadow.
#include "core/handles.h"

struct ui_window;

constexpr int GAME_WINDOW_SHADOW = 10;

// Creates and opens a toolkit window at (x, y), w (rounded down to even) by
// h, shadow included. The texture handle takes the place of the background
// colour and the tile offsets that of the frame's two colours; |rings| rings,
// all sunken when rings is negative. Objects defined next go into it.
ui_window* game_window_open(int x, int y, int w, int h, handle_id texture, int rings, int tile_x, int tile_y);
// The draw function game_window_open installs.
void game_window_draw(ui_window* window);
