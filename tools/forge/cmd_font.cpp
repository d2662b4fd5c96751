// forge font: builds a font file from a scalable font, a BDF bitmap font or a
// drawn glyph source.
#include <cstdio>
#include <stdexcept>
#include <string>

#include "commands.h"
#include "forge/font_bdf.h"
#include "forge/font_build.h"
#include "forge/font_grid.h"
#include "forge/font_scalable.h"

namespace {

int parse_number(const std::string& option, const std::string& value, int low, int high) {
    size_t used = 0;
    int n = 0;
    try {
        n = std::stoi(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != value.size() || value.empty() || n < low || n > high)
        throw std::runtime_error(option + " needs a number from " + std::to_string(low) + " to " +
                                 std::to_string(high));
    return n;
}

int run_font(const std::vector<std::string>& args) {
    std::string ttf, bdf, grid, output;
    forge::scalable_font_options scalable;
    bool size_given = false;
    bool shadow = true;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::runtime_error(a + " needs a value");
            return args[++i];
        };
        if (a == "--ttf")
            ttf = value();
        else if (a == "--bdf")
            bdf = value();
        else if (a == "--grid")
            grid = value();
        else if (a == "--size") {
            scalable.pixel_size = parse_number(a, value(), 2, 200);
            size_given = true;
        } else if (a == "--threshold")
            scalable.threshold = parse_number(a, value(), 0, 255);
        else if (a == "--spacing")
            scalable.spacing = parse_number(a, value(), 0, 16);
        else if (a == "--separate-accents")
            scalable.separate_accents = true;
        else if (a == "--no-shadow")
            shadow = false;
        else if (a == "-o")
            output = value();
        else
            throw std::runtime_error("unknown argument " + a);
    }
    const int sources = !ttf.empty() + !bdf.empty() + !grid.empty();
    if (sources != 1) throw std::runtime_error("give exactly one of --ttf, --bdf, --grid");
    if (output.empty()) throw std::runtime_error("no output file (-o)");
    if (!ttf.empty() && !size_given) throw std::runtime_error("--ttf needs --size");

    forge::font_glyphs glyphs;
    if (!ttf.empty()) {
        scalable.shadow = shadow;
        glyphs = forge::render_scalable_font(ttf, scalable);
    } else if (!bdf.empty()) {
        forge::bdf_options options;
        options.shadow = shadow;
        glyphs = forge::import_bdf(forge::read_source_file(bdf), options);
    } else {
        glyphs = forge::parse_glyph_grid(forge::read_source_file(grid));
    }
    forge::write_font_file(output, forge::encode_font(glyphs));
    return 0;
}

forge_tool::forge_registration font_command({
    "font",
    "(--ttf <file> --size <px> [--threshold <0-255>] [--spacing <px>] [--separate-accents] | --bdf <file> | "
    "--grid <file>) "
    "[--no-shadow] -o <x.fon>",
    "builds a font file for every character of the game's code page",
    run_font,
});

}  // namespace
