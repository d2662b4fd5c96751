// Any bytes as a MUS file: nothing reads past them, the stream hands out
// exactly what a plain sample-by-sample reading of the format gives, and a
// tail put back comes out again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "sound/mus_format.h"
#include "sound/mus_parser.h"

namespace {

uint32_t read32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The format read the slow way, with the player's guards: a block cut by the
// end of the file is the last, blocks hold whole frames, empty ones are
// passed over.
std::vector<int16_t> reference(const uint8_t* data, size_t size) {
    std::vector<int16_t> out;
    if (size < mus::HEADER_BYTES) return out;
    const int channels = int16_t(data[0] | data[1] << 8);
    if (channels <= 0) return out;
    int16_t table[256];
    for (int i = 0; i < 256; ++i) {
        const uint8_t* p = data + mus::DELTA_TABLE_OFFSET + 2 * i;
        table[i] = int16_t(p[0] | p[1] << 8);
    }
    uint32_t blocks = read32(data + mus::BLOCK_COUNT_OFFSET);
    size_t at = mus::HEADER_BYTES;
    while (blocks-- > 0 && size - at >= mus::BLOCK_HEADER_BYTES) {
        size_t count = read32(data + at);
        at += mus::BLOCK_HEADER_BYTES;
        if (count > size - at) {
            count = size - at;
            blocks = 0;
        }
        const size_t whole = count - count % size_t(channels);
        std::vector<int16_t> sums(size_t(channels), 0);
        for (size_t i = 0; i < whole; ++i) {
            const uint8_t code = data[at + i];
            int16_t& sum = sums[i % size_t(channels)];
            sum = int16_t(sum + table[code]);
            out.push_back(code == 0 ? int16_t(sum - mus::ZERO_CODE_REDUCTION) : sum);
        }
        at += count;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    // A copy of exactly the bytes given, so a read past them is caught.
    std::vector<uint8_t> bytes(data, data + size);
    MUSStreamParser parser(bytes.data(), bytes.size());
    std::vector<uint8_t> heard;
    bool put_back = size > 0 && (data[size - 1] & 1);
    for (auto chunk = parser.read(); !chunk.empty(); chunk = parser.read()) {
        if (chunk.size() % 2 != 0) std::abort();
        if (put_back && chunk.size() >= 4) {
            // Take half now and the rest when it comes round again.
            const size_t used = chunk.size() / 4 * 2;
            heard.insert(heard.end(), chunk.begin(), chunk.begin() + used);
            parser.put_back(chunk.subspan(used));
            auto again = parser.read();
            if (again.size() != chunk.size() - used || again.data() != chunk.data() + used) std::abort();
            chunk = again;
        }
        heard.insert(heard.end(), chunk.begin(), chunk.end());
        if (heard.size() > 2 * size) std::abort();  // a sample per code byte at most
    }
    const std::vector<int16_t> expected = reference(data, size);
    if (heard.size() != expected.size() * 2 ||
        (!expected.empty() && std::memcmp(heard.data(), expected.data(), heard.size()) != 0))
        std::abort();
    return 0;
}
