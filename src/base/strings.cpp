#include "base/strings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "base/paths.h"

string_list ui_strings;

string_list string_list_create(int count) {
    string_list list;
    list.entries.resize(std::max(count, 0));
    return list;
}

int string_list_count(const string_list& list) {
    return static_cast<int>(list.entries.size());
}

const char* string_list_get(const string_list& list, int index) {
    if (index < 0 || index >= string_list_count(list) || !list.entries[index]) return nullptr;
    return list.entries[index]->c_str();
}

const std::string* string_list_set(string_list& list, int index, const char* text) {
    if (index < 0) return nullptr;
    int count = string_list_count(list);
    if (index >= count) list.entries.resize(std::max(2 * count, index + 1));
    if (!text) {
        list.entries[index].reset();
        return nullptr;
    }
    list.entries[index] = text;
    return &*list.entries[index];
}

int string_list_add(string_list& list, const char* text) {
    auto it = std::find(list.entries.begin(), list.entries.end(), std::nullopt);
    int index = static_cast<int>(it - list.entries.begin());
    string_list_set(list, index, text);
    return index;
}

void string_list_insert(string_list& list, int index, const char* text) {
    if (index < 0) return;
    if (index > string_list_count(list)) list.entries.resize(index);
    std::optional<std::string> entry;
    if (text) entry = text;
    list.entries.insert(list.entries.begin() + index, std::move(entry));
}

void string_list_compact(string_list& list) {
    std::stable_partition(list.entries.begin(), list.entries.end(),
                          [](const auto& e) { return e.has_value(); });
}

void string_list_free(string_list& list) {
    list.entries.clear();
    list.entries.shrink_to_fit();
}

std::string replace_extension(std::string_view name, std::string_view ext) {
    size_t last_sep = name.find_last_of("/\\");
    size_t start = last_sep == std::string_view::npos ? 0 : last_sep + 1;
    size_t dot = name.find('.', start);
    std::string out(name.substr(0, dot));
    out += ext;
    return out;
}

std::string unscramble_enc(std::string_view bytes) {
    std::string out(bytes);
    unsigned char previous = 0;
    for (char& c : out) {
        previous = static_cast<unsigned char>(previous + static_cast<unsigned char>(c));
        c = static_cast<char>(previous);
    }
    return out;
}

std::string scramble_enc(std::string_view text) {
    std::string out(text);
    unsigned char previous = 0;
    for (char& c : out) {
        unsigned char plain = static_cast<unsigned char>(c);
        c = static_cast<char>(static_cast<unsigned char>(plain - previous));
        previous = plain;
    }
    return out;
}

namespace {
// The longest text of one record; the rest of a longer line is dropped.
constexpr size_t max_record_text = 1021;
// Record numbers are entry indexes: anything outside this range is a
// syntax error rather than a reason to allocate a huge list.
constexpr long max_record_number = 65535;

bool read_whole_file(FILE* file, std::string& out) {
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, n);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}
}  // namespace

int parse_numbered_table(string_list& list, std::string_view text) {
    size_t pos = 0;
    int line = 1;
    auto at = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    try {
        for (;;) {
            // Blank space and comment lines before a record.
            while (pos < text.size()) {
                unsigned char c = at(pos);
                if (c == '\n') {
                    ++line;
                    ++pos;
                } else if (c == '\r' || c == ' ' || c == '\t') {
                    ++pos;
                } else if (c == ';') {
                    while (pos < text.size() && at(pos) != '\n') ++pos;
                } else {
                    break;
                }
            }
            if (pos >= text.size()) return TABLE_NO_END_MARK;
            bool negative = false;
            if (at(pos) == '-' || at(pos) == '+') negative = at(pos++) == '-';
            size_t digits_start = pos;
            long number = 0;
            while (pos < text.size() && at(pos) >= '0' && at(pos) <= '9') {
                if (number <= max_record_number) number = number * 10 + (at(pos) - '0');
                ++pos;
            }
            if (pos == digits_start) return line;
            if (negative) number = -number;
            if (number == -1) return TABLE_OK;
            if (number < 0 || number > max_record_number) return line;
            while (pos < text.size() && at(pos) <= 0x20 && at(pos) != '\n') ++pos;
            size_t end = text.find('\n', pos);
            if (end == std::string_view::npos) end = text.size();
            std::string record(text.substr(pos, std::min(end - pos, max_record_text)));
            pos = end;
            size_t keep = record.size();
            while (keep > 0 && static_cast<unsigned char>(record[keep - 1]) <= 0x20) --keep;
            record.resize(keep);
            std::replace(record.begin(), record.end(), '|', '\n');
            string_list_set(list, static_cast<int>(number), record.c_str());
        }
    } catch (const std::bad_alloc&) {
        return TABLE_NO_MEMORY;
    }
}

int read_numbered_table(string_list& list, std::string_view path) {
    if (list.entries.empty()) list.entries.resize(256);
    std::string text;
    if (FILE* file = open_file(path, "rb")) {
        if (!read_whole_file(file, text)) return TABLE_NOT_FOUND;
        return parse_numbered_table(list, text);
    }
    FILE* file = open_file(replace_extension(path, ".ENC"), "rb");
    if (!file) return TABLE_NOT_FOUND;
    std::string scrambled;
    if (!read_whole_file(file, scrambled)) return TABLE_NOT_FOUND;
    // The unscrambled text would be parked in the temporary-file store as
    // "__enc_temp" while it is parsed; holding it here in memory does the same.
    return parse_numbered_table(list, unscramble_enc(scrambled));
}

std::optional<string_list> read_text_lines(std::string_view path) {
    FILE* file = open_file(path, "r");
    if (!file) return std::nullopt;
    string_list lines;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, file)) {
        size_t n = std::strlen(buffer);
        if (n && buffer[n - 1] == '\n') buffer[--n] = 0;
        if (n && buffer[n - 1] == '\r') buffer[--n] = 0;
        lines.entries.emplace_back(std::string(buffer, n));
    }
    bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) return std::nullopt;
    return lines;
}
