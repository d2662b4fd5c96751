#include <gtest/gtest.h>

#include <unistd.h>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <vector>

#include "base/paths.h"
#include "core/decoders.h"
#include "gfx/draw.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "pcx_bytes.h"
#include "support/golden.h"

namespace {

const std::string GOLDEN = VORTHAN_SOURCE_DIR "/tests/gfx/golden/";

// A picture record in aligned storage.
struct owned_picture {
    std::vector<uint16_t> words;
    owned_picture(int width, int height, uint16_t type) {
        words.assign((picture_record_bytes(width, height, type) + 1) / 2, 0);
        *get() = picture{static_cast<uint16_t>(width), static_cast<uint16_t>(height), type};
    }
    picture* get() { return reinterpret_cast<picture*>(words.data()); }
};

struct decoded {
    picture* pic = nullptr;
    int32_t size = 0;
    decoded(const std::vector<uint8_t>& file, int type, uint8_t r = 0, uint8_t g = 0, uint8_t b = 0) {
        size = decode_pcx(file.data(), static_cast<int32_t>(file.size()), type, &pic, r, g, b);
    }
    ~decoded() { game_free(pic); }
    const uint16_t* words() const { return reinterpret_cast<const uint16_t*>(pic); }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(pic); }
};

std::vector<uint8_t> one_pixel_red() {
    pcx_layout layout;
    layout.data = {0x00};
    layout.palette[0] = 255;
    return make_pcx(layout);
}

// A 4 x 3 picture with indexes 0..11 and palette entry i = (i * 20, 255 - i * 20, i).
std::vector<uint8_t> small_pcx() {
    pcx_layout layout;
    layout.width = 4, layout.height = 3;
    std::vector<uint8_t> pixels(12);
    for (int i = 0; i < 12; ++i) pixels[i] = static_cast<uint8_t>(i);
    layout.data = encode_rows(pixels, 4, 3);
    for (int i = 0; i < 256; ++i) {
        layout.palette[i * 3] = static_cast<uint8_t>(i * 20);
        layout.palette[i * 3 + 1] = static_cast<uint8_t>(255 - i * 20);
        layout.palette[i * 3 + 2] = static_cast<uint8_t>(i);
    }
    return make_pcx(layout);
}

TEST(DecodePcx, OnePixelRedAsHicolorAndKeyed) {
    const auto file = one_pixel_red();
    decoded hi(file, PIC_HICOLOR);
    ASSERT_EQ(hi.size, 2 + 16);
    EXPECT_EQ(hi.words()[0], 1);
    EXPECT_EQ(hi.words()[1], 1);
    EXPECT_EQ(hi.words()[2], 16);
    EXPECT_EQ(hi.words()[3], 0x7C00);
    decoded keyed(file, PIC_KEYED_REQUEST);
    ASSERT_GT(keyed.size, 0);
    EXPECT_EQ(keyed.words()[2], 16);
    EXPECT_EQ(keyed.words()[3], 0x8000);
}

TEST(DecodePcx, RefusesMissingBytesAndUnknownTypes) {
    const auto file = one_pixel_red();
    picture* pic = reinterpret_cast<picture*>(1);
    EXPECT_EQ(decode_pcx(nullptr, 10, PIC_PAL8, &pic), PCX_NO_DATA);
    EXPECT_EQ(pic, nullptr);
    EXPECT_EQ(decode_pcx(file.data(), 0, PIC_PAL8, &pic), PCX_NO_DATA);
    for (int type : {0, 15, 512, 1041, 0x8010, -8})
        EXPECT_EQ(decode_pcx(file.data(), static_cast<int32_t>(file.size()), type, &pic), PCX_BAD_TYPE)
            << type;
    EXPECT_EQ(pic, nullptr);
}

TEST(DecodePcx, EveryOutputLayout) {
    const auto file = small_pcx();
    decoded pal(file, PIC_PAL8);
    ASSERT_EQ(pal.size, 512 + 12 + 16);
    EXPECT_EQ(pal.pic->width, 4);
    EXPECT_EQ(pal.pic->height, 3);
    EXPECT_EQ(pal.pic->type, PIC_PAL8);
    EXPECT_EQ(picture_palette(pal.pic)[5], rgb555(100, 155, 5));
    EXPECT_EQ(pal.bytes()[518 + 7], 7);

    decoded nopal(file, PIC_NOPAL8);
    ASSERT_EQ(nopal.size, 12 + 16);
    EXPECT_EQ(nopal.pic->type, PIC_NOPAL8);
    EXPECT_EQ(nopal.bytes()[6 + 11], 11);

    decoded rgb(file, PIC_RGBPAL8);
    ASSERT_EQ(rgb.size, 768 + 12 + 16);
    EXPECT_EQ(rgb.bytes()[6 + 3 * 3], 60);
    EXPECT_EQ(rgb.bytes()[6 + 3 * 3 + 1], 195);
    EXPECT_EQ(rgb.bytes()[774 + 2], 2);

    decoded hi(file, PIC_HICOLOR);
    ASSERT_EQ(hi.size, 24 + 16);
    EXPECT_EQ(hi.words()[3 + 6], rgb555(120, 135, 6));

    decoded fade(file, PIC_FADE8, 10, 20, 30);
    ASSERT_EQ(fade.size, 5120 + 12 + 16);
    EXPECT_EQ(fade.pic->type, PIC_FADE8);
    EXPECT_EQ(picture_palette(fade.pic)[4], rgb555(80, 175, 4));  // palette 0: own colours
    EXPECT_EQ(fade.bytes()[5126 + 9], 9);
}

TEST(DecodePcx, HeaderOriginAndRowPadding) {
    pcx_layout layout;
    layout.xmin = 100, layout.ymin = 50, layout.width = 3, layout.height = 2, layout.bytes_per_line = 4;
    // Each row codes 4 pixels; the fourth is padding and never shows.
    layout.data = {1, 2, 3, 9, 4, 5, 6, 9};
    const auto file = make_pcx(layout);
    decoded pic(file, PIC_NOPAL8);
    ASSERT_GT(pic.size, 0);
    EXPECT_EQ(pic.pic->width, 3);
    EXPECT_EQ(pic.pic->height, 2);
    const uint8_t expected[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(std::memcmp(pic.bytes() + 6, expected, 6), 0);
}

TEST(DecodePcx, RunsOfZeroAndRunsPastTheRowEnd) {
    pcx_layout layout;
    layout.width = 4, layout.height = 2;
    // Row 1: an empty run (0xC0 eats the next byte), then a run of 4 sevens.
    // Row 2: a run of 6 threes is cut at the end of its row.
    layout.data = {0xC0, 0x55, 0xC4, 7, 0xC6, 3};
    const auto file = make_pcx(layout);
    decoded pic(file, PIC_NOPAL8);
    ASSERT_GT(pic.size, 0);
    const uint8_t expected[] = {7, 7, 7, 7, 3, 3, 3, 3};
    EXPECT_EQ(std::memcmp(pic.bytes() + 6, expected, 8), 0);
}

TEST(DecodePcx, CorruptFilesAreMissingPictures) {
    picture* pic = nullptr;
    auto decode = [&](const std::vector<uint8_t>& file) {
        const int32_t r = decode_pcx(file.data(), static_cast<int32_t>(file.size()), PIC_HICOLOR, &pic);
        EXPECT_EQ(pic, nullptr);
        return r;
    };
    auto file = one_pixel_red();
    EXPECT_EQ(decode(std::vector<uint8_t>(file.begin(), file.begin() + 800)), PCX_CORRUPT);  // too short

    pcx_layout layout;
    layout.width = 10, layout.height = 10;
    layout.data = {0xC5, 1};  // pixel data ends in the first row
    EXPECT_EQ(decode(make_pcx(layout)), PCX_CORRUPT);
    layout.data = {0xC5};  // a run byte with no value byte
    EXPECT_EQ(decode(make_pcx(layout)), PCX_CORRUPT);

    layout.width = 4, layout.height = 1, layout.bytes_per_line = 2;  // rows narrower than the picture
    layout.data = {0xC4, 1};
    EXPECT_EQ(decode(make_pcx(layout)), PCX_CORRUPT);

    file = make_pcx(pcx_layout{});
    file[8] = 0, file[9] = 0, file[4] = 5;  // xmax below xmin
    EXPECT_EQ(decode(file), PCX_CORRUPT);

    file = make_pcx(pcx_layout{});
    file[10] = 0xFF, file[11] = 0xFF;  // 65536 rows from one data byte
    EXPECT_EQ(decode(file), PCX_CORRUPT);
}

TEST(FadePalettes, FogAndDarknessSteps) {
    uint8_t rgb[768] = {};
    rgb[0] = rgb[1] = rgb[2] = 255;           // entry 0 white
    rgb[3] = 40, rgb[4] = 80, rgb[5] = 120;   // entry 1 equals the fade colour below
    rgb[6] = 200, rgb[7] = 100, rgb[8] = 50;  // entry 2
    uint16_t out[10 * 256];
    build_fade_palettes(rgb, 0, 0, 0, out);
    EXPECT_EQ(out[0], 0x7FFF);
    EXPECT_EQ(out[4 * 256], 0x1084);  // 255 * 2 / 14 = 36 in every channel
    EXPECT_EQ(out[5 * 256], 0x7FFF);
    EXPECT_EQ(out[9 * 256], rgb555(51, 51, 51));
    EXPECT_EQ(out[7 * 256 + 2], rgb555(120, 60, 30));

    build_fade_palettes(rgb, 40, 80, 120, out);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i * 256 + 1], rgb555(40, 80, 120)) << i;
    // Channels below the fade colour move up towards it (truncating toward zero).
    EXPECT_EQ(out[1 * 256 + 2], rgb555(40 + 160 * 11 / 14, 80 + 20 * 11 / 14, 120 + (-70 * 11) / 14));
}

TEST(PictureDecoders, HandleDecodersAndRegistration) {
    auto file = one_pixel_red();
    int32_t length = static_cast<int32_t>(file.size());
    auto* pic = static_cast<picture*>(pcx_to_pal8(file.data(), &length, 1));
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(length, 512 + 1 + 16);
    EXPECT_EQ(pic->type, PIC_PAL8);
    game_free(pic);

    length = 0;
    EXPECT_EQ(pcx_to_hicolor(nullptr, &length, 1), nullptr);
    EXPECT_EQ(length, 0);
    length = 100;  // garbage
    std::vector<uint8_t> junk(100, 0xC1);
    EXPECT_EQ(pcx_to_nopal(junk.data(), &length, 1), nullptr);
    EXPECT_EQ(length, 0);

    length = static_cast<int32_t>(file.size());
    pic = static_cast<picture*>(pcx_to_fog_pending(file.data(), &length, 1));
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->type, 0x8010);
    clear_buffer(frame_buffer, 0x1234);
    target_frame_buffer();
    put_picture(0, 0, pic);  // still waiting for its fog: not drawable
    EXPECT_EQ(frame_buffer[0], 0x1234);
    game_free(pic);

    set_fade_colour(255, 255, 255);
    length = static_cast<int32_t>(file.size());
    pic = static_cast<picture*>(pcx_to_fade(file.data(), &length, 1));
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(picture_palette(pic)[4 * 256 + 1],
              rgb555(255 - 255 * 2 / 14, 255 - 255 * 2 / 14, 255 - 255 * 2 / 14));
    game_free(pic);
    set_fade_colour(0, 0, 0);

    register_picture_decoders();
    length = static_cast<int32_t>(file.size());
    pic = static_cast<picture*>(decoder_for(decoder_id::pcx_1040)(file.data(), &length, 27));
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(picture_pixels16(pic)[0], 0x8000);
    game_free(pic);
    EXPECT_EQ(registered_decoder(decoder_id::pcx_to_fade), &pcx_to_fade);
}

TEST(PictureDecoders, HandleTableLoadsDecodedPictures) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("vorthan-gfx-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    auto write = [&](const char* name, const std::vector<uint8_t>& bytes) {
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    write("SMALL.PCX", small_pcx());
    write("BROKEN.PCX", std::vector<uint8_t>(900, 0xC9));
    const std::string saved = path_table[PATH_GUI];
    path_table[PATH_GUI] = folder.string();
    register_picture_decoders();

    ASSERT_NE(define_handle(0x9000, "small.pcx", decoder_for(decoder_id::pcx_to_pal8), PATH_GUI), nullptr);
    const auto* pic = static_cast<const picture*>(get_handle_data(0x9000));
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->type, PIC_PAL8);
    EXPECT_EQ(pic->width, 4);
    EXPECT_EQ(handle_length(0x9000), 512 + 12 + 16);
    // A broken file is a missing picture.
    ASSERT_NE(define_handle(0x9001, "broken.pcx", decoder_for(decoder_id::pcx_to_hicolor), PATH_GUI),
              nullptr);
    EXPECT_EQ(get_handle_data(0x9001), nullptr);
    EXPECT_EQ(handle_length(0x9001), 0);
    undefine_handle(0x9000);
    undefine_handle(0x9001);
    path_table[PATH_GUI] = saved;
    std::filesystem::remove_all(folder);
}

TEST(PictureDecoders, RawPictureChecksTheRecordAndKeepsThePalette) {
    owned_picture stored(2, 2, PIC_PAL8);
    picture_palette(stored.get())[1] = 0x4210;  // mid grey
    picture_pixels8(stored.get())[0] = 1;
    const int32_t size = static_cast<int32_t>(picture_record_bytes(2, 2, PIC_PAL8));
    int32_t length = size;
    auto* copy = static_cast<picture*>(raw_picture(stored.words.data(), &length, 1));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(length, size);
    EXPECT_EQ(picture_palette(copy)[1], 0x4210);
    EXPECT_EQ(picture_pixels8(copy)[0], 1);
    game_free(copy);

    length = size - 1;  // one pixel short
    EXPECT_EQ(raw_picture(stored.words.data(), &length, 1), nullptr);
    EXPECT_EQ(length, 0);
    stored.get()->type = 77;
    length = size;
    EXPECT_EQ(raw_picture(stored.words.data(), &length, 1), nullptr);
}

TEST(PictureRecord, SizesByType) {
    EXPECT_EQ(picture_record_bytes(3, 2, PIC_PAL8), 6 + 512 + 6);
    EXPECT_EQ(picture_record_bytes(3, 2, PIC_RAW15), 6 + 12);
    EXPECT_EQ(picture_record_bytes(3, 2, PIC_FADE8), 6 + 5120 + 6);
    EXPECT_EQ(picture_record_bytes(3, 2, PIC_NOPAL8), 6 + 6);
    EXPECT_EQ(picture_record_bytes(3, 2, PIC_RGBPAL8), 6 + 768 + 6);
    EXPECT_EQ(picture_record_bytes(3, 2, 1040), -1);
    owned_picture p(3, 2, PIC_FADE8);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(picture_pixels8(p.get())) - reinterpret_cast<uint8_t*>(p.get()),
              5126);
    p.get()->type = PIC_HICOLOR | PIC_FOG_PENDING;
    EXPECT_TRUE(picture_record_valid(p.get(), 18));
    EXPECT_FALSE(picture_record_valid(p.get(), 17));
    EXPECT_FALSE(picture_record_valid(p.get(), 4));
}

class DrawPicture : public ::testing::Test {
  protected:
    void SetUp() override {
        target_frame_buffer();
        clear_buffer(frame_buffer, 0x0001);
    }
    static uint16_t at(int x, int y) { return frame_buffer[y * 640 + x]; }
    static int count_not_background() {
        int n = 0;
        for (int i = 0; i < 640 * 480; ++i) n += frame_buffer[i] != 0x0001;
        return n;
    }
};

owned_picture solid_hicolor(int width, int height, uint16_t colour) {
    owned_picture p(width, height, PIC_HICOLOR);
    for (int i = 0; i < width * height; ++i) picture_pixels16(p.get())[i] = colour;
    return p;
}

TEST_F(DrawPicture, CutAtTheRightAndBottomEdgesOnly) {
    auto p = solid_hicolor(20, 5, 0x7FFF);
    put_picture(630, 0, p.get());
    EXPECT_EQ(count_not_background(), 10 * 5);
    EXPECT_EQ(at(639, 4), 0x7FFF);
    clear_buffer(frame_buffer, 0x0001);
    put_picture(641, 0, p.get());
    put_picture(0, 481, p.get());
    put_picture(-1, 0, p.get());  // 65535: off screen, not clipped at the left
    put_picture(640, 0, p.get());
    EXPECT_EQ(count_not_background(), 0);
    put_picture(0, 478, p.get());
    EXPECT_EQ(count_not_background(), 20 * 2);
}

TEST_F(DrawPicture, HicolorCopiesTransparentValueAsIs) {
    auto p = solid_hicolor(2, 1, 0x8000);
    put_picture(5, 5, p.get());
    EXPECT_EQ(at(5, 5), 0x8000);
    EXPECT_EQ(at(6, 5), 0x8000);
}

TEST_F(DrawPicture, EightBitTypesSkipIndexZeroOthersDrawNothing) {
    for (uint16_t type : {PIC_PAL8, PIC_WIDE8, PIC_FADE8}) {
        clear_buffer(frame_buffer, 0x0001);
        owned_picture p(2, 1, type);
        picture_palette(p.get())[0] = 0x7FFF;
        picture_palette(p.get())[3] = 0x4210;
        picture_pixels8(p.get())[1] = 3;
        put_picture(0, 0, p.get());
        EXPECT_EQ(at(0, 0), 0x0001) << type;
        EXPECT_EQ(at(1, 0), 0x4210) << type;
    }
    for (int type : {int{PIC_NOPAL8}, int{PIC_RGBPAL8}, 99}) {
        owned_picture p(2, 1, PIC_RGBPAL8);
        p.get()->type = static_cast<uint16_t>(type);
        std::fill(p.words.begin() + 3, p.words.end(), 0x0505);
        put_picture(0, 10, p.get());
        EXPECT_EQ(at(0, 10), 0x0001) << type;
    }
    owned_picture empty(0, 0, PIC_HICOLOR);
    put_picture(0, 0, empty.get());
    put_picture(0, 0, nullptr);
    EXPECT_EQ(at(1, 0), 0x4210);
}

TEST_F(DrawPicture, OverlayIntoPictureSizedBuffer) {
    owned_picture p(3, 2, PIC_PAL8);
    picture_palette(p.get())[2] = 0x03E0;
    picture_pixels8(p.get())[4] = 2;
    std::vector<uint16_t> overlay(6, 0x8000);
    put_picture_to(0, 0, p.get(), overlay.data(), 3);
    const std::vector<uint16_t> expected = {0x8000, 0x8000, 0x8000, 0x8000, 0x03E0, 0x8000};
    EXPECT_EQ(overlay, expected);
}

TEST_F(DrawPicture, GetPictureGrabsAClippedRectangle) {
    for (int i = 0; i < 10; ++i) frame_buffer[479 * 640 + 630 + i] = static_cast<uint16_t>(100 + i);
    owned_picture grab(20, 20, PIC_RAW15);
    get_picture(635, 479, 20, 20, grab.get());
    EXPECT_EQ(grab.get()->width, 5);
    EXPECT_EQ(grab.get()->height, 1);
    EXPECT_EQ(grab.get()->type, PIC_RAW15);
    EXPECT_EQ(picture_pixels16(grab.get())[0], 105);
    EXPECT_EQ(picture_pixels16(grab.get())[4], 109);
    get_picture(700, 0, 20, 20, grab.get());
    EXPECT_EQ(grab.get()->width, 0);
    put_picture(0, 0, grab.get());  // a 0-sized picture draws nothing
    EXPECT_EQ(count_not_background(), 10);
}

TEST_F(DrawPicture, RowsTilesAndComposition) {
    owned_picture p(3, 4, PIC_PAL8);
    for (int i = 0; i < 12; ++i) {
        picture_palette(p.get())[i + 1] = static_cast<uint16_t>(0x100 + i);
        picture_pixels8(p.get())[i] = static_cast<uint8_t>(i + 1);
    }
    picture_pixels8(p.get())[4] = 0;                             // a transparent hole at (1, 1)
    put_picture_rows(p.get(), pixel_address(10, 10), 1, 2, 10);  // cut to the 3 rows left
    EXPECT_EQ(at(10, 10), 0x103);
    EXPECT_EQ(at(11, 10), 0x0001);
    EXPECT_EQ(at(12, 10), 0x0001);  // only 2 columns
    EXPECT_EQ(at(10, 12), 0x109);
    EXPECT_EQ(at(10, 13), 0x0001);

    clear_buffer(frame_buffer, 0x0001);
    tile_picture(-2, 0, 9, 5, -1, 5, p.get());
    // Screen column 0 is rectangle column 2: picture column (-1 + 2) mod 3 = 1;
    // row 0 is picture row 5 mod 4 = 1, whose column 1 is the hole.
    EXPECT_EQ(at(0, 0), 0x0001);
    EXPECT_EQ(at(1, 0), 0x105);
    EXPECT_EQ(at(0, 1), 0x107);
    EXPECT_EQ(at(5, 4), 0x103);
    EXPECT_EQ(at(6, 4), 0x0001);  // the hole again
    EXPECT_EQ(at(7, 0), 0x0001);  // rectangle ends at screen column 6

    auto hi = solid_hicolor(4, 3, 0x2222);
    picture_pixels16(hi.get())[4] = 0x3333;
    std::vector<uint16_t> dest(640 * 4, 0);
    copy_picture_rows(hi.get(), dest.data(), 1, 5);
    EXPECT_EQ(dest[0], 0x3333);
    EXPECT_EQ(dest[640 + 3], 0x2222);
    EXPECT_EQ(dest[4], 0);
    EXPECT_EQ(dest[2 * 640], 0);  // only 2 rows remained

    owned_picture base(4, 4, PIC_FADE8), item(3, 3, PIC_FADE8);
    std::fill_n(picture_pixels8(item.get()), 9, 5);
    picture_pixels8(item.get())[0] = 0;
    compose_picture(item.get(), base.get(), 2, -1);
    const uint8_t* b = picture_pixels8(base.get());
    EXPECT_EQ(b[2], 5);  // (2, 0) from item (0, 1)
    EXPECT_EQ(b[3], 5);
    EXPECT_EQ(b[1 * 4 + 3], 5);
    EXPECT_EQ(b[2 * 4 + 2], 0);  // item row 3 does not exist
    EXPECT_EQ(b[0], 0);
}

TEST_F(DrawPicture, StoredPictureFileAtAnyAddress) {
    std::vector<uint8_t> file(1 + 6 + 2 * 2 * 2);
    const uint8_t record[] = {2, 0, 2, 0, 16, 0, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x00, 0x80};
    std::memcpy(file.data() + 1, record, sizeof record);  // odd address, as in an archive
    EXPECT_TRUE(draw_stored_picture(file.data() + 1, sizeof record, 3, 4));
    EXPECT_EQ(at(3, 4), 0x7C00);
    EXPECT_EQ(at(4, 4), 0x03E0);
    EXPECT_EQ(at(3, 5), 0x001F);
    EXPECT_EQ(at(4, 5), 0x8000);
    clear_buffer(frame_buffer, 0x0001);
    EXPECT_FALSE(draw_stored_picture(file.data() + 1, sizeof record - 1, 0, 0));
    EXPECT_FALSE(draw_stored_picture(nullptr, 0, 0, 0));
    EXPECT_EQ(count_not_background(), 0);
}

// Every drawable picture type, decoded from PCX files made here.
TEST_F(DrawPicture, PictureTypesMatchGoldenPicture) {
    clear_buffer(frame_buffer, rgb555(30, 40, 60));
    pcx_layout layout;
    layout.width = 96, layout.height = 64;
    std::vector<uint8_t> pixels(96 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) {
            const int dx = x - 48, dy = y - 32;
            pixels[y * 96 + x] = dx * dx + dy * dy < 30 * 30
                                     ? static_cast<uint8_t>(1 + (x / 8 + y / 8) % 15 * 16 + y % 16)
                                     : 0;
        }
    layout.data = encode_rows(pixels, 96, 64);
    for (int i = 0; i < 256; ++i) {
        layout.palette[i * 3] = static_cast<uint8_t>(i);
        layout.palette[i * 3 + 1] = static_cast<uint8_t>((i * 7) & 0xFF);
        layout.palette[i * 3 + 2] = static_cast<uint8_t>(255 - i);
    }
    const auto file = make_pcx(layout);
    int x = 8;
    for (int type : {int{PIC_PAL8}, int{PIC_HICOLOR}, PIC_KEYED_REQUEST}) {
        decoded d(file, type);
        ASSERT_GT(d.size, 0);
        put_picture(x, 8, d.pic);
        x += 104;
    }
    for (int i = 0; i < 5; ++i) {
        decoded d(file, PIC_FADE8, 200, 190, 160);
        ASSERT_GT(d.size, 0);
        // Draw with each fog and darkness palette by moving it to the front.
        for (int set : {i, 5 + i}) {
            owned_picture copy(96, 64, PIC_FADE8);
            std::memcpy(copy.words.data(), d.pic, picture_record_bytes(96, 64, PIC_FADE8));
            std::memcpy(picture_palette(copy.get()), picture_palette(d.pic) + set * 256, 512);
            put_picture(8 + i * 104, set < 5 ? 90 : 170, copy.get());
        }
    }
    // Type 512 looks exactly like type 8 with the same palette.
    decoded wide(file, PIC_PAL8);
    wide.pic->type = PIC_WIDE8;
    put_picture(320, 8, wide.pic);
    decoded tile(file, PIC_PAL8);
    tile_picture(8, 250, 624, 150, 13, -7, tile.pic);
    put_picture(600, 440, tile.pic);  // cut at both edges
    EXPECT_TRUE(golden::matches(GOLDEN + "picture_types.png", frame_buffer));
}

}  // namespace
