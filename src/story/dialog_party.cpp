// What a dialog does to the party and the map: items and money, members
// joining and leaving, runes, time, meals, moving, fighting and casting.
#include <algorithm>

#include "monsters/monsters.h"
#include "rules/battle/battle.h"
#include "rules/floor/floor_items.h"
#include "rules/inventory.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "rules/spells/spells.h"
#include "story/dialog_internal.h"
#include "world/game_sounds.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_scripts.h"
#include "world/movement.h"
#include "world/party_standin.h"

namespace dialog_detail {
namespace {

bool on_this_map(const party_member& m) {
    return m.used && m.map_hash == party_state.map_hash && m.sector > 0;
}
bool living_here(const party_member& m) {
    return on_this_map(m) && m.hp > 0 && m.sector == party_sector();
}
bool is_place(int sector) {
    return sector > 0 && sector < current_map.sector_count &&
           size_t(sector) * 4 + 3 < current_map.sides.size();
}

// Where the member keeps the item: a worn slot (0..12), a backpack cell
// (100 + cell), or -1.
int place_of(const party_member& m, int item) {
    for (int s = 0; s < WORN_SLOTS; ++s)
        if (m.worn[s] == item) return s;
    for (int c = 0; c < BACKPACK_MAX; ++c)
        if (m.inventory[c] == item) return 100 + c;
    return -1;
}

void check_rune(int rune) {
    if (rune < 0 || rune / 10 >= RUNE_GROUPS || rune % 10 > 7) fail("Rune out of range");
}

}  // namespace

int party_sector() {
    return party.sector;
}

void stow_held() {
    held_list& held = game_held();
    for (party_member& m : party_members)
        if (!held.empty() && living_here(m)) give_items(game_items(), m, held, true);
    if (!held.empty() && is_place(party_sector())) drop_items(party_sector(), 0, held);
    held.clear();
}

bool has_item(int item) {
    if (item <= 0) return false;
    for (const party_member& m : party_members)
        if (on_this_map(m) && m.sector == party_sector() && place_of(m, item) >= 0) return true;
    return false;
}

void take_item(int item) {
    if (item <= 0) return;
    for (party_member& m : party_members) {
        if (!on_this_map(m) || m.sector != party_sector()) continue;
        const int place = place_of(m, item);
        if (place < 0) continue;
        if (place >= 100) {
            m.inventory[place - 100] = 0;
        } else {
            m.worn[place] = 0;
            recompute_stats(m);
        }
        return;
    }
}

void give_item(int item) {
    stow_held();
    if (!game_items().valid(item)) return;
    game_held().push_back(int16_t(item));
}

void join(int definition) {
    if (definition < 0 || definition >= CHARACTER_DEFINITIONS) fail("Character out of range");
    dialog.flag = join_from_definition(definition);
}

void dismiss() {
    const int p = selected_position();
    if (p < 0) {
        dialog.flag = true;
        return;
    }
    for (int i = p; i + 1 < PARTY_SLOTS; ++i) party_members[i] = party_members[i + 1];
    party_members[PARTY_SLOTS - 1] = party_member{};
    if (party_state.current == p) party_state.current = -1;
    if (party_state.current > p) --party_state.current;
    for (selection_slot& s : dialog.slots) {
        if (s.position == p)
            s.position = 255;
        else if (s.position != 255 && s.position > p)
            --s.position;
    }
    for (int i = p; i < PARTY_SLOTS; ++i) party_world_hooks().rebind_portraits(i);
    dialog.flag = false;
}

void set_rune(int rune) {
    check_rune(rune);
    party_state.runes[rune / 10] |= uint8_t(1u << (rune % 10));
}

bool rune_known(int rune) {
    check_rune(rune);
    return party_state.runes[rune / 10] & (1u << (rune % 10));
}

void pass_time(int view_steps, int hours) {
    dialogs_world().pass_time_view(std::max(view_steps, 0) * 50);
    hours = std::max(hours, 0);
    for (party_member& m : party_members) {
        if (!on_this_map(m) || m.hp <= 0) continue;
        auto regain = [&](int16_t& value, int per_hour, int maximum) {
            value =
                int16_t(std::min<long>(long(value) + long(hours) * per_hour, std::max(maximum, int(value))));
        };
        regain(m.hp, m.stats[STAT_HP_REGEN], m.stats[STAT_HP_MAX]);
        regain(m.mp, m.stats[STAT_MP_REGEN], m.stats[STAT_MP_MAX]);
        regain(m.vp, m.stats[STAT_VP_REGEN], m.stats[STAT_VP_MAX]);
    }
    if (hours > 0) advance_game_time(hours * GAME_TIME_HOUR);
}

void buy_meal(int price) {
    int eaters = 0;
    for (const party_member& m : party_members)
        if (living_here(m)) ++eaters;
    const long cost = long(price) * eaters;
    if (party_state.gold < cost) {
        dialog.flag = true;
        return;
    }
    party_state.gold -= int32_t(cost);
    for (party_member& m : party_members)
        if (living_here(m)) {
            m.food = food_capacity(m);
            m.water = water_capacity(m);
        }
    dialog.flag = false;
}

bool party_together() {
    for (const party_member& m : party_members)
        if (on_this_map(m) && m.hp > 0 && m.sector != party_sector()) return false;
    return true;
}

void move_party(int sector, int direction) {
    if (!is_place(sector)) return;
    place_party(sector, direction & 3);
    mark_party_sectors();
    sounds_follow_party();
}

void map_action(int sector, int side) {
    if (!is_place(sector) || side < 0 || side > 3) return;
    const map_side& s = current_map.sides[size_t(sector) * 4 + size_t(side)];
    queue_action(s.action, s.action_target, s.target_side & 3, s.flags, false, 0);
}

void fight() {
    if (dialog.owner < 0 || dialog.owner >= MONSTER_SLOTS) return;
    monster& m = monster_table[size_t(dialog.owner)];
    if (!m.alive()) return;
    m.state |= MST_BATTLE;
    m.target_sector = int16_t(party_sector());
    if (!monster_battle.battle) start_battle(party_sector());
}

void cast(int spell) {
    const int p = selected_position();
    if (p < 0 || spell < 0) return;
    cast_spell(spell + SPELL_TARGET_CHOSEN * (p + 1), p, true);
}

}  // namespace dialog_detail
