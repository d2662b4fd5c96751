// Drawing the objects in the air in a cell of the view.
#include <algorithm>

#include "rules/flight/flight.h"
#include "rules/flight/flight_map.h"
#include "rules/item_pictures.h"
#include "rules/items.h"
#include "world/view.h"

namespace {

constexpr int ITEM_SET_FLIGHT = 4;
constexpr int CELL = 128;

// The picture of the object as the viewer sees it: the flight picture of its
// direction against the view and its phase, else the item's floor picture.
const picture* flight_picture(const item_def& item, int relative, int phase) {
    handle_id handle = 0;
    if (const int number = item.flight_pictures[relative * 4 + phase]; number > 0)
        handle = item_picture_handle(ITEM_SET_FLIGHT, number);
    if (handle == 0) handle = item_picture_handle(ITEM_SET_FLOOR, item.picture);
    if (handle == 0) return nullptr;
    const picture* pic = view_picture(handle);
    if (!pic || pic->type != PIC_FADE8 || pic->width == 0 || pic->height == 0) return nullptr;
    return pic;
}

// The object's place inside its cell as the view's across and along (0..128,
// left to right, near to far).
void place_in_cell(const flying_object& p, int view_direction, int& across, int& along) {
    const int ahead = std::clamp(p.progress + FLY_SECTOR_EDGE, 0, CELL);
    const int side = std::clamp(CELL / 2 + p.offset, 0, CELL);
    int x = 0, y = 0;  // east and south inside the sector
    switch (p.fly_dir & 3) {
        case 0:
            x = side, y = CELL - ahead;
            break;
        case 1:
            x = ahead, y = side;
            break;
        case 2:
            x = CELL - side, y = ahead;
            break;
        default:
            x = CELL - ahead, y = CELL - side;
            break;
    }
    switch (view_direction & 3) {
        case 0:
            across = x, along = CELL - y;
            break;
        case 1:
            across = y, along = x;
            break;
        case 2:
            across = CELL - x, along = y;
            break;
        default:
            across = CELL - y, along = CELL - x;
            break;
    }
}

void draw_object(const flying_object& p, int column, int depth, int view_direction, int palette) {
    const item_def* item = game_items().find(std::abs(p.first_item()));
    if (!item) return;
    const picture* pic = flight_picture(*item, (p.fly_dir - view_direction) & 3, p.fly_count & 3);
    if (!pic) return;
    int across = 0, along = 0;
    place_in_cell(p, view_direction, across, along);
    const view_point at = project(column, depth, across, along, std::max(p.height, 0));
    if (at.scale <= 0) return;
    const int bottom = at.y + VIEW_SCREEN_TOP;
    int x = at.x - pic->width / 2 * at.scale / WALL_TEXTURE_HEIGHT;
    int skipped = 0;
    if (x < 0) {
        skipped = -x;
        x = 0;
    }
    if (x >= VIEW_WIDTH || bottom < VIEW_SCREEN_TOP) return;
    blit_scaled(pic, x, bottom, palette, at.scale, bottom - VIEW_SCREEN_TOP + 1, skipped, VIEW_WIDTH - x);
}

}  // namespace

void draw_flying_in_cell(int sector, int column, int depth, int view_direction) {
    if (!flight_map::is_sector(sector)) return;
    const bool shaded = (current_map.coords[size_t(sector)].coord_flags & MC_SHADED) != 0;
    const int palette = (shaded ? 5 : 0) + std::clamp(depth, 0, 4);
    // The oldest first, so that what was thrown last is drawn over it.
    const std::vector<flying_object>& list = flying_objects();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (it->fly_sector == sector && !(it->fly_flags & (FLY_LANDED | FLY_REMOVE)))
            draw_object(*it, column, depth, view_direction, palette);
}
