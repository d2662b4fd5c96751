#include "story/haggle_window.h"

#include <cctype>
#include <cstdint>
#include <string>

#include "core/events.h"
#include "core/handle_ids.h"
#include "gfx/font.h"
#include "story/game_window.h"
#include "story/modal_keys.h"
#include "story/story_pictures.h"
#include "ui/toolkit.h"

namespace {

constexpr uint16_t INPUT_LINE = 10, OFFER_BUTTON = 20, CANCEL_BUTTON = 30;
constexpr uint16_t FIRST_KEY = 40, BACK_KEY = 50;  // digits 0..9 at 40..49
constexpr int TEXT_OFFER = 230, TEXT_CANCEL = 239;
constexpr uint16_t BUTTON_FACE = 15787, TEXT_COLOUR = 0x7FFF;
constexpr int KEY_W = 40, KEY_H = 20, KEY_GAP = 6;

void choose(int button) {
    set_focus(button);
    stop_flag = 1;
}

bool haggle_key(uint16_t code) {
    if (is_enter(code)) {
        choose(OFFER_BUTTON);
        return true;
    }
    if (is_escape(code)) {
        choose(CANCEL_BUTTON);
        return true;
    }
    return false;
}

void haggle_mouse(uint16_t events) {
    if (events & MOUSE_EV_RIGHT_UP) choose(CANCEL_BUTTON);
}

const modal_keys haggle_keys{haggle_key, haggle_mouse};

void end_loop() {
    stop_flag = 1;
}

// A keypad button writes its digit into the line, "<-" takes the last one
// back; the line keeps the focus so that typing goes on where it stands.
void keypad_pressed() {
    if (!focused_object) return;
    const int id = focused_object->id;
    ui_object* line = find_object(0, INPUT_LINE);
    if (!line) return;
    std::string text = line->text();
    if (id == BACK_KEY) {
        if (!text.empty()) text.pop_back();
    } else if (id >= FIRST_KEY && id < FIRST_KEY + 10 && int(text.size()) < HAGGLE_DIGITS) {
        text += char('0' + id - FIRST_KEY);
    }
    set_object_text(0, INPUT_LINE, text.c_str());
    set_focus(INPUT_LINE);
    redraw_object(line);
}

void define_button(uint16_t id, int x, int y, int w, int h, int alignment, const char* caption,
                   void (*action)()) {
    define_object(id, x, y, w, h, alignment, ui_button, caption);
    const frame_style frame = make_frame_style(5, BUTTON_FACE);
    set_object_props(&frame, -1, nullptr, BUTTON_FACE);
    set_action(action);
}

void define_keypad() {
    // 1 2 3 / 4 5 6 / 7 8 9 / 0 <-, under the line.
    for (int key = 0; key < 11; ++key) {
        const int row = key / 3, column = key % 3;
        const int x = 10 + column * (KEY_W + KEY_GAP), y = 58 + row * (KEY_H + KEY_GAP);
        if (key < 9) {
            const std::string digit(1, char('1' + key));
            define_button(uint16_t(FIRST_KEY + 1 + key), x, y, KEY_W, KEY_H, ALIGN_TOP_LEFT, digit.c_str(),
                          keypad_pressed);
        } else if (key == 9) {
            define_button(FIRST_KEY, x, y, KEY_W, KEY_H, ALIGN_TOP_LEFT, "0", keypad_pressed);
        } else {
            define_button(BACK_KEY, x, y, KEY_W, KEY_H, ALIGN_TOP_LEFT, "<-", keypad_pressed);
        }
    }
}

}  // namespace

namespace {

// The digit a character of the offer stands for, -1 for none. The national
// keyboard layer turns the unshifted number row into letters (+ ě š č ř ž ý á
// í é, and with Caps Lock the capitals): in a number field they are the
// digits the player pressed.
int offer_digit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    static constexpr unsigned char row[10] = {0x82, 0x2B, 0x88, 0xA8, 0x87, 0xA9, 0x91, 0x98, 0xA0, 0xA1};
    static constexpr unsigned char caps[10] = {0x90, 0x2B, 0x89, 0x9B, 0x80, 0x9E, 0x92, 0x9D, 0x8F, 0x8B};
    for (int d = 0; d < 10; ++d)
        if (c == row[d] || c == caps[d]) return d;
    return -1;
}

}  // namespace

typed_offer read_offer(const std::string& typed) {
    size_t first = typed.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const size_t last = typed.find_last_not_of(' ');
    const std::string digits = typed.substr(first, last - first + 1);
    if (digits.size() > size_t(HAGGLE_DIGITS)) return {typed_offer::not_a_number};
    int32_t gold = 0;
    for (char c : digits) {
        const int d = offer_digit(static_cast<unsigned char>(c));
        if (d < 0) return {typed_offer::not_a_number};
        gold = gold * 10 + d;
    }
    return {typed_offer::number, gold};
}

std::optional<std::string> haggle_window(int price, bool keypad) {
    const font_settings caller_font = current_font_settings();
    set_font(FONT_SADA16, TEXT_COLOUR);
    const int height = keypad ? HAGGLE_KEYPAD_H : HAGGLE_H;
    ui_window* window = game_window_open(HAGGLE_X, HAGGLE_Y, HAGGLE_W, height, H_WINTXTR, 3, 20, 20);
    if (!window) {
        apply_font_settings(caller_font);
        return std::nullopt;
    }
    const std::string asking = std::to_string(price);
    define_object(NO_OBJECT_ID, 10, 12, 230, 13, ALIGN_TOP_LEFT, ui_label, asking.c_str());
    define_object(INPUT_LINE, 10, 32, 230, 13, ALIGN_TOP_LEFT, ui_input_line, int32_t(HAGGLE_DIGITS));
    const frame_style frame = make_frame_style(5, BUTTON_FACE);
    set_object_props(&frame, -1, nullptr, 0);
    if (keypad) define_keypad();
    define_button(CANCEL_BUTTON, 20, 20, 70, 20, ALIGN_BOTTOM_RIGHT, interface_text(TEXT_CANCEL), end_loop);
    define_button(OFFER_BUTTON, 100, 20, 70, 20, ALIGN_BOTTOM_RIGHT, interface_text(TEXT_OFFER), end_loop);
    redraw_window();
    set_focus(INPUT_LINE);

    const modal_keys* outer_keys = install_modal_keys(&haggle_keys);
    main_loop();
    restore_modal_keys(outer_keys);

    const int chosen = focused_object ? focused_object->id : -1;
    const ui_object* line = find_object(0, INPUT_LINE);
    const std::string typed = line ? line->text() : std::string();
    close_window(window);
    apply_font_settings(caller_font);
    if (chosen != OFFER_BUTTON) return std::nullopt;
    return typed;
}
