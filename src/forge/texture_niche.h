#pragma once
// A wall of dressed stone with a niche cut into it: the recess where an
// alcove's items stand, so that the player sees where to reach in.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "forge/texture_source.h"

namespace forge {

// Where the niche lies on the 500 x 320 wall face (x to the right, y down):
// the opening spans x0 <= x < x1 and top <= y < sill; items stand on row sill.
// Seen from the alcove's own cell the face covers screen columns 70-569 and
// rows 24-342, so an alcove line "320 240 160 100" matches this opening.
struct niche_opening {
    float x0 = 170, x1 = 330, top = 116, sill = 216;
};

// Adds "niche": the dressed stone wall ("stone", same seed, so it joins the
// walls beside it) with the niche of niche_opening.
void add_niche_sources(std::map<std::string, std::function<texture_canvas(uint32_t)>>& table);

}  // namespace forge
