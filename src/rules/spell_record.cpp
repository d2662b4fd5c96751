// The spell definition file: 56-byte records read and written field by
// field, then the code they point into.
#include <algorithm>
#include <cstring>

#include "core/record_bytes.h"
#include "rules/spell_record.h"

spell_def read_spell_record(const uint8_t* bytes, spell_layout layout) {
    record_reader r(bytes, SPELL_RECORD_SIZE);
    spell_def d;
    d.number = r.u16();
    d.power = r.u16();
    d.cost = r.u16();
    d.element = r.u16();
    d.caster = r.i16();
    d.group = r.i16();
    d.code = r.i32();
    d.target_kind = r.i16();
    d.resistible = r.u8();
    if (layout == spell_layout::memory) d.spell_flags = r.u8();
    d.backfire = r.u16();
    d.frame_wait = r.i16();
    d.tick_wait = r.i16();
    if (layout == spell_layout::file) d.spell_flags = r.u8();
    r.bytes(d.spell_name, sizeof d.spell_name);
    d.spell_name[SPELL_NAME_SIZE - 1] = 0;
    return d;
}

void write_spell_record(const spell_def& d, uint8_t* out, spell_layout layout) {
    record_writer w(out);
    w.u16(d.number);
    w.u16(d.power);
    w.u16(d.cost);
    w.u16(d.element);
    w.i16(d.caster);
    w.i16(d.group);
    w.i32(d.code);
    w.i16(d.target_kind);
    w.u8(d.resistible);
    if (layout == spell_layout::memory) w.u8(d.spell_flags);
    w.u16(d.backfire);
    w.i16(d.frame_wait);
    w.i16(d.tick_wait);
    if (layout == spell_layout::file) w.u8(d.spell_flags);
    char name[SPELL_NAME_SIZE] = {};
    std::memcpy(name, d.spell_name, SPELL_NAME_SIZE - 1);
    w.bytes(name, sizeof name);
}

bool read_spell_file(std::span<const uint8_t> bytes, spell_book& out, std::string* error) {
    auto fail = [&](const char* text) {
        if (error) *error = text;
        return false;
    };
    if (bytes.size() < SPELL_RECORD_SIZE) return fail("the spell file is shorter than one record");
    // The records end where the lowest code offset begins.
    size_t end = bytes.size();
    std::vector<spell_def> spells;
    for (size_t at = 0; at + SPELL_RECORD_SIZE <= end; at += SPELL_RECORD_SIZE) {
        spell_def d = read_spell_record(bytes.data() + at, spell_layout::file);
        // Code that lies before the end of this record or past the file is
        // not a program: the spell counts as not defined.
        if (d.code != 0 &&
            (size_t(std::max(d.code, 0)) < at + SPELL_RECORD_SIZE || size_t(d.code) >= bytes.size()))
            d.code = 0;
        if (d.code > 0) end = std::min(end, size_t(d.code));
        spells.push_back(d);
    }
    if (spells.size() > size_t(SPELL_COUNT)) spells.resize(SPELL_COUNT);
    out.spells = std::move(spells);
    out.bytes.assign(bytes.begin(), bytes.end());
    return true;
}

void apply_spell_names(spell_book& book, const std::vector<std::string>& names) {
    constexpr size_t NAME_MAX = 27;
    for (size_t i = 0; i < book.spells.size() && i < names.size(); ++i) {
        if (names[i].empty()) continue;
        char* name = book.spells[i].spell_name;
        std::memset(name, 0, SPELL_NAME_SIZE);
        std::memcpy(name, names[i].data(), std::min(names[i].size(), NAME_MAX));
    }
}

const spell_def* spell_book::find(int number) const {
    if (number < 0 || size_t(number) >= spells.size()) return nullptr;
    const spell_def& d = spells[size_t(number)];
    return d.code > 0 ? &d : nullptr;
}
