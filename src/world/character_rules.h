#pragma once
// What resting and walking ask of the characters' own rules: the rest
// allowance, an hour of rest and a tick of hunger and hazards for each
// member, and the load a member carries. The rules fill the table in when the
// game starts; until then (and in the world's own tests) the defaults change
// nobody: no rest is left, nobody is interrupted, overloaded or protected.
// Members are named by their roster slot (party_roster.h).

struct character_rules_table {
    // Game ticks of rest the party has left (0: it cannot rest now).
    int (*rest_allowance)() = nullptr;
    // One tick of rest was spent.
    void (*spend_rest_tick)() = nullptr;
    // The member rests one hour; true when something disturbed it (the rest ends).
    bool (*rest_hour)(int slot) = nullptr;
    // One tick of resting: hunger, thirst and the map's hazard; true when the
    // member was disturbed.
    bool (*rest_tick)(int slot) = nullptr;
    // The condition a step costs the member for the load it carries.
    int (*load_penalty)(int slot) = nullptr;
    // The member walked one step with the party: it pays its load penalty.
    void (*walked)(int slot) = nullptr;
    // The member carries the adventure's protective item (in maps of class 3
    // its sector is a safe place).
    bool (*carries_protective_item)(int slot) = nullptr;
};
extern character_rules_table character_rules;
// Puts every entry back to its default.
void reset_character_rules();
