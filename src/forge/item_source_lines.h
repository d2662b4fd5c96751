#pragma once
// Line-by-line reading shared by the item and character sources: one
// keyword and its arguments a line, '#' starts a comment.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace forge {

struct source_line {
    int number = 0;                  // from 1
    std::vector<std::string> words;  // split at blanks
    std::string rest;                // everything after the first word, trimmed
};

// The lines that hold something, comments and blank lines left out.
std::vector<source_line> split_source_lines(std::string_view text);

// "<source_name>:<line>: <what>" as the error every source reports.
std::runtime_error source_error(std::string_view source_name, int line, const std::string& what);

// A whole decimal number within [min, max], or throws naming the line.
long source_number(const std::string& word, long min, long max, std::string_view source_name, int line);

}  // namespace forge
