// Experience and levels, attribute points and weapon practice.
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/random.h"
#include "rules/party.h"

// Entry k: the experience that reaches level k + 2. The last entry is never reached.
const int32_t experience_table[MAX_LEVEL] = {
    400,      1000,     1800,      2800,      5000,      8400,      13000,     20000,
    30000,    45000,    70000,     110000,    180000,    300000,    500000,    800000,
    1300000,  2000000,  3000000,   4500000,   6500000,   10000000,  11000000,  13000000,
    16000000, 20000000, 25000000,  32000000,  40000000,  50000000,  60000000,  70000000,
    80000000, 90000000, 100000000, 110000000, 120000000, 130000000, 140000000, 2147483647};

// Practice totals at which skill level s rises to s + 1.
const int16_t skill_table[10] = {20, 40, 80, 160, 320, 640, 1280, 2560, 5120, 10240};

namespace {

constexpr int MAX_SKILL = 9;
constexpr int POINTS_PER_LEVEL = 5;
constexpr int ATTRIBUTE_CAP = 100;

bool transformed(const party_member& m) {
    return (m.base_stats[STAT_FLAGS] & CF_TRANSFORMED) != 0;
}

int16_t add16(int16_t a, int b) {
    return int16_t(std::clamp(int(a) + b, -32768, 32767));
}

// The strongest of strength, magic power and dexterity gains most.
void apply_level_gains(party_member& m) {
    int order[3] = {STAT_STRENGTH, STAT_MAGIC_POWER, STAT_DEXTERITY};
    auto swap_if_higher = [&](int a, int b) {
        if (m.stats[order[b]] > m.stats[order[a]]) std::swap(order[a], order[b]);
    };
    swap_if_higher(0, 1);
    swap_if_higher(1, 2);
    swap_if_higher(0, 1);
    int first = random(5) + 1;
    int second = random(3) + 1;
    int gains[3] = {first, second, 1};
    for (int i = 0; i < 3; ++i) {
        int g = gains[i];
        switch (order[i]) {
            case STAT_STRENGTH:
                m.base_stats[STAT_HP_MAX] = add16(m.base_stats[STAT_HP_MAX], g);
                m.hp = add16(m.hp, g);
                break;
            case STAT_MAGIC_POWER:
                if (m.base_stats[STAT_MAGIC_POWER] != 0) {
                    m.base_stats[STAT_MP_MAX] = add16(m.base_stats[STAT_MP_MAX], g);
                    m.mp = add16(m.mp, g);
                }
                break;
            default:
                m.base_stats[STAT_VP_MAX] = add16(m.base_stats[STAT_VP_MAX], g);
                m.vp = add16(m.vp, g);
                break;
        }
    }
}

// floor((b + 1) f) - floor(b f), in single precision.
int growth(int before, float factor) {
    return int(std::floor(float(before + 1) * factor)) - int(std::floor(float(before) * factor));
}

int32_t keep_fill_ratio(int32_t value, int32_t old_max, int32_t new_max) {
    if (old_max <= 0) return std::min(value, new_max);
    return int32_t(float(value) / float(old_max) * float(new_max));
}

}  // namespace

void add_experience(party_member& m, int32_t points) {
    if (transformed(m)) return;
    int64_t total = int64_t(m.experience) + points;
    m.experience = int32_t(std::clamp<int64_t>(total, 0, std::numeric_limits<int32_t>::max()));
    check_level_up(m);
}

void check_level_up(party_member& m) {
    if (m.level < 1) m.level = 1;
    // Level 40 is the last: no threshold beyond the table raises it further.
    while (m.level < MAX_LEVEL && m.experience >= experience_table[m.level - 1]) {
        m.free_points = add16(m.free_points, POINTS_PER_LEVEL);
        apply_level_gains(m);
        recompute_stats(m);
        m.level += 1;
    }
}

bool raise_attribute(int attribute) {
    if (attribute < 0 || attribute > STAT_DEXTERITY) return false;
    if (party_state.current < 0 || party_state.current >= PARTY_SLOTS) return false;
    party_member& m = party_members[party_state.current];
    if (!m.used || m.free_points <= 0) return false;
    int before = m.base_stats[attribute];
    if (before >= ATTRIBUTE_CAP) return false;
    int32_t old_food_max = food_capacity(m), old_water_max = water_capacity(m);
    auto grow = [&](int stat, float factor, int16_t* points) {
        int g = growth(before, factor);
        m.base_stats[stat] = add16(m.base_stats[stat], g);
        if (points) *points = add16(*points, g);
    };
    switch (attribute) {
        case STAT_STRENGTH:
            grow(STAT_HP_MAX, 1.5f, &m.hp);
            grow(STAT_HP_REGEN, 0.08f, nullptr);
            break;
        case STAT_MAGIC_POWER:
            grow(STAT_MP_MAX, 2.0f, &m.mp);
            grow(STAT_MP_REGEN, 0.1f, nullptr);
            break;
        case STAT_SPEED:
            grow(STAT_HP_MAX, 0.5f, &m.hp);
            grow(STAT_VP_MAX, 0.25f, &m.vp);
            break;
        default:
            grow(STAT_VP_MAX, 0.5f, &m.vp);
            grow(STAT_VP_REGEN, 0.1f, nullptr);
            break;
    }
    m.base_stats[attribute] += 1;
    m.free_points -= 1;
    recompute_stats(m);
    m.food = keep_fill_ratio(m.food, old_food_max, food_capacity(m));
    m.water = keep_fill_ratio(m.water, old_water_max, water_capacity(m));
    return true;
}

void practice_skill(int weapon_class) {
    if (weapon_class < 0 || weapon_class >= WEAPON_CLASSES) return;
    if (party_state.current < 0 || party_state.current >= PARTY_SLOTS) return;
    party_member& m = party_members[party_state.current];
    if (transformed(m)) return;
    int16_t& skill = m.skills[weapon_class];
    if (skill < 0 || skill >= MAX_SKILL) return;
    int16_t& practice = m.skill_practice[weapon_class];
    practice = add16(practice, 1);
    if (practice >= skill_table[skill]) skill += 1;
}

int weapon_skill(const party_member& m, int item_number) {
    if (item_number < 0) return 0;
    if (item_number == 0) return m.skills[WEAPON_CLASSES - 1];
    const item_def* item = party_item(item_number);
    if (!item || item->weapon_class >= WEAPON_CLASSES) return 0;
    return m.skills[item->weapon_class];
}
