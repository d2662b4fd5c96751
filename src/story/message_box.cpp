#include "story/message_box.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/events.h"
#include "core/handle_ids.h"
#include "gfx/font.h"
#include "story/game_window.h"
#include "story/modal_keys.h"
#include "story/sound_settings.h"
#include "story/story_pictures.h"
#include "ui/toolkit.h"

namespace {

constexpr uint16_t BUTTON_FACE = 15787, BUTTON_TEXT = 31703, MESSAGE_TEXT = 25592;
constexpr int WRAP_WIDTH = 500, MIN_BUTTON_WIDTH = 50;

struct box_state {
    int enter = 0, escape = 0;
    std::string hot_letters;
};
box_state* box = nullptr;

void choose(int button) {
    set_focus(button);
    stop_flag = 1;
}

bool box_key(uint16_t code) {
    if (!box) return false;
    if (is_enter(code)) {
        choose(box->enter);
        return true;
    }
    if (is_escape(code)) {
        choose(box->escape);
        return true;
    }
    const int letter = std::toupper(code & 0xFF);
    if (letter > ' ' && letter < 0x80) {
        const size_t at = box->hot_letters.find(static_cast<char>(letter));
        if (at != std::string::npos) {
            choose(static_cast<int>(at));
            return true;
        }
    }
    return false;
}

void box_mouse(uint16_t events) {
    if (box && (events & MOUSE_EV_RIGHT_DOWN)) choose(box->escape);
}

const modal_keys box_keys{box_key, box_mouse};

void end_loop() {
    stop_flag = 1;
}

}  // namespace

int message_box(int enter, int escape, const char* hot_letters, const std::string& text,
                const std::vector<std::string>& buttons) {
    const int n = static_cast<int>(buttons.size());
    if (window_sound.stop_positional_sounds) window_sound.stop_positional_sounds();
    const font_settings caller_font = current_font_settings();
    set_font(FONT_SADA16, FONT_SOFT_SHADOW | MESSAGE_TEXT);

    const wrapped_text wrapped = wrap_text(text, WRAP_WIDTH);
    int widest = 0, tallest = 0;
    for (const std::string& caption : buttons) {
        widest = std::max(widest, text_width(caption));
        tallest = std::max(tallest, text_height(caption));
    }
    const int button_w = std::max(widest + 10, MIN_BUTTON_WIDTH);
    const int row_w = n * (button_w + 20);
    const int face_w = std::max(wrapped.width, row_w) + 20;
    const int face_h = std::max(wrapped.height + tallest + 50, 50);

    ui_window* window =
        game_window_open(320 - face_w / 2, 180 - face_h / 2, face_w + 10, face_h + 10, H_WINTXTR, 2, 0, 0);
    if (!window) {
        apply_font_settings(caller_font);
        return 0;
    }
    int line_y = 10;
    for (const std::string& line : wrapped.lines) {
        const int line_h = text_height(line);
        define_object(NO_OBJECT_ID, 10, line_y, text_width(line), line_h, ALIGN_TOP_LEFT, ui_label,
                      line.c_str());
        line_y += line_h;
    }
    for (int i = 0; i < n; ++i) {
        define_object(static_cast<uint16_t>(i), (face_w - row_w) / 2 + 10 + i * (button_w + 20), tallest + 10,
                      button_w + 10, tallest + 10, ALIGN_BOTTOM_LEFT, ui_button,
                      buttons[static_cast<size_t>(i)].c_str());
        const frame_style frame = make_frame_style(5, BUTTON_FACE);
        set_object_props(&frame, -1, uniform_colours(BUTTON_TEXT), BUTTON_FACE);
        set_action(end_loop);
    }
    redraw_window();

    box_state state{enter, escape, hot_letters ? hot_letters : ""};
    for (char& c : state.hot_letters) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    box_state* outer_box = box;
    box = &state;
    const modal_keys* outer_keys = install_modal_keys(&box_keys);
    main_loop();
    restore_modal_keys(outer_keys);
    box = outer_box;

    const int result = focused_object && focused_object->id < n ? focused_object->id : 0;
    close_window(window);
    apply_font_settings(caller_font);
    return result;
}

bool ask_leave_question() {
    return message_box(0, 1, interface_text(TEXT_LEAVE_HOT_LETTERS), interface_text(TEXT_LEAVE_QUESTION),
                       {interface_text(TEXT_LEAVE_YES), interface_text(TEXT_LEAVE_NO)}) == 0;
}
