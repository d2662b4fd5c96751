#pragma once
// Helpers for the archive and handle tests: archive images built byte by byte
// (independently of the forge's writer) and a scratch folder tree that the
// folder table points into.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "base/paths.h"
#include "base/strings.h"
#include "core/archive.h"
#include "core/handles.h"

namespace test_archive {

struct entry {
    std::string name;  // stored as given, zero-padded to 12 bytes
    std::string data;
};

inline void put_u32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Header, directory at offset 8, then the data records in order.
inline std::vector<uint8_t> image(const std::vector<entry>& entries) {
    size_t size = 8 + 16 * entries.size();
    for (const entry& e : entries) size += 4 + e.data.size();
    std::vector<uint8_t> out(size, 0);
    put_u32(out, 4, 8);
    size_t record = 8 + 16 * entries.size();
    for (size_t i = 0; i < entries.size(); ++i) {
        const size_t at = 8 + 16 * i;
        std::memcpy(out.data() + at, entries[i].name.data(), std::min<size_t>(12, entries[i].name.size()));
        put_u32(out, at + 12, static_cast<uint32_t>(record));
        put_u32(out, record, static_cast<uint32_t>(entries[i].data.size()));
        std::memcpy(out.data() + record + 4, entries[i].data.data(), entries[i].data.size());
        record += 4 + entries[i].data.size();
    }
    return out;
}

inline void write_file(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    write_file(path, std::string(bytes.begin(), bytes.end()));
}

inline std::string text(const void* data, int32_t length) {
    return std::string(static_cast<const char*>(data), static_cast<size_t>(length));
}

// A scratch root with one sub-folder per group that the tests use; the folder
// table points there. Handles, archives and settings are reset afterwards.
class scratch_fixture : public ::testing::Test {
  protected:
    std::filesystem::path root;

    void SetUp() override {
        char pattern[] = "/tmp/vorthan-archive-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        reset_folder_settings();
        patch_mode = false;
        patch_file.clear();
        set_language_folder(nullptr);
        path_table[PATH_DATA] = root.string();
        path_table[PATH_GUI] = (root / "gui").string();
        path_table[PATH_GRAPHICS] = (root / "graphics").string();
        path_table[PATH_MAPS] = (root / "maps").string();
        path_table[PATH_FONTS] = (root / "font").string();
        for (const char* folder : {"gui", "graphics", "maps", "font"})
            std::filesystem::create_directories(root / folder);
    }

    void TearDown() override {
        free_all_handles();  // also unmaps the archives
        patch_mode = false;
        patch_file.clear();
        set_language_folder(nullptr);
        reset_folder_settings();
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }

    std::string archive_file(const std::string& name, const std::vector<entry>& entries) {
        const auto path = root / name;
        write_file(path, image(entries));
        return path.string();
    }
};

}  // namespace test_archive
