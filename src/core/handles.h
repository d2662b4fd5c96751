#pragma once
// The handle table: every resource (picture, font, sample, data file) is named
// by a 16-bit number, defined once with a file name, a folder and an optional
// decoder, loaded and decoded on first use and kept until released.
// Also the game's allocator, whose failure is fatal, and the by-name loader.
#include <cstddef>
#include <cstdint>

#include "base/paths.h"

using handle_id = uint16_t;

// A decoder gets the loaded bytes (maybe archive memory: never write or free
// it) and returns the decoded data, updating *length. It may return its input
// unchanged. Returned memory other than the input must come from game_alloc
// (malloc family); the loader frees the input unless it is archive memory.
// data may be null with length 0 (handles with an empty name).
using decoder_fn = void* (*)(void* data, int32_t* length, handle_id id);

// Handle states.
constexpr uint16_t HANDLE_UNDEFINED = 0;
constexpr uint16_t HANDLE_DEFINED = 1;
constexpr uint16_t HANDLE_LOADED = 2;
constexpr uint16_t HANDLE_ALIAS = 5;

constexpr uint8_t HANDLE_FLAG_LOCKED = 0x01;
constexpr size_t HANDLE_NAME_MAX = 15;

// Handles from here up are defined at run time.
constexpr handle_id FIRST_RUNTIME_HANDLE = 0x8000;

struct handle_record {
    char name[HANDLE_NAME_MAX + 1];  // upper case; empty when the decoder builds the data
    uint32_t location;  // alias: target id; else offset of the archive data record, 0 = loose file
    void* data;         // current (decoded) data or null
    uint8_t archive_slot;
    path_group folder;
    uint16_t state;  // HANDLE_*
    decoder_fn decoder;
    uint16_t lock_count;
    uint8_t flags;  // HANDLE_FLAG_*
    int32_t length;
    uint16_t alias_count;  // how many alias records point here
};

// Allocation: failure is fatal ("memory allocation error %lu", exit code 1).
void* game_alloc(size_t size);             // null for size 0
void* game_realloc(void* p, size_t size);  // size 0 frees and gives null
void game_free(void* p);

handle_record* define_handle(handle_id id, const char* name, decoder_fn decoder, path_group group);
void* get_handle_data(handle_id id);          // null for an undefined handle
void* get_handle_writable(handle_id id);      // archive data is first copied to the heap
int lock_handle(handle_id id);                // new lock count
int unlock_handle(handle_id id);              // new lock count (0 when it already was 0)
handle_record* release_handle(handle_id id);  // null when locked
void reload_handle(handle_id id);
handle_record* undefine_handle(handle_id id);  // null when locked
int32_t handle_length(handle_id id);           // -1 when undefined
// The first handle, ascending, whose stored name equals name on 12 characters
// and whose decoder is the same function; -1 when none or name is empty.
int find_handle(const char* name, decoder_fn decoder);
// The record of a handle, or null when its page was never touched.
const handle_record* handle_info(handle_id id);
// The highest handle id ever touched.
handle_id highest_handle();

// True when the name is in an archive or exists as a (non-empty) loose file.
bool resource_available(path_group group, const char* name);

// Reads a file without a handle: from an archive (memory inside the mapping)
// or the loose file (a new heap block). Missing files are fatal.
void* load_file(const char* name, path_group group, int32_t* length);
void* load_file_writable(const char* name, path_group group, int32_t* length);  // always a heap block
void free_file_data(void* data);                                                // frees unless archive memory

// The whole file in a heap block; a missing or empty file or a short read is
// fatal ("Load error while loading file: %s").
void* read_whole_file(const char* path, int32_t* length);

// Undefines every handle, frees the pages, unmaps the archives (process exit).
void free_all_handles();
