#pragma once
// Spell files built byte by byte for the tests, and a corridor with a party
// and a monster on it; the spells' messages and the map events are recorded.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "../world/view_test_map.h"
#include "core/random.h"
#include "monsters/monsters.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "rules/spells/spells.h"
#include "world/map.h"

namespace spell_test {

// One spell's code, instruction by instruction.
struct code {
    std::vector<uint8_t> bytes;
    code& op(uint8_t opcode) {
        bytes.push_back(opcode);
        return *this;
    }
    code& op(uint8_t opcode, int operand) {
        bytes.push_back(opcode);
        bytes.push_back(uint8_t(operand & 0xFF));
        bytes.push_back(uint8_t((operand >> 8) & 0xFF));
        return *this;
    }
    code& op(uint8_t opcode, const char* text) {
        bytes.push_back(opcode);
        bytes.insert(bytes.end(), text, text + std::strlen(text) + 1);
        return *this;
    }
    code& raw(std::vector<uint8_t> more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
};

// A spell file: records 0..highest in the file's layout, then the codes.
struct spell_file {
    std::map<int, std::pair<spell_def, code>> spells;
    spell_def& add(int number, const code& c) {
        auto& entry = spells[number];
        entry.second = c;
        std::snprintf(entry.first.spell_name, sizeof entry.first.spell_name, "spell %d", number);
        return entry.first;
    }
    std::vector<uint8_t> bytes() const {
        const int records = spells.empty() ? 1 : spells.rbegin()->first + 1;
        std::vector<uint8_t> out(size_t(records) * SPELL_RECORD_SIZE);
        for (const auto& [number, entry] : spells) {
            spell_def def = entry.first;
            def.code = int32_t(out.size());
            out.insert(out.end(), entry.second.bytes.begin(), entry.second.bytes.end());
            write_spell_record(def, out.data() + size_t(number) * SPELL_RECORD_SIZE, spell_layout::file);
        }
        return out;
    }
    // Loads it as the game's spell book.
    void install() const {
        std::string error;
        ASSERT_TRUE(read_spell_file(bytes(), game_spells(), &error)) << error;
    }
};

struct recording_spell_world : spell_world {
    std::vector<std::string> errors, texts;
    void error(const std::string& text) override { errors.push_back(text); }
    void game_text(int number, const std::string& first, const std::string&) override {
        texts.push_back(std::to_string(number) + " " + first);
    }
};

struct recording_party_world : party_world {
    std::vector<int> events;
    uint32_t options = 0;
    int view_sector() const override { return 3; }
    uint32_t game_options() const override { return options; }
    bool raise_global_event(int event, int, int) override {
        events.push_back(event);
        return false;
    }
};

// Sectors 1..8 from west to east.
inline const std::vector<std::string> corridor = {
    "##########",  //
    "#........#",  //
    "##########",  //
};

class SpellTest : public ::testing::Test {
  protected:
    recording_spell_world spells_seen;
    recording_party_world world;

    void SetUp() override {
        view_test::build_grid_map(corridor);
        clear_monster_table();
        reset_monster_ai();
        reset_party();
        clear_effects();
        party_state.map_hash = current_map.hash;
        random_seed(77);
        set_party_world(&world);
        set_spell_world(&spells_seen);
    }
    void TearDown() override {
        clear_effects();
        for (party_member& m : party_members) {
            delete m.saved_self;
            m.saved_self = nullptr;
        }
        game_spells() = spell_book{};
        set_spell_world(nullptr);
        set_party_world(nullptr);
    }

    party_member& member(int slot, int sector = 2) {
        party_member& p = party_members[slot];
        delete p.saved_self;
        p = party_member{};
        p.used = 1;
        p.group = 1;
        p.sector = int16_t(sector);
        p.direction = 1;
        p.level = 1;
        p.map_hash = current_map.hash;
        p.base_stats[STAT_STRENGTH] = 20;
        p.base_stats[STAT_HP_MAX] = 50;
        p.base_stats[STAT_VP_MAX] = 50;
        p.base_stats[STAT_MP_MAX] = 60;
        p.base_stats[STAT_MAGIC_POWER] = 40;
        recompute_stats(p);
        p.hp = 50;
        p.vp = 50;
        p.mp = 50;
        p.mp_cap = INT16_MAX;
        std::snprintf(p.name, sizeof p.name, "hero %d", slot);
        return p;
    }
    monster& foe(int slot, int sector, int hp) {
        monster& m = monster_table[size_t(slot)];
        std::snprintf(m.name, sizeof m.name, "goblin %d", slot);
        m.state = MST_LIVE;
        m.sector = m.home_sector = int16_t(sector);
        m.direction = 3;
        m.hp = m.stats[STAT_HP_MAX] = int16_t(hp);
        m.stats[STAT_STRENGTH] = 5;
        enter_occupancy(slot);
        return m;
    }
    int active_effects() const {
        int n = 0;
        for (const effect_slot& e : effect_slots()) n += e.used ? 1 : 0;
        return n;
    }
};

}  // namespace spell_test
