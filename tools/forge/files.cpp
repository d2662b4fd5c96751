// Reading sources and writing outputs, for every sub-command.
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/file_write.h"
#include "commands.h"

namespace forge_tool {

std::string read_whole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write_output(const std::string& path, std::string_view bytes) {
    if (!write_file_atomic(path, bytes)) throw std::runtime_error("cannot write " + path);
}

}  // namespace forge_tool
