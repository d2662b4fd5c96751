// Load and defence, groups, and characters joining the party.
#include "rules/party.h"

namespace {

int item_weight(int item_number) {
    const item_def* item = party_item(item_number);
    return item ? item->weight : 0;
}

}  // namespace

int carried_weight(const party_member& m) {
    int backpack = 0;
    for (int n : m.inventory) backpack += item_weight(n);
    int worn = 0;
    for (int n : m.worn) worn += item_weight(n);
    return backpack * 3 / 2 + worn;
}

int overload(const party_member& m) {
    int capacity = 20 * m.stats[STAT_STRENGTH];
    int load = carried_weight(m);
    return load > capacity ? (load - capacity) / 200 : 0;
}

bool can_dodge(party_member& m) {
    if (m.vp < m.stats[STAT_SPEED] / 2 || m.stats[STAT_SPEED] < 4) return false;
    m.vp -= 1;
    return true;
}

void regroup() {
    for (party_member& m : party_members) m.group = 0;
    int next = 1;
    for (int i = 0; i < PARTY_SLOTS; ++i) {
        party_member& first = party_members[i];
        if (!first.used || first.hp <= 0 || first.group != 0) continue;
        first.group = uint8_t(next);
        for (int j = i + 1; j < PARTY_SLOTS; ++j) {
            party_member& other = party_members[j];
            if (other.used && other.hp > 0 && other.group == 0 && other.sector == first.sector &&
                other.map_hash == first.map_hash)
                other.group = uint8_t(next);
        }
        ++next;
    }
    const party_world& world = party_world_hooks();
    for (const party_member& m : party_members) {
        if (m.used && m.group != 0 && m.sector == world.view_sector() &&
            m.direction == world.view_direction()) {
            party_state.current_group = m.group;
            break;
        }
    }
}

bool join_from_definition(int definition) {
    if (definition < 0 || definition >= CHARACTER_DEFINITIONS) return true;
    if (!character_definitions[definition].used) return true;  // an empty definition: nobody to join
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        party_member& m = party_members[slot];
        if (m.used) continue;
        party_world& world = party_world_hooks();
        m = character_definitions[definition];
        m.sector = int16_t(world.view_sector());
        m.direction = uint8_t(world.view_direction());
        m.group = uint8_t(party_state.current_group);
        m.map_hash = party_state.map_hash;
        world.rebind_portraits(slot);
        if (slot == PARTY_SLOTS - 1) world.party_full();
        return false;
    }
    return true;
}

int remove_fallen_summoned() {
    int kept = 0, removed = 0, current = -1;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        party_member& m = party_members[slot];
        if (m.used && m.hp <= 0 && (m.stats[STAT_FLAGS] & CF_SUMMONED)) {
            ++removed;
            continue;
        }
        // The shown character moves down with its record.
        if (slot == party_state.current) current = kept;
        if (kept != slot) party_members[kept] = m;
        ++kept;
    }
    if (removed == 0) return 0;
    for (int slot = kept; slot < PARTY_SLOTS; ++slot) party_members[slot] = party_member{};
    party_state.current = current;
    for (int slot = 0; slot < kept; ++slot)
        if (party_members[slot].used) party_world_hooks().rebind_portraits(slot);
    return removed;
}

bool party_holds_item(int item_number) {
    int wanted = item_number < 0 ? -item_number : item_number;
    if (wanted == 0) return false;
    auto same = [wanted](int n) { return n == wanted || n == -wanted; };
    for (const party_member& m : party_members) {
        if (!m.used) continue;
        for (int n : m.worn)
            if (same(n)) return true;
        for (int n : m.inventory)
            if (same(n)) return true;
    }
    return false;
}
