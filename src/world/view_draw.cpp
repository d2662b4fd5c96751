// Composing the view: background, then every visible cell from far to near,
// its floor, ceiling and walls, then what stands in it.
#include <algorithm>
#include <cstdlib>

#include "core/decoders.h"
#include "gfx/screen.h"
#include "world/map.h"
#include "world/render.h"
#include "world/view_tables.h"

view_state view;

namespace {

view_picture_fn picture_source = nullptr;
int drawn_direction = 0;

// The order in which the columns of one depth are drawn: outer to inner,
// right before left.
constexpr int column_order[7] = {3, -3, 2, -2, 1, -1, 0};

// A secondary texture that a side hands on to the next cell inward.
struct deferred_secondary {
    int column = 99;  // the cell that draws it
    const picture* pic = nullptr;
    bool blend = false;
};

struct cell {
    int column, depth, sector, direction;
    bool shaded;
    const map_side& side(int d) const { return current_map.sides[sector * 4 + (d & 3)]; }
    int palette() const { return (shaded ? 5 : 0) + depth; }
};

deferred_secondary deferred_left, deferred_right;

const picture* list_picture(texture_kind kind, int index) {
    const texture_list& list = current_map.textures[kind];
    if (index <= 0 || index > list.count) return nullptr;
    return view_picture(list.handle(index));
}

int primary_index(const map_side& s) {
    return s.primary + (s.primary_anim >> 4);
}
int secondary_index(const map_side& s) {
    return s.secondary + (s.secondary_anim >> 4);
}

// Whether a side's primary (or secondary) shows, and whether it is blended:
// sides made visible only by true seeing are drawn half-transparent.
bool shows(const map_side& s, uint32_t visible_bit, bool& blend) {
    if (s.flags & visible_bit) {
        blend = view.translucent_walls;
        return true;
    }
    if (view.true_seeing && (s.flags & SIDE_TRUESEE)) {
        blend = true;
        return true;
    }
    return false;
}

wall_paint paint(const cell& c, bool blend) {
    return wall_paint{c.palette(), blend || view.translucent_walls};
}

int height_bits(const map_side& s) {
    return s.arch_and_flags2 & (WALL_UP_SIDE | WALL_DOWN_SIDE);
}

void draw_arches(const cell& c, const map_side& f) {
    const int arch = (f.arch_and_flags2 & 0x0F) + (f.primary_anim >> 4);
    if ((f.flags & SIDE_LEFT_A) && arch != 0)
        draw_front_wall(c.column, c.depth, list_picture(TEX_LEFT_ARCHES, arch), 0, 0, FRONT_FACE,
                        paint(c, false));
    if ((f.flags & SIDE_RIGHT_A) && (f.arch_and_flags2 & 0x0F) != 0)
        draw_front_wall(c.column, c.depth, list_picture(TEX_RIGHT_ARCHES, arch), 0, 0, FRONT_MIRRORED,
                        paint(c, false));
}

void draw_front_primary(const cell& c, const map_side& f) {
    bool blend = false;
    if (shows(f, SIDE_P_VIS, blend))
        draw_front_wall(c.column, c.depth, list_picture(TEX_WALLS, primary_index(f)), 0, 0,
                        FRONT_FACE | height_bits(f), paint(c, blend));
}

void draw_side_primary(const cell& c, const map_side& s, bool right) {
    bool blend = false;
    if (!shows(s, SIDE_P_VIS, blend)) return;
    draw_side_wall(c.column, c.depth,
                   list_picture(right ? TEX_RIGHT_WALLS : TEX_LEFT_WALLS, primary_index(s)), 0, 0,
                   SIDE_MODE_FACE | (right ? SIDE_MODE_MIRROR : 0) | height_bits(s), paint(c, blend));
}

// A left (or right) side with its secondary, and the secondary handed on from
// the cell further out.
void draw_side(const cell& c, bool right) {
    const map_side& s = c.side(c.direction + (right ? 1 : -1));
    deferred_secondary& deferred = right ? deferred_right : deferred_left;
    const int mirror = right ? SIDE_MODE_MIRROR : 0;
    if (deferred.column == c.column && deferred.pic != nullptr)
        draw_side_wall(c.column, c.depth, deferred.pic, 0, 0, SIDE_MODE_FACE | mirror,
                       paint(c, deferred.blend));
    deferred = {};
    draw_side_primary(c, s, right);
    bool blend = false;
    if (!shows(s, SIDE_S_VIS, blend)) return;
    const picture* pic = list_picture(right ? TEX_RIGHT_WALLS : TEX_LEFT_WALLS, secondary_index(s));
    if (s.target_side & 0x80) {
        if (c.column != 0) deferred = {right ? c.column - 1 : c.column + 1, pic, blend};
    } else if (s.flags & SIDE_SPEC) {
        draw_side_wall(c.column, c.depth, pic, 0, 0, SIDE_MODE_FACE | mirror, paint(c, blend));
    } else {
        const int x = right ? WALL_TEXTURE_WIDTH - 2 * s.secondary_x : 2 * s.secondary_x;
        draw_side_wall(c.column, c.depth, pic, x, 2 * s.secondary_y, mirror, paint(c, blend));
    }
}

void draw_floor_items(const cell& c) {
    if (view_neighbours.draw_floor_items)
        view_neighbours.draw_floor_items(c.sector, c.column, c.depth, c.direction, c.depth == 0);
}

void draw_normal_walls(const cell& c, bool with_items) {
    const map_side& f = c.side(c.direction);
    draw_arches(c, f);
    draw_front_primary(c, f);
    bool blend = false;
    if (shows(f, SIDE_S_VIS, blend)) {
        const picture* pic = list_picture(TEX_WALLS, secondary_index(f));
        if (!(f.target_side & 0x80))
            draw_front_wall(c.column, c.depth, pic, 2 * f.secondary_x, 2 * f.secondary_y, FRONT_CENTRED,
                            paint(c, blend));
        else if (c.depth > 0)
            draw_front_wall(c.column, c.depth - 1, pic, 0, 0, FRONT_FACE, paint(c, blend));
    }
    if ((f.arch_and_flags2 & SIDE2_RECESS) && view_neighbours.draw_recess_items)
        view_neighbours.draw_recess_items(c.sector, c.direction, c.column, c.depth);
    if (c.column <= 0) draw_side(c, false);
    if (c.column >= 0) draw_side(c, true);
    if (with_items) draw_floor_items(c);
}

// The eight frames of the boat's overlay, looked up once per map of handles.
const picture* boat_frame(int frame) {
    static const char* const names[8] = {"LESDA21A.PCX", "LESDA22A.PCX", "LESDA23A.PCX", "LESDA24A.PCX",
                                         "LESDA25A.PCX", "LESDA26A.PCX", "LESDA27A.PCX", "LESDA28A.PCX"};
    const int id = find_handle(names[frame & 7], decoder_for(decoder_id::pcx_to_fade));
    return id < 0 ? nullptr : view_picture(static_cast<handle_id>(id));
}

// An object standing in the middle of the cell: no secondaries on the sides,
// the front's secondary stands in the cell itself.
void draw_object_walls(const cell& c) {
    const map_side& f = c.side(c.direction);
    if (f.arch_and_flags2 != 0) draw_arches(c, f);
    draw_front_primary(c, f);
    if (c.column <= 0) draw_side_primary(c, c.side(c.direction - 1), false);
    if (c.column >= 0) draw_side_primary(c, c.side(c.direction + 1), true);
    bool blend = false;
    if (shows(f, SIDE_S_VIS, blend) && c.depth > 0) {
        const picture* pic = list_picture(TEX_WALLS, secondary_index(f));
        if (f.flags & SIDE_SPEC) {
            draw_front_wall(c.column, c.depth - 1, pic, 0, 0, FRONT_MIRRORED, paint(c, blend));
        } else {
            const view_base_table& b = view_base();
            const int x = c.column * (b.edge[0][c.depth] - b.edge[0][c.depth - 1]) / 2 + 2 * f.secondary_x;
            draw_front_wall(c.column, c.depth - 1, pic, x, 2 * f.secondary_y, FRONT_CENTRED, paint(c, blend));
        }
    }
    draw_floor_items(c);
}

void draw_walls(const cell& c) {
    switch (current_map.sectors[c.sector].sector_type) {
        case 3:
            draw_normal_walls(c, c.depth == 0);
            if (c.depth > 0)
                draw_front_wall(c.column, c.depth - 1, boat_frame(view.anim_counter & 7), 250, 80,
                                FRONT_CENTRED, paint(c, false));
            break;
        case 10:
        case 12:
        case 21:
            draw_object_walls(c);
            break;
        default:
            draw_normal_walls(c, true);
            break;
    }
}

// The variant of a floor or ceiling picture for the party's place and facing.
int surface_variant(int mode, int x, int y, int p) {
    const int t = view.anim_counter;
    if (mode & 8) return t % ((mode & 7) + 1);
    switch (mode) {
        case 1:
            return (x + y + p) & 1;
        case 2:
            return p & 1;
        case 3:
            return 2 * (p & 1) + ((x + y + p / 2) & 1);
        case 4:
            return p;
        case 5:
            return 2 * p + ((x + y + p / 2) & 1);
        default:
            return 0;
    }
}

picture* surface_picture(texture_kind kind, int index, bool is_ceiling, bool shaded) {
    const texture_list& list = current_map.textures[kind];
    if (index <= 0 || index > list.count) return nullptr;
    picture* pic = view_picture(list.handle(index));
    if (pic != nullptr && (pic->type & PIC_FOG_PENDING)) apply_fog_gradient(pic, is_ceiling, shaded);
    return pic;
}

struct party_place {
    int x = 0, y = 0, direction = 0;
};

void draw_surfaces(const cell& c, const party_place& party) {
    if (view.hide_surfaces) return;
    const map_sector& s = current_map.sectors[c.sector];
    if (s.floor != 0) {
        const int index =
            s.floor + surface_variant(s.surface_modes & 0x0F, party.x, party.y, party.direction);
        draw_floor_spans(c.column, c.depth, surface_picture(TEX_FLOORS, index, false, c.shaded));
    }
    if (s.ceiling != 0) {
        const int index =
            s.ceiling + surface_variant(s.surface_modes >> 4, party.x, party.y, party.direction);
        draw_ceiling_spans(c.column, c.depth, surface_picture(TEX_CEILINGS, index, true, c.shaded));
    }
}

void fill_view(uint16_t colour) {
    std::fill(back_buffer + VIEW_SCREEN_TOP * SCREEN_PITCH,
              back_buffer + (VIEW_SCREEN_TOP + VIEW_HEIGHT) * SCREEN_PITCH, colour);
}

bool valid_sector(int s) {
    return s > 0 && s < current_map.sector_count &&
           current_map.sectors.size() >= size_t(current_map.sector_count) &&
           current_map.sides.size() >= size_t(current_map.sector_count) * 4 &&
           current_map.coords.size() >= size_t(current_map.sector_count);
}

// Beyond a shaded sector at the farthest depth lies darkness, not fog.
void darken_far_shaded() {
    for (int c = -3; c <= 3; c++) {
        const int s = view_grid_sector(4, c);
        if (s == 0 || !(current_map.coords[s].coord_flags & MC_SHADED)) continue;
        const int from = std::max(0, c * (2 * 58 + 2) - 58 + 319);
        const int to = std::min(VIEW_WIDTH - 1, c * (2 * 58 + 2) + 58 + 320);
        for (int y = 89; y <= 162 && from <= to; y++)
            std::fill(back_buffer + (VIEW_SCREEN_TOP + y) * SCREEN_PITCH + from,
                      back_buffer + (VIEW_SCREEN_TOP + y) * SCREEN_PITCH + to + 1, uint16_t{0});
    }
}

}  // namespace

int current_view_direction() {
    return drawn_direction;
}

void set_view_picture_source(view_picture_fn fn) {
    picture_source = fn;
}

picture* view_picture(handle_id id) {
    if (picture_source != nullptr) return picture_source(id);
    return static_cast<picture*>(get_handle_data(id));
}

void draw_view(int sector, int direction) {
    tables();
    view.monsters_drawn = 0;
    if (!view.ignore_blindness && view_neighbours.party_can_see && !view_neighbours.party_can_see(sector)) {
        fill_view(0);
        return;
    }
    party_place party;
    party.direction = direction & 3;
    if (valid_sector(sector)) {
        party.x = current_map.coords[sector].x;
        party.y = current_map.coords[sector].y;
    }
    if (view.remote_active) {
        sector = view.remote_sector;
        direction = view.remote_direction;
    }
    direction &= 3;
    drawn_direction = direction;
    fill_view(current_map.fade_colour);
    if (!valid_sector(sector)) {
        clear_view_grid();
        return;
    }
    walk_view(sector, direction);
    darken_far_shaded();

    for (int d = VIEW_DEPTHS - 1; d >= 0; d--) {
        deferred_left = {};
        deferred_right = {};
        for (int column : column_order) {
            const int s = view_grid_sector(d, column);
            if (s == 0) continue;
            const cell c{column, d, s, direction, (current_map.coords[s].coord_flags & MC_SHADED) != 0};
            draw_surfaces(c, party);
            const map_side& f = c.side(direction);
            const int behind = current_map.sectors[s].exits[direction];
            if ((f.flags & SIDE_TRANSPARENT) && valid_sector(behind) && view_neighbours.draw_monsters)
                view_neighbours.draw_monsters(behind, column, d + 1, direction, true);
            draw_walls(c);
        }
        for (int column : column_order) {
            const int s = view_grid_sector(d, column);
            if (s == 0) continue;
            const uint16_t flags = current_map.coords[s].coord_flags;
            const bool shaded = (flags & MC_SHADED) != 0;
            draw_members_in_cell(s, column, d, shaded, s == sector && d == 0 && column == 0);
            if (view_neighbours.draw_monsters) view_neighbours.draw_monsters(s, column, d, direction, false);
            if ((flags & MC_FLY_OBJECT) && view_neighbours.draw_flying_objects)
                view_neighbours.draw_flying_objects(s, column, d, direction);
            if (flags & MC_SPECTXTR) draw_special_textures(s, column, d, shaded);
        }
    }
    advance_special_textures();
}
