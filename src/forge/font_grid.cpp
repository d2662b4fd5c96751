// Parser of drawn glyph sources.
#include "forge/font_grid.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace forge {

namespace {

[[noreturn]] void fail(int line, const std::string& what) {
    throw std::runtime_error("glyph source line " + std::to_string(line) + ": " + what);
}

int parse_code(std::string_view word, int line) {
    if (word.size() == 3 && word.front() == '\'' && word.back() == '\'') return static_cast<uint8_t>(word[1]);
    try {
        size_t used = 0;
        const int code = std::stoi(std::string(word), &used, 0);
        if (used == word.size() && code >= 0 && code <= 255) return code;
    } catch (const std::exception&) {
    }
    fail(line, "the glyph code must be 0-255 or a quoted character");
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

font_glyphs parse_glyph_grid(std::string_view text) {
    font_glyphs glyphs;
    int code = -1;
    int code_line = 0;
    std::vector<std::string> rows;
    auto finish = [&] {
        if (code < 0) return;
        if (rows.empty()) fail(code_line, "the glyph has no rows");
        size_t width = 0;
        for (const auto& row : rows) width = std::max(width, row.size());
        if (width > FONT_MAX_GLYPH_SIZE || rows.size() > FONT_MAX_GLYPH_SIZE)
            fail(code_line, "the glyph is larger than 255 x 255 pixels");
        font_glyph glyph(static_cast<int>(width), static_cast<int>(rows.size()));
        for (size_t y = 0; y < rows.size(); ++y)
            for (size_t x = 0; x < rows[y].size(); ++x) {
                const char ch = rows[y][x];
                if (ch >= '1' && ch <= '7') glyph.at(static_cast<int>(x), static_cast<int>(y)) = ch - '0';
            }
        glyphs[code] = std::move(glyph);
        code = -1;
        rows.clear();
    };

    int line = 0;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view row = trim(text.substr(start, end - start));
        ++line;
        start = end + 1;
        if (!row.empty() && row.front() == '#') continue;
        if (row.empty()) {
            finish();
        } else if (row.substr(0, 6) == "glyph ") {
            finish();
            std::string_view word = row.substr(6);
            while (!word.empty() && word.front() == ' ') word.remove_prefix(1);
            code = parse_code(word, line);
            code_line = line;
            if (glyphs[code]) fail(line, "glyph " + std::to_string(code) + " is drawn twice");
        } else {
            if (code < 0) fail(line, "a picture row outside a glyph");
            for (char ch : row)
                if (ch != '.' && ch != ' ' && (ch < '1' || ch > '7'))
                    fail(line, "unknown pixel '" + std::string(1, ch) + "'");
            rows.emplace_back(row);
        }
        if (end >= text.size()) break;
    }
    finish();
    return glyphs;
}

}  // namespace forge
