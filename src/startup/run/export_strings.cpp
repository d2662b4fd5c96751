// The -s export: every string table of the adventure as CSV, for translators.
// Each step must succeed for the next to run.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "startup/paths.h"
#include "startup/run/game_main.h"
#include "startup/strings.h"

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
    // Map strings, book, end titles, epilogue, items, spells, dialogs, intro,
    // shops and map names follow here as their tables are built.
    return true;
}
