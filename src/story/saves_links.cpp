#include "story/saves_links.h"

#include <algorithm>
#include <span>

#include "rules/battle/battle.h"
#include "rules/battle_desk/battle_desk.h"
#include "rules/floor/floor_items_game.h"
#include "saves/game_file.h"
#include "saves/game_save.h"
#include "sound/game_sound.h"
#include "story/book_window.h"
#include "story/dialog.h"
#include "story/game_choices.h"
#include "story/held_items.h"
#include "story/message_box.h"
#include "story/sound_settings.h"
#include "story/story_pictures.h"
#include "world/map_services.h"
#include "world/panel.h"
#include "world/rest.h"
#include "world/screen_effects.h"

namespace {

constexpr int TEXT_OK = 80;
// The game screen's place of the sign that the game was saved.
constexpr int SAVED_SIGN_PLACE = 4;
// The order a load sets the sound settings in (the head keeps 9, 8, 10, ...).
constexpr int SOUND_LOAD_ORDER[] = {8, 9, 10, 2, 3, 5, 4, 7};

class story_saves_world final : public saves_world {
  public:
    settings current_settings() const override {
        settings s;
        s.autosave = choices.autosave ? 1 : 0;
        s.group_order = choices.group_order ? 1 : 0;
        s.member_names = choices.member_names ? 1 : 0;
        s.auto_attack = choices.auto_attack ? 1 : 0;
        s.fast_battles = choices.battle_step_interval < NORMAL_BATTLE_STEP;
        s.travel = dialog.travel;
        for (size_t i = 0; i < GAME_FILE_SOUND_CODES.size(); ++i) {
            const int code = GAME_FILE_SOUND_CODES[i];
            s.sound[i] = uint8_t(std::clamp(sound_get_setting(code), 0, 255));
        }
        return s;
    }
    void apply_settings(const settings& loaded) override {
        choices.autosave = loaded.autosave != 0;
        choices.group_order = loaded.group_order != 0;
        choices.member_names = loaded.member_names != 0;
        choices.auto_attack = loaded.auto_attack != 0;
        choices.battle_step_interval = loaded.fast_battles ? FAST_BATTLE_STEP : NORMAL_BATTLE_STEP;
        dialog.travel = loaded.travel;
        for (int code : SOUND_LOAD_ORDER) {
            const auto at = std::find(GAME_FILE_SOUND_CODES.begin(), GAME_FILE_SOUND_CODES.end(), code);
            // Codes the mixer does not have are passed on and ignored there.
            sound_set_setting(code, loaded.sound[at - GAME_FILE_SOUND_CODES.begin()]);
        }
    }

    void save_dialog_state(std::vector<uint8_t>& out) override { dialog_save_state(out); }
    bool load_dialog_state(const uint8_t* data, size_t size, size_t& used) override {
        used = 0;
        return dialog_load_state(std::span<const uint8_t>(data, size), &used);
    }

    std::vector<int16_t> hand() const override { return held_items(); }
    void set_hand(const std::vector<int16_t>& items) override {
        held_items() = items;
        if (game_floor_world::cursor_changed) game_floor_world::cursor_changed();
    }

    std::vector<std::string> book_lines() const override { return ::book_lines(); }
    void set_book_lines(const std::vector<std::string>& lines) override { set_book(lines); }

    bool battle_running() const override { return battle.phase != BATTLE_OFF; }
    void end_battle() override { reset_battle(); }
    void stop_sounds() override { sound_stop_all(); }

    void save_failed(const std::string& message, bool autosave) override {
        if (autosave)
            show_panel_message(message);
        else
            message_box(0, 0, nullptr, message, {interface_text(TEXT_OK)});
    }
    void saved_sign() override { start_effect(SAVED_SIGN_PLACE); }
};

story_saves_world the_world;

// A battle's end and the party's sleep save only when the player chose so.
void autosave_when_chosen() {
    if (choices.autosave) autosave();
}

}  // namespace

void install_saves_links() {
    set_saves_world(&the_world);
    rest_services.autosave = autosave_when_chosen;
    desk_links.autosave = autosave_when_chosen;
    map_services.append_story = [](const std::string& text) { story_append(text); };
}
