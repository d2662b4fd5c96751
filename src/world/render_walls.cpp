// Wall pictures scaled into the precomputed face positions.
#include <algorithm>
#include <cstdlib>

#include "gfx/screen.h"
#include "world/render.h"
#include "world/view_tables.h"

namespace {

bool is_wall_picture(const picture* pic) {
    return pic != nullptr && pic->type == PIC_FADE8 && pic->width > 0 && pic->height > 0;
}

// One placed picture: screen column of its first texture column, direction,
// the visible range of screen steps and the bottom view row.
struct placement {
    int first_x;
    int direction;  // +1, or -1 for a mirrored picture
    int j_begin, j_end;
    int bottom;
    int max_rows;  // screen rows the picture covers
};

template <bool Blend, int Direction>
void draw_rows(const picture* pic, const placement& p, const wall_position& pos, const depth_row& row,
               const uint16_t* palette) {
    const int pw = pic->width, ph = pic->height;
    const uint8_t* pixels = picture_pixels8(pic);
    const int16_t* column_of = pos.column_of.data();
    // Rows below the view are skipped together with their texture rows; the
    // picture stops at the view's top row.
    const int i_begin = std::max(0, p.bottom - (VIEW_HEIGHT - 1));
    const int i_end = std::min({p.max_rows, p.bottom + 1, ROW_TABLE_SIZE});
    for (int i = i_begin; i < i_end; i++) {
        const int texture_row = ph - 1 - row.row_offset[i];
        if (texture_row < 0) break;
        const uint8_t* src = pixels + static_cast<size_t>(texture_row) * pw;
        uint16_t* dst = back_buffer + (VIEW_SCREEN_TOP + p.bottom - i) * SCREEN_PITCH + p.first_x;
        for (int j = p.j_begin; j < p.j_end; j++) {
            const uint8_t c = src[column_of[j]];
            if (c > 1) {
                uint16_t& out = dst[Direction * j];
                out = Blend ? blend50(out, palette[c]) : palette[c];
            } else if (c == 1) {
                break;  // the rest of this row is left as it is
            }
        }
    }
}

void draw_placed(const picture* pic, placement& p, const wall_position& pos, const depth_row& row,
                 wall_paint paint, int screen_width) {
    const int pw = pic->width;
    // Visible steps: inside the screen, inside the picture, inside the table.
    int j_begin, j_end;
    if (p.direction > 0) {
        j_begin = std::max(0, -p.first_x);
        j_end = VIEW_WIDTH - p.first_x;
    } else {
        j_begin = std::max(0, p.first_x - (VIEW_WIDTH - 1));
        j_end = p.first_x + 1;
    }
    j_end = std::min({j_end, screen_width, COLUMN_TABLE_SIZE});
    // column_of rises with j: cut where it leaves the picture.
    const int16_t* column_of = pos.column_of.data();
    j_end = static_cast<int>(std::lower_bound(column_of, column_of + std::max(j_end, 0), pw) - column_of);
    if (j_begin >= j_end || p.bottom < 0 || p.max_rows <= 0) return;
    p.j_begin = j_begin;
    p.j_end = j_end;
    const int palette_number = std::clamp(paint.palette, 0, FADE_PALETTE_COUNT - 1);
    const uint16_t* palette = picture_palette(pic) + palette_number * PALETTE_ENTRIES;
    if (paint.blend) {
        if (p.direction > 0)
            draw_rows<true, 1>(pic, p, pos, row, palette);
        else
            draw_rows<true, -1>(pic, p, pos, row, palette);
    } else {
        if (p.direction > 0)
            draw_rows<false, 1>(pic, p, pos, row, palette);
        else
            draw_rows<false, -1>(pic, p, pos, row, palette);
    }
}

int height_shift(int mode, const depth_row& row) {
    if (mode & WALL_UP_SIDE) return -row.height;
    if (mode & WALL_DOWN_SIDE) return row.height;
    return 0;
}

}  // namespace

void draw_front_wall(int column, int depth, const picture* pic, int x, int y, int mode, wall_paint paint) {
    if (!is_wall_picture(pic) || depth < 0 || depth >= VIEW_DEPTHS || std::abs(column) > 3) return;
    const view_tables& t = tables();
    const wall_position& pos = t.front[std::abs(column)][depth];
    if (!pos.visible) return;
    const depth_row& row = t.depth_rows[depth + 1];
    const int pw = pic->width, ph = pic->height;
    const int placing = mode & 3;
    if (placing == FRONT_CENTRED) {
        x -= pw / 2;
        y -= ph / 2;
    }
    const int face_left = column > 0 ? pos.right_x : pos.left_x;
    const int w = pos.width;
    placement p{};
    if (placing == FRONT_MIRRORED) {
        p.first_x = face_left + w - 1 - x * w / WALL_TEXTURE_WIDTH;
        p.direction = -1;
    } else {
        p.first_x = face_left + x * w / WALL_TEXTURE_WIDTH;
        p.direction = 1;
    }
    p.bottom = row.bottom + height_shift(mode, row) + y * row.height / -WALL_TEXTURE_HEIGHT;
    p.max_rows = ph * row.height / WALL_TEXTURE_HEIGHT;
    draw_placed(pic, p, pos, row, paint, pw * w / WALL_TEXTURE_WIDTH);
}

void draw_side_wall(int column, int depth, const picture* pic, int x, int y, int mode, wall_paint paint) {
    if (!is_wall_picture(pic) || depth < 0 || depth >= VIEW_DEPTHS || std::abs(column) > 3) return;
    const view_tables& t = tables();
    const wall_position& pos = t.side[std::abs(column)][depth];
    if (!pos.visible) return;
    const depth_row& row = t.depth_rows[depth];
    const int pw = pic->width, ph = pic->height;
    if (mode & SIDE_MODE_FACE) {
        x = 0;
        y = 0;
    } else {
        // Positions on a wall are given in front-face pixels; the side face
        // shows the same 500 pixels in its 74 columns.
        x = x * SIDE_TEXTURE_WIDTH / WALL_TEXTURE_WIDTH - pw / 2;
        y -= ph / 2;
    }
    placement p{};
    const int from_near = pos.left_x + x * pos.width / SIDE_TEXTURE_WIDTH;
    if (mode & SIDE_MODE_MIRROR) {
        p.first_x = VIEW_WIDTH - 1 - from_near;
        p.direction = -1;
    } else {
        p.first_x = from_near;
        p.direction = 1;
    }
    p.bottom = row.bottom + height_shift(mode, row) + y * row.height / -WALL_TEXTURE_HEIGHT;
    p.max_rows = ph * row.height / WALL_TEXTURE_HEIGHT;
    draw_placed(pic, p, pos, row, paint, COLUMN_TABLE_SIZE);
}
