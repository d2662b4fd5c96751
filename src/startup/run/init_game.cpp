// The start sequence of the game. Each step is one call; the order is a
// contract: later steps rely on the strings, the event tree, the display and
// the handles being ready.
#include <cstdlib>

#include "base/config.h"
#include "base/fatal.h"
#include "base/paths.h"
#include "base/strings.h"
#include "core/archive.h"
#include "core/decoders.h"
#include "core/events.h"
#include "core/events_cursor.h"
#include "core/handles.h"
#include "core/timers.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "monsters/monster_draw.h"
#include "monsters/monsters.h"
#include "platform/display.h"
#include "rules/battle/battle.h"
#include "rules/battle_desk/battle_desk.h"
#include "rules/binding/rest_rules.h"
#include "rules/binding/world_binding.h"
#include "rules/flight/flight.h"
#include "rules/floor/floor_items_game.h"
#include "rules/game_tables.h"
#include "rules/item_pictures.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/rune_panel/rune_panel.h"
#include "rules/spells/spells.h"
#include "saves/temp_store.h"
#include "sound/sound_system.h"
#include "startup/run/archive_policy.h"
#include "startup/run/fixed_handles.h"
#include "startup/run/game_main.h"
#include "story/book_window.h"
#include "story/dialog_game.h"
#include "story/game_sound_links.h"
#include "story/game_windows.h"
#include "story/member_figures.h"
#include "story/save_screens.h"
#include "story/saves_links.h"
#include "story/shop_open.h"
#include "story/special_procedures.h"
#include "ui/toolkit.h"
#include "world/panel.h"
#include "world/screenshot.h"
#include "world/view.h"

bool init_ui_strings(bool with_language) {
    int result = load_ui_strings(with_language);
    if (result == TABLE_OK) return true;
    // With the fatal hook installed display_error does not return; the
    // display is closed before the message is shown (see run_game).
    switch (result) {
        case TABLE_NO_MEMORY:
            display_error("Memory very low (need min 4MB)\n");
            break;
        case TABLE_NO_END_MARK:
            display_error("Missing end mark (-1) at the end of string table\n");
            break;
        case TABLE_NOT_FOUND:
            display_error("Can't load string table. File %s has not been found\n",
                          build_path(path_table[PATH_DATA], "POPISY.TXT").c_str());
            break;
        default:
            display_error("Error in string table at line %d\n", result);
            break;
    }
    return false;
}

namespace {
// The rune panel composes from the game's spell book and casts through the spells.
class game_rune_spells final : public rune_spells {
  public:
    const spell_def* spell(int number) override { return game_spells().find(number); }
    int can_cast(int slot, int number) override {
        return slot >= 0 && slot < PARTY_SLOTS ? ::can_cast(party_members[slot], number) : 1;
    }
    void cast(int spell_and_target, int caster_slot) override { cast_spell(spell_and_target, caster_slot); }
};
game_rune_spells rune_panel_spells;
// What the process gives back at exit, in this order: the audio device
// paused and its channels ended (they may still read samples the handles
// hold), the handles with their data and the archives, the interface texts,
// the timer list. (Achievements and the temporary store join in here as
// they arrive.)
void exit_cleanup() {
    sound_stop_output();
    sound_system().stop_everything();
    free_all_handles();
    string_list_free(ui_strings);
    clear_timers();
}

void register_exit_cleanup() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    std::atexit(exit_cleanup);
}
}  // namespace

void init_game() {
    // 1. The interface texts, with their translation.
    if (!init_ui_strings(true)) std::exit(1);

    // 2. Clear the timer list.
    clear_timers();
    // 3. The basic poll handlers: keyboard reader, start-up clock, task scheduler.
    install_poll_handlers();
    // 4. The achievements client.
    // 5. The display, from the video section, titled "Vorthan". A failure
    //    raises the display's start-up error, which main shows.
    display_open(load_video_settings(game_config), "Vorthan");
    clear_buffer(frame_buffer, 0);
    // 6. present_rect as the screen-update function (with the keyboard, mouse
    //    and cursor hooks of the display).
    install_display_hooks();
    // 7. The window icon.
    display().set_window_icon(window_icon_bmp(), window_icon_size());
    // 8. The controller section.
    display().set_controller_settings(load_controller_settings(game_config));
    // 9. The view renderer's tables.
    init_view_tables();
    // 10. The process-exit clean-up.
    register_exit_cleanup();
    // 11. Archives and the fixed handles.
    open_archives();
    register_picture_decoders();
    register_panel_decoder();
    define_fixed_handles();
    // 12. The loading picture (a missing one is simply not shown).
    if (resource_available(PATH_GUI, "LOADING.HI")) {
        int32_t loading_length = 0;
        void* loading = load_file("LOADING.HI", PATH_GUI, &loading_length);
        draw_stored_picture(loading, loading_length, 0, 0);
        free_file_data(loading);
        present_rect(0, 0, 0, 0);
    }
    // 13. The book text file.
    set_book_file(choose_book_file(language_folder(), path_table[PATH_MAPS]));
    // 14. The window toolkit.
    install_toolkit();
    // 15. The controller prompt, when a controller is connected.
    if (display().controller_connected()) controller_prompt();
    // 16. Event-tree registrations of the running game (with the screenshot key).
    install_game_clock();
    add_event_handler(EV_KEY, screenshot_key_handler);
    // 17. Timer 1: the music feed (with the rest of the game's sound: the
    //     WAV decoder, the map's sounds, the party's and the monsters').
    install_game_sound();
    // 18. The root desktop window.
    open_base_window();
    // The game's own windows (F1, Esc) and the player's settings they change.
    install_game_windows();
    // 19. The audio device (a device that cannot open leaves the game silent).
    sound_init(game_config);
    sound_start_output();
    // 20. The mouse reader and cursor.
    add_event_handler(EV_POLL, mouse_reader);
    reset_cursor();  // hidden once, nothing chosen: a new display has no cursor yet
    set_mouse_cursor(DEFAULT_CURSOR);
    force_show_cursor();
    // 21. The provider of the next music track: the playlist, set by
    //     install_game_sound above.
    // 22. Spell, item and shop tables; the character definitions; the party's
    //     rules bound into the world.
    load_item_tables();
    load_characters();
    install_rules_into_world();
    install_temp_store_for_maps();  // map state files live in the saved-game store
    // What the map state files keep beyond the world's own records.
    install_monster_map_state();
    install_flight_map_state();
    install_monster_paths_map_state();
    install_rest_rules();
    register_item_pictures(game_item_files());
    install_floor_items();
    // The monsters: placed when a map is loaded, walking, watching and
    // engaging, fighting, and drawn in the view's cells.
    install_monster_table();
    install_monster_ai();
    install_monster_fight();
    install_flight();
    install_battle();  // the rounds: the monster timer and look go through them
    install_battle_desk();
    install_monster_drawing();
    // The spell book and everything that casts.
    install_spells();
    set_rune_spells(&rune_panel_spells);
    // The monsters' and walls' special procedures, and the alarm.
    install_special_procedures();
    // The dialogs: dialogy.dat, their screen and the map's dialog command.
    install_dialogs();
    // The members standing apart from the party, seen in the view.
    install_member_figures();
    install_shops();  // the shop tables, restocked at every map entry
    install_save_screens();  // F2, F3 and F5, and the options window's F2 and F3
    // Saving and loading: the options, sounds, dialogs and hand they keep,
    // the autosaves of a battle's end and of resting, the story log.
    install_saves_links();
    // 23. The pending-action record.
}
