// forge items / forge characters: the item table and the character
// definitions from their readable sources.
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/file_write.h"
#include "commands.h"
#include "forge/character_source.h"
#include "forge/item_source.h"

namespace {

using forge_tool::read_whole;

void write_output(const std::string& dir, const std::string& name, std::string_view bytes) {
    std::string path = dir + "/" + name;
    if (!write_file_atomic(path, bytes)) throw std::runtime_error("cannot write " + path);
}

forge::compiled_items compile_items(const std::string& path) {
    return forge::compile_item_source(read_whole(path), path);
}

int run_items(const std::vector<std::string>& args) {
    std::string source, output;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (source.empty())
            source = args[i];
        else
            throw std::runtime_error("unexpected argument " + args[i]);
    }
    if (source.empty() || output.empty()) throw std::runtime_error("usage: forge items -o <dir> <items.src>");
    forge::compiled_items items = compile_items(source);
    std::vector<uint8_t> table = write_items_file(items.file);
    write_output(output, "ITEMS.DAT",
                 std::string_view(reinterpret_cast<const char*>(table.data()), table.size()));
    write_output(output, "items.csv", forge::items_csv_text(items));
    write_output(output, "COMBITEM.DAT", forge::combitem_text(items));
    return 0;
}

int run_characters(const std::vector<std::string>& args) {
    std::string source, output, item_source;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (args[i] == "--items" && i + 1 < args.size())
            item_source = args[++i];
        else if (source.empty())
            source = args[i];
        else
            throw std::runtime_error("unexpected argument " + args[i]);
    }
    if (source.empty() || output.empty() || item_source.empty())
        throw std::runtime_error("usage: forge characters -o <dir> --items <items.src> <characters.src>");
    forge::compiled_items items = compile_items(item_source);
    write_output(output, "POSTAVY.DAT", forge::compile_character_source(read_whole(source), source, items));
    return 0;
}

forge_tool::forge_registration items_reg({"items", "-o <dir> <items.src>",
                                          "ITEMS.DAT, items.csv and COMBITEM.DAT from an item source",
                                          run_items});
forge_tool::forge_registration characters_reg({"characters", "-o <dir> --items <items.src> <characters.src>",
                                               "POSTAVY.DAT from a character source, items by name",
                                               run_characters});
}  // namespace
