#include "story/options_window.h"

#include <algorithm>
#include <cstdint>

#include "base/config.h"
#include "core/clock.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "core/timers.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "story/game_choices.h"
#include "story/game_controls.h"
#include "story/modal_keys.h"
#include "story/settings_file.h"
#include "story/sound_settings.h"
#include "story/story_pictures.h"
#include "ui/toolkit.h"
#include "world/movement.h"

options_window_links options_links;

namespace {

// The switches' sliding timer (a shared timer id of the game).
constexpr int TIMER_SWITCH_SLIDE = 13;
constexpr int32_t LABEL_COLOURS = 98288;
constexpr int SCAN_F2 = 60, SCAN_F3 = 61, SCAN_F6 = 64;

struct slider_setting {
    int id, setting, maximum;
};
constexpr slider_setting sound_sliders[] = {
    {OPT_MASTER, SOUND_MASTER, 255}, {OPT_MUSIC, SOUND_MUSIC, 127}, {OPT_EFFECTS, SOUND_EFFECTS, 255},
    {OPT_TREBLE, SOUND_TREBLE, 255}, {OPT_BASS, SOUND_BASS, 255},
};

struct label_place {
    int x, y, text;
};
constexpr label_place labels[] = {
    {75, 275, 53},   {75, 305, 99},  {435, 65, 56},   {435, 95, 57},   {434, 125, 58},  {535, 65, 56},
    {535, 95, 57},   {535, 125, 58}, {434, 185, 140}, {434, 215, 141}, {434, 245, 142}, {434, 275, 143},
    {434, 305, 144}, {35, 235, 51},  {410, 40, 55},   {510, 40, 59},
};

constexpr int game_switch_ids[] = {OPT_MEMBER_NAMES, OPT_GROUP_ORDER, OPT_AUTO_ATTACK, OPT_AUTOSAVE,
                                   OPT_FAST_BATTLES};

ui_window* options = nullptr;

void draw_options_background(ui_window* window) {
    if (const picture* desk = window_picture(H_VOLBADES)) put_picture(window->x, window->y, desk);
}

uint8_t switch_value(int id) {
    const ui_object* object = find_object(0, id);
    return object && !object->value.empty() ? object->value[0] : 0;
}

void set_switch_bit(int id, bool on) {
    ui_object* object = find_object(0, id);
    if (object && !object->value.empty())
        object->value[0] = static_cast<uint8_t>((object->value[0] & ~1) | on);
}

void define_switch(int id, int x, int y, int w, bool on) {
    define_object(static_cast<uint16_t>(id), x, y, w, 20, ALIGN_TOP_LEFT, game_switch);
    // A new switch starts at phase 0, so one that is on slides into place.
    if (!last_object->value.empty()) last_object->value[0] = on;
}

// The group of a speed switch: its first id, or 0.
int speed_group_of(int id) {
    if (id >= OPT_TURN_SPEED_0 && id < OPT_TURN_SPEED_0 + 30) return OPT_TURN_SPEED_0;
    if (id >= OPT_WALK_SPEED_0 && id < OPT_WALK_SPEED_0 + 30) return OPT_WALK_SPEED_0;
    return 0;
}

void close_options() {
    stop_flag = 1;
}

// The action of every control: the change takes effect at once (the game
// switches only when the window closes).
void option_changed() {
    if (!focused_object || top_window != options) return;
    const int id = focused_object->id;
    if (id == OPT_SWAP_CHANNELS) {
        sound_set_setting(SOUND_SWAP, switch_value(id) & 1);
    } else if (id == OPT_CRT) {
        sound_set_setting(SOUND_CRT, switch_value(id) & 1);
    } else if (const int group = speed_group_of(id)) {
        for (int k = 0; k < 3; ++k) set_switch_bit(group + 10 * k, group + 10 * k == id);
        (group == OPT_TURN_SPEED_0 ? movement.turn_speed : movement.walk_speed) = (id - group) / 10;
    } else if (id == OPT_GAME_SPEED) {
        set_tick_length(game_speed_from_slider(get_object_value(0, id)));
    } else {
        for (const slider_setting& s : sound_sliders)
            if (s.id == id) sound_set_setting(s.setting, get_object_value(0, id));
    }
}

void slide_switches(timer_node*) {
    if (!options || top_window != options) return;
    for (int id = OPT_SWAP_CHANNELS; id <= OPT_FAST_BATTLES; id += 10) {
        ui_object* object = find_object(0, id);
        if (!object || object->value.empty()) continue;
        const uint8_t next = switch_slide_step(object->value[0]);
        if (next == object->value[0]) continue;
        object->value[0] = next;
        redraw_object(object);
    }
}

bool options_key(uint16_t code) {
    const int scan = code >> 8;
    if (is_escape(code) || scan == SCAN_F1) {
        stop_flag = 1;
        return true;
    }
    void (*screen)() = scan == SCAN_F2   ? options_links.save_screen
                       : scan == SCAN_F3 ? options_links.load_screen
                       : scan == SCAN_F6 ? options_links.book
                                         : nullptr;
    if (screen) screen();
    return scan == SCAN_F2 || scan == SCAN_F3 || scan == SCAN_F6;
}

const modal_keys option_keys{options_key, nullptr};

void define_controls() {
    define_switch(OPT_SWAP_CHANNELS, 50, 270, 190, sound_get_setting(SOUND_SWAP));
    set_action(option_changed);
    if (sound_has_setting(SOUND_CRT)) {
        define_switch(OPT_CRT, 50, 300, 190, sound_get_setting(SOUND_CRT));
        set_action(option_changed);
    }
    for (int k = 0; k < 3; ++k) {
        define_switch(OPT_TURN_SPEED_0 + 10 * k, 410, 60 + 30 * k, 90, movement.turn_speed == k);
        set_action(option_changed);
        define_switch(OPT_WALK_SPEED_0 + 10 * k, 510, 60 + 30 * k, 90, movement.walk_speed == k);
        set_action(option_changed);
    }
    const bool game_switches[] = {choices.member_names, choices.group_order, choices.auto_attack,
                                  choices.autosave, choices.battle_step_interval == FAST_BATTLE_STEP};
    for (int k = 0; k < 5; ++k) define_switch(game_switch_ids[k], 410, 180 + 30 * k, 190, game_switches[k]);
    for (int k = 0; k < 5; ++k) {
        const slider_setting& s = sound_sliders[k];
        if (!sound_has_setting(s.setting)) continue;
        define_object(static_cast<uint16_t>(s.id), 50 + 60 * k, 30, 30, 200, ALIGN_TOP_LEFT, game_slider,
                      static_cast<int32_t>(s.maximum));
        set_last_value(std::clamp(sound_get_setting(s.setting), 0, s.maximum));
        set_action(option_changed);
    }
    define_object(OPT_GAME_SPEED, 350, 30, 30, 200, ALIGN_TOP_LEFT, game_slider,
                  static_cast<int32_t>(SLOWEST_GAME_SPEED - 1));
    set_last_value(game_speed_slider_value(tick_length()));
    set_action(option_changed);
    define_object(OPT_CLOSE, 559, 336, 81, 21, ALIGN_TOP_LEFT, game_button, interface_text(174));
    set_object_props(nullptr, FONT_TINY, nullptr, -1);
    set_action(close_options);
    for (const label_place& l : labels)
        define_object(NO_OBJECT_ID, l.x, l.y - 1, text_width(interface_text(l.text)),
                      std::max(text_height(interface_text(l.text)), 1), ALIGN_TOP_LEFT, ui_label,
                      interface_text(l.text));
}

// The game switches take effect as the window closes.
void read_game_switches() {
    choices.member_names = switch_value(OPT_MEMBER_NAMES) & 1;
    choices.group_order = switch_value(OPT_GROUP_ORDER) & 1;
    choices.auto_attack = switch_value(OPT_AUTO_ATTACK) & 1;
    choices.autosave = switch_value(OPT_AUTOSAVE) & 1;
    choices.battle_step_interval =
        (switch_value(OPT_FAST_BATTLES) & 1) ? FAST_BATTLE_STEP : NORMAL_BATTLE_STEP;
}

}  // namespace

int game_speed_slider_value(int speed) {
    return speed > SLOWEST_GAME_SPEED ? 0 : std::clamp(SLOWEST_GAME_SPEED - speed, 0, SLOWEST_GAME_SPEED - 1);
}

int game_speed_from_slider(int value) {
    return SLOWEST_GAME_SPEED - std::clamp(value, 0, SLOWEST_GAME_SPEED - 1);
}

void options_window() {
    if (options) return;  // already open
    if (window_sound.keep_music_filled) window_sound.keep_music_filled();
    const font_settings caller_font = current_font_settings();
    ui_window* window = create_window(0, 17, 639, 359, 0, frame_style{});
    if (!window) return;
    open_window(window);
    window->draw = draw_options_background;
    options = window;
    set_font(FONT_SADA16, LABEL_COLOURS);
    define_controls();
    redraw_window();
    add_timer(TIMER_SWITCH_SLIDE, SWITCH_SLIDE_TICKS, TIMER_FOREVER, slide_switches);

    const modal_keys* outer_keys = install_modal_keys(&option_keys);
    main_loop();
    restore_modal_keys(outer_keys);

    read_game_switches();
    remove_timers(TIMER_SWITCH_SLIDE);
    close_window(window);
    options = nullptr;
    if (window_sound.keep_music_filled) window_sound.keep_music_filled();
    apply_font_settings(caller_font);
    save_settings(game_config);
}
