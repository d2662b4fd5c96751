#include "story/text_entry.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/events.h"
#include "core/handle_ids.h"
#include "gfx/font.h"
#include "story/game_window.h"
#include "story/modal_keys.h"
#include "story/story_pictures.h"
#include "ui/toolkit.h"

namespace {

constexpr uint16_t INPUT_LINE = 10, CANCEL_BUTTON = 20, OK_BUTTON = 30, DELETE_BUTTON = 40;
constexpr int TEXT_TITLE = 98, TEXT_CANCEL = 239, TEXT_OK = 80, TEXT_DELETE = 172;
constexpr uint16_t BUTTON_FACE = 15787;

void choose(int button) {
    set_focus(button);
    stop_flag = 1;
}

bool entry_key(uint16_t code) {
    if (is_enter(code)) {
        choose(OK_BUTTON);
        return true;
    }
    if (is_escape(code)) {
        choose(CANCEL_BUTTON);
        return true;
    }
    return false;
}

void entry_mouse(uint16_t events) {
    if (events & MOUSE_EV_RIGHT_UP) choose(CANCEL_BUTTON);
}

const modal_keys entry_keys{entry_key, entry_mouse};

void end_loop() {
    stop_flag = 1;
}

void define_button(uint16_t id, int x, int w, int alignment, int text) {
    define_object(id, x, 20, w, 20, alignment, ui_button, interface_text(text));
    const frame_style frame = make_frame_style(5, BUTTON_FACE);
    set_object_props(&frame, -1, nullptr, BUTTON_FACE);
    set_action(end_loop);
}

}  // namespace

int text_entry(char* buffer, size_t size, bool offer_delete) {
    if (!buffer || size == 0) return TEXT_ENTRY_CANCEL;
    const font_settings caller_font = current_font_settings();
    set_font(FONT_SADA16, 0x7FFF);
    ui_window* window = game_window_open(170, 130, 300, 100, H_WINTXTR, 3, 20, 20);
    if (!window) {
        apply_font_settings(caller_font);
        return TEXT_ENTRY_CANCEL;
    }
    define_object(NO_OBJECT_ID, 10, 15, 270, 13, ALIGN_TOP_LEFT, ui_label, interface_text(TEXT_TITLE));
    define_object(INPUT_LINE, 10, 30, 270, 13, ALIGN_TOP_LEFT, ui_input_line, static_cast<int32_t>(size - 1));
    const frame_style frame = make_frame_style(5, BUTTON_FACE);
    set_object_props(&frame, -1, nullptr, 0);
    // The buffer may lack its NUL: never read past its size.
    set_last_text(std::string(buffer, strnlen(buffer, size)).c_str());
    define_button(CANCEL_BUTTON, 20, 60, ALIGN_BOTTOM_RIGHT, TEXT_CANCEL);
    define_button(OK_BUTTON, 90, 60, ALIGN_BOTTOM_RIGHT, TEXT_OK);
    if (offer_delete) define_button(DELETE_BUTTON, 10, 70, ALIGN_BOTTOM_LEFT, TEXT_DELETE);
    redraw_window();
    set_focus(INPUT_LINE);

    const modal_keys* outer_keys = install_modal_keys(&entry_keys);
    main_loop();
    restore_modal_keys(outer_keys);

    const int chosen = focused_object ? focused_object->id : -1;
    const std::string edited =
        find_object(0, INPUT_LINE) ? find_object(0, INPUT_LINE)->text() : std::string();
    const size_t length = std::min(edited.size(), size - 1);
    std::memcpy(buffer, edited.data(), length);
    buffer[length] = 0;
    close_window(window);
    apply_font_settings(caller_font);
    return chosen == DELETE_BUTTON ? TEXT_ENTRY_DELETE
           : chosen == OK_BUTTON   ? TEXT_ENTRY_OK
                                   : TEXT_ENTRY_CANCEL;
}
