// forge book: a book text (UTF-8 source) in the game code page, checked for
// its paragraph headers and its markup's brackets.
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/file_write.h"
#include "base/strings.h"
#include "commands.h"

namespace {

// The line of a byte offset, counted from 1.
int line_of(const std::string& text, size_t offset) {
    int line = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i)
        if (text[i] == '\n') ++line;
    return line;
}

// The source must start with a paragraph header, and every tag must close
// before the next one opens; an ampersand makes the next character plain text.
void check_book(const std::string& text, const std::string& name) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) throw std::runtime_error(name + ": no paragraph");
    if (text[first] != '[' || first + 1 >= text.size() || text[first + 1] < '0' || text[first + 1] > '9')
        throw std::runtime_error(name + ":" + std::to_string(line_of(text, first)) +
                                 ": the text must start with a paragraph header such as [1]");
    bool in_tag = false;
    size_t tag_start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '&' && !in_tag) {
            ++i;
        } else if (c == '<') {
            if (in_tag)
                throw std::runtime_error(name + ":" + std::to_string(line_of(text, i)) +
                                         ": a tag opens inside a tag");
            in_tag = true;
            tag_start = i;
        } else if (c == '>' && in_tag) {
            in_tag = false;
        }
    }
    if (in_tag)
        throw std::runtime_error(name + ":" + std::to_string(line_of(text, tag_start)) +
                                 ": a tag never closes");
}

int run(const std::vector<std::string>& args) {
    std::string source, output;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else if (source.empty())
            source = args[i];
        else
            throw std::runtime_error("unexpected argument " + args[i]);
    }
    if (source.empty() || output.empty()) throw std::runtime_error("usage: forge book <source.txt> -o <out>");
    std::ifstream in(source, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + source);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    check_book(text, source);
    size_t bad = 0;
    const auto converted = utf8_to_game_codepage(text, &bad);
    if (!converted)
        throw std::runtime_error(source + ":" + std::to_string(line_of(text, bad)) +
                                 ": a character the game's code page does not have");
    if (!write_file_atomic(output, *converted)) throw std::runtime_error("cannot write " + output);
    return 0;
}

forge_tool::forge_registration reg(
    {"book", "<source.txt> -o <kniha.txt>",
     "book text from UTF-8 to the game code page, its headers and tags checked", run});
}  // namespace
