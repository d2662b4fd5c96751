#pragma once
// Painting helpers for the interface pictures: a floating-point canvas with
// coverage, noise, the interface materials (bronze, slate, dark wood),
// bevels, anti-aliased shapes and a few pixel capitals.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forge/png_import.h"

namespace forge::paint {

// Colour channels in 0..1.
struct rgb {
    float r = 0, g = 0, b = 0;
    rgb operator*(float k) const { return {r * k, g * k, b * k}; }
    rgb operator+(const rgb& o) const { return {r + o.r, g + o.g, b + o.b}; }
};
rgb mix(const rgb& a, const rgb& b, float t);
// Bytes 0..255 to a colour.
constexpr rgb rgb8(int r, int g, int b) {
    return {r / 255.0f, g / 255.0f, b / 255.0f};
}

struct rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
    rect inset(int d) const { return {x + d, y + d, w - 2 * d, h - 2 * d}; }
};

// Coverage a below 0.5 is written as transparent.
class canvas {
  public:
    canvas(int width, int height);
    int width() const { return w_; }
    int height() const { return h_; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    rgb get(int x, int y) const { return colour_[index(x, y)]; }
    float alpha(int x, int y) const { return alpha_[index(x, y)]; }
    // Writes an opaque pixel (outside the canvas: nothing).
    void set(int x, int y, const rgb& c);
    // Lays c over the pixel with coverage t (0..1), making it that opaque at least.
    void blend(int x, int y, const rgb& c, float t);
    void clear_alpha(int x, int y);
    // Copies the other canvas in at (x, y), its transparent pixels left out.
    void paste(const canvas& other, int x, int y);
    canvas crop(const rect& r) const;

  private:
    size_t index(int x, int y) const { return static_cast<size_t>(y) * w_ + x; }
    int w_, h_;
    std::vector<rgb> colour_;
    std::vector<float> alpha_;
};

// Fractal value noise in 0..1 (not periodic).
float noise(float x, float y, uint32_t seed, int octaves = 4);
// A hash of a lattice point in 0..1.
float grain(int x, int y, uint32_t seed);

// The interface materials at a pixel.
rgb bronze(int x, int y, uint32_t seed);
rgb slate(int x, int y, uint32_t seed);
rgb dark_wood(int x, int y, uint32_t seed);

void fill(canvas& c, const rect& r, const std::function<rgb(int, int)>& material);
// Multiplies the colours in r by k.
void shade(canvas& c, const rect& r, float k);
// Lightens the top and left edges and darkens the bottom and right ones
// (the other way round when sunken), fading inwards over width pixels.
void bevel(canvas& c, const rect& r, int width, float strength, bool raised = true);
// A bronze band thickness pixels wide inside r, bevelled on both its edges,
// with a thin black line on the outside.
void bronze_frame(canvas& c, const rect& r, int thickness, uint32_t seed);
// A domed rivet head of radius radius centred on (cx, cy).
void rivet(canvas& c, float cx, float cy, float radius);
// Darkens towards the outside of r (a soft vignette).
void vignette(canvas& c, const rect& r, float strength);

// Anti-aliased shapes: a closed polygon and a thick line segment.
void fill_polygon(canvas& c, const std::vector<float>& xy, const rgb& colour, float opacity = 1.0f);
void stroke(canvas& c, float x0, float y0, float x1, float y1, float width, const rgb& colour);
void disc(canvas& c, float cx, float cy, float radius, const rgb& colour, float opacity = 1.0f);
// Coverage of a shape over a pixel sampled 4 x 4; inside(x, y) is tested in
// pixel coordinates.
float coverage(int px, int py, const std::function<bool(float, float)>& inside);

// A few capitals and signs (A E J N S V W X Z ? !) in a 5 x 7 grid, each
// grid cell scale x scale pixels; other characters draw nothing.
void letter(canvas& c, char ch, int x, int y, int scale, const rgb& colour);

rgba_image to_image(const canvas& c);

}  // namespace forge::paint
