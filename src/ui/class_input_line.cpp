// The one-line text input: cursor, scrolling, the replace-on-first-key rule
// and the editing keys.
#include <algorithm>
#include <cstring>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "ui/toolkit.h"
#include "ui/toolkit_internal.h"

input_line_state input_editing;

namespace {
constexpr uint8_t SCAN_HOME = 71, SCAN_LEFT = 75, SCAN_RIGHT = 77, SCAN_END = 79, SCAN_DELETE = 83;
constexpr uint8_t CHAR_BACKSPACE = 8, CHAR_ESCAPE = 27;

struct input_block : object_private {
    int max_length = 0;
    int first_visible = 0;
};

input_block& block_of(ui_object* object) {
    return *object->private_as<input_block>();
}

// The text, never longer than the line's maximum, whatever was stored in the value.
std::string line_text(ui_object* object) {
    std::string text = object->text();
    const auto max = static_cast<size_t>(block_of(object).max_length);
    if (text.size() > max) text.resize(max);
    return text;
}

void store_text(ui_object* object, const std::string& text) {
    std::fill(object->value.begin(), object->value.end(), 0);
    const size_t n = std::min(text.size(), object->value.empty() ? 0 : object->value.size() - 1);
    std::memcpy(object->value.data(), text.data(), n);
}

font_data font_for(const ui_object* object) {
    return object->font.handle >= 0 ? font_of_handle(static_cast<handle_id>(object->font.handle))
                                    : current_font;
}

void input_init(ui_object* object, event_msg& args) {
    auto block = std::make_unique<input_block>();
    block->max_length = std::clamp(args.next_int(), 0, 32766);
    object->value_length = block->max_length + 1;
    object->private_block = std::move(block);
}

void input_draw(int, int, int x2, int y2, ui_object* object) {
    fill_rect(object->screen_x, object->screen_y, x2, y2);
    const std::string text = line_text(object);
    if (text.empty()) return;
    input_block& block = block_of(object);
    if (block.first_visible >= static_cast<int>(text.size())) block.first_visible = 0;
    for (size_t i = static_cast<size_t>(block.first_visible); i < text.size(); ++i) {
        const auto c = static_cast<uint8_t>(text[i]);
        if (text_x + glyph_width(current_font, c) >= x2) break;
        draw_text(std::string_view(&text[i], 1));
    }
}

// Scrolls the text so the cursor lies inside the box, then shows the cursor.
void input_blink(ui_object* object) {
    input_block& block = block_of(object);
    const std::string text = line_text(object);
    const font_data font = font_for(object);
    const int cursor = std::clamp(input_editing.cursor, 0, static_cast<int>(text.size()));
    const int first_before = block.first_visible;
    int sum = 0;
    for (;;) {
        sum = 0;
        for (int i = block.first_visible; i < cursor; ++i)
            sum += std::max(glyph_width(font, static_cast<uint8_t>(text[static_cast<size_t>(i)])), 1);
        if (cursor == 0 || (sum > 0 && sum < object->w)) break;
        // One character wider than the box: it is shown from its start.
        if (sum >= object->w && block.first_visible >= cursor - 1) break;
        if (sum >= object->w) block.first_visible++;
        if (sum == 0) block.first_visible = std::max(block.first_visible - 1, 0);
    }
    if (block.first_visible != first_before) redraw_object(object);
    xor_cursor_box(object->screen_x + sum, object->screen_y, 1, object->h);
}

void input_key(event_msg& msg, ui_object* object) {
    msg.rewind();
    const auto code = static_cast<uint16_t>(msg.next_int());
    const uint8_t character = code & 0xFF, scan = code >> 8;
    const int max = block_of(object).max_length;
    std::string text = line_text(object);
    int& cursor = input_editing.cursor;
    cursor = std::clamp(cursor, 0, static_cast<int>(text.size()));
    const int len = static_cast<int>(text.size());

    if (character == 0) {
        if (scan == SCAN_HOME) cursor = 0;
        if (scan == SCAN_LEFT && cursor > 0) cursor--;
        if (scan == SCAN_RIGHT && cursor < len) cursor++;
        if (scan == SCAN_END) cursor = len;
        if (scan == SCAN_DELETE && cursor < len) text.erase(static_cast<size_t>(cursor), 1);
    } else if (character == CHAR_BACKSPACE) {
        if (cursor >= 1) {
            text.erase(static_cast<size_t>(cursor - 1), 1);
            cursor--;
        }
    } else if (character == CHAR_ESCAPE) {
        text = input_editing.saved_text.substr(0, static_cast<size_t>(max));
        cursor = std::min(cursor, static_cast<int>(text.size()));
    } else if (character >= 32) {
        if (len < max || input_editing.replace) {
            if (input_editing.replace) {
                text.clear();
                cursor = 0;
            }
            text.insert(static_cast<size_t>(cursor), 1, static_cast<char>(character));
            cursor++;
        }
    }
    store_text(object, text);
    if (cursor == 0) block_of(object).first_visible = 0;
    redraw_object(object);
    event_msg blink;
    blink.number = UI_EV_BLINK;
    object->event(blink, object);
    input_editing.replace = 0;
    msg.number = EV_STOP;
}

void input_click(const mouse_record& mouse, ui_object* object) {
    const std::string text = line_text(object);
    const font_data font = font_for(object);
    int sx = object->screen_x, sy = object->screen_y;
    if (ui_window* window = object_window(object)) object_screen_position(window, object, sx, sy);
    const int limit = mouse.x - sx;
    int i = std::min(block_of(object).first_visible, static_cast<int>(text.size()));
    int sum = 0;
    while (i < static_cast<int>(text.size())) {
        sum += glyph_width(font, static_cast<uint8_t>(text[static_cast<size_t>(i)]));
        if (sum > limit) break;
        ++i;
    }
    input_editing.cursor = i;
    redraw_object(object);
}

void input_event(event_msg& msg, ui_object* object) {
    switch (msg.number) {
        case UI_EV_FOCUS_IN:
            input_editing.cursor = 0;
            input_editing.saved_text = line_text(object);
            input_editing.replace = 1;
            break;
        case UI_EV_FOCUS_OUT:
            input_editing.cursor = 0;
            block_of(object).first_visible = 0;
            input_editing.saved_text.clear();
            redraw_object(object);
            break;
        case EV_KEY:
            input_key(msg, object);
            break;
        case EV_MOUSE:
            if (const mouse_record* mouse = mouse_of(msg); mouse && (mouse->events & MOUSE_EV_LEFT_DOWN))
                input_click(*mouse, object);
            break;
        case UI_EV_BLINK:
            input_blink(object);
            break;
        default:
            break;
    }
}
}  // namespace

void ui_input_line(ui_object* object) {
    object->init = input_init;
    object->draw = input_draw;
    object->event = input_event;
}
