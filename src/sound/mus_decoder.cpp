#include "sound/mus_decoder.h"

#include <algorithm>

#include "core/record_bytes.h"
#include "sound/mus_format.h"

mus_decoder::mus_decoder(const uint8_t* data, size_t size) : data_(data), size_(size) {
    if (!data || size < mus::HEADER_BYTES) return;
    record_reader header(data, mus::HEADER_BYTES);
    channels_ = header.i16();
    rate_ = header.u32();
    header.skip(mus::BLOCK_COUNT_OFFSET - mus::FRAMES_OFFSET);
    blocks_left_ = header.u32();
    header.skip(mus::DELTA_TABLE_OFFSET - mus::BLOCK_COUNT_OFFSET - 4);
    header.i16s(delta_, mus::DELTA_TABLE_ENTRIES);
    for (size_t b = 0; b < mus::DELTA_TABLE_ENTRIES; ++b) yield_offset_[b] = 0;
    yield_offset_[0] = -mus::ZERO_CODE_REDUCTION;
    read_offset_ = mus::HEADER_BYTES;
    valid_ = header.ok();
    // One accumulator per channel; a file without channels has nothing to play.
    if (channels_ > 0) accumulators_.assign(static_cast<size_t>(channels_), 0);
}

std::span<const int16_t> mus_decoder::next_block() {
    samples_.clear();
    // Blocks without a whole frame are passed over rather than ending the
    // music in the middle of the file.
    while (samples_.empty()) {
        if (!valid_ || channels_ <= 0 || blocks_left_ == 0) return {};
        if (size_ - read_offset_ < mus::BLOCK_HEADER_BYTES) {
            blocks_left_ = 0;
            return {};
        }
        --blocks_left_;
        record_reader block(data_ + read_offset_, mus::BLOCK_HEADER_BYTES);
        size_t count = block.u32();
        read_offset_ += mus::BLOCK_HEADER_BYTES;
        // A block that claims more bytes than the file holds is the file's
        // last: its bytes present are played, then the music ends.
        const size_t present = size_ - read_offset_;
        if (count > present) {
            count = present;
            blocks_left_ = 0;
        }
        const uint8_t* codes = data_ + read_offset_;
        read_offset_ += count;
        count -= count % static_cast<size_t>(channels_);
        if (channels_ == 2)
            decode_stereo(codes, count);
        else
            decode_any(codes, count);
    }
    return samples_;
}

void mus_decoder::decode_stereo(const uint8_t* codes, size_t count) {
    samples_.resize(count);
    int16_t* out = samples_.data();
    int16_t left = 0, right = 0;
    for (size_t i = 0; i < count; i += 2) {
        const uint8_t l = codes[i], r = codes[i + 1];
        left = static_cast<int16_t>(left + delta_[l]);
        right = static_cast<int16_t>(right + delta_[r]);
        out[i] = static_cast<int16_t>(left + yield_offset_[l]);
        out[i + 1] = static_cast<int16_t>(right + yield_offset_[r]);
    }
}

void mus_decoder::decode_any(const uint8_t* codes, size_t count) {
    samples_.resize(count);
    std::fill(accumulators_.begin(), accumulators_.end(), int16_t{0});
    size_t channel = 0;
    for (size_t i = 0; i < count; ++i) {
        int16_t& acc = accumulators_[channel];
        acc = static_cast<int16_t>(acc + delta_[codes[i]]);
        samples_[i] = static_cast<int16_t>(acc + yield_offset_[codes[i]]);
        if (++channel == accumulators_.size()) channel = 0;
    }
}
