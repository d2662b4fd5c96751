#include "base/config.h"

#include <strings.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "base/paths.h"
#include "base/strings.h"
#include "base/text_util.h"

ini_config* game_config = nullptr;

std::unique_ptr<ini_config> ini_parse(std::string_view text) {
    auto doc = std::make_unique<ini_config>();
    ini_keys* current = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = trim_blanks(line);
        if (line.empty() || line[0] == '#') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = ini_section_create(*doc, trim_blanks(line.substr(1, line.size() - 2)));
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        if (!current) current = ini_section_create(*doc, "");
        // The first value of a key wins.
        current->values.emplace(std::string(trim_blanks(line.substr(0, equals))),
                                std::string(trim_blanks(line.substr(equals + 1))));
    }
    return doc;
}

std::unique_ptr<ini_config> ini_open(std::string_view path) {
    FILE* file = open_file(path, "rb");
    if (!file) return nullptr;
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) return nullptr;
    return ini_parse(text);
}

const ini_keys* ini_section(const ini_config* doc, std::string_view name) {
    if (!doc) return nullptr;
    auto it = doc->sections.find(name);
    return it == doc->sections.end() ? nullptr : &it->second;
}

ini_keys* ini_section_create(ini_config& doc, std::string_view name) {
    auto it = doc.sections.find(name);
    if (it == doc.sections.end()) it = doc.sections.emplace(std::string(name), ini_keys{}).first;
    return &it->second;
}

const char* ini_get(const ini_keys* section, std::string_view key) {
    if (!section) return nullptr;
    auto it = section->values.find(key);
    return it == section->values.end() ? nullptr : it->second.c_str();
}

const char* ini_get_string(const ini_keys* section, std::string_view key, const char* def) {
    const char* value = ini_get(section, key);
    return value ? value : def;
}

int ini_get_int(const ini_keys* section, std::string_view key, int def) {
    const char* value = ini_get(section, key);
    if (!value) return def;
    if (!*value) return 0;
    char* end = nullptr;
    errno = 0;
    long long number = std::strtoll(value, &end, 10);
    if (*end || errno == ERANGE || number < INT32_MIN || number > INT32_MAX) return def;
    return static_cast<int>(number);
}

bool ini_get_bool(const ini_keys* section, std::string_view key, bool def) {
    const char* value = ini_get(section, key);
    if (!value) return def;
    for (const char* word : {"true", "1", "on", "yes"})
        if (!strcasecmp(value, word)) return true;
    for (const char* word : {"false", "0", "off", "no"})
        if (!strcasecmp(value, word)) return false;
    return def;
}

void ini_set(ini_keys* section, std::string_view key, std::string_view value) {
    if (!section) return;
    auto it = section->values.find(key);
    if (it == section->values.end())
        section->values.emplace(std::string(key), std::string(value));
    else
        it->second = value;
}

namespace {
struct adventure_keyword {
    const char* keyword;
    const char* key;
    bool resolve;
};
constexpr adventure_keyword adventure_keywords[] = {
    {"CESTA_GRAFIKA", "graphics", true},   {"CESTA_ZVUKY", "sounds", true},
    {"CESTA_FONTY", "fonts", true},        {"CESTA_MAPY", "maps", true},
    {"CESTA_MUSIC", "music_adv", true},    {"CESTA_BGRAFIKA", "gui", true},
    {"CESTA_ITEMY", "items", true},        {"CESTA_ENEMY", "enemy", true},
    {"CESTA_VIDEO", "video", true},        {"CESTA_DIALOGY", "dialogs", true},
    {"DEFAULT_MAP", "default_map", false}, {"PATCH_FILE", "patch_file", true},
};
}  // namespace

void merge_adventure_lines(ini_config& doc, const string_list& lines) {
    for (const auto& entry : lines.entries) {
        if (!entry) continue;
        std::string_view line = trim_right_space(*entry);
        size_t blank = line.find_first_of(" \t");
        if (line.empty() || blank == std::string_view::npos) continue;
        std::string keyword(line.substr(0, blank));
        std::string_view value = line.substr(blank + 1);
        if (!strcasecmp(keyword.c_str(), "PATCH")) {
            if (value == "1") ini_set(ini_section_create(doc, "paths"), "patch_mode", "1");
            continue;
        }
        for (const auto& k : adventure_keywords) {
            if (strcasecmp(keyword.c_str(), k.keyword)) continue;
            ini_set(ini_section_create(doc, "paths"), k.key,
                    k.resolve ? resolve_path(value) : std::string(value));
            break;
        }
    }
}

std::string adventure_savegame_folder(std::string_view base, std::string_view adventure_path) {
    std::string name;
    size_t pos = 0;
    while (pos < adventure_path.size()) {
        size_t start = pos;
        char32_t cp = next_code_point(adventure_path, pos);
        if (is_letter_or_digit(cp))
            name.append(adventure_path.substr(start, pos - start));
        else
            name += '_';
    }
    return build_path(base, name);
}
