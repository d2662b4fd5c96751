#pragma once
// What the map's scripts ask of the parts of the game that live above the
// world: items and the hand, the party's rules, flying objects, dialogs,
// shops, books, special procedures, sound, music, video and monsters. Each
// entry is a plain function pointer; until the part that owns it fills it in,
// the default does nothing (and a question answers "no").
//
// Members are named by their slot in the roster (party_roster.h).
#include <cstdint>
#include <string>

struct map_services_table {
    // Items (item numbers are index + 1; 0 = none).
    int (*item_count)() = nullptr;          // items 1 .. count exist
    int (*held_item)() = nullptr;           // the item in the hand, 0 = none
    void (*destroy_held)() = nullptr;       // the item in the hand is destroyed
    void (*give_held)(int item) = nullptr;  // a new item into the hand
    void (*drop_item)(int sector, int quarter, int item) = nullptr;
    int (*add_item_def)(const uint8_t* record, int size) = nullptr;  // new item number, 0 = none
    void (*drop_money)(int sector, int quarter, int amount) = nullptr;
    bool (*member_carries)(int member, int item) = nullptr;  // inventory, worn or in hand
    int (*key_code)(int item) = nullptr;                     // an item's key code (-1 a lock pick), 0 none
    int (*lock_picking)(int member) = nullptr;               // a member's lock-picking value
    void (*break_held_pick)() = nullptr;
    // What a member says after trying a lock pick.
    void (*lock_pick_message)(int member, int outcome) = nullptr;

    // The party's rules.
    void (*hurt_member)(int member, int amount) = nullptr;
    int (*battle_damage)(int member, int attack_min, int attack_max) = nullptr;
    void (*give_experience)(int member, int amount) = nullptr;  // with the level-up check
    int (*member_level)(int member) = nullptr;
    bool (*in_battle)() = nullptr;
    int (*acting_member)() = nullptr;        // in a battle, the member whose turn it is (-1 none)
    void (*regroup_for_travel)() = nullptr;  // before the party leaves for another map
    void (*party_tick)() = nullptr;          // one game tick of the members (regeneration, hunger)

    // Flying objects, dialogs, shops, books, special procedures, the story file.
    void (*fire)(int sector, int direction, int item, int value, int x, int height, int speed) = nullptr;
    void (*start_dialog)(int dialog) = nullptr;
    void (*open_shop)(int shop) = nullptr;
    void (*show_book)(const std::string& file, int page) = nullptr;
    bool (*special)(int procedure, int place, int parameter, int events) = nullptr;
    void (*append_story)(const std::string& text) = nullptr;  // one line of the story file

    // The game screen.
    void (*teleport_animation)() = nullptr;
    void (*start_small_effect)(int index) = nullptr;
    void (*leave_screen)() = nullptr;  // the game loop decides what follows

    // Sound, music and video.
    void (*play_sound)(const uint8_t* record, int size, int sector, int side) = nullptr;
    void (*play_list)(const std::string& list) = nullptr;
    void (*play_video)(const std::string& file, bool black_screen) = nullptr;

    // Monsters.
    bool (*monster_on_map)() = nullptr;  // a monster that is not astral
    bool (*monster_near)(int sector, int steps) = nullptr;
    void (*call_monsters)(int from_sector, int to_sector) = nullptr;
    void (*settle_sectors)(int a, int b) = nullptr;  // pits and water under monsters after a swap
    bool (*monster_in)(int sector) = nullptr;        // for pressure plates
    void (*alarm)(int sector) = nullptr;             // an ALARM side was passed next to sector
    bool (*item_on_floor)(int sector) = nullptr;     // for pressure plates
};
extern map_services_table map_services;
// Puts every entry back to its "nothing happens" default. The one exception:
// hurt_member lowers the stand-in member's hit points (not below 0), so that
// traps already hurt.
void reset_map_services();
