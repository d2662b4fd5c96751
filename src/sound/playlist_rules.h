#pragma once
// Playlists: which piece of music comes next. A playlist text is an optional
// mode word (RANDOM, FORWARD or FIRST, any case) and file names split at
// single spaces.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum playlist_mode : int { PLAYLIST_RANDOM = 1, PLAYLIST_FORWARD = 2, PLAYLIST_FIRST = 3 };

constexpr char PLAYLIST_UNPLAYED = ' ';
constexpr char PLAYLIST_PLAYED = '!';
constexpr size_t PLAYLIST_NAME_LIMIT = 256;

struct playlist {
    playlist_mode mode = PLAYLIST_RANDOM;
    // Each entry is its marker (' ' or '!') followed by the file name.
    std::vector<std::string> entries;
    int unplayed = 0;
    int last_index = -1;
    // Pieces chosen in a row that gave no sound (missing, empty or
    // unreadable); a whole list of them ends the music instead of cycling on.
    int silent_picks = 0;
};

// The playlist a text describes, or none for a missing or empty text or one
// without names.
std::optional<playlist> parse_playlist(std::string_view text);

struct playlist_world {
    std::string music_folder;
    std::function<bool(const std::string& path)> file_exists;
    std::function<int(int n)> random;  // 0 to n - 1
};

// The full path of the next piece, or none: a missing file (tried again in a
// later round) and a list whose every piece came to nothing end the music.
std::optional<std::string> next_piece(playlist& list, const playlist_world& world);

// The controller tells the playlist that the piece it was given was heard, so
// that the next pieces may be chosen again.
void piece_heard(playlist& list);

// The music's one playlist, over the music folder and the game's random numbers.
void playlist_set(const char* text);
std::optional<std::string> playlist_next();
void playlist_heard();
void playlist_clear();
