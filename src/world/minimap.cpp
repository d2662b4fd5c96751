// The mini-map: the automap around the party, turned so that the party's
// direction points up, in the view's top-left corner.
#include <algorithm>

#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "world/automap.h"
#include "world/map.h"
#include "world/party_standin.h"

bool minimap_always_shown = false;

namespace {
constexpr int MINIMAP_X = 0, MINIMAP_Y = 17, MINIMAP_W = 84, MINIMAP_H = 80;
constexpr int MINIMAP_CENTRE_X = 37, MINIMAP_CENTRE_Y = 52;
constexpr int MINIMAP_REACH = 4;
}  // namespace

void draw_minimap() {
    const int count = std::min<int>(current_map.sector_count, static_cast<int>(current_map.coords.size()));
    if (party.sector <= 0 || party.sector >= count) return;
    target_frame_buffer();
    blend_rect(MINIMAP_X, MINIMAP_Y, MINIMAP_W, MINIMAP_H, 0);
    const map_coord& here = current_map.coords[static_cast<size_t>(party.sector)];
    const int r = party.direction & 3;
    const font_settings before = current_font_settings();
    automap_cell_style style;
    style.wall = MINIMAP_WALL;
    style.rotation = r;
    style.minimap = true;
    for (int pass = 0; pass < 2; ++pass) {
        for (int s = 1; s < count; ++s) {
            const map_coord& c = current_map.coords[static_cast<size_t>(s)];
            if (c.layer != here.layer || !(c.coord_flags & MC_MAPPED) || (c.coord_flags & MC_NOAUTOMAP))
                continue;
            const int dx = c.x - here.x, dy = c.y - here.y;
            int e = dx, f = dy;
            switch (r) {
                case 1:
                    e = dy;
                    f = -dx;
                    break;
                case 2:
                    e = -dx;
                    f = -dy;
                    break;
                case 3:
                    e = -dy;
                    f = dx;
                    break;
                default:
                    break;
            }
            if (e < -MINIMAP_REACH || e > MINIMAP_REACH || f < -MINIMAP_REACH || f > MINIMAP_REACH) continue;
            draw_automap_cell(s, MINIMAP_CENTRE_X + AUTOMAP_CELL * e, MINIMAP_CENTRE_Y + AUTOMAP_CELL * f,
                              pass, style);
        }
    }
    apply_font_settings(before);
}
