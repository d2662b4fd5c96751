// What is in the air, in the map's state record (the game can be saved while
// things fly): newest first, each as the tag 64, a 64-byte record and, when a
// list flies, its item numbers with the closing 0; ended by 0. The record's
// layout is in docs/formats.md, "Map state record".
#include <cstdlib>

#include "core/record_bytes.h"
#include "rules/flight/flight.h"
#include "rules/flight/flight_map.h"
#include "world/map_services.h"
#include "world/map_state.h"

namespace {

constexpr uint32_t RECORD_TAG = 64;
constexpr size_t RECORD_SIZE = 64;
constexpr size_t RESERVED_AT = 56;
// Owners: a member (slot + 1, at most six) or a monster (-(slot + 1)).
constexpr int PARTY_OWNERS = 6, MONSTER_PLACES_OWNED = 255;

std::vector<flying_object> staged;

void write_object(const flying_object& p, std::vector<uint8_t>& out) {
    uint8_t record[RECORD_SIZE] = {};
    record_writer w(record);
    for (int v : {p.fly_sector, p.progress, p.offset, p.height, p.lifetime, p.owner, p.speed, p.fall, p.force,
                  p.bonus, p.splits, p.came_from})
        w.i32(v);
    w.i16(p.item);
    w.u8(static_cast<uint8_t>(p.fly_dir));
    w.u8(p.fly_flags);
    w.u8(static_cast<uint8_t>(p.fly_count));
    w.u8(static_cast<uint8_t>(p.fade));
    w.u8(static_cast<uint8_t>(p.shaft_falls));
    w.u8(p.items.empty() ? 0 : 1);
    out.insert(out.end(), record, record + RECORD_SIZE);
    if (p.items.empty()) return;
    for (int16_t item : p.items) {
        out.push_back(static_cast<uint8_t>(item));
        out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(item) >> 8));
    }
    out.push_back(0);
    out.push_back(0);
}

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void write_flying(std::vector<uint8_t>& out) {
    for (const flying_object& p : flying_objects()) {
        // Gone at the next tick: nothing to keep.
        if (p.fly_flags & FLY_REMOVE) continue;
        put_u32(out, RECORD_TAG);
        write_object(p, out);
    }
    put_u32(out, 0);
}

bool within(int v, int low, int high) {
    return v >= low && v <= high;
}

// Only what a flight can come to: a sector of the map, a direction, the
// phases and counts the flight keeps, and numbers that stay far from
// overflowing as the flight adds to them (map traps fire with their own
// speeds, heights and forces, so the bounds are wide).
bool fits_map(const flying_object& p, int has_list) {
    constexpr int WIDE = 65536, SHORT_LOW = -32768, SHORT_HIGH = 32767;
    return flight_map::is_sector(p.fly_sector) && (p.came_from == 0 || flight_map::is_sector(p.came_from)) &&
           within(p.fly_dir, 0, 3) && within(p.fly_count, 0, 3) && within(p.fade, 0, FLY_FADE_PHASES) &&
           within(p.shaft_falls, 0, FLY_MAX_SHAFT_FALLS) && within(has_list, 0, 1) &&
           within(p.progress, -WIDE, WIDE) && within(p.offset, -64, 64) && within(p.height, -WIDE, WIDE) &&
           within(p.fall, -WIDE, WIDE) && within(p.speed, 0, WIDE) && within(p.lifetime, 0, WIDE) &&
           within(p.force, SHORT_LOW, SHORT_HIGH) && within(p.bonus, SHORT_LOW, SHORT_HIGH) &&
           within(p.splits, 0, SHORT_HIGH) && within(p.owner, -MONSTER_PLACES_OWNED, PARTY_OWNERS);
}

bool items_known(const flying_object& p) {
    const int known = map_services.item_count ? map_services.item_count() : 0;
    if (known <= 0) return true;
    if (std::abs(int{p.item}) > known) return false;
    for (int16_t n : p.items)
        if (std::abs(int{n}) > known) return false;
    return true;
}

bool stage_flying(std::span<const uint8_t> bytes, size_t& used) {
    staged.clear();
    record_reader r(bytes.data(), bytes.size());
    for (;;) {
        const uint32_t tag = r.u32();
        if (!r.ok()) return false;
        if (tag == 0) break;
        if (tag != RECORD_TAG) return false;
        flying_object p;
        for (int* v : {&p.fly_sector, &p.progress, &p.offset, &p.height, &p.lifetime, &p.owner, &p.speed,
                       &p.fall, &p.force, &p.bonus, &p.splits, &p.came_from})
            *v = r.i32();
        p.item = r.i16();
        p.fly_dir = r.u8();
        p.fly_flags = r.u8();
        p.fly_count = r.u8();
        p.fade = r.u8();
        p.shaft_falls = r.u8();
        const int has_list = r.u8();
        r.skip(RECORD_SIZE - RESERVED_AT);
        if (!r.ok() || !fits_map(p, has_list)) return false;
        if (has_list) {
            for (;;) {
                const int16_t item = r.i16();
                if (!r.ok()) return false;
                if (item == 0) break;
                p.items.push_back(item);
            }
        }
        // An object carrying items the item table does not know is left out.
        if (items_known(p)) staged.push_back(std::move(p));
    }
    used = r.position();
    return true;
}

void commit_flying() {
    replace_flying_objects(std::move(staged));
    staged.clear();
}

}  // namespace

void install_flight_map_state() {
    set_map_state_section(map_state_part::flying_objects, {write_flying, stage_flying, commit_flying});
}
