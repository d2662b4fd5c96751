// MUS decoding: a piece of 512 blocks of 4,096 stereo frames read through the
// stream, counted in bytes of decoded sound.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "core/record_bytes.h"
#include "sound/mus_format.h"
#include "sound/mus_parser.h"

namespace {

constexpr uint32_t BLOCKS = 512, CODES_PER_BLOCK = 8192;

std::vector<uint8_t> noisy_piece() {
    std::vector<uint8_t> file(mus::HEADER_BYTES + BLOCKS * (mus::BLOCK_HEADER_BYTES + CODES_PER_BLOCK));
    record_writer out(file.data());
    out.u16(2);
    out.u32(44100);
    out.u32(0);
    out.u32(BLOCKS);
    out.zeros(8);
    for (int i = 0; i < 256; ++i) out.i16(int16_t((i - 128) * 37));
    uint32_t seed = 1;
    for (uint32_t b = 0; b < BLOCKS; ++b) {
        out.u32(CODES_PER_BLOCK);
        out.u32(0);
        for (uint32_t i = 0; i < CODES_PER_BLOCK; ++i) {
            seed = seed * 1103515245 + 12345;
            out.u8(uint8_t(seed >> 16));
        }
    }
    return file;
}

void BM_MusDecode(benchmark::State& state) {
    const std::vector<uint8_t> file = noisy_piece();
    size_t decoded = 0;
    for (auto _ : state) {
        MUSStreamParser parser(file.data(), file.size());
        for (auto chunk = parser.read(); !chunk.empty(); chunk = parser.read()) {
            benchmark::DoNotOptimize(chunk.data());
            decoded += chunk.size();
        }
    }
    state.SetBytesProcessed(int64_t(decoded));
}
BENCHMARK(BM_MusDecode)->Unit(benchmark::kMillisecond);

}  // namespace
