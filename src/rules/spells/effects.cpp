// The 500 effect slots: starting an effect, ending it with everything it did
// taken back, the waits on the game's clocks, and the global effects.
#include <algorithm>
#include <array>

#include "monsters/monsters.h"
#include "rules/party.h"
#include "rules/spells/spells_internal.h"

namespace {

std::array<effect_slot, EFFECT_SLOTS> slots;
uint32_t global_flags = 0;

spell_world default_world;
spell_world* world = &default_world;

bool holds_target(const effect_slot& e, int target) {
    return e.used && e.target == target;
}

// The member's own record comes back in place of the shape: it stands where
// the shape stood, in its group and with its plan.
void restore_own_record(party_member& m) {
    if (!m.saved_self) return;
    party_member own = *m.saved_self;
    delete m.saved_self;
    own.saved_self = nullptr;
    own.used = m.used;
    own.sector = m.sector;
    own.direction = m.direction;
    own.group = m.group;
    own.map_hash = m.map_hash;
    own.plan = m.plan;
    own.plan_cursor = m.plan_cursor;
    own.planned = m.planned;
    own.actions_left = m.actions_left;
    own.base_stats[STAT_FLAGS] = int16_t(uint16_t(own.base_stats[STAT_FLAGS]) & ~CF_TRANSFORMED);
    m = own;
}

// Frees a slot without taking anything back (its target is gone, or the
// shape it changed no longer exists).
void drop_slot(effect_slot& e) {
    e = effect_slot{};
}

void undo_on_member(party_member& m, const effect_slot& e) {
    for (int i = 0; i < STAT_COUNT; ++i)
        m.base_stats[i] =
            int16_t(std::clamp<long>(long(m.base_stats[i]) - e.changes[i], INT16_MIN, INT16_MAX));
    const uint16_t set = uint16_t(e.flags & 0x7FFF);
    m.base_stats[STAT_FLAGS] = int16_t(uint16_t(m.base_stats[STAT_FLAGS]) & ~set);
    recompute_stats(m);
    // Magic points above the maximum may be a gift of the spell itself; only
    // a maximum the effect had raised takes them down with it.
    if (e.changes[STAT_MP_MAX] > 0) m.mp = std::min(m.mp, m.stats[STAT_MP_MAX]);
}

void undo_on_monster(monster& m, const effect_slot& e) {
    for (int i = 0; i < STAT_COUNT; ++i)
        m.stats[i] = int16_t(std::clamp<long>(long(m.stats[i]) - e.changes[i], 0, INT16_MAX));
    const uint16_t set = uint16_t(e.flags & 0x7FFF);
    m.stats[STAT_FLAGS] = int16_t(uint16_t(m.stats[STAT_FLAGS]) & ~set);
}

bool waiting(const effect_slot& e) {
    return e.used && (e.def.tick_wait > 0 || e.def.frame_wait > 0);
}

}  // namespace

spell_book& game_spells() {
    static spell_book book;
    return book;
}

std::span<effect_slot> effect_slots() {
    return slots;
}

void set_spell_world(spell_world* w) {
    world = w ? w : &default_world;
}

spell_world& spells_world() {
    return *world;
}

namespace spell_detail {

int slot_index(const effect_slot& e) {
    return int(&e - slots.data());
}

void recompute_globals() {
    uint32_t all = 0;
    for (const effect_slot& e : slots)
        if (e.used) all |= e.flags;
    global_flags = all;
}

}  // namespace spell_detail

int start_effect(int spell, int target, int caster, bool silent, int place) {
    const spell_def* def = game_spells().find(spell);
    if (!def) return -1;
    if (def->group != 0) {
        const int key = def->group < 0 ? -def->group : def->group;
        for (int i = 0; i < EFFECT_SLOTS; ++i) {
            const effect_slot& other = slots[size_t(i)];
            if (!holds_target(other, target) || other.def.group == 0) continue;
            if ((other.def.group < 0 ? -other.def.group : other.def.group) != key) continue;
            if (def->group < 0) return -1;
            end_effect(i);
        }
    }
    auto free_slot = std::find_if(slots.begin(), slots.end(), [](const effect_slot& e) { return !e.used; });
    if (free_slot == slots.end()) return -1;

    effect_slot& e = *free_slot;
    e = effect_slot{};
    e.used = true;
    e.def = *def;
    e.def.number = uint16_t(spell);
    e.def.caster = int16_t(std::clamp(caster, int(INT16_MIN), int(INT16_MAX)));
    e.def.frame_wait = 0;
    e.def.tick_wait = 0;
    e.target = target;
    e.caster = caster;
    e.silent = silent;
    e.place = place;
    if (party_member* m = spell_detail::target_member(e)) {
        e.transformed = (m->base_stats[STAT_FLAGS] & CF_TRANSFORMED) != 0;
        m->under_spell = 1;
    }
    const int index = spell_detail::slot_index(e);
    spell_detail::run_effect(index);
    return index;
}

void end_effect(int index) {
    if (index < 0 || index >= EFFECT_SLOTS || !slots[size_t(index)].used) return;
    effect_slot& e = slots[size_t(index)];
    const int target = e.target;
    if (party_member* m = spell_detail::target_member(e)) {
        const bool shape = (m->base_stats[STAT_FLAGS] & CF_TRANSFORMED) != 0;
        if (e.flags & EF_TRANSFORMED) {
            // The own record first; the effects bound to the shape end with it.
            restore_own_record(*m);
            const effect_slot ending = e;
            drop_slot(e);
            for (effect_slot& other : slots)
                if (holds_target(other, target) && other.transformed) drop_slot(other);
            undo_on_member(*m, ending);
        } else if (e.transformed && !shape) {
            drop_slot(e);  // bound to a shape that is gone
        } else if (shape && !e.transformed && m->saved_self) {
            undo_on_member(*m->saved_self, e);
            drop_slot(e);
        } else {
            undo_on_member(*m, e);
            drop_slot(e);
        }
        m->under_spell = std::any_of(slots.begin(), slots.end(),
                                     [&](const effect_slot& other) { return holds_target(other, target); });
    } else {
        if (monster* m = spell_detail::target_monster(e)) undo_on_monster(*m, e);
        drop_slot(e);
    }
    spell_detail::recompute_globals();
}

void cancel_transform(int member_slot) {
    if (member_slot < 0 || member_slot >= PARTY_SLOTS) return;
    for (int i = 0; i < EFFECT_SLOTS; ++i) {
        const effect_slot& e = slots[size_t(i)];
        if (holds_target(e, member_slot + 1) && (e.flags & EF_TRANSFORMED)) end_effect(i);
    }
    // A shape no effect holds any more (a game saved without the effects'
    // targets) still gives the character back.
    party_member& m = party_members[member_slot];
    if (m.saved_self) {
        restore_own_record(m);
        for (effect_slot& e : slots)
            if (holds_target(e, member_slot + 1) && e.transformed) drop_slot(e);
        recompute_stats(m);
        spell_detail::recompute_globals();
    }
}

void finish_effects() {
    // Each resumption moves an effect's code forward, so this ends; the bound
    // only guards against a wait that would come back forever.
    for (int round = 0; round < 65536; ++round) {
        bool any = false;
        for (int i = 0; i < EFFECT_SLOTS; ++i) {
            effect_slot& e = slots[size_t(i)];
            if (!e.used) continue;
            if (e.target < 0) {
                end_effect(i);
                continue;
            }
            if (!waiting(e)) continue;
            any = true;
            e.def.tick_wait = 0;
            e.def.frame_wait = 0;
            spell_detail::run_effect(i);
        }
        if (!any) break;
    }
    for (int i = 0; i < EFFECT_SLOTS; ++i)
        if (slots[size_t(i)].used && slots[size_t(i)].target < 0) end_effect(i);
}

void clear_effects() {
    for (effect_slot& e : slots) e = effect_slot{};
    for (party_member& m : party_members) m.under_spell = 0;
    global_flags = 0;
}

void effects_game_tick() {
    for (int i = 0; i < EFFECT_SLOTS; ++i) {
        effect_slot& e = slots[size_t(i)];
        if (!e.used || e.def.tick_wait <= 0) continue;
        if (--e.def.tick_wait == 0) spell_detail::run_effect(i);
    }
}

void effects_redraw() {
    for (int i = 0; i < EFFECT_SLOTS; ++i) {
        effect_slot& e = slots[size_t(i)];
        if (!e.used || e.def.frame_wait <= 0) continue;
        if (--e.def.frame_wait == 0) spell_detail::run_effect(i);
    }
}

bool true_seeing() {
    return (global_flags & EF_TRUE_SEEING) != 0;
}
bool hunting_instinct() {
    return (global_flags & EF_HUNTING_INSTINCT) != 0;
}
bool confusion() {
    return (global_flags & EF_CONFUSION) != 0;
}
int mutual_death_mode() {
    if (global_flags & EF_MUTUAL_DEATH_2) return 2;
    if (global_flags & EF_MUTUAL_DEATH_1) return 1;
    return 0;
}
