#pragma once
// Ties the game's sound to the rest of the game: the WAV decoder of the
// sound handles, the map's sound actions, sound names and playlist, the
// party's moves, monsters' noises, the rules' effects and interface sounds,
// resting and message windows, saving and loading, and the music's feed.
struct ini_config;

void install_game_sound();
// The full-screen video player's sound and input, and the map's video command.
void install_video_sound();

// Opens the audio device named by the `device` key of the `audio` section
// (empty: the system's default) and starts playback. A device that cannot be
// opened leaves the game silent: the reason, naming the devices there are,
// goes to stderr once.
void sound_init(const ini_config* config);
void sound_start_output();
void sound_stop_output();

// The interface sound index of a wave file, or -1 for a positional one.
int interface_sound_index(const char* wave);
