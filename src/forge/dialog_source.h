#pragma once
// Dialog sources: conversations written as named dialogs and paragraphs, one
// statement a line, compiled into dialogy.dat; their English texts written
// beside the Czech ones become the dialogs' language table; and the listing
// that prints any dialogy.dat back in the same language.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace forge {

struct compiled_items;

struct dialog_source_file {
    std::string name;  // named in errors
    std::string text;  // UTF-8
};

// What names in the sources may refer to outside them.
struct dialog_references {
    const compiled_items* items = nullptr;  // GIVE_ITEM, TAKE_ITEM, HAS_ITEM by item name
    std::vector<std::string> characters;    // JOIN by name: the character definitions in order
};

struct dialog_translation {
    uint32_t offset = 0;  // the text's first byte in dialogy.dat
    std::string text;     // game code page
};

struct compiled_dialogs {
    std::vector<uint8_t> file;                // dialogy.dat
    std::vector<dialog_translation> english;  // in file order
};

// Compiles the sources together (dialogs, paragraphs and flags are shared by
// all of them). Throws std::runtime_error "<source>:<line>: <what>" for the
// first fault.
compiled_dialogs compile_dialog_sources(std::span<const dialog_source_file> sources,
                                        const dialog_references& references = {});
compiled_dialogs compile_dialog_source(std::string_view utf8_source, std::string_view source_name,
                                       const dialog_references& references = {});

// dialogs.csv in Windows-1250: each English text keyed by its offset.
std::string dialogs_csv_text(const compiled_dialogs& dialogs);

// The names of the characters of a character source, in the order the game
// numbers them (what JOIN may name).
std::vector<std::string> character_names_of_source(std::string_view utf8_source);

// Any dialogy.dat printed as dialog source. Code the language cannot read
// back the same way is printed as raw bytes, so the listing compiles back to
// the same file. Throws std::runtime_error only when the header or the
// paragraph table cannot be read at all.
std::string list_dialog_file(std::span<const uint8_t> bytes);

}  // namespace forge
