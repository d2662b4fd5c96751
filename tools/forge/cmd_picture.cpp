// forge picture: PNG to PCX or to the player's stored picture form.
// forge picture-preview: any picture file back to PNG, through the player's own decoders.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands.h"
#include "forge/pcx_writer.h"
#include "forge/png_import.h"
#include "forge/quantize.h"
#include "forge/stored_picture_writer.h"
#include "gfx/picture.h"

namespace {

int parse_int(const std::string& text, const char* what) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < 0 || v > 0xFFFF)
        throw std::runtime_error(std::string("bad ") + what + ": " + text);
    return static_cast<int>(v);
}

std::array<uint8_t, 3> parse_fade(const std::string& text) {
    std::array<uint8_t, 3> fade{};
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const size_t comma = text.find(',', start);
        if ((i < 2) == (comma == std::string::npos))
            throw std::runtime_error("bad fade colour (r,g,b): " + text);
        const int v = parse_int(text.substr(start, comma - start), "fade colour");
        if (v > 255) throw std::runtime_error("bad fade colour (0-255 each): " + text);
        fade[i] = static_cast<uint8_t>(v);
        start = comma + 1;
    }
    return fade;
}

int run_picture(const std::vector<std::string>& args) {
    std::string input, output;
    int stored = -1;
    std::array<uint8_t, 3> fade{};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::runtime_error(a + " needs a value");
            return args[++i];
        };
        if (a == "-o")
            output = value();
        else if (a == "--stored")
            stored = parse_int(value(), "type");
        else if (a == "--fade")
            fade = parse_fade(value());
        else if (!a.empty() && a[0] == '-')
            throw std::runtime_error("unknown option " + a);
        else if (input.empty())
            input = a;
        else
            throw std::runtime_error("more than one input picture");
    }
    if (input.empty() || output.empty())
        throw std::runtime_error("usage: forge picture <in.png> -o <out> [--stored <type>] [--fade r,g,b]");
    if (stored >= 0 && !forge::stored_type_supported(stored))
        throw std::runtime_error("type " + std::to_string(stored) +
                                 " is not one of 8, 15, 16, 264, 512, 520, 776");
    const forge::png_picture png = forge::read_png_file(input);
    if (stored >= 0) {
        forge::write_stored_picture(output,
                                    forge::build_stored_picture(png, static_cast<uint16_t>(stored), fade));
    } else {
        forge::write_pcx(output, png.has_palette ? png.indexed : forge::quantize(png.image));
    }
    return 0;
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot open");
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The picture drawn by the player's own code into an RGBA image (transparent
// where nothing was drawn).
forge::rgba_image render(const picture* pic) {
    std::vector<uint16_t> pixels(static_cast<size_t>(pic->width) * pic->height, 0x8000);
    put_picture_to(0, 0, pic, pixels.data(), pic->width);
    forge::rgba_image image;
    image.width = pic->width;
    image.height = pic->height;
    for (uint16_t c : pixels) {
        const int r = (c >> 10) & 31, g = (c >> 5) & 31, b = c & 31;
        image.rgba.insert(image.rgba.end(),
                          {static_cast<uint8_t>(r << 3 | r >> 2), static_cast<uint8_t>(g << 3 | g >> 2),
                           static_cast<uint8_t>(b << 3 | b >> 2), uint8_t(c == 0x8000 ? 0 : 255)});
    }
    return image;
}

int run_preview(const std::vector<std::string>& args) {
    if (args.size() != 3 || args[1] != "-o")
        throw std::runtime_error("usage: forge picture-preview <picture> -o <out.png>");
    std::vector<uint8_t> bytes = read_file(args[0]);
    picture* pic = nullptr;
    const bool pcx = args[0].size() > 4 && (args[0].ends_with(".pcx") || args[0].ends_with(".PCX"));
    if (pcx) {
        if (decode_pcx(bytes.data(), static_cast<int32_t>(bytes.size()), PIC_PAL8, &pic) < 0)
            throw std::runtime_error(args[0] + ": not a readable PCX file");
    } else {
        int32_t length = static_cast<int32_t>(bytes.size());
        pic = static_cast<picture*>(raw_picture(bytes.data(), &length, 0));
        if (!pic) throw std::runtime_error(args[0] + ": not a whole stored picture");
    }
    if (pic->width == 0 || pic->height == 0 || picture_pixel_bytes(pic->type) == 0 ||
        (pic->type == PIC_NOPAL8 || pic->type == PIC_RGBPAL8)) {
        game_free(pic);
        throw std::runtime_error(args[0] + ": the player does not draw this picture by itself");
    }
    const forge::rgba_image image = render(pic);
    game_free(pic);
    forge::write_png_file(args[2], image);
    return 0;
}

forge_tool::forge_registration picture_command(
    {"picture", "<in.png> -o <out> [--stored <type>] [--fade r,g,b]",
     "PNG to an 8-bit PCX (quantised if needed), or with --stored to the "
     "player's stored picture form of that type",
     run_picture});
forge_tool::forge_registration preview_command(
    {"picture-preview", "<picture.pcx|stored> -o <out.png>",
     "draws a PCX or stored picture with the player's code into a PNG", run_preview});

}  // namespace
