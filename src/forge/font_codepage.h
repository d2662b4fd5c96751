#pragma once
// The game's 8-bit code page (Kamenický) as Unicode, for building fonts.
#include <cstdint>

namespace forge {

// The Unicode character of a code page byte, 0 for the control codes 0-31 and 127.
char32_t codepage_to_unicode(uint8_t byte);

}  // namespace forge
