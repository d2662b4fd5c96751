#include "forge/pcx_writer.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string_view>

#include "base/file_write.h"

namespace forge {

namespace {
void put16(std::vector<uint8_t>& out, size_t offset, int value) {
    out[offset] = static_cast<uint8_t>(value);
    out[offset + 1] = static_cast<uint8_t>(value >> 8);
}
}  // namespace

std::vector<uint8_t> encode_pcx(const indexed_image& image) {
    if (image.width <= 0 || image.height <= 0 || image.width > 0xFFFF || image.height > 0xFFFF ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height)
        throw std::runtime_error("PCX: the picture's size does not match its pixels or is too large");
    const int bytes_per_line = (image.width + 1) & ~1;
    if (bytes_per_line > 0xFFFF) throw std::runtime_error("PCX: the picture is too wide");
    std::vector<uint8_t> out(128, 0);
    out[0] = 10;  // manufacturer
    out[1] = 5;   // version with a 256-colour palette
    out[2] = 1;   // run-length coding
    out[3] = 8;   // bits per pixel
    put16(out, 8, image.width - 1);
    put16(out, 10, image.height - 1);
    put16(out, 12, 72);
    put16(out, 14, 72);
    out[65] = 1;  // planes
    put16(out, 66, bytes_per_line);
    put16(out, 68, 1);  // colour palette

    std::vector<uint8_t> row(bytes_per_line, 0);
    for (int y = 0; y < image.height; ++y) {
        std::copy_n(image.pixels.begin() + static_cast<ptrdiff_t>(y) * image.width, image.width, row.begin());
        for (int x = 0; x < bytes_per_line;) {
            int run = 1;
            while (x + run < bytes_per_line && run < 63 && row[x + run] == row[x]) ++run;
            if (run > 1 || row[x] >= 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | run));
            out.push_back(row[x]);
            x += run;
        }
    }
    out.push_back(12);
    out.insert(out.end(), image.palette.begin(), image.palette.end());
    return out;
}

void write_pcx(const std::string& path, const indexed_image& image) {
    const auto bytes = encode_pcx(image);
    if (!write_file_atomic(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        throw std::runtime_error(path + ": cannot write");
}

}  // namespace forge
