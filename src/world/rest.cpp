#include "world/rest.h"

#include <string>

#include "base/strings.h"
#include "core/events.h"
#include "core/tasks.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "world/character_rules.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/movement.h"
#include "world/movement_rules.h"
#include "world/panel.h"
#include "world/party_roster.h"
#include "world/party_standin.h"

rest_state_t rest_state;
rest_services_table rest_services;

namespace {

// An hour is 360 ticks of rest; the monsters and the places act every 6.
constexpr int REST_TICKS_PER_HOUR = 360, REST_STEP_TICKS = 6;
// Ticks of the event loop each shown hour stays on the screen.
constexpr int HOUR_SHOWN_TICKS = 4;
// Where the hours are written over the black view.
constexpr int HOURS_FIRST_ROW = 120, HOURS_LAST_ROW = 140, HOURS_X = 320, HOURS_Y = 130;
constexpr int32_t HOURS_COLOUR = 0x7FE0;

bool interrupted = false;

bool sound_unchanged(bool) {
    return true;
}
void nothing() {}
void monsters_stay(bool) {}

// Any key wakes the party (the game screen's keys are off meanwhile).
void rest_key(event_msg& msg, void**) {
    if (msg.number == EV_KEY) interrupted = true;
}

// The text with its first "%d" replaced by the number; any other '%' stays as
// it is (the text comes from the adventure's files, not from us).
std::string with_number(const char* text, int number) {
    std::string out = text ? text : "";
    const size_t at = out.find("%d");
    if (at != std::string::npos) out.replace(at, 2, std::to_string(number));
    return out;
}

void show_hours(int hours) {
    set_target(frame_buffer);
    draw_colour = 0;
    fill_rect(0, HOURS_FIRST_ROW, SCREEN_WIDTH - 1, HOURS_LAST_ROW);
    const std::string text = with_number(string_list_get(ui_strings, TEXT_REST_HOURS), hours);
    if (screen_font(FONT_SADA16, HOURS_COLOUR)) {
        set_aligned_position(HOURS_X, HOURS_Y, ALIGN_CENTRE, ALIGN_CENTRE, text);
        draw_text(text);
    }
    // The party bar shows what the hour did to the members.
    panel_back_to_party(false);
    draw_screen_frame();
    present_rect(0, HOURS_FIRST_ROW, SCREEN_WIDTH, HOURS_LAST_ROW - HOURS_FIRST_ROW);
    present_rect(0, PANEL_FIRST_ROW, SCREEN_WIDTH, PANEL_ROWS);
}

// Waits while the hour is shown; a key cuts it short at the next tick.
void wait_hour_shown() {
    for (int i = 0; i < HOUR_SHOWN_TICKS && !interrupted; ++i)
        if (!task_wait_event(EV_TICK)) interrupted = true;  // the game is ending
}

// Every member rests one hour; true when any was disturbed.
bool members_rest_hour() {
    bool disturbed = false;
    const int slots = roster().slots();
    for (int slot = 0; slot < slots; ++slot) disturbed |= character_rules.rest_hour(slot);
    return disturbed;
}

bool members_rest_tick() {
    bool disturbed = false;
    const int slots = roster().slots();
    for (int slot = 0; slot < slots; ++slot) disturbed |= character_rules.rest_tick(slot);
    return disturbed;
}

void black_view() {
    set_target(frame_buffer);
    draw_colour = 0;
    fill_rect(0, VIEW_FIRST_ROW, SCREEN_WIDTH - 1, PANEL_FIRST_ROW - 2);
}

}  // namespace

void reset_rest_services() {
    rest_services.sound_enable = sound_unchanged;
    rest_services.stop_positional_sounds = nothing;
    rest_services.autosave = nothing;
    rest_services.monsters_rest_step = monsters_stay;
}

namespace {
// The defaults are in place from program start.
const bool defaults_ready = (reset_rest_services(), true);
}  // namespace

void start_rest() {
    if (map_services.in_battle()) return;
    if (current_map.header.map_class == MAP_CLASS_NO_REST) {
        show_panel_message(string_list_get(ui_strings, TEXT_NO_REST_HERE));
        return;
    }
    create_task([] { rest(); });
}

void rest() {
    if (character_rules.rest_allowance() <= 0) return;
    if (!movement_rules.run_hook(HOOK_BEFORE_REST, party.sector, party.direction)) return;

    const bool sound_was_on = rest_services.sound_enable(false);
    rest_services.stop_positional_sounds();
    rest_services.autosave();
    rest_state.resting = true;
    black_view();
    add_event_handler(EV_KEY, rest_key);
    present_rect(0, 0, 0, 0);
    stop_game_screen();
    // Cleared only now: the key that started the rest may still be on its way.
    interrupted = false;

    int hours_shown = 0;
    while (!interrupted && character_rules.rest_allowance() > 0) {
        const int allowance = character_rules.rest_allowance();
        if (allowance % REST_STEP_TICKS == 0) {
            const bool hour = allowance % REST_TICKS_PER_HOUR == 0;
            if (hour) {
                if (members_rest_hour()) interrupted = true;
                show_hours(hours_shown++);
                wait_hour_shown();
            }
            rest_services.monsters_rest_step(hour);
            sector_effects(WORLD_TICK_STRENGTH, false);
        }
        // A battle that began (a monster found the sleepers) ends the rest at once.
        if (map_services.in_battle()) break;
        if (members_rest_tick()) interrupted = true;
        dispatch_event(EV_STATE_CHANGED);
        character_rules.spend_rest_tick();
        // A timed hook that forbids going on wakes the party.
        if (!advance_game_time(1)) interrupted = true;
    }

    remove_event_handler(EV_KEY, rest_key);
    start_game_screen();
    refresh_panel();
    rest_state.resting = false;
    rest_services.sound_enable(sound_was_on);
    movement_rules.run_hook(HOOK_AFTER_REST, party.sector, party.direction);
}
