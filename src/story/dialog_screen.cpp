#include "story/dialog_screen.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/paths.h"
#include "base/text_util.h"
#include "core/events.h"
#include "core/handles.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "platform/input.h"
#include "story/dialog.h"
#include "story/dialog_animation.h"
#include "story/options_window.h"
#include "world/game_screen.h"
#include "world/panel.h"
#include "world/screen_layout.h"

namespace {

constexpr int SCAN_ESCAPE = 1, SCAN_W = 17, SCAN_ENTER = 28, SCAN_S = 31, SCAN_SPACE = 57;
constexpr int SCAN_F1 = 59, SCAN_F3 = 61, SCAN_UP = 72, SCAN_DOWN = 80;
constexpr int VIEW_ROWS = 360;

struct screen_state {
    bool running = false;          // between started and ended
    bool handlers = false;         // the key and mouse handlers are installed
    bool game_screen_was = false;  // the game screen ran when the dialog started
    std::vector<uint16_t> captured;
    // The dialog picture loaded from the adventure, and its name.
    std::string picture_name;
    picture* picture_loaded = nullptr;
    int pressed_choice = -1;  // a choice line pressed, picked when released
};
screen_state screen;

// ---- The captured view ----------------------------------------------------------

// Steps of 2 with a step of 1 after the first four and then after every
// `run` steps of 2.
int scaled_source(int out, int run) {
    int source = 0;
    for (int step = 0; step < out; ++step) source += step >= 4 && (step - 4) % (run + 1) == 0 ? 1 : 2;
    return source;
}

// ---- The dialog picture ------------------------------------------------------

void free_picture() {
    if (screen.picture_loaded) game_free(screen.picture_loaded);
    screen.picture_loaded = nullptr;
    screen.picture_name.clear();
}

// A picture file of the dialogs folder: a PCX, or a stored picture record.
picture* load_dialog_picture(const std::string& name) {
    int32_t length = 0;
    void* data = load_file(name.c_str(), PATH_DIALOGS, &length);
    if (!data || length <= 0) {
        free_file_data(data);
        return nullptr;
    }
    picture* result = nullptr;
    if (name.size() > 4 && equal_ignoring_case(std::string_view(name).substr(name.size() - 4), ".pcx")) {
        if (decode_pcx(data, length, PIC_PAL8, &result) < 0) result = nullptr;
    } else if (picture_record_valid(data, size_t(length))) {
        result = static_cast<picture*>(game_alloc(size_t(length)));
        if (result) std::memcpy(result, data, size_t(length));
    }
    free_file_data(data);
    return result;
}

const picture* dialog_picture() {
    if (dialog.picture.empty()) return nullptr;
    if (dialog.picture == "SCREEN")
        return screen.captured.empty() ? nullptr : reinterpret_cast<const picture*>(screen.captured.data());
    if (dialog.picture != screen.picture_name) {
        free_picture();
        screen.picture_name = dialog.picture;
        screen.picture_loaded = load_dialog_picture(dialog.picture);
    }
    return screen.picture_loaded;
}

// ---- Drawing ------------------------------------------------------------------

const picture* background() {
    const auto* pic = static_cast<const picture*>(get_handle_data(H_DIALOG));
    return pic && pic->type == PIC_PAL8 ? pic : nullptr;
}

int32_t palette_colour(int index) {
    const picture* pic = background();
    return 0x8000 | (pic ? picture_palette(pic)[index] & 0x7FFF : 0x7FFF);
}

int max_scroll() {
    return std::max(0, int(dialog.history.size()) - HISTORY_VISIBLE_LINES);
}

bool is_choice_marker(char marker) {
    return marker >= '0' && marker < '0' + DIALOG_CHOICES;
}

void draw_history() {
    const int32_t lines = palette_colour(DIALOG_LINE_INDEX), selected = palette_colour(DIALOG_SELECTED_INDEX);
    const int first = std::max(0, dialog.scroll);
    for (int row = 0; row < HISTORY_VISIBLE_LINES; ++row) {
        const size_t index = size_t(first + row);
        if (index >= dialog.history.size()) break;
        const history_line& line = dialog.history[index];
        int32_t colour = lines;
        if (line.marker == 'E') colour = DIALOG_NOTE_COLOUR;
        if (is_choice_marker(line.marker) && line.marker - '0' == dialog.selected_choice) colour = selected;
        set_font(DIALOG_FONT, colour);
        set_text_position(HISTORY_X, HISTORY_Y + row * HISTORY_LINE_HEIGHT);
        draw_text(line.text);
    }
}

void draw_party_bar() {
    panel_back_to_party(false);
    const auto* panel = static_cast<const uint16_t*>(get_handle_data(H_PANEL));
    if (panel && handle_length(H_PANEL) >= SCREEN_PITCH * PANEL_ROWS * 2)
        copy_rows_to_screen(panel, PANEL_FIRST_ROW, PANEL_ROWS);
}

void draw_dialog() {
    set_target(frame_buffer);
    if (const picture* pic = background()) put_picture(DIALOG_BACKGROUND_X, DIALOG_BACKGROUND_Y, pic);
    if (const picture* pic = dialog_picture()) put_picture(DIALOG_PICTURE_X, DIALOG_PICTURE_Y, pic);
    set_font(DIALOG_FONT, DIALOG_TEXT_COLOUR);
    const int line_height = std::max(1, text_height("X"));
    int y = DIALOG_TEXT_Y;
    for (const std::string& line : dialog.main_text) {
        set_text_position(DIALOG_TEXT_X, y);
        draw_text(line);
        y += line_height;
    }
    draw_history();
    if (dialog.waiting == dialog_wait::pick_portrait) draw_party_bar();
}

void present() {
    draw_dialog();
    present_rect(0, 0, 0, 0);
}

// ---- The player ------------------------------------------------------------------

void handlers_off();

// The player leaves the game from the middle of a dialog: the dialog stops
// where it is, and the game loop hears that the game is over.
void leave_game() {
    handlers_off();
    // Nothing may draw into the picture once the dialog is gone.
    stop_dialog_animation();
    dialog.running = false;
    dialog.waiting = dialog_wait::ended;
    screen.running = false;
    screen.captured.clear();
    free_picture();
    dispatch_event(EV_GAME_RESULT, 0);
}

// A window over the dialog holds its animation: frames would draw over it.
bool window_over_dialog(bool (*window)()) {
    hold_dialog_animation();
    const bool result = window();
    release_dialog_animation();
    return result;
}

void ask_leave() {
    if (!screen_windows.ask_leave || window_over_dialog(screen_windows.ask_leave)) {
        leave_game();
        return;
    }
    present();
}

void open_window(void (*window)()) {
    if (!window) return;
    hold_dialog_animation();
    window();
    release_dialog_animation();
    if (screen.running) present();
}

void scroll_up() {
    if (dialog.waiting == dialog_wait::ask && dialog.selected_choice > 0)
        --dialog.selected_choice;
    else if (dialog.scroll > 0)
        dialog.scroll = std::min(dialog.scroll, max_scroll()) - 1;
}

void scroll_down() {
    if (dialog.scroll < max_scroll())
        ++dialog.scroll;
    else if (dialog.waiting == dialog_wait::ask && dialog.selected_choice + 1 < dialog.choice_count)
        ++dialog.selected_choice;
}

void pick(int choice) {
    screen.pressed_choice = -1;
    dialog_pick(choice);
}

void dialog_key(event_msg& msg, void**) {
    if (msg.number != EV_KEY || !screen.running) return;
    event_msg copy = msg;
    const uint16_t code = static_cast<uint16_t>(copy.next_int() & 0xFFFF);
    msg.number = EV_STOP;
    if (code == KEY_CLOSE_REQUEST) {
        leave_game();
        return;
    }
    const int scan = code >> 8, character = code & 0xFF;
    if (scan == SCAN_ESCAPE || character == 27) return ask_leave();
    if (scan == SCAN_F1) return open_window(screen_windows.options);
    if (scan == SCAN_F3) return open_window(options_links.load_screen);
    if (scan == SCAN_UP || scan == SCAN_W) {
        scroll_up();
        present();
        return;
    }
    if (scan == SCAN_DOWN || scan == SCAN_S) {
        scroll_down();
        present();
        return;
    }
    switch (dialog.waiting) {
        case dialog_wait::ask:
            if (scan == SCAN_ENTER || scan == SCAN_SPACE || character == 13) pick(dialog.selected_choice);
            break;
        case dialog_wait::wait:
            pick(0);  // any other key goes on
            break;
        default:
            break;
    }
}

void portrait_click(const mouse_record& mouse) {
    if (mouse.events & MOUSE_EV_RIGHT_DOWN) {
        dialog_portrait_picked(-1);
        return;
    }
    if (!(mouse.events & MOUSE_EV_LEFT_DOWN)) return;
    const int slot = party_bar_slot_at(mouse.x, mouse.y);
    if (slot >= 0 && dialog_portrait_allowed(slot)) dialog_portrait_picked(slot);
}

void dialog_mouse(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE || !screen.running) return;
    event_msg copy = msg;
    const auto* mouse = copy.next_ptr<const mouse_record>();
    if (!mouse) mouse = &mouse_state;
    msg.number = EV_STOP;
    switch (dialog.waiting) {
        case dialog_wait::pick_portrait:
            portrait_click(*mouse);
            break;
        case dialog_wait::wait:
            if (mouse->events & (MOUSE_EV_LEFT_DOWN | MOUSE_EV_RIGHT_DOWN)) pick(0);
            break;
        case dialog_wait::ask:
            if (dialog.choice_count <= 1) {
                if (mouse->events & MOUSE_EV_LEFT_DOWN) pick(dialog.selected_choice);
                break;
            }
            if (mouse->events & MOUSE_EV_LEFT_DOWN) {
                const int choice = dialog_choice_at(mouse->x, mouse->y);
                if (choice < 0) break;
                dialog.selected_choice = choice;
                screen.pressed_choice = choice;
                present();
            } else if ((mouse->events & MOUSE_EV_LEFT_UP) && screen.pressed_choice >= 0) {
                const int choice = dialog_choice_at(mouse->x, mouse->y);
                if (choice == screen.pressed_choice)
                    pick(choice);
                else
                    screen.pressed_choice = -1;
            }
            break;
        default:
            break;
    }
}

void handlers_on() {
    if (screen.handlers) return;
    screen.handlers = true;
    add_event_handler(EV_KEY, dialog_key);
    add_event_handler(EV_MOUSE, dialog_mouse);
}

void handlers_off() {
    if (!screen.handlers) return;
    screen.handlers = false;
    remove_event_handler(EV_KEY, dialog_key);
    remove_event_handler(EV_MOUSE, dialog_mouse);
}

}  // namespace

int capture_source_column(int column) {
    return std::min(scaled_source(column, 8), SCREEN_WIDTH - 1);
}

int capture_source_row(int row) {
    return std::min(scaled_source(row, 4), VIEW_ROWS - 1);
}

std::vector<uint16_t> capture_view() {
    std::vector<uint16_t> record(PICTURE_HEADER_BYTES / 2 + size_t(CAPTURE_WIDTH) * CAPTURE_HEIGHT);
    record[0] = CAPTURE_WIDTH;
    record[1] = CAPTURE_HEIGHT;
    record[2] = PIC_HICOLOR;
    int columns[CAPTURE_WIDTH];
    for (int x = 0; x < CAPTURE_WIDTH; ++x) columns[x] = capture_source_column(x);
    uint16_t* out = record.data() + PICTURE_HEADER_BYTES / 2;
    for (int y = 0; y < CAPTURE_HEIGHT; ++y) {
        const uint16_t* row = frame_buffer + size_t(VIEW_FIRST_ROW + capture_source_row(y)) * SCREEN_PITCH;
        for (int x = 0; x < CAPTURE_WIDTH; ++x) *out++ = row[columns[x]];
    }
    return record;
}

void dialog_screen_started() {
    screen.game_screen_was = scene.running;
    stop_game_screen();
    screen.captured = capture_view();
    free_picture();
    screen.pressed_choice = -1;
    screen.running = true;
    // The view's place is cleared until the dialog draws over it.
    set_target(frame_buffer);
    draw_colour = 0;
    fill_rect(0, VIEW_FIRST_ROW, SCREEN_WIDTH - 1, VIEW_FIRST_ROW + VIEW_ROWS - 1);
}

void dialog_screen_show() {
    if (!screen.running) dialog_screen_started();
    handlers_on();
    present();
}

void dialog_screen_ended() {
    handlers_off();
    stop_dialog_animation();
    if (!screen.running) return;
    screen.running = false;
    screen.captured.clear();
    screen.captured.shrink_to_fit();
    free_picture();
    if (screen.game_screen_was) {
        start_game_screen();
    } else if (show_panel_on_screen) {
        show_panel_on_screen();
    }
}

bool dialog_screen_running() {
    return screen.running;
}

int dialog_choice_at(int x, int y) {
    if (x < HISTORY_X || x >= HISTORY_X + HISTORY_WIDTH || y < HISTORY_Y || y >= HISTORY_Y + HISTORY_HEIGHT)
        return -1;
    const int index = std::max(0, dialog.scroll) + (y - HISTORY_Y) / HISTORY_LINE_HEIGHT;
    if (index >= int(dialog.history.size())) return -1;
    const char marker = dialog.history[size_t(index)].marker;
    return is_choice_marker(marker) ? marker - '0' : -1;
}
