// forge spells: the spell definition file from spell sources, and the
// listing of any spell file in the same language.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "base/file_write.h"
#include "commands.h"
#include "forge/item_source.h"
#include "forge/spell_source.h"

namespace {

using forge_tool::read_whole;
using forge_tool::write_output;

int list(const std::string& path) {
    std::string bytes = read_whole(path);
    std::string text = forge::list_spell_file(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int run(const std::vector<std::string>& args) {
    std::string output, item_source, listed;
    std::vector<forge::spell_source_file> sources;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (args[i] == "--items" && i + 1 < args.size())
            item_source = args[++i];
        else if (args[i] == "--list" && i + 1 < args.size())
            listed = args[++i];
        else
            sources.push_back({args[i], read_whole(args[i])});
    }
    if (!listed.empty()) {
        if (!sources.empty() || !output.empty())
            throw std::runtime_error("--list takes one spell file alone");
        return list(listed);
    }
    if (sources.empty() || output.empty())
        throw std::runtime_error(
            "usage: forge spells -o <dir> [--items <items.src>] <spells.src>... | --list <file>");
    std::unique_ptr<forge::compiled_items> items;
    if (!item_source.empty())
        items = std::make_unique<forge::compiled_items>(
            forge::compile_item_source(read_whole(item_source), item_source));
    forge::compiled_spells spells = forge::compile_spell_sources(sources, items.get());
    write_output(output + "/KOUZLA.DAT",
                 std::string_view(reinterpret_cast<const char*>(spells.file.data()), spells.file.size()));
    write_output(output + "/spells.csv", forge::spells_csv_text(spells));
    return 0;
}

forge_tool::forge_registration reg({"spells",
                                    "-o <dir> [--items <items.src>] <spells.src>... | --list <KOUZLA.DAT>",
                                    "KOUZLA.DAT and spells.csv from spell sources (items by name with "
                                    "--items); --list prints a spell file as source",
                                    run});
}  // namespace
