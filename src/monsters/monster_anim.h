#pragma once
// Animation sets: the run of handles shared by every monster of one
// definition on the map. From the set's first handle S:
//   S                 the frame list <anim_name>.SEQ (text)
//   S + 1 + 16k + f   picture of frame f of kind k (0 front, 1 left side,
//                     2 back, 3 right side (same pictures as 1, drawn mirrored),
//                     4 attacking, 5 in pain)
//   S + 97 + i        sound sounds[i] (only the non-zero ones)
//   S + 101           the colour file <anim_name>.COL
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/handles.h"
#include "monsters/monster_record.h"

constexpr int MONSTER_SET_HANDLES = 102;
constexpr int MONSTER_SET_FRAMES = 1;
constexpr int MONSTER_SET_SOUNDS = 97;
constexpr int MONSTER_SET_COLOURS = 101;
constexpr int MONSTER_MAX_FRAME = MONSTER_KIND_FRAMES - 1;

// A colour file holds 776-byte records (256 x R, G, B, then 8 unused bytes);
// each becomes a variant of 5126 bytes: an empty PIC_FADE8 header (0, 0, 264)
// followed by its ten shaded palettes.
constexpr size_t MONSTER_COLOUR_RECORD_SIZE = 776;
constexpr size_t MONSTER_COLOUR_VARIANT_SIZE = 5126;

// The frame pictures named by a .SEQ list.
struct monster_frame_names {
    std::array<std::array<std::string, MONSTER_KIND_FRAMES>, MONSTER_ANIM_KINDS> names;
    std::array<int, MONSTER_ANIM_KINDS> last_frame{};  // frames 0 .. last_frame[k] are named
};

// Reads a .SEQ list for a monster: line k names the frames of kind k, each
// "<anim_name><kind letter><character>.PCX". A kind whose frame_count is 0
// takes kind 0's letter and count; counts above 15 are taken as 15. Lines may
// end in CR LF, CR or LF. False when a line ends before enough characters
// were read; bad_name is then the picture name being built.
bool read_monster_frame_names(std::span<const uint8_t> seq, const monster& m, monster_frame_names& out,
                              std::string& bad_name);

// The message for a .SEQ list that is too short (one %s: the picture name).
constexpr const char* MONSTER_SEQ_MESSAGE =
    "Soubor sekvence %s obsahuje chybne udaje nebo je sekvence je moc kratka\n";

// Defines the 102 handles of a new set for the monster from `first` on: the
// .SEQ list is read at once and a short list ends the program with the
// message above. Sounds are named by the monster sound names (see
// monster_sound.h).
void register_animation_set(const monster& m, handle_id first);
// Undefines a set's handles (a summoned monster's own set when it goes).
void release_animation_set(handle_id first);

// The first handle of the monster's set.
handle_id monster_set_handle(const monster& m);

// The decoder of colour files: the variants shaded with the current fade
// colour (the loaded map's). Null, length 0, for a file without one whole record.
void* colour_file_to_variants(void* data, int32_t* length, handle_id id);
// Builds the variants of colour file bytes with a fade colour into out (resized).
void build_colour_variants(std::span<const uint8_t> file, uint8_t fade_r, uint8_t fade_g, uint8_t fade_b,
                           std::span<uint8_t> out);
// How many whole records a colour file of this size holds.
inline size_t colour_variant_count(size_t file_size) {
    return file_size / MONSTER_COLOUR_RECORD_SIZE;
}

// The ten palettes (10 x 256 RGB555 words) of the monster's colour variant; a
// variant beyond the file's clamps to its last. Null when the set's colour
// file has no variant.
const uint16_t* monster_palettes(const monster& m);

// Writers of the two files, for the forge and the tests: a .SEQ list of six
// lines (CR LF), and a colour file of 768-byte R, G, B palettes.
std::vector<uint8_t> write_monster_frame_list(const std::array<std::string, MONSTER_ANIM_KINDS>& lines);
std::vector<uint8_t> write_colour_file(std::span<const std::array<uint8_t, 768>> palettes);
