// The painting helpers the interface pictures are made with.
#include <gtest/gtest.h>

#include "forge/paint.h"

namespace {

using namespace forge::paint;

float brightness(const canvas& c, int x, int y) {
    const rgb p = c.get(x, y);
    return p.r + p.g + p.b;
}

canvas grey(int w, int h) {
    canvas c(w, h);
    fill(c, {0, 0, w, h}, [](int, int) { return rgb{0.4f, 0.4f, 0.4f}; });
    return c;
}

TEST(Paint, RaisedBevelLightsTopLeftAndShadesBottomRightSunkenTheOtherWay) {
    canvas raised = grey(20, 20), sunken = grey(20, 20);
    bevel(raised, {0, 0, 20, 20}, 3, 0.8f, true);
    bevel(sunken, {0, 0, 20, 20}, 3, 0.8f, false);
    const float flat = 1.2f;
    EXPECT_GT(brightness(raised, 0, 10), flat);
    EXPECT_GT(brightness(raised, 10, 0), flat);
    EXPECT_LT(brightness(raised, 19, 10), flat);
    EXPECT_LT(brightness(raised, 10, 19), flat);
    EXPECT_LT(brightness(sunken, 0, 10), flat);
    EXPECT_GT(brightness(sunken, 10, 19), flat);
    // The middle, farther in than the bevel's width, is left alone.
    EXPECT_FLOAT_EQ(brightness(raised, 10, 10), flat);
    // The edge is stronger than a pixel further in.
    EXPECT_GT(brightness(raised, 0, 10), brightness(raised, 2, 10));
}

TEST(Paint, BronzeFrameCoversOnlyItsBand) {
    canvas c(30, 20);
    bronze_frame(c, {2, 2, 26, 16}, 4, 1);
    EXPECT_EQ(c.alpha(0, 0), 0.0f);   // outside the frame
    EXPECT_EQ(c.alpha(2, 2), 1.0f);   // the band's outer corner
    EXPECT_EQ(c.alpha(5, 10), 1.0f);  // its last pixel inwards
    EXPECT_EQ(c.alpha(6, 10), 0.0f);  // the inside stays untouched
    EXPECT_EQ(c.alpha(27, 17), 1.0f);
}

TEST(Paint, ShapesAreSmoothedAtTheirEdgesAndTransparencySurvivesToThePng) {
    canvas c(10, 10);
    // A square over whole pixels and a half pixel.
    fill_polygon(c, {2, 2, 6.5f, 2, 6.5f, 6, 2, 6}, rgb{1, 1, 1});
    EXPECT_FLOAT_EQ(c.alpha(3, 3), 1.0f);
    EXPECT_NEAR(c.alpha(6, 3), 0.5f, 0.01f);
    EXPECT_EQ(c.alpha(7, 3), 0.0f);
    const forge::rgba_image image = to_image(c);
    ASSERT_EQ(image.rgba.size(), 10u * 10u * 4u);
    EXPECT_EQ(image.rgba[(3 * 10 + 3) * 4 + 3], 255);  // opaque
    EXPECT_EQ(image.rgba[(3 * 10 + 6) * 4 + 3], 255);  // half covered counts as drawn
    EXPECT_EQ(image.rgba[(3 * 10 + 7) * 4 + 3], 0);    // untouched stays transparent
    EXPECT_EQ(image.rgba[(3 * 10 + 3) * 4], 255);
}

TEST(Paint, CropAndPasteKeepTransparentPixelsOut) {
    canvas source(4, 4);
    source.set(1, 1, rgb{1, 0, 0});
    canvas target = grey(8, 8);
    target.paste(source.crop({1, 1, 2, 2}), 5, 5);
    EXPECT_FLOAT_EQ(target.get(5, 5).r, 1.0f);    // the drawn pixel lands
    EXPECT_FLOAT_EQ(target.get(6, 6).r, 0.4f);    // transparent ones leave the grey
    EXPECT_NO_THROW(target.paste(source, 6, 6));  // overhanging the edge is cut
    EXPECT_THROW(canvas(0, 5), std::runtime_error);
}

}  // namespace
