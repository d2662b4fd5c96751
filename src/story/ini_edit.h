#pragma once
// Changing one value in the text of an INI file while keeping everything else
// (comments, blank lines, the order of keys and sections) as the player wrote it.
#include <string>
#include <string_view>

// The text with key = value in [section]: the line of the key's first value
// (the one the reader keeps) is replaced; a missing key is added after the
// last key line of the section's first block; a missing section is added at
// the end. New lines use the text's own line ending.
std::string ini_text_set(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);
