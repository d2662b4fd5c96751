#include "story/game_windows.h"

#include "base/config.h"
#include "rules/floor/floor_items_game.h"
#include "rules/game_tables.h"
#include "story/book_window.h"
#include "story/game_choices.h"
#include "story/held_items.h"
#include "story/inventory_pictures.h"
#include "story/inventory_screen.h"
#include "story/message_box.h"
#include "story/options_window.h"
#include "story/settings_file.h"
#include "story/sound_settings.h"
#include "world/game_screen.h"

namespace {

// After a pick-up or a put-down on the game screen the cursor shows the hand.
void show_hand_cursor() {
    static file_inventory_pictures loaded(&game_item_files(), &game_icons());
    show_held_cursor(held_items(), game_items(),
                     inventory_setup.pictures ? inventory_setup.pictures : &loaded);
}

}  // namespace

void install_game_windows() {
    game_floor_world::cursor_changed = show_hand_cursor;
    screen_windows.options = options_window;
    screen_windows.ask_leave = ask_leave_question;
    screen_windows.inventory = inventory_screen;
    install_book();
    // A run starts from the values a new game has, then takes the player's.
    reset_sound_settings();
    choices = game_choices{};
    load_settings(game_config);
}
