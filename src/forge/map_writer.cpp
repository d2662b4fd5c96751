// Map file writer: every record field by field, little-endian.
#include "forge/map_writer.h"

#include <algorithm>
#include <stdexcept>

namespace forge {

void put_u8(std::vector<uint8_t>& out, uint8_t v) {
    out.push_back(v);
}
void put_u16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void append_map_block(std::vector<uint8_t>& out, uint32_t type, const std::vector<uint8_t>& payload) {
    static const char tag[8] = "<BLOCK>";
    out.insert(out.end(), tag, tag + 8);
    put_u32(out, type);
    put_u32(out, static_cast<uint32_t>(payload.size()));
    put_u32(out, 0);
    out.insert(out.end(), payload.begin(), payload.end());
}

std::vector<uint8_t> encode_map_header(const map_header& h) {
    std::vector<uint8_t> out;
    for (const auto& name : h.backgrounds) out.insert(out.end(), name.begin(), name.end());
    put_u32(out, static_cast<uint32_t>(h.fade_red));
    put_u32(out, static_cast<uint32_t>(h.fade_green));
    put_u32(out, static_cast<uint32_t>(h.fade_blue));
    put_u32(out, static_cast<uint32_t>(h.start_sector));
    put_u32(out, static_cast<uint32_t>(h.start_direction));
    out.insert(out.end(), h.title.begin(), h.title.end());
    put_u8(out, h.map_class);
    put_u8(out, h.reserved1);
    put_u8(out, h.fog_gradient);
    out.insert(out.end(), h.reserved2.begin(), h.reserved2.end());
    return out;
}

std::vector<uint8_t> encode_sectors(const std::vector<map_sector>& sectors) {
    std::vector<uint8_t> out;
    for (const map_sector& s : sectors) {
        put_u8(out, s.floor);
        put_u8(out, s.ceiling);
        put_u8(out, s.surface_modes);
        put_u8(out, s.sector_type);
        put_u8(out, s.action);
        put_u8(out, s.action_side);
        for (uint16_t e : s.exits) put_u16(out, e);
        put_u16(out, s.action_target);
    }
    return out;
}

std::vector<uint8_t> encode_sides(const std::vector<map_side>& sides) {
    std::vector<uint8_t> out;
    for (const map_side& s : sides) {
        put_u8(out, s.primary);
        put_u8(out, s.secondary);
        put_u8(out, s.arch_and_flags2);
        put_u8(out, s.target_side);
        put_u16(out, s.action_target);
        put_u8(out, s.secondary_x);
        put_u8(out, s.secondary_y);
        put_u32(out, s.flags);
        put_u8(out, s.primary_anim);
        put_u8(out, s.secondary_anim);
        put_u8(out, s.reserved);
        put_u8(out, s.action);
    }
    return out;
}

std::vector<uint8_t> encode_coords(const std::vector<map_coord>& coords) {
    std::vector<uint8_t> out;
    for (const map_coord& c : coords) {
        put_u16(out, static_cast<uint16_t>(c.x));
        put_u16(out, static_cast<uint16_t>(c.y));
        put_u16(out, static_cast<uint16_t>(c.layer));
        put_u16(out, c.coord_flags);
    }
    return out;
}

std::vector<uint8_t> encode_name_list(const std::vector<std::string>& names) {
    std::vector<uint8_t> out;
    for (const std::string& n : names) {
        out.insert(out.end(), n.begin(), n.end());
        out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> encode_multiactions(const std::vector<map_model::action_list>& lists) {
    std::vector<uint8_t> out;
    for (const auto& list : lists) {
        if (list.side == 0) throw std::runtime_error("side 0 cannot have a multiaction list");
        put_u32(out, list.side);
        for (const auto& record : list.records) {
            if (record.empty() || record.size() > MULTIACTION_SLOT_SIZE)
                throw std::runtime_error("multiaction record of " + std::to_string(record.size()) +
                                         " bytes (1-228 allowed)");
            std::vector<uint8_t> bytes = record;
            if (command_omits_byte3(record[0] & 0x3F) && bytes.size() > 3) bytes.erase(bytes.begin() + 3);
            put_u32(out, static_cast<uint32_t>(bytes.size()));
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
        put_u32(out, 0);
    }
    put_u32(out, 0);
    return out;
}

std::vector<uint8_t> build_map_file(const map_model& map) {
    static const uint32_t list_blocks[TEX_KIND_COUNT] = {
        MAP_BLOCK_WALLS,  MAP_BLOCK_LEFT_WALLS,  MAP_BLOCK_RIGHT_WALLS,  MAP_BLOCK_CEILINGS,
        MAP_BLOCK_FLOORS, MAP_BLOCK_LEFT_ARCHES, MAP_BLOCK_RIGHT_ARCHES,
    };
    std::vector<uint8_t> out;
    append_map_block(out, MAP_BLOCK_HEADER, encode_map_header(map.header));
    for (int k = 0; k < TEX_KIND_COUNT; ++k)
        append_map_block(out, list_blocks[k], encode_name_list(map.textures[k]));
    append_map_block(out, MAP_BLOCK_SECTORS, encode_sectors(map.sectors));
    append_map_block(out, MAP_BLOCK_SIDES, encode_sides(map.sides));
    append_map_block(out, MAP_BLOCK_COORDS, encode_coords(map.coords));
    if (!map.items.empty()) {
        std::vector<uint8_t> payload;
        for (const map_item_place& p : map.items) {
            put_u32(payload, p.place);
            for (int16_t v : p.items) put_u16(payload, static_cast<uint16_t>(v));
        }
        append_map_block(out, MAP_BLOCK_ITEMS, payload);
    }
    if (!map.multiactions.empty())
        append_map_block(out, MAP_BLOCK_MULTIACTIONS, encode_multiactions(map.multiactions));
    if (!map.recesses.empty()) {
        std::vector<uint8_t> payload;
        for (const auto& r : map.recesses) payload.insert(payload.end(), r.begin(), r.end());
        append_map_block(out, MAP_BLOCK_RECESSES, payload);
    }
    if (!map.sounds.empty()) append_map_block(out, MAP_BLOCK_SOUNDS, encode_name_list(map.sounds));
    if (!map.monster_defs.empty()) {
        std::vector<uint8_t> payload;
        for (const auto& d : map.monster_defs) payload.insert(payload.end(), d.begin(), d.end());
        append_map_block(out, MAP_BLOCK_MONSTER_DEFS, payload);
    }
    if (!map.monsters.empty()) append_map_block(out, MAP_BLOCK_MONSTERS, map.monsters);
    append_map_block(out, MAP_BLOCK_END, {});
    return out;
}

std::string numbered_table_text(const std::vector<std::pair<int, std::string>>& entries) {
    auto sorted = entries;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out;
    for (const auto& [number, text] : sorted) {
        out += std::to_string(number);
        std::string line = text;
        std::replace(line.begin(), line.end(), '\n', '|');
        if (!line.empty()) out += ' ' + line;
        out += '\n';
    }
    out += "-1\n";
    return out;
}

}  // namespace forge
