// MGIF pictures: decompressing and decoding a 320 x 180 full frame and a
// change frame into a hi-colour picture, against copying the frame's pixels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "forge/mgif_writer.h"
#include "gfx/mgif.h"

namespace {

// A shaded picture with some noise, and the next frame: a square moved and
// a few hundred pixels changed, as in a typical scene of a video.
struct frames {
    std::vector<uint8_t> first, next;
    frames() : first(MGIF_PICTURE_BYTES), next(MGIF_PICTURE_BYTES) {
        std::mt19937 random(9);
        for (size_t i = 0; i < first.size(); ++i)
            first[i] =
                uint8_t((i % MGIF_WIDTH) / 5 + (i / MGIF_WIDTH) / 3 + (random() % 4 == 0 ? random() % 3 : 0));
        next = first;
        for (int y = 60; y < 120; ++y)
            for (int x = 100; x < 160; ++x) next[size_t(y * MGIF_WIDTH + x)] = 250;
        for (int i = 0; i < 300; ++i) next[random() % next.size()] = uint8_t(random());
    }
};

void decode(benchmark::State& state, bool delta) {
    const frames f;
    const std::vector<uint8_t> packed =
        delta ? [&] {
            const std::vector<uint8_t> d = forge::delta_picture(f.first.data(), f.next.data());
            return forge::lzw_encode(d.data(), d.size());
        }()
              : forge::lzw_encode(f.first.data(), f.first.size());
    std::vector<uint8_t> buffer(MGIF_BUFFER_BYTES);
    std::vector<uint16_t> picture(MGIF_PICTURE_BYTES);
    uint16_t palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = uint16_t(i * 131);
    for (auto _ : state) {
        const long n = lzw_decode(packed.data(), packed.size(), buffer.data(), buffer.size());
        if (delta)
            decode_delta_frame(picture.data(), MGIF_WIDTH, buffer.data(), size_t(n), palette);
        else
            decode_full_frame(picture.data(), MGIF_WIDTH, buffer.data(), size_t(n), palette);
        benchmark::DoNotOptimize(picture.data());
        benchmark::ClobberMemory();
    }
    state.counters["packed_bytes"] = double(packed.size());
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_MgifFullFrame(benchmark::State& state) {
    decode(state, false);
}
void BM_MgifChangeFrame(benchmark::State& state) {
    decode(state, true);
}
// The yardstick: copying a hi-colour frame.
void BM_MgifFrameMemcpy(benchmark::State& state) {
    std::vector<uint16_t> from(MGIF_PICTURE_BYTES, 7), to(MGIF_PICTURE_BYTES);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size() * sizeof(uint16_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_MgifFullFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MgifChangeFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MgifFrameMemcpy)->Unit(benchmark::kMicrosecond);

}  // namespace
