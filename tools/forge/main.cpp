// forge: builds the data files of an adventure from readable sources.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "commands.h"

namespace forge_tool {
std::vector<command>& commands() {
    static std::vector<command> list;
    return list;
}
}  // namespace forge_tool

static void usage() {
    auto cmds = forge_tool::commands();
    std::sort(cmds.begin(), cmds.end(),
              [](const auto& a, const auto& b) { return std::strcmp(a.name, b.name) < 0; });
    std::fprintf(stderr, "Usage: forge <command> [arguments]\n\nCommands:\n");
    for (const auto& c : cmds) std::fprintf(stderr, "  %s %s\n      %s\n", c.name, c.usage, c.help);
}

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "--help")) {
        usage();
        return argc < 2 ? 2 : 0;
    }
    for (const auto& c : forge_tool::commands()) {
        if (std::strcmp(c.name, argv[1]) != 0) continue;
        std::vector<std::string> args(argv + 2, argv + argc);
        try {
            return c.run(args);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "forge %s: %s\n", c.name, e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "forge: unknown command '%s'\n\n", argv[1]);
    usage();
    return 2;
}
