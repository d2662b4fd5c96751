#pragma once
// A toolkit on the event tree with a small hand-made font, driven by
// dispatching key, mouse, tick and idle events directly.
#include <gtest/gtest.h>

#include "core/events.h"
#include "core/events_cursor.h"
#include "gfx/font.h"
#include "gfx/font_test_fonts.h"
#include "gfx/screen.h"
#include "ui/toolkit.h"

namespace ui_test {

constexpr handle_id TEST_FONT = 0x9001;
constexpr int GLYPH_WIDTH = 5;  // every glyph: 4 columns of ink and one blank

// Glyphs of 5 x 7 pixels for 0x20-0xFF; the ink pattern depends on the
// character so different texts look different.
inline std::vector<uint8_t> make_font() {
    test_fonts::font_bytes font;
    for (int c = 0x21; c < 0x100; ++c) {
        std::vector<uint8_t> codes;
        for (int col = 0; col < GLYPH_WIDTH; ++col)
            for (int row = 0; row < 7; ++row)
                codes.push_back(col < 4 && ((c >> ((col * 7 + row) % 8)) & 1) ? 2 : 0);
        font.glyph(static_cast<uint8_t>(c), GLYPH_WIDTH, 7, codes);
    }
    font.glyph(' ', GLYPH_WIDTH, 7, std::vector<uint8_t>(GLYPH_WIDTH * 7, 0));
    return font.bytes;
}

class Toolkit : public ::testing::Test {
  protected:
    void SetUp() override {
        clear_event_tree();
        reset_toolkit();
        install_toolkit();
        test_fonts::install(TEST_FONT, make_font());
        set_font(TEST_FONT, 0x7FFF | FONT_NO_SHADOW);
        target_frame_buffer();
        clear_buffer(frame_buffer, 0);
        stop_flag = 0;
        mouse_state = mouse_record{};
    }
    void TearDown() override {
        reset_toolkit();
        clear_event_tree();
        reset_font_state();
        undefine_handle(TEST_FONT);
        stop_flag = 0;
    }

    static void key(uint16_t code) { dispatch_event(EV_KEY, static_cast<int32_t>(code)); }
    static void tab() { key(0x0F09); }
    static void shift_tab() { key(0x0F00); }
    static void mouse(int x, int y, bool left, uint16_t events) {
        mouse_state = mouse_record{};
        mouse_state.x = static_cast<uint16_t>(x);
        mouse_state.y = static_cast<uint16_t>(y);
        mouse_state.left = left ? 1 : 0;
        mouse_state.events = events;
        dispatch_event(EV_MOUSE, &mouse_state);
    }
    static void press(int x, int y) { mouse(x, y, true, MOUSE_EV_LEFT_DOWN); }
    static void drag(int x, int y) { mouse(x, y, true, MOUSE_EV_MOTION); }
    static void release(int x, int y) { mouse(x, y, false, MOUSE_EV_LEFT_UP); }
    static void idle() { dispatch_event(EV_IDLE); }
    static void tick() { dispatch_event(EV_TICK, 1); }

    // A framed window opened on top of the base window.
    static uint32_t open_test_window(int x, int y, int w, int h) {
        return open_window(create_window(x, y, w, h, 0x294A, make_frame_style(2, 0x294A)));
    }
};

}  // namespace ui_test
