// Drawing the items that lie on the floor quarters of a cell of the view.
#include "rules/floor/floor_items_view.h"

#include <algorithm>
#include <cstdlib>

#include "rules/floor/floor_items.h"
#include "rules/item_pictures.h"
#include "world/map.h"
#include "world/view.h"

namespace {

constexpr uint8_t INSET_UNKNOWN = 255;

// How many rows at the picture's bottom are wholly transparent: the item is
// lowered by as much, so that what is painted of it stands on the floor.
uint8_t empty_bottom_rows(const picture* pic) {
    const uint8_t* pixels = picture_pixels8(pic);
    int rows = 0;
    for (int y = pic->height - 1; y >= 0 && rows < INSET_UNKNOWN - 1; --y, ++rows) {
        const uint8_t* row = pixels + static_cast<size_t>(y) * pic->width;
        if (std::any_of(row, row + pic->width, [](uint8_t c) { return c != 0; })) break;
    }
    return static_cast<uint8_t>(rows);
}

void draw_stack(item_table& items, int item_number, int column, int depth, floor_spot spot, int palette) {
    item_def* item = items.find(std::abs(item_number));
    if (!item) return;
    const picture* pic = item_floor_picture(*item);
    if (!pic) return;
    const view_point p = project(column, depth, spot.across, spot.along, 0);
    if (p.scale <= 0) return;
    const int bottom = p.y + VIEW_SCREEN_TOP + item->floor_inset * p.scale / WALL_TEXTURE_HEIGHT;
    int x = p.x - pic->width / 2 * p.scale / WALL_TEXTURE_HEIGHT;
    int skipped = 0;
    if (x < 0) {
        skipped = -x;
        x = 0;
    }
    if (x >= VIEW_WIDTH) return;
    blit_scaled(pic, x, bottom, palette, p.scale, bottom - VIEW_SCREEN_TOP + 1, skipped, VIEW_WIDTH - x);
}

}  // namespace

const picture* item_floor_picture(item_def& item) {
    const handle_id handle = item_picture_handle(ITEM_SET_FLOOR, item.picture);
    if (handle == 0) return nullptr;
    const picture* pic = view_picture(handle);
    if (!pic || pic->type != PIC_FADE8 || pic->width == 0 || pic->height == 0) return nullptr;
    if (item.floor_inset == INSET_UNKNOWN) item.floor_inset = empty_bottom_rows(pic);
    return pic;
}

void draw_floor_items_in_cell(item_table& items, int sector, int column, int depth, int view_direction,
                              bool far_only) {
    if (sector <= 0 || static_cast<size_t>(sector) >= current_map.coords.size()) return;
    const bool shaded = (current_map.coords[static_cast<size_t>(sector)].coord_flags & MC_SHADED) != 0;
    const int palette = (shaded ? 5 : 0) + depth;
    // The far quarters first, then the near ones; in a quarter the last stack
    // lies farthest and is drawn first.
    static constexpr int order[4] = {0, 1, 3, 2};
    for (int relative : order) {
        if (far_only && relative >= 2) continue;
        const std::span<const int16_t> list = floor_list(sector, (view_direction + relative) & 3);
        std::vector<size_t> starts;
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] > 0 || i == 0) starts.push_back(i);
        for (size_t k = starts.size(); k-- > 0;)
            draw_stack(items, list[starts[k]], column, depth, stack_spot(relative, static_cast<int>(k)),
                       palette);
    }
}
