// What an effect does to its target: finding it, its resistance, and the
// changes to its statistics and state flags that are recorded for undoing.
#include <algorithm>

#include "core/random.h"
#include "monsters/monsters.h"
#include "rules/party.h"
#include "rules/spells/spells_internal.h"

namespace spell_detail {

namespace {

int16_t clamp16(long value) {
    return int16_t(std::clamp<long>(value, INT16_MIN, INT16_MAX));
}

// A member whose points may have outgrown a lowered maximum.
void cap_points(party_member& m) {
    recompute_stats(m);
    m.hp = std::min(m.hp, m.stats[STAT_HP_MAX]);
    m.vp = std::min(m.vp, m.stats[STAT_VP_MAX]);
    m.mp = std::min(m.mp, m.stats[STAT_MP_MAX]);
}

// Where the member's own statistics live: while another spell holds it
// transformed, an effect that began before keeps working on the saved record.
party_member& own_record(party_member& m, const effect_slot& e) {
    const bool shape = (m.base_stats[STAT_FLAGS] & CF_TRANSFORMED) != 0;
    if (shape && m.saved_self && !e.transformed && !(e.flags & EF_TRANSFORMED)) return *m.saved_self;
    return m;
}

}  // namespace

party_member* target_member(const effect_slot& e) {
    if (e.target <= 0 || e.target > PARTY_SLOTS) return nullptr;
    party_member& m = party_members[e.target - 1];
    return m.used ? &m : nullptr;
}

monster* target_monster(const effect_slot& e) {
    if (e.target >= 0 || e.target < -MONSTER_SLOTS) return nullptr;
    monster& m = monster_table[size_t(-e.target - 1)];
    return m.alive() ? &m : nullptr;
}

int target_sector(const effect_slot& e) {
    if (const party_member* m = target_member(e)) return m->sector;
    if (const monster* m = target_monster(e)) return m->sector;
    return 0;
}

int target_resistance(const effect_slot& e) {
    // An element outside the five has nothing to resist.
    if (e.def.element >= STAT_RESIST_COUNT) return 0;
    const int index = STAT_RESIST + e.def.element;
    if (const party_member* m = target_member(e)) return m->stats[index];
    if (const monster* m = target_monster(e)) return m->stats[index];
    return 0;
}

bool resistance_allows(const effect_slot& e) {
    if (!e.def.resistible) return true;
    return random(100) < 100 - target_resistance(e);
}

void change_stat(effect_slot& e, int index, int amount) {
    if (index < 0 || index >= STAT_COUNT || amount == 0) return;
    // The record of changes holds 16 bits; what would not fit is not applied.
    const int recorded = e.changes[index];
    amount = std::clamp(amount, INT16_MIN - recorded, INT16_MAX - recorded);
    if (party_member* target = target_member(e)) {
        party_member& m = own_record(*target, e);
        const int16_t before = m.base_stats[index];
        m.base_stats[index] = clamp16(long(before) + amount);
        e.changes[index] = int16_t(recorded + (m.base_stats[index] - before));
        cap_points(m);
        if (&m != target) cap_points(*target);
    } else if (monster* m = target_monster(e)) {
        const int16_t before = m->stats[index];
        m->stats[index] = clamp16(std::max(0L, long(before) + amount));
        e.changes[index] = int16_t(recorded + (m->stats[index] - before));
    }
}

void set_state_flags(effect_slot& e, uint16_t flags) {
    // Bit 15 marks a transformation and belongs to the transforming spell.
    flags &= uint16_t(~CF_TRANSFORMED);
    if (party_member* target = target_member(e)) {
        party_member& m = own_record(*target, e);
        m.base_stats[STAT_FLAGS] = int16_t(uint16_t(m.base_stats[STAT_FLAGS]) | flags);
        cap_points(m);
    } else if (monster* m = target_monster(e)) {
        m->stats[STAT_FLAGS] = int16_t(uint16_t(m->stats[STAT_FLAGS]) | flags);
    } else {
        return;
    }
    e.flags |= flags;
}

void clear_state_flags(effect_slot& e, uint16_t flags) {
    flags &= uint16_t(~CF_TRANSFORMED);
    if (party_member* target = target_member(e)) {
        party_member& m = own_record(*target, e);
        m.base_stats[STAT_FLAGS] = int16_t(uint16_t(m.base_stats[STAT_FLAGS]) & ~flags);
        cap_points(m);
    } else if (monster* m = target_monster(e)) {
        m->stats[STAT_FLAGS] = int16_t(uint16_t(m->stats[STAT_FLAGS]) & ~flags);
    } else {
        return;
    }
    // A bit cleared again is not taken back when the effect ends.
    e.flags &= ~uint32_t(flags);
}

int caster_member(const effect_slot& e) {
    if (e.caster < 0 || e.caster >= PARTY_SLOTS || !party_members[e.caster].used) return -1;
    return e.caster;
}

}  // namespace spell_detail
