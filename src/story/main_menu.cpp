#include "story/main_menu.h"

#include <algorithm>
#include <cstdio>

#include "core/events.h"
#include "core/tasks.h"
#include "core/timers.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "platform/input.h"
#include "sound/music_controller.h"
#include "sound/playlist_rules.h"
#include "story/modal_keys.h"
#include "story/story_pictures.h"

const char* const MENU_VERSION_TEXT = "Version: 0.9.0";

namespace {

constexpr int TIMER_MENU = 500;
constexpr int TIMER_REVEAL = 501;
constexpr int REVEAL_STEPS = 12, REVEAL_STEP_ROWS = 20;
constexpr uint16_t VERSION_COLOUR = 0x7FFF;
constexpr int SCAN_UP = 0x48, SCAN_DOWN = 0x50, SCAN_SPACE = 0x39;

// ---- Pictures ---------------------------------------------------------------

void* logo_delta_decoder(void* data, int32_t* length, handle_id) {
    picture* delta = nullptr;
    const int32_t size = data ? decode_pcx(data, *length, PIC_PAL8, &delta) : PCX_NO_DATA;
    *length = 0;
    if (size <= 0 || !delta) return nullptr;
    picture* frame = logo_frame_from_delta(window_picture(H_MENU_LOGO_REFERENCE), delta);
    game_free(delta);
    if (!frame) return nullptr;
    *length = static_cast<int32_t>(picture_record_bytes(frame->width, frame->height, PIC_HICOLOR));
    return frame;
}

void define_picture(handle_id id, const char* name, decoder_fn decoder) {
    undefine_handle(id);
    define_handle(id, name, decoder, PATH_GUI);
}

void define_menu_pictures() {
    define_picture(H_MENU_LOGO_REFERENCE, "LOGO00.PCX", pcx_to_pal8);
    define_picture(H_MENU_LOGO, "LOGO00.PCX", pcx_to_hicolor);
    char name[16];
    for (int i = 1; i < LOGO_FRAMES; ++i) {
        std::snprintf(name, sizeof name, "LOGO%02d.PCX", i);
        define_picture(static_cast<handle_id>(H_MENU_LOGO + i), name, logo_delta_decoder);
    }
    define_picture(H_MENU_BACKGROUND, "MAINMENU.PCX", pcx_to_pal8);
    define_picture(H_MENU_MASK, "MENUVOL5.PCX", pcx_to_pal8);
    for (int i = 0; i <= MENU_GLOW_MAX; ++i) {
        std::snprintf(name, sizeof name, "MENUVOL%d.PCX", i);
        define_picture(static_cast<handle_id>(H_MENU_GLOW + i), name, pcx_to_hicolor);
    }
}

// ---- Drawing ----------------------------------------------------------------

void draw_logo_frame(int frame) {
    if (const picture* pic = window_picture(static_cast<handle_id>(H_MENU_LOGO + frame))) {
        put_picture(LOGO_X, LOGO_Y, pic);
        present_rect(LOGO_X, LOGO_Y, pic->width, pic->height);
    }
}

// The item's pixels of the menu area (by the mask) from the glow picture of the level.
void draw_item(int item, int level) {
    const picture* mask = window_picture(H_MENU_MASK);
    const picture* glow = window_picture(static_cast<handle_id>(H_MENU_GLOW + level));
    if (!mask || !glow || mask->type != PIC_PAL8 || glow->type != PIC_HICOLOR) return;
    const int w = std::min({int(mask->width), int(glow->width), SCREEN_WIDTH - MENU_AREA_X});
    const int h = std::min({int(mask->height), int(glow->height), SCREEN_HEIGHT - MENU_AREA_Y});
    const uint8_t* indexes = picture_pixels8(mask);
    const uint16_t* colours = picture_pixels16(glow);
    int top = h, bottom = -1;
    for (int y = 0; y < h; ++y) {
        uint16_t* row = frame_buffer + (MENU_AREA_Y + y) * SCREEN_PITCH + MENU_AREA_X;
        for (int x = 0; x < w; ++x) {
            if (indexes[y * mask->width + x] != item + 1) continue;
            row[x] = colours[y * glow->width + x];
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (bottom >= top) present_rect(MENU_AREA_X, MENU_AREA_Y + top, w, bottom - top + 1);
}

// The item under a screen point, by the mask; -1 for none.
int item_at(int x, int y) {
    const picture* mask = window_picture(H_MENU_MASK);
    if (!mask || mask->type != PIC_PAL8) return -1;
    x -= MENU_AREA_X;
    y -= MENU_AREA_Y;
    if (x < 0 || y < 0 || x >= mask->width || y >= mask->height) return -1;
    const int value = picture_pixels8(mask)[y * mask->width + x];
    return value >= 1 && value <= MENU_ITEM_COUNT ? value - 1 : -1;
}

void draw_menu_screen() {
    set_target(frame_buffer);
    clear_buffer(frame_buffer, 0);
    if (const picture* background = window_picture(H_MENU_BACKGROUND)) put_picture(0, 0, background);
    if (const picture* logo = window_picture(H_MENU_LOGO)) put_picture(LOGO_X, LOGO_Y, logo);
    const font_settings caller_font = current_font_settings();
    set_font(FONT_5X8, VERSION_COLOUR);
    set_aligned_position(SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1, ALIGN_END, ALIGN_END, MENU_VERSION_TEXT);
    draw_text(MENU_VERSION_TEXT);
    apply_font_settings(caller_font);
}

// ---- Running ----------------------------------------------------------------

struct menu_run {
    menu_glow glow;
    int cursor = -1;  // the keyboard's item, -1 before the first key
    int chosen = -1;
    bool running = false;
    bool done = false;  // the chosen item has faded out
};
menu_run menu;

void menu_timer(timer_node*) {
    const menu_tick_drawing drawing = menu_tick(menu.glow);
    if (drawing.logo_frame >= 0) draw_logo_frame(drawing.logo_frame);
    for (int i = 0; i < MENU_ITEM_COUNT; ++i)
        if (drawing.item_level[size_t(i)] >= 0) draw_item(i, drawing.item_level[size_t(i)]);
    // A pick waits until its item has faded out.
    if (menu.chosen >= 0 && menu.glow.glow[size_t(menu.chosen)] == 0) menu.done = true;
}

void pick(int item) {
    if (menu.chosen >= 0 || item < 0 || item >= MENU_ITEM_COUNT) return;
    menu.chosen = item;
    menu_point_at(menu.glow, -1);
    dispatch_event(EV_MENU_SELECT, item);
}

void menu_key(event_msg& msg, void**) {
    if (msg.number != EV_KEY || !menu.running) return;
    event_msg copy = msg;
    const uint16_t code = static_cast<uint16_t>(copy.next_int() & 0xFFFF);
    msg.number = EV_STOP;
    if (menu.chosen >= 0) return;
    const int scan = code >> 8;
    if (code == KEY_CLOSE_REQUEST) {
        pick(MENU_QUIT);
    } else if (scan == SCAN_UP || scan == SCAN_DOWN) {
        menu.cursor = std::clamp(menu.cursor + (scan == SCAN_UP ? -1 : 1), 0, MENU_ITEM_COUNT - 1);
        menu_point_at(menu.glow, menu.cursor);
    } else if (is_enter(code) || scan == SCAN_SPACE || (code & 0xFF) == ' ') {
        if (menu.cursor >= 0) pick(menu.cursor);
    } else {
        msg.number = EV_KEY;  // not the menu's: the keys of the whole game (a screenshot) still work
    }
}

void menu_mouse(event_msg& msg, void**) {
    if (msg.number != EV_MOUSE || !menu.running) return;
    event_msg copy = msg;
    const auto* mouse = copy.next_ptr<const mouse_record>();
    if (!mouse) mouse = &mouse_state;
    msg.number = EV_STOP;
    if (menu.chosen >= 0) return;
    const int item = item_at(mouse->x, mouse->y);
    menu_point_at(menu.glow, item);
    if (item >= 0) menu.cursor = item;
    if (mouse->events & MOUSE_EV_LEFT_DOWN) {
        for (int i = 0; i < MENU_ITEM_COUNT; ++i)
            if (menu.glow.direction[size_t(i)] > 0) pick(i);
    }
}

int reveal_step = 0;
bool revealed = false;

void reveal_timer(timer_node*) {
    ++reveal_step;
    const int middle = SCREEN_HEIGHT / 2;
    const int reach = reveal_step * REVEAL_STEP_ROWS;
    present_rect(0, middle - reach, SCREEN_WIDTH, REVEAL_STEP_ROWS);
    present_rect(0, middle + reach - REVEAL_STEP_ROWS, SCREEN_WIDTH, REVEAL_STEP_ROWS);
    if (reveal_step >= REVEAL_STEPS) revealed = true;
}

}  // namespace

menu_tick_drawing menu_tick(menu_glow& state) {
    menu_tick_drawing drawing;
    if (state.logo_tick % 3 == 0) {
        drawing.logo_frame = state.logo_tick / 3;
        for (size_t i = 0; i < MENU_ITEM_COUNT; ++i) {
            const int level = state.glow[i] + state.direction[i];
            if (level < 0 || level > MENU_GLOW_MAX) continue;  // at its limit: nothing changes
            state.glow[i] = level;
            drawing.item_level[i] = level;
        }
    }
    state.logo_tick = (state.logo_tick + 1) % LOGO_TICKS;
    return drawing;
}

void menu_point_at(menu_glow& state, int item) {
    for (int i = 0; i < MENU_ITEM_COUNT; ++i) state.direction[size_t(i)] = i == item ? 1 : -1;
}

picture* logo_frame_from_delta(const picture* reference, const picture* delta) {
    if (!reference || !delta || reference->type != PIC_PAL8 || delta->type != PIC_PAL8) return nullptr;
    const int w = delta->width, h = delta->height;
    auto* frame = static_cast<picture*>(game_alloc(size_t(picture_record_bytes(w, h, PIC_HICOLOR))));
    frame->width = delta->width;
    frame->height = delta->height;
    frame->type = PIC_HICOLOR;
    const uint16_t* palette = picture_palette(delta);
    const uint8_t* changes = picture_pixels8(delta);
    const uint8_t* base = picture_pixels8(reference);
    uint16_t* out = picture_pixels16(frame);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t under =
                x < reference->width && y < reference->height ? base[y * reference->width + x] : 0;
            out[y * w + x] = palette[changes[y * w + x] ^ under];
        }
    return frame;
}

bool run_until(const bool& done) {
    const bool in_task = !in_main_thread();
    while (!done) {
        if (in_task) {
            dispatch_event(EV_POLL);
            dispatch_event(EV_IDLE);
            if (done) break;
            task_pause();
            if (terminate_requested()) return false;
        } else {
            do_events();
        }
        if (stop_flag) return done;
    }
    return true;
}

bool reveal_screen() {
    reveal_step = 0;
    revealed = false;
    remove_timers(TIMER_REVEAL);
    add_timer(TIMER_REVEAL, 1, REVEAL_STEPS, reveal_timer);
    run_until(revealed);
    remove_timers(TIMER_REVEAL);
    if (reveal_step >= REVEAL_STEPS) return true;
    // Asked to stop before the end: what is left shows at once.
    present_rect(0, 0, 0, 0);
    return false;
}

int main_menu(bool resume) {
    define_menu_pictures();
    if (!resume) music_change(playlist_next());
    menu = {};
    draw_menu_screen();
    // The game asked to stop meanwhile (its window closed): that is the quit item.
    if (!reveal_screen()) return MENU_QUIT;

    menu.running = true;
    static const modal_keys no_window_keys{};
    const modal_keys* outer_keys = install_modal_keys(&no_window_keys);
    add_event_handler(EV_KEY, menu_key);
    add_event_handler(EV_MOUSE, menu_mouse);
    add_timer(TIMER_MENU, 1, TIMER_FOREVER, menu_timer);
    menu_point_at(menu.glow, item_at(mouse_state.x, mouse_state.y));
    run_until(menu.done);
    remove_timers(TIMER_MENU);
    remove_event_handler(EV_KEY, menu_key);
    remove_event_handler(EV_MOUSE, menu_mouse);
    restore_modal_keys(outer_keys);
    const int chosen = menu.chosen;
    menu = {};
    return chosen >= 0 ? chosen : MENU_QUIT;
}
