#include "monsters/monster_draw.h"

#include <algorithm>
#include <utility>

#include "monsters/monster_anim.h"
#include "monsters/monster_view.h"
#include "monsters/monsters.h"
#include "world/automap.h"
#include "world/map.h"

bool monster_insight_shown = false;

namespace {

const monster_view_senses stand_in_senses;
const monster_view_senses* senses = &stand_in_senses;

bool sector_on_map(int sector) {
    return sector > 0 && sector < current_map.sector_count &&
           current_map.coords.size() > static_cast<size_t>(sector) &&
           current_map.sides.size() >= static_cast<size_t>(sector + 1) * 4;
}

// The monster's place inside its sector (x grows east, y south; 128 is the
// centre) as the viewer sees it: across to the right, along away.
std::pair<int, int> offsets_in_view(const monster& m, int view_direction) {
    const int dx = m.pos_x - 128, dy = m.pos_y - 128;
    switch (view_direction & 3) {
        case 0:
            return {dx, -dy};
        case 1:
            return {dy, dx};
        case 2:
            return {-dx, dy};
        default:
            return {-dy, -dx};
    }
}

// Walls of the monster's own sector that stand between it and the viewer.
// The side facing the viewer's middle hides the sprite from the wall's near
// end up to the sprite's depth; the side turned away hides everything beyond
// its near end.
void side_cuts(int sector, int column, int view_direction, int along, monster_draw_request& r) {
    auto solid = [&](int direction) {
        return !(current_map.sides[static_cast<size_t>(sector) * 4 + (direction & 3)].flags &
                 SIDE_TRANSPARENT);
    };
    const int nearer = std::max(1, std::clamp(along, 0, 128) * SIDE_TEXTURE_WIDTH / 128);
    const bool left_solid = solid(view_direction + 3), right_solid = solid(view_direction + 1);
    if (column >= 0 && right_solid) r.right_cut = nearer;
    if (column <= 0 && left_solid) r.left_cut = nearer;
    if (column > 0 && left_solid) r.left_cut = SIDE_TEXTURE_WIDTH;
    if (column < 0 && right_solid) r.right_cut = SIDE_TEXTURE_WIDTH;
}

void prepare(int slot, int sector, int column, int depth, int view_direction, monster_draw_request& r,
             std::string& text) {
    const monster& m = monster_table[static_cast<size_t>(slot)];
    const bool diagonal = senses->diagonal_walking();
    const monster_view_picture pic = monster_picture(m, view_direction, diagonal);
    r = monster_draw_request{};
    const bool hidden = (m.stats[23] & MF_INVISIBLE) && !senses->true_seeing();
    r.frame = hidden ? nullptr : view_picture(pic.handle);
    r.column = column;
    r.depth = depth;
    std::tie(r.across, r.along) = offsets_in_view(m, view_direction);
    // A monster seen from its right is kind 1 mirrored; kind 3's anchors are
    // those of the mirrored pictures.
    const int anchor_kind = pic.mirrored ? 3 : pic.kind;
    r.anchor = m.frame_shift[anchor_kind * MONSTER_KIND_FRAMES + std::clamp(pic.frame, 0, MONSTER_MAX_FRAME)];
    r.big = (m.strategy & MS_BIG) != 0;
    r.mirrored = pic.mirrored;
    r.frozen = (m.stats[23] & MF_FROZEN) != 0;
    r.hit_points = m.hp;
    r.palettes = monster_palettes(m);
    r.shaded = (current_map.coords[static_cast<size_t>(sector)].coord_flags & MC_SHADED) != 0;
    side_cuts(sector, column, view_direction, r.along + (r.big ? 0 : 32), r);
    if (monster_insight_shown) {
        text = describe_monster(m, view_direction, diagonal, senses->has_path(slot));
        r.insight = text.c_str();
    }
}

}  // namespace

void set_monster_view_senses(const monster_view_senses* s) {
    senses = s != nullptr ? s : &stand_in_senses;
}

bool monster_seen_in(int sector) {
    if (!sector_on_map(sector)) return false;
    const int first = first_monster_in(sector);
    const monster* m = monster_by_number(first);
    const monster* second = m != nullptr && m->next_in_sector != first ? monster_by_number(m->next_in_sector) : nullptr;
    for (const monster* each : {m, second})
        if (each != nullptr && each->alive() && (!(each->stats[23] & MF_INVISIBLE) || senses->true_seeing()))
            return true;
    return false;
}

int monster_draw_requests(int sector, int column, int depth, int view_direction, monster_draw_request out[2],
                          std::string texts[2]) {
    if (!sector_on_map(sector)) return 0;
    int slots[2], count = 0;
    const int first = first_monster_in(sector);
    const monster* m = monster_by_number(first);
    if (m != nullptr && m->alive()) slots[count++] = first - 1;
    if (m != nullptr) {
        const int second = m->next_in_sector;
        const monster* n = second != first ? monster_by_number(second) : nullptr;
        if (n != nullptr && n->alive()) slots[count++] = second - 1;
    }
    for (int i = 0; i < count; i++)
        prepare(slots[i], sector, column, depth, view_direction, out[i], texts[i]);
    // The farther one first, so that the nearer stands in front of it.
    if (count == 2 && out[1].along > out[0].along) {
        std::swap(out[0], out[1]);
        std::swap(texts[0], texts[1]);
        if (out[0].insight != nullptr) out[0].insight = texts[0].c_str();
        if (out[1].insight != nullptr) out[1].insight = texts[1].c_str();
    }
    return count;
}

void draw_monsters_in_cell(int sector, int column, int depth, int view_direction, bool behind_side) {
    // The cells end at the farthest depth drawn; a sector seen through a
    // see-through side that has a cell of its own is drawn there, once, so
    // that shadows and blended pixels are not laid on twice.
    if (depth < 0 || depth >= VIEW_DEPTHS) return;
    if (behind_side && view_grid_sector(depth, column) == sector) return;
    monster_draw_request requests[2];
    std::string texts[2];
    const int count = monster_draw_requests(sector, column, depth, view_direction, requests, texts);
    for (int i = 0; i < count; i++) draw_monster_sprite(requests[i]);
}

void install_monster_drawing() {
    automap_hooks.monster_shown = monster_seen_in;
    view_neighbours.draw_monsters = draw_monsters_in_cell;
}
