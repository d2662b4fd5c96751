#pragma once
// A body picture (16-bit colours) turned into the view's kind of sprite: a
// type-264 picture whose colours are reduced to one palette, with the ten
// palettes that fade it into fog and darkness by depth.
#include <cstdint>
#include <vector>

#include "story/body_picture.h"

// Palette indices the view treats specially: 0 is not drawn and 1 halves
// what lies beneath. The figure's own colours take the rest.
constexpr int FIGURE_FIRST_COLOUR = 2;
constexpr int FIGURE_COLOURS = 256 - FIGURE_FIRST_COLOUR;

// The whole picture record (header, ten palettes, pixels) in 16-bit words so
// that it stays aligned. With `shadow` every drawn pixel becomes index 1: the
// figure shows as a shadow darkening what stands behind it. A body with more
// than FIGURE_COLOURS colours keeps its most frequent ones and maps every
// other colour to the nearest of those.
std::vector<uint16_t> fade_figure_record(const body_picture& body, bool shadow, uint8_t fade_r,
                                         uint8_t fade_g, uint8_t fade_b);
