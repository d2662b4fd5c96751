#include "story/book_window.h"

#include <algorithm>
#include <cstdio>

#include "base/fatal.h"
#include "base/paths.h"
#include "base/strings.h"
#include "core/decoders.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "platform/input.h"
#include "rules/floor/floor_items_game.h"
#include "sound/game_sound.h"
#include "story/modal_keys.h"
#include "story/options_window.h"
#include "story/story_pictures.h"
#include "ui/toolkit.h"
#include "world/automap.h"
#include "world/game_screen.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/party_standin.h"
#include "world/screen_effects.h"

int book_page = 0;
bool book_opens_on_new_pages = false;

namespace {

constexpr int TEXT_LEFT_PAGE = 135, TEXT_RIGHT_PAGE = 136;
constexpr int PAGE_NUMBER_Y = 440, RIGHT_PAGE_NUMBER_X = 608;
constexpr int32_t BOOK_TEXT_COLOUR = 0x8000;
constexpr int32_t PAGE_NUMBER_COLOUR = 0x30000;
constexpr int SCAN_LEFT = 0x4B, SCAN_RIGHT = 0x4D;
// The game screen's sign that the book has new pages.
constexpr int NEW_PAGES_SIGN = 1;
// The book's pictures are registered by name in this block of handles.
constexpr int BOOK_PICTURE_HANDLES = 0x8500, BOOK_PICTURE_HANDLE_COUNT = 0x40;

std::vector<std::string> lines;
book_layout layout;
std::string the_book_file;
bool open_request = false;

struct window_state {
    bool running = false;
    ui_window* window = nullptr;
};
window_state state;

// ---- Pictures and the font -----------------------------------------------------

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The handle of a book picture (from the dialogs folder), registered the
// first time; -1 when the name cannot be one or the block is full.
int picture_handle(const std::string& name) {
    if (name.empty() || name.size() > HANDLE_NAME_MAX) return -1;
    const std::string stored = upper(name);
    const decoder_fn decoder = decoder_for(decoder_id::pcx_to_pal8);
    if (const int found = find_handle(stored.c_str(), decoder); found >= 0) return found;
    if (!resource_available(PATH_DIALOGS, name.c_str()) && !resource_available(PATH_DIALOGS, stored.c_str()))
        return -1;
    for (int id = BOOK_PICTURE_HANDLES; id < BOOK_PICTURE_HANDLES + BOOK_PICTURE_HANDLE_COUNT; ++id) {
        const handle_record* r = handle_info(static_cast<handle_id>(id));
        if (r && r->state != HANDLE_UNDEFINED) continue;
        return define_handle(static_cast<handle_id>(id), stored.c_str(), decoder, PATH_DIALOGS) ? id : -1;
    }
    return -1;
}

const picture* book_picture(const std::string& name) {
    const int id = picture_handle(name);
    if (id < 0) return nullptr;
    const void* data = get_handle_data(static_cast<handle_id>(id));
    const int32_t length = handle_length(static_cast<handle_id>(id));
    if (!data || length <= 0 || !picture_record_valid(data, size_t(length))) return nullptr;
    const auto* pic = static_cast<const picture*>(data);
    return pic->type == PIC_PAL8 ? pic : nullptr;
}

class font_metrics final : public book_metrics {
  public:
    font_metrics() : font_(font_of_handle(FONT_KNIHA)) {}
    int char_width(uint8_t c) const override { return glyph_width(font_, c); }
    int char_height(uint8_t c) const override { return glyph_height(font_, c); }
    bool picture_size(const std::string& name, int& w, int& h) const override {
        const picture* pic = book_picture(name);
        if (!pic) return false;
        w = pic->width;
        h = pic->height;
        return true;
    }

  private:
    font_data font_;
};

class screen_canvas final : public book_canvas {
  public:
    screen_canvas() : font_(font_of_handle(FONT_KNIHA)) {}
    int char_width(uint8_t c) const override { return glyph_width(font_, c); }
    void glyph(int x, int y, uint8_t c) override { draw_glyph(frame_buffer, x, y, font_, c, font_colours); }
    void picture(const std::string& name, int x, int y, int first_row, int rows) override {
        const ::picture* pic = book_picture(name);
        if (!pic || x < 0 || y < 0 || x >= SCREEN_WIDTH || y + rows > SCREEN_HEIGHT) return;
        const int width = std::min<int>(pic->width, SCREEN_WIDTH - x);
        put_picture_rows(pic, frame_buffer + y * SCREEN_PITCH + x, first_row, width, rows);
    }

  private:
    font_data font_;
};

// ---- Reading the text files ------------------------------------------------------

bool read_bytes(const std::string& path, std::string& out) {
    FILE* file = open_file(path, "rb");
    if (!file) return false;
    out.clear();
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

// The plain file, or its scrambled ".ENC" form unscrambled.
bool read_book_source(const std::string& path, std::string& out) {
    if (read_bytes(path, out)) return true;
    std::string scrambled;
    if (!read_bytes(replace_extension(path, ".ENC"), scrambled)) return false;
    out = unscramble_enc(scrambled);
    return true;
}

// ---- The window ----------------------------------------------------------------------

// An interface text with its "%d" (the first one) replaced by the number;
// the text is not handed to printf.
std::string with_number(const char* text, int number) {
    std::string s = text ? text : "";
    const size_t at = s.find("%d");
    if (at != std::string::npos) s.replace(at, 2, std::to_string(number));
    return s;
}

void draw_book(ui_window*) {
    const font_settings caller_font = current_font_settings();
    set_target(frame_buffer);
    if (const picture* background = window_picture(H_KNIHA))
        draw_picture(0, 0, background);
    else
        std::fill(frame_buffer, frame_buffer + SCREEN_PITCH * SCREEN_HEIGHT, uint16_t(0));
    set_font(FONT_KNIHA, BOOK_TEXT_COLOUR);
    screen_canvas canvas;
    draw_book_pages(lines, book_page, canvas);
    set_font(FONT_6X9, PAGE_NUMBER_COLOUR);
    const std::string left = with_number(interface_text(TEXT_LEFT_PAGE), book_page);
    const std::string right = with_number(interface_text(TEXT_RIGHT_PAGE), book_page + 1);
    set_aligned_position(BOOK_LEFT_PAGE_X, PAGE_NUMBER_Y, ALIGN_START, 0, left);
    draw_text(left);
    set_aligned_position(RIGHT_PAGE_NUMBER_X, PAGE_NUMBER_Y, ALIGN_END, 0, right);
    draw_text(right);
    apply_font_settings(caller_font);
}

bool window_on_top() {
    return state.running && state.window && top_window == state.window;
}

void turn(int pages) {
    const int count = book_page_count(lines);
    const int before = book_page_in_range(book_page, count);
    book_page = book_page_in_range(before + pages, count);
    if (book_page == before) return;
    sound_fixed(H_SOUND_KNIHA, FIXED_BOOK, 100);
    redraw_window();
}

void book_key(event_msg& msg, void**) {
    if (msg.number != EV_KEY || !window_on_top()) return;
    event_msg copy = msg;
    const uint16_t code = static_cast<uint16_t>(copy.next_int() & 0xFFFF);
    // The close request goes on to the screens below, which end the game.
    if (code != KEY_CLOSE_REQUEST) msg.number = EV_STOP;
    const int scan = code >> 8;
    if (is_escape(code))
        stop_flag = 1;
    else if (scan == SCAN_LEFT)
        turn(-2);
    else if (scan == SCAN_RIGHT)
        turn(2);
}

// A left click on the left page turns back, on the right page forward; a
// right click closes the book.
void book_mouse(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE || !window_on_top()) return;
    event_msg copy = msg;
    const auto* mouse = copy.next_ptr<const mouse_record>();
    if (!mouse) mouse = &mouse_state;
    msg.number = EV_STOP;
    if (mouse->events & MOUSE_EV_RIGHT_DOWN)
        stop_flag = 1;
    else if (mouse->events & MOUSE_EV_LEFT_DOWN)
        turn(mouse->x < SCREEN_WIDTH / 2 ? -2 : 2);
}

// ---- The game's links ------------------------------------------------------------------

void map_book(const std::string& file, int paragraph) {
    book_add(build_path(path_table[PATH_MAPS], file), paragraph);
}

// A book item's own text file lies in the maps folder; without one it is a
// paragraph of the adventure's book.
void item_book(const char* file, int paragraph) {
    const std::string name = file ? file : "";
    if (name.empty()) {
        book_add_from_story(book_file(), paragraph);
        return;
    }
    if (name.find_first_of("/\\:") != std::string::npos || name == "." || name == "..") return;
    book_add_from_story(build_path(path_table[PATH_MAPS], name), paragraph);
}

}  // namespace

std::vector<std::string>& book_lines() {
    return lines;
}

void new_book() {
    lines.clear();
    layout = {};
    open_request = false;
}

void set_book(std::vector<std::string> loaded) {
    lines = std::move(loaded);
    layout = {};
    open_request = false;
}

void set_book_file(const std::string& path) {
    the_book_file = path;
}

const std::string& book_file() {
    return the_book_file;
}

std::string choose_book_file(const std::string* language_folder, const std::string& maps_folder) {
    if (language_folder) {
        const std::string translated = build_path(*language_folder, "book.txt");
        if (file_exists(translated)) return translated;
    }
    return build_path(maps_folder, "kniha.txt");
}

bool book_add(const std::string& path, int paragraph) {
    std::string source;
    if (path.empty() || !read_book_source(path, source)) return false;
    font_metrics metrics;
    if (!book_add_text(source, paragraph, metrics, layout, lines))
        fatal_error("Nemohu najit odstavec s cislem %d.", paragraph);
    return true;
}

void book_add_from_story(const std::string& path, int paragraph) {
    book_page = book_page_count(lines) | 1;
    if (!book_add(path, paragraph)) return;
    start_effect(NEW_PAGES_SIGN);
    if (book_opens_on_new_pages) open_request = true;
}

bool take_book_open_request() {
    const bool requested = open_request;
    open_request = false;
    if (requested) book_page = book_page_in_range(book_page_count(lines), book_page_count(lines));
    return requested;
}

void book_window() {
    if (state.running) return;
    if (!run_hook(HOOK_BOOK_OPEN, party.sector, party.direction)) return;
    const bool game_screen_was_running = scene.running;
    if (game_screen_was_running) stop_game_screen();
    // What lies under the book comes back when it closes (the options
    // window, say, which is not drawn again by itself).
    const std::vector<uint16_t> under(frame_buffer, frame_buffer + SCREEN_PITCH * SCREEN_HEIGHT);
    const font_settings caller_font = current_font_settings();
    book_page = book_page_in_range(book_page, book_page_count(lines));
    ui_window* window = create_window(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0, frame_style{});
    if (window) {
        open_window(window);
        set_modal();
        window->draw = draw_book;
        state.window = window;
        state.running = true;
        // The keys of a window under the book (the options window's) rest.
        static const modal_keys no_window_keys{};
        const modal_keys* outer_keys = install_modal_keys(&no_window_keys);
        add_event_handler(EV_KEY, book_key);
        add_event_handler(EV_MOUSE, book_mouse);
        redraw_window();
        main_loop();
        remove_event_handler(EV_KEY, book_key);
        remove_event_handler(EV_MOUSE, book_mouse);
        restore_modal_keys(outer_keys);
        close_window(window);
    }
    state = {};
    std::copy(under.begin(), under.end(), frame_buffer);
    present_rect(0, 0, 0, 0);
    apply_font_settings(caller_font);
    run_hook(HOOK_BOOK_CLOSED, party.sector, party.direction);
    if (game_screen_was_running) start_game_screen();
}

bool book_window_running() {
    return state.running;
}

void install_book() {
    screen_windows.book = book_window;
    options_links.book = book_window;
    automap_hooks.open_book = book_window;
    map_services.show_book = map_book;
    game_pickup_world::book_opener = item_book;
}
