#include "saves/save_list.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "base/paths.h"

namespace {

bool ascii_iequal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool parse_hex(std::string_view text, uint32_t& value) {
    if (text.empty() || text.size() > 8) return false;
    value = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        value = value * 16 + uint32_t(d);
    }
    return true;
}

// The atomic writer's temporary next to a save: "<save name>.tmp<pid>".
bool is_leftover_temporary(std::string_view name) {
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string_view ext = name.substr(dot + 1);
    if (ext.size() < 3 || !ascii_iequal(ext.substr(0, 3), "tmp")) return false;
    return std::all_of(ext.begin() + 3, ext.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string saved_game_name(uint32_t identity, uint32_t save_time, bool autosave) {
    char name[64];
    std::snprintf(name, sizeof name, "sav.%08lx.%08lx%s", static_cast<unsigned long>(identity),
                  static_cast<unsigned long>(save_time), autosave ? "-autosave" : "");
    return name;
}

std::optional<saved_game_name_parts> parse_saved_game_name(std::string_view name) {
    if (name.size() < 4 || !ascii_iequal(name.substr(0, 4), "sav.")) return std::nullopt;
    name.remove_prefix(4);
    size_t dot = name.find('.');
    if (dot == std::string_view::npos) return std::nullopt;
    saved_game_name_parts parts;
    if (!parse_hex(name.substr(0, dot), parts.identity)) return std::nullopt;
    std::string_view rest = name.substr(dot + 1);
    if (rest.ends_with("-autosave")) {
        parts.autosave = true;
        rest.remove_suffix(9);
    } else if (rest.find('-') != std::string_view::npos) {
        return std::nullopt;
    }
    if (!parse_hex(rest, parts.save_time)) return std::nullopt;
    return parts;
}

const std::string& saved_games_folder() {
    return path_table[PATH_SAVEGAME];
}

bool create_saved_games_folder(const std::string& folder) {
    if (folder.empty()) return false;
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !create_saved_games_folder(folder.substr(0, slash)))
        return false;
    if (::mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST)
        return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    return false;
}

std::string save_list_key(std::string_view name) {
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::string(name);
    std::string_view ext = name.substr(dot + 1);
    if (!ascii_iequal(ext, "SAV")) return std::string(ext);
    size_t start = dot >= 2 ? dot - 2 : 0;  // the base name's last two characters
    return "0000" + std::string(name.substr(start));
}

std::vector<save_list_row> build_save_list(const std::string& folder, uint32_t identity, bool for_saving) {
    std::string prefix = identity ? saved_game_name(identity, 0, false).substr(0, 13) : std::string();
    std::vector<save_list_row> rows;
    list_directory(folder, LIST_FILES | LIST_NAME_ONLY, [&](const char* entry, int, int64_t) {
        std::string_view name(entry);
        bool sav_prefix = name.size() >= 4 && ascii_iequal(name.substr(0, 4), "sav.");
        bool sav_suffix = name.size() >= 4 && ascii_iequal(name.substr(name.size() - 4), ".sav");
        if (!sav_prefix && !sav_suffix) return 0;
        if (is_leftover_temporary(name)) return 0;
        if (!prefix.empty() &&
            !(name.size() >= prefix.size() && ascii_iequal(name.substr(0, prefix.size()), prefix)))
            return 0;
        bool autosave = name.find("-autosave") != std::string_view::npos;
        if (for_saving && autosave) return 0;
        rows.push_back({std::string(name), autosave});
        return 0;
    });
    std::sort(rows.begin(), rows.end(), [](const save_list_row& a, const save_list_row& b) {
        std::string ka = save_list_key(a.name), kb = save_list_key(b.name);
        if (ka != kb) return ka > kb;
        return a.name < b.name;
    });
    return rows;
}

int remove_leftover_temporaries(const std::string& folder) {
    std::vector<std::string> dead;
    list_directory(folder, LIST_FILES | LIST_NAME_ONLY, [&](const char* entry, int, int64_t) {
        std::string_view name(entry);
        if (name.size() < 4 || !ascii_iequal(name.substr(0, 4), "sav.") || !is_leftover_temporary(name))
            return 0;
        std::string digits(name.substr(name.rfind('.') + 4));
        if (digits.empty() || digits.size() > 9) return 0;
        pid_t owner = static_cast<pid_t>(std::atol(digits.c_str()));
        if (owner > 0 && ::kill(owner, 0) != 0 && errno == ESRCH) dead.emplace_back(name);
        return 0;
    });
    int removed = 0;
    for (const std::string& name : dead)
        if (std::remove((folder + "/" + name).c_str()) == 0) ++removed;
    return removed;
}
