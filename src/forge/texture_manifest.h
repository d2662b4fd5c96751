#pragma once
// The texture list of an adventure: one line per texture, naming its kind,
// its flat source (a PNG file or a procedural source) and the pictures to
// write. The format is described in docs/formats.md ("View textures").
#include <cstdint>
#include <string>
#include <vector>

namespace forge {

enum class texture_kind { wall, secondary, arch, floor, ceiling };

struct texture_entry {
    texture_kind kind = texture_kind::wall;
    std::string source;  // "proc:NAME" or a PNG path relative to the list
    uint32_t seed = 1;
    int at_x = 250, at_y = 160;  // secondary: the face position it is shown at
    std::vector<std::string> outputs;
    int line = 0;
};

// Parses the list; raises std::runtime_error "file:line: reason".
std::vector<texture_entry> parse_texture_list(const std::string& text, const std::string& file_name);

// Writes the entry's pictures into out_dir (PNG sources are found from
// source_dir). Raises std::runtime_error with the reason.
void build_texture(const texture_entry& entry, const std::string& source_dir, const std::string& out_dir);

// How many output files each kind writes.
int texture_output_count(texture_kind kind);

}  // namespace forge
