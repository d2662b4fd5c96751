#pragma once
// The flute: the party plays its notes on the note panel of the game screen
// (the bottom panel in its note mode). Notes sound on the flute channels 30 to
// 37 in turn; a held hole sustains the note's loop and releasing it plays the
// tail. Melodies are checked a moment after the last note: in a melody sector
// (types 15 to 18) against the built-in melody of the party's direction, which
// answers with the name of a direction; anywhere else against the texts of the
// map's melody hooks (42 to 49), which run their script when the text matches.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/event_ids.h"
#include "core/handles.h"

struct mouse_record;

constexpr int FLUTE_CHANNEL_FIRST = 30;
constexpr int FLUTE_CHANNELS = 8;
constexpr int FLUTE_NOTES = 13;                 // note 0 (C) to 12 (the C an octave up)
constexpr int FLUTE_BASE_RATE = 16000;          // note 0; each semitone up multiplies by 2^(1/12)
constexpr int FLUTE_VOLUME = 16000;             // both sides
constexpr std::size_t FLUTE_LOOP_START = 2782;  // bytes into fletna.wav where the held note loops

// The note panel as the mouse finds it: the rectangle, and the mask picture
// whose pixel under the pointer (x, y - 378) names the key: 1 to 13 is note
// 0 to 12, any other value no key.
constexpr int NOTE_PANEL_TOP = 378;
constexpr int NOTE_PANEL_BOTTOM = 479;
constexpr int NOTE_PANEL_RIGHT = 639;

// The melody check runs once, 100 ticks after the note that ends a melody is
// released; a new note cancels it.
constexpr int TIMER_MELODY = 14;
constexpr int MELODY_CHECK_TICKS = 100;
static_assert(id_blocks::shared.holds(TIMER_MELODY));

constexpr int MELODY_SECTOR_FIRST = 15;  // sector types 15 (north) to 18 (west)
constexpr int MELODY_SECTOR_LAST = 18;
constexpr int PLACE_MELODY_LENGTH = 6;
constexpr int PLACE_MELODY_MAX = 12;  // letters counted in a melody sector
constexpr std::size_t FREE_MELODY_MAX =
    250;  // characters of the free melody before notes are no longer added
constexpr int MELODY_HOOK_FIRST = 42;
constexpr int MELODY_HOOK_LAST = 49;

// The flute among the adventure's items: the first item definition of type 9
// (special) whose value is this kind.
constexpr int16_t SPECIAL_FLUTE = 3;

// Starts note n (0 to 12) on the next flute channel; nothing when the effects
// volume setting does not exist, the note is out of range or fletna.wav has
// no sound.
void flute_note_on(int note);
// Ends the current note's loop so that it plays its tail, and moves on to the
// next flute channel.
void flute_note_off();
// One mouse event of the game screen. While the bottom panel shows the note
// panel, presses over a key play its note and record it; a release, or the
// pointer leaving the keys (or the panel), ends a sounding note and schedules
// the melody check. Returns true when the event pressed a key (nothing else
// should take it).
bool flute_panel_event(const mouse_record& mouse);
// The key under a screen point of the note panel: 0 to 12, or -1 for none
// (outside the panel, no mask picture, or a pixel that names no key).
int flute_key_at(int x, int y);

// The melody checks, as the timer runs them with the party's place at the
// release of the last note.
void place_melody_check(int sector, int direction);
void free_melody_check(int sector, int direction);
// Whether a hook's text spells the free melody: both are walked together,
// characters other than letters and '#' skipped, letters compared without
// regard to case; they match only when both end at the same step.
bool melody_matches(std::string_view text, std::string_view melody);

// What has been played so far: the letters counted in a melody sector ("A" +
// note) and the free melody (the note names run together).
const std::string& place_melody();
const std::string& free_melody();
bool flute_note_sounding();
int flute_slot();

// The flute's item number among the game's items (0 when the adventure has
// none), and whether a member standing in the party's sector carries it.
int flute_item();
bool flute_carried_here();

// Where the flute's sounds and checks go. The defaults are the game's sound
// interface, its positional sound and the map's hooks; tests put their own.
struct flute_outputs {
    bool (*play)(int channel, const void* data, std::size_t size, std::size_t loop_start, int rate, int type);
    void (*set_end)(int channel, const void* data, std::size_t length);
    // A melody's answer, as a one-shot effect at the place of the check.
    void (*answer)(handle_id handle, int party_sector, int sound_sector, int key, bool loop);
    bool (*run_hook)(int number, int sector, int direction);
};
extern flute_outputs flute_out;

// Back to the start: channel 30 next, no note sounding, empty melodies, no
// check pending, the default outputs. The flute's sample is unlocked.
void reset_flute();

// Gives the game screen the F key's question and the note panel's mouse
// events. Call once at start-up.
void install_flute();
