// Time passing for the party: the game tick (hazards, hunger and thirst,
// regeneration, the decay of the dead) and an hour of rest.
#include <algorithm>

#include "rules/party.h"

namespace {

constexpr int HAZARD_DAMAGE = 10;

enum class supply { enough, starving, thirsty };

// One tick of food and water. Running out of food stops regeneration;
// running out of water also costs a hit point.
supply use_food_and_water(party_member& m) {
    if (party_world_hooks().game_options() & OPTION_NO_HUNGER) return supply::enough;
    m.food -= 1;
    m.water -= 1;
    if (m.food < 0) {
        m.food = 0;
        return supply::starving;
    }
    if (m.water < 0) {
        m.water = 0;
        take_hit(m, 1, false);
        return supply::thirsty;
    }
    return supply::enough;
}

// True when the hazard hit the member.
bool suffer_hazard(party_member& m) {
    int hazard = party_world_hooks().map_hazard();
    uint16_t flags = uint16_t(m.stats[STAT_FLAGS]);
    if ((hazard == 1 && !(flags & CF_HAZARD1_PROOF)) || (hazard == 2 && !(flags & CF_HAZARD2_PROOF))) {
        take_hit(m, HAZARD_DAMAGE, false);
        return true;
    }
    return false;
}

// Raises a point value towards its cap; never lowers it (a value above the
// cap stays).
void restore(int16_t& value, int amount, int cap) {
    int raised = std::min(int(value) + amount, cap);
    if (raised > value) value = int16_t(raised);
}

int tenth_rounded_up(int per_hour) {
    return per_hour > 0 ? (per_hour + 9) / 10 : 0;
}

bool on_loaded_map(const party_member& m) {
    return m.map_hash == party_state.map_hash;
}

}  // namespace

void tick_living(party_member& m) {
    if (!on_loaded_map(m)) return;
    suffer_hazard(m);
    if (m.hp <= 0) return;  // the hazard killed it
    if (use_food_and_water(m) != supply::enough) return;
    if (m.walk_steps != 0) {
        m.walk_steps = 0;
        if (m.vp > 0) m.vp -= 1;
        return;
    }
    restore(m.vp, tenth_rounded_up(m.stats[STAT_VP_REGEN]), m.stats[STAT_VP_MAX]);
    restore(m.mp, tenth_rounded_up(m.stats[STAT_MP_REGEN]), m.stats[STAT_MP_MAX]);
}

void tick_dead(party_member& m) {
    m.vp = int16_t(std::max(0, m.vp - m.stats[STAT_VP_MAX] / 4));
}

void party_game_tick() {
    for (party_member& m : party_members) {
        if (!m.used) continue;
        if (m.hp > 0)
            tick_living(m);
        else
            tick_dead(m);
    }
    party_state.rest_allowance =
        std::min(party_state.rest_allowance + REST_ALLOWANCE_PER_TICK, REST_ALLOWANCE_MAX);
}

bool rest_hour(party_member& m) {
    if (!m.used) return false;
    if (m.hp == 0 && m.vp > 0) {
        if (on_loaded_map(m)) {
            m.hp = 1;
            // Back among the living it needs a group again, or it could never die again.
            regroup();
        } else {
            m.vp = 0;
        }
    }
    if (m.hp <= 0 || !on_loaded_map(m)) return false;
    if (use_food_and_water(m) != supply::enough) return true;
    restore(m.vp, m.stats[STAT_VP_REGEN], m.stats[STAT_VP_MAX]);
    restore(m.hp, m.stats[STAT_HP_REGEN], m.stats[STAT_HP_MAX]);
    restore(m.mp, m.stats[STAT_MP_REGEN], m.stats[STAT_MP_MAX]);
    return false;
}

bool rest_tick(party_member& m) {
    if (!m.used || m.hp <= 0 || !on_loaded_map(m)) return false;
    // Nobody sleeps on through a hazard that hurts every tick.
    if (suffer_hazard(m)) return true;
    return use_food_and_water(m) != supply::enough;
}
