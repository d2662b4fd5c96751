#pragma once
// Rendering a scalable font (TrueType, OpenType) at a pixel size into glyph
// bitmaps for every character of the game's code page.
#include <string>

#include "forge/font_build.h"

namespace forge {

struct scalable_font_options {
    int pixel_size = 12;
    // Coverage (1-255) from which an anti-aliased pixel counts as ink; 0
    // renders with the font's own monochrome hinting instead.
    int threshold = 0;
    bool shadow = true;  // add the shadow code right of and below the ink
    int spacing = 0;     // extra empty columns after every glyph
    // Rebuild accented capitals from the plain capital and the accent of a
    // small letter, one empty row apart (small sizes draw them merged).
    bool separate_accents = false;
};

// Every glyph shares one cell height (the tallest ascent plus the deepest
// descent of the rendered characters) so that text lines up on its top edge.
// Characters the font lacks get no glyph. Throws std::runtime_error.
font_glyphs render_scalable_font(const std::string& path, const scalable_font_options& options);

}  // namespace forge
