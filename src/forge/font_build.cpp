// Encoding glyph bitmaps into the font file format.
#include "forge/font_build.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unordered_map>

namespace forge {

void add_shadow(font_glyph& glyph) {
    font_glyph shadowed(glyph.width + 1, glyph.height + 1);
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x) shadowed.at(x, y) = glyph.at(x, y);
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            if (glyph.at(x, y) > FONT_SHADOW_CODE && shadowed.at(x + 1, y + 1) == 0)
                shadowed.at(x + 1, y + 1) = FONT_SHADOW_CODE;
    glyph = std::move(shadowed);
}

std::vector<uint8_t> encode_glyph_codes(const font_glyph& glyph) {
    std::vector<uint8_t> codes;
    int run = 0;  // transparent pixels not yet written
    auto flush_run = [&] {
        while (run >= 2) {
            const int n = run > 248 ? 248 : run;
            codes.push_back(static_cast<uint8_t>(n + 6));
            run -= n;
        }
        if (run == 1) codes.push_back(0);
        run = 0;
    };
    for (int x = 0; x < glyph.width; ++x) {
        for (int y = 0; y < glyph.height; ++y) {
            const uint8_t code = glyph.at(x, y);
            if (code > 7) throw std::runtime_error("glyph pixel code above 7");
            if (code == 0) {
                ++run;
                continue;
            }
            flush_run();
            codes.push_back(code);
        }
    }
    if (run > 0) codes.push_back(255);
    return codes;
}

std::vector<uint8_t> encode_font(const font_glyphs& glyphs) {
    std::vector<uint8_t> file(512, 0);
    std::unordered_map<std::string, uint16_t> shared;  // glyph bytes -> offset
    for (int c = 0; c < 256; ++c) {
        if (!glyphs[c]) continue;
        const font_glyph& glyph = *glyphs[c];
        if (glyph.width < 0 || glyph.height < 0 || glyph.width > FONT_MAX_GLYPH_SIZE ||
            glyph.height > FONT_MAX_GLYPH_SIZE)
            throw std::runtime_error("glyph " + std::to_string(c) + " is larger than 255 x 255 pixels");
        std::vector<uint8_t> bytes{static_cast<uint8_t>(glyph.width), static_cast<uint8_t>(glyph.height)};
        const std::vector<uint8_t> codes = encode_glyph_codes(glyph);
        bytes.insert(bytes.end(), codes.begin(), codes.end());
        uint16_t offset;
        const std::string key(bytes.begin(), bytes.end());
        auto found = shared.find(key);
        if (found != shared.end()) {
            offset = found->second;
        } else {
            if (file.size() > 0xFFFF)
                throw std::runtime_error("the font does not fit in 64 KB (glyph " + std::to_string(c) + ")");
            offset = static_cast<uint16_t>(file.size());
            file.insert(file.end(), bytes.begin(), bytes.end());
            shared.emplace(key, offset);
        }
        file[c * 2] = static_cast<uint8_t>(offset & 0xFF);
        file[c * 2 + 1] = static_cast<uint8_t>(offset >> 8);
    }
    return file;
}

void write_font_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + temp + ": " + std::strerror(errno));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string reason = std::strerror(errno);
            ::close(fd);
            ::unlink(temp.c_str());
            throw std::runtime_error("cannot write " + temp + ": " + reason);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        ::unlink(temp.c_str());
        throw std::runtime_error("cannot write " + temp + ": " + std::strerror(errno));
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw std::runtime_error("cannot rename " + temp + " to " + path + ": " + std::strerror(errno));
    }
}

std::string read_source_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw std::runtime_error("cannot read " + path);
    return text.str();
}

}  // namespace forge
