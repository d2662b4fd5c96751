#pragma once
// Saved-game file names, the saved-games folder and the list of its saves.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Save times are stored as seconds since this moment, so that they fit 8 hex digits.
constexpr int64_t SAVE_TIME_EPOCH = 1700000000;

// "sav.<identity>.<save time>[-autosave]", both as 8 lower-case hex digits.
std::string saved_game_name(uint32_t identity, uint32_t save_time, bool autosave);

struct saved_game_name_parts {
    uint32_t identity = 0;
    uint32_t save_time = 0;
    bool autosave = false;
};
// Reads the identity and save time back from a name written by saved_game_name
// (and the older variants with fewer digits); nothing for other names.
std::optional<saved_game_name_parts> parse_saved_game_name(std::string_view name);

// The configured saved-games folder (the configuration's savegame path,
// by default $XDG_DATA_HOME/Vorthan).
const std::string& saved_games_folder();
// Creates the folder and its parents when missing; false when that fails.
bool create_saved_games_folder(const std::string& folder);

struct save_list_row {
    std::string name;
    bool autosave = false;
};

// The key saves are sorted by (descending, byte by byte): the text after the
// last dot; for an older "*.SAV" name "0000" and the name's last six characters.
std::string save_list_key(std::string_view name);

// The saves of a folder, newest first. With an identity only that game's saves;
// for the save screen autosaves are left out. Leftover temporary files of an
// interrupted save are never listed.
std::vector<save_list_row> build_save_list(const std::string& folder, uint32_t identity, bool for_saving);

// Removes the temporaries that saves cut short by a crash or a kill left in
// the folder ("sav.<...>.tmp<pid>" of a process that no longer runs); a
// temporary of a running process may still become a save and stays. Returns
// the count removed.
int remove_leftover_temporaries(const std::string& folder);
