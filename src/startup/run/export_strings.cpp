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
#include "core/handles.h"
#include "rules/items_file.h"
#include "rules/items_load.h"
#include "rules/shops/shops_file.h"
#include "rules/spell_record.h"
#include "startup/run/game_main.h"
#include "story/dialog_format.h"
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

// A file of the maps folder (archives first, then the disk); nothing when
// the adventure has none.
std::optional<std::vector<uint8_t>> read_maps_file(const char* name) {
    if (!resource_available(PATH_MAPS, name)) return std::nullopt;
    int32_t length = 0;
    void* data = load_file(name, PATH_MAPS, &length);
    if (!data) return std::nullopt;
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::vector<uint8_t> out(bytes, bytes + std::max<int32_t>(length, 0));
    free_file_data(data);
    return out;
}

// Every defined spell's name at its number. (Only the first variant of each
// rune would leave the other two untranslatable.)
bool export_spell_strings(const std::string& directory) {
    const std::optional<std::vector<uint8_t>> bytes = read_maps_file("kouzla.dat");
    if (!bytes) return true;  // an adventure without spells
    spell_book book;
    if (!read_spell_file(*bytes, book)) return true;
    string_list texts = string_list_create(SPELL_COUNT);
    for (size_t i = 0; i < book.spells.size(); ++i) {
        if (!book.find(int(i))) continue;
        const spell_def& d = book.spells[i];
        string_list_set(texts, int(i),
                        std::string(d.spell_name, strnlen(d.spell_name, sizeof d.spell_name)).c_str());
    }
    return write_csv_table(build_path(directory, "spells.csv"), texts) == 0;
}

// The dialogs' inline texts, each at the offset of its first character in
// dialogy.dat (the key the game translates them by). The code area is a
// stream of tagged values: 2 and 3 carry two bytes, 1 a text up to its 0.
bool export_dialog_strings(const std::string& directory) {
    const std::optional<std::vector<uint8_t>> bytes = read_maps_file("dialogy.dat");
    if (!bytes || bytes->size() < DIALOG_HEADER_SIZE) return true;
    const std::vector<uint8_t>& b = *bytes;
    const uint64_t count = uint64_t(b[0]) | uint64_t(b[1]) << 8 | uint64_t(b[2]) << 16 | uint64_t(b[3]) << 24;
    const uint64_t code = DIALOG_HEADER_SIZE + DIALOG_ENTRY_SIZE * count;
    if (code > b.size()) return true;
    std::vector<std::pair<size_t, std::string>> found;
    size_t largest = 0;
    for (size_t at = size_t(code); at < b.size();) {
        const uint8_t tag = b[at];
        if (tag == TAG_NUMBER || tag == TAG_VARIABLE) {
            at += 3;
        } else if (tag == TAG_TEXT) {
            const size_t first = at + 1;
            size_t end = first;
            while (end < b.size() && b[end] != 0) ++end;
            found.emplace_back(first, std::string(b.begin() + long(first), b.begin() + long(end)));
            largest = std::max(largest, first);
            at = end + 1;
        } else {
            ++at;
        }
    }
    if (largest >= size_t(INT32_MAX)) return false;
    string_list texts = string_list_create(int(largest) + 1);
    for (const auto& [offset, text] : found) string_list_set(texts, int(offset), text.c_str());
    return write_csv_table(build_path(directory, "dialogs.csv"), texts) == 0;
}

// Every shop's name at the shop's number.
bool export_shop_strings(const std::string& directory) {
    const std::optional<std::vector<uint8_t>> bytes = read_maps_file("SHOPS.DAT");
    if (!bytes) return true;  // an adventure without shops
    const std::optional<shops_file> file = parse_shops_file(*bytes);
    if (!file) return true;
    int largest = 0;
    for (const shop_def& shop : file->shops) largest = std::max(largest, int(shop.shop_id));
    string_list texts = string_list_create(largest + 1);
    for (const shop_def& shop : file->shops)
        if (shop.shop_id >= 0) string_list_set(texts, int(shop.shop_id), shop.name.c_str());
    return write_csv_table(build_path(directory, "shops.csv"), texts) == 0;
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
    if (!export_spell_strings(directory)) return false;
    if (!export_dialog_strings(directory)) return false;
    // The intro's table follows here when the intro is built.
    if (!export_shop_strings(directory)) return false;
    if (!export_map_names(directory)) return false;
    return true;
}
