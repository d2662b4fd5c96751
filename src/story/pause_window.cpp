#include "story/pause_window.h"

#include "core/events.h"
#include "core/handle_ids.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "story/game_window.h"
#include "story/modal_keys.h"
#include "story/sound_settings.h"
#include "story/story_pictures.h"
#include "ui/toolkit.h"

namespace {

// Text 5 is also the dexterity range of character generation; the pause
// window takes the free number after the four stat ranges.
constexpr int TEXT_PAUSED = 6;
constexpr uint16_t PAUSE_TEXT_COLOUR = 736;

bool any_key(uint16_t) {
    stop_flag = 1;
    return true;
}
const modal_keys pause_keys{any_key, nullptr};

}  // namespace

void pause_window() {
    const font_settings caller_font = current_font_settings();
    blend_rect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0);
    set_font(FONT_SADA16, PAUSE_TEXT_COLOUR);
    const char* text = interface_text(TEXT_PAUSED);
    const int t = text_width(text);
    ui_window* window = game_window_open(310 - t / 2, 100, t + 40, 40, H_IDESKA, 4, 20, 20);
    if (!window) {
        apply_font_settings(caller_font);
        present_rect(0, 0, 0, 0);
        return;
    }
    redraw_window();
    set_aligned_position(320, 115, ALIGN_CENTRE, ALIGN_CENTRE, text);
    draw_text(text);
    present_rect(0, 0, 0, 0);

    const int master = sound_get_setting(SOUND_MASTER);
    const modal_keys* outer_keys = install_modal_keys(&pause_keys);
    sound_set_setting(SOUND_MASTER, master / 2);
    main_loop();
    restore_modal_keys(outer_keys);
    sound_set_setting(SOUND_MASTER, master);
    close_window(window);
    apply_font_settings(caller_font);
}
