#include <gtest/gtest.h>

#include <vector>

#include "platform/pixel_convert.h"

TEST(PixelConvert, OpaqueRedAndTransparentBlack) {
    const pixel_converter argb(texture_layout::argb8888);
    EXPECT_EQ(argb.convert(0x7C00), 0xFFFF0000u);
    EXPECT_EQ(argb.convert(0x8000), 0x00000000u);
    EXPECT_EQ(argb.convert(0x7FFF), 0xFFFFFFFFu);
    EXPECT_EQ(pixel_converter(texture_layout::rgba8888).convert(0x7C00), 0xFF0000FFu);
    EXPECT_EQ(pixel_converter(texture_layout::bgra8888).convert(0x001F), 0xFF0000FFu);
    EXPECT_EQ(pixel_converter(texture_layout::abgr8888).convert(0x03E0), 0xFF00FF00u);
    EXPECT_EQ(pixel_converter(texture_layout::rgba4444).convert(0x7C00), 0xF00Fu);
    EXPECT_EQ(pixel_converter(texture_layout::argb2101010).convert(0x7C00), 0xFFF00000u);
    EXPECT_EQ(pixel_converter(texture_layout::argb2101010).convert(0xFC00), 0x3FF00000u);
}

TEST(PixelConvert, TablesAgreeWithTheChannelFormulaForEveryPixel) {
    for (auto layout : {texture_layout::argb8888, texture_layout::rgba8888, texture_layout::bgra8888,
                        texture_layout::abgr8888, texture_layout::argb4444, texture_layout::rgba4444,
                        texture_layout::bgra4444, texture_layout::abgr4444, texture_layout::argb2101010}) {
        const pixel_converter c(layout);
        for (uint32_t p = 0; p < 0x10000; ++p)
            ASSERT_EQ(c.convert(static_cast<uint16_t>(p)), convert_pixel(layout, static_cast<uint16_t>(p)))
                << static_cast<int>(layout) << " " << p;
    }
}

TEST(PixelConvert, RowConversionAgreesWithTheChannelFormulaForEveryPixel) {
    std::vector<uint16_t> all(0x10000);
    for (uint32_t p = 0; p < 0x10000; ++p) all[p] = static_cast<uint16_t>(p);
    for (auto layout : {texture_layout::argb8888, texture_layout::rgba8888, texture_layout::bgra8888,
                        texture_layout::abgr8888, texture_layout::argb4444, texture_layout::rgba4444,
                        texture_layout::bgra4444, texture_layout::abgr4444, texture_layout::argb2101010}) {
        const pixel_converter c(layout);
        std::vector<uint32_t> out32(0x10000);
        std::vector<uint16_t> out16(0x10000);
        if (c.bytes_per_pixel() == 4)
            c.convert_row(all.data(), out32.data(), 0x10000);
        else
            c.convert_row(all.data(), out16.data(), 0x10000);
        for (uint32_t p = 0; p < 0x10000; ++p) {
            const uint32_t got = c.bytes_per_pixel() == 4 ? out32[p] : out16[p];
            ASSERT_EQ(got, convert_pixel(layout, static_cast<uint16_t>(p)))
                << static_cast<int>(layout) << " " << p;
        }
    }
}

TEST(PixelConvert, RowsPackAtTheFormatSize) {
    const uint16_t src[3] = {0x7C00, 0x8000, 0x001F};
    std::vector<uint16_t> out16(3);
    pixel_converter(texture_layout::argb4444).convert_row(src, out16.data(), 3);
    EXPECT_EQ(out16, (std::vector<uint16_t>{0xFF00, 0x0000, 0xF00F}));
    std::vector<uint32_t> out32(3);
    pixel_converter(texture_layout::argb8888).convert_row(src, out32.data(), 3);
    EXPECT_EQ(out32, (std::vector<uint32_t>{0xFFFF0000u, 0u, 0xFF0000FFu}));
}
