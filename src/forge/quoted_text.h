#pragma once
// Quoted texts in the forge's source languages: "..." in UTF-8, with the
// escapes \" and \\ and \xNN (a byte of the game's code page), turned into
// the game's code page.
#include <string>
#include <string_view>

namespace forge {

// The text from line[pos] (its opening quote); pos is left after the
// closing quote. On a fault `error` says what is wrong (the caller adds the
// file and line) and the text is empty.
std::string read_quoted_text(std::string_view line, size_t& pos, std::string& error);

}  // namespace forge
