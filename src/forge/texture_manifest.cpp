#include "forge/texture_manifest.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "forge/pcx_writer.h"
#include "forge/texture_source.h"
#include "forge/texture_views.h"

namespace forge {

namespace {

std::string join_path(const std::string& dir, const std::string& name) {
    if (dir.empty() || (!name.empty() && name[0] == '/')) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

texture_canvas load_source(const texture_entry& e, const std::string& source_dir) {
    if (e.source.rfind("proc:", 0) == 0) return procedural_source(e.source.substr(5), e.seed);
    return canvas_from_image(read_png_file(join_path(source_dir, e.source)).image);
}

bool parse_kind(const std::string& word, texture_kind& kind) {
    static const std::pair<const char*, texture_kind> kinds[] = {
        {"wall", texture_kind::wall},   {"secondary", texture_kind::secondary}, {"arch", texture_kind::arch},
        {"floor", texture_kind::floor}, {"ceiling", texture_kind::ceiling},
    };
    for (const auto& [name, k] : kinds)
        if (word == name) {
            kind = k;
            return true;
        }
    return false;
}

}  // namespace

int texture_output_count(texture_kind kind) {
    switch (kind) {
        case texture_kind::wall:
        case texture_kind::secondary:
            return 3;
        case texture_kind::arch:
            return 2;
        default:
            return 1;
    }
}

std::vector<texture_entry> parse_texture_list(const std::string& text, const std::string& file_name) {
    std::vector<texture_entry> entries;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        throw std::runtime_error(file_name + ":" + std::to_string(number) + ": " + why);
    };
    while (std::getline(in, line)) {
        number++;
        if (const size_t semicolon = line.find(';'); semicolon != std::string::npos) line.erase(semicolon);
        std::istringstream words(line);
        std::string word;
        if (!(words >> word)) continue;
        texture_entry e;
        e.line = number;
        if (!parse_kind(word, e.kind)) fail("unknown texture kind '" + word + "'");
        if (!(words >> e.source)) fail("missing source");
        if (e.source.rfind("proc:", 0) == 0 && !procedural_source_exists(e.source.substr(5)))
            fail("no procedural texture named '" + e.source.substr(5) + "'");
        while (words >> word) {
            if (word.rfind("seed=", 0) == 0) {
                try {
                    e.seed = static_cast<uint32_t>(std::stoul(word.substr(5)));
                } catch (const std::exception&) {
                    fail("bad seed '" + word + "'");
                }
            } else if (word.rfind("at=", 0) == 0) {
                if (std::sscanf(word.c_str() + 3, "%d,%d", &e.at_x, &e.at_y) != 2)
                    fail("bad position '" + word + "'");
            } else if (word.find('=') != std::string::npos) {
                fail("unknown option '" + word + "'");
            } else {
                e.outputs.push_back(word);
            }
        }
        const int wanted = texture_output_count(e.kind);
        if (static_cast<int>(e.outputs.size()) != wanted)
            fail("expected " + std::to_string(wanted) + " output file(s), found " +
                 std::to_string(e.outputs.size()));
        entries.push_back(std::move(e));
    }
    return entries;
}

void build_texture(const texture_entry& e, const std::string& source_dir, const std::string& out_dir) {
    const texture_canvas source = load_source(e, source_dir);
    if (source.width <= 0 || source.height <= 0) throw std::runtime_error("empty source picture " + e.source);
    auto out = [&](int i) { return join_path(out_dir, e.outputs[i]); };
    switch (e.kind) {
        case texture_kind::wall:
            write_pcx(out(0), wall_picture(front_wall_view(source)));
            write_pcx(out(1), wall_picture(side_wall_view(source, false)));
            write_pcx(out(2), wall_picture(side_wall_view(source, true)));
            break;
        case texture_kind::secondary:
            write_pcx(out(0), wall_picture(source));
            write_pcx(out(1), wall_picture(secondary_side_view(source, e.at_x, e.at_y, false)));
            write_pcx(out(2), wall_picture(secondary_side_view(source, e.at_x, e.at_y, true)));
            break;
        case texture_kind::arch:
            write_pcx(out(0), wall_picture(arch_half(source, false)));
            write_pcx(out(1), wall_picture(arch_half(source, true)));
            break;
        case texture_kind::floor:
            write_pcx(out(0), surface_picture(floor_view(source)));
            break;
        case texture_kind::ceiling:
            write_pcx(out(0), surface_picture(ceiling_view(source)));
            break;
    }
}

}  // namespace forge
