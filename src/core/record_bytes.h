#pragma once
// Little-endian field-by-field access to the game's fixed-size binary records.
// The reader never reads past the bytes it was given: a read beyond the end
// yields zero and marks the reader as short.
#include <cstddef>
#include <cstdint>
#include <cstring>

class record_reader {
  public:
    record_reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t u8() {
        if (pos_ + 1 > size_) return fail(1), 0;
        return data_[pos_++];
    }
    uint16_t u16() {
        if (pos_ + 2 > size_) return fail(2), 0;
        uint16_t v = uint16_t(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    int16_t i16() { return int16_t(u16()); }
    uint32_t u32() {
        if (pos_ + 4 > size_) return fail(4), 0;
        uint32_t v = uint32_t(data_[pos_]) | (uint32_t(data_[pos_ + 1]) << 8) |
                     (uint32_t(data_[pos_ + 2]) << 16) | (uint32_t(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }
    int32_t i32() { return int32_t(u32()); }
    void bytes(void* out, size_t n) {
        if (pos_ + n > size_) {
            std::memset(out, 0, n);
            fail(n);
            return;
        }
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
    }
    void i16s(int16_t* out, size_t n) {
        for (size_t i = 0; i < n; ++i) out[i] = i16();
    }
    void skip(size_t n) { pos_ + n > size_ ? fail(n) : void(pos_ += n); }

    size_t position() const { return pos_; }
    bool ok() const { return !short_; }

  private:
    void fail(size_t) {
        short_ = true;
        pos_ = size_;
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool short_ = false;
};

// Writes into a buffer the caller sized for the whole record.
class record_writer {
  public:
    explicit record_writer(uint8_t* out) : out_(out) {}

    void u8(uint8_t v) { out_[pos_++] = v; }
    void u16(uint16_t v) {
        out_[pos_++] = uint8_t(v);
        out_[pos_++] = uint8_t(v >> 8);
    }
    void i16(int16_t v) { u16(uint16_t(v)); }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) out_[pos_++] = uint8_t(v >> (8 * i));
    }
    void i32(int32_t v) { u32(uint32_t(v)); }
    void bytes(const void* in, size_t n) {
        std::memcpy(out_ + pos_, in, n);
        pos_ += n;
    }
    void i16s(const int16_t* in, size_t n) {
        for (size_t i = 0; i < n; ++i) i16(in[i]);
    }
    void zeros(size_t n) {
        std::memset(out_ + pos_, 0, n);
        pos_ += n;
    }
    size_t position() const { return pos_; }

  private:
    uint8_t* out_;
    size_t pos_ = 0;
};
