#pragma once
// Spells: small programs in the spell definition file. Casting one starts an
// effect, an instance of the spell bound to a target, kept in one of 500
// slots; its code runs until it waits (game ticks or scene redraws) and
// resumes when the wait is over, until it ends. Every change an effect makes
// to its target's statistics and state flags is recorded in the effect and
// undone when it ends.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "rules/party_record.h"
#include "rules/spell_record.h"

constexpr int EFFECT_SLOTS = 500;
constexpr size_t EFFECT_CHANGES_SIZE = 48;  // 24 signed 16-bit statistic changes

// The game's spell book (loaded at start-up from kouzla.dat).
spell_book& game_spells();

// Effect flag bits: 0..15 the state flags the effect set on its target,
// 0x8000 also while it holds the target transformed; the global effects above.
constexpr uint32_t EF_TRANSFORMED = 0x8000;
constexpr uint32_t EF_TRUE_SEEING = 0x10000;
constexpr uint32_t EF_MUTUAL_DEATH_1 = 0x20000;
constexpr uint32_t EF_MUTUAL_DEATH_2 = 0x40000;
constexpr uint32_t EF_HUNTING_INSTINCT = 0x80000;
constexpr uint32_t EF_CONFUSION = 0x100000;

struct effect_slot {
    bool used = false;
    spell_def def;                     // a copy of the definition with the run-time fields
    int target = 0;                    // party slot + 1 > 0, -(monster slot + 1) < 0, 0 none
    int caster = 0;                    // party slot, negative for monsters and objects
    bool silent = false;               // no animations or sounds
    bool transformed = false;          // the target character was transformed when it started
    int place = 0;                     // the chosen place (sector) for teleports
    int16_t changes[STAT_COUNT] = {};  // statistic changes made so far
    uint32_t flags = 0;
    // Interpreter registers between instructions of a pair, and the area strength.
    int16_t reg_a = 0, reg_b = 0;
    uint8_t fill = 0;     // bit 1: A set, bit 2: B set
    uint8_t pair_op = 0;  // the instruction that set B: it names the pair's action
    int area_strength = 0;
    // Teleport destination set by opcodes 163..167.
    int dest_sector = 0, dest_direction = -1, dest_across = 0, dest_along = 0;
    std::string dest_map;
};
std::span<effect_slot> effect_slots();

// Casters that are not party slots: a monster is -(slot + 1), an object
// (a weapon, a wand, food, a map script) CASTER_OBJECT.
constexpr int CASTER_OBJECT = -256;
inline int monster_caster(int monster_slot) {
    return -(monster_slot + 1);
}

// 1 = no (not defined, or too few magic points), 0 = yes, 2 = risky.
int can_cast(const party_member& caster, int spell);
// A member casts `spell` (+ 512 x (target member + 1) for a chosen target).
void cast_spell(int spell_and_target, int caster_slot, bool forced = false);
// A monster casts (kinds 0, 1: itself; 2 its sector; 3, 6 the sector ahead).
void monster_cast(int spell, int monster_slot);
// Weapons, wands, potions, food and map scripts cast (monster -1 for none).
void object_cast(int spell, int member_slot, int sector, int monster_slot, bool forced);
// Allocates a slot and runs the code; -1 when refused or no slot is free.
int start_effect(int spell, int target, int caster, bool silent, int place = 0);
void end_effect(int slot);
void cancel_transform(int member_slot);
// Clears all waits and ends monster-targeted effects, until none is left waiting.
void finish_effects();
// Every effect gone, nothing undone (a new game).
void clear_effects();
// Event 257 (a game tick) and 258 (a scene redraw): waits count down and resume.
void effects_game_tick();
void effects_redraw();

// The global effects, true while any effect holds the bit.
bool true_seeing();
bool hunting_instinct();
bool confusion();
int mutual_death_mode();  // 0, 1 or 2

// Saved games: the count of active slots (i32), then per slot its 56-byte
// record (in memory layout), 48-byte change block and 4-byte flags. What
// that layout lacks (target, caster, silent flag, place, transformation)
// goes into a block of its own, which a reader of the first alone ignores.
void save_effects(std::vector<uint8_t>& out);
void save_effect_extras(std::vector<uint8_t>& out);
// False (and no effect active) when the record is cut short or names what
// cannot be; the extras may be absent (empty span).
bool load_effects(std::span<const uint8_t> bytes, std::span<const uint8_t> extras = {});
// Whether load_effects would take the blocks, without touching any effect.
bool effects_fit(std::span<const uint8_t> bytes, std::span<const uint8_t> extras = {});

// What the spells reach that is built elsewhere or lives above the rules.
// Each default stands for a part not there: nothing is drawn, heard or mapped.
class spell_world {
  public:
    virtual ~spell_world() = default;
    virtual void message(const std::string& /*text*/) {}  // the bottom panel (game texts with names)
    virtual void error(const std::string& /*text*/) {}    // the unknown-opcode message
    // Game text `number` with one or two names filled in, in the bottom panel.
    virtual void game_text(int /*number*/, const std::string& /*first*/, const std::string& /*second*/ = {}) {
    }
    virtual void play_animation(const std::string& /*file*/) {}
    virtual void play_sound(const std::string& /*file*/, int /*sector*/) {}
    virtual void map_around(int /*sector*/, int /*radius*/) {}  // onto the automap
    virtual void flicker(int /*redraws*/) {}
    virtual void portrait_flash(int /*member_slot*/) {}
    virtual void confuse_compass() {}
    // The chosen place for spells with SPF_CHOOSE_PLACE; 0 when none was chosen.
    virtual int choose_place(int /*caster_slot*/) { return 0; }
    virtual void teleport_flash(int /*sector*/) {}
    // The party goes to another map (a teleport with a map name).
    virtual void change_map(const std::string& /*map*/, int /*sector*/, int /*direction*/) {}
};
void set_spell_world(spell_world* world);  // null restores the default
spell_world& spells_world();

// Puts the spells into the game: the spell book, the waits on the game tick
// and the scene redraw, and every caller that stood in for them (wands,
// potions and food, weapons, flying items, monsters, the battle, the map's
// hooks, true seeing).
void install_spells();
