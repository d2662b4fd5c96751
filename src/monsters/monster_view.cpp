#include "monsters/monster_view.h"

#include <algorithm>
#include <cstdio>

#include "monsters/monster_anim.h"

namespace {

// The direction (0 north .. 3 west) the monster shows by its walk: x grows
// to the east, y to the south.
int walk_facing(int dx, int dy, int direction) {
    if (dx != 0) return dx > 0 ? 1 : 3;
    if (dy != 0) return dy > 0 ? 2 : 0;
    return direction & 3;
}

int still_or_moving_frame(const monster& m, int kind) {
    if (m.anim_frame < 0) return 0;
    const int count = std::clamp<int>(m.frame_count[kind], 1, MONSTER_MAX_FRAME);
    return m.anim_frame % count + 1;
}

}  // namespace

monster_view_picture monster_picture(const monster& m, int view_direction, bool diagonal_walking) {
    monster_view_picture p;
    const int v = view_direction & 3;
    bool dying = false;
    switch (m.anim_kind) {
        case MA_ATTACKING:
            p.kind = 4;
            break;
        case MA_IN_PAIN:
            p.kind = 5;
            break;
        case MA_DYING:
            p.kind = 0;
            dying = true;
            break;
        default: {
            int dx = m.goal_x - m.pos_x;
            int dy = m.goal_y - m.pos_y;
            const bool diagonal = diagonal_walking && !(m.strategy & MS_BIG);
            int facing;
            if (diagonal) {
                // The sideways part of the walk, as the viewer sees it, wins.
                const bool across_x = v == 0 || v == 2;
                const int sideways = across_x ? dx : dy;
                if (sideways != 0)
                    facing = across_x ? walk_facing(sideways, 0, 0) : walk_facing(0, sideways, 0);
                else
                    facing = walk_facing(dx, dy, m.direction);
            } else {
                if (dx != 0 && dy != 0) {
                    if (m.direction & 1)
                        dy = 0;
                    else
                        dx = 0;
                }
                facing = walk_facing(dx, dy, m.direction);
            }
            p.kind = (facing - v + 2) & 3;
        }
    }
    if (p.kind == 3) {
        p.kind = 1;
        p.mirrored = true;
    }
    p.frame = dying ? 0 : still_or_moving_frame(m, p.kind);
    p.handle = static_cast<handle_id>(monster_set_handle(m) + MONSTER_SET_FRAMES +
                                      MONSTER_KIND_FRAMES * p.kind + p.frame);
    return p;
}

namespace {

constexpr const char* ACTION_NAMES[] = {"STANDFWD", "STANDLEFT",  "STANDBACK", "STANDRIGHT", "STANDLEFTMIRR",
                                        "WALKFWD",  "WALKLEFT",   "WALKBACK",  "WALKRIGHT",  "WALKLEFTMIRR",
                                        "ATTACK",   "ATTACKMIRR", "INPAIN",    "INPAINMIRR", "ERR"};
constexpr const char* INTENT_NAMES[] = {"NONE", "CAST", "FLEE", "ATTACK"};
constexpr const char* STRATEGY_NAMES[] = {"WALK",  "WATCH", "LISTEN",  "BIG",
                                          "GUARD", "PICK",  "PICKING", "ROGUE"};
constexpr const char* STATE_NAMES[] = {"BATTLE", "PASSABLE", "SENS",  "MOB",
                                       "RESPWN", "CAST",     "SNDLP", "LIVE"};

std::string bit_names(uint8_t bits, const char* const (&names)[8]) {
    std::string out;
    for (int b = 0; b < 8; ++b)
        if (bits & (1 << b)) (out += names[b]) += ' ';
    return out;
}

}  // namespace

std::string describe_monster(const monster& m, int view_direction, bool diagonal_walking, bool has_path) {
    const monster_view_picture p = monster_picture(m, view_direction, diagonal_walking);
    int action;
    if (p.kind == 4 || p.kind == 5)
        action = 2 * p.kind + 2 + (p.mirrored ? 1 : 0);
    else
        action = (p.mirrored ? 4 : p.kind) + (m.goal_x != m.pos_x || m.goal_y != m.pos_y ? 5 : 0);
    if (action < 0 || action > 14) action = 14;
    const char* intent = m.intent < std::size(INTENT_NAMES) ? INTENT_NAMES[m.intent] : "?";

    char text[512];
    std::snprintf(text, sizeof text,
                  "name: %s\naction: %s\nwalkdata: %d\nsight: %d\nreach: %d\nhit: %d\nintent: %s\nstrategy: "
                  "%s\nflags: %s\nhas_path: %s",
                  m.name, ACTION_NAMES[action], m.walk_data, m.sight, m.reach, m.damage_taken, intent,
                  bit_names(m.strategy, STRATEGY_NAMES).c_str(), bit_names(m.state, STATE_NAMES).c_str(),
                  has_path ? "YES" : "NO");
    return text;
}
