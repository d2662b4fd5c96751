#pragma once
// Monster sources: readable text naming every monster definition, compiled
// into ENEMY.DAT and the sound list SOUND.DAT (docs/monster-source.md).
// Definitions are named in the source; the forge numbers them in the order
// they are written (the first is definition 1), and the maps place them by
// name.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "forge/item_source.h"
#include "monsters/monster_record.h"

namespace forge {

// The highest definition number a placement can hold (12 bits).
constexpr int MAX_MONSTER_DEFINITIONS = 4095;

struct compiled_monsters {
    std::vector<monster> definitions;    // anim_set holds the definition number
    std::map<std::string, int> numbers;  // name in the source -> definition number (from 1)
    std::vector<std::string> sounds;     // the sound list: sound number n names sounds[n - 1]
};

// Compiles the UTF-8 source; loot names come from `items`. Throws
// std::runtime_error "<source_name>:<line>: <what>" for the first fault.
compiled_monsters compile_monster_source(std::string_view utf8_source, std::string_view source_name,
                                         const compiled_items& items);

// ENEMY.DAT: the 380-byte records one after another.
std::vector<uint8_t> enemy_file_bytes(const compiled_monsters& monsters);
// SOUND.DAT: a 32-bit count, then the names, each ended by NUL.
std::vector<uint8_t> sound_list_bytes(const std::vector<std::string>& sounds);

}  // namespace forge
