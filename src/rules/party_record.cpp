#include "rules/party_record.h"

#include "core/record_bytes.h"

namespace {

struct stat_info {
    const char* name;
    int16_t min;
    int16_t max;
};

constexpr stat_info stat_table[STAT_COUNT] = {
    {"strength", 0, 200},
    {"magic_power", 0, 200},
    {"speed", 0, 200},
    {"dexterity", 0, 200},
    {"hp_max", 1, 32767},
    {"vp_max", 1, 32767},
    {"mp_max", 0, 32767},
    {"defense_min", 0, 190},
    {"defense_max", 1, 199},
    {"attack_min", 0, 190},
    {"attack_max", 1, 199},
    {"resist[0]", 0, 99},
    {"resist[1]", 0, 99},
    {"resist[2]", 0, 99},
    {"resist[3]", 0, 99},
    {"resist[4]", 0, 99},
    {"hp_regen", 0, 90},
    {"mp_regen", 0, 90},
    {"vp_regen", 0, 90},
    {"magic_attack_min", -32768, 32767},
    {"magic_attack_max", -32768, 32767},
    {"magic_element", -32768, 32767},
    {"damage_bonus", -32768, 32767},
    {"flags", -32768, 32767},
};

// A pointer field in the file: 8 bytes, zero or (for saved_self) one.
constexpr size_t POINTER_BYTES = 8;

}  // namespace

const char* stat_name(int index) {
    return index >= 0 && index < STAT_COUNT ? stat_table[index].name : "";
}
int stat_min(int index) {
    return index >= 0 && index < STAT_COUNT ? stat_table[index].min : -32768;
}
int stat_max(int index) {
    return index >= 0 && index < STAT_COUNT ? stat_table[index].max : 32767;
}

bool read_party_member(const uint8_t* data, size_t size, party_member& out, bool* saved_self_follows) {
    if (data == nullptr || size < PARTY_MEMBER_SIZE) return false;
    record_reader r(data, PARTY_MEMBER_SIZE);
    party_member m;
    m.used = r.u8();
    m.under_spell = r.u8();
    m.group = r.u8();
    m.face = r.u8();
    m.direction = r.u8();
    m.reserved5 = r.u8();
    m.sector = r.i16();
    r.i16s(m.stats, STAT_COUNT);
    r.i16s(m.skills, WEAPON_CLASSES);
    m.hp = r.i16();
    m.mp = r.i16();
    m.vp = r.i16();
    m.actions_left = r.i16();
    m.mp_cap = r.i16();
    r.i16s(m.base_stats, STAT_COUNT);
    r.i16s(m.worn, WORN_SLOTS);
    m.arrows = r.i16();
    m.inventory_size = r.i16();
    r.i16s(m.inventory, BACKPACK_MAX);
    m.level = r.i16();
    r.i16s(m.skill_practice, WEAPON_CLASSES);
    m.reserved234 = r.i16();
    m.experience = r.i32();
    m.female = r.u8();
    m.walk_steps = r.u8();
    r.bytes(m.reserved242, sizeof m.reserved242);
    r.skip(2 * POINTER_BYTES);  // plan, plan_cursor
    m.planned = r.u8();
    r.bytes(m.name, sizeof m.name);
    m.name[sizeof m.name - 1] = 0;
    m.last_damage = r.i16();
    m.free_points = r.i16();
    r.bytes(m.reserved286, sizeof m.reserved286);
    m.food = r.i32();
    m.water = r.i32();
    uint8_t self[POINTER_BYTES];
    r.bytes(self, sizeof self);
    bool follows = false;
    for (uint8_t b : self) follows = follows || b != 0;
    m.map_hash = r.u32();
    r.bytes(m.reserved308, sizeof m.reserved308);
    if (!r.ok() || r.position() != PARTY_MEMBER_SIZE) return false;
    out = m;
    if (saved_self_follows) *saved_self_follows = follows;
    return true;
}

void write_party_member(const party_member& m, uint8_t* out) {
    record_writer w(out);
    w.u8(m.used);
    w.u8(m.under_spell);
    w.u8(m.group);
    w.u8(m.face);
    w.u8(m.direction);
    w.u8(m.reserved5);
    w.i16(m.sector);
    w.i16s(m.stats, STAT_COUNT);
    w.i16s(m.skills, WEAPON_CLASSES);
    w.i16(m.hp);
    w.i16(m.mp);
    w.i16(m.vp);
    w.i16(m.actions_left);
    w.i16(m.mp_cap);
    w.i16s(m.base_stats, STAT_COUNT);
    w.i16s(m.worn, WORN_SLOTS);
    w.i16(m.arrows);
    w.i16(m.inventory_size);
    w.i16s(m.inventory, BACKPACK_MAX);
    w.i16(m.level);
    w.i16s(m.skill_practice, WEAPON_CLASSES);
    w.i16(m.reserved234);
    w.i32(m.experience);
    w.u8(m.female);
    w.u8(m.walk_steps);
    w.bytes(m.reserved242, sizeof m.reserved242);
    w.zeros(2 * POINTER_BYTES);
    w.u8(m.planned);
    w.bytes(m.name, sizeof m.name);
    w.i16(m.last_damage);
    w.i16(m.free_points);
    w.bytes(m.reserved286, sizeof m.reserved286);
    w.i32(m.food);
    w.i32(m.water);
    w.u8(m.saved_self ? 1 : 0);
    w.zeros(POINTER_BYTES - 1);
    w.u32(m.map_hash);
    w.bytes(m.reserved308, sizeof m.reserved308);
}

void append_party_member(const party_member& member, std::vector<uint8_t>& out) {
    size_t at = out.size();
    out.resize(at + PARTY_MEMBER_SIZE);
    write_party_member(member, out.data() + at);
}
