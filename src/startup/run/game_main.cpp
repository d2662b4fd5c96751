#include "startup/run/game_main.h"

#include <cstdio>
#include <exception>
#include <filesystem>

#include "base/paths.h"
#include "platform/fatal_message_box.h"
#include "startup/run/options.h"

namespace {
void do_nothing() {}
}  // namespace

std::string help_text(const char* program_path) {
    std::string text =
        "Vorthan - first-person adventures on a grid of sectors\n"
        "Plays an adventure from its folder of data files.\n\n";
    text += "Usage:";
    text += program_path ? program_path : "vorthan";
    text += " [-f <file>] [-a <file>] [-l <lang>] [-s <dir>] [-h]\n\n";
    text +=
        "-f <file>       path to configuration file\n"
        "-a <adv>        path for adventure file (.adv)\n"
        "-l <lang>       set language (cz|en)\n"
        "-s <directory>  generate string-tables (for localization) and exit\n"
        "-h              this help\n";
    return text;
}

int game_main(int argc, char** argv) {
    std::string config_path = "vorthan.ini";
    std::string adventure, language, export_dir;
    std::string messages;
    const char* program = argc > 0 ? argv[0] : "vorthan";
    install_fatal_message_box();

    option_parser parser;
    int c;
    while ((c = parser.next(argc, argv, "hf:a:s:l:")) != -1) {
        switch (c) {
            case 'f':
                config_path = parser.argument;
                break;
            case 'a':
                adventure = parser.argument;
                break;
            case 'l':
                language = parser.argument;
                break;
            case 's':
                export_dir = parser.argument;
                break;
            case 'h':
                messages += help_text(program);
                break;
            default:
                messages += "Use -h for help\n";
                break;
        }
    }
    std::fflush(stdout);
    if (!file_exists(config_path)) {
        messages +=
            "ERROR: A configuration file was not found:\n\n" + config_path + "\n\n" + help_text(program);
    }

    start_params params;
    params.after_error = do_nothing;
    params.report_fatal = report_fatal;
    if (!adventure.empty()) params.adventure_path = adventure;
    params.config_path = config_path;
    if (!language.empty()) params.language = language;

    try {
        if (!messages.empty()) params.report_fatal(messages.c_str());
        // The export folder is named from where the program was started,
        // although the export runs in the root folder.
        if (!export_dir.empty())
            return export_strings(params, std::filesystem::absolute(export_dir).string());
        return run_game(params);
    } catch (const std::exception& e) {
        params.report_fatal(exception_text(e).c_str());
    } catch (...) {
        params.report_fatal("Uknown error or crash");
    }
    return 1;
}
