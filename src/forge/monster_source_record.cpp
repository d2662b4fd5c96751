#include "forge/monster_source_record.h"

#include "core/record_bytes.h"

namespace forge {

void append_monster_record(const monster& m, std::vector<uint8_t>& out) {
    size_t start = out.size();
    out.resize(start + MONSTER_RECORD_SIZE);
    record_writer w(out.data() + start);
    w.bytes(m.name, sizeof m.name);
    w.i16(m.spell);
    w.i16s(m.frame_shift, MONSTER_ANIM_KINDS * MONSTER_KIND_FRAMES);
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
    w.u8(m.reserved343);
    w.i32(m.experience);
    w.u8(m.state);
    w.u8(m.anim_kind);
    w.i16(m.target_sector);
    w.i16(m.home_sector);
    w.i16(m.next_in_sector);
    w.u8(m.actions);
    w.u8(m.hit_frame);
    for (uint16_t s : m.sounds) w.u16(s);
    w.u8(uint8_t(m.color_variant));
    w.u8(m.intent);
    w.i16(m.reserved368);
    w.u8(m.hit_flags);
    w.u8(m.reserved371);
    w.u16(m.money);
    w.u16(m.script);
    w.u16(m.damage_taken);
    w.bytes(m.reserved378, sizeof m.reserved378);
}

}  // namespace forge
