// Drawing the items that stand in a wall alcove.
#include "rules/floor/alcoves_view.h"

#include <cstdlib>

#include "rules/floor/alcoves.h"
#include "rules/floor/floor_items_view.h"
#include "world/map.h"
#include "world/view.h"
#include "world/view_tables.h"

alcove_point alcove_point_on_face(int column, int depth, int x, int y) {
    if (depth < 0 || depth >= VIEW_DEPTHS || std::abs(column) > 3) return {};
    const view_tables& t = tables();
    const wall_position& near = t.front[0][0];
    const depth_row& near_row = t.depth_rows[1];
    const wall_position& face = t.front[std::abs(column)][depth];
    const depth_row& row = t.depth_rows[static_cast<size_t>(depth) + 1];
    if (!face.visible || near.width <= 0 || near_row.height <= 0) return {};
    const int face_left = column > 0 ? face.right_x : face.left_x;
    // Across from the face's left edge, up from its floor line.
    const int across = x - near.left_x;
    const int up = near_row.bottom + VIEW_SCREEN_TOP - y;
    alcove_point p;
    p.x = face_left + across * face.width / near.width;
    p.y = row.bottom + VIEW_SCREEN_TOP - up * row.height / near_row.height;
    p.scale = row.height;
    return p;
}

void draw_alcove_items(item_table& items, int sector, int view_direction, int column, int depth) {
    const int index = find_alcove(sector, view_direction);
    if (index < 0 || static_cast<size_t>(sector) >= current_map.coords.size()) return;
    const alcove a = read_alcove(current_map.recesses[static_cast<size_t>(index)]);
    const alcove_point p = alcove_point_on_face(column, depth, a.x, a.y);
    if (p.scale <= 0) return;
    const bool shaded = (current_map.coords[static_cast<size_t>(sector)].coord_flags & MC_SHADED) != 0;
    const int palette = (shaded ? 5 : 0) + depth;
    for (int16_t number : a.items) {
        item_def* item = items.find(std::abs(number));
        if (!item) continue;
        const picture* pic = item_floor_picture(*item);
        if (!pic) continue;
        const int bottom = p.y + item->floor_inset * p.scale / WALL_TEXTURE_HEIGHT;
        int x = p.x - pic->width / 2 * p.scale / WALL_TEXTURE_HEIGHT;
        int skipped = 0;
        if (x < 0) {
            skipped = -x;
            x = 0;
        }
        if (x >= VIEW_WIDTH) continue;
        blit_scaled(pic, x, bottom, palette, p.scale, bottom - VIEW_SCREEN_TOP + 1, skipped, VIEW_WIDTH - x);
    }
}
