#include "base/config.h"
#include "base/paths.h"
#include "base/strings.h"

namespace {
std::optional<std::string> current_language;
}

void set_language_folder(const char* path) {
    if (path)
        current_language = path;
    else
        current_language.reset();
}

const std::string* language_folder() {
    return current_language ? &*current_language : nullptr;
}

std::optional<std::string> language_file(std::string_view name) {
    if (!current_language) return std::nullopt;
    std::string path = build_path(*current_language, name);
    if (!file_exists(path)) return std::nullopt;
    return resolve_path(path);
}

std::optional<language_table> open_language_table(std::string_view file_name) {
    if (!current_language) return std::nullopt;
    return read_csv_table(build_path(*current_language, replace_extension(file_name, ".csv")));
}

void override_from_language(string_list& list, std::string_view table_name, std::string_view prefix) {
    if (!current_language) return;
    std::string name(prefix);
    name += replace_extension(table_name, ".csv");
    auto table = read_csv_table(build_path(*current_language, name));
    if (!table) return;
    // Only entries the list already has are replaced; the list never grows.
    int count = string_list_count(list);
    for (const auto& [id, text] : *table)
        if (id >= 0 && id < count) list.entries[id] = text;
}

const char* language_text(const language_table* table, int id, const char* def) {
    if (!table) return def;
    auto it = table->find(id);
    return it == table->end() ? def : it->second.c_str();
}

int load_ui_strings(bool with_language) {
    ui_strings = string_list_create(4);
    int result = read_numbered_table(ui_strings, build_path(path_table[PATH_DATA], "POPISY.TXT"));
    if (result != TABLE_OK) return result;
    auto game_text = [](const char* utf8) { return *utf8_to_game_codepage(utf8); };
    auto place_if_empty = [&](int index, const char* utf8) {
        const char* current = string_list_get(ui_strings, index);
        if (!current || !*current) string_list_set(ui_strings, index, game_text(utf8).c_str());
    };
    place_if_empty(98, "Uložit hru jako");
    place_if_empty(99, "CRT Filter (>720p)");
    string_list_set(ui_strings, 144, game_text("Zrychlit souboje").c_str());
    string_list_set(ui_strings, 51, game_text("Celkově Hudba Efekty  Výšky  Basy Rychlost").c_str());
    string_list_set(ui_strings, 0,
                    game_text("Byl nalezen připojený ovladač\nPro aktivaci ovladače stiskněte kterékoliv "
                              "tlačítko na ovladači")
                        .c_str());
    if (with_language) override_from_language(ui_strings, "ui.csv");
    return TABLE_OK;
}
