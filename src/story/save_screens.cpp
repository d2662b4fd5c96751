#include "story/save_screens.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "base/paths.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "platform/input.h"
#include "saves/game_save.h"
#include "saves/save_list.h"
#include "saves/saved_game.h"
#include "story/message_box.h"
#include "story/modal_keys.h"
#include "story/options_window.h"
#include "story/save_story_panel.h"
#include "story/story_pictures.h"
#include "story/text_entry.h"
#include "ui/toolkit.h"
#include "world/game_screen.h"
#include "world/map_scripts.h"
#include "world/panel.h"
#include "world/party_standin.h"

namespace {

constexpr int SCAN_UP = 0x48, SCAN_DOWN = 0x50;
constexpr int SCAN_PAGE_UP = 0x49, SCAN_PAGE_DOWN = 0x51;
constexpr int TEXT_UNREADABLE = 75, TEXT_LOAD_FAILED = 79, TEXT_OK = 80, TEXT_NO_SAVE_IN_BATTLE = 81;
constexpr const char* AUTOSAVE_MARK = "auto";
// The halves' stand-in colour while their pictures are missing.
constexpr uint16_t MISSING_HALF = 0x0842;

struct list_row {
    std::string name;  // empty: the new-save row
    bool autosave = false;
    std::optional<std::string> description;  // read when first shown
};

struct screen_state {
    bool running = false;
    bool saving = false;
    ui_window* window = nullptr;
    std::vector<list_row> rows;
    int first_row = 0;
    int selected = -1;
    // The story of the selected row (the row it was read for).
    int story_row = -1;
    save_story_panel story;
};
screen_state state;

int list_x() {
    return state.saving ? SAVE_LIST_X : LOAD_LIST_X;
}
int story_x() {
    return state.saving ? SAVE_STORY_X : LOAD_STORY_X;
}

std::string path_of(const std::string& name) {
    return build_path(saved_games_folder(), name);
}

void read_list() {
    state.rows.clear();
    if (state.saving) state.rows.push_back({});
    const uint32_t identity = game_identity();
    for (const save_list_row& row : build_save_list(saved_games_folder(), identity, state.saving))
        state.rows.push_back({row.name, row.autosave, std::nullopt});
    const int last_first = std::max(0, int(state.rows.size()) - SAVE_ROWS);
    state.first_row = std::clamp(state.first_row, 0, last_first);
    if (state.selected >= int(state.rows.size())) state.selected = -1;
    state.story_row = -1;  // read again: the file under a row may have changed
}

const std::string& description_of(list_row& row) {
    if (!row.description) {
        if (row.name.empty())
            row.description = "";
        else if (std::optional<std::string> read = read_saved_game_description(path_of(row.name)))
            row.description = *read;
        else
            row.description = interface_text(TEXT_UNREADABLE);
    }
    return *row.description;
}

// ---- The story panel ------------------------------------------------------

void read_story_of_selected() {
    if (state.story_row == state.selected) return;
    state.story_row = state.selected;
    const bool has_file = state.selected >= 0 && !state.rows[size_t(state.selected)].name.empty();
    state.story.show_save(has_file ? path_of(state.rows[size_t(state.selected)].name) : std::string());
}

void scroll_list(int rows) {
    const int last_first = std::max(0, int(state.rows.size()) - SAVE_ROWS);
    state.first_row = std::clamp(state.first_row + rows, 0, last_first);
}

// ---- Drawing ----------------------------------------------------------------

void draw_half(handle_id id, int x, int width) {
    if (const picture* half = window_picture(id)) {
        put_picture(x, SAVE_HALF_Y, half);
        return;
    }
    draw_colour = MISSING_HALF;
    fill_rect(x, SAVE_HALF_Y, x + width - 1, SAVE_HALF_Y + SAVE_HALF_H - 1);
}

// A description wider than its room is drawn with its letters pushed
// together just enough to fit.
void draw_description(const std::string& text, int x, int y) {
    set_aligned_position(x, y, ALIGN_START, ALIGN_CENTRE, text);
    const int width = text_width(text);
    if (width <= SAVE_DESCRIPTION_MAX_W || text.size() < 2) {
        draw_text(text);
        return;
    }
    const int gaps = int(text.size()) - 1;
    draw_text_spaced(text, -((width - SAVE_DESCRIPTION_MAX_W + gaps - 1) / gaps));
}

void draw_rows() {
    for (int i = 0; i < SAVE_ROWS; ++i) {
        const int index = state.first_row + i;
        if (index >= int(state.rows.size())) break;
        list_row& row = state.rows[size_t(index)];
        const int colour = index == state.selected ? SAVE_ROW_SELECTED : SAVE_ROW_COLOUR;
        const int middle = SAVE_ROWS_Y + i * SAVE_ROW_H + SAVE_ROW_H / 2;
        set_font(FONT_SADA16, colour);
        draw_description(description_of(row), list_x(), middle);
        if (row.autosave) {
            set_font(FONT_5X8, colour);
            set_aligned_position(list_x() + SAVE_ROW_W, middle, ALIGN_END, ALIGN_CENTRE, AUTOSAVE_MARK);
            draw_text(AUTOSAVE_MARK);
        }
    }
}

void draw_story() {
    read_story_of_selected();
    state.story.draw(story_x());
}

void draw_screen(ui_window*) {
    const font_settings caller_font = current_font_settings();
    set_target(frame_buffer);
    draw_half(H_SAVELOAD, state.saving ? 0 : STORY_HALF_W, LIST_HALF_W);
    draw_half(H_SVITEK, state.saving ? LIST_HALF_W : 0, STORY_HALF_W);
    draw_rows();
    draw_story();
    apply_font_settings(caller_font);
}

void show_screen() {
    if (state.window && top_window == state.window) redraw_window();
}

// ---- Picking ----------------------------------------------------------------

int row_at(int x, int y) {
    if (x < list_x() || x >= list_x() + SAVE_ROW_W || y < SAVE_ROWS_Y ||
        y >= SAVE_ROWS_Y + SAVE_ROWS * SAVE_ROW_H)
        return -1;
    const int index = state.first_row + (y - SAVE_ROWS_Y) / SAVE_ROW_H;
    return index < int(state.rows.size()) ? index : -1;
}

bool over_story(int x, int y) {
    return x >= story_x() && x < story_x() + STORY_PANEL_W && y >= STORY_PANEL_Y &&
           y < STORY_PANEL_Y + STORY_PANEL_H;
}

// The row under the pointer becomes the selected one; away from the rows
// the last one stays selected, so that its story can be scrolled.
void select_at(int x, int y) {
    const int row = row_at(x, y);
    if (row >= 0) state.selected = row;
}

void leave() {
    stop_flag = 1;
}

void delete_file(const std::string& name) {
    if (!name.empty()) std::remove(path_of(name).c_str());
}

// The text entry over the save screen: OK saves under a new name and only
// then lets the row's older file go (a save in the same second keeps the
// name, and the file is then the new save itself); delete removes the
// row's file; cancel returns to the list.
void pick_for_saving(const list_row& row) {
    char text[SAVED_GAME_DESCRIPTION_SIZE] = {};
    const std::string start = row.name.empty() ? autosave_description() : row.description.value_or("");
    std::snprintf(text, sizeof text, "%s", start.c_str());
    const int chosen = text_entry(text, sizeof text, !row.name.empty());
    if (chosen == TEXT_ENTRY_OK) {
        const uint32_t save_time = save_time_now();
        if (save_game(save_time, text, false) == 0) {
            if (row.name != saved_game_name(game_identity(), save_time, false)) delete_file(row.name);
            leave();
            return;
        }
    } else if (chosen == TEXT_ENTRY_DELETE) {
        delete_file(row.name);
    }
    read_list();
}

void pick_for_loading(const list_row& row) {
    if (load_game(row.name) == 0) {
        leave();
        return;
    }
    message_box(0, 0, nullptr, interface_text(TEXT_LOAD_FAILED), {interface_text(TEXT_OK)});
    read_list();
}

void pick(int index) {
    if (index < 0 || index >= int(state.rows.size())) return;
    const list_row row = state.rows[size_t(index)];
    if (state.saving)
        pick_for_saving(row);
    else
        pick_for_loading(row);
}

// ---- Keys and the mouse -----------------------------------------------------------

bool screen_on_top() {
    return state.running && state.window && top_window == state.window;
}

void screen_key(event_msg& msg, void**) {
    if (msg.number != EV_KEY || !screen_on_top()) return;
    event_msg copy = msg;
    const uint16_t code = static_cast<uint16_t>(copy.next_int() & 0xFFFF);
    const int scan = code >> 8;
    // The close request goes on to the screens below, which end the game.
    if (code != KEY_CLOSE_REQUEST) msg.number = EV_STOP;
    if (is_escape(code)) {
        leave();
        return;
    }
    // The wheel comes as Up and Down: over the story it scrolls the story.
    const bool on_story = over_story(mouse_state.x, mouse_state.y);
    if (scan == SCAN_UP || scan == SCAN_DOWN) {
        const int step = scan == SCAN_UP ? -1 : 1;
        if (on_story)
            state.story.scroll_back(-step);
        else
            scroll_list(step);
    } else if (scan == SCAN_PAGE_UP || scan == SCAN_PAGE_DOWN) {
        const int page = std::max(1, save_story_panel::lines_fitting() - 1);
        state.story.scroll_back(scan == SCAN_PAGE_UP ? page : -page);
    } else if (is_enter(code)) {
        pick(state.selected);
    } else {
        return;
    }
    select_at(mouse_state.x, mouse_state.y);
    show_screen();
}

void screen_mouse(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE || !screen_on_top()) return;
    event_msg copy = msg;
    const auto* mouse = copy.next_ptr<const mouse_record>();
    if (!mouse) mouse = &mouse_state;
    msg.number = EV_STOP;
    if (mouse->events & MOUSE_EV_RIGHT_DOWN) {
        leave();
        return;
    }
    const int before = state.selected;
    select_at(mouse->x, mouse->y);
    if (mouse->events & MOUSE_EV_LEFT_DOWN) {
        const int row = row_at(mouse->x, mouse->y);
        if (row >= 0) pick(row);
        show_screen();
        return;
    }
    if (state.selected != before) show_screen();
}

// ---- Running --------------------------------------------------------------------

void run_screen(bool saving) {
    if (state.running) return;
    const bool game_screen_was_running = scene.running;
    if (game_screen_was_running) stop_game_screen();
    // What lies under the screen comes back when it is left (the options
    // window, say, which is not drawn again by itself).
    const std::vector<uint16_t> under(frame_buffer + SAVE_HALF_Y * SCREEN_PITCH,
                                      frame_buffer + (SAVE_HALF_Y + SAVE_HALF_H) * SCREEN_PITCH);
    const font_settings caller_font = current_font_settings();
    state = {};
    state.saving = saving;
    read_list();
    ui_window* window = create_window(0, SAVE_HALF_Y, SCREEN_WIDTH, SAVE_HALF_H, 0, frame_style{});
    if (window) {
        open_window(window);
        set_modal();
        window->draw = draw_screen;
        state.window = window;
        state.running = true;
        select_at(mouse_state.x, mouse_state.y);
        // The keys of a window under the screen (the options window's F2,
        // say) rest while it runs.
        static const modal_keys no_window_keys{};
        const modal_keys* outer_keys = install_modal_keys(&no_window_keys);
        add_event_handler(EV_KEY, screen_key);
        add_event_handler(EV_MOUSE, screen_mouse);
        redraw_window();
        main_loop();
        remove_event_handler(EV_KEY, screen_key);
        remove_event_handler(EV_MOUSE, screen_mouse);
        restore_modal_keys(outer_keys);
        close_window(window);
    }
    state = {};
    std::copy(under.begin(), under.end(), frame_buffer + SAVE_HALF_Y * SCREEN_PITCH);
    present_rect(0, SAVE_HALF_Y, SCREEN_WIDTH, SAVE_HALF_H);
    apply_font_settings(caller_font);
    if (game_screen_was_running) start_game_screen();
}

}  // namespace

void save_screen() {
    run_screen(true);
}

void load_screen() {
    run_screen(false);
}

void open_save_screen() {
    if (battle_on_screen().active()) {
        show_panel_message(interface_text(TEXT_NO_SAVE_IN_BATTLE));
        return;
    }
    if (!run_hook(HOOK_BEFORE_SAVE, party.sector, party.direction)) return;
    save_screen();
}

void quick_save() {
    if (!battle_on_screen().active()) autosave();
}

void install_save_screens() {
    screen_windows.save_screen = open_save_screen;
    screen_windows.load_screen = load_screen;
    screen_windows.quick_save = quick_save;
    options_links.save_screen = open_save_screen;
    options_links.load_screen = load_screen;
}

bool save_screen_running() {
    return state.running;
}

std::vector<save_screen_row> save_screen_rows_shown() {
    std::vector<save_screen_row> shown;
    for (int i = 0; i < SAVE_ROWS && state.first_row + i < int(state.rows.size()); ++i) {
        list_row& row = state.rows[size_t(state.first_row + i)];
        shown.push_back({row.name, description_of(row), row.autosave});
    }
    return shown;
}

int save_screen_selected() {
    return state.selected;
}

int save_screen_first_row() {
    return state.first_row;
}

std::vector<std::string> save_screen_story_shown() {
    read_story_of_selected();
    return state.story.lines_shown();
}
