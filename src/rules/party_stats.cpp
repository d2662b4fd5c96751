// Effective statistics from the base values and the worn items; the food and
// water reserves that the maximum hit points allow.
#include <algorithm>
#include <cmath>

#include "rules/party.h"

namespace {

int16_t saturate16(long v) {
    return int16_t(std::clamp<long>(v, -32768, 32767));
}

// Two resistances combine like velocities under a limit of 90, so that no
// number of items below 90 reaches 90. A denominator at or below zero (only
// possible when one side is -90 or less) has no such meaning; the values are
// then simply added.
int16_t combine_resistance(int s, int m) {
    double denominator = 1.0 + double(s) * double(m) / 8100.0;
    double combined = denominator > 0.0 ? std::floor((s + m) / denominator + 0.5) : double(s + m);
    if (!std::isfinite(combined)) combined = s + m;
    return int16_t(std::clamp(combined, -32768.0, 32767.0));
}

void add_worn_item(party_member& m, const item_def& item) {
    for (int j = 0; j < STAT_CLAMPED_COUNT; ++j) {
        if ((j == STAT_ATTACK_MIN || j == STAT_ATTACK_MAX) && item.type == IT_THROWN) continue;
        int mod = item.mods[j];
        if (j >= STAT_RESIST && j < STAT_RESIST + STAT_RESIST_COUNT)
            m.stats[j] = combine_resistance(m.stats[j], mod);
        else
            m.stats[j] = saturate16(long(m.stats[j]) + mod);
    }
    m.stats[STAT_DAMAGE_BONUS] = saturate16(long(m.stats[STAT_DAMAGE_BONUS]) + item.damage_bonus);
    m.stats[STAT_FLAGS] = int16_t(m.stats[STAT_FLAGS] | item.flags_given);
}

}  // namespace

int32_t food_capacity(const party_member& m) {
    return (m.stats[STAT_HP_MAX] / 2 + 48) * TICKS_PER_HOUR;
}
int32_t water_capacity(const party_member& m) {
    return (m.stats[STAT_HP_MAX] / 3 + 24) * TICKS_PER_HOUR;
}

void recompute_stats(party_member& m) {
    if (m.inventory_size > BACKPACK_MAX) m.inventory_size = BACKPACK_MAX;
    std::copy(m.base_stats, m.base_stats + STAT_COUNT, m.stats);
    for (int slot = 0; slot < WORN_SLOTS; ++slot)
        if (const item_def* item = party_item(m.worn[slot])) add_worn_item(m, *item);
    for (int j = 0; j < STAT_CLAMPED_COUNT; ++j)
        m.stats[j] = int16_t(std::clamp<int>(m.stats[j], stat_min(j), stat_max(j)));
    m.hp = std::min(m.hp, m.stats[STAT_HP_MAX]);
    m.vp = std::min(m.vp, m.stats[STAT_VP_MAX]);
    m.food = std::min(m.food, food_capacity(m));
    m.water = std::min(m.water, water_capacity(m));
}

void eat_food(party_member& m, int hours) {
    m.food = int32_t(std::clamp<long long>(m.food + (long long)hours * TICKS_PER_HOUR, 0, food_capacity(m)));
    party_world_hooks().play_sound("jidlo.wav", m.sector);
}

void drink_water(party_member& m, int hours) {
    m.water =
        int32_t(std::clamp<long long>(m.water + (long long)hours * TICKS_PER_HOUR, 0, water_capacity(m)));
}
