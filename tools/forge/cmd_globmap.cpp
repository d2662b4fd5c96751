// forge globmap: the world map's source compiled into globmap.dat, or a
// globmap.dat read back into source.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands.h"
#include "forge/globmap_source.h"

namespace {

int run(const std::vector<std::string>& args) {
    std::string output, input;
    bool back = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (args[i] == "--decompile")
            back = true;
        else if (input.empty())
            input = args[i];
        else
            throw std::runtime_error("one world map source at a time");
    }
    if (input.empty() || output.empty())
        throw std::runtime_error(
            "usage: forge globmap <globmap.src> -o <GLOBMAP.DAT> | --decompile <GLOBMAP.DAT> -o <src>");
    const std::string source = forge_tool::read_whole(input);
    const std::string result =
        back ? forge::decompile_globmap(source) : forge::compile_globmap_source(source, input);
    forge_tool::write_output(output, result);
    std::printf("%s: %zu bytes\n", output.c_str(), result.size());
    return 0;
}

forge_tool::forge_registration reg({"globmap",
                                    "<globmap.src> -o <GLOBMAP.DAT> | --decompile <GLOBMAP.DAT> -o <src>",
                                    "compiles the world map's script (or reads one back into source)", run});
}  // namespace
