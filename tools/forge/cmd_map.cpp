// forge map: compiles a map source into the map file and its string table.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "base/file_write.h"
#include "base/strings.h"
#include "commands.h"
#include "forge/item_source.h"
#include "forge/map_source.h"
#include "forge/map_writer.h"
#include "forge/monster_source.h"

namespace {

std::string read_source(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("cannot read " + path);
    return text;
}

// Places of other maps come from their sources, named in [links] relative to
// the folder of the map being compiled. Only the linked map's places are
// read, so two maps may link to each other.
forge::map_place_resolver link_resolver(const std::string& input, const forge::map_item_resolver& items) {
    std::string folder = std::filesystem::path(input).parent_path().string();
    return [folder, items](const std::string& link, const std::string& place,
                           std::string& error) -> std::optional<std::pair<int, int>> {
        std::string path = (std::filesystem::path(folder) / link).string();
        std::ifstream probe(path, std::ios::binary);
        if (!probe) {
            error = "cannot read the linked map source " + path;
            return std::nullopt;
        }
        forge::map_source_result other = forge::compile_map_source(read_source(path), path, {}, items);
        auto it = other.places.find(place);
        if (it == other.places.end()) {
            error = "no place '" + place + "' in " + path;
            return std::nullopt;
        }
        return it->second;
    };
}

int run_map(const std::vector<std::string>& args) {
    std::string output, input, item_source, monster_source;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" || args[i] == "--items" || args[i] == "--monsters") {
            if (i + 1 >= args.size()) throw std::runtime_error(args[i] + " needs a value");
            std::string& value = args[i] == "-o"        ? output
                                 : args[i] == "--items" ? item_source
                                                        : monster_source;
            value = args[++i];
        } else if (input.empty()) {
            input = args[i];
        } else {
            throw std::runtime_error("one map source at a time");
        }
    }
    if (output.empty() || input.empty())
        throw std::runtime_error(
            "usage: forge map -o <FILE.MAP> [--items <items.src>] [--monsters <monsters.src>] <source>");
    std::string text = read_source(input);

    // Items in [items] and scripts may be named as the item source names them.
    forge::map_item_resolver items;
    auto compiled = std::make_shared<forge::compiled_items>();
    if (!item_source.empty()) {
        *compiled = forge::compile_item_source(read_source(item_source), item_source);
        items = [compiled](const std::string& name) -> std::optional<int> {
            auto found = compiled->numbers.find(name);
            if (found == compiled->numbers.end()) return std::nullopt;
            return found->second;
        };
    }
    // Monsters in [monsters] may be named as the monster source names them;
    // its loot names the items of the item source.
    forge::map_monster_resolver monsters;
    if (!monster_source.empty()) {
        auto definitions = std::make_shared<forge::compiled_monsters>(
            forge::compile_monster_source(read_source(monster_source), monster_source, *compiled));
        monsters = [definitions](const std::string& name) -> std::optional<forge::map_monster_definition> {
            auto found = definitions->numbers.find(name);
            if (found == definitions->numbers.end()) return std::nullopt;
            const monster& m = definitions->definitions[size_t(found->second - 1)];
            return forge::map_monster_definition{found->second, (m.strategy & MS_BIG) != 0,
                                                 (m.state & MST_MOB) != 0};
        };
    }
    forge::map_source_result result =
        forge::compile_map_source(text, input, link_resolver(input, items), items, monsters);
    if (!result.ok() || !result.unplaced_monsters.empty()) {
        for (const std::string& e : result.errors) std::fprintf(stderr, "%s\n", e.c_str());
        for (const std::string& e : result.unplaced_monsters) std::fprintf(stderr, "%s\n", e.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes = forge::build_map_file(result.map);
    std::string table = forge::numbered_table_text(result.texts);
    std::string table_path = replace_extension(output, ".txt");
    if (!write_file_atomic(output,
                           std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        throw std::runtime_error("cannot write " + output);
    if (!write_file_atomic(table_path, table)) throw std::runtime_error("cannot write " + table_path);
    return 0;
}

forge_tool::forge_registration registration(
    {"map",
     "-o <FILE.MAP> [--items <items.src>] [--monsters <monsters.src>] "
     "<source>",
     "compiles a map source into the map file and its string "
     "table (FILE.txt); items and monsters by name from their sources",
     run_map});

}  // namespace
