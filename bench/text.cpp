// Text output: draw_text of a 60-character line in the interface font, against
// copying the same screen rectangle (the text's width x height pixels, row by
// row) with memcpy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gfx/font.h"
#include "gfx/screen.h"

namespace {

const std::string LINE = "The party climbs the stairs; a cold wind blows from the east";  // 60 characters

std::vector<uint8_t> load_font(const char* name) {
    std::ifstream in(std::string(VORTHAN_DEMO_DIR "/font/") + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct text_setup {
    std::vector<uint8_t> bytes = load_font("sada16.fon");
    text_setup() {
        current_font = font_data{bytes.data(), static_cast<int32_t>(bytes.size())};
        font_colours = {0, 0x7FDF, 0x7FDF, 0x7FDF, 0x7FDF, 0, 0};
        target_frame_buffer();
    }
};

void BM_DrawText60(benchmark::State& state) {
    text_setup setup;
    if (setup.bytes.empty()) {
        state.SkipWithError("the demo fonts are not built");
        return;
    }
    for (auto _ : state) {
        set_text_position(10, 100);
        draw_text(LINE);
        benchmark::ClobberMemory();
    }
    state.counters["width"] = text_width(LINE);
    state.counters["height"] = text_height(LINE);
}
BENCHMARK(BM_DrawText60);

void BM_MemcpySameRectangle(benchmark::State& state) {
    text_setup setup;
    const int width = text_width(LINE), height = text_height(LINE);
    if (!width) {
        state.SkipWithError("the demo fonts are not built");
        return;
    }
    for (auto _ : state) {
        for (int row = 0; row < height; ++row)
            std::memcpy(frame_buffer + (100 + row) * SCREEN_PITCH + 10,
                        back_buffer + (100 + row) * SCREEN_PITCH + 10, static_cast<size_t>(width) * 2);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpySameRectangle);

}  // namespace
