#pragma once
// The INI configuration file and the adventure file that redirects folders.
#include <map>
#include <memory>
#include <string>
#include <string_view>

struct string_list;

// One [section]: key -> value. Keys compare as plain bytes. The value texts
// stay where they are while the document lives (unless ini_set replaces them).
struct ini_keys {
    std::map<std::string, std::string, std::less<>> values;
};

struct ini_config {
    std::map<std::string, ini_keys, std::less<>> sections;  // "" = keys before the first header
};

// Null when the file cannot be opened.
std::unique_ptr<ini_config> ini_open(std::string_view path);
std::unique_ptr<ini_config> ini_parse(std::string_view text);
inline void ini_free(std::unique_ptr<ini_config>& doc) {
    doc.reset();
}

const ini_keys* ini_section(const ini_config* doc, std::string_view name);
ini_keys* ini_section_create(ini_config& doc, std::string_view name);
const char* ini_get(const ini_keys* section, std::string_view key);
const char* ini_get_string(const ini_keys* section, std::string_view key, const char* def);
int ini_get_int(const ini_keys* section, std::string_view key, int def);
bool ini_get_bool(const ini_keys* section, std::string_view key, bool def);
void ini_set(ini_keys* section, std::string_view key, std::string_view value);

// The configuration of the running game (null until the run path opened it);
// the display, controller and audio read their sections from it.
extern ini_config* game_config;

// Writes the recognised lines of an adventure file into section paths.
void merge_adventure_lines(ini_config& doc, const string_list& lines);
// The saved-games folder of an adventure: base joined with the adventure path
// as given, every character that is not a letter or digit replaced by "_".
std::string adventure_savegame_folder(std::string_view base, std::string_view adventure_path);
