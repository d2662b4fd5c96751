#pragma once
// Numbered text tables and CSV translation tables from UTF-8 sources.
#include <map>
#include <string>
#include <string_view>

#include "base/strings.h"

namespace forge {

// A numbered text table written in UTF-8 -> the same table in the game code
// page, ready to be read by read_numbered_table. Throws std::runtime_error
// naming source_name and the line for a character outside the code page, a
// syntax error or a missing end mark (-1).
std::string compile_text_table(std::string_view utf8_source, std::string_view source_name);

// The scrambled .ENC form of a compiled table.
std::string scramble_text_table(std::string_view game_text);

// A CSV table written in UTF-8 (columns "id" and "string") -> the Windows-1250
// CSV the game reads, records in id order. Throws naming source_name and the
// line of a record whose text has a character outside the code page, or
// whose id is not 0-4294967295 or repeats.
std::string compile_csv_table(std::string_view utf8_source, std::string_view source_name);

// The records of a UTF-8 CSV source by id, texts in the game code page.
std::map<long long, std::string> csv_source_entries(std::string_view utf8_source,
                                                    std::string_view source_name);

}  // namespace forge
