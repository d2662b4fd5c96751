#include "monsters/monster_record.h"

#include <algorithm>
#include <cstring>

#include "core/record_bytes.h"

bool read_monster(std::span<const uint8_t> bytes, monster& out) {
    if (bytes.size() < MONSTER_RECORD_SIZE) return false;
    record_reader r(bytes.data(), MONSTER_RECORD_SIZE);
    monster m;
    r.bytes(m.name, sizeof m.name);
    m.name[sizeof m.name - 1] = 0;  // a name that fills the field is cut, never left open
    m.spell = r.i16();
    r.i16s(m.frame_shift, std::size(m.frame_shift));
    m.sector = r.i16();
    m.direction = r.i16();
    m.pos_x = r.u8();
    m.pos_y = r.u8();
    m.goal_x = r.u8();
    m.goal_y = r.u8();
    m.anim_frame = r.i16();
    r.i16s(m.stats, MONSTER_STATS);
    r.i16s(m.carried, MONSTER_CARRIED);
    m.hp = r.i16();
    m.anim_set = r.i16();
    m.speed = r.i16();
    m.sight = r.i16();
    m.reach = r.i16();
    m.strategy = r.u8();
    m.walk_data = r.u8();
    m.kill_experience = r.u16();
    m.morale = r.u8();
    r.bytes(m.frame_count, sizeof m.frame_count);
    r.bytes(m.anim_name, sizeof m.anim_name);
    m.anim_name[sizeof m.anim_name - 1] = 0;
    m.anim_owned = r.u8();
    m.script_state = r.u8();
    m.experience = r.i32();
    m.state = r.u8();
    m.anim_kind = r.u8();
    m.target_sector = r.i16();
    m.home_sector = r.i16();
    m.next_in_sector = r.i16();
    m.actions = r.u8();
    m.hit_frame = r.u8();
    for (uint16_t& s : m.sounds) s = r.u16();
    m.color_variant = static_cast<int8_t>(r.u8());
    m.intent = r.u8();
    m.reserved368 = r.i16();
    m.hit_flags = r.u8();
    m.reserved371 = r.u8();
    m.money = r.u16();
    m.script = r.u16();
    m.damage_taken = r.u16();
    r.bytes(m.reserved378, sizeof m.reserved378);
    if (!r.ok() || r.position() != MONSTER_RECORD_SIZE) return false;
    out = m;
    return true;
}

void write_monster(const monster& m, std::vector<uint8_t>& out) {
    const size_t start = out.size();
    out.resize(start + MONSTER_RECORD_SIZE);
    record_writer w(out.data() + start);
    w.bytes(m.name, sizeof m.name);
    w.i16(m.spell);
    w.i16s(m.frame_shift, std::size(m.frame_shift));
    w.i16(m.sector);
    w.i16(m.direction);
    w.u8(m.pos_x);
    w.u8(m.pos_y);
    w.u8(m.goal_x);
    w.u8(m.goal_y);
    w.i16(m.anim_frame);
    w.i16s(m.stats, MONSTER_STATS);
    w.i16s(m.carried, MONSTER_CARRIED);
    w.i16(m.hp);
    w.i16(m.anim_set);
    w.i16(m.speed);
    w.i16(m.sight);
    w.i16(m.reach);
    w.u8(m.strategy);
    w.u8(m.walk_data);
    w.u16(m.kill_experience);
    w.u8(m.morale);
    w.bytes(m.frame_count, sizeof m.frame_count);
    w.bytes(m.anim_name, sizeof m.anim_name);
    w.u8(m.anim_owned);
    w.u8(m.script_state);
    w.i32(m.experience);
    w.u8(m.state);
    w.u8(m.anim_kind);
    w.i16(m.target_sector);
    w.i16(m.home_sector);
    w.i16(m.next_in_sector);
    w.u8(m.actions);
    w.u8(m.hit_frame);
    for (uint16_t s : m.sounds) w.u16(s);
    w.u8(static_cast<uint8_t>(m.color_variant));
    w.u8(m.intent);
    w.i16(m.reserved368);
    w.u8(m.hit_flags);
    w.u8(m.reserved371);
    w.u16(m.money);
    w.u16(m.script);
    w.u16(m.damage_taken);
    w.bytes(m.reserved378, sizeof m.reserved378);
}

std::vector<uint8_t> widen_old_monster(std::span<const uint8_t> old_record) {
    std::vector<uint8_t> wide(MONSTER_RECORD_SIZE, 0);
    if (old_record.size() < MONSTER_OLD_RECORD_SIZE) return wide;
    // The older layout lacks the four bytes before `experience`: everything
    // from its byte 341 on moves up by three, and the owned-set flag starts clear.
    std::copy_n(old_record.begin(), 344, wide.begin());
    std::copy(old_record.begin() + 341, old_record.begin() + MONSTER_OLD_RECORD_SIZE, wide.begin() + 344);
    wide[342] = 0;
    wide[379] = 0;
    wide[29] = 0;  // the name stays terminated whatever the old record held there
    return wide;
}

std::vector<monster> read_monster_definitions(std::span<const uint8_t> bytes) {
    std::vector<monster> out;
    // A trailing partial record is ignored.
    for (size_t at = 0; at + MONSTER_RECORD_SIZE <= bytes.size(); at += MONSTER_RECORD_SIZE) {
        monster m;
        if (read_monster(bytes.subspan(at, MONSTER_RECORD_SIZE), m)) out.push_back(m);
    }
    return out;
}

std::vector<monster> read_old_monster_definitions(std::span<const uint8_t> bytes) {
    std::vector<monster> out;
    for (size_t at = 0; at + MONSTER_OLD_RECORD_SIZE <= bytes.size(); at += MONSTER_OLD_RECORD_SIZE) {
        const std::vector<uint8_t> wide = widen_old_monster(bytes.subspan(at, MONSTER_OLD_RECORD_SIZE));
        monster m;
        if (read_monster(wide, m)) out.push_back(m);
    }
    return out;
}

std::vector<uint8_t> write_monster_definitions(std::span<const monster> definitions) {
    std::vector<uint8_t> out;
    out.reserve(definitions.size() * MONSTER_RECORD_SIZE);
    for (const monster& m : definitions) write_monster(m, out);
    return out;
}
