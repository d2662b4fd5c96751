// A spell file of any bytes: it loads or is refused, and every spell in it
// runs against a member and a monster on a small corridor without reading
// past the file, and every effect ends when the waits are finished.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "core/random.h"
#include "monsters/monsters.h"
#include "rules/flight/flight.h"
#include "rules/floor/floor_items.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "rules/spells/specials.h"
#include "rules/spells/spells.h"
#include "world/map.h"

// Spells run instruction by instruction without jumps, so a file this long
// bounds every effect to a few thousand instructions.
constexpr size_t LONGEST_INPUT = 8192;

namespace {

// Sectors 1..4 in a row, open between each other, walls elsewhere.
void build_corridor() {
    current_map = loaded_map{};
    current_map.name = "fuzz.map";
    current_map.sector_count = 6;
    current_map.sectors.resize(6);
    current_map.sides.resize(24);
    current_map.coords.resize(6);
    current_map.side_resting.resize(6);
    for (int s = 1; s <= 4; ++s) {
        current_map.coords[size_t(s)] = map_coord{int16_t(s), 0, 0, 0};
        for (int d = 0; d < 4; ++d)
            current_map.sides[size_t(s) * 4 + size_t(d)].flags = SIDE_NOPLAYER | SIDE_NOMONSTER;
        if (s > 1) {
            current_map.sectors[size_t(s)].exits[3] = uint16_t(s - 1);
            current_map.sides[size_t(s) * 4 + 3].flags = 0;
        }
        if (s < 4) {
            current_map.sectors[size_t(s)].exits[1] = uint16_t(s + 1);
            current_map.sides[size_t(s) * 4 + 1].flags = 0;
        }
    }
}

void place_party_and_monster() {
    reset_party();
    party_member& hero = party_members[0];
    hero.used = 1;
    hero.group = 1;
    hero.sector = 2;
    hero.direction = 1;
    hero.level = 1;
    hero.base_stats[STAT_HP_MAX] = hero.base_stats[STAT_MP_MAX] = hero.base_stats[STAT_VP_MAX] = 80;
    hero.base_stats[STAT_MAGIC_POWER] = 60;
    recompute_stats(hero);
    hero.hp = hero.mp = hero.vp = 80;
    hero.mp_cap = INT16_MAX;
    std::strcpy(hero.name, "tester");

    clear_monster_table();
    monster& m = monster_table[0];
    std::strcpy(m.name, "target");
    m.state = MST_LIVE;
    m.sector = m.home_sector = 3;
    m.direction = 3;
    m.hp = m.stats[STAT_HP_MAX] = 500;
    enter_occupancy(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > LONGEST_INPUT) return 0;
    static const bool ready = [] {
        build_corridor();
        return true;
    }();
    (void)ready;
    spell_book& book = game_spells();
    book = spell_book{};
    if (!read_spell_file(std::span<const uint8_t>(data, size), book)) return 0;

    random_seed(uint32_t(size));
    clear_effects();
    reset_monster_ai();
    place_party_and_monster();
    const int count = int(book.spells.size());
    for (int spell = 0; spell < count && spell < SPELL_COUNT; ++spell) {
        start_effect(spell, 1, 0, false);
        start_effect(spell, -1, monster_caster(0), true);
        for (int tick = 0; tick < 4; ++tick) {
            effects_game_tick();
            effects_redraw();
        }
    }
    finish_effects();
    // Waits finished: what is left targets members and must be waiting no more.
    for (const effect_slot& e : effect_slots())
        if (e.used && (e.target < 0 || e.def.tick_wait > 0 || e.def.frame_wait > 0)) __builtin_trap();
    clear_effects();
    spell_detail::clear_spell_waves();  // no timer runs here: waves would pile up
    // What the spells threw and dropped goes with the input.
    clear_flying_objects();
    current_map.items.clear();
    lost_items().clear();
    for (party_member& m : party_members) {
        delete m.saved_self;
        m.saved_self = nullptr;
    }
    return 0;
}
