#include "forge/text_tables.h"

#include <cstdio>
#include <stdexcept>

#include "base/text_util.h"

namespace forge {
namespace {
[[noreturn]] void fail(std::string_view source_name, int line, const std::string& message) {
    throw std::runtime_error(std::string(source_name) + ":" + std::to_string(line) + ": " + message);
}

std::string describe_character(std::string_view text, size_t offset) {
    size_t pos = offset;
    char32_t cp = next_code_point(text, pos);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    if (pos - offset == 1 && cp >= 0x80) return std::string("the byte ") + code + " (not UTF-8)";
    return std::string("the character ") + code + " '" + std::string(text.substr(offset, pos - offset)) + "'";
}

// Converts one piece of text, reporting a character outside the code page
// at the line it sits on (first_line is the line text starts on).
std::string convert(std::string_view text, std::string_view source_name, int first_line) {
    size_t bad = 0;
    auto converted = utf8_to_game_codepage(text, &bad);
    if (converted) return *converted;
    int line = first_line;
    for (size_t i = 0; i < bad; ++i)
        if (text[i] == '\n') ++line;
    fail(source_name, line, describe_character(text, bad) + " is not in the game code page");
}
}  // namespace

std::string compile_text_table(std::string_view utf8_source, std::string_view source_name) {
    if (utf8_source.substr(0, 3) == "\xEF\xBB\xBF") utf8_source.remove_prefix(3);
    std::string game_text = convert(utf8_source, source_name, 1);
    string_list check;
    int result = parse_numbered_table(check, game_text);
    if (result == TABLE_NO_END_MARK) fail(source_name, 1, "the table does not end with the end mark -1");
    if (result > 0) fail(source_name, result, "a record must begin with its number (0-65535) or -1");
    if (result != TABLE_OK) fail(source_name, 1, "the table cannot be read");
    return game_text;
}

std::string scramble_text_table(std::string_view game_text) {
    return scramble_enc(game_text);
}

std::map<long long, std::string> csv_source_entries(std::string_view utf8_source,
                                                    std::string_view source_name) {
    if (utf8_source.substr(0, 3) == "\xEF\xBB\xBF") utf8_source.remove_prefix(3);
    std::string_view header = utf8_source.substr(0, utf8_source.find_first_of("\r\n"));
    if (header.find("id") == std::string_view::npos || header.find("string") == std::string_view::npos)
        fail(source_name, 1, "the first line must name the columns id and string");
    std::map<long long, std::string> entries;
    for (const auto& record : parse_csv_records(utf8_source)) {
        if (record.number < 0) fail(source_name, record.line, "the id is not 0-4294967295");
        if (entries.count(record.number)) fail(source_name, record.line, "the id repeats an earlier one");
        entries[record.number] = convert(record.text, source_name, record.line);
    }
    return entries;
}

std::string compile_csv_table(std::string_view utf8_source, std::string_view source_name) {
    std::string out = "id,string\n";
    for (const auto& [id, text] : csv_source_entries(utf8_source, source_name))
        out += csv_record_line(id, text);
    return out;
}

}  // namespace forge
