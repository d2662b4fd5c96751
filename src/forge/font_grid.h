#pragma once
// Drawn glyphs: a text source in which every glyph is a small picture of
// pixel codes, for pictogram fonts.
//
//   # comment
//   glyph 4          (a character code, decimal or 0x.., or a quoted 'M')
//   ..2..
//   .222.
//   22222
//
// In the rows '.' (or a space) is a transparent pixel and '1' to '7' the
// pixel codes (colour slots 0 to 6); shorter rows are padded on the right.
// A glyph's picture ends at a blank line, the next glyph or the end of file.
#include <string_view>

#include "forge/font_build.h"

namespace forge {

// Throws std::runtime_error naming the line of a malformed source.
font_glyphs parse_glyph_grid(std::string_view text);

}  // namespace forge
