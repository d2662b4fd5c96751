// The table binding, the sector occupancy, the hooks and the small helpers
// the other files share.
#include <algorithm>

#include "rules/monsters_ai/monster_ai_internal.h"
#include "rules/party.h"
#include "world/party_roster.h"
#include "world/rest.h"

using namespace monster_ai_detail;

monster_battle_state monster_battle;
monster_ai_hooks monster_hooks;

namespace {
std::vector<member_view> party_members_seen;
}  // namespace

namespace monster_ai_detail {

const std::vector<member_view>& refresh_party() {
    party_members_seen.clear();
    const party_roster& members = roster();
    for (int i = 0; i < members.slots(); ++i) {
        const roster_member r = members.member(i);
        if (!r.used || !r.on_this_map) continue;
        party_members_seen.push_back({i, r.sector, r.direction, r.alive(), (r.flags & 0x0001) != 0});
    }
    return party_members_seen;
}

const std::vector<member_view>& party_seen() {
    return party_members_seen;
}

uint32_t game_options() {
    return party_world_hooks().game_options();
}

bool battle_running() {
    return monster_battle.battle;
}

bool party_rests() {
    return rest_state.resting;
}

int sector_partner(int slot) {
    const monster& m = monster_table[static_cast<size_t>(slot)];
    if (m.state & MST_MOB) return -1;
    const int first = first_slot_in(m.sector);
    if (first < 0) return -1;
    if (first != slot) return first;
    const int second = m.next_in_sector - 1;
    return second >= 0 && second < MONSTER_SLOTS ? second : -1;
}

void stand(int slot) {
    monster& m = monster_table[static_cast<size_t>(slot)];
    const int d = m.direction & 3;
    if (m.strategy & MS_BIG) {
        m.goal_x = m.goal_y = 128;
        return;
    }
    m.goal_x = stand_x[d];
    m.goal_y = stand_y[d];
    const int partner = sector_partner(slot);
    if (partner < 0) return;
    // Side by side across the facing: the first in the sector at 104, the second at 152.
    const uint8_t across = first_slot_in(m.sector) == slot ? 104 : 152;
    if (d == 0 || d == 2)
        m.goal_x = across;
    else
        m.goal_y = across;
}

void sort_out_partners(int sector) {
    const int first = first_slot_in(sector);
    if (first < 0) return;
    stand(first);
    const int second = monster_table[static_cast<size_t>(first)].next_in_sector - 1;
    if (second >= 0 && second < MONSTER_SLOTS) stand(second);
}

void play(int slot, int index) {
    if (monster_hooks.sound) monster_hooks.sound(slot, index);
}

int direction_to(int from, int to) {
    if (!valid_sector(from) || !valid_sector(to)) return -1;
    for (int d = 0; d < 4; ++d)
        if (neighbour(from, d) == to) return d;
    return -1;
}

}  // namespace monster_ai_detail

void stand_monster(int slot) {
    if (slot >= 0 && slot < MONSTER_SLOTS) stand(slot);
}
