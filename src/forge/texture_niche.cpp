// The niche: a recess in dressed stone with a projecting sill. The light
// falls from above, as from the torches of the rooms: the underside of the
// lintel is darkest, the back wall fades from shadow at the top to dim
// stone at the bottom, the niche's floor and the sill's top catch the light.
#include "forge/texture_niche.h"

#include <algorithm>
#include <cmath>

namespace forge {

namespace {

// How deep the recess looks from the middle of the cell: the eye is about
// at face row 160, so the soffit above it shows a little, the floor below
// it more, and both inner sides show equally.
constexpr float SIDE_REVEAL = 11, SOFFIT_REVEAL = 8, FLOOR_REVEAL = 14;
// The sill stands out of the wall below the opening.
constexpr float SILL_OVERHANG = 9, SILL_HEIGHT = 11;

void shade(texture_canvas& c, int x, int y, float k, float tint_r = 0, float tint_g = 0, float tint_b = 0) {
    const size_t p = c.at(x, y);
    c.set(x, y, std::clamp(c.r[p] * k + tint_r, 0.0f, 255.0f), std::clamp(c.g[p] * k + tint_g, 0.0f, 255.0f),
          std::clamp(c.b[p] * k + tint_b, 0.0f, 255.0f), 1.0f);
}

// The stone of the recess comes from the wall itself, moved so that its
// joints do not run on from the face around it.
void copy_stone(texture_canvas& c, const texture_canvas& wall, int x, int y, int dx, int dy) {
    const int sx = ((x + dx) % wall.width + wall.width) % wall.width;
    const int sy = std::clamp(y + dy, 0, wall.height - 1);
    const size_t p = wall.at(sx, sy);
    c.set(x, y, wall.r[p], wall.g[p], wall.b[p], 1.0f);
}

texture_canvas niche_wall(uint32_t seed) {
    const texture_canvas wall = procedural_source("stone", seed);
    texture_canvas c = wall;
    const niche_opening n;
    const float height = n.sill - n.top;
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            const float fx = x + 0.5f, fy = y + 0.5f;
            const bool inside = fx >= n.x0 && fx < n.x1 && fy >= n.top && fy < n.sill;
            if (inside) {
                // Which face of the recess: the one whose reveal the pixel is
                // least far into (the corners split along their diagonals).
                const float left = (fx - n.x0) / SIDE_REVEAL, right = (n.x1 - fx) / SIDE_REVEAL;
                const float above = (fy - n.top) / SOFFIT_REVEAL, below = (n.sill - fy) / FLOOR_REVEAL;
                const float nearest = std::min({left, right, above, below});
                if (nearest >= 1) {
                    // The back wall: shadow under the lintel, dim toward the floor,
                    // darker in its corners.
                    copy_stone(c, wall, x, y, 61, 23);
                    const float down = (fy - n.top - SOFFIT_REVEAL) / (height - SOFFIT_REVEAL - FLOOR_REVEAL);
                    const float corner = std::min({left - 1, right - 1, above - 1, below - 1}) * SIDE_REVEAL;
                    const float occlusion = 0.75f + 0.25f * std::clamp(corner / 10.0f, 0.0f, 1.0f);
                    shade(c, x, y, (0.22f + 0.3f * down * down) * occlusion);
                } else if (nearest == above) {
                    copy_stone(c, wall, x, y, 13, 40);
                    shade(c, x, y, 0.16f);  // the underside of the lintel
                } else if (nearest == below) {
                    copy_stone(c, wall, x, y, 29, -30);
                    // The niche's floor: lit from above, a little darker at the back.
                    shade(c, x, y, 0.62f + 0.3f * (1 - below), 6, 4, 0);
                } else {
                    copy_stone(c, wall, x, y, nearest == left ? 47 : 83, 11);
                    const float along = std::clamp((fy - n.top) / height, 0.0f, 1.0f);
                    shade(c, x, y, (nearest == left ? 0.34f : 0.28f) + 0.2f * along);
                }
                // A dark line where the face turns into the recess.
                if (nearest * (nearest == left || nearest == right ? SIDE_REVEAL : SOFFIT_REVEAL) < 1.2f &&
                    nearest != below)
                    shade(c, x, y, 0.6f);
                continue;
            }
            // The sill: a slab standing out under the opening, its top in the
            // light, its front in stone, a shadow on the wall below it.
            const bool under = fx >= n.x0 - SILL_OVERHANG && fx < n.x1 + SILL_OVERHANG;
            if (under && fy >= n.sill && fy < n.sill + SILL_HEIGHT) {
                const float t = fy - n.sill;
                if (t < 3)
                    shade(c, x, y, 1.22f, 8, 6, 2);
                else if (t > SILL_HEIGHT - 1.5f || fx < n.x0 - SILL_OVERHANG + 1.5f ||
                         fx >= n.x1 + SILL_OVERHANG - 1.5f)
                    shade(c, x, y, 0.55f);
                else
                    shade(c, x, y, 0.98f);
                continue;
            }
            if (under && fy >= n.sill + SILL_HEIGHT && fy < n.sill + SILL_HEIGHT + 7)
                shade(c, x, y, 0.62f + 0.38f * (fy - n.sill - SILL_HEIGHT) / 7);
            // The lintel's face catches a little less light just over the opening.
            if (fx >= n.x0 - 2 && fx < n.x1 + 2 && fy >= n.top - 4 && fy < n.top)
                shade(c, x, y, 0.85f + 0.04f * (n.top - fy));
        }
    return c;
}

}  // namespace

void add_niche_sources(std::map<std::string, std::function<texture_canvas(uint32_t)>>& table) {
    table["niche"] = niche_wall;
}

}  // namespace forge
