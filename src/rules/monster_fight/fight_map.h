#pragma once
// What the fight asks of the loaded map: neighbours, open sides, who stands
// where. Internal to the monster fight.
#include <cstdint>

#include "monsters/monster_record.h"

namespace fight_map {

bool is_sector(int sector);
// The neighbour in a direction (0 for none or a sector outside the map).
int neighbour(int sector, int direction);
// The side toward the neighbour has no monster barrier and leads somewhere.
bool open_toward(int sector, int direction);
bool holds_party(int sector);
// Used, living members of the loaded map standing in the sector (slots).
int living_members_on(int sector, int out[6]);
// The direction from one sector to its neighbour, -1 when it is none.
int direction_to(int from, int to);

}  // namespace fight_map
