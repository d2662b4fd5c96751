#pragma once
// The party: six character slots and the state the rules keep beside them,
// and every operation on a character (statistics, damage, death, ticks, rest,
// experience, load, groups). Everything runs on the game's one thread.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "rules/item_record.h"
#include "rules/party_record.h"

constexpr int PARTY_SLOTS = 6;
constexpr int CHARACTER_DEFINITIONS = 20;
constexpr int RUNE_GROUPS = 5;
constexpr int MAX_LEVEL = 40;
constexpr int MAX_ARROWS = 99;
constexpr int TICKS_PER_HOUR = 360;
// The rest allowance: game ticks of rest the party has left, raised at every
// game tick up to twelve hours.
constexpr int32_t REST_ALLOWANCE_MAX = 4320;
constexpr int32_t REST_ALLOWANCE_PER_TICK = 144;

extern party_member party_members[PARTY_SLOTS];
// Filled from POSTAVY.DAT: the starting party (0..5), characters that join
// from dialogs, and the shapes of the transforming spell (k + 3).
extern party_member character_definitions[CHARACTER_DEFINITIONS];

struct party_globals {
    int current = -1;                 // slot whose inventory or sheet is shown, -1 for none
    int current_group = 1;            // the group the view follows
    uint32_t map_hash = 0;            // hash of the loaded map
    int32_t gold = 0;                 // the party's money
    uint8_t runes[RUNE_GROUPS] = {};  // bit r: rune r of the group is known
    int32_t rest_allowance = REST_ALLOWANCE_MAX;
};
extern party_globals party_state;

// The six records as one block of 1872 bytes, as saved games keep them.
constexpr size_t PARTY_BLOCK_SIZE = PARTY_SLOTS * PARTY_MEMBER_SIZE;
void append_party_block(std::vector<uint8_t>& out);
// Replaces the party from a block; false (and the party untouched) when it is
// short. `saved_self_follows[i]` tells whether slot i's own record, kept while
// it is transformed, was stored after the block.
bool read_party_block(const uint8_t* data, size_t size, bool saved_self_follows[PARTY_SLOTS] = nullptr);

// Clears the six slots and the globals (a new game).
void reset_party();
// The slot of a record inside the party array, -1 for any other record.
int party_slot_of(const party_member& member);

// The item table, as far as the party needs it: the record of an item number
// (index + 1), null for 0, a negative number or one the table lacks. The
// items module installs it; without it worn items add nothing.
using item_lookup_fn = const item_def* (*)(int item_number);
void set_party_item_lookup(item_lookup_fn lookup);
const item_def* party_item(int item_number);
bool party_item_table_installed();

// What the party rules need from the rest of the game: the map, the view,
// battle, sounds, spells, the debug console. The defaults stand for a game
// with none of these built: no map events replace anything, no battle runs,
// nothing sounds, no sector has a type or flags.
class party_world {
  public:
    virtual ~party_world() = default;
    virtual int view_sector() const { return 0; }
    virtual int view_direction() const { return 0; }
    virtual bool battle_running() const { return false; }
    virtual uint32_t game_options() const { return 0; }
    virtual int map_hazard() const { return 0; }  // 0 none, 1 or 2
    virtual int sector_type(int /*sector*/) const { return 0; }
    virtual void change_sector_flags(int /*sector*/, uint8_t /*set*/, uint8_t /*clear*/) {}
    // Raises a numbered global map event; true when the map's handler
    // replaces the default reaction.
    virtual bool raise_global_event(int /*event*/, int /*sector*/, int /*direction*/) { return false; }
    virtual void play_sound(const char* /*name*/, int /*sector*/) {}
    // Shows last_damage on the slot's portrait after that many ticks.
    virtual void show_damage_later(int /*slot*/, int /*ticks*/) {}
    // The spell that transformed the character is cancelled; it gets back its own record.
    virtual void cancel_transformation(party_member& /*member*/) {}
    // A bound item left its slot and ceases to exist.
    virtual void destroy_item(int /*item_number*/) {}
    virtual void rebind_portraits(int /*slot*/) {}
    virtual void party_full() {}                       // the sixth slot was filled
    virtual bool combat_log() const { return false; }  // debug console switches
    virtual bool iron_skin() const { return false; }
    virtual void console_print(const char* /*text*/) {}
};
// Null restores the default.
void set_party_world(party_world* world);
party_world& party_world_hooks();

// The game option bit that turns hunger and thirst off.
constexpr uint32_t OPTION_NO_HUNGER = 0x400;

// Statistics.
int32_t food_capacity(const party_member& member);
int32_t water_capacity(const party_member& member);
void recompute_stats(party_member& member);
// Food and drink dropped on a character: value hours of reserve.
void eat_food(party_member& member, int hours);
void drink_water(party_member& member, int hours);

// Damage and death.
bool take_hit(party_member& member, int amount, bool through_shield);
// The next take_hit makes no sound, map event or damage mark.
void suppress_next_hit_reaction();
bool check_death(party_member& member, bool immediate);

// Time.
void tick_living(party_member& member);
void tick_dead(party_member& member);
// One game tick for every used character.
void party_game_tick();
bool rest_hour(party_member& member);
// One tick of resting: the map's hazard, hunger and thirst. True when the
// member was disturbed (hurt by the hazard, or its food or water ran out).
bool rest_tick(party_member& member);

// Experience, attributes and weapon skills.
extern const int32_t experience_table[MAX_LEVEL];
extern const int16_t skill_table[10];
void add_experience(party_member& member, int32_t points);
void check_level_up(party_member& member);
bool raise_attribute(int attribute);
void practice_skill(int weapon_class);
int weapon_skill(const party_member& member, int item_number);

// Load and defence.
int carried_weight(const party_member& member);
int overload(const party_member& member);
bool can_dodge(party_member& member);

// Groups and joining.
void regroup();
bool join_from_definition(int definition);
// At the end of a battle round: a character with the flag CF_SUMMONED and no
// hit points leaves the party; later slots move down, freed slots are
// emptied. Returns how many left.
int remove_fallen_summoned();

// Whether an item number (a stack mark counts as its item) is worn or carried
// by anyone in the party, so that its clone must not be reused.
bool party_holds_item(int item_number);
