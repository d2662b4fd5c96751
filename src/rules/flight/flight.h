#pragma once
// Things in the air over the loaded map: thrown items, shot arrows, the
// missiles of monsters, map traps and spells. Each flies along one direction
// through the sectors, falls unless it flies level, hits a member or a monster
// it meets, bounces off walls (splitting, when it may), and lands on a floor
// quarter or vanishes. Flying objects exist only while their map is loaded.
#include <cstdint>
#include <vector>

#include "rules/inventory.h"

// fly_flags
constexpr uint8_t FLY_LEVEL = 0x01;    // no gravity
constexpr uint8_t FLY_MAGICAL = 0x02;  // vanishes on impact, no item stays
constexpr uint8_t FLY_HIT = 0x04;
constexpr uint8_t FLY_SILENT = 0x08;
constexpr uint8_t FLY_ARMED = 0x10;  // may hit in this sector
constexpr uint8_t FLY_LANDED = 0x20;
constexpr uint8_t FLY_REMOVE = 0x40;

constexpr int FLY_MAX_HEIGHT = 110;
constexpr int FLY_LAND_HEIGHT = 20;
constexpr int FLY_SECTOR_EDGE = 64;  // progress beyond this enters the next sector
constexpr int FLY_MAX_LIFETIME = 100;

struct flying_object {
    int fly_sector = 0;
    int fly_dir = 0;
    int progress = 0;  // -127..127 along the flight
    int offset = 0;    // across: -32 left, 32 right
    int height = 0;
    int16_t item = 0;  // when no list flies
    held_list items;   // the list that flies together (may be empty)
    int lifetime = 0;
    int fly_count = 0;  // animation phase 0..3
    int owner = 0;      // party slot + 1, -(monster slot + 1), 0 nobody
    int speed = 0;
    int fall = 0;
    int force = 0;
    int bonus = 0;
    int splits = 0;
    uint8_t fly_flags = 0;
    int fade = 0;         // phases left of a magical object fading after its hit
    int came_from = 0;    // the sector it flew in from (0: where it started)
    int shaft_falls = 0;  // shafts it has fallen through into the sector below
    // The first item of the object (the list's first entry, else `item`).
    int16_t first_item() const { return items.empty() ? item : items.front(); }
};

constexpr int FLY_FADE_PHASES = 3;
// A chain of teleporting sectors carries an object at most this far at once;
// beyond it the object drops where it is.
constexpr int FLY_MAX_TELEPORT_HOPS = 8;
// An object falls through at most this many shafts in turn; then it comes
// down where it is, like an item dropped there (shafts falling into each
// other would otherwise hold it in the air for ever).
constexpr int FLY_MAX_SHAFT_FALLS = 8;

// What the flight reaches outside the rules of flight: the sounds of the
// items and the spells they cast when they hit. The defaults stand for a
// game without them: nothing sounds, no spell is cast.
class flight_world {
  public:
    virtual ~flight_world() = default;
    // The item's own sound (item_def::sound) plays in the sector.
    virtual void item_sound(int /*item*/, int /*sector*/) {}
    // An item with charges casts its spell on the sector it hit; `owner` is
    // the object's owner.
    virtual void cast_item_spell(int /*spell*/, int /*sector*/, int /*owner*/) {}
};
// Null restores the default.
void set_flight_world(flight_world* world);
flight_world& flight_hooks();

// Every object in the air, newest first.
std::vector<flying_object>& flying_objects();

// Throwing speed for a total weight (at most 56; 24 for weight 0 or less).
int throw_speed(int weight);

// The held items leave the party's sector in the view direction toward screen
// point (x, y) (flat with `level`); `held` is empty afterwards. Returns the
// new object (null when nothing was held).
flying_object* throw_items(int x, int y, bool level, held_list& held);
// A monster (owner < 0) or a spell launches an item as a level, armed-later,
// magical projectile from sector `sector` flying in `direction`.
flying_object* launch(int owner, int item, int sector, int direction);

// Advances every flying object by one animation tick.
void flight_tick();
// The map is left: everything in the air lands where it is, silently.
void land_all();
// Forgets every flying object without landing it (a new game, a map read
// from a saved state).
void clear_flying_objects();
// Puts these objects in the air in place of those there (a map's state read
// back): nothing lands.
void replace_flying_objects(std::vector<flying_object> objects);

// A hit test of object `p` in sector `s`; true when anything was hit.
bool flight_hit_test(flying_object& p, int sector);
// The flight ends against something: the object stops and lands, falls, or
// (magical) fades away.
void flight_impact(flying_object& p);

// The floor quarter an object lands on: the half ahead or behind by its
// progress, the side by its offset.
int landing_quarter(const flying_object& p);
// True when an object in the air carries the item (stack marks count as
// their item): its clone must not be reused.
bool flight_holds_item(int16_t item);
// Draws the objects flying in a sector seen in cell (column, depth).
void draw_flying_in_cell(int sector, int column, int depth, int view_direction);

// Puts the flying objects into the game: the flying timer, the view's
// drawing hook, map traps (command 5), monsters' arrows, throwing from the
// view, leaving a map.
void install_flight();
// Keeps the objects in the air in the map's state record (a game saved
// while things fly gets them back).
void install_flight_map_state();
