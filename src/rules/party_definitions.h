#pragma once
// The character definitions file POSTAVY.DAT: up to 20 definitions of
// numbered entries, each ended by an empty line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "rules/party.h"

struct definitions_result {
    int count = 0;      // definitions read
    int line = 0;       // 0 when the file was read; else the line (from 1) that failed
    std::string error;  // the text shown to the player when it failed
};

// Parses the text into `definitions` (CHARACTER_DEFINITIONS records) and sets
// the rune bits it names in `runes` (RUNE_GROUPS bytes). On failure the
// definitions before the failing one are kept.
definitions_result parse_character_definitions(const char* text, size_t size, party_member* definitions,
                                               uint8_t* runes);

// Reads POSTAVY.DAT into character_definitions and the party's runes; a file
// that cannot be read or parsed ends the program with its message.
void load_character_definitions();
