#include "base/paths.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/config.h"
#include "base/fatal.h"
#include "base/text_util.h"

std::array<std::string, PATH_GROUP_COUNT> path_table;
std::string root_folder = "./", default_map_setting, patch_file;
bool patch_mode = false;

namespace {
bool is_separator(char c) {
    return c == '/' || c == '\\';
}

std::string current_folder() {
    std::string buffer(256, '\0');
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return "/";
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

// Adventure files written on other systems name folders with "\"; both
// characters separate components here.
std::string make_absolute(std::string_view name) {
    std::string path(name);
    for (char& c : path)
        if (c == '\\') c = '/';
    if (!path.empty() && path[0] == '/') return path;
    std::string base = current_folder();
    if (path.empty()) return base;
    if (base.back() != '/') base += '/';
    return base + path;
}

bool path_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool is_folder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
}  // namespace

std::string build_path(std::string_view folder, std::string_view name) {
    if (!name.empty() && is_separator(name[0])) return std::string(name);
    if (folder.empty()) return std::string(name);
    std::string result(folder);
    if (name.empty()) return result;
    if (!is_separator(result.back())) result += '/';
    result += name;
    return result;
}

std::string resolve_path(std::string_view name) {
    std::string path = make_absolute(name);
    if (path_exists(path)) return path;
    size_t slash = path.rfind('/');
    std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    std::string wanted = path.substr(slash + 1);
    if (wanted.empty() || !is_folder(parent)) return path;
    std::string found;
    list_directory(parent, LIST_FILES | LIST_FOLDERS | LIST_NAME_ONLY, [&](const char* entry, int, int64_t) {
        if (!equal_ignoring_case(entry, wanted)) return 0;
        found = entry;
        return 1;
    });
    if (found.empty()) return path;
    return build_path(parent, found);
}

bool file_exists(std::string_view name) {
    return path_exists(resolve_path(name));
}

FILE* open_file(std::string_view name, const char* mode) {
    return std::fopen(resolve_path(name).c_str(), mode);
}

bool change_directory(std::string_view path) {
    return chdir(std::string(path).c_str()) == 0;
}

int list_directory(std::string_view folder, int flags, const list_callback& callback) {
    std::string base(folder.empty() ? "." : folder);
    DIR* dir = opendir(base.c_str());
    if (!dir) return 0;
    int result = 0;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        std::string full = build_path(base, name);
        struct stat st;
        if (stat(full.c_str(), &st) != 0) continue;
        int kind;
        if (name == "." || name == "..")
            kind = LIST_DOTS;
        else if (S_ISDIR(st.st_mode))
            kind = 2;
        else if (S_ISREG(st.st_mode))
            kind = 1;
        else
            continue;
        if (!(flags & kind)) continue;
        int64_t value = (flags & LIST_TIME) ? int64_t(st.st_mtime) : int64_t(st.st_size);
        result = callback((flags & LIST_NAME_ONLY) ? name.c_str() : full.c_str(), kind, value);
        if (result) break;
    }
    closedir(dir);
    return result;
}

const std::string& saved_games_root() {
    static const std::string root = [] {
        std::string base;
        const char* xdg = std::getenv("XDG_DATA_HOME");
        if (xdg && xdg[0] == '/') {
            base = xdg;
        } else {
            const char* home = std::getenv("HOME");
            if (!home || !*home) {
                const passwd* pw = getpwuid(getuid());
                home = pw ? pw->pw_dir : nullptr;
            }
            if (!home || !*home) {
                fatal_error("Failed to retrieve FOLDERID_SavedGames");
            }
            base = build_path(home, ".local/share");
        }
        return build_path(base, "Vorthan");
    }();
    return root;
}

void reset_folder_settings() {
    path_table = {};
    path_table[PATH_DATA] = "./";
    path_table[PATH_GRAPHICS] = "graphics";
    path_table[PATH_SOUNDS] = "sounds";
    path_table[PATH_FONTS] = "font";
    path_table[PATH_MAPS] = "maps";
    path_table[PATH_MUSIC] = "music";
    path_table[PATH_GUI] = build_path("graphics", "basic");
    path_table[PATH_ITEMS] = build_path("graphics", "items");
    path_table[PATH_ENEMIES] = build_path("graphics", "enemies");
    path_table[PATH_VIDEO] = "video";
    path_table[PATH_DIALOGS] = build_path("graphics", "dialogs");
    path_table[PATH_LANG] = "./lang";
    root_folder = "./";
    default_map_setting.clear();
    patch_file.clear();
    patch_mode = false;
}

std::string read_folder_settings(const ini_config* config) {
    reset_folder_settings();
    const ini_keys* paths = ini_section(config, "paths");
    auto read = [&](path_group group, const char* key) {
        path_table[group] = ini_get_string(paths, key, path_table[group].c_str());
    };
    root_folder = ini_get_string(paths, "root", "./");
    read(PATH_GUI, "gui");
    read(PATH_DIALOGS, "dialogs");
    read(PATH_ENEMIES, "enemies");
    read(PATH_FONTS, "fonts");
    read(PATH_GRAPHICS, "graphics");
    read(PATH_ITEMS, "items");
    read(PATH_MAPS, "maps");
    read(PATH_MUSIC, "music");
    read(PATH_SOUNDS, "sounds");
    read(PATH_VIDEO, "video");
    path_table[PATH_SAVEGAME] = ini_get_string(paths, "savegame", saved_games_root().c_str());
    read(PATH_DATA, "data");
    read(PATH_LANG, "lang");
    // The default map name has room for 19 characters.
    default_map_setting = std::string(ini_get_string(paths, "default_map", "")).substr(0, 19);
    patch_file = ini_get_string(paths, "patch_file", "");
    patch_mode = ini_get_bool(paths, "patch_mode", false);
    return root_folder;
}
