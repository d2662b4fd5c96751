// forge dialogs: dialogy.dat and the dialogs' English table from dialog
// sources, and the listing of any dialogy.dat in the same language.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "base/file_write.h"
#include "commands.h"
#include "forge/dialog_source.h"
#include "forge/item_source.h"

namespace {

using forge_tool::read_whole;
using forge_tool::write_output;

int list(const std::string& path) {
    std::string bytes = read_whole(path);
    std::string text = forge::list_dialog_file(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int run(const std::vector<std::string>& args) {
    std::string output, item_source, character_source, listed;
    std::vector<forge::dialog_source_file> sources;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (args[i] == "--items" && i + 1 < args.size())
            item_source = args[++i];
        else if (args[i] == "--characters" && i + 1 < args.size())
            character_source = args[++i];
        else if (args[i] == "--list" && i + 1 < args.size())
            listed = args[++i];
        else
            sources.push_back({args[i], read_whole(args[i])});
    }
    if (!listed.empty()) {
        if (!sources.empty() || !output.empty())
            throw std::runtime_error("--list takes one dialog file alone");
        return list(listed);
    }
    if (sources.empty() || output.empty())
        throw std::runtime_error(
            "usage: forge dialogs -o <dir> [--items <items.src>] [--characters <characters.src>] "
            "<dialogs.src>... "
            "| --list <file>");
    std::unique_ptr<forge::compiled_items> items;
    forge::dialog_references references;
    if (!item_source.empty()) {
        items = std::make_unique<forge::compiled_items>(
            forge::compile_item_source(read_whole(item_source), item_source));
        references.items = items.get();
    }
    if (!character_source.empty())
        references.characters = forge::character_names_of_source(read_whole(character_source));
    forge::compiled_dialogs dialogs = forge::compile_dialog_sources(sources, references);
    write_output(output + "/DIALOGY.DAT",
                 std::string_view(reinterpret_cast<const char*>(dialogs.file.data()), dialogs.file.size()));
    write_output(output + "/dialogs.csv", forge::dialogs_csv_text(dialogs));
    return 0;
}

forge_tool::forge_registration reg(
    {"dialogs",
     "-o <dir> [--items <items.src>] [--characters <characters.src>] "
     "<dialogs.src>... | --list <DIALOGY.DAT>",
     "DIALOGY.DAT and the English dialogs.csv from dialog sources; --list prints a "
     "dialog file as source",
     run});
}  // namespace
