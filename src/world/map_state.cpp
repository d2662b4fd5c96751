// The map state record (layout in docs/formats.md, "Map state record"), and
// parking the loaded map while another one is looked at.
#include "world/map_state.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <tuple>

#include "base/fatal.h"
#include "base/paths.h"
#include "platform/display.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_services.h"
#include "world/party_standin.h"

namespace {

constexpr uint8_t STATE_VERSION = 2;
constexpr uint32_t END_MARK = 0xFFFFFFFFu;
constexpr uint16_t SHORT_END_MARK = 0xFFFF;
constexpr int MONSTER_PLACES = 255, MONSTER_RECORD_BYTES = 380;
constexpr int DELAYED_RECORD_SIZE = 24;
constexpr size_t NOTE_HEAD = 12;  // x, y and layer before a note's text
constexpr int RECESS_ITEMS_AT = 12, RECESS_ITEM_SLOTS = 9;

// ---------------------------------------------------------------- writing

struct writer {
    std::vector<uint8_t>& out;
    void u8(uint8_t v) { out.push_back(v); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void u64(uint64_t v) {
        u32(static_cast<uint32_t>(v));
        u32(static_cast<uint32_t>(v >> 32));
    }
    void bytes(const uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); }
    void zeros(size_t n) { out.insert(out.end(), n, 0); }

    void side(const map_side& s) {
        u8(s.primary);
        u8(s.secondary);
        u8(s.arch_and_flags2);
        u8(s.target_side);
        u16(s.action_target);
        u8(s.secondary_x);
        u8(s.secondary_y);
        u32(s.flags);
        u8(s.primary_anim);
        u8(s.secondary_anim);
        u8(s.reserved);
        u8(s.action);
    }
    void sector(const map_sector& s) {
        u8(s.floor);
        u8(s.ceiling);
        u8(s.surface_modes);
        u8(s.sector_type);
        u8(s.action);
        u8(s.action_side);
        for (uint16_t e : s.exits) u16(e);
        u16(s.action_target);
    }
};

// Every field of the 16-byte records, compared without writing them out.
auto side_fields(const map_side& s) {
    return std::tie(s.primary, s.secondary, s.arch_and_flags2, s.target_side, s.action_target, s.secondary_x,
                    s.secondary_y, s.flags, s.primary_anim, s.secondary_anim, s.reserved, s.action);
}
auto sector_fields(const map_sector& s) {
    return std::tie(s.floor, s.ceiling, s.surface_modes, s.sector_type, s.action, s.action_side, s.exits,
                    s.action_target);
}
bool same_side(const map_side& a, const map_side& b) {
    return side_fields(a) == side_fields(b);
}
bool same_sector(const map_sector& a, const map_sector& b) {
    return sector_fields(a) == sector_fields(b);
}

// The loaded map's file, read again: what the record compares with.
std::optional<loaded_map> original_map() {
    std::optional<loaded_map> map = read_map_file(current_map.name);
    if (map && map->sector_count != current_map.sector_count) return std::nullopt;
    return map;
}

void write_coord_bits(writer& w, uint16_t flag) {
    const size_t count = current_map.coords.size();
    std::vector<uint8_t> bits((count + 7) / 8, 0);
    for (size_t i = 0; i < count; ++i)
        if (current_map.coords[i].coord_flags & flag) bits[i / 8] |= static_cast<uint8_t>(1u << (i & 7));
    w.bytes(bits.data(), bits.size());
}

// ---------------------------------------------------------------- reading

struct reader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool ok = true;

    bool has(uint64_t n) {
        if (!ok || n > size - pos) ok = false;
        return ok;
    }
    uint8_t u8() { return has(1) ? data[pos++] : 0; }
    uint16_t u16() {
        if (!has(2)) return 0;
        uint16_t v = static_cast<uint16_t>(data[pos] | data[pos + 1] << 8);
        pos += 2;
        return v;
    }
    uint32_t u32() {
        uint32_t lo = u16();
        return lo | static_cast<uint32_t>(u16()) << 16;
    }
    uint64_t u64() {
        uint64_t lo = u32();
        return lo | static_cast<uint64_t>(u32()) << 32;
    }
    const uint8_t* take(uint64_t n) {
        if (!has(n)) return nullptr;
        const uint8_t* p = data + pos;
        pos += static_cast<size_t>(n);
        return p;
    }
    std::span<const uint8_t> rest() const {
        return ok ? std::span<const uint8_t>(data + pos, size - pos) : std::span<const uint8_t>();
    }
    map_side side() {
        map_side s;
        s.primary = u8();
        s.secondary = u8();
        s.arch_and_flags2 = u8();
        s.target_side = u8();
        s.action_target = u16();
        s.secondary_x = u8();
        s.secondary_y = u8();
        s.flags = u32();
        s.primary_anim = u8();
        s.secondary_anim = u8();
        s.reserved = u8();
        s.action = u8();
        return s;
    }
    map_sector sector() {
        map_sector s;
        s.floor = u8();
        s.ceiling = u8();
        s.surface_modes = u8();
        s.sector_type = u8();
        s.action = u8();
        s.action_side = u8();
        for (uint16_t& e : s.exits) e = u16();
        s.action_target = u16();
        return s;
    }
};

// Item numbers (a stack's continuation names its item negated) are checked
// against the item table when one is installed; a world without items takes
// every number.
bool items_known(const int16_t* items, size_t count) {
    const int known = map_services.item_count ? map_services.item_count() : 0;
    if (known <= 0) return true;
    return std::all_of(items, items + count, [known](int16_t n) { return std::abs(int{n}) <= known; });
}

// ---------------------------------------------------------------- the parts kept above the world

// Until their libraries are installed: no monsters and no paths are written,
// and those read are skipped; nothing in the air is written, and a record
// with something in the air does not fit.
void write_no_monsters(std::vector<uint8_t>& out) {
    writer{out}.u32(END_MARK);
}
bool skip_monsters(std::span<const uint8_t> bytes, size_t& used) {
    reader r{bytes.data(), bytes.size()};
    for (;;) {
        const uint32_t index = r.u32();
        if (!r.ok) return false;
        if (index == END_MARK) break;
        if (index >= MONSTER_PLACES || !r.take(MONSTER_RECORD_BYTES)) return false;
    }
    used = r.pos;
    return true;
}
void write_nothing_flying(std::vector<uint8_t>& out) {
    writer{out}.u32(0);
}
bool nothing_flying(std::span<const uint8_t> bytes, size_t& used) {
    reader r{bytes.data(), bytes.size()};
    if (r.u32() != 0 || !r.ok) return false;
    used = r.pos;
    return true;
}
void write_no_paths(std::vector<uint8_t>& out) {
    writer{out}.u16(SHORT_END_MARK);
}
bool skip_paths(std::span<const uint8_t> bytes, size_t& used) {
    reader r{bytes.data(), bytes.size()};
    for (;;) {
        const uint16_t index = r.u16();
        if (!r.ok) return false;
        if (index == SHORT_END_MARK) break;
        const uint32_t length = r.u32();
        if (index >= MONSTER_PLACES || !r.take(uint64_t{length} * 2)) return false;
    }
    used = r.pos;
    return true;
}
void nothing_to_commit() {}

map_state_section default_section(map_state_part part) {
    switch (part) {
        case map_state_part::monsters:
            return {write_no_monsters, skip_monsters, nothing_to_commit};
        case map_state_part::flying_objects:
            return {write_nothing_flying, nothing_flying, nothing_to_commit};
        case map_state_part::monster_extras:
            break;
    }
    return {write_no_paths, skip_paths, nothing_to_commit};
}

std::array<map_state_section, 3> sections = {default_section(map_state_part::monsters),
                                             default_section(map_state_part::flying_objects),
                                             default_section(map_state_part::monster_extras)};

map_state_section& section(map_state_part part) {
    return sections[static_cast<size_t>(part)];
}

// Runs a section's staging read over the rest of the record.
bool stage_section(reader& r, map_state_part part) {
    const std::span<const uint8_t> rest = r.rest();
    if (!r.ok) return false;
    size_t used = 0;
    if (!section(part).stage(rest, used) || used > rest.size()) return false;
    r.pos += used;
    return true;
}

// Everything a record holds, read and checked before any of it is used.
struct staged_state {
    std::vector<uint8_t> mapped, unused;
    std::vector<std::vector<uint8_t>> notes;
    std::vector<std::pair<size_t, map_side>> sides;
    std::vector<std::pair<size_t, map_sector>> sectors;
    std::vector<uint8_t> resting;
    std::vector<delayed_action> delayed;
    std::optional<std::vector<uint8_t>> ran_once;
    std::array<uint8_t, 128> code_locks{};
    std::vector<map_item_place> items;
    std::set<uint32_t> places_seen;
    std::set<uint32_t> items_dropped;  // places whose stored list named unknown items
    std::vector<std::optional<std::array<uint8_t, RECESS_RECORD_SIZE>>> recesses;  // none: the file's kept
};

// Reads the parts up to the changed sectors. False when they do not fit.
bool read_automap_parts(reader& r, size_t count, staged_state& st) {
    if (r.u8() >= 3 || r.u32() != count || r.u32() != (count + 7) / 8 || !r.ok) return false;
    const uint8_t* mapped = r.take((count + 7) / 8);
    const uint8_t* unused = r.take((count + 7) / 8);
    if (!r.ok) return false;
    st.mapped.assign(mapped, mapped + (count + 7) / 8);
    st.unused.assign(unused, unused + (count + 7) / 8);
    const uint32_t notes = r.u32();
    for (uint32_t i = 0; i < notes && r.ok; ++i) {
        const uint16_t length = r.u16();
        if (length <= NOTE_HEAD) return false;
        const uint8_t* note = r.take(length);
        if (!note) return false;
        // The text ends within the note.
        if (std::find(note + NOTE_HEAD, note + length, 0) == note + length) return false;
        st.notes.emplace_back(note, note + length);
    }
    for (;;) {
        const uint32_t index = r.u32();
        if (!r.ok) return false;
        if (index == END_MARK) break;
        if (index >= 4 * count) return false;
        st.sides.emplace_back(index, r.side());
    }
    for (;;) {
        const uint32_t index = r.u32();
        if (!r.ok) return false;
        if (index == END_MARK) break;
        if (index >= count) return false;
        st.sectors.emplace_back(index, r.sector());
    }
    return r.ok;
}

// Reads the parts from the resting bytes to the alcoves. False when they do not fit.
bool read_play_parts(reader& r, size_t count, staged_state& st) {
    if (r.u32() != 4 * count) return false;
    const uint8_t* resting = r.take(4 * count);
    if (!resting) return false;
    st.resting.assign(resting, resting + 4 * count);

    const uint16_t delayed = r.u16();
    for (int i = 0; i < delayed && r.ok; ++i) {
        delayed_action a;
        a.code = r.u16();
        a.sector = r.u16();
        a.side = r.u16();
        a.flags_high = r.u16();
        a.propagate = r.u16();
        a.delay = r.u16();
        r.take(DELAYED_RECORD_SIZE - 12);
        st.delayed.push_back(a);
    }
    const uint64_t fired = r.u64();
    const uint8_t* marks = r.take(fired);
    if (!r.ok) return false;
    if (fired == map_actions.ran_once.size()) st.ran_once.emplace(marks, marks + fired);

    const uint8_t* locks = r.take(st.code_locks.size());
    if (!locks) return false;
    std::copy(locks, locks + st.code_locks.size(), st.code_locks.begin());

    for (;;) {
        const uint32_t place = r.u32();
        if (!r.ok) return false;
        if (place == END_MARK) break;
        const uint32_t length = r.u32();
        if (place >= 4 * count || length == 0 || !r.has(uint64_t{length} * 2)) return false;
        map_item_place list{place, {}};
        for (uint32_t i = 0; i < length; ++i) list.items.push_back(static_cast<int16_t>(r.u16()));
        if (list.items.back() != 0) return false;
        // The game sees the first list of a place alone (a map file may have more).
        if (!st.places_seen.insert(place).second) continue;
        if (items_known(list.items.data(), list.items.size()))
            st.items.push_back(std::move(list));
        else
            st.items_dropped.insert(place);
    }

    const uint16_t recesses = r.u16();
    if (!r.ok || recesses > current_map.recesses.size()) return false;
    for (int i = 0; i < recesses; ++i) {
        const uint8_t* p = r.take(RECESS_RECORD_SIZE);
        if (!p) return false;
        std::array<int16_t, RECESS_ITEM_SLOTS> items{};
        for (int k = 0; k < RECESS_ITEM_SLOTS; ++k)
            items[size_t(k)] = static_cast<int16_t>(p[RECESS_ITEMS_AT + 2 * k] | p[RECESS_ITEMS_AT + 2 * k + 1] << 8);
        std::array<uint8_t, RECESS_RECORD_SIZE> rec{};
        std::copy(p, p + RECESS_RECORD_SIZE, rec.begin());
        if (items_known(items.data(), items.size()))
            st.recesses.emplace_back(rec);
        else
            st.recesses.emplace_back(std::nullopt);
    }
    return r.ok;
}

void apply_coord_bits(const std::vector<uint8_t>& bits, uint16_t flag) {
    for (size_t i = 0; i < current_map.coords.size() && i / 8 < bits.size(); ++i)
        if (bits[i / 8] & (1u << (i & 7))) current_map.coords[i].coord_flags |= flag;
}

// The stored floor lists replace the file's (a place emptied in play has
// none); where a stored list named unknown items the file's list stays.
void apply_floor_lists(staged_state& st) {
    std::vector<map_item_place> lists = std::move(st.items);
    for (map_item_place& from_file : current_map.items)
        if (st.items_dropped.count(from_file.place)) lists.push_back(std::move(from_file));
    std::stable_sort(lists.begin(), lists.end(),
                     [](const map_item_place& a, const map_item_place& b) { return a.place < b.place; });
    current_map.items = std::move(lists);
}

int apply_record(const uint8_t* data, size_t size, int sector_count, bool automap_only) {
    if (!data || sector_count != current_map.sector_count || sector_count < 0) return MAP_STATE_UNFIT;
    const size_t count = static_cast<size_t>(sector_count);
    reader r{data, size};
    staged_state st;
    if (!read_automap_parts(r, count, st)) return MAP_STATE_UNFIT;
    if (!automap_only) {
        if (!stage_section(r, map_state_part::monsters) || !read_play_parts(r, count, st) ||
            !stage_section(r, map_state_part::flying_objects) || !stage_section(r, map_state_part::monster_extras))
            return MAP_STATE_UNFIT;
    }

    apply_coord_bits(st.mapped, MC_MAPPED);
    apply_coord_bits(st.unused, MC_UNUSED);
    current_map.automap_notes = std::move(st.notes);
    for (const auto& [index, side] : st.sides) current_map.sides[index] = side;
    for (const auto& [index, sector] : st.sectors) current_map.sectors[index] = sector;
    if (automap_only) return MAP_STATE_OK;

    section(map_state_part::monsters).commit();
    current_map.side_resting = st.resting;
    map_actions.delayed = st.delayed;
    if (st.ran_once) map_actions.ran_once = *st.ran_once;
    map_actions.code_locks = st.code_locks;
    apply_floor_lists(st);
    for (size_t i = 0; i < st.recesses.size(); ++i)
        if (st.recesses[i]) current_map.recesses[i] = *st.recesses[i];
    section(map_state_part::flying_objects).commit();
    section(map_state_part::monster_extras).commit();
    return MAP_STATE_OK;
}

// ---------------------------------------------------------------- parking

struct parked_map {
    loaded_map map;
    map_action_state actions;
    int party_sector = 0, party_direction = 0;
    handle_id handle_start = MAP_FIRST_HANDLE;
};
std::optional<parked_map> parked;

}  // namespace

void set_map_state_section(map_state_part part, const map_state_section& s) {
    section(part) = s.write && s.stage && s.commit ? s : default_section(part);
}

void map_state_write(const loaded_map& original, std::vector<uint8_t>& record) {
    record.clear();
    writer w{record};
    const size_t count = static_cast<size_t>(current_map.sector_count);
    w.u8(STATE_VERSION);
    w.u32(static_cast<uint32_t>(count));
    w.u32(static_cast<uint32_t>((count + 7) / 8));
    write_coord_bits(w, MC_MAPPED);
    write_coord_bits(w, MC_UNUSED);
    // The automap's notes, as they came with the map's record: the automap
    // keeps them here when it makes them.
    w.u32(static_cast<uint32_t>(current_map.automap_notes.size()));
    for (const std::vector<uint8_t>& note : current_map.automap_notes) {
        w.u16(static_cast<uint16_t>(note.size()));
        w.bytes(note.data(), note.size());
    }
    for (size_t k = 0; k < current_map.sides.size(); ++k) {
        if (k < original.sides.size() && same_side(current_map.sides[k], original.sides[k])) continue;
        w.u32(static_cast<uint32_t>(k));
        w.side(current_map.sides[k]);
    }
    w.u32(END_MARK);
    for (size_t k = 0; k < current_map.sectors.size(); ++k) {
        if (k < original.sectors.size() && same_sector(current_map.sectors[k], original.sectors[k])) continue;
        w.u32(static_cast<uint32_t>(k));
        w.sector(current_map.sectors[k]);
    }
    w.u32(END_MARK);
    section(map_state_part::monsters).write(record);
    w.u32(static_cast<uint32_t>(current_map.side_resting.size()));
    w.bytes(current_map.side_resting.data(), current_map.side_resting.size());
    w.u16(static_cast<uint16_t>(std::min<size_t>(map_actions.delayed.size(), 0xFFFF)));
    for (size_t i = 0; i < map_actions.delayed.size() && i < 0xFFFF; ++i) {
        const delayed_action& a = map_actions.delayed[i];
        for (uint16_t v : {a.code, a.sector, a.side, a.flags_high, a.propagate, a.delay}) w.u16(v);
        w.zeros(DELAYED_RECORD_SIZE - 12);
    }
    w.u64(map_actions.ran_once.size());
    w.bytes(map_actions.ran_once.data(), map_actions.ran_once.size());
    w.bytes(map_actions.code_locks.data(), map_actions.code_locks.size());
    // In the order of the places, so that one state always writes the same
    // bytes however its lists came about.
    std::vector<const map_item_place*> places;
    for (const map_item_place& place : current_map.items) places.push_back(&place);
    std::stable_sort(places.begin(), places.end(),
                     [](const map_item_place* a, const map_item_place* b) { return a->place < b->place; });
    for (const map_item_place* listed : places) {
        const map_item_place& place = *listed;
        size_t length = 0;
        while (length < place.items.size() && place.items[length] != 0) ++length;
        if (length == 0) continue;
        w.u32(place.place);
        w.u32(static_cast<uint32_t>(length + 1));
        for (size_t i = 0; i < length; ++i) w.u16(static_cast<uint16_t>(place.items[i]));
        w.u16(0);
    }
    w.u32(END_MARK);
    w.u16(static_cast<uint16_t>(current_map.recesses.size()));
    for (const auto& rec : current_map.recesses) w.bytes(rec.data(), rec.size());
    section(map_state_part::flying_objects).write(record);
    section(map_state_part::monster_extras).write(record);
}

void map_state_store() {
    if (current_map.name.empty()) return;
    std::optional<loaded_map> original = original_map();
    if (!original) {
        display_close();
        fatal_error("Unable to open the file : %s", current_map.name.c_str());
    }
    std::vector<uint8_t> record;
    map_state_write(*original, record);
    map_store_write(current_map.name, record);
}

int map_state_apply(const std::string& name, int sector_count, bool automap_only) {
    std::vector<uint8_t> record;
    if (name.empty() || !map_store_read(name, record)) return MAP_STATE_MISSING;
    return apply_record(record.data(), record.size(), sector_count, automap_only);
}

int map_state_apply_bytes(const uint8_t* data, size_t size, bool automap_only) {
    return apply_record(data, size, current_map.sector_count, automap_only);
}

void park_map() {
    if (parked) {
        display_close();
        fatal_error("Already saved map state");
    }
    parked.emplace();
    parked->map = std::move(current_map);
    parked->actions = std::move(map_actions);
    parked->party_sector = party.sector;
    parked->party_direction = party.direction;
    parked->handle_start = map_handle_start;
    // A map looked at meanwhile takes its handles above the parked map's.
    map_handle_start = parked->map.handle_end;
    current_map = loaded_map{};
    map_actions = map_action_state{};
}

void unpark_map() {
    if (!parked) return;
    // The map looked at meanwhile leaves nothing behind: neither handles nor state.
    for (unsigned h = current_map.handle_start; h < current_map.handle_end; ++h)
        undefine_handle(static_cast<handle_id>(h));
    current_map = std::move(parked->map);
    map_actions = std::move(parked->actions);
    party.sector = parked->party_sector;
    party.direction = parked->party_direction;
    map_handle_start = parked->handle_start;
    parked.reset();
}

bool map_parked() {
    return parked.has_value();
}

std::optional<loaded_map> read_map_file(const std::string& name) {
    FILE* f = open_file(build_path(path_table[PATH_MAPS], name), "rb");
    if (!f) return std::nullopt;
    std::vector<uint8_t> bytes;
    uint8_t buffer[16384];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    const bool read_ok = !std::ferror(f);
    std::fclose(f);
    loaded_map map;
    if (!read_ok || parse_map(bytes.data(), bytes.size(), map) != MAP_OK) return std::nullopt;
    return map;
}
