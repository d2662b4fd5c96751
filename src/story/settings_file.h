#pragma once
// The player's settings in the configuration file: the mixer's settings
// (section audio), the CRT overlay (video), and the game speed, walk and turn
// speed and game switches (section game). Read once at start, written back
// when the options window changed them.
#include <string>

struct ini_config;

// Applies the settings the configuration holds (missing keys keep the
// current values).
void load_settings(const ini_config* config);
// The file the settings are written back to (made absolute by the caller,
// since the run changes the current folder); empty: nowhere.
void set_settings_file(std::string path);
const std::string& settings_file();
// Puts the current settings into the configuration in memory and, when any
// of them differs from what it held, into the file: its other lines stay as
// they were; the new text goes to a temporary file that is renamed over it,
// so the file is never left cut short. False when the file could not be read
// or written (the settings stay in effect).
bool save_settings(ini_config* config);
