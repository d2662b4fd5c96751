#pragma once
// Which sound plays on which mixer channel and how loud on each side, so that
// the party hears the dungeon from where it stands: tracks placed by the
// map's sound actions, one-shot effects at sectors (optionally keyed, so a
// repeated effect moves the sound already playing), and fixed interface
// sounds. Loudness comes from a breadth-first spread of sound from the
// party's sector through TRANSPARENT sides.
//
// Channels: 0-19 tracks and effects, 20 + index fixed sounds, 30-37 the flute.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/handles.h"

constexpr int EFFECT_CHANNELS = 20;
constexpr int FIXED_CHANNEL_FIRST = 20;
constexpr int TRACK_COUNT = 512;  // track numbers and effect keys share this numbering
constexpr int SOUND_FULL_LEVEL = 0x8000;

// Indexes of the fixed sounds the game uses.
enum fixed_sound_index : int { FIXED_ITEMS = 0, FIXED_BOOK = 1, FIXED_SHOP = 2 };

// Keys of one-shot effects: monsters' walking sounds are keyed by monster
// number so that a repeated step moves the sound instead of restarting it.
constexpr int MONSTER_SOUND_KEY_FIRST = 256;

// The sound action record of a map's action list (the bytes from the
// record's start; the name from byte 20).
struct sound_action {
    uint8_t flags = 0;   // bit 0: 16-bit, 1: quiet while P_FORW, 2: quiet without P_FORW, 3: random stereo
    uint8_t volume = 0;  // percent
    uint8_t track = 0;
    uint16_t rate = 0;
    int32_t loop_start = 0, end = 0, start = 0;  // byte offsets into the sample data
    std::string wave;
    bool loops() const { return end != loop_start; }
};
constexpr std::size_t SOUND_ACTION_NAME_OFFSET = 20;
// False when the record is shorter than its fixed part.
bool read_sound_action(const uint8_t* record, std::size_t size, sound_action& out);

void sound_reset();
void sound_update(int party_sector, int party_direction);
// A sound action that runs: tests its P_FORW flags against the side last
// touched and starts its track at its own sector and side (sector 0: a
// non-positional track).
void sound_run_action(const uint8_t* record, std::size_t size, int sector, int side);
void sound_start_track(const sound_action& action, int sector, int side);
void sound_at_sector(handle_id handle, int party_sector, int sound_sector, int key, bool loop);
void sound_fixed(handle_id handle, int index, int volume);
void sound_track_release(int key);
bool sound_track_playing(int key);
// The effect channel of a track or key, -1 when none.
int sound_track_channel(int key);
void sound_track_detach(int key);
void sound_stop_positional(bool force);
void sound_stop_all();
bool sound_enable(bool on);

// The handle of a wave file by name: a fixed handle when one carries the
// name, else one registered under the next free dynamic handle (sounds
// folder, the WAV decoder). 0 for an empty name, a name longer than a
// handle's, or when every dynamic handle is taken.
handle_id sound_handle(const std::string& wave);
// The dynamic handles of wave files named by sound actions: between the
// runtime handles nobody else takes and the items' pictures (0x9000 up).
constexpr handle_id SOUND_DYNAMIC_HANDLES = FIRST_RUNTIME_HANDLE + 0x0800;
constexpr int SOUND_DYNAMIC_HANDLE_COUNT = 0x0800;

// The party's place that tracks started by map actions are placed against.
// The game's party by default; tests set their own.
struct sound_party_place {
    int sector = 0;
    int direction = 0;
};
extern sound_party_place (*sound_party)();

// For tests and benchmarks: the propagation's distance for a sector and slot
// (-1 when the slot was not reached by the last propagation).
int sound_distance(int sector, int slot);
void propagate_sound(int party_sector, int party_direction);
// Left and right levels (0 to 0x8000) for a sound; false when silent. Sets
// the channel's volume when not silent.
bool positional_volume(int channel, int sound_sector, int sound_side, int party_sector, int party_direction,
                       int volume, int* left = nullptr, int* right = nullptr);
