// The -s export: every string table of the adventure as CSV, for translators.
// Each step must succeed for the next to run.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "base/file_write.h"
#include "base/paths.h"
#include "base/strings.h"
#include "base/text_util.h"
#include "rules/items_file.h"
#include "rules/items_load.h"
#include "startup/run/game_main.h"
#include "world/map.h"

namespace {
bool create_directory(const std::string& directory) {
    std::error_code ec;
    std::filesystem::create_directories(directory, ec);
    if (ec || !std::filesystem::is_directory(directory)) {
        std::fprintf(stderr, "Failed to create directory %s\n", directory.c_str());
        return false;
    }
    return true;
}

// The map files of the maps folder (".map" in any case), sorted by name.
std::vector<std::string> map_files() {
    std::vector<std::string> names;
    list_directory(path_table[PATH_MAPS], LIST_FILES | LIST_NAME_ONLY, [&](const char* name, int, int64_t) {
        std::string_view n = name;
        if (n.size() > 4 && equal_ignoring_case(n.substr(n.size() - 4), ".map")) names.emplace_back(n);
        return 0;
    });
    std::sort(names.begin(), names.end());
    return names;
}

// Finds the words in this order inside the text, without regard to case.
bool has_words_in_order(std::string_view text, std::initializer_list<std::string_view> words) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    size_t from = 0;
    for (std::string_view word : words) {
        size_t at = upper.find(word, from);
        if (at == std::string::npos) return false;
        from = at + word.size();
    }
    return true;
}

// Each map's own texts, without its music (entry 0) and the map editor's
// note (the first entry that says so).
bool export_map_strings(const std::string& directory) {
    for (const std::string& name : map_files()) {
        std::string table_path = build_path(path_table[PATH_MAPS], replace_extension(name, ".txt"));
        string_list texts;
        int result = read_numbered_table(texts, table_path);
        if (result != TABLE_OK) {
            std::fprintf(stderr, "Failed to read: %s, error code: %d\n", table_path.c_str(), result);
            return false;
        }
        string_list_set(texts, 0, nullptr);
        for (int i = 1; i < string_list_count(texts); ++i) {
            const char* text = string_list_get(texts, i);
            if (!text || !has_words_in_order(text, {"TOTO", "JE", "MAGIC", "SLOUP", "MAPEDIT"})) continue;
            string_list_set(texts, i, nullptr);
            break;
        }
        if (write_csv_table(build_path(directory, "map_" + replace_extension(name, ".csv")), texts) != 0)
            return false;
    }
    return true;
}

// The map names by the maps' identities, with the file names as the texts.
bool export_map_names(const std::string& directory) {
    std::string text = "id,string\n";
    for (const std::string& name : map_files()) text += std::to_string(map_hash(name)) + "," + name + "\n";
    std::string path = build_path(directory, "mapnames.csv");
    if (!write_file_atomic(path, text)) {
        std::fprintf(stderr, "Failed to open %s for writing\n", path.c_str());
        return false;
    }
    std::printf("Writing %s\n", path.c_str());
    return true;
}

// Every item definition's name and description, one text per item at its
// index (the translations replace them the same way).
bool export_item_strings(const std::string& directory) {
    std::optional<std::vector<uint8_t>> bytes = read_items_folder_file(ITEMS_FILE_NAME);
    if (!bytes) {
        std::fprintf(stderr, "Failed to read: %s\n", ITEMS_FILE_NAME);
        return false;
    }
    const items_file file = parse_items_file(*bytes);
    string_list texts = string_list_create(static_cast<int>(file.definitions.size()));
    for (size_t i = 0; i < file.definitions.size(); ++i) {
        const item_def& item = file.definitions[i];
        const std::string text =
            std::string(item.name, strnlen(item.name, sizeof item.name)) + "\n" +
            std::string(item.description, strnlen(item.description, sizeof item.description));
        string_list_set(texts, static_cast<int>(i), text.c_str());
    }
    return write_csv_table(build_path(directory, "items.csv"), texts) == 0;
}

bool export_ui_strings(const std::string& directory) {
    // Loaded as at start-up, without a language; an error is reported with
    // the start-up message.
    if (!init_ui_strings(false)) return false;
    return write_csv_table(build_path(directory, "ui.csv"), ui_strings) == 0;
}
}  // namespace

bool export_string_tables(const std::string& directory) {
    if (!create_directory(directory)) return false;
    if (!export_ui_strings(directory)) return false;
    if (!export_map_strings(directory)) return false;
    // Book, end titles and epilogue follow here as their texts are built.
    if (!export_item_strings(directory)) return false;
    // Spells, dialogs, intro and shops follow here as their tables are built.
    if (!export_map_names(directory)) return false;
    return true;
}
