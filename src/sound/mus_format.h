#pragma once
// The MUS music file as it lies on disk, shared by the player's decoder and
// the forge's encoder. All numbers are little-endian.
//
//   0   u16  channels (music is always 2)
//   2   u32  sample rate in Hz
//   6   u32  not read by the player
//   10  u32  number of blocks
//   14  8    not read by the player
//   22  512  delta table: 256 signed 16-bit values
//   534      the blocks
//
// A block is a u32 count n of code bytes, a u32 the player does not read, and
// the n code bytes. Each code byte adds its table value to the accumulator of
// its channel (wrapping at 16 bits) and yields the accumulator as the next
// sample; channels alternate left, right, ... and both accumulators start at
// 0 in every block. Code 0 is odd: its sample is the accumulator less 31767
// while the accumulator keeps the plain sum.
#include <cstddef>
#include <cstdint>

namespace mus {

constexpr size_t CHANNELS_OFFSET = 0;
constexpr size_t RATE_OFFSET = 2;
constexpr size_t FRAMES_OFFSET = 6;  // the forge's frame count; not read by the player
constexpr size_t BLOCK_COUNT_OFFSET = 10;
constexpr size_t DELTA_TABLE_OFFSET = 22;
constexpr size_t DELTA_TABLE_ENTRIES = 256;
constexpr size_t HEADER_BYTES = DELTA_TABLE_OFFSET + 2 * DELTA_TABLE_ENTRIES;  // 534

constexpr size_t BLOCK_HEADER_BYTES = 8;

// What code 0 takes off the accumulator in the sample it yields.
constexpr int ZERO_CODE_REDUCTION = 0x7C17;

// Music is 16-bit stereo.
constexpr int MUSIC_CHANNELS = 2;
constexpr int BYTES_PER_SAMPLE = 2;

}  // namespace mus
