#include "pcx_bytes.h"

#include <algorithm>
#include <cstddef>

std::vector<uint8_t> make_pcx(const pcx_layout& layout) {
    // Sized once and filled in place: g++ 12 reports a false array-bounds
    // error for inserting behind the 128-byte header of a growing vector.
    std::vector<uint8_t> file(128 + layout.data.size() + layout.palette.size(), 0);
    auto put16 = [&](int offset, int v) {
        file[offset] = static_cast<uint8_t>(v);
        file[offset + 1] = static_cast<uint8_t>(v >> 8);
    };
    file[0] = 10, file[1] = 5, file[2] = 1, file[3] = 8, file[65] = 1;
    put16(4, layout.xmin);
    put16(6, layout.ymin);
    put16(8, layout.xmin + layout.width - 1);
    put16(10, layout.ymin + layout.height - 1);
    put16(66, layout.bytes_per_line ? layout.bytes_per_line : layout.width);
    std::copy(layout.data.begin(), layout.data.end(), file.begin() + 128);
    std::copy(layout.palette.begin(), layout.palette.end(), file.begin() + 128 + layout.data.size());
    return file;
}

std::vector<uint8_t> encode_rows(const std::vector<uint8_t>& pixels, int width, int height) {
    std::vector<uint8_t> out;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width;) {
            int run = 1;
            while (x + run < width && run < 63 && row[x + run] == row[x]) ++run;
            if (run > 1 || row[x] >= 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | run));
            out.push_back(row[x]);
            x += run;
        }
    }
    return out;
}
