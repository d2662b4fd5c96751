#pragma once
// The byte layout of a resource archive, shared by the player (which maps
// archives) and the forge (which writes and lists them). Pure functions over
// a byte range; nothing here reads outside [data, data + size).
//
//   0        4  not read
//   4        4  D: offset of the directory
//   D + 16i  12 entry name, upper case, zero-padded (12 characters: no terminator)
//   D + 16i+12 4 offset of the entry's data record
//   record   4  L, then L bytes of data
// The entry count is (record offset of entry 0 - D) / 16.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace archive_format {

constexpr size_t HEADER_SIZE = 8;
constexpr size_t ENTRY_SIZE = 16;
constexpr size_t NAME_LENGTH = 12;

inline uint32_t read_u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The name stored in a directory entry: up to 12 bytes, ending at the first zero.
inline std::string_view entry_name(const uint8_t* entry) {
    size_t n = 0;
    while (n < NAME_LENGTH && entry[n]) ++n;
    return {reinterpret_cast<const char*>(entry), n};
}

// An entry name as it can be shown in a message: unprintable bytes become '?'.
inline std::string printable_name(const uint8_t* entry) {
    std::string text(entry_name(entry));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) c = '?';
    return text;
}

// True when the stored name equals the wanted one on at most 12 characters,
// byte for byte, both ending at their first zero.
inline bool name_matches(const uint8_t* entry, const char* wanted) {
    for (size_t i = 0; i < NAME_LENGTH; ++i) {
        char stored = static_cast<char>(entry[i]);
        if (stored != wanted[i]) return false;
        if (stored == 0) return true;
    }
    return true;
}

struct directory {
    size_t offset = 0;  // of entry 0
    size_t count = 0;
};

// Checks that the header, the directory and every data record lie inside the
// image. Returns an empty text when the image is sound, else why it is not.
inline std::string check_image(const uint8_t* data, size_t size, directory* out) {
    char text[200];
    if (size < HEADER_SIZE) {
        std::snprintf(text, sizeof text, "the file has %zu bytes, fewer than the 8 of an archive header",
                      size);
        return text;
    }
    const uint64_t dir = read_u32(data + 4);
    directory result;
    result.offset = static_cast<size_t>(dir);
    if (dir < HEADER_SIZE) {
        std::snprintf(text, sizeof text, "the directory offset %llu overlaps the archive header",
                      static_cast<unsigned long long>(dir));
        return text;
    }
    if (dir == size) {  // an archive without entries
        if (out) *out = result;
        return {};
    }
    if (dir + ENTRY_SIZE > size) {
        std::snprintf(text, sizeof text, "the directory at offset %llu lies outside the file (%zu bytes)",
                      static_cast<unsigned long long>(dir), size);
        return text;
    }
    const uint64_t first = read_u32(data + dir + NAME_LENGTH);
    if (first < dir) {
        std::snprintf(text, sizeof text,
                      "the first data record (offset %llu) lies before the directory (offset %llu)",
                      static_cast<unsigned long long>(first), static_cast<unsigned long long>(dir));
        return text;
    }
    const uint64_t count = (first - dir) / ENTRY_SIZE;
    if (dir + count * ENTRY_SIZE > size) {
        std::snprintf(text, sizeof text, "the directory claims %llu entries but the file holds room for %llu",
                      static_cast<unsigned long long>(count),
                      static_cast<unsigned long long>((size - dir) / ENTRY_SIZE));
        return text;
    }
    result.count = static_cast<size_t>(count);
    for (size_t i = 0; i < result.count; ++i) {
        const uint8_t* entry = data + result.offset + i * ENTRY_SIZE;
        const uint64_t record = read_u32(entry + NAME_LENGTH);
        if (record < HEADER_SIZE || record + 4 > size) {
            std::snprintf(text, sizeof text,
                          "entry %zu (%s): its data record at offset %llu lies outside the file", i,
                          printable_name(entry).c_str(), static_cast<unsigned long long>(record));
            return text;
        }
        const uint64_t length = read_u32(data + record);
        if (length > 0x7FFFFFFF || record + 4 + length > size) {
            std::snprintf(text, sizeof text,
                          "entry %zu (%s): %llu bytes of data at offset %llu run past the end of the file "
                          "(%zu bytes)",
                          i, printable_name(entry).c_str(), static_cast<unsigned long long>(length),
                          static_cast<unsigned long long>(record + 4), size);
            return text;
        }
    }
    if (out) *out = result;
    return {};
}

}  // namespace archive_format
