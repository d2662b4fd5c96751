#pragma once
// Importing bitmap fonts in the BDF text format. Characters are looked up by
// their ENCODING as Unicode for every character of the game's code page.
#include <string_view>

#include "forge/font_build.h"

namespace forge {

struct bdf_options {
    bool shadow = true;  // add the shadow code right of and below the ink
};

// Every glyph is as high as the font's ascent plus descent and as wide as its
// DWIDTH (or its bitmap, when that reaches further). Throws std::runtime_error
// naming the line of a malformed file.
font_glyphs import_bdf(std::string_view text, const bdf_options& options);

}  // namespace forge
