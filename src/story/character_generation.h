#pragma once
// Character generation: before a new game the player makes the party, for
// each member a portrait (which fixes the gender), a name, and a character
// type chosen by placing a pearl on a round disc. The rules of the screen are
// plain functions here; the screen itself is run_character_generation.
#include <cstdint>
#include <functional>
#include <string>

#include "core/handles.h"
#include "rules/party_record.h"

// How many members a new party has: at least CHARGEN_MIN, at most CHARGEN_MAX
// (not CHAR_MIN and CHAR_MAX, which <climits> already names).
constexpr int CHARGEN_MIN = 3;
constexpr int CHARGEN_MAX = 3;

// ---- Portraits ----------------------------------------------------------------

// The strip of eight places; place p shows portrait portrait_order[p] and
// gives the gender gender_of_place[p] (0 male, 1 female).
constexpr int PORTRAIT_PLACES = 8;
extern const int portrait_order[PORTRAIT_PLACES];
extern const int gender_of_place[PORTRAIT_PLACES];
constexpr int STRIP_X = 16, STRIP_Y = 26, STRIP_STEP = 40, STRIP_PLACE_W = 28, STRIP_PLACE_H = 40;
// The place of the strip under a screen point, -1 for none.
int strip_place_at(int x, int y);
// Whether a member of the party other than `slot` already has the portrait.
bool portrait_taken(int portrait, int slot);
// The default name of a member made from place p: interface text 160 + p.
constexpr int TEXT_DEFAULT_NAME = 160;

// ---- The disc and its pearl ----------------------------------------------------

// The eleven values of a stat profile: the minimum and maximum of base stats
// 0 to 3, then the regeneration of hit points, mana and condition (16-18).
constexpr int PROFILE_VALUES = 11;
struct stat_profile {
    int values[PROFILE_VALUES] = {};
    int minimum(int stat) const { return values[2 * stat]; }
    int maximum(int stat) const { return values[2 * stat + 1]; }
    int regeneration(int i) const { return values[8 + i]; }
    bool operator==(const stat_profile&) const = default;
};
// Records 0 to 7 belong to the directions 0, 45, ..., 315 degrees; 8 is the centre.
constexpr int STAT_PROFILES = 9;
extern const stat_profile stat_profiles[STAT_PROFILES];

constexpr int DISC_X = 455, DISC_Y = 234, DISC_RADIUS = 75;
struct pearl_place {
    int angle = 0;     // 0..359 degrees, counter-clockwise from the right
    int distance = 0;  // 0..DISC_RADIUS pixels from the centre
    bool operator==(const pearl_place&) const = default;
};
// The profile under the pearl: the two neighbouring compass profiles blended
// by the angle, pulled towards the centre's by the distance.
stat_profile profile_under_pearl(pearl_place pearl);
// Where the pearl goes for a pointer at (x, y).
pearl_place pearl_at_point(int x, int y);
// The screen point at the pearl's centre.
void pearl_point(pearl_place pearl, int& x, int& y);

// ---- Members -----------------------------------------------------------------

// A cleared record standing for a member still being made: in use, no
// portrait, one hit point, in the party's sector and group 1.
void prepare_member_placeholder(party_member& member, int sector);
// Rolls the member's statistics inside the profile's ranges (random of the
// game) and gives it its start: maxima, reserves, level 1, five free points.
void roll_member(party_member& member, const stat_profile& profile);
// The buttons' enable mask, bit i for button i (labels 170 + i): bit 0 play,
// the party is complete (at least CHARGEN_MIN members); bit 1 done, a member
// may be finished and a next one made (fewer than CHARGEN_MAX); bit 2 delete,
// a member may be removed. Button 3 (again) is always there.
int chargen_button_mask(int members, bool removable);
// Strong or dexterous members of the first three places hit and parry better.
void apply_party_bonuses();

// ---- The name field --------------------------------------------------------------

// The one-line editor of the name field, its keys as plain state. Keys are
// the game's codes: the character in the low byte, the scan code in the high.
struct line_editor {
    enum result { going_on, accepted, cancelled };
    std::string text;
    size_t cursor = 0;
    bool replace_mark = true;
    size_t max_length = 14;
    int width = 104;
    std::function<int(const std::string&)> text_width;  // pixels; null counts characters

    void start(const std::string& initial);
    result key(uint16_t code);
};

// ---- The screen -----------------------------------------------------------------

// The screen's own pictures, registered in group 7 while it runs (0x8000 up).
constexpr handle_id H_CHARGEN_BACKGROUND = 0x8000;  // postavy.pcx
constexpr handle_id H_CHARGEN_PEARL = 0x8001;       // perla.pcx
constexpr handle_id H_CHARGEN_TOPBAR = 0x8002;      // topbar_p.pcx
// The button strip is the automap's (chargen.pcx, chargenb.pcx, chargenm.pcx:
// fixed handles H_CHARGEN, H_CHARGENB and H_CHARGENM).
constexpr handle_id H_CHARGEN_FACES = 0x8010;    // XICHT%02x.PCX of portrait i at + i
constexpr handle_id H_CHARGEN_FIGURES = 0x8020;  // CHAR%02x.PCX of portrait i at + i
constexpr int BUTTONS_X = 520, BUTTONS_Y = 378;
// Texts of the screen.
constexpr int TEXT_STAT_RANGE = 2;        // 2..5: "min-max" of base stats 0..3
constexpr int TEXT_NAME_MISSING = 111;    // a member without a name
constexpr int TEXT_ASK_START_OVER = 116;  // button 3
constexpr int TEXT_ASK_REMOVE = 117;      // a portrait clicked in the removal mode
constexpr int TEXT_BUTTON_LABELS = 170;   // 170..173
constexpr int TEXT_CHARGEN_LEAVE = 113, TEXT_CHARGEN_LEAVE_YES = 114, TEXT_CHARGEN_LEAVE_NO = 115;

// Runs the screen until the party is complete (true: the party stands in
// party_members, the game may start) or the player leaves it (false).
bool run_character_generation();
// What the screen shows while it runs (tests).
bool chargen_running();
int chargen_member_being_made();  // party slot, -1 when none
pearl_place chargen_pearl();
bool chargen_on_sheet();  // the finished member is on the character sheet
bool chargen_removal_mode();
std::string chargen_message();  // the refusal shown, "" for none
