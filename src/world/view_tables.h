#pragma once
// The derived tables of the view, built from the base table by
// init_view_tables. Shared by the wall, surface and sprite drawing code.
#include <array>
#include <cstdint>

#include "world/view.h"

constexpr int COLUMN_TABLE_SIZE = 640;
constexpr int ROW_TABLE_SIZE = 600;

// One boundary seen across the view: where a wall standing there ends at the
// bottom and how its 320 texture rows are spread over its height.
struct depth_row {
    int bottom = 0;  // view row of the wall's bottom
    int height = 0;  // wall height in view rows
    // Texture rows to move up after screen row i (entry 0 is 1).
    std::array<int16_t, ROW_TABLE_SIZE> row_step{};
    // Texture rows moved up before screen row i (the running sum of row_step).
    std::array<int16_t, ROW_TABLE_SIZE + 1> row_offset{};
};

// A wall face seen straight on, or a side face seen along an edge.
struct wall_position {
    bool visible = false;
    int left_x = 0;   // front: face's left edge for a column on the left or centre; side: near end
    int right_x = 0;  // front: face's left edge for a column on the right
    int width = 0;    // face width on the screen
    // Texture columns to skip after the one drawn at screen column i (-1: repeat).
    std::array<int16_t, COLUMN_TABLE_SIZE> column_step{};
    // Texture column drawn at screen column i of the face (running sum).
    std::array<int16_t, COLUMN_TABLE_SIZE> column_of{};
};

// One floor or ceiling row of one column: the view columns [x, x + length) of
// that row belong to the cell of that column at `depth` (-1: no cell drawn).
struct surface_span {
    int16_t x = 0;
    int16_t length = 0;
    int8_t depth = -1;
};

constexpr int VIEW_COLUMNS = 7;  // -3..3, stored as column + 3

struct view_tables {
    view_base_table base{};
    std::array<depth_row, VIEW_BOUNDARIES> depth_rows{};
    wall_position front[4][VIEW_DEPTHS]{};  // column |c|, depth d (stands at boundary d + 1)
    wall_position side[4][VIEW_DEPTHS]{};   // edge n, depth d (from boundary d to d + 1)
    // Floor rows: view rows 160..359; ceiling rows: view rows 0..89.
    surface_span floor[VIEW_COLUMNS][FLOOR_PICTURE_HEIGHT]{};
    surface_span ceiling[VIEW_COLUMNS][CEILING_PICTURE_HEIGHT]{};
    // First and last (inclusive) floor/ceiling table row of each depth; first > last when none.
    int floor_first[VIEW_DEPTHS]{}, floor_last[VIEW_DEPTHS]{};
    int ceiling_first[VIEW_DEPTHS]{}, ceiling_last[VIEW_DEPTHS]{};
    bool built = false;
};
const view_tables& tables();

// Spreads `texture_width` texture columns over `screen_width` screen columns;
// beyond the texture the columns continue with the slope texture_width /
// extension_divisor so that a wider picture runs on into the next cell.
// step[i] is the number of texture columns to skip after the one drawn (-1
// repeats it when the texture is magnified).
void step_columns(std::array<int16_t, COLUMN_TABLE_SIZE>& step, int texture_width, int screen_width,
                  int extension_divisor);
