// Damage, healing and death of a character.
#include <algorithm>
#include <cstdio>

#include "core/random.h"
#include "rules/party.h"

namespace {

bool reaction_suppressed = false;

// Sector state flags the party rules touch.
constexpr uint8_t SECTOR_PARTY_STANDS = 0x04;
constexpr uint8_t SECTOR_BODY_LIES = 0x08;

// Map events raised for a character.
constexpr int EVENT_DIED_MALE = 14, EVENT_DIED_FEMALE = 15;
constexpr int EVENT_HURT_MALE = 17, EVENT_HURT_FEMALE = 18;

// Sector types where a body is lost (it falls or sinks out of reach).
bool body_is_lost_on(int type) {
    return type == 4 || type == 9 || type == 20;
}

constexpr int BOUND_SLOTS = 9;  // equipment slots 0..8 lose bound items at death

void react_to_hit(party_member& m) {
    party_world& world = party_world_hooks();
    int event = m.female ? EVENT_HURT_FEMALE : EVENT_HURT_MALE;
    if (!world.raise_global_event(event, m.sector, m.direction)) {
        static const char* const pain[2][2] = {{"jauu1m.wav", "jauu2m.wav"}, {"jauu1f.wav", "jauu2f.wav"}};
        world.play_sound(pain[m.female ? 1 : 0][random(2)], m.sector);
    }
    world.show_damage_later(party_slot_of(m), 100 + random(100));
}

bool someone_alive_on(int sector, uint32_t map_hash) {
    for (const party_member& other : party_members)
        if (other.used && other.hp > 0 && other.sector == sector && other.map_hash == map_hash) return true;
    return false;
}

}  // namespace

void suppress_next_hit_reaction() {
    reaction_suppressed = true;
}

bool take_hit(party_member& m, int amount, bool through_shield) {
    bool react = !reaction_suppressed;
    reaction_suppressed = false;
    if (m.hp == 0) return false;
    if (amount <= 0) {
        m.hp = int16_t(std::min<long>(long(m.hp) - amount, m.stats[STAT_HP_MAX]));
        return false;
    }
    party_world& world = party_world_hooks();
    if (world.combat_log()) {
        char line[96];
        std::snprintf(line, sizeof line, "%s was hit: %d, lives: %d\n", m.name, amount, m.hp - amount);
        world.console_print(line);
    }
    int loss = std::min<int>(m.hp, amount);
    m.last_damage = int16_t(loss);
    if (through_shield && (m.stats[STAT_FLAGS] & CF_MAGIC_SHIELD)) {
        m.mp = int16_t(m.mp - std::min<int>(loss, std::max<int>(m.mp, 0)));
        if (m.mp <= 0) m.stats[STAT_FLAGS] = int16_t(m.stats[STAT_FLAGS] & ~CF_MAGIC_SHIELD);
    } else {
        m.hp = int16_t(m.hp - loss);
    }
    if (react) react_to_hit(m);
    if (world.iron_skin()) m.hp = m.stats[STAT_HP_MAX];
    return check_death(m, false);
}

bool check_death(party_member& m, bool immediate) {
    party_world& world = party_world_hooks();
    m.used = uint8_t(m.used & ~USED_DYING);
    if (m.hp <= 0 && m.group != 0) {
        if (!world.battle_running() || immediate) {
            if (m.base_stats[STAT_FLAGS] & CF_TRANSFORMED) {
                world.cancel_transformation(m);
                return false;
            }
            bool lost_items = false;
            for (int slot = 0; slot < BOUND_SLOTS; ++slot) {
                const item_def* item = party_item(m.worn[slot]);
                if (item && (item->item_flags & IF_BOUND)) {
                    world.destroy_item(m.worn[slot]);
                    m.worn[slot] = 0;
                    lost_items = true;
                }
            }
            // A body revived later must not keep what the vanished items gave.
            if (lost_items) recompute_stats(m);
            m.group = 0;
            m.hp = 0;
            m.mp = 0;
            if (!someone_alive_on(m.sector, m.map_hash))
                world.change_sector_flags(m.sector, 0, SECTOR_PARTY_STANDS);
            if (body_is_lost_on(world.sector_type(m.sector)))
                m.sector = 0;
            else
                world.change_sector_flags(m.sector, SECTOR_BODY_LIES, 0);
            world.raise_global_event(m.female ? EVENT_DIED_FEMALE : EVENT_DIED_MALE, world.view_sector(),
                                     world.view_direction());
            return true;
        }
        if (m.hp < 0) m.hp = 0;
        m.used = uint8_t(m.used | USED_DYING);
    }
    if (m.hp > m.stats[STAT_HP_MAX]) m.hp = m.stats[STAT_HP_MAX];
    return false;
}
