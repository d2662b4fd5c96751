#pragma once
// A display without a window, for tests and scripted runs. It keeps the same
// command buffer as the SDL server; the buffer is executed by a software
// compositor when the game polls its input (the moment the SDL thread would
// have woken), and every present is recorded as a frame in memory. Time is
// virtual: it advances by a fixed step per poll cycle and through sleep_ms, so
// a scripted run is deterministic. Key and mouse input are injected at given
// times of that clock.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/buffered_display.h"

struct headless_frame {
    uint64_t at_ms = 0;            // virtual time of the present
    std::vector<uint16_t> pixels;  // 640 x 480 as shown (bit-15 pixels black)
    bool in_transition = false;    // a slide or zoom was shown
};

struct scripted_input {
    enum kind_t : uint8_t { KEY, SCANCODE, MOUSE_MOVE, MOUSE_BUTTON, QUIT, CONTROLLER_BUTTON } kind = KEY;
    uint64_t at_ms = 0;
    key_code key = 0;  // KEY
    int scancode = 0;  // SCANCODE (with shift, ctrl)
    bool shift = false, ctrl = false;
    int x = 0, y = 0;  // MOUSE_MOVE (logical)
    int button = 0;    // MOUSE_BUTTON (1 left, 2 middle, 3 right), CONTROLLER_BUTTON
    bool down = true;  // MOUSE_BUTTON, CONTROLLER_BUTTON
};

class HeadlessDisplay : public BufferedDisplay {
  public:
    // When the display wakes: at the next poll (several presents in one poll
    // cycle give one frame, like a busy display thread) or at once (each
    // batch appended to an empty buffer is its own frame, like an idle one).
    enum class wake_mode { at_poll, at_once };
    explicit HeadlessDisplay(int ms_per_poll = 10, wake_mode wake = wake_mode::at_poll);
    ~HeadlessDisplay() override;

    void open(const video_settings& settings, const char* title) override;
    void close() override;
    void set_window_icon(const uint8_t* bmp, size_t length) override;
    bool set_clipboard_text(const char* text) override;
    bool controller_connected() override;
    uint64_t milliseconds() override { return now_ms_; }
    void sleep_ms(int ms) override;
    void poll_started() override;

    // Delivers the input due by now, then executes pending commands (and
    // records a frame when any command ran).
    void pump();
    void advance(uint64_t ms) { now_ms_ += ms; }

    void inject(const scripted_input& input);  // kept in time order
    void inject_key(uint64_t at_ms, key_code code);
    void inject_scancode(uint64_t at_ms, int scancode, bool shift = false, bool ctrl = false);
    void inject_mouse_move(uint64_t at_ms, int x, int y);
    void inject_mouse_button(uint64_t at_ms, int button, bool down);
    void inject_quit(uint64_t at_ms);
    size_t pending_input() const { return script_.size() - next_input_; }

    // Called on every poll after pump (the scripted run takes its checkpoints here).
    void set_poll_observer(std::function<void(HeadlessDisplay&)> observer) {
        observer_ = std::move(observer);
    }

    bool is_open() const { return open_; }
    const std::string& title() const { return title_; }
    const video_settings& settings() const { return settings_; }
    const std::vector<headless_frame>& frames() const { return frames_; }
    // Presents so far; frames() keeps the first frame_limit of them.
    size_t present_count() const { return presents_; }
    void set_frame_limit(size_t limit) { frame_limit_ = limit; }
    // The picture as it would be shown now (front texture with sprites), 640 x 480.
    std::vector<uint16_t> compose() const;
    const std::vector<uint8_t>& window_icon() const { return icon_; }
    const std::string& clipboard() const { return clipboard_; }
    void set_controller_present(bool present) { controller_present_ = present; }
    bool cursor_shown() const { return cursor_w_ > 0; }

  protected:
    void commands_pending() override;

  private:
    struct sprite {
        int id = 0, z = 0;
        std::vector<uint16_t> pixels;
        int pw = 0, ph = 0;
        display_rect rect;
        bool visible = false;
    };
    using picture = std::vector<uint16_t>;

    void execute(const struct display_command& cmd);
    void record_frame();
    void deliver(const scripted_input& input);
    void process_commands();

    int ms_per_poll_;
    uint64_t now_ms_ = 0;
    bool open_ = false, wake_pending_ = false;
    std::string title_;
    video_settings settings_;
    picture textures_[2];
    picture* slots_[2] = {&textures_[0], &textures_[1]};  // main, secondary
    picture* front_ = &textures_[0];
    picture* back_ = &textures_[1];
    bool transition_ = false;
    struct zoom_state {
        display_rect r1, r2, r3;
        float t = 0;
    };
    std::optional<zoom_state> zoom_;
    std::optional<std::array<display_rect, 4>> slide_;
    std::vector<sprite> sprites_;
    picture cursor_;
    int cursor_w_ = 0, cursor_h_ = 0;
    std::vector<headless_frame> frames_;
    size_t presents_ = 0, frame_limit_ = 1000;
    wake_mode wake_;
    std::vector<scripted_input> script_;
    size_t next_input_ = 0;
    std::function<void(HeadlessDisplay&)> observer_;
    std::vector<uint8_t> icon_;
    std::string clipboard_;
    bool controller_present_ = false;
};
