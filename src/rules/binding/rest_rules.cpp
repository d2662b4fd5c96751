#include "rules/binding/rest_rules.h"

#include "rules/party.h"
#include "world/character_rules.h"

namespace {

party_member* used_member(int slot) {
    if (slot < 0 || slot >= PARTY_SLOTS || !party_members[slot].used) return nullptr;
    return &party_members[slot];
}

int allowance() {
    return party_state.rest_allowance;
}

void spend_tick() {
    if (party_state.rest_allowance > 0) --party_state.rest_allowance;
}

bool hour_of_rest(int slot) {
    party_member* m = used_member(slot);
    return m && rest_hour(*m);
}

bool tick_of_rest(int slot) {
    party_member* m = used_member(slot);
    return m && rest_tick(*m);
}

int penalty(int slot) {
    const party_member* m = used_member(slot);
    return m ? overload(*m) : 0;
}

// A step outside battle: the load costs condition (not below 0), and the
// steps granted by a battle walk are forgotten.
void walked(int slot) {
    party_member* m = used_member(slot);
    if (!m || m->hp <= 0) return;
    m->walk_steps = 0;
    const int cost = overload(*m);
    if (cost > 0) m->vp = static_cast<int16_t>(m->vp > cost ? m->vp - cost : 0);
}

}  // namespace

void install_rest_rules() {
    character_rules.rest_allowance = allowance;
    character_rules.spend_rest_tick = spend_tick;
    character_rules.rest_hour = hour_of_rest;
    character_rules.rest_tick = tick_of_rest;
    character_rules.load_penalty = penalty;
    character_rules.walked = walked;
}
