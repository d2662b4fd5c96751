// The monster table's part of the map state record: every slot that holds a
// record to keep, as slot number and 380-byte record, ended by -1.
//
// A slot holds a record while its animation set is one of the map's
// (anim_set >= 0): living monsters and the dead kept for coming back. A
// summoned monster with pictures of its own (anim_owned bit 0) is not kept:
// its set is registered for this visit alone and is gone when the map is
// loaded again.
#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "core/record_bytes.h"
#include "monsters/monster_anim.h"
#include "monsters/monsters.h"
#include "world/map.h"
#include "world/map_services.h"
#include "world/map_state.h"

namespace {

constexpr uint32_t END_MARK = 0xFFFFFFFFu;

std::vector<std::pair<int, monster>> staged;

bool kept(const monster& m) {
    return m.anim_set >= 0 && !(m.anim_owned & 1);
}

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void write_monsters(std::vector<uint8_t>& out) {
    for (int slot = 0; slot < MONSTER_SLOTS; ++slot) {
        const monster& m = monster_table[static_cast<size_t>(slot)];
        if (!kept(m)) continue;
        put_u32(out, static_cast<uint32_t>(slot));
        write_monster(m, out);
    }
    put_u32(out, END_MARK);
}

bool in_map(int sector) {
    return sector >= 0 && sector < current_map.sector_count;
}

// A stored record may only name what this map has: its sectors, a direction,
// one of the animation sets placed with the map.
bool fits_map(const monster& m, const std::set<int>& sets) {
    if (!in_map(m.sector) || !in_map(m.home_sector)) return false;
    if (m.alive() && m.sector == 0) return false;
    return m.direction >= 0 && m.direction <= 3 && m.speed >= 1 && sets.count(m.anim_set) != 0;
}

// Carried items that the item table does not know are left out.
void forget_unknown_items(monster& m) {
    const int known = map_services.item_count ? map_services.item_count() : 0;
    if (known <= 0) return;
    for (int16_t& item : m.carried)
        if (std::abs(int{item}) > known) item = 0;
}

bool stage_monsters(std::span<const uint8_t> bytes, size_t& used) {
    staged.clear();
    std::set<int> sets;
    for (const monster& m : monster_table)
        if (kept(m)) sets.insert(m.anim_set);
    std::set<int> seen;
    record_reader r(bytes.data(), bytes.size());
    for (;;) {
        const uint32_t index = r.u32();
        if (!r.ok()) return false;
        if (index == END_MARK) break;
        if (index >= MONSTER_SLOTS || !seen.insert(static_cast<int>(index)).second) return false;
        monster m;
        if (!read_monster(bytes.subspan(r.position()), m)) return false;
        r.skip(MONSTER_RECORD_SIZE);
        if (!fits_map(m, sets)) return false;
        m.anim_owned &= static_cast<uint8_t>(~1u);
        // The sector it attacks is set in a fight; a definition may bring anything.
        if (!in_map(m.target_sector)) m.target_sector = 0;
        for (uint8_t& count : m.frame_count) count = std::min<uint8_t>(count, MONSTER_MAX_FRAME);
        forget_unknown_items(m);
        staged.emplace_back(static_cast<int>(index), m);
    }
    used = r.position();
    return true;
}

void commit_monsters() {
    monster empty;
    empty.anim_set = -1;
    monster_table.fill(empty);
    for (const auto& [slot, m] : staged) monster_table[static_cast<size_t>(slot)] = m;
    staged.clear();
    // No battle goes on in a map just entered.
    for (monster& m : monster_table) m.state &= static_cast<uint8_t>(~MST_BATTLE);
    rebuild_occupancy();
}

}  // namespace

void install_monster_map_state() {
    set_map_state_section(map_state_part::monsters, {write_monsters, stage_monsters, commit_monsters});
}
