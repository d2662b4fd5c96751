#pragma once
// Shared by the files of the monster behaviour.
#include <vector>

#include "rules/monsters_ai/monster_ai.h"
#include "world/map.h"

namespace monster_ai_detail {

// What the monsters need of one party member, taken once per pass over the
// monsters (the roster hands out copies).
struct member_view {
    int slot = 0;
    int sector = 0;
    int direction = 0;
    bool alive = false;
    bool invisible = false;
};
// The members standing on the loaded map, taken anew.
const std::vector<member_view>& refresh_party();
const std::vector<member_view>& party_seen();
target_found find_target_in(int slot, const std::vector<member_view>& members);
bool look_in(int slot, const std::vector<member_view>& members);

inline monster& slot_record(int slot) {
    return monster_table[static_cast<size_t>(slot)];
}
// The slot of the first monster standing in the sector, -1 for none.
inline int first_slot_in(int sector) {
    return first_monster_in(sector) - 1;
}
inline bool valid_sector(int sector) {
    return sector > 0 && sector < current_map.sector_count;
}
inline int neighbour(int sector, int direction) {
    return current_map.sectors[static_cast<size_t>(sector)].exits[static_cast<size_t>(direction & 3)];
}
inline uint32_t side_flags(int sector, int direction) {
    return current_map.sides[static_cast<size_t>(sector * 4 + (direction & 3))].flags;
}
inline uint16_t& coord_flags(int sector) {
    return current_map.coords[static_cast<size_t>(sector)].coord_flags;
}
inline int hp_max(const monster& m) {
    return m.stats[4];
}
inline bool at_goal(const monster& m) {
    return m.pos_x == m.goal_x && m.pos_y == m.goal_y;
}
uint32_t game_options();
bool battle_running();
bool party_rests();
// The other monster standing in the same sector (slot), -1 for none.
int sector_partner(int slot);
// Stops the monster where it faces: the stand position of its direction, side
// by side with a partner, at the centre for a BIG one.
void stand(int slot);
void play(int slot, int index);
// The direction from one sector to a neighbour, -1 when it is none.
int direction_to(int from, int to);
// Follows the stored path one sector; true when the monster took a way.
bool follow_path(int slot);
void drop_all_monster_paths();
void sort_out_partners(int sector);

}  // namespace monster_ai_detail
