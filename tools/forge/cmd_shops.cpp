// forge shops: SHOPS.DAT and shops.csv from a shop source, with the items
// named as in the item source.
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/file_write.h"
#include "commands.h"
#include "forge/shop_source.h"

namespace {

using forge_tool::read_whole;
using forge_tool::write_output;

int run(const std::vector<std::string>& args) {
    std::string output, item_source, source;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (args[i] == "--items" && i + 1 < args.size())
            item_source = args[++i];
        else if (source.empty())
            source = args[i];
        else
            throw std::runtime_error("one shop source at a time");
    }
    if (source.empty() || output.empty() || item_source.empty())
        throw std::runtime_error("usage: forge shops -o <dir> --items <items.src> <shops.src>");
    const forge::compiled_items items = forge::compile_item_source(read_whole(item_source), item_source);
    const forge::compiled_shops shops = forge::compile_shop_source(read_whole(source), source, items);
    const std::vector<uint8_t> bytes = write_shops_file(shops.file);
    write_output(output + "/SHOPS.DAT",
                 std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    write_output(output + "/shops.csv", forge::shops_csv_text(shops));
    return 0;
}

forge_tool::forge_registration reg({"shops", "-o <dir> --items <items.src> <shops.src>",
                                    "SHOPS.DAT and shops.csv from a shop source (items by name)", run});
}  // namespace
