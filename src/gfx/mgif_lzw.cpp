// The LZW decompressor of MGIF pictures.
#include <cstring>
#include <vector>

#include "gfx/mgif.h"

namespace {

struct lzw_entry {
    uint16_t prefix;
    uint8_t byte;   // appended byte
    uint8_t first;  // first byte of the whole string
    uint16_t length_minus_1;
};

class code_reader {
  public:
    code_reader(const uint8_t* in, size_t size) : in_(in), bits_(uint64_t(size) * 8), size_(size) {}
    // False when the code would need bits past the end of the data.
    bool read(int width, int* code) {
        if (position_ + uint64_t(width) > bits_) return false;
        const size_t at = size_t(position_ / 8);
        uint32_t word = 0;
        for (size_t i = 0; i < 4 && at + i < size_; ++i) word |= uint32_t(in_[at + i]) << (8 * i);
        *code = int((word >> (position_ % 8)) & ((1u << width) - 1));
        position_ += uint64_t(width);
        return true;
    }

  private:
    const uint8_t* in_;
    uint64_t bits_;
    size_t size_;
    uint64_t position_ = 0;
};

}  // namespace

long lzw_decode(const uint8_t* in, size_t in_size, uint8_t* out, size_t capacity) {
    // One table a thread: decoding is done by one task at a time, but tools
    // and tests may decode side by side.
    thread_local std::vector<lzw_entry> table(LZW_TABLE_ENTRIES);
    for (int c = 0; c < 256; ++c) table[size_t(c)] = {0, uint8_t(c), uint8_t(c), 0};

    code_reader codes(in, in_size);
    size_t written = 0;
    uint8_t running = 0;
    int next_free = LZW_FIRST_FREE, width = LZW_FIRST_WIDTH;

    // Writes code's string at the output (the raw bytes walked back from the
    // last), then turns it into output bytes through the running byte.
    auto output = [&](int code) -> bool {
        const size_t length = size_t(table[size_t(code)].length_minus_1) + 1;
        if (length > capacity - written) return false;
        uint8_t* end = out + written + length;
        uint8_t* p = end;
        for (int c = code;;) {
            *--p = table[size_t(c)].byte;
            if (c < 256) break;
            c = table[size_t(c)].prefix;
        }
        for (p = out + written; p != end; ++p) {
            running = uint8_t(running + *p);
            *p = running;
        }
        written += length;
        return true;
    };
    auto add = [&](int prefix, uint8_t byte) -> bool {
        if (next_free >= LZW_TABLE_ENTRIES) return false;
        const lzw_entry& p = table[size_t(prefix)];
        table[size_t(next_free)] = {uint16_t(prefix), byte, p.first, uint16_t(p.length_minus_1 + 1)};
        ++next_free;
        if (next_free == (1 << width) - 1) ++width;
        return true;
    };

    for (;;) {
        // Block start: at the beginning and after every clear code.
        running = 0;
        next_free = LZW_FIRST_FREE;
        width = LZW_FIRST_WIDTH;
        int code;
        if (!codes.read(width, &code)) return -1;
        if (code == LZW_END_CODE) return long(written);
        if (code == LZW_CLEAR_CODE) continue;
        if (code > 255 || !output(code)) return -1;
        bool cleared = false;
        while (!cleared) {
            const int previous = code;
            if (!codes.read(width, &code)) return -1;
            if (code == LZW_END_CODE) return long(written);
            if (code == LZW_CLEAR_CODE) {
                cleared = true;
            } else if (code < next_free && (code < 256 || code >= LZW_FIRST_FREE)) {
                if (!output(code) || !add(previous, table[size_t(code)].first)) return -1;
            } else if (code == next_free) {
                if (!add(previous, table[size_t(previous)].first) || !output(code)) return -1;
            } else {
                return -1;
            }
        }
    }
}
