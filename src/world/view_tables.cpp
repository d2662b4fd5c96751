// The perspective tables of the view and the projection of points in cells.
#include "world/view_tables.h"

#include <algorithm>
#include <cstdlib>

#include "gfx/screen.h"
#include "world/map.h"

namespace {

view_tables the_tables;

void build_base(view_base_table& base) {
    double edge[VIEW_EDGES];
    for (int e = 0; e < VIEW_EDGES; e++) edge[e] = 357 + 714 * e;
    double floor_y = 305, ceiling_y = -150;
    for (int k = 0; k < VIEW_BOUNDARIES; k++) {
        for (int e = 0; e < VIEW_EDGES; e++) base.edge[e][k] = static_cast<int>(edge[e]);
        base.floor_y[k] = static_cast<int>(floor_y);
        base.ceiling_y[k] = static_cast<int>(ceiling_y);
        // Each boundary is the previous one shrunk by 1/3.33, truncated toward zero.
        for (double& v : edge) v = static_cast<int>(v - v / 3.33);
        floor_y = static_cast<int>(floor_y - floor_y / 3.33);
        ceiling_y = static_cast<int>(ceiling_y - ceiling_y / 3.33);
    }
}

void build_depth_row(depth_row& row, int floor_y, int ceiling_y) {
    row.bottom = floor_y + VIEW_HORIZON;
    row.height = floor_y - ceiling_y;
    const int h = row.height;
    row.row_step[0] = 1;
    for (int i = 1; i < ROW_TABLE_SIZE; i++)
        row.row_step[i] =
            static_cast<int16_t>(WALL_TEXTURE_HEIGHT * i / h - WALL_TEXTURE_HEIGHT * (i - 1) / h);
    row.row_offset[0] = 0;
    for (int i = 0; i < ROW_TABLE_SIZE; i++)
        row.row_offset[i + 1] = static_cast<int16_t>(row.row_offset[i] + row.row_step[i]);
}

void fill_column_of(wall_position& pos) {
    int texture_column = -1;
    for (int i = 0; i < COLUMN_TABLE_SIZE; i++) {
        texture_column = std::min(texture_column + 1 + pos.column_step[i], 32767);
        pos.column_of[i] = static_cast<int16_t>(texture_column);
    }
}

// The view columns [from, to) of one table column on a surface row whose edges
// are the boundary-0 edges scaled by distance / reference.
void surface_span_for(surface_span& span, const view_base_table& base, int column, int distance,
                      int reference, int depth) {
    auto edge = [&](int e) { return base.edge[e][0] * distance / reference; };
    int from, to;
    if (column == 0) {
        from = VIEW_CENTRE_X - edge(0);
        to = VIEW_CENTRE_X + edge(0);
    } else if (column > 0) {
        from = VIEW_CENTRE_X + edge(column - 1);
        to = VIEW_CENTRE_X + edge(column);
    } else {
        from = VIEW_CENTRE_X - edge(-column);
        to = VIEW_CENTRE_X - edge(-column - 1);
    }
    from = std::clamp(from, 0, VIEW_WIDTH);
    to = std::clamp(to, 0, VIEW_WIDTH);
    span.x = static_cast<int16_t>(from);
    span.length = static_cast<int16_t>(std::max(0, to - from));
    span.depth = static_cast<int8_t>(depth);
}

void build_surfaces(view_tables& t) {
    const view_base_table& b = t.base;
    for (int d = 0; d < VIEW_DEPTHS; d++) {
        t.floor_first[d] = t.ceiling_first[d] = 1 << 20;
        t.floor_last[d] = t.ceiling_last[d] = -1;
    }
    // A floor row at distance dy below the horizon belongs to depth d when it
    // lies below the bottom of a wall at boundary d + 1 and not below the one
    // at boundary d; a ceiling row likewise against the walls' top rows. These
    // are the same rows the walls leave uncovered, so walls and floors meet.
    for (int j = 0; j < FLOOR_PICTURE_HEIGHT; j++) {
        const int dy = FLOOR_FIRST_VIEW_ROW + j - VIEW_HORIZON;
        int depth = -1;
        for (int d = 0; d < VIEW_DEPTHS; d++)
            if (dy > b.floor_y[d + 1] && dy <= b.floor_y[d]) depth = d;
        for (int c = 0; c < VIEW_COLUMNS; c++)
            surface_span_for(t.floor[c][j], b, c - 3, dy, b.floor_y[0], depth);
        if (depth >= 0) {
            t.floor_first[depth] = std::min(t.floor_first[depth], j);
            t.floor_last[depth] = std::max(t.floor_last[depth], j);
        }
    }
    for (int j = 0; j < CEILING_PICTURE_HEIGHT; j++) {
        const int dy = VIEW_HORIZON - j;
        int depth = -1;
        for (int d = 0; d < VIEW_DEPTHS; d++)
            if (dy >= -b.ceiling_y[d + 1] && dy < -b.ceiling_y[d]) depth = d;
        // The spans' width takes a distance two rows farther from the horizon
        // than the row itself: ceiling row j spans like a row at 114 - j.
        const int span_distance = VIEW_HORIZON + 2 - j;
        for (int c = 0; c < VIEW_COLUMNS; c++)
            surface_span_for(t.ceiling[c][j], b, c - 3, span_distance, -b.ceiling_y[0], depth);
        if (depth >= 0) {
            t.ceiling_first[depth] = std::min(t.ceiling_first[depth], j);
            t.ceiling_last[depth] = std::max(t.ceiling_last[depth], j);
        }
    }
}

void build(view_tables& t) {
    build_base(t.base);
    const view_base_table& b = t.base;
    for (int k = 0; k < VIEW_BOUNDARIES; k++) build_depth_row(t.depth_rows[k], b.floor_y[k], b.ceiling_y[k]);

    for (int n = 0; n < 4; n++) {
        for (int d = 0; d < VIEW_DEPTHS; d++) {
            wall_position& f = t.front[n][d];
            f.visible = !(n > 0 && b.edge[n - 1][d] > 500);
            f.left_x = VIEW_CENTRE_X - b.edge[n][d + 1];
            f.right_x = n > 0 ? VIEW_CENTRE_X + b.edge[n - 1][d + 1] : f.left_x;
            f.width = b.edge[1][d + 1] - b.edge[0][d + 1];
            step_columns(f.column_step, WALL_TEXTURE_WIDTH, f.width, f.width);
            fill_column_of(f);

            wall_position& s = t.side[n][d];
            s.visible = b.edge[n][d + 1] < 321;
            s.left_x = VIEW_CENTRE_X - b.edge[n][d];
            s.right_x = s.left_x;
            s.width = b.edge[n][d] - b.edge[n][d + 1];
            step_columns(s.column_step, SIDE_TEXTURE_WIDTH, s.width, b.edge[0][d] - b.edge[0][d + 1]);
            fill_column_of(s);
        }
    }
    build_surfaces(t);
    t.built = true;
}

}  // namespace

void step_columns(std::array<int16_t, COLUMN_TABLE_SIZE>& step, int texture_width, int screen_width,
                  int extension_divisor) {
    const int w = texture_width;
    const int n = std::max(1, screen_width);
    const int b = std::max(1, extension_divisor);
    int previous = -1;
    int start = -1;  // set at the first column past the texture's end
    for (int i = 0; i < COLUMN_TABLE_SIZE; i++) {
        int e;
        if (previous <= w) {
            e = w * i / n;
        } else {
            if (start < 0) start = i - 3;
            e = w + w * (i - start) / b;
        }
        // A magnified texture repeats a column (entry -1); the continuation
        // past the texture may restart a column or two behind: never step back.
        if (e < previous) e = previous;
        step[i] = static_cast<int16_t>(std::min(e - previous - 1, 32767));
        previous = e;
    }
}

const view_tables& tables() {
    if (!the_tables.built) build(the_tables);
    return the_tables;
}

const view_base_table& view_base() {
    return tables().base;
}

void init_view_tables() {
    tables();
    // A newly loaded map starts with no sector seen.
    static bool hooked = false;
    if (!hooked) {
        add_map_loaded_hook(clear_view_grid);
        hooked = true;
    }
    clear_buffer(frame_buffer, 0);
    clear_buffer(back_buffer, 0);
}

view_point project(int column, int depth, int across, int along, int height) {
    const view_base_table& b = view_base();
    const int d = std::clamp(depth, 0, VIEW_DEPTHS - 1);
    const int l = along;
    auto H = [&](int k) { return b.floor_y[k] - b.ceiling_y[k]; };
    auto X = [&](int e, int k) { return b.edge[std::clamp(e, 0, VIEW_EDGES - 1)][k]; };
    view_point p;
    p.scale = H(d) + l * (H(d + 1) - H(d)) / 128;
    p.y = b.floor_y[d] - l * (b.floor_y[d] - b.floor_y[d + 1]) / 128 - p.scale * height / 128 + VIEW_HORIZON;
    const int c = std::abs(column);
    const int outer = X(c, d) - l * (X(c, d) - X(c, d + 1)) / 128;
    const int inner = column == 0 ? -outer : X(c - 1, d) - l * (X(c - 1, d) - X(c - 1, d + 1)) / 128;
    const int v = inner + (outer - inner) * (column < 0 ? 128 - across : across) / 128;
    p.x = column < 0 ? VIEW_CENTRE_X - v : VIEW_CENTRE_X + v;
    return p;
}

view_clip monster_clip(int column, int depth, int left_cut, int right_cut) {
    const view_base_table& b = view_base();
    const int d = std::clamp(depth, 0, VIEW_DEPTHS - 1);
    auto x = [&](int e, int k) { return b.edge[std::clamp(e, 0, VIEW_EDGES - 1)][k]; };
    view_clip clip;
    const int c = column;
    if (c >= 0) {
        if (right_cut != 0)
            clip.right =
                std::min(640, 320 + x(c, d) - right_cut * (x(c, d) - x(c, d + 1)) / SIDE_TEXTURE_WIDTH);
        if (c > 0 && left_cut != 0) clip.left = std::min(clip.right, 320 + x(c - 1, d));
    }
    if (c <= 0) {
        if (left_cut != 0)
            clip.left =
                std::max(0, 320 - x(-c, d) + left_cut * (x(-c, d) - x(-c, d + 1)) / SIDE_TEXTURE_WIDTH);
        if (c < 0 && right_cut != 0) clip.right = std::max(clip.left, 320 - x(-c - 1, d));
    }
    return clip;
}
