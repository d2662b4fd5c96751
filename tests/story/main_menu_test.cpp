// The main menu: the logo rebuilt from its XOR deltas, the items' glow, and
// the menu driven by keys and the mouse over pictures the test writes.
#include <set>
#include <string>

#include "base/paths.h"
#include "core/events.h"
#include "forge/pcx_writer.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "story/main_menu.h"
#include "support/temp_folder.h"
#include "window_harness.h"

namespace {

constexpr uint16_t KEY_UP = 0x4800, KEY_DOWN = 0x5000, KEY_SPACE = 0x3920, KEY_CLOSE = 0xFFFF;

// An 8-bit picture record: index pick(x, y), palette entry i = colour(i).
std::vector<uint8_t> pal8_record(int w, int h, const std::function<uint8_t(int, int)>& pick,
                                 const std::function<uint16_t(int)>& colour) {
    std::vector<uint8_t> bytes(size_t(picture_record_bytes(w, h, PIC_PAL8)));
    auto* pic = reinterpret_cast<picture*>(bytes.data());
    pic->width = uint16_t(w);
    pic->height = uint16_t(h);
    pic->type = PIC_PAL8;
    for (int i = 0; i < 256; ++i) picture_palette(pic)[i] = colour(i);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) picture_pixels8(pic)[y * w + x] = pick(x, y);
    return bytes;
}

TEST(MenuLogo, XorDeltasReproduceTheFramesInTheirOwnPalettes) {
    const auto reference_index = [](int x, int y) { return uint8_t((x * 7 + y * 3) % 200 + 1); };
    const auto frame_index = [](int x, int y) { return uint8_t((x + y * 11) % 250 + 3); };
    const auto frame_colour = [](int i) { return uint16_t(0x1234 ^ (i * 37)); };
    const auto reference = pal8_record(12, 5, reference_index, [](int) { return uint16_t(0x7FFF); });
    const auto delta = pal8_record(
        12, 5, [&](int x, int y) { return uint8_t(frame_index(x, y) ^ reference_index(x, y)); },
        frame_colour);
    picture* frame = logo_frame_from_delta(reinterpret_cast<const picture*>(reference.data()),
                                           reinterpret_cast<const picture*>(delta.data()));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->type, PIC_HICOLOR);
    ASSERT_EQ(frame->width, 12);
    ASSERT_EQ(frame->height, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(picture_pixels16(frame)[y * 12 + x], frame_colour(frame_index(x, y))) << x << "," << y;
    game_free(frame);

    // A delta larger than the reference: beyond it the reference counts as index 0.
    const auto small = pal8_record(4, 2, reference_index, [](int) { return uint16_t(0); });
    frame = logo_frame_from_delta(reinterpret_cast<const picture*>(small.data()),
                                  reinterpret_cast<const picture*>(delta.data()));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(picture_pixels16(frame)[4 * 12 + 11],
              frame_colour(frame_index(11, 4) ^ reference_index(11, 4)));
    game_free(frame);
    EXPECT_EQ(logo_frame_from_delta(nullptr, reinterpret_cast<const picture*>(delta.data())), nullptr);
}

TEST(MenuGlow, RestingPointerRaisesItsItemEveryThirdTickToFourThenFadesWhenItLeaves) {
    menu_glow state;
    menu_point_at(state, 2);
    std::vector<int> levels, logo;
    for (int tick = 0; tick < 18; ++tick) {
        const menu_tick_drawing drawn = menu_tick(state);
        levels.push_back(drawn.item_level[2]);
        logo.push_back(drawn.logo_frame);
        EXPECT_EQ(drawn.item_level[0], -1) << "an item already dark is not drawn again";
    }
    EXPECT_EQ(levels, (std::vector<int>{1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1, -1, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(logo, (std::vector<int>{0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1, -1, 5, -1, -1}));
    menu_point_at(state, -1);
    levels.clear();
    for (int tick = 0; tick < 15; tick += 3) {
        levels.push_back(menu_tick(state).item_level[2]);
        menu_tick(state);
        menu_tick(state);
    }
    EXPECT_EQ(levels, (std::vector<int>{3, 2, 1, 0, -1}));
    EXPECT_EQ(state.glow[2], 0);
}

TEST(MenuGlow, LogoLoopsThroughItsThirtyFramesEveryNinetyTicks) {
    menu_glow state;
    int last = -1;
    for (int tick = 0; tick < LOGO_TICKS; ++tick)
        if (int frame = menu_tick(state).logo_frame; frame >= 0) last = frame;
    EXPECT_EQ(last, LOGO_FRAMES - 1);
    EXPECT_EQ(state.logo_tick, 0);
    EXPECT_EQ(menu_tick(state).logo_frame, 0);
}

// ---- The menu on the headless display ----------------------------------------

constexpr int MASK_W = 100, MASK_H = 50;  // item i: rows 10 i to 10 i + 9

uint16_t level_colour(int level) {
    return rgb555(8 + 40 * level, 16, 0);
}
uint16_t logo_colour(int frame, int index) {
    return rgb555(8 * (index % 32), 8 * frame, 248);
}

forge::indexed_image image(int w, int h, const std::function<uint8_t(int, int)>& pick,
                           const std::function<std::array<uint8_t, 3>(int)>& rgb) {
    forge::indexed_image out;
    out.width = w;
    out.height = h;
    out.pixels.resize(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out.pixels[size_t(y) * w + x] = pick(x, y);
    for (int i = 0; i < 256; ++i) {
        const auto c = rgb(i);
        for (int k = 0; k < 3; ++k) out.palette[size_t(i) * 3 + k] = c[size_t(k)];
    }
    return out;
}

class MainMenu : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        saved_gui_ = path_table[PATH_GUI];
        path_table[PATH_GUI] = folder_.path();
    }
    void TearDown() override {
        for (handle_id id = H_MENU_LOGO_REFERENCE; id <= H_MENU_GLOW + MENU_GLOW_MAX; ++id)
            undefine_handle(id);
        path_table[PATH_GUI] = saved_gui_;
        WindowTest::TearDown();
    }
    void write(const std::string& name, const forge::indexed_image& picture) {
        const std::vector<uint8_t> bytes = forge::encode_pcx(picture);
        folder_.write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    // The whole menu: a logo of 30 frames (frame k: index (x + k) % 16 + 1 in
    // a palette of its own), the background, the mask and five glow levels.
    void write_menu() {
        const auto reference = [](int x, int y) { return uint8_t((x + y) % 16 + 1); };
        write("LOGO00.PCX", image(16, 4, reference, [](int i) { return rgb(logo_colour(0, i)); }));
        for (int k = 1; k < LOGO_FRAMES; ++k) {
            char name[16];
            std::snprintf(name, sizeof name, "LOGO%02d.PCX", k);
            write(name,
                  image(
                      16, 4, [&](int x, int y) { return uint8_t(((x + y + k) % 16 + 1) ^ reference(x, y)); },
                      [k](int i) { return rgb(logo_colour(k, i)); }));
        }
        write("MAINMENU.PCX", image(
                                  640, 480, [](int, int) { return uint8_t(1); },
                                  [](int) {
                                      return std::array<uint8_t, 3>{0, 0, 64};
                                  }));
        write("MENUVOL5.PCX", image(
                                  MASK_W, MASK_H, [](int, int y) { return uint8_t(y / 10 + 1); },
                                  [](int) { return std::array<uint8_t, 3>{}; }));
        for (int level = 0; level <= MENU_GLOW_MAX; ++level)
            write("MENUVOL" + std::to_string(level) + ".PCX",
                  image(
                      MASK_W, MASK_H, [](int, int) { return uint8_t(1); },
                      [level](int) { return rgb(level_colour(level)); }));
    }
    static std::array<uint8_t, 3> rgb(uint16_t colour) {
        return {uint8_t((colour >> 10 & 31) << 3), uint8_t((colour >> 5 & 31) << 3),
                uint8_t((colour & 31) << 3)};
    }
    static uint16_t pixel(int x, int y) { return frame_buffer[y * SCREEN_PITCH + x]; }
    // A point of item i in the menu area.
    static int item_x() { return MENU_AREA_X + 50; }
    static int item_y(int item) { return MENU_AREA_Y + item * 10 + 5; }

    temp_folder folder_;
    std::string saved_gui_;
};

const uint16_t BACKGROUND = rgb555(0, 0, 64);

TEST_F(MainMenu, DownPressedFiveTimesSelectsQuitAndStaysThere) {
    write_menu();
    for (int i = 0; i < 7; ++i) key(20 + 3 * i, KEY_DOWN);
    at(60, [] { EXPECT_EQ(pixel(item_x(), item_y(4)), level_colour(MENU_GLOW_MAX)); });
    key(61, KEY_ENTER);
    EXPECT_EQ(main_menu(true), MENU_QUIT);
    // The pick waits until the item has faded out again.
    EXPECT_GE(polls(), 61 + 3 * (MENU_GLOW_MAX - 1));
    EXPECT_EQ(pixel(item_x(), item_y(4)), level_colour(0));
}

TEST_F(MainMenu, UpAndDownMoveTheCursorAndSpaceOrEnterPicksIt) {
    write_menu();
    key(20, KEY_UP);  // from no item: the first
    key(23, KEY_DOWN);
    key(26, KEY_DOWN);
    key(29, KEY_UP);
    key(32, KEY_SPACE);
    EXPECT_EQ(main_menu(true), MENU_LOAD);  // items 0, 1, 2, 1, then Space
}

TEST_F(MainMenu, PointerGlowsItsItemOnlyWithinTheMaskAndAClickPicksIt) {
    write_menu();
    mouse(20, item_x(), item_y(3), MOUSE_EV_MOTION, false);
    at(40, [] {
        EXPECT_EQ(pixel(item_x(), item_y(3)), level_colour(MENU_GLOW_MAX));
        EXPECT_EQ(pixel(item_x(), item_y(2)), BACKGROUND)
            << "the other items stay as the background drew them";
        EXPECT_EQ(pixel(MENU_AREA_X + MASK_W + 2, item_y(3)), BACKGROUND) << "outside the mask";
    });
    // Off the items: the item fades, and a click there picks nothing.
    mouse(41, 10, 10, MOUSE_EV_MOTION, false);
    click(43, 10, 10);
    at(60, [] { EXPECT_EQ(pixel(item_x(), item_y(3)), level_colour(0)); });
    mouse(61, item_x(), item_y(1), MOUSE_EV_MOTION, false);
    click(62, item_x(), item_y(1));
    EXPECT_EQ(main_menu(true), MENU_LOAD);
}

TEST_F(MainMenu, ClosingTheWindowPicksQuit) {
    write_menu();
    key(20, KEY_CLOSE);
    EXPECT_EQ(main_menu(false), MENU_QUIT);
}

TEST_F(MainMenu, LogoPlaysItsThirtyFramesRebuiltFromTheDeltas) {
    write_menu();
    std::set<int> seen;
    for (int poll = 20; poll < 20 + LOGO_TICKS; ++poll)
        at(poll, [&seen] {
            // Whatever frame shows, it is whole: every pixel in that frame's colours.
            int frame = -1;
            for (int k = 0; k < LOGO_FRAMES; ++k)
                if (pixel(LOGO_X, LOGO_Y) == logo_colour(k, k % 16 + 1)) frame = k;
            ASSERT_GE(frame, 0);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 16; ++x)
                    ASSERT_EQ(pixel(LOGO_X + x, LOGO_Y + y), logo_colour(frame, (x + y + frame) % 16 + 1))
                        << frame;
            seen.insert(frame);
        });
    key(20 + LOGO_TICKS, KEY_CLOSE);
    main_menu(true);
    EXPECT_EQ(seen.size(), size_t(LOGO_FRAMES)) << "each of the thirty frames in turn";
}

TEST_F(MainMenu, MissingPicturesLeaveAWorkingMenu) {
    // Nothing written: no logo, background, mask or glow.
    key(20, KEY_DOWN);
    key(22, KEY_ENTER);
    EXPECT_EQ(main_menu(false), MENU_NEW_GAME);
    mouse(polls() + 20, item_x(), item_y(2), MOUSE_EV_MOTION, false);
    click(polls() + 21, item_x(), item_y(2));
    key(polls() + 30, KEY_CLOSE);
    EXPECT_EQ(main_menu(true), MENU_QUIT) << "without a mask the pointer is over no item";
}

}  // namespace
