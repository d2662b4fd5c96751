#pragma once
// The sound settings by number: the codes saved games and the options window
// use, kept by the mixer (sound_get_setting and sound_set_setting). The CRT
// overlay switch (7) goes to the display; without a display it is only
// remembered.
#include "sound/sound_system.h"

enum sound_setting_code : int {
    SOUND_AVAILABLE = 0,
    SOUND_MASTER = 1,   // 0-256, the volume is value / 512
    SOUND_BASS = 2,     // 0-255, value / 25 dB
    SOUND_TREBLE = 3,   // 0-255, value / 25 dB
    SOUND_SWAP = 4,     // 0 or 1: left and right swapped
    SOUND_CRT = 7,      // 0 or 1: the display's CRT overlay
    SOUND_EFFECTS = 8,  // 0-256, the volume is value / 256
    SOUND_MUSIC = 9,    // 0-128, the volume is value / 128
};

// The mixer's own quantity of a setting: the volume as a fraction, the tone in
// dB (0 for codes without one).
double sound_setting_level(int code);
// Back to the values a new mixer starts with, and the CRT switch tied to the
// display (start-up, tests).
void reset_sound_settings();

// What the game's sound does around the windows; while a hook is unset
// nothing happens.
struct window_sound_hooks {
    void (*stop_positional_sounds)() = nullptr;  // a message box silences the sounds around the party
    void (*keep_music_filled)() = nullptr;       // the options window tops up the music stream
};
extern window_sound_hooks window_sound;
