#include "story/dialog_game.h"

#include <optional>
#include <string>

#include "base/fatal.h"
#include "base/paths.h"
#include "base/strings.h"
#include "core/handles.h"
#include "core/timers.h"
#include "gfx/font.h"
#include "rules/party.h"
#include "story/dialog.h"
#include "story/book_window.h"
#include "story/dialog_animation.h"
#include "story/dialog_screen.h"
#include "world/game_sounds.h"
#include "world/map.h"
#include "world/map_services.h"
#include "world/movement.h"
#include "world/party_standin.h"

namespace {

constexpr const char* DIALOGS_FILE_NAME = "dialogy.dat";
constexpr long DIALOG_INSTRUCTIONS_WITHOUT_WAIT = 100000;

class game_dialog_world final : public dialog_world {
  public:
    // A dialog's sound is heard where the party stands.
    void play_sound(const std::string& file) override { play_sound_at(file.c_str(), party.sector); }
    std::string map_text(int number) override {
        const std::string* text = map_string(number);
        return text ? *text : std::string();
    }
    std::string ui_text(int number) override {
        const char* text = string_list_get(ui_strings, number);
        return text ? text : std::string();
    }
    std::string translate(uint32_t offset, const std::string& text) override {
        if (!translations_) return text;
        auto found = translations_->find(static_cast<int>(offset));
        return found == translations_->end() ? text : found->second;
    }
    std::vector<std::string> wrap(const std::string& text, int width) override {
        set_font(DIALOG_FONT, DIALOG_TEXT_COLOUR);
        return wrap_text(text, width).lines;
    }
    void log(const std::string& text) override { party_world_hooks().console_print(text.c_str()); }
    void fatal(const std::string& text) override { fatal_error("%s", text.c_str()); }
    void started() override { dialog_screen_started(); }
    void show() override { dialog_screen_show(); }
    void ended() override { dialog_screen_ended(); }
    void book_page(int paragraph) override { book_add_from_story(book_file(), paragraph); }
    void animate(const std::string& file, int ticks, int once) override {
        start_dialog_animation(file, ticks, once);
    }
    void stop_animation() override { stop_dialog_animation(); }
    // The party's rest runs on its own black view with the game screen, which
    // would take the dialog's screen away; sleeping from a dialog waits for a
    // rest that can run beside it, and until then no time passes.
    void sleep(int) override {}
    // A script that runs this long without waiting for the player loops: the
    // dialog ends rather than freezing the game.
    bool keep_going(long instructions) override { return instructions <= DIALOG_INSTRUCTIONS_WITHOUT_WAIT; }
    void open_shop(int shop) override {
        if (map_services.open_shop) map_services.open_shop(shop);
    }

    void set_translations(std::optional<language_table> table) { translations_ = std::move(table); }

  private:
    std::optional<language_table> translations_;
};

game_dialog_world the_world;

struct pending_start {
    int paragraph = 0;
    int monster = -1;
};
pending_start pending;

void start_when_still(timer_node*) {
    if (movement.moving || dialog.running) return;
    remove_timers(TIMER_DIALOG_START);
    dialog_start(pending.paragraph, pending.monster);
}

void map_dialog_command(int paragraph) {
    start_dialog_when_still(paragraph, -1);
}

}  // namespace

bool load_dialogs(std::span<const uint8_t> bytes) {
    dialog_file& dialogs = game_dialogs();
    dialogs = dialog_file{};
    if (bytes.empty()) return true;
    std::string error;
    if (!read_dialog_file(bytes, dialogs, &error)) {
        dialogs = dialog_file{};
        party_world_hooks().console_print((std::string(DIALOGS_FILE_NAME) + ": " + error + "\n").c_str());
        return false;
    }
    return true;
}

void install_dialogs() {
    if (resource_available(PATH_MAPS, DIALOGS_FILE_NAME)) {
        int32_t length = 0;
        void* data = load_file(DIALOGS_FILE_NAME, PATH_MAPS, &length);
        const auto* bytes = static_cast<const uint8_t*>(data);
        load_dialogs(std::span<const uint8_t>(bytes, data && length > 0 ? size_t(length) : 0));
        free_file_data(data);
    } else {
        load_dialogs({});
    }
    the_world.set_translations(open_language_table("dialogs.csv"));
    set_dialog_world(&the_world);
    map_services.start_dialog = map_dialog_command;
}

void start_dialog_when_still(int paragraph, int monster) {
    pending = {paragraph, monster};
    remove_timers(TIMER_DIALOG_START);
    add_timer(TIMER_DIALOG_START, 1, TIMER_FOREVER, start_when_still);
}
