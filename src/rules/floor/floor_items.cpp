#include "rules/floor/floor_items.h"

#include <algorithm>
#include <cstdlib>

#include "world/map.h"
#include "world/map_scripts.h"
#include "world/view.h"

namespace {

constexpr int MAX_PASSES = 16;   // items pass on through at most this many shafts and teleports
constexpr int STACK_SPOTS = 8;   // stacks beyond the eighth lie on the eighth's spot
constexpr int STACK_STEP = 4;    // along-units between two stacks of a quarter
constexpr int BAND_HEIGHT = 40;  // rows above the farthest stack's foot that still take it

std::vector<int16_t> lost;

bool is_place(int sector) {
    return sector > 0 && sector < current_map.sector_count &&
           current_map.sectors.size() >= static_cast<size_t>(current_map.sector_count);
}

map_item_place* find_place(uint32_t place) {
    for (map_item_place& p : current_map.items)
        if (p.place == place) return &p;
    return nullptr;
}

uint32_t place_of(int sector, int quarter) {
    return static_cast<uint32_t>(sector * FLOOR_QUARTERS + (quarter & 3));
}

// The entries of a list without its closing 0 (and whatever a damaged list
// has after a 0 inside it).
size_t entries(const map_item_place& p) {
    size_t n = 0;
    while (n < p.items.size() && p.items[n] != 0) ++n;
    return n;
}

// Carries, pits and teleports hand items on to their target.
bool passes_items_on(int type) {
    return type == SECTOR_CARRY || type == SECTOR_PIT || is_teleport(type);
}

// Water, the boat's river, deadly falls and deadly places keep what falls in.
bool swallows_items(int type) {
    return type == SECTOR_BOAT || type == SECTOR_DEADLY_FALL || type == SECTOR_WATER || type == SECTOR_DEADLY;
}

void lose(held_list& held) {
    std::vector<int16_t> fallen;
    for (int16_t entry : held) fallen.push_back(static_cast<int16_t>(std::abs(entry)));
    lost.insert(lost.begin(), fallen.begin(), fallen.end());
    held.clear();
}

void lay_down(int sector, int quarter, held_list& held) {
    const uint32_t place = place_of(sector, quarter);
    map_item_place* p = find_place(place);
    if (!p) {
        current_map.items.push_back(map_item_place{place, {}});
        p = &current_map.items.back();
    }
    p->items.resize(entries(*p));
    // A stack always begins with its positive entry.
    for (size_t i = 0; i < held.size(); ++i) {
        const int16_t item = static_cast<int16_t>(std::abs(held[i]));
        p->items.push_back(i == 0 ? item : static_cast<int16_t>(-item));
    }
    p->items.push_back(0);
    held.clear();
}

// The side between the party's sector and the one ahead lets a hand through.
int sector_ahead(int sector, int direction) {
    if (!is_place(sector) || current_map.sides.size() < static_cast<size_t>(current_map.sector_count) * 4)
        return 0;
    const map_side& side = current_map.sides[static_cast<size_t>(sector) * 4 + (direction & 3)];
    const int ahead = current_map.sectors[static_cast<size_t>(sector)].exits[direction & 3];
    if (!is_place(ahead) || (side.flags & SIDE_NOPLAYER)) return 0;
    return ahead;
}

bool is_near(int column) {
    return column == FLOOR_NEAR_LEFT || column == FLOOR_NEAR_RIGHT;
}

const item_def* container_held(const floor_click& c) {
    if (c.held.empty()) return nullptr;
    const item_def* item = c.items.find(std::abs(c.held[0]));
    return item && item->extra_slots > 0 ? item : nullptr;
}

// The stacks of the quarter go into the held container, the last first,
// while each fits whole into the room the container has left.
bool fill_container(floor_click& c, int sector, int quarter) {
    const item_def* bag = container_held(c);
    bool took = false;
    for (;;) {
        const int room = bag->extra_slots + 1 - static_cast<int>(c.held.size());
        map_item_place* p = find_place(place_of(sector, quarter));
        if (!p) break;
        const size_t n = entries(*p);
        size_t first = n;
        while (first > 0 && p->items[first - 1] < 0) --first;
        if (first > 0) --first;
        if (n == 0 || static_cast<int>(n - first) > room) break;
        for (size_t i = first; i < n; ++i) c.held.push_back(static_cast<int16_t>(-std::abs(p->items[i])));
        take_stack(sector, quarter);
        took = true;
    }
    return took;
}

}  // namespace

std::span<const int16_t> floor_list(int sector, int quarter) {
    if (sector < 0) return {};
    const map_item_place* p = find_place(place_of(sector, quarter));
    if (!p) return {};
    return std::span<const int16_t>(p->items.data(), entries(*p));
}

int floor_stack_count(int sector, int quarter) {
    int count = 0;
    for (int16_t entry : floor_list(sector, quarter)) count += entry > 0;
    return count;
}

bool items_in_sector(int sector) {
    for (int q = 0; q < FLOOR_QUARTERS; ++q)
        if (!floor_list(sector, q).empty()) return true;
    return false;
}

bool floor_holds_item(int16_t item) {
    const int16_t wanted = static_cast<int16_t>(std::abs(item));
    if (wanted == 0) return false;
    for (const map_item_place& p : current_map.items)
        for (int16_t entry : p.items)
            if (std::abs(entry) == wanted) return true;
    return std::find(lost.begin(), lost.end(), wanted) != lost.end();
}

void drop_items(int sector, int quarter, held_list& held) {
    if (held.empty()) return;
    for (int pass = 0;; ++pass) {
        if (!is_place(sector)) {
            // Only a shaft or teleport can lead here (a target of 0 or beyond
            // the map): its items are gone.
            if (pass > 0) lose(held);
            return;
        }
        const map_sector& s = current_map.sectors[static_cast<size_t>(sector)];
        // Teleports that lead round in a circle (or a chain too long to
        // follow) let the items land where the chain is cut.
        if (passes_items_on(s.sector_type) && pass < MAX_PASSES) {
            sector = s.action_target;
            continue;
        }
        if (swallows_items(s.sector_type)) {
            lose(held);
            return;
        }
        lay_down(sector, quarter, held);
        return;
    }
}

held_list take_stack(int sector, int quarter) {
    map_item_place* p = find_place(place_of(sector, quarter));
    if (!p) return {};
    const size_t n = entries(*p);
    size_t first = n;
    while (first > 0 && p->items[first - 1] < 0) --first;
    if (first > 0) --first;
    held_list stack(p->items.begin() + static_cast<std::ptrdiff_t>(first),
                    p->items.begin() + static_cast<std::ptrdiff_t>(n));
    if (!stack.empty()) stack[0] = static_cast<int16_t>(std::abs(stack[0]));
    p->items.resize(first);
    if (first == 0) {
        const uint32_t place = p->place;
        std::erase_if(current_map.items, [place](const map_item_place& q) { return q.place == place; });
    } else {
        p->items.push_back(0);
    }
    return stack;
}

std::vector<int16_t>& lost_items() {
    return lost;
}

int16_t take_lost_item() {
    if (lost.empty()) return 0;
    const int16_t item = lost.back();
    lost.pop_back();
    return item;
}

void check_floor_lists(const item_table& items) {
    for (map_item_place& p : current_map.items) {
        std::vector<int16_t> kept;
        for (size_t i = 0; i < entries(p); ++i) {
            const int16_t entry = p.items[i];
            if (!items.valid(std::abs(entry))) continue;
            kept.push_back(kept.empty() ? static_cast<int16_t>(std::abs(entry)) : entry);
        }
        if (!kept.empty()) kept.push_back(0);
        p.items = std::move(kept);
    }
    std::erase_if(current_map.items, [](const map_item_place& p) { return p.items.empty(); });
}

// ---------------------------------------------------------------- the mouse

floor_spot stack_spot(int relative_quarter, int stack) {
    static constexpr int across[4] = {32, 96, 96, 32};
    static constexpr int along[4] = {96, 96, 32, 32};
    static constexpr int shift[STACK_SPOTS] = {0, 6, -5, 3, -7, 5, -3, 7};
    const int r = relative_quarter & 3;
    const int k = std::clamp(stack, 0, STACK_SPOTS - 1);
    return floor_spot{across[r] + shift[k], along[r] + STACK_STEP * k};
}

int stack_band_top(int stacks) {
    const floor_spot far = stack_spot(0, std::max(stacks, 1) - 1);
    return project(0, 0, far.across, far.along, 0).y + VIEW_SCREEN_TOP - BAND_HEIGHT;
}

floor_result click_floor(int column, int x, int y, floor_click& c) {
    if (column < 0 || column > 3 || !is_place(c.sector)) return floor_result::nothing;
    int sector = c.sector;
    if (!is_near(column)) {
        sector = sector_ahead(c.sector, c.direction);
        if (sector == 0) return floor_result::nothing;
    }
    const int quarter = (column + c.direction) & 3;
    if (c.held.empty()) {
        if (is_near(column) && y < stack_band_top(floor_stack_count(sector, quarter)))
            return floor_result::nothing;
        c.held = take_stack(sector, quarter);
        if (c.held.empty()) return floor_result::nothing;
        picked_up(c.items, c.held, c.treasure, c.pickup);
        c.world.held_changed();
        return floor_result::picked_up;
    }
    if (c.modifier && (c.game_options & OPTION_CONTAINER_FILLING) && container_held(c)) {
        if (!fill_container(c, sector, quarter)) return floor_result::nothing;
        c.world.held_changed();
        return floor_result::filled;
    }
    if (!is_near(column) || y < FLOOR_PUT_DOWN_TOP) {
        c.world.throw_items(x, y, false, c.held);
        c.world.held_changed();
        return floor_result::thrown;
    }
    // A shaft has no floor: what is let go there falls down it.
    if (current_map.sectors[static_cast<size_t>(sector)].sector_type == SECTOR_PIT) {
        c.world.throw_items(x, y, true, c.held);
        c.world.held_changed();
        return floor_result::thrown;
    }
    drop_items(sector, quarter, c.held);
    c.world.held_changed();
    return floor_result::put_down;
}

floor_result click_view_floor(int x, int y, floor_click& c) {
    if (y < VIEW_SCREEN_TOP || y > FLOOR_VIEW_BOTTOM || x < 0 || x >= VIEW_WIDTH)
        return floor_result::nothing;
    const bool left = x < VIEW_CENTRE_X;
    const int near = left ? FLOOR_NEAR_LEFT : FLOOR_NEAR_RIGHT;
    const int far = left ? FLOOR_FAR_LEFT : FLOOR_FAR_RIGHT;
    if (!c.held.empty()) {
        if (y >= FLOOR_PUT_DOWN_TOP) return click_floor(near, x, y, c);
        c.world.throw_items(x, y, false, c.held);
        c.world.held_changed();
        return floor_result::thrown;
    }
    const int quarter = (near + c.direction) & 3;
    const int stacks = is_place(c.sector) ? floor_stack_count(c.sector, quarter) : 0;
    if (stacks > 0 && y >= stack_band_top(stacks)) return click_floor(near, x, y, c);
    if (y >= FLOOR_FAR_TOP) return click_floor(far, x, y, c);
    return floor_result::nothing;
}
