#include "rules/inventory.h"

#include <algorithm>
#include <cstdlib>

#include "rules/party.h"

namespace {

constexpr int ATTRIBUTES = 4;

bool holds_one(const held_list& held) {
    return held.size() == 1;
}

int16_t first_empty_cell(const party_member& member) {
    const int size = std::clamp<int>(member.inventory_size, 0, BACKPACK_MAX);
    for (int cell = 0; cell < size; ++cell)
        if (member.inventory[cell] == 0) return static_cast<int16_t>(cell);
    return -1;
}

int free_cells(const party_member& member) {
    const int size = std::clamp<int>(member.inventory_size, 0, BACKPACK_MAX);
    int count = 0;
    for (int cell = 0; cell < size; ++cell) count += member.inventory[cell] == 0;
    return count;
}

// The item leaves the cursor for good: a clone's slot becomes free.
void use_up(item_table& items, held_list& held) {
    items.destroy_items(held);
    held.clear();
}

bool is_melee(const item_table& items, int number) {
    const item_def* item = items.find(number);
    return item && item->type == IT_MELEE;
}

// The slot an item of this placement goes to, -1 when it is not worn there.
int slot_for(int placement, int drop_x) {
    switch (placement) {
        case PL_CONTAINER:
            return SLOT_CONTAINER;
        case 2:
        case 3:
        case 4:
            return placement - 1;
        case PL_SLOT4:
            return 4;
        case PL_SLOT5:
            return SLOT_ARMOUR;
        case PL_SLOT6:
            return 6;
        case PL_ONE_HAND:
            return drop_x > BODY_RIGHT_HALF_X ? SLOT_RIGHT_HAND : SLOT_LEFT_HAND;
        case PL_TWO_HANDS:
            return SLOT_LEFT_HAND;
        default:
            return -1;
    }
}

// Slots emptied first when an item goes into `slot`.
std::vector<int> conflicting_slots(const item_table& items, const party_member& member, int placement,
                                   int slot) {
    switch (placement) {
        case 2:
        case 3:
        case 4:
            return {SLOT_ARMOUR};
        case PL_SLOT5:
            return {3, 2, 1};
        case PL_ONE_HAND: {
            const item_def* left = items.find(member.worn[SLOT_LEFT_HAND]);
            if (slot == SLOT_RIGHT_HAND && left && left->placement == PL_TWO_HANDS) return {SLOT_LEFT_HAND};
            return {};
        }
        case PL_TWO_HANDS:
            return {SLOT_RIGHT_HAND};
        default:
            return {};
    }
}

int container_extra_slots(const item_table& items, int number) {
    const item_def* bag = items.find(number);
    return bag ? std::clamp<int>(bag->extra_slots, 0, BACKPACK_MAX - BACKPACK_MIN) : 0;
}

// The container of slot 0 and the items of its extra cells, as one stack.
held_list take_container(party_member& member) {
    held_list stack;
    if (member.worn[SLOT_CONTAINER] == 0) return stack;
    stack.push_back(member.worn[SLOT_CONTAINER]);
    member.worn[SLOT_CONTAINER] = 0;
    for (int cell = BACKPACK_MIN; cell < BACKPACK_MAX; ++cell) {
        if (member.inventory[cell] == 0) continue;
        stack.push_back(static_cast<int16_t>(-std::abs(member.inventory[cell])));
        member.inventory[cell] = 0;
    }
    member.inventory_size = BACKPACK_MIN;
    return stack;
}

// Puts a held container and the stack it carries on the body; false when the
// stack does not fit in the container's cells.
bool wear_container(const item_table& items, party_member& member, held_list& held) {
    const int extra = container_extra_slots(items, held[0]);
    if (static_cast<int>(held.size()) - 1 > extra) return false;
    held_list old = take_container(member);
    member.worn[SLOT_CONTAINER] = held[0];
    for (size_t i = 1; i < held.size(); ++i)
        member.inventory[BACKPACK_MIN + i - 1] = static_cast<int16_t>(std::abs(held[i]));
    member.inventory_size = static_cast<int16_t>(BACKPACK_MIN + extra);
    held = std::move(old);
    return true;
}

bool consume(item_table& items, party_member& member, held_list& held, inventory_world& world) {
    const item_def* item = items.find(held[0]);
    if (!item) return false;
    switch (item->type) {
        case IT_FOOD:
        case IT_DRINK:
            if (item->type == IT_FOOD) {
                eat_food(member, item->value);  // plays its own sound
            } else {
                drink_water(member, item->value);
                world.play_sound("lektvar.wav");
            }
            if (item->charges > 0) world.cast_spell_on(member, item->spell);
            break;
        case IT_POTION:
            world.play_sound("lektvar.wav");
            world.cast_spell_on(member, item->spell);
            break;
        case IT_SPECIAL: {
            if (item->value != SPECIAL_MAP) return false;
            const int16_t cell = first_empty_cell(member);
            if (cell < 0) return false;
            world.open_map();
            member.inventory[cell] = held[0];
            held.clear();
            return true;
        }
        default:
            return false;
    }
    use_up(items, held);
    return true;
}

}  // namespace

held_list& game_held() {
    static held_list held;
    return held;
}

void inventory_world::recompute_stats(party_member& member) {
    ::recompute_stats(member);
}

bool can_handle_items(const party_member& member) {
    return !(static_cast<uint16_t>(member.stats[STAT_FLAGS]) & CF_SUMMONED) &&
           !(static_cast<uint16_t>(member.base_stats[STAT_FLAGS]) & CF_TRANSFORMED);
}

bool can_wear(const item_table& items, const party_member& member, int number) {
    const item_def* item = items.find(number);
    if (!item) return false;
    for (int i = 0; i < ATTRIBUTES; ++i) {
        const int have = member.stats[i];
        const int need = item->requirements[i];
        if (have < need || have + item->mods[i] < need) return false;
    }
    return true;
}

bool still_meets_requirements(const item_table& items, const party_member& member, int number) {
    const item_def* item = items.find(number);
    if (!item) return false;
    for (int i = 0; i < ATTRIBUTES; ++i) {
        const int without = member.stats[i] - item->mods[i];
        const int need = item->requirements[i];
        if (without < need || member.stats[i] < need) return false;
    }
    return true;
}

bool two_weapons_allowed(const item_table& items, const party_member& member) {
    const int right = member.worn[SLOT_RIGHT_HAND];
    const int left = member.worn[SLOT_LEFT_HAND];
    if (!is_melee(items, right) || !is_melee(items, left)) return true;
    const item_def& a = *items.find(right);
    const item_def& b = *items.find(left);
    const int dexterity = member.stats[STAT_DEXTERITY];
    for (int i = 0; i < ATTRIBUTES; ++i) {
        const int sum = a.requirements[i] + b.requirements[i];
        const int larger = std::max(a.requirements[i], b.requirements[i]);
        if (member.stats[i] < sum && dexterity < larger) return false;
    }
    return true;
}

void take_off(item_table& items, party_member& member, int slot, inventory_world& world) {
    if (slot < 0 || slot >= WORN_SLOTS) return;
    const int16_t number = member.worn[slot];
    if (number == 0) return;
    member.worn[slot] = 0;
    const item_def* item = items.find(number);
    if (item && (item->item_flags & IF_BOUND)) {
        const int16_t gone[] = {number};
        items.destroy_items(gone);
        return;
    }
    const int16_t cell = first_empty_cell(member);
    if (cell >= 0)
        member.inventory[cell] = number;
    else
        world.drop_on_floor(member, number);
}

void apply_equipment_rules(item_table& items, party_member& member, inventory_world& world, int kept_hand) {
    world.recompute_stats(member);
    for (int slot = 1; slot <= SLOT_LEFT_HAND; ++slot)
        if (member.worn[slot] != 0 && !still_meets_requirements(items, member, member.worn[slot]))
            take_off(items, member, slot, world);
    if (member.worn[SLOT_CONTAINER] != 0 &&
        !still_meets_requirements(items, member, member.worn[SLOT_CONTAINER])) {
        // The bag goes with everything it carries: to the backpack's first
        // cells if they have room, else onto the floor.
        held_list bag = take_container(member);
        for (int16_t entry : bag) {
            const int16_t number = static_cast<int16_t>(std::abs(entry));
            const int16_t cell = first_empty_cell(member);
            if (cell >= 0)
                member.inventory[cell] = number;
            else
                world.drop_on_floor(member, number);
        }
    }
    if (!two_weapons_allowed(items, member))
        take_off(items, member, kept_hand == SLOT_LEFT_HAND ? SLOT_RIGHT_HAND : SLOT_LEFT_HAND, world);
    world.recompute_stats(member);
}

bool pick_from_body(item_table& items, party_member& member, int slot, held_list& held,
                    inventory_world& world) {
    if (!held.empty() || !can_handle_items(member) || !world.may_change_clothes(member)) return false;
    if (slot < 0 || slot > SLOT_LEFT_HAND) return false;
    if (member.worn[slot] == 0) return false;
    if (slot == SLOT_CONTAINER) {
        held = take_container(member);
    } else {
        held = {member.worn[slot]};
        member.worn[slot] = 0;
    }
    // A bound item vanishes as it leaves the body; a bound bag leaves what
    // it carried on the cursor.
    const item_def* item = items.find(held[0]);
    if (item && (item->item_flags & IF_BOUND)) {
        const int16_t gone[] = {held[0]};
        items.destroy_items(gone);
        held.erase(held.begin());
        if (!held.empty()) held[0] = static_cast<int16_t>(std::abs(held[0]));
    }
    world.play_sound("obleci.wav");
    apply_equipment_rules(items, member, world);
    return true;
}

bool drop_on_body(item_table& items, party_member& member, held_list& held, int drop_x,
                  inventory_world& world) {
    if (held.empty() || !can_handle_items(member) || !world.may_change_clothes(member)) return false;
    const item_def* item = items.find(held[0]);
    if (!item) return false;
    const bool container = item->placement == PL_CONTAINER;
    if (!holds_one(held) && !container) return false;
    if (!can_wear(items, member, held[0])) return false;
    if (item->placement == PL_NONE) return consume(items, member, held, world);
    int kept_hand = SLOT_RIGHT_HAND;
    if (container) {
        if (!wear_container(items, member, held)) return false;
    } else {
        const int slot = slot_for(item->placement, drop_x);
        if (slot < 0) return false;
        for (int other : conflicting_slots(items, member, item->placement, slot))
            take_off(items, member, other, world);
        const int16_t previous = member.worn[slot];
        member.worn[slot] = held[0];
        held.clear();
        if (previous != 0) held.push_back(previous);
        kept_hand = slot;
    }
    if (!held.empty()) {
        const item_def* now_held = items.find(held[0]);
        if (now_held && (now_held->item_flags & IF_BOUND)) use_up(items, held);
    }
    world.play_sound("obleci.wav");
    apply_equipment_rules(items, member, world, kept_hand);
    return true;
}

bool click_belt(const item_table& items, party_member& member, int position, held_list& held) {
    if (position < 0 || position >= BELT_SLOTS || !can_handle_items(member)) return false;
    int16_t& slot = member.worn[SLOT_BELT + position];
    if (held.empty()) {
        if (slot == 0) return false;
        held = {slot};
        slot = 0;
        return true;
    }
    const item_def* item = items.find(held[0]);
    if (!holds_one(held) || !item || item->placement != PL_BELT) return false;
    const int16_t previous = slot;
    slot = held[0];
    held.clear();
    if (previous != 0) held.push_back(previous);
    return true;
}

bool click_quiver(item_table& items, party_member& member, held_list& held, bool bundle) {
    if (!can_handle_items(member)) return false;
    if (!held.empty()) {
        const item_def* item = items.find(held[0]);
        if (!holds_one(held) || !item || item->placement != PL_QUIVER) return false;
        const int count = std::max<int>(item->value, 1);
        if (member.arrows + count >= ARROWS_LIMIT) return false;
        member.arrows = static_cast<int16_t>(member.arrows + count);
        use_up(items, held);
        return true;
    }
    if (member.arrows <= 0) return false;
    // One arrow is the arrow item of value 0; a bundle the largest that fits.
    int best = 0;
    int best_count = 0;
    for (int i = 0; i < items.definition_count(); ++i) {
        const item_def& item = items.records()[i];
        if (item.placement != PL_QUIVER) continue;
        if (!bundle) {
            if (item.value == 0) {
                best = i + 1;
                best_count = 1;
                break;
            }
            continue;
        }
        const int count = std::max<int>(item.value, 1);
        if (count <= member.arrows && count > best_count) {
            best = i + 1;
            best_count = count;
        }
    }
    if (best == 0) return false;
    member.arrows = static_cast<int16_t>(member.arrows - best_count);
    held = {static_cast<int16_t>(best)};
    return true;
}

bool click_backpack(item_table& items, party_member& member, int cell, held_list& held,
                    const std::vector<combine_rule>& rules, inventory_world& world) {
    const int size = std::clamp<int>(member.inventory_size, 0, BACKPACK_MAX);
    if (cell < 0 || cell >= size || !can_handle_items(member)) return false;
    int16_t& target = member.inventory[cell];
    if (held.empty()) {
        if (target == 0) return false;
        held = {target};
        target = 0;
        world.play_sound("put_inv.wav");
        return true;
    }
    if (held.size() > 1 && free_cells(member) < static_cast<int>(held.size())) return false;
    if (holds_one(held) && target != 0) {
        if (auto outcome = find_combination(rules, held[0], target, items.definition_count())) {
            const int16_t used[] = {held[0], target};
            items.destroy_items(used);
            target = outcome->slot;
            held.clear();
            if (outcome->held != 0) held.push_back(outcome->held);
            world.play_sound("put_inv.wav");
            return true;
        }
    }
    held_list left;
    const int16_t previous = target;
    target = static_cast<int16_t>(std::abs(held[0]));
    if (previous != 0) left.push_back(previous);
    int last = cell;
    for (size_t i = 1; i < held.size(); ++i) {
        int next = -1;
        for (int step = 1; step <= size; ++step) {
            const int candidate = (last + step) % size;
            if (member.inventory[candidate] == 0) {
                next = candidate;
                break;
            }
        }
        if (next < 0) {  // cannot happen after the free-cell check; keep the item held
            left.push_back(static_cast<int16_t>(left.empty() ? std::abs(held[i]) : -std::abs(held[i])));
            continue;
        }
        member.inventory[next] = static_cast<int16_t>(std::abs(held[i]));
        last = next;
    }
    held = std::move(left);
    world.play_sound("put_inv.wav");
    return true;
}

bool give_items(item_table& items, party_member& member, held_list& held, bool may_take_arrows) {
    if (held.empty()) return true;
    if (static_cast<uint16_t>(member.base_stats[STAT_FLAGS]) & CF_TRANSFORMED) return false;
    const item_def* first = items.find(held[0]);
    if (first && first->placement == PL_QUIVER && holds_one(held) && may_take_arrows) {
        const int count = std::max<int>(first->value, 1);
        // Arrows that do not fit stay held rather than vanish.
        if (member.arrows + count >= ARROWS_LIMIT) return false;
        member.arrows = static_cast<int16_t>(member.arrows + count);
        use_up(items, held);
        return true;
    }
    while (!held.empty()) {
        const int16_t cell = first_empty_cell(member);
        if (cell < 0) break;
        member.inventory[cell] = static_cast<int16_t>(std::abs(held.back()));
        held.pop_back();
    }
    return held.empty();
}
