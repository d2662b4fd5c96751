#pragma once
// Character sources: the party's possible members in readable text, items
// by the names of the item source, compiled into POSTAVY.DAT.
#include <string>
#include <string_view>

#include "forge/item_source.h"

namespace forge {

// The UTF-8 source -> the text of POSTAVY.DAT (game code page, CR LF).
// Throws std::runtime_error "<source_name>:<line>: <what>" for the first
// fault: an unknown keyword, statistic or item name, a number out of range,
// a name longer than 14 characters, more than 20 characters, a character
// number that does not rise, or a backpack holding more items than its cells.
// Numbers skipped by "character <n>" are written as empty, unused definitions.
std::string compile_character_source(std::string_view utf8_source, std::string_view source_name,
                                     const compiled_items& items);

}  // namespace forge
