#include "window_harness.h"

#include <cstring>
#include <deque>
#include <map>
#include <vector>

#include "base/strings.h"
#include "core/clock.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "core/timers.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "story/game_choices.h"
#include "story/settings_file.h"
#include "story/sound_settings.h"
#include "ui/toolkit.h"
#include "world/movement.h"

namespace {

std::multimap<int, std::function<void()>> steps;
std::deque<uint16_t> keys_now;
std::deque<mouse_record> mice_now;
int poll_count = 0;
int64_t virtual_ms = 0;
constexpr int POLL_LIMIT = 3000;  // a window that never closes fails instead of hanging

int64_t virtual_clock() {
    return virtual_ms;
}

int scripted_keys(uint16_t* codes, int capacity) {
    ++poll_count;
    virtual_ms += DEFAULT_TICK_LENGTH;
    auto [first, last] = steps.equal_range(poll_count);
    std::vector<std::function<void()>> due;
    for (auto it = first; it != last; ++it) due.push_back(it->second);
    for (auto& step : due) step();
    if (poll_count > POLL_LIMIT) {
        ADD_FAILURE() << "the window did not close";
        stop_flag = 1;
    }
    int n = 0;
    while (n < capacity && !keys_now.empty()) {
        codes[n++] = keys_now.front();
        keys_now.pop_front();
    }
    return n;
}

bool scripted_mouse(mouse_record* out) {
    if (mice_now.empty()) return false;
    *out = mice_now.front();
    mice_now.pop_front();
    return true;
}

const input_source scripted_input{scripted_keys, scripted_mouse};

std::map<handle_id, std::vector<uint8_t>>& pictures() {
    static std::map<handle_id, std::vector<uint8_t>> kept;
    return kept;
}

void* hand_out(void*, int32_t* length, handle_id id) {
    const std::vector<uint8_t>& bytes = pictures()[id];
    *length = static_cast<int32_t>(bytes.size());
    void* copy = game_alloc(bytes.size());
    if (copy) std::memcpy(copy, bytes.data(), bytes.size());
    return copy;
}

void no_sleep(int) {}

}  // namespace

uint16_t colour_of_index(int index) {
    return static_cast<uint16_t>(0x0400 * (index % 32) + index / 32 + 1);
}

std::vector<uint8_t> pal8_picture_bytes(int w, int h, const std::function<uint8_t(int x, int y)>& pick) {
    std::vector<uint8_t> bytes(PICTURE_HEADER_BYTES + 512 + static_cast<size_t>(w) * h);
    auto put16 = [&](size_t at, uint16_t v) {
        bytes[at] = static_cast<uint8_t>(v);
        bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    put16(0, static_cast<uint16_t>(w));
    put16(2, static_cast<uint16_t>(h));
    put16(4, PIC_PAL8);
    for (int i = 0; i < 256; ++i)
        put16(PICTURE_HEADER_BYTES + 2 * static_cast<size_t>(i), colour_of_index(i));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bytes[PICTURE_HEADER_BYTES + 512 + static_cast<size_t>(y) * w + x] = pick(x, y);
    return bytes;
}

void install_picture(handle_id id, int w, int h, std::function<uint8_t(int x, int y)> pick) {
    pictures()[id] = pal8_picture_bytes(w, h, pick);
    undefine_handle(id);
    define_handle(id, "", hand_out, PATH_GUI);
}

void WindowTest::SetUp() {
    steps.clear();
    keys_now.clear();
    mice_now.clear();
    poll_count = 0;
    virtual_ms = 0;
    clear_event_tree();
    clear_timers();
    reset_toolkit();
    reset_font_state();
    reset_sound_settings();
    choices = game_choices{};
    movement.walk_speed = movement.turn_speed = 1;
    set_tick_length(DEFAULT_TICK_LENGTH);
    set_settings_file("");
    set_clock_source(virtual_clock);
    reset_clocks();
    set_main_loop_sleep(no_sleep);
    set_input_source(&scripted_input);
    add_event_handler(EV_POLL, keyboard_reader);
    add_event_handler(EV_POLL, mouse_reader);
    install_game_clock();
    install_toolkit();
    open_base_window();
    target_frame_buffer();
    clear_buffer(frame_buffer, 0x7BDE);

    install_picture(H_WINTXTR, 16, 16, [](int, int) { return uint8_t{5}; });
    install_picture(H_IDESKA, 16, 16, [](int, int) { return uint8_t{6}; });
    // Seven switch frames of 20 x 20, frame k in colour index 10 + k.
    install_picture(H_CHECKBOX, 20, 140, [](int, int y) { return static_cast<uint8_t>(10 + y / 20); });
    install_picture(H_VOLBASOU, 30, 10, [](int, int) { return uint8_t{20}; });
    install_picture(H_VOLBAZPE, 81, 21, [](int, int) { return uint8_t{21}; });
    install_picture(H_VOLBADES, 64, 64, [](int, int) { return uint8_t{22}; });
    install_picture(H_RAMECEK, 12, 96, [](int, int y) { return static_cast<uint8_t>(30 + y / 12); });
}

void WindowTest::TearDown() {
    reset_toolkit();
    clear_event_tree();
    clear_timers();
    set_input_source(nullptr);
    set_main_loop_sleep(nullptr);
    set_clock_source(nullptr);
    set_tick_length(DEFAULT_TICK_LENGTH);
    for (handle_id id : {H_WINTXTR, H_IDESKA, H_CHECKBOX, H_VOLBASOU, H_VOLBAZPE, H_VOLBADES, H_RAMECEK})
        undefine_handle(id);
    set_settings_file("");
}

void WindowTest::at(int poll, std::function<void()> step) {
    steps.emplace(poll, std::move(step));
}

void WindowTest::key(int poll, uint16_t code) {
    at(poll, [code] { keys_now.push_back(code); });
}

void WindowTest::mouse(int poll, int x, int y, uint16_t events, bool left, bool right) {
    mouse_record record;
    record.changed = 1;
    record.x = static_cast<uint16_t>(x);
    record.y = static_cast<uint16_t>(y);
    record.left = left;
    record.right = right;
    record.events = events;
    at(poll, [record] { mice_now.push_back(record); });
}

void WindowTest::click(int poll, int x, int y) {
    mouse(poll, x, y, MOUSE_EV_LEFT_DOWN, true);
    mouse(poll + 1, x, y, MOUSE_EV_LEFT_UP, false);
}

int WindowTest::polls() {
    return poll_count;
}
