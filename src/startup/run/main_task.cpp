#include "startup/run/main_task.h"

#include "core/events.h"
#include "core/events_cursor.h"
#include "core/handle_ids.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "platform/display.h"
#include "rules/binding/world_binding.h"
#include "rules/flight/flight.h"
#include "rules/party.h"
#include "rules/spells/specials.h"
#include "rules/spells/spells.h"
#include "saves/game_save.h"
#include "saves/save_list.h"
#include "startup/run/game_main.h"
#include "startup/run/intro.h"
#include "story/book_window.h"
#include "story/credits.h"
#include "story/game_choices.h"
#include "story/main_menu.h"
#include "story/save_screens.h"
#include "story/story_pictures.h"
#include "sound/music_controller.h"
#include "sound/playlist_rules.h"
#include "world/game_screen.h"
#include "world/game_sounds.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_scripts.h"
#include "world/movement.h"
#include "world/party_standin.h"
#include "world/view_animation.h"

std::string next_map_name;

namespace {

constexpr int UI_INTRO_VIDEO = 7;  // the interface text naming the intro video
constexpr int UI_TITLE_MUSIC = 1;  // the interface text holding the menu's playlist
constexpr int GAME_WON = 255;      // the game loop's result when the game has been won
constexpr int LOAD_DESK_Y = 378;

// A map change asked by the map's rules: EV_CHANGE_MAP with a pointer to a
// map_change_request (map name, sector, direction). The request is kept and
// carried out from the main loop's idle event once no step or turn is under
// way: the game screen is left and the loop loads that map. Carrying it out at
// once would replace the map under the step whose script asked for it, and
// the step would go on with sector numbers of the old map.
int requested_sector = 0;
int requested_direction = 0;
bool change_pending = false;
std::string pending_name;
int pending_sector = 0;
int pending_direction = 0;

void change_map_handler(event_msg& msg, void**) {
    if (msg.number != EV_CHANGE_MAP) return;
    const auto* request = msg.next_ptr<const map_change_request>();
    if (!request || !request->name || !request->name[0]) return;
    pending_name = std::string(request->name).substr(0, 12);
    pending_sector = request->sector;
    pending_direction = request->direction & 3;
    change_pending = true;
}

void carry_out_map_change(event_msg& msg, void**) {
    if (msg.number != EV_IDLE || !change_pending || movement.moving) return;
    change_pending = false;
    next_map_name = pending_name;
    requested_sector = pending_sector;
    requested_direction = pending_direction;
    dispatch_event(EV_GAME_RESULT, 0);
}

}  // namespace

void run_maps(bool continuing) {
    install_map_rules();
    add_event_handler(EV_CHANGE_MAP, change_map_handler);
    add_event_handler(EV_IDLE, carry_out_map_change);
    change_pending = false;
    bool fresh = !continuing;
    // A loaded game's own map is entered as it was saved: no autosave.
    bool entering_loaded_game = continuing;
    int result = load_map(next_map_name);
    while (!next_map_name.empty()) {
        if (result != MAP_OK) {
            display_close();
            report_map_load_error(result, next_map_name);
        }
        const bool keep_place = continuing && party.sector > 0 && party.sector < current_map.sector_count;
        const map_position place = keep_place
                                       ? map_position{party.sector, party.direction}
                                       : map_entry_position(fresh, requested_sector, requested_direction);
        party_enters_map();
        place_party(place.sector, place.direction);
        regroup();
        mark_party_sectors();
        send_map_start();
        sounds_follow_party();  // the map's sounds as heard from the entry place
        // Entering another map writes an autosave; not the first map of a
        // new game, nor the map a loaded game asked for.
        if (!fresh && !entering_loaded_game && choices.autosave) autosave();
        next_map_name.clear();
        requested_sector = 0;
        fresh = false;
        continuing = false;

        const int game_result = run_game_screen();
        stop_view_animation();  // an animation over the view ends with the map
        if (game_result == GAME_WON) {
            end_sequence();
            next_map_name.clear();
        }
        // A change still waiting when the screen ended otherwise (Esc) is dropped.
        change_pending = false;

        party_leaves_map();
        land_all();  // what is in the air lands before the map's state is stored
        spell_detail::clear_spell_waves();  // a wave under way ends at the map's edge
        unload_map(party.sector);
        if (!next_map_name.empty()) result = load_map(next_map_name);
        // The hooks name sides of the map that installed them; a loaded
        // game's hooks are those of the map it asked for.
        entering_loaded_game = take_loaded_global_events();
        if (!entering_loaded_game) clear_global_hooks();
    }
    remove_event_handler(EV_CHANGE_MAP, change_map_handler);
    remove_event_handler(EV_IDLE, carry_out_map_change);
}

void start_new_game() {
    next_map_name = default_map_name.substr(0, 12);
    reset_game_state();
    new_game_saves();
    new_book();  // a second new game of the same run starts with an empty book
    clear_effects();
    spell_detail::clear_spell_waves();
    new_standin_party(0, 0);
    new_party_from_definitions();
    run_maps(false);
}

namespace {

// Character generation comes in here: true once the party is complete. Until
// it exists a new game starts with the stand-in party of start_new_game.
bool create_party() {
    return true;
}

void new_game_from_menu() {
    if (!create_party()) return;
    for (int id = FIRST_RUNTIME_HANDLE; id < FIRST_RUNTIME_HANDLE + 255; ++id) undefine_handle(handle_id(id));
    start_new_game();
}

// The load screen over the desk, as the game shows it from the menu. True
// when a game was loaded and played.
bool load_from_menu() {
    set_target(frame_buffer);
    clear_buffer(frame_buffer, 0);
    if (const picture* desk = window_picture(H_DESK)) put_picture(0, LOAD_DESK_Y, desk);
    present_rect(0, 0, 0, 0);
    load_screen();
    // With no map loaded, a load leaves the map it names for the game loop.
    if (!leaving_map_for_loaded_game()) return false;
    for (int id = FIRST_RUNTIME_HANDLE; id < FIRST_RUNTIME_HANDLE + 255; ++id) undefine_handle(handle_id(id));
    const loaded_game_place& place = loaded_place();
    next_map_name = place.map.substr(0, 12);
    party.sector = place.sector;
    party.direction = place.direction;
    run_maps(true);
    return true;
}

void clear_screen() {
    clear_buffer(frame_buffer, 0);
    present_rect(0, 0, 0, 0);
}

// The menu until a game has been played or the player quits.
void menu_loop() {
    playlist_set(interface_text(UI_TITLE_MUSIC));
    music_stop();
    show_cursor();
    present_rect(0, 0, 0, 0);
    bool resume = false;
    for (;;) {
        const int item = main_menu(resume);
        resume = true;
        switch (item) {
            case MENU_NEW_GAME:
                new_game_from_menu();
                return;
            case MENU_LOAD:
                if (load_from_menu()) return;
                break;
            case MENU_INTRO:
                clear_screen();
                hide_cursor();
                play_intro(UI_INTRO_VIDEO);
                show_cursor();
                resume = false;
                break;
            case MENU_CREDITS:
                credits_run("TITULKY.TXT", true);
                break;
            default:
                return;
        }
    }
}

}  // namespace

void main_task(void* arg) {
    const auto* options = static_cast<const main_task_options*>(arg);
    const std::optional<bool> intro = options ? options->intro : std::nullopt;
    const bool with_menu = options ? options->menu.value_or(true) : true;
    if (intro.value_or(first_start(saved_games_folder()))) {
        hide_cursor();
        play_intro(UI_INTRO_VIDEO);
        show_cursor();
    }
    if (with_menu)
        menu_loop();
    else
        start_new_game();
    stop_flag = 1;
}
