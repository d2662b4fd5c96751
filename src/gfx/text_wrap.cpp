// Word wrapping in the current font.
#include <algorithm>

#include "gfx/font.h"

namespace {

void add_line(wrapped_text& out, std::string_view line) {
    out.lines.emplace_back(line);
    out.height += text_height(line);
}

// Breaks one paragraph that is wider than max_width into lines.
void wrap_paragraph(wrapped_text& out, std::string_view paragraph, int max_width) {
    size_t start = 0;
    while (start < paragraph.size()) {
        int sum = 0;
        size_t last_space = std::string_view::npos;
        size_t break_at = std::string_view::npos;
        for (size_t i = start; i < paragraph.size(); ++i) {
            const uint8_t c = static_cast<uint8_t>(paragraph[i]);
            // A space at the very start of a line would leave an empty line.
            if (c == ' ' && i > start) last_space = i;
            sum += glyph_width(current_font, c);
            if (sum > max_width && last_space != std::string_view::npos) {
                break_at = last_space;
                break;
            }
        }
        if (break_at == std::string_view::npos) {  // the rest fits, or has no space to break at
            add_line(out, paragraph.substr(start));
            return;
        }
        add_line(out, paragraph.substr(start, break_at - start));
        start = break_at + 1;
    }
}

}  // namespace

wrapped_text wrap_text(std::string_view source, int max_width) {
    wrapped_text out;
    // A line feed at the very end closes the last paragraph and opens none.
    if (!source.empty() && source.back() == '\n') source.remove_suffix(1);
    if (source.empty()) return out;
    size_t start = 0;
    while (true) {
        const size_t end = std::min(source.find('\n', start), source.size());
        const std::string_view paragraph = source.substr(start, end - start);
        const int width = text_width(paragraph);
        if (width <= max_width) {
            add_line(out, paragraph);
            out.width = std::max(out.width, width);
        } else {
            wrap_paragraph(out, paragraph, max_width);
            out.width = std::max(out.width, max_width);
        }
        if (end >= source.size()) break;
        start = end + 1;
    }
    return out;
}
