#include "story/game_windows.h"

#include "base/config.h"
#include "story/game_choices.h"
#include "story/inventory_screen.h"
#include "story/message_box.h"
#include "story/options_window.h"
#include "story/settings_file.h"
#include "story/sound_settings.h"
#include "world/game_screen.h"

void install_game_windows() {
    screen_windows.options = options_window;
    screen_windows.ask_leave = ask_leave_question;
    screen_windows.inventory = inventory_screen;
    // A run starts from the values a new game has, then takes the player's.
    reset_sound_settings();
    choices = game_choices{};
    load_settings(game_config);
}
