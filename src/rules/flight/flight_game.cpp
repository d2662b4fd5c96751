// The objects in the air put into the running game: the flying timer moves
// them, the view draws them, map traps fire them, monsters shoot them, the
// player throws them from the view.
#include <algorithm>

#include "monsters/monsters.h"
#include "rules/flight/flight.h"
#include "rules/floor/floor_items_game.h"
#include "rules/monster_fight/monster_fight.h"
#include "world/game_screen.h"
#include "world/map_services.h"
#include "world/view.h"

namespace {

// Map command 5: a trap in a side fires an item into its sector.
void fire(int sector, int direction, int item, int value, int x, int height, int speed) {
    flying_object* p = launch(0, item, sector, direction);
    if (!p) return;
    p->offset = std::clamp(x, -64, 64);
    p->height = std::min(height, FLY_MAX_HEIGHT);
    p->speed = std::max(speed, 0);
    p->force = value;
}

// A monster's arrow leaves it along the way it faces.
void monster_arrow(int slot, int item, int /*target_sector*/, int force, int bonus) {
    const monster* m = monster_by_number(slot + 1);
    if (!m) return;
    flying_object* p = launch(-(slot + 1), item, m->sector, m->direction);
    if (!p) return;
    p->force = force;
    p->bonus = bonus;
}

// From the view the floor asks for a flat throw only where the party stands
// over a shaft: what is let go there has no floor under it and drops
// straight down, without speed.
void throw_from_view(int x, int y, bool level, held_list& held) {
    flying_object* p = throw_items(x, y, level, held);
    if (!p || !level) return;
    p->speed = 0;
    p->fall = 0;
    p->fly_flags = uint8_t(p->fly_flags & ~FLY_LEVEL);
}

}  // namespace

void install_flight() {
    flying_tick = flight_tick;
    view_neighbours.draw_flying_objects = draw_flying_in_cell;
    map_services.fire = fire;
    monster_launch = monster_arrow;
    game_floor_world::thrower = throw_from_view;
    game_floor_world::in_flight = flight_holds_item;
}
