// forge csv: a translation table (UTF-8 CSV source) as the game's Windows-1250 CSV.
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/file_write.h"
#include "commands.h"
#include "forge/text_tables.h"

namespace {
int run(const std::vector<std::string>& args) {
    std::string source, output;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (source.empty())
            source = args[i];
        else
            throw std::runtime_error("unexpected argument " + args[i]);
    }
    if (source.empty() || output.empty())
        throw std::runtime_error("usage: forge csv <source.csv> -o <out.csv>");
    std::ifstream in(source, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + source);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string table = forge::compile_csv_table(text, source);
    if (!write_file_atomic(output, table)) throw std::runtime_error("cannot write " + output);
    return 0;
}

forge_tool::forge_registration reg({"csv", "<source.csv> -o <table.csv>",
                                    "translation table from a UTF-8 CSV to the game's Windows-1250 CSV",
                                    run});
}  // namespace
