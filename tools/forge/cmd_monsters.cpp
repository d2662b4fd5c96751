// forge monsters: the monster definitions from their readable source.
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/file_write.h"
#include "commands.h"
#include "forge/item_source.h"
#include "forge/monster_source.h"

namespace {

using forge_tool::read_whole;

void write_output(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (!write_file_atomic(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        throw std::runtime_error("cannot write " + path);
}

int run_monsters(const std::vector<std::string>& args) {
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
    if (source.empty() || output.empty())
        throw std::runtime_error("usage: forge monsters -o <dir> [--items <items.src>] <monsters.src>");
    // Without an item source every loot name is unknown.
    forge::compiled_items items;
    if (!item_source.empty()) items = forge::compile_item_source(read_whole(item_source), item_source);
    forge::compiled_monsters monsters = forge::compile_monster_source(read_whole(source), source, items);
    write_output(output + "/ENEMY.DAT", forge::enemy_file_bytes(monsters));
    write_output(output + "/SOUND.DAT", forge::sound_list_bytes(monsters.sounds));
    return 0;
}

forge_tool::forge_registration monsters_reg(
    {"monsters", "-o <dir> [--items <items.src>] <monsters.src>",
     "ENEMY.DAT and SOUND.DAT from a monster source, loot by item name", run_monsters});
}  // namespace
