#pragma once
// Saving and loading the running game. A save puts the current map's state,
// the game file and the global entries into the store and writes the whole
// store behind a description; a load reads a file into a new store, restores
// the game from it and only then makes it the game's store.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a save or a load needs from the parts of the game above this library
// (the windows, the dialogs, the options window's switches, the sound
// settings, the book, the main loop). Each default stands for a part that is
// not there: nothing is shown, the dialog state and the book are empty, the
// switches keep their values.
class saves_world {
  public:
    virtual ~saves_world() = default;

    // The switches and settings the game file keeps in its head (their
    // values as the game file stores them; see game_file.h).
    struct settings {
        uint8_t autosave = 1;      // options switch 120
        uint8_t group_order = 0;   // switch 100
        uint8_t member_names = 0;  // switch 90
        uint8_t auto_attack = 0;   // switch 110
        bool fast_battles = false; // switch 130
        bool travel = false;       // the automap travel switch set by dialogs
        // Sound settings 9, 8, 10, 2, 3, 5, 4 and 7, in the head's order.
        uint8_t sound[8] = {};
    };
    virtual settings current_settings() const { return {}; }
    virtual void apply_settings(const settings& /*loaded*/) {}

    // The dialog state block (paragraph count, marks, story flags); load is
    // told the bytes from the block's start and returns the bytes it used, or
    // false when the block is cut short.
    virtual void save_dialog_state(std::vector<uint8_t>& /*out*/) {}
    virtual bool load_dialog_state(const uint8_t* /*data*/, size_t /*size*/, size_t& used) {
        used = 0;
        return true;
    }

    // The items in the mouse hand, without the closing 0.
    virtual std::vector<int16_t> hand() const { return {}; }
    virtual void set_hand(const std::vector<int16_t>& /*items*/) {}

    // The party's book as lines (kept in "_BOOK.TMP").
    virtual std::vector<std::string> book_lines() const { return {}; }
    virtual void set_book_lines(const std::vector<std::string>& /*lines*/) {}

    virtual bool battle_running() const { return false; }
    virtual void end_battle() {}

    // "Failed to create savegame at path %s" in a message window (a manual
    // save), or a line in the bottom panel (an autosave).
    virtual void save_failed(const std::string& /*message*/, bool /*autosave*/) {}
    // The game screen's sign that the game was saved.
    virtual void saved_sign() {}
    // The sounds around the party end before a game is saved or loaded.
    virtual void stop_sounds() {}
};
// Null restores the default.
void set_saves_world(saves_world* world);
saves_world& saves_hooks();

// The game's identity: 0 until the first save of a new game or the first load.
uint32_t game_identity();
void set_game_identity(uint32_t identity);

// Play time in whole seconds: the time loaded with the game plus the running
// clock since then.
uint32_t play_time_seconds();

// A new game: the store emptied, the identity 0, the play time counted from now.
void new_game_saves();

// Writes a saved game named for the identity and save time (seconds since
// SAVE_TIME_EPOCH). 0 on success; on failure the message is shown through the
// saves world and an older file of the same name is left as it was.
int save_game(uint32_t save_time, std::string_view description, bool autosave);
// The calendar time as a save time.
uint32_t save_time_now();
// "<map name> hh:mm" with the play time, or the map's name alone under a minute.
std::string autosave_description();
// Writes an autosave; the game's older autosaves are deleted after it is on
// disk, unless a member lies dead on this map. 0 on success.
int autosave();
// Loads a saved game of the saved-games folder by file name. 0 on success;
// otherwise the game and its store are as they were.
int load_game(const std::string& file_name);

// Where a load left the party: the map the game was saved on, its sector and
// direction. When that map is not the loaded one the load asks the game loop
// for it; with no game loop running the caller loads it from here.
struct loaded_game_place {
    std::string map;
    int sector = 0;
    int direction = 0;
};
const loaded_game_place& loaded_place();

// A load that asked for another map: until that map is loaded, the map being
// left writes nothing into the store (the loaded store has its own entries),
// and the global events loaded with the game outlive that one map change.
void leave_map_for_loaded_game();
bool leaving_map_for_loaded_game();
// The game loop asks after loading the next map: true once after such a load,
// when the global events must not be cleared.
bool take_loaded_global_events();
// True while the map a load asked for is being loaded (until the game loop
// takes the global events): entering it is no visit of its own, so nothing
// that counts map entries (the shops' restocking) counts it.
bool loading_map_for_loaded_game();

// The store's global entries.
constexpr const char* STORY_ENTRY_NAME = "_STORY.TMP";
constexpr const char* BOOK_ENTRY_NAME = "_BOOK.TMP";
constexpr const char* GLOBAL_EVENTS_ENTRY_NAME = "_GLOBEV.TMP";
constexpr const char* PLAY_TIME_ENTRY_NAME = "playtime";
// What the running spell effects keep beyond the game file's effects block.
constexpr const char* EFFECT_EXTRAS_ENTRY_NAME = "_SPELLX.TMP";

// Appends a text and a line feed to the story log ("_STORY.TMP").
void story_append(std::string_view text);
// The story log of a store entry's bytes, split into its lines.
std::vector<std::string> story_lines(const std::vector<uint8_t>& story);
