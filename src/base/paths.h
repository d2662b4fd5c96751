#pragma once
// Folders and file names: the folder table every part builds its paths from,
// and the small file-system layer that finds files whatever the case of their
// last name component.
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

enum path_group : uint8_t {
    PATH_DATA = 0,
    PATH_GRAPHICS = 1,
    PATH_SOUNDS = 2,
    PATH_FONTS = 3,
    PATH_MAPS = 4,
    PATH_MUSIC = 5,
    PATH_UNUSED6 = 6,
    PATH_GUI = 7,
    PATH_ITEMS = 8,
    PATH_ENEMIES = 9,
    PATH_VIDEO = 10,
    PATH_DIALOGS = 11,
    PATH_SAVEGAME = 12,
    PATH_UNUSED13 = 13,
    PATH_LANG = 14
};
constexpr int PATH_GROUP_COUNT = 15;
extern std::array<std::string, PATH_GROUP_COUNT> path_table;

// Joins folder and name; an absolute name replaces the folder.
std::string build_path(std::string_view folder, std::string_view name);
// The absolute path of name; when it does not exist but its folder does, the
// folder's first entry equal to the last component without regard to case.
std::string resolve_path(std::string_view name);
bool file_exists(std::string_view name);
FILE* open_file(std::string_view name, const char* mode);
bool change_directory(std::string_view path);

// list_directory flags and the kinds passed to the callback.
constexpr int LIST_FILES = 1;      // regular files, kind 1
constexpr int LIST_FOLDERS = 2;    // sub-folders other than "." and "..", kind 2
constexpr int LIST_DOTS = 4;       // "." and "..", kind 4
constexpr int LIST_NAME_ONLY = 8;  // the entry's name instead of its full path
constexpr int LIST_TIME = 16;      // last-write time (seconds since 1970) instead of size
using list_callback = std::function<int(const char* name, int kind, int64_t size_or_time)>;
// The first non-zero callback result stops the listing and is returned; 0
// when the listing ends or the folder cannot be opened.
int list_directory(std::string_view folder, int flags, const list_callback& callback);

// $XDG_DATA_HOME/Vorthan (default ~/.local/share/Vorthan); not created here.
const std::string& saved_games_root();

// Settings of the paths section.
extern std::string root_folder, default_map_setting, patch_file;  // default_map_setting empty = none
extern bool patch_mode;

struct ini_config;
// Reads the paths section into path_table and the settings above; returns the
// root folder, which the caller makes the current folder.
std::string read_folder_settings(const ini_config* config);
// Restores path_table and the settings to their built-in defaults (tests).
void reset_folder_settings();
