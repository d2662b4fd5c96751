#include "rules/floor/alcoves.h"

#include <cstdlib>

#include "world/map.h"

namespace {

// Record layout: i16 sector, side, x, y, width, height, i16 items[9], 2 reserved.
constexpr size_t ITEMS_OFFSET = 12;
constexpr size_t ITEM_SLOTS = 9;

int16_t i16_at(const alcove_record& r, size_t offset) {
    return static_cast<int16_t>(static_cast<uint16_t>(r[offset] | r[offset + 1] << 8));
}

void put_i16(alcove_record& r, size_t offset, int16_t value) {
    const auto v = static_cast<uint16_t>(value);
    r[offset] = static_cast<uint8_t>(v & 0xFF);
    r[offset + 1] = static_cast<uint8_t>(v >> 8);
}

bool inside_opening(const alcove& a, int x, int y) {
    const int half = a.width / 2;
    return x >= a.x - half && x <= a.x + half && y >= a.y - a.height && y <= a.y;
}

}  // namespace

alcove read_alcove(const alcove_record& r) {
    alcove a;
    a.sector = i16_at(r, 0);
    a.side = i16_at(r, 2);
    a.x = i16_at(r, 4);
    a.y = i16_at(r, 6);
    a.width = i16_at(r, 8);
    a.height = i16_at(r, 10);
    // A list that lacks its closing 0 still ends after eight items: the
    // ninth slot is only ever the end mark.
    for (size_t k = 0; k < ALCOVE_MAX_ITEMS && ITEMS_OFFSET + 2 * k + 1 < r.size(); ++k) {
        const int16_t item = i16_at(r, ITEMS_OFFSET + 2 * k);
        if (item == 0) break;
        a.items.push_back(item);
    }
    return a;
}

void write_alcove(const alcove& a, alcove_record& r) {
    put_i16(r, 0, a.sector);
    put_i16(r, 2, a.side);
    put_i16(r, 4, a.x);
    put_i16(r, 6, a.y);
    put_i16(r, 8, a.width);
    put_i16(r, 10, a.height);
    for (size_t k = 0; k < ITEM_SLOTS; ++k) {
        const bool used = k < a.items.size() && k < ALCOVE_MAX_ITEMS;
        put_i16(r, ITEMS_OFFSET + 2 * k, used ? a.items[k] : int16_t{0});
    }
}

int find_alcove(int sector, int side) {
    for (size_t i = 0; i < current_map.recesses.size(); ++i) {
        const alcove_record& r = current_map.recesses[i];
        if (i16_at(r, 0) == sector && (i16_at(r, 2) & 3) == (side & 3)) return static_cast<int>(i);
    }
    return -1;
}

bool alcove_holds_item(int16_t item) {
    const int wanted = std::abs(item);
    if (wanted == 0) return false;
    for (const alcove_record& r : current_map.recesses)
        for (int16_t held : read_alcove(r).items)
            if (std::abs(held) == wanted) return true;
    return false;
}

alcove_result click_alcove(int sector, int side, int x, int y, alcove_click& c) {
    const size_t wall = static_cast<size_t>(sector) * 4 + static_cast<size_t>(side & 3);
    if (sector <= 0 || wall >= current_map.sides.size() ||
        !(current_map.sides[wall].arch_and_flags2 & SIDE2_RECESS))
        return alcove_result::missed;
    const int index = find_alcove(sector, side);
    if (index < 0) return alcove_result::missed;
    alcove_record& record = current_map.recesses[static_cast<size_t>(index)];
    alcove a = read_alcove(record);
    if (!inside_opening(a, x, y)) return alcove_result::missed;

    if (c.held.empty()) {
        if (a.items.empty()) return alcove_result::empty;
        c.held = {static_cast<int16_t>(std::abs(a.items.back()))};
        a.items.pop_back();
        write_alcove(a, record);
        picked_up(c.items, c.held, c.treasure, c.pickup);
        c.world.held_changed();
        c.world.recess_event(a.sector, a.side & 3);
        return alcove_result::taken_out;
    }

    if (a.items.size() >= ALCOVE_MAX_ITEMS) {
        c.world.show_text(TEXT_ALCOVE_FULL);
        return alcove_result::full;
    }
    int width = 0, height = 0;
    const int16_t item = static_cast<int16_t>(std::abs(c.held[0]));
    if (c.held.size() != 1 || !c.world.picture_size(item, width, height) || width > a.width ||
        height > a.height) {
        c.world.show_text(TEXT_ALCOVE_ITEM_TOO_BIG);
        return alcove_result::too_big;
    }
    a.items.push_back(item);
    write_alcove(a, record);
    c.held.clear();
    c.world.held_changed();
    c.world.recess_event(a.sector, a.side & 3);
    return alcove_result::put_in;
}
