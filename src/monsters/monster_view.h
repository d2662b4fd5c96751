#pragma once
// What the view shows of a monster: the frame picture for a view direction
// and the insight text of the debug console's monster insight.
#include <string>

#include "core/handles.h"
#include "monsters/monster_record.h"

// Game option bit: monsters may walk diagonally inside a sector.
constexpr uint32_t OPTION_DIAGONAL_WALK = 0x2000;

struct monster_view_picture {
    int kind = 0;   // the kind drawn: 0..5, never 3 (kind 3 is kind 1 mirrored)
    int frame = 0;  // 0 still, 1..frame_count[kind] moving
    bool mirrored = false;
    handle_id handle = 0;  // set handle + 1 + 16 x kind + frame
};

// The picture of a monster seen by a party looking in view_direction (0..3).
monster_view_picture monster_picture(const monster& m, int view_direction, bool diagonal_walking);

// "name: ...\naction: ...\n...has_path: YES|NO" for the monster insight.
std::string describe_monster(const monster& m, int view_direction, bool diagonal_walking, bool has_path);
