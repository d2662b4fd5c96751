// forge texture: the view's wall, arch, floor and ceiling pictures.
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "commands.h"
#include "forge/png_import.h"
#include "forge/texture_manifest.h"
#include "forge/texture_source.h"

namespace {

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string folder_of(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) throw std::runtime_error("expected 'build' or 'source' (see forge --help)");
    std::string out, input, seed = "1";
    for (size_t i = 1; i < args.size(); i++) {
        if (args[i] == "-o" && i + 1 < args.size())
            out = args[++i];
        else if (args[i].rfind("seed=", 0) == 0)
            seed = args[i].substr(5);
        else if (input.empty())
            input = args[i];
        else
            throw std::runtime_error("unexpected argument '" + args[i] + "'");
    }
    if (input.empty()) throw std::runtime_error("missing input");
    if (args[0] == "build") {
        for (const forge::texture_entry& e : forge::parse_texture_list(read_text(input), input)) {
            try {
                forge::build_texture(e, folder_of(input), out);
            } catch (const std::exception& ex) {
                throw std::runtime_error(input + ":" + std::to_string(e.line) + ": " + ex.what());
            }
        }
        return 0;
    }
    if (args[0] == "source") {
        if (out.empty()) throw std::runtime_error("missing -o FILE.png");
        forge::write_png_file(out, forge::image_from_canvas(forge::procedural_source(
                                       input, static_cast<uint32_t>(std::stoul(seed)))));
        return 0;
    }
    throw std::runtime_error("unknown texture action '" + args[0] + "'");
}

forge_tool::forge_registration reg(
    {"texture", "build [-o DIR] LIST | source NAME [seed=N] -o FILE.png",
     "view textures: every picture of a texture list, or a procedural source as PNG", run});

}  // namespace
