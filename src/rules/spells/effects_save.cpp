// The effects in a saved game. The main block keeps the layout other readers
// know: the count, then per active slot its definition record in memory
// layout, its change block and its flags. That layout has no room for the
// target, the caster, the silent flag, the place, the shape the effect is
// bound to, the registers between a pair of instructions and the teleport
// destination; they travel in a block of their own (docs/formats.md).
#include <cstring>

#include "core/record_bytes.h"
#include "monsters/monster_record.h"
#include "rules/party.h"
#include "rules/spells/spells_internal.h"

namespace {

constexpr size_t SLOT_BYTES = SPELL_RECORD_SIZE + EFFECT_CHANGES_SIZE + 4;
constexpr uint16_t EXTRAS_VERSION = 1;
constexpr size_t EXTRAS_FIXED = 30;  // per slot, before the map name
constexpr size_t DEST_MAP_MAX = 255;

void put(std::vector<uint8_t>& out, size_t size, auto&& fill) {
    const size_t at = out.size();
    out.resize(at + size);
    record_writer w(out.data() + at);
    fill(w);
}

}  // namespace

void save_effects(std::vector<uint8_t>& out) {
    int32_t count = 0;
    for (const effect_slot& e : effect_slots()) count += e.used ? 1 : 0;
    put(out, 4, [&](record_writer& w) { w.i32(count); });
    for (const effect_slot& e : effect_slots()) {
        if (!e.used) continue;
        const size_t at = out.size();
        out.resize(at + SLOT_BYTES);
        write_spell_record(e.def, out.data() + at, spell_layout::memory);
        record_writer w(out.data() + at + SPELL_RECORD_SIZE);
        w.i16s(e.changes, STAT_COUNT);
        w.u32(e.flags);
    }
}

void save_effect_extras(std::vector<uint8_t>& out) {
    uint16_t count = 0;
    for (const effect_slot& e : effect_slots()) count = uint16_t(count + (e.used ? 1 : 0));
    put(out, 4, [&](record_writer& w) {
        w.u16(EXTRAS_VERSION);
        w.u16(count);
    });
    for (const effect_slot& e : effect_slots()) {
        if (!e.used) continue;
        const size_t name = std::min(e.dest_map.size(), DEST_MAP_MAX);
        put(out, EXTRAS_FIXED + 1 + name, [&](record_writer& w) {
            w.i16(int16_t(e.target));
            w.i16(int16_t(e.caster));
            w.u8(e.silent ? 1 : 0);
            w.u8(e.transformed ? 1 : 0);
            w.i32(e.place);
            w.i16(e.reg_a);
            w.i16(e.reg_b);
            w.u8(e.fill);
            w.u8(e.pair_op);
            w.i32(e.area_strength);
            w.i16(int16_t(e.dest_sector));
            w.i16(int16_t(e.dest_direction));
            w.i16(int16_t(e.dest_across));
            w.i16(int16_t(e.dest_along));
            w.u16(0);  // room for later fields
            w.u8(uint8_t(name));
            w.bytes(e.dest_map.data(), name);
        });
    }
}

namespace {

bool valid_target(int target) {
    return target >= -MONSTER_SLOTS && target <= PARTY_SLOTS;
}

bool read_slots(std::span<const uint8_t> bytes, std::vector<effect_slot>& out) {
    if (bytes.size() < 4) return false;
    record_reader head(bytes.data(), 4);
    const int32_t count = head.i32();
    if (count < 0 || count > EFFECT_SLOTS) return false;
    if (bytes.size() != 4 + size_t(count) * SLOT_BYTES) return false;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* at = bytes.data() + 4 + size_t(i) * SLOT_BYTES;
        effect_slot e;
        e.used = true;
        e.def = read_spell_record(at, spell_layout::memory);
        if (e.def.number >= SPELL_COUNT) return false;
        record_reader r(at + SPELL_RECORD_SIZE, SLOT_BYTES - SPELL_RECORD_SIZE);
        r.i16s(e.changes, STAT_COUNT);
        e.flags = r.u32();
        // Without the extras the caster is what the record kept, and the
        // target unknown: the effect ends without touching anybody.
        e.caster = e.def.caster;
        out.push_back(e);
    }
    return true;
}

bool read_extras(std::span<const uint8_t> bytes, std::vector<effect_slot>& slots) {
    record_reader r(bytes.data(), bytes.size());
    if (r.u16() != EXTRAS_VERSION || r.u16() != slots.size()) return false;
    for (effect_slot& e : slots) {
        e.target = r.i16();
        e.caster = r.i16();
        e.silent = r.u8() != 0;
        e.transformed = r.u8() != 0;
        e.place = r.i32();
        e.reg_a = r.i16();
        e.reg_b = r.i16();
        e.fill = uint8_t(r.u8() & 3);
        e.pair_op = r.u8();
        e.area_strength = r.i32();
        e.dest_sector = r.i16();
        e.dest_direction = r.i16();
        e.dest_across = r.i16();
        e.dest_along = r.i16();
        r.u16();
        const size_t name = r.u8();
        char text[DEST_MAP_MAX + 1] = {};
        r.bytes(text, name);
        if (!r.ok() || !valid_target(e.target)) return false;
        e.dest_map.assign(text, strnlen(text, name));
    }
    return r.ok() && r.position() == bytes.size();
}

}  // namespace

bool effects_fit(std::span<const uint8_t> bytes, std::span<const uint8_t> extras) {
    std::vector<effect_slot> loaded;
    return read_slots(bytes, loaded) && (extras.empty() || read_extras(extras, loaded));
}

bool load_effects(std::span<const uint8_t> bytes, std::span<const uint8_t> extras) {
    clear_effects();
    std::vector<effect_slot> loaded;
    if (!read_slots(bytes, loaded)) return false;
    if (!extras.empty() && !read_extras(extras, loaded)) return false;
    std::span<effect_slot> slots = effect_slots();
    for (size_t i = 0; i < loaded.size(); ++i) {
        slots[i] = loaded[i];
        if (party_member* m = spell_detail::target_member(slots[i])) m->under_spell = 1;
    }
    spell_detail::recompute_globals();
    return true;
}
