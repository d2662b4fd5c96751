#include <cstdio>

#include "base/config.h"
#include "base/paths.h"
#include "base/strings.h"
#include "core/archive.h"
#include "core/decoders.h"
#include "core/tasks.h"
#include "platform/display.h"
#include "startup/run/archive_policy.h"
#include "startup/run/fixed_handles.h"
#include "startup/run/game_main.h"
#include "startup/run/main_task.h"
#include "story/settings_file.h"

std::string default_map_name = "LESPRED.MAP";

namespace {
// The configuration of this run; it outlives every use of the folder table.
std::unique_ptr<ini_config> config;

// Opens the configuration, reads its folders and enters the root folder.
// On failure reports through params and returns false.
bool open_configuration(const start_params& params) {
    // Named before the root folder becomes current: the options window writes
    // the player's settings back to this file.
    set_settings_file(resolve_path(params.config_path));
    config = ini_open(params.config_path);
    if (!config) {
        params.report_fatal(("Failed to open configuration file: " + params.config_path).c_str());
        if (params.after_error) params.after_error();
        return false;
    }
    game_config = config.get();
    std::string root = read_folder_settings(config.get());
    if (!change_directory(root)) {
        params.report_fatal(("Can't change directory to: " + root).c_str());
        return false;
    }
    return true;
}

// Merges the adventure file into the paths section and reads the folders
// again. Relative names in it are relative to the root folder.
bool merge_adventure(const start_params& params) {
    auto lines = read_text_lines(*params.adventure_path);
    if (!lines) {
        params.report_fatal(("Failed to open adventure configuration: " + *params.adventure_path).c_str());
        return false;
    }
    merge_adventure_lines(*config, *lines);
    read_folder_settings(config.get());
    return true;
}

void close_configuration() {
    game_config = nullptr;
    config.reset();
}
}  // namespace

int run_game(const start_params& params) {
    // 1. The folder table is the handle loader's folder list; from here on
    //    fatal errors go through the message box, and the display is closed
    //    (its thread joined) before the process ends.
    set_fatal_hook(params.report_fatal);
    set_before_fatal(display_close);

    // 2-4. Configuration, folders, root folder.
    if (!open_configuration(params)) return 1;
    if (!default_map_setting.empty()) default_map_name = default_map_setting;

    // 5. The adventure file, or else the language folder.
    if (params.adventure_path) {
        if (!merge_adventure(params)) return 1;
        if (!default_map_setting.empty()) default_map_name = default_map_setting;
        path_table[PATH_SAVEGAME] =
            adventure_savegame_folder(path_table[PATH_SAVEGAME], *params.adventure_path);
    } else if (params.language) {
        set_language_folder(build_path(path_table[PATH_LANG], *params.language).c_str());
    }

    // 6. Achievements are enabled only for the game's own adventure.
    // 7. Clear the in-memory store of temporary files.

    // 8. The start sequence.
    init_game();

    // 9. The game task and the main loop; 10. the game task is ended and
    //    waited for when the main loop stops.
    std::printf("Vorthan: start-up complete\n");
    std::fflush(stdout);
    main_task_options task_options;
    task_options.intro = params.intro;
    task_options.menu = params.menu;
    run_game_task(main_task, &task_options);

    // 10. Shutdown: close the display, free the configuration.
    display_close();
    close_configuration();
    set_fatal_hook(nullptr);
    set_before_fatal(nullptr);
    return 0;
}

int export_strings(const start_params& params, const std::string& directory) {
    // Errors go to the standard streams only: no fatal hook here.
    if (!open_configuration(params)) return 1;
    // The adventure's folders are resolved against the root folder, as when
    // the game runs, so the export reads the same files the game would.
    if (params.adventure_path && !merge_adventure(params)) return 1;

    // Open the resource archives and define the fixed handles.
    open_archives();
    define_fixed_handles();

    if (!export_string_tables(directory)) {
        close_configuration();
        return 1;
    }
    std::printf("Done\n");
    std::fflush(stdout);
    close_configuration();
    return 0;
}
