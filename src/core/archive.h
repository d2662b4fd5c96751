#pragma once
// Resource archives: up to four files mapped read-only for the whole run and
// searched in registration order. Entries are used in place, never copied.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/paths.h"

constexpr int ARCHIVE_SLOTS = 4;
constexpr size_t ARCHIVE_NAME_LENGTH = 12;

// Maps the file (resolved with resolve_path) into the next free slot. Raises
// std::runtime_error naming the file when it cannot be opened or mapped or
// when its directory does not fit in the file.
void register_archive(std::string_view path);
// Registers an archive image already in memory (not owned; it must outlive
// the registration). Validated like a file; label names it in errors.
void register_archive_image(std::string_view label, const uint8_t* data, size_t size);

// True when the path names a regular file of at least one byte (an empty
// file counts as missing).
bool loose_file_present(std::string_view path);

// Searches for an upper-case name: with patch mode on a loose file in the
// group's folder wins (reported as not found); else slots 0-3 in order.
bool find_in_archives(path_group group, const char* name, int* slot, uint32_t* offset);
// The data of an entry found by find_in_archives.
const uint8_t* archive_data(int slot, uint32_t offset, int32_t* length);
bool is_archive_memory(const void* address);
// Unmaps every slot and frees them for new registrations.
void unmap_all_archives();
int archive_count();
