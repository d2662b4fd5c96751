// forge text: a numbered text table (UTF-8 source) in the game code page.
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/file_write.h"
#include "commands.h"
#include "forge/text_tables.h"

namespace {
int run(const std::vector<std::string>& args) {
    std::string source, output;
    bool enc = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (args[i] == "--enc")
            enc = true;
        else if (source.empty())
            source = args[i];
        else
            throw std::runtime_error("unexpected argument " + args[i]);
    }
    if (source.empty() || output.empty())
        throw std::runtime_error("usage: forge text <source.txt> -o <out> [--enc]");
    std::ifstream in(source, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + source);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string table = forge::compile_text_table(text, source);
    if (enc) table = forge::scramble_text_table(table);
    if (!write_file_atomic(output, table)) throw std::runtime_error("cannot write " + output);
    return 0;
}

forge_tool::forge_registration reg({"text", "<source.txt> -o <TABLE.TXT> [--enc]",
                                    "numbered text table from UTF-8 to the game code page (--enc: scrambled)",
                                    run});
}  // namespace
