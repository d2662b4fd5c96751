// The display reached through the game's own paths: present_rect of the
// screen buffer and the event tree's keyboard and mouse readers.
#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/events.h"
#include "core/events_cursor.h"
#include "core/handles.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "platform/display.h"
#include "platform/headless_display.h"

namespace {

std::vector<int32_t> keys_seen;
std::vector<mouse_record> mice_seen;

void collect_key(event_msg& msg, void**) {
    if (msg.number == EV_KEY) keys_seen.push_back(msg.next_int());
}
void collect_mouse(event_msg& msg, void**) {
    if (msg.number == EV_MOUSE) mice_seen.push_back(*msg.next_ptr<mouse_record>());
}

class DisplayHooks : public ::testing::Test {
  protected:
    void SetUp() override {
        set_display_factory([] { return std::make_unique<HeadlessDisplay>(); });
        display_open(video_settings{}, "Vorthan");
        install_display_hooks();
        reset_keyboard_layer();
        clear_event_tree();
        add_event_handler(EV_POLL, keyboard_reader);
        add_event_handler(EV_POLL, mouse_reader);
        add_event_handler(EV_KEY, collect_key);
        add_event_handler(EV_MOUSE, collect_mouse);
        keys_seen.clear();
        mice_seen.clear();
    }
    void TearDown() override {
        clear_event_tree();
        remove_display_hooks();
        destroy_display();
        set_display_factory(nullptr);
    }
    HeadlessDisplay& headless() { return static_cast<HeadlessDisplay&>(display()); }
    void polls(int n) {
        for (int i = 0; i < n; ++i) dispatch_event(EV_POLL);
    }
};

}  // namespace

TEST_F(DisplayHooks, PresentRectReachesTheDisplay) {
    clear_buffer(frame_buffer, 0x7C00);
    present_rect(0, 0, 0, 0);
    polls(1);
    ASSERT_EQ(headless().present_count(), 1u);
    EXPECT_EQ(headless().frames()[0].pixels[640 * 480 - 1], 0x7C00);
}

TEST_F(DisplayHooks, DeadKeyAndLetterArriveAsOneAccentedKey) {
    headless().inject_scancode(0, SDL_SCANCODE_EQUALS);
    headless().inject_scancode(0, SDL_SCANCODE_E);
    headless().inject_scancode(0, SDL_SCANCODE_EQUALS);
    headless().inject_scancode(0, SDL_SCANCODE_EQUALS);
    headless().inject_scancode(0, SDL_SCANCODE_F1);
    polls(6);
    EXPECT_EQ(keys_seen, (std::vector<int32_t>{0x1282, 0x0D3D, 0x3B00}));
}

TEST_F(DisplayHooks, CloseRequestSendsTheCloseKeyOnEveryPoll) {
    headless().inject_quit(0);
    headless().inject_scancode(0, SDL_SCANCODE_ESCAPE);
    polls(3);
    EXPECT_EQ(keys_seen, (std::vector<int32_t>{0xFFFF, 0x011B, 0xFFFF, 0xFFFF}));
    display().clear_quit_request();
    keys_seen.clear();
    polls(2);
    EXPECT_TRUE(keys_seen.empty());
}

TEST_F(DisplayHooks, MouseReaderSendsOnlyChanges) {
    headless().inject_mouse_move(0, 320, 240);
    headless().inject_mouse_button(0, 1, true);
    polls(3);
    ASSERT_EQ(mice_seen.size(), 1u);
    EXPECT_EQ(mice_seen[0].x, 320);
    EXPECT_EQ(mice_seen[0].y, 240);
    EXPECT_EQ(mice_seen[0].events, MOUSE_EV_MOTION | MOUSE_EV_LEFT_DOWN);
}

TEST_F(DisplayHooks, VirtualClockAdvancesPerPoll) {
    const uint64_t before = display().milliseconds();
    polls(4);
    EXPECT_EQ(display().milliseconds(), before + 40);
}

namespace {
// A 3 x 2 picture of 8-bit indices whose index 0 is transparent.
std::vector<uint8_t> small_pal8_picture() {
    std::vector<uint8_t> bytes(6 + 512 + 6, 0);
    const uint16_t header[3] = {3, 2, PIC_PAL8};
    std::memcpy(bytes.data(), header, 6);
    const uint16_t red = 0x7C00;
    std::memcpy(bytes.data() + 6 + 2 * 1, &red, 2);  // palette entry 1
    const uint8_t pixels[6] = {1, 0, 1, 1, 1, 0};
    std::memcpy(bytes.data() + 6 + 512, pixels, 6);
    return bytes;
}
}  // namespace

TEST_F(DisplayHooks, OverlayPicturesKeepTransparentPixels) {
    const std::vector<uint8_t> bytes = small_pal8_picture();
    const auto* pic = reinterpret_cast<const picture*>(bytes.data());
    EXPECT_EQ(encode_overlay_picture(pic),
              (std::vector<uint16_t>{0x7C00, 0x8000, 0x7C00, 0x7C00, 0x7C00, 0x8000}));
    EXPECT_TRUE(encode_overlay_picture(nullptr).empty());
}

TEST_F(DisplayHooks, CursorChoiceReachesTheDisplay) {
    const std::vector<uint8_t> bytes = small_pal8_picture();
    reset_cursor();
    set_cursor_picture(bytes.data(), bytes.size(), 1, 1);
    force_show_cursor();
    polls(1);
    EXPECT_TRUE(headless().cursor_shown());
    hide_cursor();
    polls(1);
    EXPECT_FALSE(headless().cursor_shown());
    reset_cursor();
}

TEST_F(DisplayHooks, CursorPictureCutShortOfItsHeaderIsNotShown) {
    std::vector<uint8_t> bytes = small_pal8_picture();
    bytes.pop_back();  // the last pixel is missing
    reset_cursor();
    set_cursor_picture(bytes.data(), bytes.size(), 1, 1);
    force_show_cursor();
    polls(1);
    EXPECT_FALSE(headless().cursor_shown());
    reset_cursor();
}

namespace {
// An icon library of 18 icons (45 x 55, 8-bit with a palette). Icon 1 claims
// a whole hi-colour screen in its header, far more than its 2993 bytes.
void* icon_library_with_a_lying_icon(void*, int32_t* length, handle_id) {
    const int32_t size = ICONS_PER_LIBRARY * ICON_SIZE;
    auto* data = static_cast<uint8_t*>(game_alloc(size));
    std::memset(data, 1, size);
    for (int i = 0; i < ICONS_PER_LIBRARY; ++i) {
        const uint16_t header[3] = {45, 55, PIC_PAL8};
        std::memcpy(data + i * ICON_SIZE, header, 6);
    }
    const uint16_t lying[3] = {640, 480, PIC_HICOLOR};
    std::memcpy(data + ICON_SIZE, lying, 6);
    *length = size;
    return data;
}
}  // namespace

TEST_F(DisplayHooks, ItemIconIsCheckedAgainstItsSizeBeforeItBecomesTheCursor) {
    define_handle(0x8120, "", icon_library_with_a_lying_icon, PATH_ITEMS);
    set_icon_library_base(0x8120);
    reset_cursor();
    force_show_cursor();
    set_mouse_cursor(0);  // icon 0: a well-formed picture
    polls(1);
    EXPECT_TRUE(headless().cursor_shown());
    set_mouse_cursor(-1);  // icon 1: its header does not fit its bytes
    polls(1);
    EXPECT_FALSE(headless().cursor_shown());
    set_mouse_cursor(-2);
    polls(1);
    EXPECT_TRUE(headless().cursor_shown());
    set_icon_library_base(0);
    undefine_handle(0x8120);
    reset_cursor();
}

TEST_F(DisplayHooks, ControllerPromptEndsAtTheFirstKeyAndConsumesIt) {
    // The test has no font for the notice's text: a screen that differs from
    // the black one shown so far makes the notice's present a real change.
    clear_buffer(frame_buffer, 0x7C00);
    headless().inject_key(1500, 0x1C0D);
    controller_prompt();
    EXPECT_GE(display().milliseconds(), 1500u);
    EXPECT_LT(display().milliseconds(), 1700u);
    EXPECT_FALSE(display().key_available());
    EXPECT_EQ(headless().present_count(), 1u);  // the notice was shown
}

TEST_F(DisplayHooks, ControllerPromptGivesUpAfterTenSeconds) {
    controller_prompt();
    EXPECT_EQ(display().milliseconds(), 10000u);
}

TEST_F(DisplayHooks, ControllerPromptEndsAtTheFirstControllerButton) {
    scripted_input press;
    press.kind = scripted_input::CONTROLLER_BUTTON;
    press.at_ms = 300;
    press.button = 3;
    headless().inject(press);
    controller_prompt();
    EXPECT_LT(display().milliseconds(), 500u);
    EXPECT_TRUE(display().controller_activated());
}
