// The forge's picture writers, checked by reading their output back with the
// player's own decoders.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "forge/pcx_writer.h"
#include "forge/png_import.h"
#include "forge/quantize.h"
#include "forge/stored_picture_writer.h"
#include "gfx/picture.h"
#include "gfx/screen.h"

namespace {

using forge::indexed_image;
using forge::rgba_image;

indexed_image patterned(int width, int height) {
    indexed_image image;
    image.width = width, image.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            // Long runs, values that need a run byte (>= 0xC0) and single pixels.
            image.pixels.push_back(static_cast<uint8_t>(x < 70 ? y * 3 : (x * 7 + y * 13) % 256));
    for (int i = 0; i < 768; ++i) image.palette[i] = static_cast<uint8_t>(i * 37 + 11);
    return image;
}

struct owned {
    picture* pic = nullptr;
    ~owned() { game_free(pic); }
};

TEST(PcxWriter, RoundTripsThroughThePlayersDecoder) {
    for (int width : {1, 2, 97, 200}) {
        const indexed_image image = patterned(width, 9);
        const std::vector<uint8_t> file = forge::encode_pcx(image);
        EXPECT_EQ(file[file.size() - 769], 12);
        owned rgb, pal;
        const int32_t size = static_cast<int32_t>(file.size());
        ASSERT_GT(decode_pcx(file.data(), size, PIC_RGBPAL8, &rgb.pic), 0) << width;
        ASSERT_EQ(rgb.pic->width, width);
        ASSERT_EQ(rgb.pic->height, 9);
        const auto* bytes = reinterpret_cast<const uint8_t*>(rgb.pic);
        EXPECT_EQ(std::memcmp(bytes + 6, image.palette.data(), 768), 0);
        EXPECT_EQ(std::memcmp(bytes + 774, image.pixels.data(), image.pixels.size()), 0) << width;
        ASSERT_GT(decode_pcx(file.data(), size, PIC_PAL8, &pal.pic), 0);
        EXPECT_EQ(picture_palette(pal.pic)[200],
                  rgb555(image.palette[600], image.palette[601], image.palette[602]));
    }
}

TEST(PcxWriter, RefusesSizesTheFormatCannotHold) {
    indexed_image image;
    image.width = 2, image.height = 2;
    image.pixels.resize(3);
    EXPECT_THROW(forge::encode_pcx(image), std::runtime_error);
    image.width = 0;
    image.pixels.clear();
    EXPECT_THROW(forge::encode_pcx(image), std::runtime_error);
}

TEST(StoredPicture, EveryIndexedTypeIsReadBackAsWritten) {
    const indexed_image image = patterned(13, 5);
    for (uint16_t type : {PIC_PAL8, PIC_WIDE8, PIC_FADE8, PIC_NOPAL8, PIC_RGBPAL8}) {
        SCOPED_TRACE(type);
        std::vector<uint8_t> record = forge::build_stored_indexed(image, type, {30, 60, 90});
        ASSERT_EQ(static_cast<int64_t>(record.size()), picture_record_bytes(13, 5, type));
        int32_t length = static_cast<int32_t>(record.size());
        owned copy;
        copy.pic = static_cast<picture*>(raw_picture(record.data(), &length, 0));
        ASSERT_NE(copy.pic, nullptr);
        EXPECT_EQ(copy.pic->width, 13);
        EXPECT_EQ(copy.pic->height, 5);
        EXPECT_EQ(copy.pic->type, type);
        EXPECT_EQ(std::memcmp(picture_pixels8(copy.pic), image.pixels.data(), image.pixels.size()), 0);
        if (type == PIC_PAL8 || type == PIC_WIDE8) {
            EXPECT_EQ(picture_palette(copy.pic)[255],
                      rgb555(image.palette[765], image.palette[766], image.palette[767]));
        }
    }
    // The fade palettes are the decoder's own.
    std::vector<uint8_t> record = forge::build_stored_indexed(image, PIC_FADE8, {30, 60, 90});
    std::vector<uint16_t> expected(2560);
    build_fade_palettes(image.palette.data(), 30, 60, 90, expected.data());
    EXPECT_EQ(std::memcmp(record.data() + 6, expected.data(), 5120), 0);
    EXPECT_THROW(forge::build_stored_indexed(image, PIC_HICOLOR), std::runtime_error);
}

TEST(StoredPicture, HicolorKeepsColoursAndMarksTransparency) {
    rgba_image image;
    image.width = 3, image.height = 1;
    image.rgba = {255, 0, 0, 255, 10, 20, 30, 0, 255, 255, 255, 200};
    for (uint16_t type : {PIC_HICOLOR, PIC_RAW15}) {
        const std::vector<uint8_t> record = forge::build_stored_hicolor(image, type);
        int32_t length = static_cast<int32_t>(record.size());
        owned copy;
        copy.pic = static_cast<picture*>(raw_picture(const_cast<uint8_t*>(record.data()), &length, 0));
        ASSERT_NE(copy.pic, nullptr);
        const uint16_t* pixels = picture_pixels16(copy.pic);
        EXPECT_EQ(pixels[0], 0x7C00);
        EXPECT_EQ(pixels[1], type == PIC_HICOLOR ? 0x8000 : rgb555(10, 20, 30));
        EXPECT_EQ(pixels[2], 0x7FFF);
    }
    EXPECT_THROW(forge::build_stored_hicolor(image, PIC_PAL8), std::runtime_error);
}

TEST(Quantize, FewColoursStayExactAndTransparencyTakesIndexZero) {
    rgba_image image;
    image.width = 4, image.height = 1;
    image.rgba = {1, 2, 3, 255, 200, 100, 50, 255, 1, 2, 3, 255, 9, 9, 9, 0};
    const indexed_image out = forge::quantize(image);
    EXPECT_EQ(out.pixels[3], 0);
    EXPECT_NE(out.pixels[0], 0);
    EXPECT_EQ(out.pixels[0], out.pixels[2]);
    EXPECT_EQ(out.palette[out.pixels[1] * 3], 200);
    EXPECT_EQ(out.palette[out.pixels[1] * 3 + 2], 50);
    EXPECT_EQ(out.palette[0], 0);
    // Without the reserved index every colour may use 0.
    const indexed_image all = forge::quantize(image, false);
    EXPECT_EQ(all.palette[all.pixels[3] * 3], 9);
}

TEST(Quantize, ManyColoursAreReducedCloseToTheOriginal) {
    rgba_image image;
    image.width = 256, image.height = 64;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            image.rgba.insert(image.rgba.end(), {uint8_t(x), uint8_t(y * 4), uint8_t(255 - x), 255});
    const indexed_image out = forge::quantize(image);
    int worst = 0;
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        ASSERT_NE(out.pixels[i], 0);
        for (int ch = 0; ch < 3; ++ch)
            worst = std::max(
                worst, std::abs(int(out.palette[out.pixels[i] * 3 + ch]) - int(image.rgba[i * 4 + ch])));
    }
    // 16384 colours in 255 entries: each channel stays within a few 5-bit steps.
    EXPECT_LE(worst, 40);
}

// A palette PNG written by libpng directly, as a paint program would.
std::vector<uint8_t> palette_png(int width, int height, const std::vector<uint8_t>& indexes) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* o = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)};
    png_set_PLTE(png, info, palette, 256);
    png_byte alpha[1] = {0};
    png_set_tRNS(png, info, alpha, 1, nullptr);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, const_cast<png_bytep>(indexes.data() + y * width));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

TEST(PngImport, PalettePicturesKeepTheirIndexes) {
    const std::vector<uint8_t> indexes = {0, 5, 200, 255, 7, 7};
    const forge::png_picture png = forge::read_png_bytes(palette_png(3, 2, indexes));
    ASSERT_TRUE(png.has_palette);
    EXPECT_EQ(png.indexed.pixels, indexes);
    EXPECT_EQ(png.indexed.palette[200 * 3 + 1], 55);
    EXPECT_EQ(png.image.rgba[3], 0);  // index 0 is transparent in this file
    EXPECT_EQ(png.image.rgba[4 * 4], 7);
    EXPECT_EQ(png.image.rgba[4 * 4 + 3], 255);
}

TEST(PngImport, RgbaRoundTripAndBrokenFiles) {
    rgba_image image;
    image.width = 2, image.height = 2;
    image.rgba = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const std::vector<uint8_t> bytes = forge::encode_png(image);
    const forge::png_picture back = forge::read_png_bytes(bytes);
    EXPECT_FALSE(back.has_palette);
    EXPECT_EQ(back.image.rgba, image.rgba);
    EXPECT_THROW(forge::read_png_bytes({1, 2, 3}), std::runtime_error);
    EXPECT_THROW(forge::read_png_bytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2)),
                 std::runtime_error);
    std::vector<uint8_t> damaged = bytes;
    damaged[40] ^= 0xFF;  // inside the first chunk: its checksum no longer matches
    EXPECT_THROW(forge::read_png_bytes(damaged), std::runtime_error);
}

TEST(StoredPicture, PngToEveryStoredType) {
    const forge::png_picture png = forge::read_png_bytes(palette_png(3, 2, {0, 5, 200, 255, 7, 7}));
    for (int type : {8, 15, 16, 264, 512, 520, 776}) {
        const auto record = forge::build_stored_picture(png, static_cast<uint16_t>(type));
        EXPECT_TRUE(picture_record_valid(record.data(), record.size())) << type;
    }
    const auto hi = forge::build_stored_picture(png, PIC_HICOLOR);
    EXPECT_EQ(hi[6] | hi[7] << 8, 0x8000);
    EXPECT_THROW(forge::build_stored_picture(png, 1040), std::runtime_error);
}

}  // namespace
