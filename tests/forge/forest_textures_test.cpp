// The forest's wall pictures: they join across cell edges, the thicket is
// denser than the forest's edge, the seed varies them, and the signboard
// stands on a transparent background.
#include <gtest/gtest.h>

#include <cmath>

#include "forge/texture_source.h"

namespace {

float column_difference(const forge::texture_canvas& c, int a, int b) {
    float sum = 0;
    for (int y = 0; y < c.height; y++) {
        const size_t p = c.at(a, y), q = c.at(b, y);
        sum += std::fabs(c.r[p] - c.r[q]) + std::fabs(c.g[p] - c.g[q]) + std::fabs(c.b[p] - c.b[q]);
    }
    return sum / c.height;
}

// Pixels of the upper part where the dusk sky shows: violet to rose, never
// the greens and browns of the wood.
int sky_pixels(const forge::texture_canvas& c) {
    int n = 0;
    for (int y = 0; y < c.height * 6 / 10; y++)
        for (int x = 0; x < c.width; x++) {
            const size_t p = c.at(x, y);
            if (c.b[p] > c.g[p] && c.r[p] > c.g[p]) n++;
        }
    return n;
}

}  // namespace

TEST(ForestTextures, WallsJoinAcrossTheCellEdgeAndTheThicketHidesTheSky) {
    const forge::texture_canvas forest = forge::procedural_source("forest", 12);
    const forge::texture_canvas thicket = forge::procedural_source("thicket", 13);
    for (const forge::texture_canvas* c : {&forest, &thicket}) {
        ASSERT_EQ(c->width, 500);
        ASSERT_EQ(c->height, 320);
        // The last column runs on into the first as any two neighbours do.
        float typical = 0;
        for (int x = 50; x < 450; x += 50) typical += column_difference(*c, x, x + 1) / 8;
        EXPECT_LT(column_difference(*c, c->width - 1, 0), 2.5f * typical);
    }
    const int open = sky_pixels(forest), dense = sky_pixels(thicket);
    EXPECT_GT(open, 500 * 192 / 20) << dense;  // the forest's edge lets the sky through
    EXPECT_LT(dense * 2, open);
}

TEST(ForestTextures, SeedsGrowADifferentWood) {
    const forge::texture_canvas a = forge::procedural_source("forest", 12);
    const forge::texture_canvas b = forge::procedural_source("forest", 14);
    int differ = 0;
    for (size_t p = 0; p < a.r.size(); p++)
        if (std::fabs(a.r[p] - b.r[p]) + std::fabs(a.g[p] - b.g[p]) > 30) differ++;
    EXPECT_GT(differ, static_cast<int>(a.r.size() / 4));
}

TEST(ForestTextures, SignboardStandsOnATransparentBackground) {
    const forge::texture_canvas sign = forge::procedural_source("sign", 3);
    EXPECT_EQ(sign.a[sign.at(2, 2)], 0.0f);                        // the corner
    EXPECT_EQ(sign.a[sign.at(5, sign.height - 2)], 0.0f);          // beside the stake
    EXPECT_EQ(sign.a[sign.at(30, 20)], 1.0f);                      // the board
    EXPECT_EQ(sign.a[sign.at(55, sign.height - 2)], 1.0f);         // the stake's foot
    for (int y = 0; y < sign.height; y++) EXPECT_EQ(sign.a[sign.at(0, y)], 0.0f) << y;
}
