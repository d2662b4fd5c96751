// A monster is hit, dies and drops its loot, or is knocked back.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/random.h"
#include "monsters/monster_anim.h"
#include "monsters/monster_sound.h"
#include "rules/floor/floor_items.h"
#include "rules/items.h"
#include "rules/monster_fight/fight_map.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"

namespace {

constexpr int EVENT_KNOCKED_BACK = 3;
constexpr int SOUND_HURT = 2;
constexpr int BARE_HANDS_CLASS = 6;

monster* record(int slot) {
    return monster_by_number(slot + 1);
}

void drop_on_floor(int sector, int quarter, held_list stack) {
    if (stack.empty() || stack.front() <= 0) return;
    drop_items(sector, quarter, stack);
}

void drop_loot(monster& m) {
    auto quarter = [&] { return nearest_quarter(m.pos_x, m.pos_y); };
    if (m.money > 0) {
        int16_t coins = game_items().make_money(int32_t(m.money) * (80 + random(40)) / 100);
        if (coins > 0) drop_on_floor(m.sector, quarter(), {coins});
    }
    // Carried stacks: a positive item, then the negative entries continuing it.
    held_list stack;
    for (int16_t item : m.carried) {
        if (item > 0) {
            drop_on_floor(m.sector, quarter(), stack);
            stack = {item};
        } else if (item < 0 && !stack.empty()) {
            stack.push_back(item);
        }
    }
    drop_on_floor(m.sector, quarter(), stack);
    std::fill(std::begin(m.carried), std::end(m.carried), int16_t(0));
    int16_t lost = take_lost_item();
    if (lost > 0) drop_on_floor(m.sector, quarter(), {lost});
}

}  // namespace

int nearest_quarter(int x, int y) {
    bool east = x == 128 ? random(2) == 1 : x > 128;
    bool south = y == 128 ? random(2) == 1 : y > 128;
    if (!south) return east ? 1 : 0;
    return east ? 2 : 3;
}

void hit_monster(int slot, int damage) {
    monster* mp = record(slot);
    if (!mp || !mp->alive()) return;
    monster& m = *mp;
    if (m.state & MST_PASSABLE) return;
    monster_fight_world& world = fight_world();
    int hp_max = m.stats[STAT_HP_MAX];
    int h = std::min(damage, std::max(hp_max, 0));
    m.goal_x = m.pos_x;
    m.goal_y = m.pos_y;
    m.hp = int16_t(std::clamp(m.hp - h, -32768, 32767));
    m.damage_taken = uint16_t(std::clamp(int(m.damage_taken) + h, 0, 65535));
    if (h > 0) {
        m.state |= MST_BATTLE;
        m.hit_flags |= MONSTER_WAS_HIT;
    }
    if (m.hp > hp_max) m.hp = int16_t(std::max(hp_max, 0));
    if (world.on()) {
        char line[120];
        std::snprintf(line, sizeof line, "%.*s was hit: %d, lives: %d\n", int(strnlen(m.name, sizeof m.name)),
                      m.name, h, m.hp);
        world.print(line);
    }
    if (h <= 0) return;
    world.award_experience(slot, h);
    m.anim_kind = m.hp > 0 ? MA_IN_PAIN : MA_DYING;
    if (m.hp <= 0) world.blood_splash(m.sector);
    m.anim_frame = 0;
    m.intent = MI_NONE;
    world.monster_sound(slot, SOUND_HURT);
    world.battle_started();
    int weapon = world.last_weapon();
    if (weapon == 0) {
        practice_skill(BARE_HANDS_CLASS);
    } else if (const item_def* w = game_items().find(weapon)) {
        practice_skill(w->weapon_class);
    }
    // The size of the blood shown: a third of the remaining hit points or
    // more is the middle picture, as much as remained the big one.
    int set = h >= m.hp ? 2 : std::min(3 * h / m.hp, 2);
    world.show_damage(set, h);
}

void monster_death_check(int slot) {
    monster* mp = record(slot);
    if (!mp || !mp->alive() || mp->hp > 0) return;
    monster& m = *mp;
    monster_fight_world& world = fight_world();
    world.first_kill();
    m.state = uint8_t(m.state & ~(MST_LIVE | MST_BATTLE));
    drop_monster_path(slot);
    stop_monster_sound(slot);
    if (fight_map::is_sector(m.sector)) drop_loot(m);
    leave_occupancy(slot);
    if (m.anim_owned & 1) {
        // A summoned monster's own pictures and sounds go with it; the slot
        // then has no set to come back with, so it never respawns.
        release_animation_set(monster_set_handle(m));
        m.anim_owned = uint8_t(m.anim_owned & ~1u);
        m.anim_set = -1;
    }
}

void push_monster(int slot, int direction) {
    monster* mp = record(slot);
    if (!mp || !mp->alive() || direction < 0 || direction > 3) return;
    monster& m = *mp;
    monster_fight_world& world = fight_world();
    if (world.special_procedure(slot, EVENT_KNOCKED_BACK)) return;
    if (can_enter(m, m.sector, direction) != ENTER_FREE) return;
    int next = fight_map::neighbour(m.sector, direction);
    if (next == 0) return;
    leave_occupancy(slot);
    m.sector = int16_t(next);
    enter_occupancy(slot);
}
