#pragma once
// How the rules, the monsters and the windows ask for sounds. The game's
// sound fills these in; until it does, nothing is heard.
#include "core/handles.h"

struct game_sound_requests {
    // A one-shot effect by wave file name at a sector (positional); interface
    // sounds (books, shops, potions, eating, dressing, the inventory) play at
    // a constant volume instead, whatever the sector.
    void (*at_sector)(const char* wave, int sector) = nullptr;
    // An interface sound by wave file name, at a constant volume.
    void (*interface_sound)(const char* wave) = nullptr;
    // The party's place or facing changed: the sounds are heard from there.
    void (*follow_party)() = nullptr;
};
extern game_sound_requests game_sounds;

// Through game_sounds; nothing happens while an entry is unset.
void play_sound_at(const char* wave, int sector);
void play_interface_sound(const char* wave);
void sounds_follow_party();
