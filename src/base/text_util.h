#pragma once
// Small text helpers shared by the start-up code and the forge.
#include <string>
#include <string_view>

// Decodes one UTF-8 sequence at text[pos], advancing pos; a malformed byte
// is returned as itself (so Latin-1 bytes survive) and counts as one.
char32_t next_code_point(std::string_view text, size_t& pos);
void append_utf8(std::string& out, char32_t cp);
// Lower case of Latin letters (ASCII, Latin-1, Latin Extended-A); others unchanged.
char32_t fold_case(char32_t cp);
// UTF-8 comparison without regard to case.
bool equal_ignoring_case(std::string_view a, std::string_view b);
// ASCII letters, digits and the accented letters of the Latin blocks.
bool is_letter_or_digit(char32_t cp);

std::string_view trim_blanks(std::string_view text);       // blanks and tabs at both ends
std::string_view trim_right_space(std::string_view text);  // every byte up to 0x20 at the end
