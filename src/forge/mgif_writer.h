#pragma once
// Writing MGIF animations: frames of palette indexes (or true-colour pictures
// reduced to one palette for the whole video) with their sound, each frame a
// full picture or the changes against the frame before.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "forge/png_import.h"

namespace forge {

// LZW exactly as the player's lzw_decode reads it: the bytes are first
// turned into differences from the byte before (from 0 at each block start),
// and a clear code starts a new block before the code table would overflow.
std::vector<uint8_t> lzw_encode(const uint8_t* data, size_t size);

// The delta picture (before compression) that turns the 320 x 180 index
// picture `previous` into `current`: one control step for every run of
// changed pixel pairs, a row move after each row's steps (unchanged rows
// passed in one move of up to 64 rows), then the changed pairs' pixels.
std::vector<uint8_t> delta_picture(const uint8_t* previous, const uint8_t* current);

struct mgif_frame {
    std::vector<uint8_t> pixels;          // MGIF_PICTURE_BYTES palette indexes, rows top first
    std::array<uint16_t, 256> palette{};  // hi-colour (RGB555)
    // Interleaved stereo samples (left, right) at MGIF_SOUND_RATE, heard
    // from this frame on; any even count, none for a silent frame.
    std::vector<int16_t> sound;
};

struct mgif_options {
    // Kept in the header for authors and tools; players pace by the sound.
    uint16_t fps = 0;
    // Changes against the previous frame where they come out smaller.
    bool deltas = true;
};

// The whole file. Chunks of a frame: the palette (first frame and whenever
// it changes), the sound, then the picture: a full picture for the first
// frame and after a palette change (pixels already shown keep their old
// colours otherwise), none when nothing changed, else the smaller of the
// full picture and the delta picture. Sound codes come from
// mgif_sound_table(), chosen against the running value the player will
// hold, which carries over from frame to frame. Raises std::invalid_argument
// for a picture of the wrong size, an odd sample count or a frame past the
// format's 24-bit sizes.
std::vector<uint8_t> encode_mgif(const std::vector<mgif_frame>& frames, const mgif_options& options = {});

// Spreads a video's sound (interleaved stereo at MGIF_SOUND_RATE; silence
// past its end, and the part past the video's end left out) over the frames
// of a video shown fps times a second, replacing their sound. The full-screen
// player shows a frame once the frame's sound has gone into its streaming
// ring, which starts with MGIF_RING_START_CURSOR bytes of silence ahead of
// the sound: so the first frame carries what fills the rest of the ring
// (and is shown at once), the second what the ring plays until it is due
// (the first picture stays that much longer while the silence plays), and
// every later frame a frame's time of sound. Each frame's sound is then heard
// as its picture is shown, and a video without sound still keeps its rate.
// Raises std::invalid_argument for an fps of 0 or an odd sample count.
void spread_sound(std::vector<mgif_frame>& frames, const std::vector<int16_t>& stereo, unsigned fps);

// The step table the encoder writes into the header (the MUS table).
std::array<int16_t, 256> mgif_sound_table();

// Reduces true-colour frames (each 320 x 180) to one shared palette; pixels
// whose alpha is below 128 become index 0 (black, and transparent when the
// video is drawn over the map view). The frames get no sound.
std::vector<mgif_frame> frames_from_rgba(const std::vector<rgba_image>& pictures);

}  // namespace forge
