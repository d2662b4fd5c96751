#pragma once
// The monster record written field by field in the game's 380-byte layout.
#include <cstdint>
#include <vector>

#include "monsters/monster_record.h"

namespace forge {

// Appends exactly MONSTER_RECORD_SIZE bytes.
void append_monster_record(const monster& m, std::vector<uint8_t>& out);

}  // namespace forge
