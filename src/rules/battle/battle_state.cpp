// The battle's state, its start and its loss, the shared helpers, and the
// battle put into the game's monster timer and look.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "rules/battle/battle_internal.h"
#include "rules/floor/floor_items.h"
#include "rules/items.h"
#include "rules/monster_fight/fight_map.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/monsters_ai/monster_ai.h"
#include "world/automap.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/monster_hooks.h"
#include "world/movement.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/screen_effects.h"

battle_state battle;
battle_settings battle_options;

namespace battle_detail {

int16_t granted[PARTY_SLOTS] = {};

namespace {
std::vector<battle_action> plans[PARTY_SLOTS];
}

bool used(int slot) {
    return slot >= 0 && slot < PARTY_SLOTS && party_members[slot].used;
}
bool alive(int slot) {
    return used(slot) && party_members[slot].hp > 0;
}
bool on_loaded_map(const party_member& m) {
    return m.map_hash == party_state.map_hash && m.sector > 0;
}
bool group_present(int group) {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (alive(slot) && party_members[slot].group == group && on_loaded_map(party_members[slot]))
            return true;
    return false;
}
bool monster_engaged(int slot) {
    const monster* m = monster_by_number(slot + 1);
    return m && m->alive() && (m->state & MST_BATTLE);
}

void fresh_plan(int slot, int entries) {
    std::vector<battle_action>& plan = plans[slot];
    plan.assign(size_t(std::max(entries, 0)) + 1, battle_action{});
    party_members[slot].plan = plan.data();
    party_members[slot].plan_cursor = plan.data();
    party_members[slot].planned = 0;
}
void free_plan(int slot) {
    plans[slot].clear();
    party_members[slot].plan = nullptr;
    party_members[slot].plan_cursor = nullptr;
    party_members[slot].planned = 0;
}
int planned_entries(const party_member& m) {
    return m.plan ? m.planned : 0;
}

void view_to(int slot) {
    if (!used(slot)) return;
    const party_member& m = party_members[slot];
    if (!on_loaded_map(m)) return;
    party.sector = m.sector;
    party.direction = m.direction & 3;
    if (m.group > 0) party_state.current_group = m.group;
}

int hand_item(const party_member& m, int hand) {
    return hand == 0 || hand == 1 ? m.worn[SLOT_RIGHT_HAND + hand] : 0;
}
const item_def* item(int number) {
    return number > 0 ? game_items().find(number) : nullptr;
}
bool melee_weapon(int number) {
    const item_def* w = item(number);
    return w && w->type == IT_MELEE;
}
bool is_weapon(int number) {
    const item_def* w = item(number);
    return w && (w->type == IT_MELEE || w->type == IT_THROWN || w->type == IT_BOW || w->type == IT_WAND);
}
int default_hand(const party_member& m) {
    const int right = hand_item(m, 0), left = hand_item(m, 1);
    if (melee_weapon(right) && melee_weapon(left)) return 2;
    // A shield or a torch does not strike: the hand holding a weapon does.
    if (!is_weapon(right) && is_weapon(left)) return 1;
    if (right == 0 && left != 0) return 1;
    return 0;
}
int sector_ahead(const party_member& m) {
    const int direction = m.direction & 3;
    if (!fight_map::is_sector(m.sector)) return 0;
    if (current_map.sides[size_t(m.sector) * 4 + size_t(direction)].flags & SIDE_NOPLAYER) return 0;
    return fight_map::neighbour(m.sector, direction);
}

bool current_map_side_closed_to_missiles(int sector, int direction) {
    if (!fight_map::is_sector(sector) || fight_map::neighbour(sector, direction) == 0) return true;
    return (current_map.sides[size_t(sector) * 4 + size_t(direction)].flags & SIDE_NOTHING) != 0;
}

void log(const char* format, ...) {
    party_world& world = party_world_hooks();
    if (!world.combat_log()) return;
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    world.console_print(text);
}
const char* name_of(const party_member& m) {
    static char name[sizeof m.name + 1];
    std::memcpy(name, m.name, sizeof m.name);
    name[sizeof m.name] = 0;
    return name;
}

}  // namespace battle_detail

using namespace battle_detail;

namespace {

battle_world default_world;
battle_world* installed_world = nullptr;
bool inventory_open = false;

// The first living member standing in the sector on the loaded map, -1 none.
int first_member_on(int sector) {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (alive(slot) && party_members[slot].sector == sector && on_loaded_map(party_members[slot]))
            return slot;
    return -1;
}

// Items on the cursor go to the members on the view's sector; what nobody
// can take lies down there.
void hand_out_held() {
    held_list& held = game_held();
    for (int slot = 0; slot < PARTY_SLOTS && !held.empty(); ++slot) {
        party_member& m = party_members[slot];
        if (!alive(slot) || m.sector != party.sector || !on_loaded_map(m)) continue;
        give_items(game_items(), m, held, true);
    }
    if (!held.empty() && fight_map::is_sector(party.sector)) drop_items(party.sector, 0, held);
    held.clear();
}

class battle_panel final : public panel_battle {
  public:
    bool running() const override { return monster_battle.battle; }
    int state() const override { return battle.phase; }
    int walking_member() const override { return ::walking_member(); }
};
battle_panel the_panel;

}  // namespace

void set_battle_world(battle_world* world) {
    installed_world = world;
}
battle_world& battle_hooks() {
    return installed_world ? *installed_world : default_world;
}

bool recompute_battle_flag() {
    bool any = false;
    for (size_t slot = 0; slot < monster_table.size(); ++slot) any = any || monster_engaged(int(slot));
    monster_battle.battle = any;
    if (!any) monster_battle.ambush = false;
    return any;
}

void reset_battle() {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) free_plan(slot);
    battle = battle_state{};
    inventory_open = false;
    std::fill(std::begin(granted), std::end(granted), int16_t(0));
}

void start_battle(int target_sector) {
    monster_battle.battle = true;
    battle.began = false;
    if (fight_map::is_sector(target_sector)) current_map.coords[size_t(target_sector)].coord_flags |= 0x01;
    const int slot = first_member_on(target_sector);
    if (slot >= 0) party_state.current = slot;
}

void begin_battle() {
    battle.began = true;
    if (!group_present(party_state.current_group)) {
        lose_group();
        return;
    }
    // The map's hook may take the opening over: then no battle screen comes
    // and the cursor keeps its items, but the rounds still run.
    const bool replaced =
        party_world_hooks().raise_global_event(HOOK_BATTLE_START, party.sector, party.direction);
    if (!replaced) hand_out_held();
    battle.round = 0;
    plan_round();
    if (battle.phase == BATTLE_OFF) return;  // the group was lost meanwhile
    if (monster_battle.ambush) {
        fill_plans(false);
        start_round();
    }
    battle_hooks().changed();
}

void lose_group() {
    monster_battle.battle = false;
    monster_battle.ambush = false;
    for (monster& m : monster_table) m.state = uint8_t(m.state & ~MST_BATTLE);
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) free_plan(slot);
    battle.phase = BATTLE_OFF;
    battle.acting = -1;
    battle.order.clear();
    battle.next = 0;
    battle.began = false;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        const party_member& m = party_members[slot];
        if (!alive(slot) || m.map_hash == party_state.map_hash) continue;
        party_state.current_group = m.group;
        battle_hooks().load_map_of(slot);
        battle_hooks().changed();
        return;
    }
    party_world_hooks().raise_global_event(HOOK_DEFEAT, party.sector, party.direction);
    enter_defeat_screen(battle_hooks().defeat_text());
    battle_hooks().changed();
}

int walking_member() {
    return battle.phase == BATTLE_RUNNING || battle.phase == BATTLE_WALKING ? battle.acting : -1;
}

void inventory_closed() {
    inventory_open = false;
}

namespace battle_detail {
bool waiting_for_inventory() {
    return inventory_open;
}
void open_inventory_for(int slot) {
    inventory_open = true;
    battle_hooks().open_inventory(slot);
}
}  // namespace battle_detail

void battle_monsters_tick() {
    if (!monster_battle.battle) {
        if (battle.phase != BATTLE_OFF || battle.began) reset_battle();
        monsters_tick();
        return;
    }
    if (!battle.began) {
        begin_battle();
        return;
    }
    // The engaged monsters play their animations; the others wait for the
    // end of the round's actions to take their step.
    for (size_t slot = 0; slot < monster_table.size(); ++slot)
        if (monster_engaged(int(slot))) monster_step(int(slot));
    if (battle.phase == BATTLE_ROUND) battle_tick();
}

void battle_monsters_look() {
    monsters_look();
    if (battle.phase == BATTLE_OFF) recompute_battle_flag();
}

void install_battle() {
    // A run starts outside battle, whatever an earlier game left engaged.
    reset_battle();
    monster_battle.battle = false;
    monster_battle.ambush = false;
    monster_hooks.start_battle = start_battle;
    world_monsters.tick = battle_monsters_tick;
    world_monsters.look = battle_monsters_look;
    fight_battle.award_experience = award_experience;
    fight_battle.last_weapon = [] { return battle.last_weapon; };
    fight_battle.mutual_death_mode = [] { return battle.mutual_death; };
    map_services.in_battle = [] { return monster_battle.battle; };
    automap_hooks.in_battle = [] { return monster_battle.battle; };
    map_services.acting_member = [] { return monster_battle.battle ? battle.acting : -1; };
    set_battle_on_panel(&the_panel);
}
