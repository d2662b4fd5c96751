#pragma once
// The options window (F1 on the game screen): sound volumes and tone, the CRT
// overlay, the game speed, the walk and turn speed and the game switches.
// Sound settings and speeds change at once; the game switches when the
// window closes. The settings are written back to the configuration file
// when the window closes.

// Object ids of the window.
enum options_object : int {
    OPT_SWAP_CHANNELS = 10,
    OPT_CRT = 20,
    OPT_TURN_SPEED_0 = 30,  // 30, 40, 50
    OPT_WALK_SPEED_0 = 60,  // 60, 70, 80
    OPT_MEMBER_NAMES = 90,
    OPT_GROUP_ORDER = 100,
    OPT_AUTO_ATTACK = 110,
    OPT_AUTOSAVE = 120,
    OPT_FAST_BATTLES = 130,
    OPT_MASTER = 200,  // sliders 200-240: master, music, effects, treble, bass
    OPT_MUSIC = 210,
    OPT_EFFECTS = 220,
    OPT_TREBLE = 230,
    OPT_BASS = 240,
    OPT_GAME_SPEED = 250,
    OPT_CLOSE = 300,
};

// Ticks between two sliding steps of the switches.
constexpr int SWITCH_SLIDE_TICKS = 4;
// The slowest game speed the speed slider offers (milliseconds per tick).
constexpr int SLOWEST_GAME_SPEED = 25;

// Runs the window until it is closed (its button, Escape or F1).
void options_window();

// Screens the window's keys open, which belong to parts of the game not built
// here; while one is unset its key does nothing.
struct options_window_links {
    void (*save_screen)() = nullptr;  // F2
    void (*load_screen)() = nullptr;  // F3
    void (*book)() = nullptr;         // F6
};
extern options_window_links options_links;

// The speed slider's position for a game speed, and the speed for a position.
int game_speed_slider_value(int speed);
int game_speed_from_slider(int value);
