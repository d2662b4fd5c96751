#pragma once
// The display the game talks to. Two implementations: DisplayServer (SDL window,
// its own thread) and HeadlessDisplay (no window, frames kept in memory). The
// game reaches the current one through the free functions below; which one is
// created is decided by the display factory (default: the SDL server).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controller.h"
#include "platform/input.h"

struct ini_config;

enum crt_mode : int {
    CRT_NONE = 0,
    CRT_AUTO = 1,
    CRT_SCANLINES = 2,
    CRT_SCANLINES_2 = 3,
    CRT_RGBMATRIX_2 = 4,
    CRT_RGBMATRIX_3 = 5
};
enum composer_kind : int { COMPOSER_AUTO = 0, COMPOSER_SOFTWARE = 1, COMPOSER_HARDWARE = 2 };

struct video_settings {
    int window_width = 640;
    int window_height = 480;
    int crt = CRT_NONE;
    int composer = COMPOSER_AUTO;
    std::string scale_quality = "auto";
    bool fullscreen = true;
    int aspect_width = 4, aspect_height = 3;  // 0:0 fills the window
    float cursor_scale = 1.0f;
};
// Reads the `video` section (missing keys keep their defaults). A null config gives the defaults.
video_settings load_video_settings(const ini_config* config);

struct display_rect {
    int32_t x = 0, y = 0, w = 0, h = 0;
    bool operator==(const display_rect&) const = default;
};

class IDisplay {
  public:
    virtual ~IDisplay() = default;

    // Opens the window (or its stand-in). Throws std::runtime_error on failure.
    virtual void open(const video_settings& settings, const char* title) = 0;
    virtual void close() = 0;

    // Game side: each appends to the command buffer and returns at once.
    virtual void present_region(int x, int y, int w, int h) = 0;  // rectangle of frame_buffer
    virtual void begin_transition() = 0;
    virtual void end_transition() = 0;
    virtual void zoom_transition(int view_y, int left, int top, int right, int bottom, float t) = 0;
    virtual void turn_transition(int view_y, int margin, float t) = 0;
    virtual void shake_offset(int dx, int dy) = 0;
    // Overlay images: w x h 16-bit pixels, bit 15 = transparent.
    virtual void set_cursor(const uint16_t* pixels, int w, int h, int hot_x, int hot_y) = 0;
    virtual void remove_cursor() = 0;
    virtual void create_sprite(int id, const uint16_t* pixels, int w, int h) = 0;
    virtual void delete_sprite(int id) = 0;
    virtual void move_sprite(int id, int x, int y) = 0;
    virtual void place_sprite(int id, const display_rect& rect) = 0;
    virtual void set_sprite_z(int id, int z) = 0;
    virtual void hide_sprite(int id) = 0;

    // Input state.
    virtual mouse_record read_mouse() = 0;  // clears the change byte and event bits
    virtual bool key_available() = 0;
    virtual key_code read_key() = 0;  // oldest queued key, 0 when none
    virtual bool ctrl_down() = 0;
    virtual bool shift_down() = 0;
    virtual bool caps_lock_on() = 0;
    virtual bool quit_requested() = 0;
    virtual void clear_quit_request() = 0;

    virtual void set_crt_enabled(bool enabled) = 0;
    virtual bool crt_enabled() = 0;
    virtual void set_crt_suppressed(bool suppressed) = 0;
    virtual void set_window_icon(const uint8_t* bmp, size_t length) = 0;
    virtual bool set_clipboard_text(const char* text) = 0;

    virtual bool controller_connected() = 0;  // joystick 0 open and controller enabled
    virtual bool controller_activated() = 0;  // a controller button has been pressed
    virtual void set_controller_settings(const controller_settings& settings) = 0;

    // Milliseconds since the display was opened (virtual in the headless display).
    virtual uint64_t milliseconds() = 0;
    // Sleeps (or advances the virtual clock by) this many milliseconds.
    virtual void sleep_ms(int ms) = 0;
    // The game's keyboard poll calls this once per poll cycle, before reading keys.
    virtual void poll_started() {}
};

using display_factory = std::function<std::unique_ptr<IDisplay>()>;
// Chooses what display_open creates; nullptr restores the SDL server.
void set_display_factory(display_factory factory);
// The display in use, created through the factory on first use.
IDisplay& display();
bool display_exists();
// Destroys the current display (after closing it) so the next display() creates a fresh one.
void destroy_display();

// Free-function facade used by the game.
void display_open(const video_settings& settings, const char* title);
void display_close();
void present_region(int x, int y, int w, int h);
void begin_transition();
void end_transition();
void zoom_transition(int view_y, int left, int top, int right, int bottom, float t);
void turn_transition(int view_y, int margin, float t);
void shake_offset(int dx, int dy);

struct picture;
// Overlay pictures: the picture is drawn into a transparent (0x8000) image of
// its own size, so its transparent pixels stay transparent.
std::vector<uint16_t> encode_overlay_picture(const picture* pic);
void create_sprite_picture(int id, const picture* pic);
// The notice asking to press a controller button (start-up, when a controller
// is connected); waits at most ten seconds for a button or a key.
void controller_prompt();

// Connects the current display to the screen buffer (present_rect goes to
// present_region), to the event tree's keyboard and mouse readers and to the
// mouse-cursor choice.
void install_display_hooks();
void remove_display_hooks();
// Forgets a pending dead key of the keyboard layer (a new run, tests).
void reset_keyboard_layer();

// The embedded 32 x 32, 16-colour window icon (a complete BMP file).
const uint8_t* window_icon_bmp();
size_t window_icon_size();
