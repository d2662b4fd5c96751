#pragma once
// The SDL display: a window, a renderer and a thread of its own on which
// every window-system call is made.
#include <atomic>
#include <exception>
#include <optional>
#include <string>
#include <thread>

#include "platform/buffered_display.h"
#include "platform/geometry.h"
#include "platform/pixel_convert.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_PixelFormat;
struct _SDL_Joystick;
union SDL_Event;

// Starts SDL (timer, video, joystick; the audio device starts audio itself)
// once per process and opens joystick 0 when it is a game controller. Throws
// std::runtime_error("SDL not inited") when SDL cannot start.
void start_sdl();

// Chooses the texture layout from a renderer's format list (SDL pixel format
// codes); nothing when none of them is usable.
std::optional<texture_layout> choose_texture_layout(const uint32_t* formats, int count);

// The renderer flags to try next after creating a renderer with `flags`
// failed (or offered no usable texture format): the software renderer alone.
// Nothing when the software renderer itself was what failed.
std::optional<uint32_t> fallback_renderer_flags(uint32_t flags);

class DisplayServer : public BufferedDisplay {
  public:
    DisplayServer();
    ~DisplayServer() override;

    void open(const video_settings& settings, const char* title) override;
    void close() override;

    void set_window_icon(const uint8_t* bmp, size_t length) override;
    bool set_clipboard_text(const char* text) override;
    bool controller_connected() override;
    uint64_t milliseconds() override;
    void sleep_ms(int ms) override;

    // Pictures presented so far, and whether the window is fullscreen now.
    uint64_t present_count() const { return presents_.load(); }
    bool fullscreen() const { return fullscreen_.load(); }
    std::string renderer_name() const { return renderer_name_; }

  protected:
    void commands_pending() override;
    void cursor_moved_by_stick(int x, int y) override;

  private:
    struct sprite {
        int id = 0, z = 0;
        SDL_Texture* texture = nullptr;
        display_rect rect;
        bool visible = false;
    };
    struct zoom_state {
        display_rect r1, r2, r3;
        float t = 0;
    };

    void thread_main();
    void set_up();
    void tear_down();
    void event_loop();
    bool handle_event(const SDL_Event& e);  // false: leave the loop
    bool process_commands();                // true when it presented
    void execute(const struct display_command& cmd);
    void present();
    void draw_crt_overlay(const viewport& vp);
    SDL_Texture* make_static_texture(const uint16_t* pixels, int w, int h, const char* failure);
    void upload(SDL_Texture* texture, const display_rect& rect, const uint16_t* pixels);
    viewport current_viewport();
    void push_user_event(uint32_t type);
    void apply_pending_icon();
    static uint32_t stick_timer(uint32_t interval, void* self);

    video_settings settings_;
    std::string title_;
    std::thread thread_;
    std::atomic<uint8_t> setup_done_{0};
    std::exception_ptr setup_error_;
    std::string stage_ = "window", renderer_name_;
    bool running_ = false;

    uint32_t ev_commands_ = 0, ev_present_ = 0, ev_stop_ = 0;

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_PixelFormat* format_ = nullptr;
    uint32_t format_code_ = 0;
    pixel_converter converter_;
    SDL_Texture* slots_[2] = {nullptr, nullptr};  // main, secondary
    SDL_Texture* front_ = nullptr;
    SDL_Texture* back_ = nullptr;
    std::vector<uint32_t> conversion_;
    std::vector<sprite> sprites_;
    std::optional<zoom_state> zoom_;
    std::optional<std::array<display_rect, 4>> slide_;
    SDL_Texture* cursor_ = nullptr;
    int cursor_w_ = 0, cursor_h_ = 0;
    std::atomic<bool> cursor_present_{false};
    std::atomic<int> cursor_window_x_{0}, cursor_window_y_{0};
    viewport viewport_;  // last known, under the lock (for the stick poll)
    SDL_Texture* crt_texture_ = nullptr;
    int crt_for_w_ = 0, crt_for_h_ = 0, crt_mode_ = CRT_AUTO;
    float cursor_scale_ = 1.0f;
    std::vector<uint8_t> pending_icon_;  // under the lock
    int stick_timer_id_ = 0;
    uint64_t opened_at_ = 0;
    // Presenting (SDL thread only): a present owed to a moved cursor, when the
    // last one was made and the display's refresh interval.
    bool present_due_ = false;
    uint64_t last_present_ms_ = 0;
    int frame_interval_ms_ = 16;
    std::atomic<uint64_t> presents_{0};
    std::atomic<bool> fullscreen_{false};
};
