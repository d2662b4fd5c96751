// The interpreter of the spells' code: one instruction after another from
// the effect's resume offset until it waits, ends, or meets what it cannot
// read. Nothing is read past the end of the file's bytes.
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/random.h"
#include "monsters/monsters.h"
#include "rules/battle/battle.h"
#include "rules/flight/flight.h"
#include "rules/floor/floor_items.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"
#include "rules/spells/spells_internal.h"
#include "world/map.h"

namespace spell_detail {

namespace {

// Mask bits of a pair of instructions.
constexpr uint8_t FILL_A = 1, FILL_B = 2, FILL_BOTH = 3;
constexpr int ELEMENT_EVENT = 24;  // the map's hooks 24..28, one per element
constexpr int TEXT_HANDS_FULL = 86;

// The code of the running effect and where it is read.
struct code_cursor {
    std::span<const uint8_t> bytes;
    size_t pc = 0;
    bool u16(int& out) {
        if (pc + 2 > bytes.size()) return false;
        out = bytes[pc] | (bytes[pc + 1] << 8);
        pc += 2;
        return true;
    }
    bool string(std::string& out) {
        const auto begin = bytes.begin() + std::ptrdiff_t(pc);
        const auto end = std::find(begin, bytes.end(), uint8_t(0));
        if (end == bytes.end()) return false;
        out.assign(begin, end);
        pc = size_t(end - bytes.begin()) + 1;
        return true;
    }
};

int percent_of(int value, int resistance) {
    if (resistance > 100) resistance = 0;
    return value * (100 - resistance) / 100;
}

int facing(const effect_slot& e) {
    if (const party_member* m = target_member(e)) return m->direction & 3;
    if (const monster* m = target_monster(e)) return m->direction & 3;
    return 0;
}

bool target_transformed_elsewhere(const effect_slot& e) {
    const party_member* m = target_member(e);
    if (!m || !(m->base_stats[STAT_FLAGS] & CF_TRANSFORMED)) return false;
    return !e.transformed && !(e.flags & EF_TRANSFORMED);
}

void heal(party_member& m, int amount) {
    m.hp = int16_t(std::min<long>(long(m.hp) + amount, m.stats[STAT_HP_MAX]));
}

// 135/136: x >= 0 hurts, x < 0 heals, and brings a dead member back.
void damage_or_heal(effect_slot& e) {
    const int a = e.reg_a, b = e.reg_b;
    if (party_member* m = target_member(e)) {
        const int x = a + random(b - a + 1);
        if (x >= 0) {
            take_hit(*m, x, true);
            return;
        }
        if (m->hp <= 0 || m->group == 0) {
            const party_world& w = party_world_hooks();
            m->sector = int16_t(w.view_sector());
            m->direction = uint8_t(w.view_direction() & 3);
            m->map_hash = party_state.map_hash;
            m->group = uint8_t(party_state.current_group);
            m->hp = 0;
        }
        heal(*m, -x);
    } else if (target_monster(e)) {
        const int slot = -e.target - 1;
        hit_monster(slot, a + random(b - a));
        monster_death_check(slot);
    }
}

void elemental(effect_slot& e) {
    const int amount = percent_of(e.reg_a + random(e.reg_b - e.reg_a), target_resistance(e));
    if (party_member* m = target_member(e)) {
        take_hit(*m, amount, false);
    } else if (target_monster(e)) {
        const int slot = -e.target - 1;
        hit_monster(slot, amount);
        monster_death_check(slot);
    }
}

void stat_percent(effect_slot& e) {
    if (e.reg_a < 0 || e.reg_a >= STAT_COUNT) return;
    int current = 0;
    if (const party_member* m = target_member(e))
        current = m->stats[e.reg_a];
    else if (const monster* m = target_monster(e))
        current = m->stats[e.reg_a];
    else
        return;
    if (resistance_allows(e)) change_stat(e, e.reg_a, current * e.reg_b / 100);
}

// 154: the target member strikes the wall or the monster it faces.
void strike(effect_slot& e) {
    party_member* m = target_member(e);
    if (!m) return;
    const int v = e.reg_a + random(e.reg_b - e.reg_a);
    const int dir = m->direction & 3;
    int ahead = 0;
    if (m->sector > 0 && m->sector < current_map.sector_count &&
        !(current_map.sides[size_t(m->sector) * 4 + size_t(dir)].flags & SIDE_NOPLAYER))
        ahead = current_map.sectors[size_t(m->sector)].exits[size_t(dir)];
    if (ahead <= 0 || ahead >= current_map.sector_count) {
        take_hit(*m, v, false);
        return;
    }
    const int number = first_monster_in(ahead);
    monster* target = monster_by_number(number);
    if (!target) return;
    const int element = e.def.element < STAT_RESIST_COUNT ? e.def.element : -1;
    const int dealt = percent_of(v, element < 0 ? 0 : target->stats[STAT_RESIST + element]);
    hit_monster(number - 1, dealt);
    monster_death_check(number - 1);
    start_battle(ahead);
    heal(*m, dealt / 4);
}

void item_to_hand(effect_slot& e, int item) {
    party_member* m = target_member(e);
    if (!m) return;
    const item_def* in_right = party_item(m->worn[8]);
    const bool both_taken = in_right && in_right->placement == PL_TWO_HANDS;
    int16_t* hand = nullptr;
    if (!both_taken) hand = m->worn[8] == 0 ? &m->worn[8] : m->worn[7] == 0 ? &m->worn[7] : nullptr;
    if (!hand) {
        spells_world().game_text(TEXT_HANDS_FULL, m->name);
        return;
    }
    *hand = int16_t(item + 1);
    recompute_stats(*m);
}

void change_points(effect_slot& e, int op, int n) {
    party_member* m = target_member(e);
    if (op == OP_DRAIN_MAGIC) {
        if (m) {
            const int loss = m->stats[STAT_MP_MAX] * n / 100;
            m->mp = int16_t(std::max(0, m->mp - loss));
        } else if (target_monster(e)) {
            const int caster = caster_member(e);
            if (caster < 0) return;
            party_member& c = party_members[caster];
            if (c.mp < c.stats[STAT_MP_MAX])
                c.mp = int16_t(std::min(c.mp + c.stats[STAT_MP_MAX] * n / 100, int(c.stats[STAT_MP_MAX])));
        }
        return;
    }
    if (!m) return;
    const int delta = int16_t(n);  // the operand counts down as well as up
    if (op == OP_CONDITION) {
        m->vp = int16_t(std::clamp(m->vp + delta, 0, std::max(0, int(m->stats[STAT_VP_MAX]))));
    } else if (op == OP_MAGIC_UNCAPPED) {
        m->mp = int16_t(std::clamp(m->mp + delta, 0, int(INT16_MAX)));
    } else {
        m->mp = int16_t(std::clamp(m->mp + delta, 0, std::max(0, int(m->stats[STAT_MP_MAX]))));
    }
}

void launch_item(effect_slot& e, int item) {
    const int sector = target_sector(e);
    if (sector <= 0) return;
    int owner = 0;
    if (e.caster >= 0 && e.caster < PARTY_SLOTS)
        owner = e.caster + 1;
    else if (e.caster < 0 && e.caster >= -MONSTER_SLOTS)
        owner = e.caster;
    launch(owner, item + 1, sector, facing(e));
}

void drop_item(effect_slot& e, int item) {
    const int sector = target_sector(e);
    if (sector <= 0) return;
    held_list held{int16_t(item + 1)};
    drop_items(sector, random(FLOOR_QUARTERS), held);
}

// The pair is complete: the action named by the instruction that set B.
void run_pair(effect_slot& e) {
    switch (e.pair_op) {
        case OP_HIT_B:
            damage_or_heal(e);
            break;
        case OP_ELEMENTAL_B:
            elemental(e);
            break;
        case OP_STAT_ADD:
            if (resistance_allows(e)) change_stat(e, e.reg_a, e.reg_b);
            break;
        case OP_STAT_PERCENT:
            stat_percent(e);
            break;
        case OP_STRIKE_B:
            strike(e);
            break;
        case OP_AREA_B:
            e.area_strength = e.reg_a + random(e.reg_b - e.reg_a + 1);
            break;
        default:
            break;
    }
}

bool sets_a(int op) {
    return op == OP_HIT_A || op == OP_ELEMENTAL_A || op == OP_STAT_INDEX || op == OP_STRIKE_A ||
           op == OP_AREA_A;
}
bool sets_b(int op) {
    return op == OP_HIT_B || op == OP_ELEMENTAL_B || op == OP_STAT_ADD || op == OP_STAT_PERCENT ||
           op == OP_STRIKE_B || op == OP_AREA_B;
}
bool takes_u16(int op) {
    return sets_a(op) || sets_b(op) || op == OP_ELEMENT || op == OP_WAIT_TICKS || op == OP_WAIT_REDRAWS ||
           op == OP_LAUNCH || op == OP_DROP_ITEM || op == OP_ITEM_TO_HAND || op == OP_SPECIAL ||
           op == OP_SET_FLAGS || op == OP_CLEAR_FLAGS || op == OP_CONDITION || op == OP_MAGIC_UNCAPPED ||
           op == OP_MAGIC || op == OP_DRAIN_MAGIC || op == OP_TELEPORT_SECTOR ||
           op == OP_TELEPORT_DIRECTION || op == OP_TELEPORT_ACROSS || op == OP_TELEPORT_ALONG;
}
bool takes_string(int op) {
    return op == OP_ANIMATION || op == OP_SOUND || op == OP_TELEPORT_MAP;
}

enum class step { next, wait, end };

step execute(effect_slot& e, int op, int n, const std::string& text) {
    if (sets_a(op) || sets_b(op)) {
        if (e.fill == FILL_BOTH) e.fill = 0;
        if (sets_a(op)) {
            e.reg_a = int16_t(n);
            e.fill |= FILL_A;
        } else {
            e.reg_b = int16_t(n);
            e.fill |= FILL_B;
            e.pair_op = uint8_t(op);
        }
        if (e.fill == FILL_BOTH) run_pair(e);
        return step::next;
    }
    switch (op) {
        case OP_ELEMENT: {
            e.def.element = uint16_t(n);
            if (n >= STAT_RESIST_COUNT) return step::next;
            int sector = target_sector(e), direction = facing(e);
            if (const int c = caster_member(e); c >= 0) {
                sector = party_members[c].sector;
                direction = party_members[c].direction;
            }
            return party_world_hooks().raise_global_event(ELEMENT_EVENT + n, sector, direction) ? step::end
                                                                                                : step::next;
        }
        case OP_WAIT_TICKS:
            // A wait of 0 still gives the clock one tick.
            e.def.tick_wait = int16_t(std::clamp(n, 1, int(INT16_MAX)));
            return step::wait;
        case OP_WAIT_REDRAWS:
            if (caster_member(e) < 0) return step::next;
            e.def.frame_wait = int16_t(std::clamp(n, 1, int(INT16_MAX)));
            return step::wait;
        case OP_LAUNCH:
            launch_item(e, n);
            return step::next;
        case OP_DROP_ITEM:
            drop_item(e, n);
            return step::next;
        case OP_ITEM_TO_HAND:
            item_to_hand(e, n);
            return step::next;
        case OP_SPECIAL:
            return run_special_effect(e, n) ? step::next : step::end;
        case OP_ANIMATION:
            if (!e.silent && caster_member(e) >= 0) spells_world().play_animation(text);
            return step::next;
        case OP_SOUND:
            if (!e.silent && caster_member(e) >= 0) spells_world().play_sound(text, target_sector(e));
            return step::next;
        case OP_SET_FLAGS:
            if (resistance_allows(e)) set_state_flags(e, uint16_t(n));
            return step::next;
        case OP_CLEAR_FLAGS:
            if (resistance_allows(e)) clear_state_flags(e, uint16_t(n));
            return step::next;
        case OP_CONDITION:
        case OP_MAGIC_UNCAPPED:
        case OP_MAGIC:
        case OP_DRAIN_MAGIC:
            change_points(e, op, n);
            return step::next;
        case OP_TELEPORT_SECTOR:
            e.dest_sector = n;
            e.dest_across = e.dest_along = 0;
            return step::next;
        case OP_TELEPORT_MAP:
            e.dest_map = text;
            return step::next;
        case OP_TELEPORT_DIRECTION:
            e.dest_direction = n;
            return step::next;
        case OP_TELEPORT_ACROSS:
            e.dest_across = int16_t(n);
            return step::next;
        case OP_TELEPORT_ALONG:
            e.dest_along = int16_t(n);
            return step::next;
        default:
            return step::end;
    }
}

}  // namespace

void instruction_error(effect_slot& e, int opcode) {
    char text[200];
    std::snprintf(
        text, sizeof text,
        "Chyba v popisu kouzel: Program narazil na neznamou instrukci %d (%02X) pri zpracovani kouzla s "
        "cislem %d. Kouzlo bylo ukon\x87"
        "eno",
        opcode, opcode, int(e.def.number));
    spells_world().error(text);
    end_effect(slot_index(e));
}

void run_effect(int slot) {
    effect_slot& e = effect_slots()[size_t(slot)];
    if (!e.used) return;
    if (!target_member(e) && !target_monster(e)) {
        end_effect(slot);  // the target is gone: nobody to change or give back
        return;
    }
    if (target_transformed_elsewhere(e)) {
        e.def.tick_wait = std::max<int16_t>(e.def.tick_wait, 1);  // held until the shape is gone
        return;
    }
    const spell_book& book = game_spells();
    code_cursor code{book.bytes, size_t(std::max(0, e.def.code))};
    // The code only moves forward, so the loop ends at the file's end.
    while (e.used) {
        if (code.pc >= code.bytes.size()) {
            instruction_error(e, 0);
            return;
        }
        const int op = code.bytes[code.pc++];
        if (op == OP_END) {
            end_effect(slot);
            return;
        }
        int n = 0;
        std::string text;
        if (!takes_u16(op) && !takes_string(op)) {
            instruction_error(e, op);
            return;
        }
        if ((takes_u16(op) && !code.u16(n)) || (takes_string(op) && !code.string(text))) {
            instruction_error(e, op);
            return;
        }
        e.def.code = int32_t(code.pc);
        const step next = execute(e, op, n, text);
        if (!e.used) return;  // ended from inside (a special effect, a replaced copy)
        if (next == step::end) {
            end_effect(slot);
            return;
        }
        if (next == step::wait) return;
    }
}

}  // namespace spell_detail
