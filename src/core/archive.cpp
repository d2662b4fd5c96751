#include "core/archive.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "base/fatal.h"
#include "base/strings.h"
#include "core/archive_format.h"

namespace {

struct archive_slot {
    const uint8_t* base = nullptr;
    size_t size = 0;
    const uint8_t* directory = nullptr;
    size_t count = 0;
    bool mapped = false;  // false: an image owned by the caller
};

std::array<archive_slot, ARCHIVE_SLOTS> slots;

int free_slot() {
    for (int i = 0; i < ARCHIVE_SLOTS; ++i)
        if (!slots[i].base) return i;
    fatal_error("memman: Too many patches");
}

// Validates the image and fills the slot, or raises the mapping error naming
// the file with the reason nested inside.
void fill_slot(int index, std::string_view label, const uint8_t* data, size_t size, bool mapped) {
    archive_format::directory dir;
    std::string problem = archive_format::check_image(data, size, &dir);
    if (!problem.empty()) {
        try {
            throw std::runtime_error(problem);
        } catch (...) {
            std::throw_with_nested(std::runtime_error("Failed to map file:" + std::string(label)));
        }
    }
    archive_slot& slot = slots[index];
    slot.base = data;
    slot.size = size;
    slot.directory = data + dir.offset;
    slot.count = dir.count;
    slot.mapped = mapped;
}

}  // namespace

void register_archive(std::string_view path) {
    const int index = free_slot();
    const std::string resolved = resolve_path(path);
    const int fd = open(resolved.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("Failed to open file for mapping: " + resolved);
    struct stat info;
    if (fstat(fd, &info) != 0) {
        close(fd);
        throw std::runtime_error("failed to get size of file:" + resolved);
    }
    // An empty file (or anything that is not a regular file) cannot be mapped.
    if (!S_ISREG(info.st_mode) || info.st_size <= 0) {
        close(fd);
        throw std::runtime_error("Failed to create mapping of file:" + resolved);
    }
    const size_t size = static_cast<size_t>(info.st_size);
    void* view = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);  // the view stays valid until it is unmapped
    if (view == MAP_FAILED) throw std::runtime_error("Failed to map file:" + resolved);
    try {
        fill_slot(index, resolved, static_cast<const uint8_t*>(view), size, true);
    } catch (...) {
        munmap(view, size);
        throw;
    }
}

void register_archive_image(std::string_view label, const uint8_t* data, size_t size) {
    fill_slot(free_slot(), label, data, size, false);
}

bool loose_file_present(std::string_view path) {
    std::error_code ec;
    const std::filesystem::path resolved(resolve_path(path));
    if (!std::filesystem::is_regular_file(resolved, ec)) return false;
    const auto size = std::filesystem::file_size(resolved, ec);
    return !ec && size > 0;
}

bool find_in_archives(path_group group, const char* name, int* slot, uint32_t* offset) {
    if (patch_mode && loose_file_present(build_path(path_table[group], name))) return false;
    for (int s = 0; s < ARCHIVE_SLOTS; ++s) {
        const archive_slot& a = slots[s];
        if (!a.base) continue;
        for (size_t i = 0; i < a.count; ++i) {
            const uint8_t* entry = a.directory + i * archive_format::ENTRY_SIZE;
            if (!archive_format::name_matches(entry, name)) continue;
            if (slot) *slot = s;
            if (offset) *offset = archive_format::read_u32(entry + archive_format::NAME_LENGTH);
            return true;
        }
    }
    return false;
}

const uint8_t* archive_data(int slot, uint32_t offset, int32_t* length) {
    if (length) *length = 0;
    if (slot < 0 || slot >= ARCHIVE_SLOTS) return nullptr;
    const archive_slot& a = slots[slot];
    // Records were checked at registration; this guards stale handles only.
    if (!a.base || offset < archive_format::HEADER_SIZE || uint64_t(offset) + 4 > a.size) return nullptr;
    const uint32_t size = archive_format::read_u32(a.base + offset);
    if (uint64_t(offset) + 4 + size > a.size) return nullptr;
    if (length) *length = static_cast<int32_t>(size);
    // Empty data would sit one past the end of the mapping when it is the
    // last record, where is_archive_memory no longer sees it; point it at its
    // own length field instead, so it is never taken for a heap block.
    if (size == 0) return a.base + offset;
    return a.base + offset + 4;
}

bool is_archive_memory(const void* address) {
    const auto* p = static_cast<const uint8_t*>(address);
    for (const archive_slot& a : slots)
        if (a.base && p >= a.base && p < a.base + a.size) return true;
    return false;
}

void unmap_all_archives() {
    for (archive_slot& a : slots) {
        if (a.base && a.mapped) munmap(const_cast<uint8_t*>(a.base), a.size);
        a = archive_slot{};
    }
}

int archive_count() {
    int n = 0;
    for (const archive_slot& a : slots)
        if (a.base) ++n;
    return n;
}
