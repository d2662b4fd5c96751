#pragma once
// Spell sources: each spell written as its record's fields by name and its
// code as one instruction a line, compiled into the spell definition file
// (kouzla.dat) and its names table; and the listing that prints any spell
// file back in the same language.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace forge {

struct compiled_items;

struct spell_source_file {
    std::string name;  // named in errors
    std::string text;  // UTF-8
};

struct compiled_spells {
    std::vector<uint8_t> file;       // kouzla.dat: 105 records (code 0 = not defined), then the code
    std::vector<std::string> names;  // per spell, game code page; "" where none is defined
};

// Compiles the sources together (a spell may be defined in any of them, once).
// Item operands may name items when `items` is given. Throws
// std::runtime_error "<source>:<line>: <what>" for the first fault.
compiled_spells compile_spell_sources(std::span<const spell_source_file> sources,
                                      const compiled_items* items = nullptr);
compiled_spells compile_spell_source(std::string_view utf8_source, std::string_view source_name,
                                     const compiled_items* items = nullptr);

// spells.csv in Windows-1250: text i names spell i, for the defined spells.
std::string spells_csv_text(const compiled_spells& spells);

// Any spell file printed as spell source. Code the language has no
// instruction for is printed as raw bytes, so the listing assembles back to
// the same code. Throws std::runtime_error when the file cannot be read at all.
std::string list_spell_file(std::span<const uint8_t> bytes);

}  // namespace forge
