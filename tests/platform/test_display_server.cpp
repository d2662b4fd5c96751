// The SDL display server on SDL's dummy video driver: no screen needed.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "gfx/screen.h"
#include "platform/display_server.h"

namespace {

template <class Pred>
bool wait_for(Pred pred) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void push_key(SDL_Scancode scancode, uint16_t mod, bool down = true) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.keysym.scancode = scancode;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

class DisplayServerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "dummy", 1); }
    void SetUp() override {
        server = std::make_unique<DisplayServer>();
        video_settings v;
        v.window_width = 1280;
        v.window_height = 1024;
        v.fullscreen = false;
        v.composer = COMPOSER_SOFTWARE;
        server->open(v, "Vorthan");
    }
    void TearDown() override {
        server->close();
        server.reset();
    }
    std::unique_ptr<DisplayServer> server;
};

}  // namespace

TEST_F(DisplayServerTest, PresentsWhatTheGameHandsOver) {
    clear_buffer(frame_buffer, 0x7C00);
    const uint64_t before = server->present_count();
    server->present_region(0, 0, 640, 480);
    EXPECT_TRUE(wait_for([&] { return server->present_count() > before; }));
    EXPECT_EQ(server->pending_command_bytes(), 0u);
}

TEST_F(DisplayServerTest, KeysAreTranslatedAndQueued) {
    push_key(SDL_SCANCODE_F1, KMOD_NONE);
    push_key(SDL_SCANCODE_A, KMOD_LSHIFT);
    push_key(SDL_SCANCODE_A, KMOD_LSHIFT, false);
    push_key(SDL_SCANCODE_CAPSLOCK, KMOD_CAPS);
    ASSERT_TRUE(wait_for([&] { return server->caps_lock_on(); }));
    EXPECT_EQ(server->read_key(), 0x3B00);
    EXPECT_EQ(server->read_key(), 0x1E41);
    EXPECT_EQ(server->read_key(), 0);  // key up and Caps Lock queue nothing
    EXPECT_FALSE(server->shift_down());
}

TEST_F(DisplayServerTest, AltReturnTogglesFullscreenAndQueuesNoKey) {
    EXPECT_FALSE(server->fullscreen());
    push_key(SDL_SCANCODE_RETURN, KMOD_LALT);
    push_key(SDL_SCANCODE_B, KMOD_NONE);  // a marker behind it
    ASSERT_TRUE(wait_for([&] { return server->key_available(); }));
    EXPECT_EQ(server->read_key(), 0x3062);
    EXPECT_TRUE(server->fullscreen());
    push_key(SDL_SCANCODE_RETURN, KMOD_RALT);
    push_key(SDL_SCANCODE_B, KMOD_NONE);
    ASSERT_TRUE(wait_for([&] { return server->key_available(); }));
    EXPECT_EQ(server->read_key(), 0x3062);
    EXPECT_FALSE(server->fullscreen());
}

TEST_F(DisplayServerTest, ClickInTheWindowCentreIsTheScreenCentre) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 640;
    motion.motion.y = 512;
    SDL_PushEvent(&motion);
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    SDL_PushEvent(&click);
    mouse_record m{};
    ASSERT_TRUE(wait_for([&] {
        const mouse_record r = server->read_mouse();
        if (r.changed) {
            m.x = r.x;
            m.y = r.y;
            m.events |= r.events;
            m.left = r.left;
        }
        return (m.events & MOUSE_EV_LEFT_DOWN) != 0;
    }));
    EXPECT_EQ(m.x, 320);
    EXPECT_EQ(m.y, 240);
    EXPECT_EQ(m.left, 1);
}

TEST_F(DisplayServerTest, WindowCloseRequestsQuitUntilCleared) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    ASSERT_TRUE(wait_for([&] { return server->quit_requested(); }));
    server->clear_quit_request();
    EXPECT_FALSE(server->quit_requested());
}

TEST_F(DisplayServerTest, OverlaysAndTransitionsRunOnTheDisplayThread) {
    std::vector<uint16_t> pic(16 * 16, 0x7FFF);
    pic[0] = 0x8000;
    server->set_cursor(pic.data(), 16, 16, 2, 2);
    server->create_sprite(7, pic.data(), 16, 16);
    server->move_sprite(7, 100, 100);
    server->set_sprite_z(7, 3);
    server->begin_transition();
    server->turn_transition(17, 90, 0.5f);
    server->zoom_transition(17, 90, 31, 550, 301, -0.5f);
    server->shake_offset(3, -2);
    server->end_transition();
    server->hide_sprite(7);
    server->delete_sprite(7);
    server->remove_cursor();
    server->set_crt_enabled(true);
    const uint64_t before = server->present_count();
    frame_buffer[0] ^= 0x7FFF;  // a change, so the region goes out
    server->present_region(0, 0, 10, 10);
    EXPECT_TRUE(
        wait_for([&] { return server->pending_command_bytes() == 0 && server->present_count() > before; }));
}

TEST_F(DisplayServerTest, WindowIconLoadsFromTheEmbeddedBitmap) {
    // The embedded icon must be a bitmap SDL accepts.
    SDL_RWops* rw = SDL_RWFromConstMem(window_icon_bmp(), static_cast<int>(window_icon_size()));
    SDL_Surface* s = SDL_LoadBMP_RW(rw, 1);
    ASSERT_NE(s, nullptr) << SDL_GetError();
    EXPECT_EQ(s->w, 32);
    EXPECT_EQ(s->h, 32);
    EXPECT_EQ(window_icon_size(), 630u);
    SDL_FreeSurface(s);
    server->set_window_icon(window_icon_bmp(), window_icon_size());
}

TEST(TextureFormatChoice, FirstAcceptedFormatOfTheRenderersList) {
    const uint32_t bgra_only[] = {SDL_PIXELFORMAT_BGRA8888};
    EXPECT_EQ(choose_texture_layout(bgra_only, 1), texture_layout::bgra8888);
    const uint32_t mixed[] = {SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_ABGR8888, SDL_PIXELFORMAT_ARGB8888};
    EXPECT_EQ(choose_texture_layout(mixed, 3), texture_layout::abgr8888);
    const uint32_t only_24bit[] = {SDL_PIXELFORMAT_RGB24, SDL_PIXELFORMAT_BGR24};
    EXPECT_FALSE(choose_texture_layout(only_24bit, 2));
}

TEST(RendererFallback, AsksForTheSoftwareRendererAlone) {
    EXPECT_EQ(fallback_renderer_flags(SDL_RENDERER_ACCELERATED), SDL_RENDERER_SOFTWARE);
    EXPECT_EQ(fallback_renderer_flags(0), SDL_RENDERER_SOFTWARE);
    EXPECT_FALSE(fallback_renderer_flags(SDL_RENDERER_SOFTWARE));
}

TEST_F(DisplayServerTest, UnchangedPictureWakesNoPresent) {
    clear_buffer(frame_buffer, 0x03E0);
    server->present_region(0, 0, 640, 480);
    ASSERT_TRUE(
        wait_for([&] { return server->present_count() > 0 && server->pending_command_bytes() == 0; }));
    const uint64_t shown = server->present_count();
    for (int i = 0; i < 10; ++i) {
        server->present_region(0, 0, 640, 480);
        EXPECT_EQ(server->pending_command_bytes(), 0u);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(server->present_count(), shown);
    frame_buffer[640 * 200 + 10] = 0x7C00;
    server->present_region(0, 0, 640, 480);
    EXPECT_TRUE(wait_for([&] { return server->present_count() > shown; }));
}

TEST_F(DisplayServerTest, MovingCursorPresentsAtMostOncePerRefresh) {
    std::vector<uint16_t> pic(16 * 16, 0x7FFF);
    server->set_cursor(pic.data(), 16, 16, 0, 0);
    ASSERT_TRUE(
        wait_for([&] { return server->present_count() > 0 && server->pending_command_bytes() == 0; }));
    const uint64_t before = server->present_count();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 150; ++i) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = 100 + i;
        e.motion.y = 200;
        SDL_PushEvent(&e);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // The last position is shown within a refresh or two.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    const uint64_t presents = server->present_count() - before;
    EXPECT_GE(presents, 1u);
    // The dummy driver reports no refresh rate: 60 Hz is assumed.
    EXPECT_LE(presents, static_cast<uint64_t>(elapsed / 16 + 2));
    EXPECT_EQ(server->read_mouse().x, 124);  // window x 249 of a 1280-wide viewport
}
