// Watching for the party and engaging it.
#include "core/random.h"
#include "rules/monsters_ai/monster_ai_internal.h"
#include "world/party_roster.h"

using namespace monster_ai_detail;

namespace {

bool able_to_cast(const monster& m) {
    return (m.state & MST_CAST) && m.spell > 0;
}

bool decides_to_engage(const monster& m, const target_found& target, const std::vector<member_view>& members,
                       bool& ambush) {
    if (m.stats[23] & (MF_PANIC | MF_FROZEN)) return false;
    if (m.reach < target.distance) return false;
    bool faced = false;
    for (const member_view& member : members)
        if (member.alive && member.sector == target.sector && member.direction == ((m.direction + 2) & 3))
            faced = true;
    ambush = !faced && !battle_running();
    if (target.distance == 1 && !(coord_flags(target.sector) & MC_PLAYER)) return false;
    if (battle_running() && able_to_cast(m)) return true;
    return target.distance == 1 || (target.distance > 1 && !ambush);
}

void start_battle_at(int sector, const std::vector<member_view>& members) {
    if (monster_hooks.start_battle) {
        monster_hooks.start_battle(sector);
        return;
    }
    monster_battle.battle = true;
    if (valid_sector(sector)) coord_flags(sector) |= 0x01;
    for (const member_view& member : members)
        if (member.alive && member.sector == sector) {
            roster().select(member.slot);
            break;
        }
}

}  // namespace

bool monster_ai_detail::look_in(int slot, const std::vector<member_view>& members) {
    monster& m = slot_record(slot);
    if (!(m.strategy & MS_WATCH) || monster_hooks.ignore_party) return false;
    const target_found target = find_target_in(slot, members);
    if (target.member < 0) return false;
    m.strategy |= MS_WALK;
    if (target.distance > 0 && can_enter(m, m.sector, target.direction) != ENTER_BLOCKED) {
        if (at_goal(m) || m.direction != target.direction) {
            m.direction = static_cast<int16_t>(target.direction);
            if ((m.strategy & MS_BIG) && !at_goal(m)) {
                m.goal_x = m.goal_y = 128;
            } else {
                m.goal_x = exit_goal_x[target.direction];
                m.goal_y = exit_goal_y[target.direction];
            }
        }
    }
    bool engaged = false;
    bool ambush = false;
    if (decides_to_engage(m, target, members, ambush)) {
        stand(slot);
        m.state |= MST_BATTLE;
        m.target_sector = static_cast<int16_t>(target.sector);
        if (!battle_running()) {
            // The monsters strike first when the party did not face them.
            monster_battle.ambush = ambush;
            start_battle_at(target.sector, members);
        }
        engaged = true;
    }
    play(slot, 0);
    return engaged;
}

bool look_for_party(int slot) {
    return look_in(slot, refresh_party());
}

bool monsters_look() {
    const std::vector<member_view>& members = refresh_party();
    bool engaged = false;
    for (size_t slot = 0; slot < monster_table.size(); ++slot) {
        const monster& m = monster_table[slot];
        if (!m.alive() || !(m.strategy & MS_WATCH)) continue;
        look_in(static_cast<int>(slot), members);
        if (m.alive() && (m.state & MST_BATTLE)) engaged = true;
    }
    if (engaged) monster_battle.battle = true;
    return monster_battle.battle;
}

bool monster_allows_step(int sector) {
    // The party walks only through monsters that let it pass (PASSABLE).
    for (int slot = first_slot_in(sector); slot >= 0;) {
        const monster& m = monster_table[static_cast<size_t>(slot)];
        if (m.alive() && !(m.state & MST_PASSABLE)) return false;
        const int next = m.next_in_sector - 1;
        slot = next != slot && next >= 0 && next < MONSTER_SLOTS ? next : -1;
    }
    return true;
}
