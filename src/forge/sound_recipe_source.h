#pragma once
// Sound recipes: readable text describing sound effects, one block per
// sound, parsed into the synthesiser's recipes (see docs/sound-recipes.md).
#include <string_view>
#include <vector>

#include "forge/synth.h"

namespace forge {

// Every sound of the source in order. Throws std::runtime_error
// "<source_name>:<line>: <what>" for the first fault.
std::vector<sound_recipe> parse_sound_recipes(std::string_view utf8_source, std::string_view source_name);

}  // namespace forge
