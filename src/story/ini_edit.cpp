#include "story/ini_edit.h"

#include <vector>

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

struct text_line {
    size_t start, end;  // end excludes the line feed
};

std::vector<text_line> split_lines(std::string_view text) {
    std::vector<text_line> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back({pos, end});
        pos = end + 1;
    }
    return lines;
}

bool is_header(std::string_view line, std::string_view* name) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return false;
    *name = trim(line.substr(1, line.size() - 2));
    return true;
}

bool is_key_line(std::string_view line, std::string_view* key) {
    line = trim(line);
    if (line.empty() || line[0] == '#') return false;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    *key = trim(line.substr(0, equals));
    return true;
}

}  // namespace

std::string ini_text_set(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
    const std::string_view eol = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    std::string new_line = std::string(key) + " = " + std::string(value);
    const std::vector<text_line> lines = split_lines(text);

    std::string_view current;  // keys before the first header belong to ""
    bool in_section = section.empty();
    bool seen_section = in_section;
    bool first_block_open = in_section;
    size_t insert_at = std::string_view::npos;  // after the first block's last key line
    size_t header_end = std::string_view::npos;
    for (const text_line& l : lines) {
        std::string_view line = text.substr(l.start, l.end - l.start);
        std::string_view name;
        if (is_header(line, &name)) {
            if (in_section) first_block_open = false;
            current = name;
            in_section = current == section;
            if (in_section && !seen_section) {
                seen_section = first_block_open = true;
                header_end = l.end;
            }
            continue;
        }
        std::string_view found;
        if (!in_section || !is_key_line(line, &found)) continue;
        if (found == key) {
            size_t line_end = l.end;
            if (line_end > l.start && text[line_end - 1] == '\r') --line_end;  // keep the CR
            return std::string(text.substr(0, l.start)) + new_line + std::string(text.substr(line_end));
        }
        if (first_block_open) insert_at = l.end;
    }
    if (insert_at == std::string_view::npos) insert_at = header_end;
    if (insert_at != std::string_view::npos) {
        // After a line: the line's own ending (or one added at the end of the text).
        if (insert_at >= text.size())
            return std::string(text) + std::string(eol) + new_line + std::string(eol);
        return std::string(text.substr(0, insert_at + 1)) + new_line + std::string(eol) +
               std::string(text.substr(insert_at + 1));
    }
    std::string out(text);
    if (section.empty()) return new_line + std::string(eol) + out;
    if (!out.empty() && out.back() != '\n') out += eol;
    if (!out.empty()) out += eol;
    return out + "[" + std::string(section) + "]" + std::string(eol) + new_line + std::string(eol);
}
