// forge map: compiles a map source into the map file and its string table.
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "commands.h"
#include "forge/map_source.h"
#include "forge/map_writer.h"
#include "startup/file_write.h"
#include "startup/strings.h"

namespace {

int run_map(const std::vector<std::string>& args) {
    std::string output, input;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size()) throw std::runtime_error("-o needs a value");
            output = args[++i];
        } else if (input.empty()) {
            input = args[i];
        } else {
            throw std::runtime_error("one map source at a time");
        }
    }
    if (output.empty() || input.empty()) throw std::runtime_error("usage: forge map -o <FILE.MAP> <source>");
    std::ifstream in(input, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + input);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("cannot read " + input);

    forge::map_source_result result = forge::compile_map_source(text, input);
    if (!result.ok()) {
        for (const std::string& e : result.errors) std::fprintf(stderr, "%s\n", e.c_str());
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

forge_tool::forge_registration registration({"map", "-o <FILE.MAP> <source>",
                                             "compiles a map source into the map file and its string "
                                             "table (FILE.txt)",
                                             run_map});

}  // namespace
