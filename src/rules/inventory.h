// The inventory rules of one character: wearing and taking off, the belt,
// the quiver, the backpack, giving items, eating and drinking, combining.
// The screen decides where a click lands; these functions do what it means.
#pragma once

#include <cstdint>
#include <vector>

#include "rules/combine.h"
#include "rules/items.h"
#include "rules/party_record.h"

// The items on the mouse cursor: the first entry positive, each following
// negative entry -n is item n of the same stack. Empty: nothing held.
using held_list = std::vector<int16_t>;
// The game's one hand: what the mouse cursor holds, on every screen.
held_list& game_held();

constexpr int SLOT_CONTAINER = 0;
constexpr int SLOT_ARMOUR = 5;
constexpr int SLOT_RIGHT_HAND = 7;
constexpr int SLOT_LEFT_HAND = 8;
constexpr int SLOT_BELT = 9;  // 9..12
constexpr int BELT_SLOTS = 4;
constexpr int ARROWS_LIMIT = 100;      // the quiver holds fewer than this
constexpr int BODY_RIGHT_HALF_X = 93;  // a one-hand item dropped right of this goes to slot 7

// What the inventory reaches outside the item and party records. Each call
// stands for a part of the game that does its own work: the items lying on
// the map, the sounds, the spells, the map screen and the party's
// recomputation. The defaults do nothing, except the recomputation, which
// is the party's own.
class inventory_world {
  public:
    virtual ~inventory_world() = default;
    // The item lies down on the floor where the character stands.
    virtual void drop_on_floor(const party_member&, int16_t /*item*/) {}
    virtual void play_sound(const char* /*name*/) {}
    virtual void cast_spell_on(party_member&, int /*spell*/) {}
    virtual void open_map() {}
    // Battle allows dressing only to the character whose turn it is, after
    // it chose the inventory action; outside battle anyone may.
    virtual bool may_change_clothes(const party_member&) { return true; }
    // Rebuilds the character's effective statistics from base and worn items.
    virtual void recompute_stats(party_member& member);
};

// False for a character that may not touch items (flag 0x2000 or transformed).
bool can_handle_items(const party_member& member);

// The character's effective attributes meet the item's four requirements,
// also after the item's own modifiers are added.
bool can_wear(const item_table& items, const party_member& member, int item);
// The same for an item already worn, whose modifiers the effective
// attributes include: they are taken out before the test, so that a
// modifier is not counted twice.
bool still_meets_requirements(const item_table& items, const party_member& member, int item);

// Two melee weapons in the hands are allowed together (true when the hands
// do not hold two melee weapons).
bool two_weapons_allowed(const item_table& items, const party_member& member);

// Moves the item in an equipment slot to the first empty backpack cell, or
// to the floor with the backpack full; a bound item is destroyed instead.
void take_off(item_table& items, party_member& member, int slot, inventory_world& world);

// After a change of equipment: recompute, take off what the character no
// longer meets, apply the two-weapon rule (the weapon in the hand other than
// `kept_hand` leaves), recompute again.
void apply_equipment_rules(item_table& items, party_member& member, inventory_world& world,
                           int kept_hand = SLOT_RIGHT_HAND);

// A click on the body with nothing held: the item of `slot` comes onto the
// cursor; slot 0 takes the container with the items of its extra cells.
bool pick_from_body(item_table& items, party_member& member, int slot, held_list& held,
                    inventory_world& world);

// A drop of the held item on the body at picture x `drop_x`. False when
// refused (held list and equipment unchanged).
bool drop_on_body(item_table& items, party_member& member, held_list& held, int drop_x,
                  inventory_world& world);

// A click on belt position 0..3.
bool click_belt(const item_table& items, party_member& member, int position, held_list& held);

// A click on the arrow count; `bundle` takes the largest bundle instead of
// one arrow.
bool click_quiver(item_table& items, party_member& member, held_list& held, bool bundle);

// A click on backpack cell `cell`; `rules` are the combinations tried first.
bool click_backpack(item_table& items, party_member& member, int cell, held_list& held,
                    const std::vector<combine_rule>& rules, inventory_world& world);

// Held items given to the character (dropped on the portrait, bought).
// `may_take_arrows`: outside battle, or this character's inventory turn.
// True when nothing is left over.
bool give_items(item_table& items, party_member& member, held_list& held, bool may_take_arrows);
