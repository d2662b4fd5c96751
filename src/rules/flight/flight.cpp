// The objects in the air: thrown, launched, moved tick by tick, landed.
#include "rules/flight/flight.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "rules/flight/flight_map.h"
#include "rules/floor/floor_items.h"
#include "rules/items.h"
#include "rules/party.h"
#include "world/map.h"
#include "world/map_services.h"
#include "world/party_standin.h"

namespace {

constexpr int HEAVY_MAP_CLASS = 3;  // on such maps everything thrown flies as if 50 heavier
constexpr int HEAVY_MAP_EXTRA_WEIGHT = 50;
constexpr int MAX_THROW_SPEED = 56;
constexpr int WEIGHTLESS_THROW_SPEED = 24;
constexpr int LAUNCH_PROGRESS = -63;
constexpr int LAUNCH_HEIGHT = 80;
constexpr int LAUNCH_SPEED = 32;
constexpr int SHAFT_BOTTOM = -127;  // deeper than this, an object falls into the sector below
constexpr int SHAFT_ENTRY_HEIGHT = 256;
constexpr int ARMED_FROM_PROGRESS = -15;
constexpr int IMPACT_FALL = 10;

flight_world default_world;
flight_world* installed_world = nullptr;

std::vector<int> marked_sectors;  // sectors whose FLY_OBJECT mark we set

// The list flying with the object, or its one item.
held_list carried_items(const flying_object& p) {
    if (!p.items.empty()) return p.items;
    if (p.item > 0) return {p.item};
    return {};
}

void mark_sectors() {
    for (int s : marked_sectors)
        if (flight_map::is_sector(s)) current_map.coords[size_t(s)].coord_flags &= uint16_t(~MC_FLY_OBJECT);
    marked_sectors.clear();
    for (const flying_object& p : flying_objects()) {
        if (p.fly_flags & FLY_REMOVE || !flight_map::is_sector(p.fly_sector)) continue;
        current_map.coords[size_t(p.fly_sector)].coord_flags |= MC_FLY_OBJECT;
        marked_sectors.push_back(p.fly_sector);
    }
}

// A landed object leaves the list: a magical one takes its items with it.
void release(flying_object& p) {
    if (p.fly_flags & FLY_MAGICAL) {
        const held_list items = carried_items(p);
        game_items().destroy_items(items);
    }
    p.items.clear();
    p.item = 0;
}

// The object comes down on a floor quarter of its sector. What a magical
// object carries never stays.
void land(flying_object& p, bool silent) {
    p.speed = 0;
    p.fly_flags |= FLY_LANDED;
    if (p.fly_flags & FLY_MAGICAL) return;
    int sector = p.fly_sector;
    // A shaft that leads nowhere: the object drops back on the edge it came
    // from rather than vanishing with what it carries.
    if (flight_map::sector_type(sector) == SECTOR_PIT && !flight_map::is_sector(flight_map::target(sector)) &&
        flight_map::is_sector(p.came_from) && flight_map::sector_type(p.came_from) != SECTOR_PIT)
        sector = p.came_from;
    held_list items = carried_items(p);
    if (items.empty()) return;
    if (!silent && !(p.fly_flags & FLY_SILENT)) flight_hooks().item_sound(items.front(), sector);
    drop_items(sector, landing_quarter(p), items);
    if (items.empty()) {
        p.items.clear();
        p.item = 0;
    }
}

void split(const flying_object& p, std::vector<flying_object>& spawned) {
    for (int turn : {1, 3}) {
        flying_object copy = p;
        copy.fly_dir = (p.fly_dir + turn) & 3;
        copy.lifetime = 0;
        // The copies carry the item, never the list: nothing is doubled on the floor.
        copy.items.clear();
        copy.item = p.first_item();
        copy.fly_flags |= FLY_MAGICAL;
        spawned.push_back(copy);
    }
}

// The object enters the next sector; a chain of teleports carries it on.
void enter(flying_object& p, int next) {
    p.came_from = p.fly_sector;
    p.fly_sector = next;
    p.lifetime = 0;
    for (int hops = 0; is_teleport(flight_map::sector_type(p.fly_sector)); ++hops) {
        const int target = flight_map::target(p.fly_sector);
        if (!flight_map::is_sector(target) || target == p.fly_sector) return;
        if (hops == FLY_MAX_TELEPORT_HOPS) {
            // Teleports that lead round in a circle: the object drops here.
            p.speed = 0;
            p.fall = std::max(p.fall, IMPACT_FALL);
            p.fly_flags = uint8_t(p.fly_flags & ~FLY_LEVEL);
            p.height = std::min(p.height, FLY_LAND_HEIGHT);
            return;
        }
        p.came_from = p.fly_sector;
        p.fly_sector = target;
    }
}

void step(flying_object& p, std::vector<flying_object>& spawned) {
    if (p.fade > 0) {
        if (--p.fade == 0) land(p, true);
        return;
    }
    p.progress += p.speed;
    if (p.speed != 0) p.fly_count = (p.fly_count + 1) & 3;
    if (!(p.fly_flags & FLY_LEVEL)) p.fall += 1;
    p.height = std::min(p.height - p.fall, FLY_MAX_HEIGHT);

    if (p.height <= FLY_LAND_HEIGHT) {
        if (flight_map::sector_type(p.fly_sector) != SECTOR_PIT) {
            land(p, false);
            return;
        }
        p.speed = 0;
        if (p.height >= SHAFT_BOTTOM) return;
        const int below = flight_map::target(p.fly_sector);
        if (!flight_map::is_sector(below) || below == p.fly_sector || p.shaft_falls >= FLY_MAX_SHAFT_FALLS) {
            land(p, false);
            return;
        }
        ++p.shaft_falls;
        enter(p, below);
        p.height = SHAFT_ENTRY_HEIGHT;
        return;
    }
    if ((p.fly_flags & FLY_ARMED) && p.progress >= ARMED_FROM_PROGRESS && flight_hit_test(p, p.fly_sector)) {
        flight_impact(p);
        return;
    }
    if (p.progress < FLY_SECTOR_EDGE) {
        if (++p.lifetime > FLY_MAX_LIFETIME) {
            flight_hit_test(p, p.fly_sector);
            flight_impact(p);
        }
        return;
    }
    p.fly_flags |= FLY_ARMED;
    p.progress -= 2 * FLY_SECTOR_EDGE - 1;
    const int next = flight_map::neighbour(p.fly_sector, p.fly_dir);
    if (next == 0 || flight_map::closed_to_things(p.fly_sector, p.fly_dir)) {
        // It strikes the wall and comes back into the sector.
        p.progress += 2 * FLY_SECTOR_EDGE - 1 - p.speed;
        const bool hit = flight_hit_test(p, p.fly_sector);
        if (!hit && p.splits > 0) {
            p.splits -= 1;
            split(p, spawned);
        }
        flight_impact(p);
        return;
    }
    enter(p, next);
}

int total_weight(const held_list& held) {
    int weight = 0;
    for (int16_t n : held)
        if (const item_def* d = game_items().find(std::abs(n))) weight += d->weight;
    return weight;
}

int thrower() {
    int member = -1;
    if (map_services.in_battle && map_services.acting_member && map_services.in_battle())
        member = map_services.acting_member();
    if (member < 0) member = party_state.current;
    return member >= 0 ? member + 1 : 0;
}

flying_object& push_new(const flying_object& p) {
    std::vector<flying_object>& list = flying_objects();
    list.insert(list.begin(), p);
    mark_sectors();
    return list.front();
}

}  // namespace

void set_flight_world(flight_world* world) {
    installed_world = world;
}
flight_world& flight_hooks() {
    return installed_world ? *installed_world : default_world;
}

std::vector<flying_object>& flying_objects() {
    static std::vector<flying_object> objects;
    return objects;
}

int throw_speed(int weight) {
    if (weight <= 0) return WEIGHTLESS_THROW_SPEED;
    return std::min(1000 / weight + 1, MAX_THROW_SPEED);
}

int landing_quarter(const flying_object& p) {
    const bool left = p.offset < 0;
    const int relative = p.progress >= 0 ? (left ? 0 : 1) : (left ? 3 : 2);
    return (p.fly_dir + relative) & 3;
}

flying_object* throw_items(int x, int y, bool level, held_list& held) {
    if (held.empty() || held.front() <= 0 || !flight_map::is_sector(party.sector)) return nullptr;
    flying_object p;
    p.fly_sector = party.sector;
    p.fly_dir = party.direction & 3;
    p.offset = x <= 320 ? -32 : 32;
    p.height = 128 - y * 128 / 360;
    p.fall = level ? 0 : (y - 360) / 72;
    int weight = total_weight(held);
    if (current_map.header.map_class == HEAVY_MAP_CLASS) weight += HEAVY_MAP_EXTRA_WEIGHT;
    p.speed = throw_speed(weight);
    p.progress = p.speed + 1;
    if (level) p.fly_flags |= FLY_LEVEL;
    const item_def* first = game_items().find(held.front());
    if (first && (first->item_flags & IF_MAGIC_PROJECTILE)) p.fly_flags |= FLY_MAGICAL;
    p.owner = thrower();
    p.items = std::move(held);
    held.clear();
    return &push_new(p);
}

flying_object* launch(int owner, int item, int sector, int direction) {
    const item_def* d = game_items().find(item);
    if (!d || !flight_map::is_sector(sector)) return nullptr;
    flying_object p;
    p.fly_sector = sector;
    p.fly_dir = direction & 3;
    p.item = int16_t(item);
    p.owner = owner;
    p.progress = LAUNCH_PROGRESS;
    p.height = LAUNCH_HEIGHT;
    p.speed = LAUNCH_SPEED;
    p.splits = std::max<int>(d->value, 0);
    p.fly_flags = FLY_LEVEL | FLY_MAGICAL;
    // A monster's arrow lands where it falls, to be picked up.
    if (owner < 0) p.fly_flags = uint8_t(p.fly_flags & ~FLY_MAGICAL);
    return &push_new(p);
}

void flight_impact(flying_object& p) {
    if (p.fly_flags & FLY_HIT) return;
    p.speed = 0;
    if (p.fly_flags & FLY_MAGICAL) {
        p.fly_flags |= FLY_HIT | FLY_LEVEL;
        if (!(p.fly_flags & FLY_SILENT) && p.first_item() > 0)
            flight_hooks().item_sound(p.first_item(), p.fly_sector);
        p.fade = FLY_FADE_PHASES;
        return;
    }
    if (p.fly_flags & FLY_LEVEL) {
        land(p, false);
        return;
    }
    p.fall = std::max(p.fall, IMPACT_FALL);
}

void flight_tick() {
    std::vector<flying_object>& list = flying_objects();
    for (flying_object& p : list)
        if (p.fly_flags & FLY_LANDED) {
            p.fly_flags |= FLY_REMOVE;
            release(p);
        }
    std::erase_if(list, [](const flying_object& p) { return (p.fly_flags & FLY_REMOVE) != 0; });
    std::vector<flying_object> spawned;
    for (flying_object& p : list) step(p, spawned);
    list.insert(list.begin(), std::make_move_iterator(spawned.begin()),
                std::make_move_iterator(spawned.end()));
    mark_sectors();
}

void land_all() {
    for (flying_object& p : flying_objects()) {
        if (!(p.fly_flags & FLY_LANDED)) land(p, true);
        release(p);
    }
    clear_flying_objects();
}

void clear_flying_objects() {
    flying_objects().clear();
    mark_sectors();
}

void replace_flying_objects(std::vector<flying_object> objects) {
    flying_objects() = std::move(objects);
    mark_sectors();
}

bool flight_holds_item(int16_t item) {
    const int16_t wanted = int16_t(std::abs(item));
    for (const flying_object& p : flying_objects()) {
        if (std::abs(p.item) == wanted) return true;
        for (int16_t n : p.items)
            if (std::abs(n) == wanted) return true;
    }
    return false;
}
