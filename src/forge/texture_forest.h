#pragma once
// The forest's edge as walls: trunks with furrowed bark, a canopy of leaves
// with the dusk sky showing through it, and undergrowth at their feet; a
// denser thicket; and a weathered signboard nailed to a post.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "forge/texture_source.h"

namespace forge {

// Adds "forest" (a forest edge), "thicket" (the same wood grown dense, little
// sky, the undergrowth up to the chest) and "sign" (a secondary picture: a
// signboard on a stake, 96 x 150, meant for at=250,110).
void add_forest_sources(std::map<std::string, std::function<texture_canvas(uint32_t)>>& table);

}  // namespace forge
