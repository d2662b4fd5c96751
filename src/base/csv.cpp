#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/file_write.h"
#include "base/paths.h"
#include "base/strings.h"

namespace {
struct csv_reader {
    std::string_view text;
    size_t pos = 0;
    int line = 1;

    bool at_end() const { return pos >= text.size(); }
    unsigned char peek() const { return static_cast<unsigned char>(text[pos]); }
    void advance() {
        if (text[pos] == '\n') ++line;
        ++pos;
    }

    // One field; tells whether another field follows on the same record.
    bool field(std::string& out) {
        out.clear();
        if (!at_end() && peek() == '"') {
            advance();
            while (!at_end()) {
                if (peek() == '"') {
                    advance();
                    if (at_end() || peek() != '"') break;
                }
                out += text[pos];
                advance();
            }
            // Whatever follows the closing quote up to the separator is ignored.
            while (!at_end() && peek() != ',' && peek() != '\r' && peek() != '\n') advance();
        } else {
            while (!at_end() && peek() != ',' && peek() != '\r' && peek() != '\n') {
                out += text[pos];
                advance();
            }
        }
        if (!at_end() && peek() == ',') {
            advance();
            return true;
        }
        return false;
    }

    // The fields of the next record; false at the end of the text.
    bool record(std::vector<std::string>& fields, int& start_line) {
        fields.clear();
        while (!at_end() && peek() < 0x20) advance();
        if (at_end()) return false;
        start_line = line;
        std::string value;
        bool more;
        do {
            more = field(value);
            fields.push_back(value);
        } while (more);
        return true;
    }
};

// Ids are 32-bit: map names use unsigned hash values, which keep their bit
// pattern as an int.
bool parse_id(const std::string& text, long long& number, int& id) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text.c_str(), &end, 10);
    while (*end == ' ' || *end == '\t') ++end;
    if (end == text.c_str() || *end || errno == ERANGE || value < INT_MIN || value > UINT32_MAX) return false;
    number = value;
    id = static_cast<int>(static_cast<uint32_t>(value));
    return true;
}
}  // namespace

std::vector<csv_record> parse_csv_records(std::string_view bytes) {
    std::vector<csv_record> records;
    csv_reader reader{bytes};
    std::vector<std::string> fields;
    int line = 0;
    if (!reader.record(fields, line)) return records;
    int id_column = -1, string_column = -1;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] == "id" && id_column < 0) id_column = static_cast<int>(i);
        if (fields[i] == "string" && string_column < 0) string_column = static_cast<int>(i);
    }
    if (id_column < 0 || string_column < 0) return records;
    size_t needed = static_cast<size_t>(std::max(id_column, string_column));
    while (reader.record(fields, line)) {
        csv_record record;
        if (fields.size() <= needed || !parse_id(fields[id_column], record.number, record.id)) continue;
        record.text = std::move(fields[string_column]);
        record.line = line;
        records.push_back(std::move(record));
    }
    return records;
}

language_table parse_csv_table(std::string_view bytes) {
    language_table table;
    for (auto& record : parse_csv_records(bytes)) table[record.id] = to_game_codepage(record.text);
    return table;
}

std::optional<language_table> read_csv_table(std::string_view path) {
    FILE* file = open_file(path, "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) return std::nullopt;
    return parse_csv_table(bytes);
}

std::string csv_record_line(long long id, std::string_view game_text) {
    std::string out = std::to_string(id);
    out += ",\"";
    for (char c : to_windows1250(game_text)) {
        if (c == '"') out += '"';
        out += c;
    }
    out += "\"\n";
    return out;
}

std::string csv_table_text(const string_list& list) {
    std::string out = "id,string\n";
    for (int i = 0; i < string_list_count(list); ++i)
        if (const char* text = string_list_get(list, i)) out += csv_record_line(i, text);
    return out;
}

int write_csv_table(std::string_view path, const string_list& list) {
    std::string name(path);
    bool any = false;
    for (const auto& entry : list.entries) any = any || entry.has_value();
    if (!any) {
        std::printf("Empty string table not stored: %s\n", name.c_str());
        return 0;
    }
    if (!write_file_atomic(path, csv_table_text(list))) {
        std::fprintf(stderr, "Failed to open %s for writing\n", name.c_str());
        return 1;
    }
    std::printf("Writing file: %s\n", name.c_str());
    return 0;
}
