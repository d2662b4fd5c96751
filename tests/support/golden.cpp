#include "support/golden.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

namespace golden {

namespace {

struct file_closer {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
using file_ptr = std::unique_ptr<FILE, file_closer>;

uint8_t expand5(unsigned c) {
    return static_cast<uint8_t>((c << 3) | (c >> 2));
}

bool write_rgb_png(FILE* f, const std::vector<uint8_t>& rgb, int width, int height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rgb.data() + static_cast<size_t>(y) * width * 3));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::vector<uint8_t> to_rgb888(const uint16_t* pixels, int width, int height, int pitch) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    uint8_t* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        const uint16_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        for (int x = 0; x < width; ++x) {
            *out++ = expand5((row[x] >> 10) & 31);
            *out++ = expand5((row[x] >> 5) & 31);
            *out++ = expand5(row[x] & 31);
        }
    }
    return rgb;
}

bool write_png(const std::string& path, const uint16_t* pixels, int width, int height, int pitch) {
    if (!pixels || width <= 0 || height <= 0) return false;
    std::error_code ec;
    const std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    const std::string temp = path + ".tmp";
    bool ok;
    {
        file_ptr f(std::fopen(temp.c_str(), "wb"));
        if (!f) return false;
        ok = write_rgb_png(f.get(), to_rgb888(pixels, width, height, pitch), width, height);
        ok = ok && std::fflush(f.get()) == 0;
    }
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

namespace {
// The PNG's own R, G, B bytes (alpha dropped).
bool read_rgb(const std::string& path, std::vector<uint8_t>& rgb, int& width, int& height) {
    file_ptr f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return false;
    }
    png_init_io(png, f.get());
    png_read_info(png, info);
    const int w = static_cast<int>(png_get_image_width(png, info));
    const int h = static_cast<int>(png_get_image_height(png, info));
    const int colour_type = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) != 8 ||
        (colour_type != PNG_COLOR_TYPE_RGB && colour_type != PNG_COLOR_TYPE_RGBA)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    const int channels = colour_type == PNG_COLOR_TYPE_RGBA ? 4 : 3;
    std::vector<uint8_t> row(static_cast<size_t>(w) * channels);
    rgb.assign(static_cast<size_t>(w) * h * 3, 0);
    for (int y = 0; y < h; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (int x = 0; x < w; ++x)
            std::memcpy(&rgb[(static_cast<size_t>(y) * w + x) * 3], &row[static_cast<size_t>(x) * channels],
                        3);
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    width = w;
    height = h;
    return true;
}
}  // namespace

bool read_png(const std::string& path, std::vector<uint16_t>& pixels, int& width, int& height) {
    std::vector<uint8_t> rgb;
    if (!read_rgb(path, rgb, width, height)) return false;
    pixels.resize(rgb.size() / 3);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint16_t>(((rgb[i * 3] >> 3) << 10) | ((rgb[i * 3 + 1] >> 3) << 5) |
                                          (rgb[i * 3 + 2] >> 3));
    return true;
}

bool regenerating() {
    const char* v = std::getenv("VORTHAN_REGEN_GOLDEN");
    return v && std::strcmp(v, "1") == 0;
}

::testing::AssertionResult matches(const std::string& golden_path, const uint16_t* pixels, int width,
                                   int height, int pitch) {
    if (regenerating()) {
        if (!write_png(golden_path, pixels, width, height, pitch))
            return ::testing::AssertionFailure() << "cannot write " << golden_path;
        return ::testing::AssertionSuccess();
    }
    std::vector<uint8_t> want;
    int ew = 0, eh = 0;
    if (!read_rgb(golden_path, want, ew, eh))
        return ::testing::AssertionFailure()
               << "cannot read golden picture " << golden_path << " (VORTHAN_REGEN_GOLDEN=1 writes it)";
    const std::filesystem::path actual_path = std::filesystem::temp_directory_path() / "vorthan-golden" /
                                              std::filesystem::path(golden_path).filename();
    if (ew != width || eh != height) {
        write_png(actual_path.string(), pixels, width, height, pitch);
        return ::testing::AssertionFailure()
               << golden_path << " is " << ew << "x" << eh << ", the picture is " << width << "x" << height
               << "; actual in " << actual_path;
    }
    const std::vector<uint8_t> got = to_rgb888(pixels, width, height, pitch);
    if (want == got) return ::testing::AssertionSuccess();
    size_t first = 0, differing = 0;
    for (size_t i = 0; i < want.size(); i += 3) {
        if (std::memcmp(&want[i], &got[i], 3) == 0) continue;
        if (differing++ == 0) first = i / 3;
    }
    write_png(actual_path.string(), pixels, width, height, pitch);
    return ::testing::AssertionFailure()
           << differing << " pixels differ from " << golden_path << ", first at (" << first % width << ", "
           << first / width << "); actual in " << actual_path;
}

}  // namespace golden
