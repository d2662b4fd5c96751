#pragma once
// Writing and reading resource archives (".DDL"): the entries are named by
// upper-case file names of at most 12 characters, unique within an archive.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace forge {

struct archive_member {
    std::string name;  // as stored: upper case, 1-12 printable ASCII characters
    std::vector<uint8_t> data;
};

// The entry name for a file: its last path component, upper-cased. Raises
// std::runtime_error naming the file when the name is empty, longer than 12
// characters, or holds characters other than printable ASCII.
std::string archive_member_name(std::string_view file_path);

// The archive image: header, directory in the given order, then the data
// records in the same order. Raises std::runtime_error naming the entry on a
// bad or repeated name, or when the image would not fit 32-bit offsets.
std::vector<uint8_t> build_archive(const std::vector<archive_member>& members);

// Builds the image and writes it safely (temporary file, fsync, rename).
void write_archive(const std::string& path, const std::vector<archive_member>& members);

struct archive_listing {
    std::string name;     // printable form of the stored name
    uint32_t record = 0;  // offset of the data record
    const uint8_t* data = nullptr;
    uint32_t length = 0;
};

// True when an entry name can be used as a file name inside an output
// folder: not empty, no separators, not "." or "..", printable ASCII only.
bool entry_is_safe_file_name(std::string_view name);

// The entries of an image, in directory order, after checking that every
// entry lies inside it. Raises std::runtime_error with the reason otherwise.
std::vector<archive_listing> read_archive(const uint8_t* data, size_t size);

}  // namespace forge
