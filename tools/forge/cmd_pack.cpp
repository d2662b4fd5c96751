// forge pack: packs files into a resource archive.
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "commands.h"
#include "forge/archive_writer.h"

namespace {

std::vector<uint8_t> read_input(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("cannot read " + path);
    return bytes;
}

int run_pack(const std::vector<std::string>& args) {
    std::string output;
    std::vector<std::string> inputs;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size()) throw std::runtime_error("-o needs a value");
            output = args[++i];
        } else {
            inputs.push_back(args[i]);
        }
    }
    if (output.empty()) throw std::runtime_error("no output archive given (-o <archive>)");
    // No files gives an empty archive, which the player accepts.
    std::vector<forge::archive_member> members;
    members.reserve(inputs.size());
    for (size_t i = 0; i < inputs.size(); ++i) {
        const std::string& path = inputs[i];
        forge::archive_member m;
        m.name = forge::archive_member_name(path);
        for (size_t k = 0; k < members.size(); ++k)
            if (members[k].name == m.name)
                throw std::runtime_error(path + ": entry name '" + m.name + "' is already taken by " +
                                         inputs[k]);
        m.data = read_input(path);
        members.push_back(std::move(m));
    }
    forge::write_archive(output, members);
    return 0;
}

forge_tool::forge_registration registration({"pack", "-o <archive> <files...>",
                                             "packs files into a resource archive (names upper-cased, "
                                             "at most 12 characters)",
                                             run_pack});

}  // namespace
