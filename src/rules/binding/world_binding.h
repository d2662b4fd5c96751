#pragma once
// Binds the rules to the world: the party's records become the world's
// roster, the places of the map hurt them through the rules, the map's
// scripts reach the party and the item table, and the rules see the view,
// the loaded map and its hooks.
#include <cstdint>

// Installs everything. remove_rules_from_world puts the stand-in roster and
// every entry of the world's party and service tables back to the defaults.
void install_rules_into_world();
void remove_rules_from_world();

// A character that floats over pits, water and harmful places. The rules
// name no bit for it; this one is free in the flag word.
constexpr uint16_t CF_LEVITATION = 0x0080;

// A new game started directly at a map: definitions 0..5 become the party,
// every rune is known. The party stands nowhere until placed on the map.
void new_party_from_definitions();

// Around a change of map: the members left behind keep their sector negated
// until their map is loaded again; the active group travels along and takes
// the new map's hash. party_enters_map reads the loaded map.
void party_leaves_map();
void party_enters_map();
