// Converting the whole 640 x 480 RGB555 screen to the texture format, against
// a plain copy of the same frame (the floor any conversion is measured by).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/pixel_convert.h"

namespace {

constexpr size_t PIXELS = 640 * 480;

std::vector<uint16_t> test_frame() {
    std::vector<uint16_t> frame(PIXELS);
    uint32_t state = 12345;
    for (uint16_t& p : frame) {
        state = state * 214013 + 2531011;
        p = static_cast<uint16_t>(state >> 16);
    }
    return frame;
}

void BM_CopyFrame16(benchmark::State& state) {
    const std::vector<uint16_t> src = test_frame();
    std::vector<uint16_t> dst(PIXELS);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), PIXELS * 2);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * PIXELS * 2);
}
BENCHMARK(BM_CopyFrame16);

// A copy of the converted frame's size (4 bytes a pixel).
void BM_CopyFrame32(benchmark::State& state) {
    const std::vector<uint32_t> src(PIXELS, 0x12345678u);
    std::vector<uint32_t> dst(PIXELS);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), PIXELS * 4);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * PIXELS * 4);
}
BENCHMARK(BM_CopyFrame32);

void BM_ConvertFrame(benchmark::State& state) {
    const pixel_converter converter(static_cast<texture_layout>(state.range(0)));
    const std::vector<uint16_t> src = test_frame();
    std::vector<uint32_t> dst(PIXELS);
    for (auto _ : state) {
        converter.convert_row(src.data(), dst.data(), static_cast<int>(PIXELS));
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * PIXELS * 2);
}
BENCHMARK(BM_ConvertFrame)
    ->Arg(static_cast<int>(texture_layout::argb8888))
    ->Arg(static_cast<int>(texture_layout::argb4444))
    ->Arg(static_cast<int>(texture_layout::argb2101010));

}  // namespace
