#pragma once
// Sub-commands of the forge tool. Each cmd_*.cpp defines one and registers it
// with a static forge_registration.
#include <string>
#include <string_view>
#include <vector>

namespace forge_tool {

struct command {
    const char* name;
    const char* usage;                                 // one line: arguments after the command name
    const char* help;                                  // one line: what it does
    int (*run)(const std::vector<std::string>& args);  // exit status
};

std::vector<command>& commands();

// A whole file's bytes; throws with the path when it cannot be read.
std::string read_whole(const std::string& path);
// Written through a temporary file and renamed; throws when it fails.
void write_output(const std::string& path, std::string_view bytes);

struct forge_registration {
    explicit forge_registration(const command& c) { commands().push_back(c); }
};

}  // namespace forge_tool
