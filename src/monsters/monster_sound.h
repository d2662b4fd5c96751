#pragma once
// Monster noises. The game's positional sound plays them; until it is plugged
// in through set_monster_sound_output nothing is heard.
#include "core/handles.h"

struct monster_sound_output {
    // Plays a sample at a sector. A walking sound is bound to its monster
    // (bound_monster = its number, else 0) so that it can loop and be stopped.
    void (*play)(handle_id sample, int sector, int bound_monster, bool loop) = nullptr;
    // Stops the walking sound bound to a monster.
    void (*stop_bound)(int monster_number) = nullptr;
    // The wave file of a 1-based sound number of the game's sound list, or
    // nullptr when it is unset. Unset here: the loaded map's sound names.
    const char* (*sound_name)(int number) = nullptr;
};
// Empty members fall back to silence (and the map's sound names).
void set_monster_sound_output(const monster_sound_output& output);

// The wave file named by a monster's 1-based sound number, or nullptr.
const char* monster_sound_name(int number);

// Plays sounds[index] (0 walking, 1 attacking, 2 hurt, 3 other) of the
// monster in the slot at its sector: nothing for a monster that is not LIVE
// or is frozen, or for a sound number 0. The walking sound is bound to the
// monster and loops with SNDLP.
void monster_sound(int slot, int index);
// Stops the monster's walking sound.
void stop_monster_sound(int slot);
