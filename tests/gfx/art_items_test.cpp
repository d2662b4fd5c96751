// The demo's item pictures as the game finds them in its items folder: the
// icon libraries read through the rules' reader hold a painted icon for each
// of the 45 items, every item has a floor picture the view can decode, worn
// items have a man's and a woman's picture of one size, and the thrown items
// have their sixteen flight pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "core/handles.h"
#include "gfx/picture.h"
#include "rules/icons.h"

namespace {

const std::string items_dir = VORTHAN_DEMO_DIR "/graphics/items/";
constexpr int ITEM_COUNT = 45;

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::string numbered(const char* format, int a, int b = 0, int c = 0) {
    char name[32];
    std::snprintf(name, sizeof name, format, a, b, c);
    return name;
}

uint16_t word(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// A PCX file decoded as the view decodes item pictures.
struct decoded {
    picture* pic = nullptr;
    explicit decoded(const std::string& path) {
        const std::vector<uint8_t> file = read_file(path);
        if (!file.empty()) decode_pcx(file.data(), static_cast<int32_t>(file.size()), PIC_FADE8, &pic);
    }
    ~decoded() { game_free(pic); }
    decoded(const decoded&) = delete;
    decoded& operator=(const decoded&) = delete;
    int opaque_in_row(int y) const {
        int n = 0;
        for (int x = 0; x < pic->width; ++x) n += picture_pixels8(pic)[y * pic->width + x] > 1;
        return n;
    }
};

TEST(DemoItemArt, EveryItemHasAPaintedIconInTheLibrariesAndAFloorPictureStandingOnItsLastRow) {
    icon_libraries icons;
    const int count =
        count_icon_libraries([](const std::string& name) { return !read_file(items_dir + name).empty(); });
    ASSERT_EQ(count, 3);
    for (int lib = 0; lib < count; ++lib) {
        std::vector<uint8_t> bytes = read_file(items_dir + icon_library_name(lib));
        EXPECT_EQ(bytes.size(), static_cast<size_t>(ICONS_PER_LIBRARY * ICON_PICTURE_BYTES)) << lib;
        icons.add_library(std::move(bytes));
    }
    for (int n = 0; n < ICONS_PER_LIBRARY * count; ++n) {
        const std::span<const uint8_t> icon = icons.icon_picture(static_cast<uint16_t>(n));
        ASSERT_EQ(icon.size(), static_cast<size_t>(ICON_PICTURE_BYTES)) << "icon " << n;
        EXPECT_EQ(word(icon, 0), ICON_WIDTH) << n;
        EXPECT_EQ(word(icon, 2), ICON_HEIGHT) << n;
        EXPECT_EQ(word(icon, 4), PIC_PAL8) << n;
        const auto pixels = icon.subspan(ICON_HEADER_BYTES + ICON_PALETTE_BYTES);
        std::set<uint16_t> colours;
        int opaque = 0;
        for (uint8_t p : pixels)
            if (p != 0) ++opaque, colours.insert(word(icon, ICON_HEADER_BYTES + 2 * p));
        if (n >= ITEM_COUNT) {
            EXPECT_EQ(opaque, 0) << "the free place " << n << " draws nothing";
            continue;
        }
        // Transparent around the item, yet a real, shaded picture.
        EXPECT_GT(opaque, 80) << "icon " << n;
        EXPECT_LT(opaque, ICON_WIDTH * ICON_HEIGHT * 3 / 4) << "icon " << n;
        EXPECT_GT(colours.size(), 12u) << "icon " << n;
    }
    EXPECT_TRUE(icons.icon_picture(ICONS_PER_LIBRARY * count).empty());

    for (int n = 0; n < ITEM_COUNT; ++n) {
        const decoded floor(items_dir + numbered("ITEM%02d.PCX", n));
        ASSERT_NE(floor.pic, nullptr) << "ITEM" << n;
        EXPECT_EQ(floor.pic->type, PIC_FADE8);
        int opaque = 0, shadow = 0;
        const uint8_t* px = picture_pixels8(floor.pic);
        for (int i = 0; i < floor.pic->width * floor.pic->height; ++i)
            opaque += px[i] > 1, shadow += px[i] == 1;
        EXPECT_GT(opaque, 20) << "ITEM" << n;
        EXPECT_GT(shadow, 0) << "ITEM" << n << " casts a shadow";
        // Nothing empty below the item and its shadow: it lies where the view puts its foot.
        int last_row = 0;
        for (int x = 0; x < floor.pic->width; ++x)
            last_row += px[(floor.pic->height - 1) * floor.pic->width + x] != 0;
        EXPECT_GT(last_row, 0) << "ITEM" << n;
    }
}

TEST(DemoItemArt, WornPicturesOfBothFiguresShareTheirSizeAndThrownItemsHaveEveryFlightPicture) {
    for (int n : {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 23}) {
        const decoded man(items_dir + numbered("ITEM%02dM.PCX", n)),
            woman(items_dir + numbered("ITEM%02dF.PCX", n));
        ASSERT_NE(man.pic, nullptr) << n;
        ASSERT_NE(woman.pic, nullptr) << n;
        // One body_pos places either picture, so both must be equally large.
        EXPECT_EQ(man.pic->width, woman.pic->width) << n;
        EXPECT_EQ(man.pic->height, woman.pic->height) << n;
        EXPECT_LE(man.pic->width, 194) << n;
        EXPECT_LE(man.pic->height, 340) << n;
    }
    for (int n : {0, 7, 8})
        for (int view = 0; view < 4; ++view)
            for (int phase = 0; phase < 4; ++phase) {
                const decoded flight(items_dir + numbered("FLY%02d%d%d.PCX", n, view, phase));
                ASSERT_NE(flight.pic, nullptr) << n << " " << view << phase;
                EXPECT_GT(flight.opaque_in_row(flight.pic->height / 2) + flight.opaque_in_row(0), 0);
            }
}

}  // namespace
