#pragma once
// Writing MUS music: 16-bit stereo PCM delta-coded a byte per sample against
// a fixed table of steps, small steps fine and large ones coarse.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace forge {

// The steps the encoder writes as the file's delta table: code 128 is no
// step, codes 1-127 rise from 1 to 32767 (cubic past the first few), codes
// 129-255 are the same steps downwards. Code 0 is left out (0 in the table):
// the sample it yields is offset from its running value.
std::array<int16_t, 256> mus_delta_table();

// Frames per block: the player decodes a block at a time.
constexpr uint32_t MUS_BLOCK_FRAMES = 4096;

// The MUS file of interleaved stereo samples (left, right, ...) at rate Hz.
// Each code is chosen against the value the player will hold after the
// codes before it, so the rounding never accumulates: every decoded sample
// is within one table step of the input. Raises std::invalid_argument for
// an odd sample count, a zero rate or a zero block size.
std::vector<uint8_t> encode_mus(const std::vector<int16_t>& stereo_samples, uint32_t rate,
                                uint32_t block_frames = MUS_BLOCK_FRAMES);
void write_mus(const std::string& path, const std::vector<int16_t>& stereo_samples, uint32_t rate);

}  // namespace forge
