#pragma once
// The MUS decoder over bytes it does not own: block after block of delta
// codes turned into 16-bit samples. Every length is checked against the bytes
// present, so a cut or damaged file ends the music early instead of reading
// past its end.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class mus_decoder {
  public:
    // A file shorter than the header cannot be read: valid() is false and the
    // stream is empty.
    mus_decoder(const uint8_t* data, size_t size);

    bool valid() const { return valid_; }
    int16_t channels() const { return channels_; }
    uint32_t rate() const { return rate_; }
    uint32_t blocks_left() const { return blocks_left_; }

    // The samples of the next block, interleaved by channel; empty once the
    // stream has ended (no blocks left, or the bytes run out). A block holds
    // whole frames only: a lone last sample of a channel is dropped.
    std::span<const int16_t> next_block();

  private:
    void decode_stereo(const uint8_t* codes, size_t count);
    void decode_any(const uint8_t* codes, size_t count);

    const uint8_t* data_;
    size_t size_;
    size_t read_offset_ = 0;
    bool valid_ = false;
    int16_t channels_ = 0;
    uint32_t rate_ = 0;
    uint32_t blocks_left_ = 0;
    // The table as values, and the same table as the samples code bytes
    // yield relative to the new accumulator (code 0's offset folded in).
    int16_t delta_[256] = {};
    int16_t yield_offset_[256] = {};
    std::vector<int16_t> samples_;
    std::vector<int16_t> accumulators_;
};
