#include "story/game_windows.h"

#include "base/config.h"
#include "story/message_box.h"
#include "story/options_window.h"
#include "story/settings_file.h"
#include "world/game_screen.h"

void install_game_windows() {
    screen_windows.options = options_window;
    screen_windows.ask_leave = ask_leave_question;
    load_settings(game_config);
}
