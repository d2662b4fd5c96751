// The visibility walk: which sector lies in which cell of the view.
#include <cstring>

#include "world/map.h"
#include "world/view.h"

namespace {

uint16_t grid[VIEW_GRID_DEPTHS][VIEW_GRID_COLUMNS];

// How many forward steps a sideways step from (depth, column index) forbids
// further sideways steps for.
constexpr int lateral_allowance[VIEW_GRID_DEPTHS][VIEW_GRID_COLUMNS] = {
    {4, 3, 3, 3, 3, 3, 3, 3, 4}, {4, 3, 3, 2, 3, 2, 3, 3, 4}, {4, 3, 3, 2, 4, 2, 3, 3, 4},
    {4, 3, 1, 1, 4, 1, 1, 3, 4}, {4, 1, 1, 1, 4, 1, 1, 1, 4}, {0, 0, 0, 0, 0, 0, 0, 0, 0},
};

struct walk {
    int forward, left, right;
    bool mark_mapped;
};

bool valid_sector(int s) {
    return s > 0 && s < current_map.sector_count;
}

// Sideways steps are allowed while the lateral counter has the right sign;
// the counter moves back toward 0 with every forward step.
void visit(const walk& w, int s, int i, int d, bool mark, int lateral) {
    if (i < 0 || i >= VIEW_GRID_COLUMNS || d >= VIEW_GRID_DEPTHS) return;
    if (grid[d][i] != 0) return;
    grid[d][i] = static_cast<uint16_t>(s);
    if (w.mark_mapped && mark && i >= 3 && i <= 5) current_map.coords[s].coord_flags |= MC_MAPPED;

    const map_sector& sector = current_map.sectors[s];
    auto side_of = [&](int direction) -> const map_side& { return current_map.sides[s * 4 + direction]; };
    if (i < 5) {
        const map_side& x = side_of(w.left);
        const int exit = sector.exits[w.left];
        if ((x.flags & SIDE_TRANSPARENT) && valid_sector(exit) && lateral >= 0)
            visit(w, exit, i - 1, d, mark && (x.flags & SIDE_AUTOMAP), -lateral_allowance[d][i]);
    }
    if (i > 3) {
        const map_side& x = side_of(w.right);
        const int exit = sector.exits[w.right];
        if ((x.flags & SIDE_TRANSPARENT) && valid_sector(exit) && lateral <= 0)
            visit(w, exit, i + 1, d, mark && (x.flags & SIDE_AUTOMAP), lateral_allowance[d][i]);
    }
    const map_side& f = side_of(w.forward);
    const int exit = sector.exits[w.forward];
    if ((f.flags & SIDE_TRANSPARENT) && valid_sector(exit)) {
        const int toward_zero = lateral > 0 ? lateral - 1 : lateral < 0 ? lateral + 1 : 0;
        visit(w, exit, i, d + 1, mark && (f.flags & SIDE_AUTOMAP), toward_zero);
    }
}

}  // namespace

void clear_view_grid() {
    std::memset(grid, 0, sizeof grid);
}

int view_grid_sector(int depth, int column) {
    if (depth < 0 || depth >= VIEW_GRID_DEPTHS || column < -4 || column > 4) return 0;
    return grid[depth][column + 4];
}

void walk_view(int sector, int direction) {
    clear_view_grid();
    if (!valid_sector(sector) || current_map.sectors.size() < static_cast<size_t>(current_map.sector_count) ||
        current_map.sides.size() < static_cast<size_t>(current_map.sector_count) * 4 ||
        current_map.coords.size() < static_cast<size_t>(current_map.sector_count))
        return;
    walk w;
    w.forward = direction & 3;
    w.left = (direction - 1) & 3;
    w.right = (direction + 1) & 3;
    w.mark_mapped = !view.remote_active;
    visit(w, sector, 4, 0, true, 0);
}
