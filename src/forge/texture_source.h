#pragma once
// Flat source pictures of the view's textures, and the procedural ones the
// demo adventure is built from. A wall source is one cell's wall face
// (500 x 320 once resampled), a floor or ceiling source one cell's square, a
// secondary texture a picture in wall-face pixels with a transparent
// background, an arch source a whole face whose opening is transparent.
#include <cstdint>
#include <string>
#include <vector>

#include "forge/png_import.h"

namespace forge {

// A picture in floating point R, G, B (0..255) and coverage A (0..1).
struct texture_canvas {
    int width = 0, height = 0;
    std::vector<float> r, g, b, a;

    texture_canvas() = default;
    texture_canvas(int w, int h);
    size_t at(int x, int y) const { return static_cast<size_t>(y) * width + x; }
    void set(int x, int y, float red, float green, float blue, float alpha = 1.0f);
    // Bilinear sample at (x, y) in pixels (pixel centres at + 0.5); wrap
    // repeats the picture, otherwise the edges are extended.
    void sample(float x, float y, bool wrap, float out[4]) const;
};

texture_canvas canvas_from_image(const rgba_image& image);
rgba_image image_from_canvas(const texture_canvas& canvas);

// The procedural sources by name. Walls: "ruin" (rough keep stone), "stone"
// (dressed ashlar), "brick", "wood" (dark planking). Floors: "grass",
// "flags" (flagstones), "planks". Ceilings: "vault", "beams". Secondary:
// "torch", "banner". Arches: "arch" (a round arch in ashlar).
// seed varies the stones, grain and wear.
bool procedural_source_exists(const std::string& name);
texture_canvas procedural_source(const std::string& name, uint32_t seed);
std::vector<std::string> procedural_source_names();

// Smooth value noise in 0..1 that repeats every period_x by period_y lattice
// cells; fbm adds octaves of halving amplitude and doubling frequency.
float periodic_noise(float x, float y, int period_x, int period_y, uint32_t seed);
float fbm_noise(float x, float y, int period_x, int period_y, int octaves, uint32_t seed);

}  // namespace forge
