#pragma once
// The view's drawing steps, shared between the files of the renderer.
#include <cstdint>

#include "gfx/picture.h"
#include "world/view.h"

// Placement modes of front wall pictures (low bits) and the side's height
// shifts (the same bits as SIDE2_UP_SIDE and SIDE2_DOWN_SIDE).
enum : int {
    FRONT_CENTRED = 0,      // the picture's centre at (x, y) of the 500 x 320 face
    FRONT_FACE = 1,         // a face picture starting at the face's left edge
    FRONT_MIRRORED = 2,     // the same mirrored: its first column at the face's right edge
    WALL_UP_SIDE = 0x20,    // raised by one wall height
    WALL_DOWN_SIDE = 0x40,  // lowered by one wall height
};
// Side wall modes: bit 0 mirrors (right walls), bit 1 starts the picture at the
// near end of the face (else it is centred at (x, y)).
enum : int {
    SIDE_MODE_MIRROR = 1,
    SIDE_MODE_FACE = 2,
};

// How a wall picture is coloured: one of its ten palettes, or that palette
// blended 50% with what lies beneath.
struct wall_paint {
    int palette = 0;
    bool blend = false;
};

// Draws a PIC_FADE8 picture on the face of cell (column, depth), standing at
// boundary depth + 1. x and y are in face texture pixels, y upward from the
// floor. Index 0 is transparent, index 1 ends the row.
void draw_front_wall(int column, int depth, const picture* pic, int x, int y, int mode, wall_paint paint);
// Draws a side-wall picture on the side face of cell (column, depth) that runs
// from boundary depth to depth + 1 (left side for column <= 0, right side with
// SIDE_MODE_MIRROR for column >= 0).
void draw_side_wall(int column, int depth, const picture* pic, int x, int y, int mode, wall_paint paint);

// Copies the spans of the cell's floor (or ceiling) from a full-view picture.
void draw_floor_spans(int column, int depth, const picture* pic);
void draw_ceiling_spans(int column, int depth, const picture* pic);

// The members standing in a cell, placed on its five places.
void draw_members_in_cell(int sector, int column, int depth, bool shaded, bool own_sector);
// The unfinished special textures of a sector, or clears its SPECTXTR flag.
void draw_special_textures(int sector, int column, int depth, bool shaded);
// The direction of the view being drawn.
int current_view_direction();
// Advances the frames of the special textures (after every view).
void advance_special_textures();
