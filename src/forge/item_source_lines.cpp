#include "forge/item_source_lines.h"

#include <cerrno>
#include <cstdlib>

namespace forge {

namespace {
bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}
}  // namespace

std::vector<source_line> split_source_lines(std::string_view text) {
    std::vector<source_line> lines;
    int number = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        line = trim(line);
        if (line.empty()) continue;
        source_line out;
        out.number = number;
        size_t first_end = 0;
        while (first_end < line.size() && !is_blank(line[first_end])) ++first_end;
        out.rest = std::string(trim(line.substr(first_end)));
        size_t pos = 0;
        while (pos < line.size()) {
            while (pos < line.size() && is_blank(line[pos])) ++pos;
            size_t start = pos;
            while (pos < line.size() && !is_blank(line[pos])) ++pos;
            if (pos > start) out.words.emplace_back(line.substr(start, pos - start));
        }
        lines.push_back(std::move(out));
    }
    return lines;
}

std::runtime_error source_error(std::string_view source_name, int line, const std::string& what) {
    return std::runtime_error(std::string(source_name) + ":" + std::to_string(line) + ": " + what);
}

long source_number(const std::string& word, long min, long max, std::string_view source_name, int line) {
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != '\0' || errno != 0)
        throw source_error(source_name, line, "'" + word + "' is not a number");
    if (value < min || value > max)
        throw source_error(source_name, line,
                           word + " lies outside " + std::to_string(min) + ".." + std::to_string(max));
    return value;
}

}  // namespace forge
