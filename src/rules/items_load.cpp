#include "rules/items_load.h"

#include <cstdio>
#include <cstring>

#include "base/fatal.h"
#include "base/paths.h"

namespace {

std::string trimmed(std::string_view text) {
    size_t end = text.size();
    while (end > 0 &&
           (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r' || text[end - 1] == '\n'))
        --end;
    return std::string(text.substr(0, end));
}

void set_field(char (&field)[32], std::string_view text) {
    std::string value = trimmed(text);
    if (value.size() > sizeof field - 1) value.resize(sizeof field - 1);
    value = trimmed(value);
    std::memset(field, 0, sizeof field);
    std::memcpy(field, value.data(), value.size());
}

}  // namespace

std::optional<std::vector<uint8_t>> read_items_folder_file(std::string_view name) {
    FILE* file = open_file(build_path(path_table[PATH_ITEMS], name), "rb");
    if (!file) return std::nullopt;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return bytes;
}

void load_items(item_table& items, items_file& names, icon_libraries& icons) {
    icons = icon_libraries();
    const int libraries = count_icon_libraries(
        [](const std::string& name) { return file_exists(build_path(path_table[PATH_ITEMS], name)); });
    for (int library = 0; library < libraries; ++library)
        icons.add_library(
            read_items_folder_file(icon_library_name(library)).value_or(std::vector<uint8_t>()));

    std::optional<std::vector<uint8_t>> bytes = read_items_folder_file(ITEMS_FILE_NAME);
    if (!bytes) fatal_error("%s", ITEMS_MISSING_MESSAGE);
    names = parse_items_file(*bytes);
    items.set_definitions(names.definitions);
    names.definitions.clear();
}

void apply_item_translations(item_table& items, const language_table& texts) {
    for (const auto& [index, text] : texts) {
        if (index < 0 || index >= items.definition_count()) continue;
        item_def& item = items.definition(index + 1);
        const size_t line_break = text.find('\n');
        set_field(item.name, std::string_view(text).substr(0, line_break));
        if (line_break != std::string::npos)
            set_field(item.description, std::string_view(text).substr(line_break + 1));
    }
}

std::vector<combine_rule> read_combine_rules() {
    std::optional<std::vector<uint8_t>> bytes = read_items_folder_file(COMBINE_FILE_NAME);
    if (!bytes) return {};
    return parse_combine_rules(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}
