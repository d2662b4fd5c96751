// Reading the map file's blocks into a loaded_map. What cannot be read safely
// (short blocks, counts that disagree with the bytes) rejects the file; every
// index that the rest of the game uses without checking is corrected here.
// See the rules in map.h and docs/formats.md.
#include <algorithm>
#include <cstring>

#include "core/decoders.h"
#include "gfx/picture.h"
#include "world/map.h"
#include "world/map_internal.h"

namespace {

struct byte_reader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;

    size_t left() const { return size - pos; }
    uint8_t u8() { return data[pos++]; }
    uint16_t u16() {
        uint16_t v = static_cast<uint16_t>(data[pos] | data[pos + 1] << 8);
        pos += 2;
        return v;
    }
    uint32_t u32() {
        uint32_t v = static_cast<uint32_t>(data[pos]) | static_cast<uint32_t>(data[pos + 1]) << 8 |
                     static_cast<uint32_t>(data[pos + 2]) << 16 | static_cast<uint32_t>(data[pos + 3]) << 24;
        pos += 4;
        return v;
    }
};

struct parse_state {
    loaded_map& map;
    bool define;
    std::string error;
    bool has_sides = false, has_sectors = false, has_coords = false, has_header = false;
    size_t side_count = 0, sector_records = 0;

    bool fail(std::string text) {
        error = std::move(text);
        return false;
    }

    handle_id take_handles(int count) {
        handle_id first = map.handle_end;
        map.handle_end = static_cast<handle_id>(map.handle_end + count);
        return first;
    }

    bool handles_left(int count) const { return map.handle_end + count <= FIRST_RUNTIME_HANDLE; }

    bool texture_block(int kind, const uint8_t* p, size_t n) {
        std::vector<std::string> names;
        size_t i = 0;
        while (i < n) {
            const uint8_t* end = static_cast<const uint8_t*>(std::memchr(p + i, 0, n - i));
            size_t len = end ? static_cast<size_t>(end - (p + i)) : n - i;
            names.emplace_back(reinterpret_cast<const char*>(p + i), len);
            i += len + 1;
        }
        if (!handles_left(static_cast<int>(names.size()))) return fail("too many texture names");
        texture_list& list = map.textures[kind];
        // The list's base is the handle before its first entry (indexes are 1-based).
        list.base = static_cast<handle_id>(take_handles(static_cast<int>(names.size())) - 1);
        list.count = static_cast<int>(names.size());
        list.names = std::move(names);
        if (define) {
            decoder_fn decoder = (kind == TEX_CEILINGS || kind == TEX_FLOORS)
                                     ? pcx_to_fog_pending
                                     : decoder_for(decoder_id::pcx_to_fade);
            // A name longer than a handle holds names no file the game could
            // open: its handle stays undefined and the picture is never drawn.
            for (int k = 1; k <= list.count; ++k)
                if (list.names[k - 1].size() <= HANDLE_NAME_MAX)
                    define_handle(list.handle(k), list.names[k - 1].c_str(), decoder, PATH_GRAPHICS);
        }
        return true;
    }

    bool header_block(const uint8_t* p, size_t n) {
        uint8_t raw[MAP_HEADER_SIZE] = {};
        std::memcpy(raw, p, std::min<size_t>(n, MAP_HEADER_SIZE));
        byte_reader r{raw, sizeof raw};
        map_header& h = map.header;
        for (auto& name : h.backgrounds) {
            std::memcpy(name.data(), raw + r.pos, 13);
            r.pos += 13;
        }
        h.fade_red = static_cast<int32_t>(r.u32());
        h.fade_green = static_cast<int32_t>(r.u32());
        h.fade_blue = static_cast<int32_t>(r.u32());
        h.start_sector = static_cast<int32_t>(r.u32());
        h.start_direction = static_cast<int32_t>(r.u32());
        std::memcpy(h.title.data(), raw + r.pos, 30);
        h.title[29] = 0;  // always usable as a C string
        r.pos += 30;
        h.map_class = r.u8();
        h.reserved1 = r.u8();
        h.fog_gradient = r.u8();
        for (auto& b : h.reserved2) b = r.u8();
        has_header = true;
        if (!handles_left(4)) return fail("too many handles");
        map.background_base = take_handles(4);
        if (define) {
            for (int k = 0; k < 4; ++k) {
                char name[14] = {};
                std::memcpy(name, h.backgrounds[k].data(), 13);
                define_handle(static_cast<handle_id>(map.background_base + k), name,
                              decoder_for(decoder_id::pcx_to_fade), PATH_GRAPHICS);
            }
        }
        return true;
    }

    bool items_block(const uint8_t* p, size_t n) {
        byte_reader r{p, n};
        map.items.clear();
        while (r.left() > 0) {
            if (r.left() < 4) return fail("items: place number cut short");
            map_item_place place;
            place.place = r.u32();
            for (;;) {
                if (r.left() < 2) return fail("items: list without its closing 0");
                int16_t v = static_cast<int16_t>(r.u16());
                place.items.push_back(v);
                if (v == 0) break;
            }
            map.items.push_back(std::move(place));
        }
        return true;
    }

    bool multiactions_block(const uint8_t* p, size_t n) {
        byte_reader r{p, n};
        map.multiactions.clear();
        for (;;) {
            if (r.left() < 4) return fail("multiactions: missing end mark");
            uint32_t side = r.u32();
            if (side == 0) break;
            map_multiaction_list list;
            list.side = side;
            for (;;) {
                if (r.left() < 4) return fail("multiactions: record length cut short");
                uint32_t len = r.u32();
                if (len == 0) break;
                if (len > r.left()) return fail("multiactions: record longer than the block");
                const uint8_t* rec = p + r.pos;
                r.pos += len;
                std::array<uint8_t, MULTIACTION_SLOT_SIZE> slot{};
                if (command_omits_byte3(rec[0] & 0x3F)) {
                    if (len > MULTIACTION_SLOT_SIZE - 1) return fail("multiactions: record too long");
                    std::memcpy(slot.data(), rec, std::min<size_t>(len, 3));
                    if (len > 3) std::memcpy(slot.data() + 4, rec + 3, len - 3);
                } else {
                    if (len > MULTIACTION_SLOT_SIZE) return fail("multiactions: record too long");
                    std::memcpy(slot.data(), rec, len);
                }
                list.records.push_back(slot);
            }
            map.multiactions.push_back(std::move(list));
        }
        return true;
    }

    bool block(uint32_t type, const uint8_t* p, size_t n) {
        switch (type) {
            case MAP_BLOCK_SIDES: {
                if (n % MAP_SIDE_SIZE) return fail("sides: size is not a multiple of 16");
                byte_reader r{p, n};
                map.sides.resize(n / MAP_SIDE_SIZE);
                for (map_side& s : map.sides) {
                    s.primary = r.u8();
                    s.secondary = r.u8();
                    s.arch_and_flags2 = r.u8();
                    s.target_side = r.u8();
                    s.action_target = r.u16();
                    s.secondary_x = r.u8();
                    s.secondary_y = r.u8();
                    s.flags = r.u32();
                    s.primary_anim = r.u8();
                    s.secondary_anim = r.u8();
                    s.reserved = r.u8();
                    s.action = r.u8();
                }
                has_sides = true;
                return true;
            }
            case MAP_BLOCK_SECTORS: {
                if (n % MAP_SECTOR_SIZE) return fail("sectors: size is not a multiple of 16");
                byte_reader r{p, n};
                map.sectors.resize(n / MAP_SECTOR_SIZE);
                for (map_sector& s : map.sectors) {
                    s.floor = r.u8();
                    s.ceiling = r.u8();
                    s.surface_modes = r.u8();
                    s.sector_type = r.u8();
                    s.action = r.u8();
                    s.action_side = r.u8();
                    for (auto& e : s.exits) e = r.u16();
                    s.action_target = r.u16();
                }
                has_sectors = true;
                return true;
            }
            case MAP_BLOCK_COORDS: {
                if (n % MAP_COORD_SIZE) return fail("coordinates: size is not a multiple of 8");
                if (n / MAP_COORD_SIZE > MAP_MAX_SECTORS) return fail("more sectors than sector numbers");
                byte_reader r{p, n};
                map.coords.resize(n / MAP_COORD_SIZE);
                for (map_coord& c : map.coords) {
                    c.x = static_cast<int16_t>(r.u16());
                    c.y = static_cast<int16_t>(r.u16());
                    c.layer = static_cast<int16_t>(r.u16());
                    c.coord_flags = r.u16();
                }
                has_coords = true;
                return true;
            }
            case MAP_BLOCK_WALLS:
                return texture_block(TEX_WALLS, p, n);
            case MAP_BLOCK_LEFT_WALLS:
                return texture_block(TEX_LEFT_WALLS, p, n);
            case MAP_BLOCK_RIGHT_WALLS:
                return texture_block(TEX_RIGHT_WALLS, p, n);
            case MAP_BLOCK_CEILINGS:
                return texture_block(TEX_CEILINGS, p, n);
            case MAP_BLOCK_FLOORS:
                return texture_block(TEX_FLOORS, p, n);
            case MAP_BLOCK_LEFT_ARCHES:
                return texture_block(TEX_LEFT_ARCHES, p, n);
            case MAP_BLOCK_RIGHT_ARCHES:
                return texture_block(TEX_RIGHT_ARCHES, p, n);
            case MAP_BLOCK_HEADER:
                return header_block(p, n);
            case MAP_BLOCK_ITEMS:
                return items_block(p, n);
            case MAP_BLOCK_MULTIACTIONS:
                return multiactions_block(p, n);
            case MAP_BLOCK_MONSTERS:
                map.monsters.assign(p, p + n);
                map.has_monsters = true;
                map.sounds_before_monsters = map.has_sounds;
                return true;
            case MAP_BLOCK_RECESSES: {
                if (n % RECESS_RECORD_SIZE) return fail("recesses: size is not a multiple of 32");
                map.recesses.resize(n / RECESS_RECORD_SIZE);
                for (size_t k = 0; k < map.recesses.size(); ++k)
                    std::memcpy(map.recesses[k].data(), p + k * RECESS_RECORD_SIZE, RECESS_RECORD_SIZE);
                return true;
            }
            case MAP_BLOCK_MONSTER_DEFS: {
                if (n % MONSTER_DEF_SIZE) return fail("monster definitions: size is not a multiple of 376");
                map.monster_defs.resize(n / MONSTER_DEF_SIZE);
                for (size_t k = 0; k < map.monster_defs.size(); ++k)
                    std::memcpy(map.monster_defs[k].data(), p + k * MONSTER_DEF_SIZE, MONSTER_DEF_SIZE);
                map.has_monster_defs = true;
                return true;
            }
            case MAP_BLOCK_SOUNDS: {
                map.sounds.clear();
                size_t i = 0;
                while (i < n) {
                    const uint8_t* end = static_cast<const uint8_t*>(std::memchr(p + i, 0, n - i));
                    size_t len = end ? static_cast<size_t>(end - (p + i)) : n - i;
                    if (len)
                        map.sounds.emplace_back(std::string(reinterpret_cast<const char*>(p + i), len));
                    else
                        map.sounds.emplace_back(std::nullopt);
                    i += len + 1;
                }
                map.has_sounds = true;
                return true;
            }
            default:
                return true;  // MAP_BLOCK_MARK and unknown blocks: skipped
        }
    }

    // Cross-block checks, once every block is read.
    bool check() {
        if (!has_coords || !has_sectors || !has_sides) return fail("sectors, sides or coordinates missing");
        size_t count = map.coords.size();
        if (count < 2) return fail("no sector besides sector 0");
        if (map.sectors.size() != count) return fail("sector and coordinate counts differ");
        if (map.sides.size() != 4 * count) return fail("side count is not 4 per sector");
        if (!has_header) return fail("header missing");
        map.sector_count = static_cast<int>(count);
        // Items and multiaction lists of places the map does not have have
        // nowhere to be: they are left out.
        std::erase_if(map.items, [&](const map_item_place& place) { return place.place >= 4 * count; });
        std::erase_if(map.multiactions,
                      [&](const map_multiaction_list& list) { return list.side >= 4 * count; });
        correct_records(map);
        return true;
    }
};

}  // namespace

void correct_records(loaded_map& map) {
    const int count = map.sector_count;
    // A start that is not a place: sector 1 facing north. A start direction
    // outside 0..3 faces north.
    map_header& h = map.header;
    if (h.start_sector < 1 || h.start_sector >= count) {
        h.start_sector = 1;
        h.start_direction = 0;
    }
    if (h.start_direction < 0 || h.start_direction > 3) h.start_direction = 0;
    auto list_len = [&](int kind) { return map.textures[kind].count; };
    const int floors = list_len(TEX_FLOORS), ceilings = list_len(TEX_CEILINGS);
    const int walls = std::min({list_len(TEX_WALLS), list_len(TEX_LEFT_WALLS), list_len(TEX_RIGHT_WALLS)});
    const int arches = std::min(list_len(TEX_LEFT_ARCHES), list_len(TEX_RIGHT_ARCHES));
    for (int s = 1; s < count; ++s) {
        map_sector& sec = map.sectors[s];
        for (int d = 0; d < 4; ++d) {
            uint16_t& e = sec.exits[d];
            if (e >= count) e = static_cast<uint16_t>(s);
            // No neighbour: nothing passes that way, whatever the side's flags say.
            if (e == 0) map.sides[4 * s + d].flags |= SIDE_NOPLAYER | SIDE_NOMONSTER | SIDE_NOTHING;
        }
        sec.action_side &= 3;
        if (sec.floor > floors) sec.floor = 0;
        if (sec.ceiling > ceilings) sec.ceiling = 0;
    }
    // Every side but side 0, sector 0's three others included.
    for (size_t k = 1; k < map.sides.size(); ++k) {
        map_side& side = map.sides[k];
        if (side.primary > walls) side.primary = 0;
        if (side.secondary > walls) side.secondary = 0;
        if ((side.arch_and_flags2 & 0x0F) > arches) side.arch_and_flags2 &= 0xF0;
        // Keep index + frame inside the wall lists: shorten the animation.
        auto fit_animation = [walls](uint8_t index, uint8_t& anim) {
            if (index == 0) return;
            int last = anim & 0x0F, frame = anim >> 4;
            if (index + last <= walls) return;
            last = walls - index;
            frame = std::min(frame, last);
            anim = static_cast<uint8_t>(frame << 4 | last);
        };
        fit_animation(side.primary, side.primary_anim);
        fit_animation(side.secondary, side.secondary_anim);
    }
}

int parse_map_blocks(const uint8_t* data, size_t size, loaded_map& map, bool define_handles,
                     std::string* error, size_t* consumed) {
    parse_state st{map, define_handles, {}};
    size_t pos = 0;
    bool ok = true;
    for (;;) {
        if (size - pos < MAP_BLOCK_HEADER_SIZE) {
            ok = st.fail("file ends before the end block");
            break;
        }
        if (std::memcmp(data + pos, "<BLOCK>", 8) != 0) {
            ok = st.fail("block header expected at offset " + std::to_string(pos));
            break;
        }
        byte_reader r{data + pos + 8, 12};
        uint32_t type = r.u32();
        uint32_t length = r.u32();
        pos += MAP_BLOCK_HEADER_SIZE;
        if (type == MAP_BLOCK_END) {
            // The end block's payload is ignored, but it is part of the file when present.
            pos += std::min<size_t>(length, size - pos);
            break;
        }
        if (length > size - pos) {
            ok = st.fail("block " + std::to_string(type) + " is shorter than its declared size");
            break;
        }
        if (!st.block(type, data + pos, length)) {
            ok = false;
            break;
        }
        pos += length;
    }
    if (consumed) *consumed = pos;
    if (ok) ok = st.check();
    if (!ok) {
        if (error) *error = st.error;
        return MAP_CORRUPTED;
    }
    return MAP_OK;
}

int parse_map(const uint8_t* data, size_t size, loaded_map& map, std::string* error) {
    return parse_map_blocks(data, size, map, false, error);
}
