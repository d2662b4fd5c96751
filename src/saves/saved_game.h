#pragma once
// The saved-game file: a 32-byte description, then every store entry in name
// order (name length 1..255, the name, a 32-bit size, the data), then a byte 0.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "saves/temp_store.h"

constexpr size_t SAVED_GAME_DESCRIPTION_SIZE = 32;
constexpr size_t SAVED_GAME_MAX_NAME = 255;

// The file's bytes; the description is cut to 31 bytes, longer names to 255.
temp_bytes saved_game_bytes(std::string_view description, const temp_store& store);

// Writes the file through a temporary file in the same folder (every write
// checked, flushed to disk, renamed over the target). False on any failure,
// with an older file at `path` left as it was.
bool write_saved_game(const std::string& path, std::string_view description, const temp_store& store);

struct saved_game {
    std::string description;
    temp_store store;
};

// Parses a whole file into a new store. Nothing when the bytes end before the
// description, an entry runs past the end or the closing byte 0 is missing.
std::optional<saved_game> read_saved_game(std::span<const uint8_t> bytes);
std::optional<saved_game> read_saved_game_file(const std::string& path);

// Loads a file into `live` only when the whole file reads: otherwise `live`
// keeps every entry it had and false is returned.
bool load_saved_game_into(const std::string& path, temp_store& live, std::string* description = nullptr);

// The description alone: the first 32 bytes up to their first NUL (at most
// 31 bytes when there is none); nothing when the file cannot be read.
std::optional<std::string> read_saved_game_description(const std::string& path);
