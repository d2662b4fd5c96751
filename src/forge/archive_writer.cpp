#include "forge/archive_writer.h"

#include <map>
#include <stdexcept>

#include "base/file_write.h"
#include "core/archive_format.h"

namespace forge {

namespace {

void put_u32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void check_name(const std::string& name) {
    if (name.empty()) throw std::runtime_error("an archive entry needs a name");
    if (name.size() > archive_format::NAME_LENGTH)
        throw std::runtime_error("entry name '" + name + "' is longer than 12 characters");
    for (char c : name) {
        if (c < 0x21 || c > 0x7E || c == '/' || c == '\\')
            throw std::runtime_error("entry name '" + name + "' holds a character that cannot be stored");
        if (c >= 'a' && c <= 'z') throw std::runtime_error("entry name '" + name + "' is not upper case");
    }
}

}  // namespace

std::string archive_member_name(std::string_view file_path) {
    const size_t slash = file_path.find_last_of("/\\");
    std::string name(slash == std::string_view::npos ? file_path : file_path.substr(slash + 1));
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    try {
        check_name(name);
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string(file_path) + ": " + e.what());
    }
    return name;
}

std::vector<uint8_t> build_archive(const std::vector<archive_member>& members) {
    std::map<std::string, size_t> seen;
    for (size_t i = 0; i < members.size(); ++i) {
        check_name(members[i].name);
        if (!seen.emplace(members[i].name, i).second)
            throw std::runtime_error("entry name '" + members[i].name + "' appears twice");
    }
    const size_t dir = archive_format::HEADER_SIZE;
    uint64_t total = dir + members.size() * archive_format::ENTRY_SIZE;
    for (const archive_member& m : members) total += 4 + m.data.size();
    if (total > UINT32_MAX) throw std::runtime_error("the archive would exceed 4 GiB");

    std::vector<uint8_t> out(static_cast<size_t>(total), 0);
    // The first four bytes are not read by the player; they mark the file.
    out[0] = 'D';
    out[1] = 'D';
    out[2] = 'L';
    out[3] = '1';
    put_u32(out, 4, static_cast<uint32_t>(dir));
    size_t record = dir + members.size() * archive_format::ENTRY_SIZE;
    for (size_t i = 0; i < members.size(); ++i) {
        const archive_member& m = members[i];
        const size_t entry = dir + i * archive_format::ENTRY_SIZE;
        std::copy(m.name.begin(), m.name.end(), out.begin() + static_cast<std::ptrdiff_t>(entry));
        put_u32(out, entry + archive_format::NAME_LENGTH, static_cast<uint32_t>(record));
        put_u32(out, record, static_cast<uint32_t>(m.data.size()));
        std::copy(m.data.begin(), m.data.end(), out.begin() + static_cast<std::ptrdiff_t>(record + 4));
        record += 4 + m.data.size();
    }
    return out;
}

void write_archive(const std::string& path, const std::vector<archive_member>& members) {
    const std::vector<uint8_t> image = build_archive(members);
    const std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
    if (!write_file_atomic(path, bytes)) throw std::runtime_error("cannot write " + path);
}

bool entry_is_safe_file_name(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name)
        if (c < 0x20 || c > 0x7E || c == '/' || c == '\\') return false;
    return true;
}

std::vector<archive_listing> read_archive(const uint8_t* data, size_t size) {
    archive_format::directory dir;
    const std::string problem = archive_format::check_image(data, size, &dir);
    if (!problem.empty()) throw std::runtime_error(problem);
    std::vector<archive_listing> entries;
    entries.reserve(dir.count);
    for (size_t i = 0; i < dir.count; ++i) {
        const uint8_t* entry = data + dir.offset + i * archive_format::ENTRY_SIZE;
        archive_listing item;
        item.name = archive_format::printable_name(entry);
        item.record = archive_format::read_u32(entry + archive_format::NAME_LENGTH);
        item.length = archive_format::read_u32(data + item.record);
        item.data = data + item.record + 4;
        entries.push_back(std::move(item));
    }
    return entries;
}

}  // namespace forge
