#include "rules/item_record.h"

#include "core/record_bytes.h"

int16_t item_stat(const item_def& item, int j) {
    if (j >= 0 && j < 19) return item.mods[j];
    switch (j) {
        case 19:
            return item.magic_attack_min;
        case 20:
            return item.magic_attack_max;
        case 21:
            return item.magic_element;
        case 22:
            return item.damage_bonus;
        case 23:
            return item.flags_given;
        default:
            return 0;
    }
}

bool read_item_def(const uint8_t* data, size_t size, item_def& out) {
    if (data == nullptr || size < ITEM_DEF_SIZE) return false;
    record_reader r(data, ITEM_DEF_SIZE);
    item_def it;
    r.bytes(it.name, sizeof it.name);
    it.name[sizeof it.name - 1] = 0;
    r.bytes(it.description, sizeof it.description);
    it.description[sizeof it.description - 1] = 0;
    r.i16s(it.mods, 19);
    it.magic_attack_min = r.i16();
    it.magic_attack_max = r.i16();
    it.magic_element = r.i16();
    it.damage_bonus = r.i16();
    it.flags_given = r.i16();
    r.i16s(it.requirements, 4);
    it.weight = r.i16();
    it.extra_slots = r.i16();
    it.type = r.i16();
    it.placement = r.i16();
    it.item_flags = r.u16();
    it.spell = r.i16();
    it.charges = r.i16();
    r.i16s(it.reserved134, 2);
    it.icon = r.u16();
    it.picture = r.u16();
    it.value = r.i16();
    it.key_code = r.i16();
    r.i16s(it.body_pos, 2);
    r.i16s(it.body_pos_7, 2);
    it.weapon_class = r.u8();
    it.reserved155 = r.u8();
    it.sound = r.i16();
    r.i16s(it.flight_pictures, 16);
    it.money = r.u16();
    r.bytes(it.attack_anim, sizeof it.attack_anim);
    it.floor_inset = r.u8();
    r.bytes(it.reserved197, sizeof it.reserved197);
    if (!r.ok() || r.position() != ITEM_DEF_SIZE) return false;
    out = it;
    return true;
}

void write_item_def(const item_def& it, uint8_t* out) {
    record_writer w(out);
    w.bytes(it.name, sizeof it.name);
    w.bytes(it.description, sizeof it.description);
    w.i16s(it.mods, 19);
    w.i16(it.magic_attack_min);
    w.i16(it.magic_attack_max);
    w.i16(it.magic_element);
    w.i16(it.damage_bonus);
    w.i16(it.flags_given);
    w.i16s(it.requirements, 4);
    w.i16(it.weight);
    w.i16(it.extra_slots);
    w.i16(it.type);
    w.i16(it.placement);
    w.u16(it.item_flags);
    w.i16(it.spell);
    w.i16(it.charges);
    w.i16s(it.reserved134, 2);
    w.u16(it.icon);
    w.u16(it.picture);
    w.i16(it.value);
    w.i16(it.key_code);
    w.i16s(it.body_pos, 2);
    w.i16s(it.body_pos_7, 2);
    w.u8(it.weapon_class);
    w.u8(it.reserved155);
    w.i16(it.sound);
    w.i16s(it.flight_pictures, 16);
    w.u16(it.money);
    w.bytes(it.attack_anim, sizeof it.attack_anim);
    w.u8(it.floor_inset);
    w.bytes(it.reserved197, sizeof it.reserved197);
}

void append_item_def(const item_def& item, std::vector<uint8_t>& out) {
    size_t at = out.size();
    out.resize(at + ITEM_DEF_SIZE);
    write_item_def(item, out.data() + at);
}
