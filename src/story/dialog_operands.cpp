// The tagged operands at the code pointer: numbers, dialog variables and
// texts, never read past the end of the code area.
#include "base/strings.h"
#include "story/dialog_internal.h"

namespace dialog_detail {
namespace {

// The texts of the two tag errors, as the game has always written them.
const char* const NUMBER_EXPECTED =
    "O\xEF\xBF\xBD"
    "ek\xEF\xBF\xBDv\xEF\xBF\xBD se \xEF\xBF\xBD\xEF\xBF\xBDslo";
const char* const STRING_EXPECTED =
    "O\xEF\xBF\xBD"
    "ek\xEF\xBF\xBDv\xEF\xBF\xBD se \xEF\xBF\xBD"
    "et\xEF\xBF\xBDzec nebo index do tabulky "
    "\xEF\xBF\xBD"
    "et\xEF\xBF\xBDzc\xEF\xBF\xBD";

size_t code_size() {
    const dialog_file& f = game_dialogs();
    return f.bytes.size() - f.code_start;
}

uint8_t byte_at(size_t position) {
    if (position >= code_size()) fail("Read past the end of the dialogs");
    return game_dialogs().bytes[game_dialogs().code_start + position];
}

int take_byte() {
    return byte_at(dialog.code_pointer++);
}

int take_u16() {
    const int low = take_byte();
    return low | take_byte() << 8;
}

// An inline text: the bytes up to the terminator, which must lie in the code area.
std::string take_inline() {
    const dialog_file& f = game_dialogs();
    const size_t start = dialog.code_pointer;
    size_t end = start;
    while (byte_at(end) != 0) ++end;
    dialog.code_pointer = end + 1;
    std::string raw(reinterpret_cast<const char*>(f.bytes.data() + f.code_start + start), end - start);
    return dialogs_world().translate(uint32_t(f.code_start + start), raw);
}

}  // namespace

int read_number() {
    const int tag = take_byte();
    if (tag == TAG_NUMBER) return int16_t(take_u16());
    if (tag == TAG_VARIABLE) {
        const int index = take_u16();
        if (index >= DIALOG_VARIABLES) fail("Dialog variable out of range");
        return dialog.variables[index];
    }
    fail(NUMBER_EXPECTED);
}

int read_variable_index() {
    const int index = read_number();
    if (index < 0 || index >= DIALOG_VARIABLES) fail("Dialog variable out of range");
    return index;
}

int read_flag_bit() {
    const int bit = read_number();
    if (bit < 0 || bit >= DIALOG_FLAG_BITS) fail("Dialog flag out of range");
    return bit;
}

int read_slot_number() {
    const int slot = read_number();
    if (slot < 0 || slot >= SELECTION_SLOTS) fail("Selection slot out of range");
    return slot;
}

std::string read_string() {
    const int tag = take_byte();
    std::string text;
    if (tag == TAG_NUMBER) {
        const int number = int16_t(take_u16());
        text = expand(number > 0 ? dialogs_world().map_text(number) : dialogs_world().ui_text(-number));
    } else if (tag == TAG_TEXT) {
        // Inline texts in a row, each with its own tag, make one string.
        text = expand(take_inline());
        while (dialog.code_pointer < code_size() && byte_at(dialog.code_pointer) == TAG_TEXT) {
            ++dialog.code_pointer;
            text += expand(take_inline());
            if (text.size() >= DIALOG_EXPAND_SIZE) text.resize(DIALOG_EXPAND_SIZE - 1);
        }
    } else {
        fail(STRING_EXPECTED);
    }
    if (dialog.text_mode == 2) text = to_game_codepage(text);
    return text;
}

}  // namespace dialog_detail
