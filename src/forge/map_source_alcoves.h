#pragma once
// Alcoves of a map source's [alcoves] section: a line
//     x y [layer] direction: sill-x sill-y width height [item, item ...]
// gives the wall, the opening as the party sees it from that cell (the middle
// of its sill in screen pixels, its width and height) and up to eight items
// standing in it. The map gets one 32-byte recess record per line.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "world/map_format.h"

namespace forge {

using alcove_record_bytes = std::array<uint8_t, RECESS_RECORD_SIZE>;

// The number of an item named (or numbered) in the line; nothing when it is
// unknown (the caller has reported that itself).
using alcove_item_lookup = std::function<std::optional<int>(const std::string& word)>;

// The record of the alcove in the wall of `sector` facing `direction`, from
// the line's text after the colon. On a fault the result is empty and `error`
// says why (empty when the item lookup reported it).
std::optional<alcove_record_bytes> compile_alcove(int sector, int direction, const std::string& body,
                                                  const alcove_item_lookup& item, std::string& error);

}  // namespace forge
