#pragma once
// String tables: numbered texts in the game code page (Kamenicky), their
// scrambled .ENC form, CSV translation tables in Windows-1250 and the
// language folder whose tables override texts by number.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct string_list {
    std::vector<std::optional<std::string>> entries;  // null entries allowed
};

string_list string_list_create(int count);
int string_list_count(const string_list& list);
// The stored text, or null when the index is out of range or the entry null.
const char* string_list_get(const string_list& list, int index);
// Grows the list to max(2 * count, index + 1) when index >= count.
const std::string* string_list_set(string_list& list, int index, const char* text);
int string_list_add(string_list& list, const char* text);  // first null entry, or the end
void string_list_insert(string_list& list, int index, const char* text);
void string_list_compact(string_list& list);
void string_list_free(string_list& list);

// Results of read_numbered_table (a positive value is the line of a syntax error).
constexpr int TABLE_OK = 0, TABLE_NOT_FOUND = -1, TABLE_NO_END_MARK = -2, TABLE_NO_MEMORY = -3;
// Reads path, or path with extension .ENC (scrambled) when path cannot be
// opened. An empty list is first given 256 entries.
int read_numbered_table(string_list& list, std::string_view path);
// Parses the text of a numbered table held in memory.
int parse_numbered_table(string_list& list, std::string_view text);
// Unscrambles the bytes of an .ENC file: each byte plus the previous result.
std::string unscramble_enc(std::string_view bytes);
std::string scramble_enc(std::string_view text);

// The file's lines (at most 255 characters each; longer lines are split), or
// nothing when it cannot be opened or read.
std::optional<string_list> read_text_lines(std::string_view path);

// Byte-wise conversions between the game code page and Windows-1250.
std::string to_windows1250(std::string_view game_text);
std::string to_game_codepage(std::string_view w1250);
// UTF-8 text to the game code page (ASCII and the 36 Czech and Slovak
// letters); nothing when a character has no place there, with its byte
// offset in *bad_offset.
std::optional<std::string> utf8_to_game_codepage(std::string_view utf8, size_t* bad_offset = nullptr);
// The game code page as UTF-8 (bytes outside it become U+FFFD).
std::string game_codepage_to_utf8(std::string_view game_text);

// name with its extension (from the first "." after the last separator)
// replaced by ext (which includes the dot), or ext appended.
std::string replace_extension(std::string_view name, std::string_view ext);

// CSV translation tables: id -> text (already converted to the game code page).
using language_table = std::map<int, std::string>;
struct csv_record {
    int id = 0;            // ids above INT_MAX (up to 4294967295) keep their 32-bit pattern
    long long number = 0;  // the id as written
    std::string text;      // as in the file, not converted
    int line = 0;          // the line the record starts on
};
// Records with an "id" and a "string" column, texts unconverted.
std::vector<csv_record> parse_csv_records(std::string_view bytes);
// Texts converted from Windows-1250 to the game code page.
language_table parse_csv_table(std::string_view bytes);
std::optional<language_table> read_csv_table(std::string_view path);
// "id,string" then every non-null entry, converted to Windows-1250.
std::string csv_table_text(const string_list& list);
// One record line: the id, a comma and the text converted to Windows-1250,
// quoted, with every double quote doubled.
std::string csv_record_line(long long id, std::string_view game_text);
// Writes the list as a CSV table, printing what it did; 0 success, 1 failure.
// A list without entries is not written (success).
int write_csv_table(std::string_view path, const string_list& list);

// The language folder (the lang folder joined with the -l code).
void set_language_folder(const char* path);  // null: no language
const std::string* language_folder();        // nullptr when no language
std::optional<std::string> language_file(std::string_view name);
void override_from_language(string_list& list, std::string_view table_name, std::string_view prefix = "");
std::optional<language_table> open_language_table(std::string_view file_name);
const char* language_text(const language_table* table, int id, const char* def);

// The interface texts, loaded from POPISY.TXT at start.
extern string_list ui_strings;
// Reads POPISY.TXT from the data folder into ui_strings and places the
// built-in texts; returns the reader's result. with_language: apply ui.csv.
int load_ui_strings(bool with_language);
