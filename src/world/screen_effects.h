#pragma once
// The short effects drawn over the game screen at each scene redraw: members'
// portraits flashing, the damage counter in the corner of the bottom panel,
// small sparkles at fixed places, and the defeat screen.
//
// The counters advance once per scene redraw (advance_screen_effects), so a
// frame drawn again in between (a panel message, a step) shows the same
// frame.
#include <cstdint>
#include <string>
#include <vector>

#include "core/handles.h"

constexpr int FLASH_FRAMES = 10, FLASH_ROWS = 75, FLASH_WIDTH = 54;
constexpr int FLASH_X = 57, FLASH_Y = 390;
constexpr int DAMAGE_FRAMES = 8, DAMAGE_ROWS = 105;
constexpr int DAMAGE_X = 520, DAMAGE_Y = 378, DAMAGE_WIDTH = 120, DAMAGE_HEIGHT = 102;
constexpr int DAMAGE_TEXT_X = 580, DAMAGE_TEXT_Y = 429;
constexpr int DAMAGE_ADDS_WITHIN = 2;  // frames after a hit in which the next one adds to it
constexpr int EFFECT_FRAMES = 15, EFFECT_ROWS = 16;
constexpr int DEFEAT_WRAP = 440, DEFEAT_Y = 160;

// The blood pictures of show_damage, smallest first.
enum damage_set : int { DAMAGE_SMALL = 0, DAMAGE_MIDDLE = 1, DAMAGE_BIG = 2 };

struct member_flash {
    handle_id picture = 0;
    unsigned mask = 0;  // bit i: the member in slot i
    int frame = 0;      // FLASH_FRAMES when not running
};
struct damage_counter {
    int set = DAMAGE_SMALL;
    int amount = 0;
    int frame = DAMAGE_FRAMES;  // DAMAGE_FRAMES when not running
};
struct small_effect {
    int position = 0;
    int frame = 0;
};
struct screen_effects_state {
    member_flash flash{0, 0, FLASH_FRAMES};
    damage_counter damage;
    std::vector<small_effect> effects;  // newest first
    bool defeated = false;
    std::string defeat_text;
};
extern screen_effects_state screen_effects;

// Frames 0..9 of the picture (75 rows each) drawn over the portraits of the
// members in the mask, for the next ten redraws.
void flash_members(handle_id picture, unsigned mask);
// Shows the blood picture of the set (DAMAGE_*) with the amount for eight
// redraws; a hit within two redraws of the previous one adds to its amount.
void show_damage(int set, int amount);
// A sparkle of "fx.pcx" at a place of the effect table for fifteen redraws.
// An index outside the table is ignored.
void start_effect(int position);
// The places of start_effect (the top-left corner of the 16 x 16 sparkle).
struct effect_place {
    int x, y;
};
const std::vector<effect_place>& effect_places();

// The party is lost: every redraw ends with the screen darkened by half and
// the text written over it. leave_defeat_screen ends that state.
void enter_defeat_screen(const std::string& text);
void leave_defeat_screen();
bool defeat_screen_shown();

// Drawing, into the current target, by draw_screen_frame and redraw_scene.
void draw_member_flash();
void draw_screen_effects();  // damage counter and small effects
void draw_defeat_screen(const std::string& text);
// One scene redraw has passed.
void advance_screen_effects();
// Everything stopped (a new game, tests).
void reset_screen_effects();
