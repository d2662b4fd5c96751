// The rules' side of the world binding: the party's records seen as the
// world's roster, and the world seen by the party's rules.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "rules/binding/hit_marks.h"
#include "rules/binding/world_binding.h"
#include "rules/party.h"
#include "world/game_sounds.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/party_roster.h"
#include "world/party_standin.h"

namespace {

bool valid_sector(int sector) {
    return sector > 0 && sector < current_map.sector_count;
}

bool on_loaded_map(const party_member& m) {
    return m.map_hash == party_state.map_hash && m.sector > 0;
}

class rules_roster final : public party_roster {
  public:
    int slots() const override { return PARTY_SLOTS; }

    roster_member member(int slot) const override {
        roster_member r;
        if (slot < 0 || slot >= PARTY_SLOTS) return r;
        const party_member& m = party_members[slot];
        if (!m.used) return r;
        r.used = true;
        r.name.assign(m.name, strnlen(m.name, sizeof m.name));
        r.hp = m.hp;
        r.hp_max = m.stats[STAT_HP_MAX];
        r.vp = m.vp;
        r.vp_max = m.stats[STAT_VP_MAX];
        r.mp = m.mp;
        r.mp_max = m.stats[STAT_MP_MAX];
        r.on_this_map = on_loaded_map(m);
        r.sector = std::abs(m.sector);
        r.direction = m.direction & 3;
        r.group = m.group;
        r.flags = static_cast<uint16_t>(m.stats[STAT_FLAGS]);
        r.levitating = (r.flags & CF_LEVITATION) != 0;
        r.female = m.female != 0;
        r.face = m.face;
        r.actions_left = m.actions_left;
        r.hit_shown = hit_mark(slot);
        return r;
    }

    void place_member(int slot, int sector, int direction) override {
        if (slot < 0 || slot >= PARTY_SLOTS || !party_members[slot].used) return;
        party_member& m = party_members[slot];
        m.sector = static_cast<int16_t>(sector);
        m.direction = static_cast<uint8_t>(direction & 3);
        m.map_hash = party_state.map_hash;
    }

    int active_group() const override { return party_state.current_group; }
    void set_active_group(int group) override { party_state.current_group = group; }
    int selected() const override { return party_state.current; }
    void select(int slot) override {
        party_state.current = slot >= 0 && slot < PARTY_SLOTS && party_members[slot].used ? slot : -1;
    }
    int32_t money() const override { return party_state.gold; }

    void gather(int sector, int direction) override {
        for (party_member& m : party_members) {
            if (!m.used || m.hp <= 0 || !on_loaded_map(m) || m.sector != sector) continue;
            m.direction = static_cast<uint8_t>(direction & 3);
        }
        // Standing together and facing the view's way, they are one group
        // and the group the view follows.
        regroup();
    }
};

class world_for_rules final : public party_world {
  public:
    int view_sector() const override { return party.sector; }
    int view_direction() const override { return party.direction; }
    // No battle exists yet.
    bool battle_running() const override { return false; }
    int map_hazard() const override {
        const int hazard = current_map.header.map_class;
        return hazard == 1 || hazard == 2 ? hazard : 0;
    }
    int sector_type(int sector) const override {
        return valid_sector(sector) ? current_map.sectors[static_cast<size_t>(sector)].sector_type : 0;
    }
    void change_sector_flags(int sector, uint8_t set, uint8_t clear) override {
        if (!valid_sector(sector)) return;
        uint16_t& flags = current_map.coords[static_cast<size_t>(sector)].coord_flags;
        flags = static_cast<uint16_t>((flags & ~clear) | set);
    }
    // A hook whose entry cancels replaces the rules' own reaction.
    bool raise_global_event(int event, int sector, int direction) override {
        if (event < 0 || event >= HOOK_COUNT) return false;
        return !run_hook(event, sector, direction);
    }
    void play_sound(const char* name, int sector) override { play_sound_at(name, sector); }
    void show_damage_later(int slot, int ticks) override {
        if (slot >= 0 && slot < PARTY_SLOTS) show_hit_mark(slot, party_members[slot].last_damage, ticks);
    }
};

rules_roster the_roster;
world_for_rules the_world;
// Slots of the active group when the party left its map.
bool travelling[PARTY_SLOTS] = {};

}  // namespace

void install_party_binding() {
    clear_hit_marks();
    set_party_roster(&the_roster);
    set_party_world(&the_world);
}

void remove_party_binding() {
    clear_hit_marks();
    set_party_roster(nullptr);
    set_party_world(nullptr);
}

void new_party_from_definitions() {
    reset_party();
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        party_members[slot] = character_definitions[slot];
        party_member& m = party_members[slot];
        if (!m.used) continue;
        m.group = 1;
        m.sector = 0;
        m.map_hash = 0;
        travelling[slot] = true;
    }
    std::fill(std::begin(party_state.runes), std::end(party_state.runes), uint8_t(0x7F));
    party_state.current_group = 1;
}

void party_leaves_map() {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        party_member& m = party_members[slot];
        travelling[slot] = false;
        if (!m.used || !on_loaded_map(m)) continue;
        if (m.hp > 0 && m.group == party_state.current_group) {
            travelling[slot] = true;
        } else {
            m.sector = static_cast<int16_t>(-m.sector);  // left behind on this map
        }
    }
}

void party_enters_map() {
    party_state.map_hash = current_map.hash;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        party_member& m = party_members[slot];
        if (!m.used) continue;
        if (travelling[slot]) {
            // Placed with the party once it stands on the map.
            m.map_hash = current_map.hash;
            m.sector = 1;  // a place of this map until place_party puts it with the party
            m.group = static_cast<uint8_t>(party_state.current_group);
        } else if (m.map_hash == current_map.hash && m.sector < 0) {
            m.sector = static_cast<int16_t>(-m.sector);
        }
        travelling[slot] = false;
    }
}
