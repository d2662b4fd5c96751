#pragma once
// How far sound travels from the party: a breadth-first spread through the
// loaded map's TRANSPARENT sides, once through each of the party sector's four
// sides (slot 0 ahead, 1 right, 2 behind, 3 left), and the left and right
// levels that follow from it. The public part is in game_sound.h.
#include <cstddef>

// Sectors of the loaded map the sound may look at: the sector count, never
// more than the records present.
int sound_map_sectors();

// Left and right levels (0 to 0x8000) of a sound at sound_sector (on
// sound_side when it is in the party's sector), scaled by volume in percent,
// without touching any channel. False when silent.
bool positional_levels(int sound_sector, int sound_side, int party_sector, int party_direction, int volume,
                       int& left, int& right);

// Whether a track that fell silent is close enough to start again: the
// Manhattan distance between the party and the track, counted one further on
// the track's side, is below 8.
bool track_audible(int party_x, int party_y, int track_x, int track_y, int side);

// The most (from, to) pairs that waited at once in the queue of the last
// propagate_sound (for tests and benchmarks).
std::size_t sound_propagation_queue_peak();
