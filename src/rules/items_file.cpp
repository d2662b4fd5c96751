#include "rules/items_file.h"

#include <cstring>

#include "rules/items.h"
#include "core/record_bytes.h"

namespace {

constexpr char BLOCK_TAG[8] = "<BLOCK>";

// Zero-ended names; a last name without its zero is taken as it stands.
std::vector<std::string> read_names(std::span<const uint8_t> data) {
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t i = 0; i <= data.size(); ++i) {
        if (i == data.size() || data[i] == 0) {
            if (i > start || i < data.size())
                names.emplace_back(reinterpret_cast<const char*>(data.data() + start), i - start);
            start = i + 1;
        }
    }
    return names;
}

void append_block(std::vector<uint8_t>& out, uint32_t kind, const std::vector<uint8_t>& data) {
    out.insert(out.end(), BLOCK_TAG, BLOCK_TAG + 8);
    uint8_t header[12];
    record_writer writer(header);
    writer.u32(kind);
    writer.u32(static_cast<uint32_t>(data.size()));
    writer.u32(0);
    out.insert(out.end(), header, header + 12);
    out.insert(out.end(), data.begin(), data.end());
}

std::vector<uint8_t> name_bytes(const std::vector<std::string>& names) {
    std::vector<uint8_t> data;
    for (const std::string& name : names) {
        data.insert(data.end(), name.begin(), name.end());
        data.push_back(0);
    }
    return data;
}

}  // namespace

items_file parse_items_file(std::span<const uint8_t> bytes) {
    items_file file;
    size_t pos = 0;
    while (bytes.size() - pos >= ITEMS_BLOCK_HEADER_SIZE) {
        if (std::memcmp(bytes.data() + pos, BLOCK_TAG, sizeof BLOCK_TAG) != 0) break;
        record_reader header(bytes.data() + pos + 8, 12);
        const uint32_t kind = header.u32();
        const uint32_t size = header.u32();
        pos += ITEMS_BLOCK_HEADER_SIZE;
        if (kind == ITEMS_BLOCK_END || size > bytes.size() - pos) break;
        const std::span<const uint8_t> data = bytes.subspan(pos, size);
        pos += size;
        if (kind >= ITEMS_BLOCK_FLOOR_PICTURES && kind <= ITEMS_BLOCK_FLIGHT_PICTURES) {
            file.picture_sets[kind - 1] = read_names(data);
        } else if (kind == ITEMS_BLOCK_ANIMATIONS) {
            file.animations = read_names(data);
        } else if (kind == ITEMS_BLOCK_SOUNDS) {
            file.sounds = read_names(data);
        } else if (kind == ITEMS_BLOCK_DEFINITIONS) {
            file.definitions.clear();
            const size_t count = std::min<size_t>(data.size() / ITEM_DEF_SIZE, MAX_ITEMS);
            file.definitions.resize(count);
            for (size_t i = 0; i < count; ++i)
                read_item_def(data.data() + i * ITEM_DEF_SIZE, ITEM_DEF_SIZE, file.definitions[i]);
        }
    }
    return file;
}

std::vector<uint8_t> write_items_file(const items_file& file) {
    std::vector<uint8_t> out;
    for (uint32_t set = 0; set < 4; ++set)
        append_block(out, ITEMS_BLOCK_FLOOR_PICTURES + set, name_bytes(file.picture_sets[set]));
    append_block(out, ITEMS_BLOCK_ANIMATIONS, name_bytes(file.animations));
    std::vector<uint8_t> records;
    for (const item_def& item : file.definitions) append_item_def(item, records);
    append_block(out, ITEMS_BLOCK_DEFINITIONS, records);
    append_block(out, ITEMS_BLOCK_SOUNDS, name_bytes(file.sounds));
    append_block(out, ITEMS_BLOCK_END, {});
    return out;
}
