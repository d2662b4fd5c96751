// The party's and the items' entries of the world's tables: what the map's
// places do to a character and what the map's scripts ask of the party, the
// item table and the hand, all through the rules.
#include <cstring>
#include <string>

#include "base/strings.h"
#include "core/random.h"
#include "rules/binding/world_binding.h"
#include "rules/inventory.h"
#include "rules/items.h"
#include "rules/party.h"
#include "world/map_services.h"
#include "world/panel.h"
#include "world/party_rules.h"

void install_party_binding();
void remove_party_binding();

namespace {

party_member* member_at(int slot) {
    if (slot < 0 || slot >= PARTY_SLOTS || !party_members[slot].used) return nullptr;
    return &party_members[slot];
}

// ---------------------------------------------------------------- the map's places

// Damage from the map goes through the magic shield like any other hit.
void hurt(int slot, int amount) {
    if (party_member* m = member_at(slot); m && amount > 0) take_hit(*m, amount, true);
}

void harm(int slot, int strength) {
    if (const party_member* m = member_at(slot)) hurt(slot, m->hp >= 4 ? 3 : strength);
}

void kill(int slot) {
    party_member* m = member_at(slot);
    if (!m || m->hp <= 0) return;
    m->hp = 0;
    check_death(*m, true);
}

void tire(int slot, bool after_move) {
    party_member* m = member_at(slot);
    if (!m || m->hp <= 0) return;
    const int loss = after_move ? 20 : 2;
    m->vp = static_cast<int16_t>(loss >= m->vp ? 0 : m->vp - loss);
    if (m->vp == 0) kill(slot);  // drowned
}

void fall(int slot) {
    if (const party_member* m = member_at(slot)) {
        const int most = m->stats[STAT_HP_MAX];
        hurt(slot, random(most / 2) + most / 3);
    }
}

// ---------------------------------------------------------------- the map's scripts

void give_experience(int slot, int amount) {
    if (party_member* m = member_at(slot)) add_experience(*m, amount);
}

int member_level(int slot) {
    const party_member* m = member_at(slot);
    return m ? m->level : 0;
}

void party_tick() {
    party_game_tick();
}

int item_count() {
    return game_items().size();
}

bool carries(const party_member& m, int item) {
    for (int16_t n : m.worn)
        if (n == item) return true;
    for (int16_t n : m.inventory)
        if (n == item) return true;
    return false;
}

// In the backpack, worn, or (for the current character) in the hand.
bool member_carries(int slot, int item) {
    const party_member* m = member_at(slot);
    if (!m || item <= 0) return false;
    if (carries(*m, item)) return true;
    const held_list& held = game_held();
    return slot == party_state.current && !held.empty() && held.front() == item;
}

int key_code(int item) {
    const item_def* def = game_items().find(item);
    return def ? def->key_code : 0;
}

int lock_picking(int slot) {
    const party_member* m = member_at(slot);
    return m && m->hp > 0 ? m->stats[STAT_DEXTERITY] : 0;
}

int held_item() {
    const held_list& held = game_held();
    return held.empty() ? 0 : held.front();
}

void destroy_held() {
    held_list& held = game_held();
    game_items().destroy_items(held);
    held.clear();
}

void break_held_pick() {
    destroy_held();
}

void give_held(int item) {
    if (!game_items().valid(item)) return;
    held_list& held = game_held();
    held.clear();
    held.push_back(static_cast<int16_t>(item));
}

int add_item_def(const uint8_t* record, int size) {
    item_def def;
    if (!record || size < 0 || !read_item_def(record, static_cast<size_t>(size), def)) return 0;
    return game_items().clone_record(def);
}

// Game texts 154-159: opened, stayed shut, broken; the female form follows
// the male one.
void lock_pick_message(int slot, int outcome) {
    const party_member* m = member_at(slot);
    if (!m) return;
    constexpr int first_text[3] = {158, 154, 156};  // broken, opened, failed
    if (outcome < 0 || outcome > 2) return;
    const char* format = string_list_get(ui_strings, first_text[outcome] + (m->female ? 1 : 0));
    if (!format) return;
    // The text names the character with its first %s; it is never used as a
    // format, so a stray % in it prints as it stands.
    std::string line = format;
    if (const size_t at = line.find("%s"); at != std::string::npos)
        line.replace(at, 2, std::string(m->name, strnlen(m->name, sizeof m->name)));
    show_panel_message(line);
}

}  // namespace

void install_rules_into_world() {
    install_game_items();
    install_party_binding();

    party_rules.hurt = hurt;
    party_rules.harm = harm;
    party_rules.tire = tire;
    party_rules.fall = fall;
    party_rules.kill = kill;

    map_services_table& s = map_services;
    s.hurt_member = hurt;
    s.give_experience = give_experience;
    s.member_level = member_level;
    s.party_tick = party_tick;
    s.item_count = item_count;
    s.member_carries = member_carries;
    s.key_code = key_code;
    s.lock_picking = lock_picking;
    s.break_held_pick = break_held_pick;
    s.lock_pick_message = lock_pick_message;
    s.held_item = held_item;
    s.destroy_held = destroy_held;
    s.give_held = give_held;
    s.add_item_def = add_item_def;
}

void remove_rules_from_world() {
    remove_party_binding();
    reset_party_rules();
    reset_map_services();
}
