#pragma once
// Procedural pictures of the things map actions move: doors that slide open
// in four frames, portcullises, levers, wall buttons with carved symbols, a
// teleporter's glow, pressure plates and a shaft in the floor.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "forge/texture_source.h"

namespace forge {

// Adds the generators by name: "door0".."door3" (a plank door sliding into
// the wall, 0 closed, 3 open), "portcullis0".."portcullis3" (an iron grille
// rising), "lever_up", "lever_down" (secondary), "lever_wall_up",
// "lever_wall_down" (a whole wall with the lever), "button_sun", "button_moon",
// "button_star", "button_rune", "glow" (secondary pictures), "plate",
// "plate_down" and "shaft" (floors).
void add_mechanism_sources(std::map<std::string, std::function<texture_canvas(uint32_t)>>& table);

}  // namespace forge
