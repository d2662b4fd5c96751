#pragma once
// What both displays share: the game-side operations that append to the
// command buffer under the server lock, the key queue, the mouse record, the
// modifier and quit flags and the controller mapping. Subclasses execute the
// buffer on their own side and say how they are woken.
#include <atomic>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/commands.h"
#include "platform/display.h"
#include "platform/shown_picture.h"

class BufferedDisplay : public IDisplay {
  public:
    void present_region(int x, int y, int w, int h) override;
    void begin_transition() override;
    void end_transition() override;
    void zoom_transition(int view_y, int left, int top, int right, int bottom, float t) override;
    void turn_transition(int view_y, int margin, float t) override;
    void shake_offset(int dx, int dy) override;
    void set_cursor(const uint16_t* pixels, int w, int h, int hot_x, int hot_y) override;
    void remove_cursor() override;
    void create_sprite(int id, const uint16_t* pixels, int w, int h) override;
    void delete_sprite(int id) override;
    void move_sprite(int id, int x, int y) override;
    void place_sprite(int id, const display_rect& rect) override;
    void set_sprite_z(int id, int z) override;
    void hide_sprite(int id) override;

    mouse_record read_mouse() override;
    bool key_available() override;
    key_code read_key() override;
    bool ctrl_down() override { return ctrl_.load(); }
    bool shift_down() override { return shift_.load(); }
    bool caps_lock_on() override { return caps_.load(); }
    bool quit_requested() override { return quit_.load(); }
    void clear_quit_request() override { quit_.store(false); }

    void set_crt_enabled(bool enabled) override;
    bool crt_enabled() override;
    void set_crt_suppressed(bool suppressed) override;

    bool controller_activated() override { return activated_.load(); }
    void set_controller_settings(const controller_settings& settings) override;
    controller_settings current_controller_settings();

    // ---- The display's own side (event thread, timer thread, injection) ----
    void set_modifiers(bool ctrl, bool shift, bool caps);
    void queue_key(key_code code);  // 0 is dropped
    void request_quit() { quit_.store(true); }
    void mouse_moved(int logical_x, int logical_y);
    void mouse_button(int button, bool down);  // 1 left, 2 middle, 3 right
    void mouse_wheel(int amount);
    // A controller button; returns true when this press activated the controller
    // (the caller then starts the stick poll).
    bool controller_button(int button, bool pressed);
    // One stick poll over the raw axes; returns true when the cursor moved.
    bool stick_poll(const std::array<int, 4>& axes);

    size_t pending_command_bytes();

  protected:
    // Called (with the lock not held) when a command went into an empty buffer.
    virtual void commands_pending() = 0;
    // Runs fn on every queued record under the lock, then empties the buffer.
    // Returns true when there was any record.
    template <class Fn>
    bool execute_commands(Fn&& fn) {
        std::lock_guard guard(lock_);
        if (commands_.empty()) return false;
        command_reader reader(commands_.data(), commands_.size());
        display_command cmd;
        while (reader.next(cmd)) fn(cmd);
        commands_.clear();  // keeps its capacity
        return true;
    }
    // Appends under the lock; fn receives a command_writer.
    template <class Fn>
    void append(Fn&& fn) {
        bool was_empty;
        {
            std::lock_guard guard(lock_);
            was_empty = commands_.empty();
            command_writer w(commands_);
            fn(w);
        }
        if (was_empty) commands_pending();
    }
    // Called with the lock held when the stick moved the cursor to a logical position.
    virtual void cursor_moved_by_stick(int, int) {}

    std::mutex lock_;
    std::vector<uint8_t> commands_;
    std::deque<key_code> keys_;
    mouse_record mouse_{};
    controller_settings controller_ = default_controller_settings();
    stick_poll_state sticks_;
    std::atomic<bool> ctrl_{false}, shift_{false}, caps_{false}, quit_{false};
    std::atomic<bool> mod_held_{false}, activated_{false};
    bool ctrl_from_controller_ = false;
    uint8_t crt_enabled_ = 1, crt_suppressed_ = 0;
    int cursor_hot_x_ = 0, cursor_hot_y_ = 0;
    shown_picture shown_;  // the main render target once the buffer has run
};
