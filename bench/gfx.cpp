// Picture decoding and drawing against the plain copy of a whole screen
// buffer (640 x 480 x 2 bytes), the reference every figure is compared to.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "gfx/draw.h"
#include "gfx/picture.h"
#include "gfx/screen.h"

namespace {

constexpr size_t SCREEN_BYTES = 640 * 480 * 2;

struct indexed_image {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    uint8_t palette[768];
};

// The PCX file of an 8-bit picture (rows coded by themselves, even length).
std::vector<uint8_t> encode_pcx(const indexed_image& image) {
    std::vector<uint8_t> out(128, 0);
    const int bytes_per_line = (image.width + 1) & ~1;
    out[0] = 10, out[1] = 5, out[2] = 1, out[3] = 8, out[65] = 1;
    out[8] = static_cast<uint8_t>(image.width - 1), out[9] = static_cast<uint8_t>((image.width - 1) >> 8);
    out[10] = static_cast<uint8_t>(image.height - 1), out[11] = static_cast<uint8_t>((image.height - 1) >> 8);
    out[66] = static_cast<uint8_t>(bytes_per_line), out[67] = static_cast<uint8_t>(bytes_per_line >> 8);
    std::vector<uint8_t> row(bytes_per_line, 0);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(row.data(), &image.pixels[static_cast<size_t>(y) * image.width], image.width);
        for (int x = 0; x < bytes_per_line;) {
            int run = 1;
            while (x + run < bytes_per_line && run < 63 && row[x + run] == row[x]) ++run;
            if (run > 1 || row[x] >= 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | run));
            out.push_back(row[x]);
            x += run;
        }
    }
    out.push_back(12);
    out.insert(out.end(), image.palette, image.palette + 768);
    return out;
}

// content 0: smooth, like interface art (long runs, a few literals);
// content 1: noise, every pixel random (the worst case, a quarter of the
// pixels needing a two-byte run of one).
indexed_image painted(int width, int height, int content = 0) {
    indexed_image image;
    image.width = width, image.height = height;
    uint32_t state = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 214013 + 2531011;
            const uint8_t smooth =
                static_cast<uint8_t>(1 + (x / 24 + y / 6) % 180 + ((state >> 16) % 11 == 0));
            image.pixels.push_back(content ? static_cast<uint8_t>((state >> 16) & 0xFF) : smooth);
        }
    for (int i = 0; i < 768; ++i) image.palette[i] = static_cast<uint8_t>(i * 7);
    return image;
}

// The reference: a block copy of range(0) bytes.
void bm_memcpy(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(state.range(0));
    std::vector<uint8_t> source(bytes, 1), dest(bytes);
    for (auto _ : state) {
        std::memcpy(dest.data(), source.data(), bytes);
        benchmark::DoNotOptimize(dest.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
// A whole screen buffer, the 8-bit output of a 640 x 480 decode, a 500 x 320 blit.
BENCHMARK(bm_memcpy)->Arg(SCREEN_BYTES)->Arg(640 * 480)->Arg(500 * 320 * 2);

// range(0): output type; range(1): content.
void bm_decode_pcx(benchmark::State& state) {
    const std::vector<uint8_t> file = encode_pcx(painted(640, 480, static_cast<int>(state.range(1))));
    const int type = static_cast<int>(state.range(0));
    for (auto _ : state) {
        picture* pic = nullptr;
        benchmark::DoNotOptimize(decode_pcx(file.data(), static_cast<int32_t>(file.size()), type, &pic));
        game_free(pic);
    }
}
BENCHMARK(bm_decode_pcx)->ArgsProduct({{PIC_PAL8, PIC_HICOLOR, PIC_FADE8}, {0, 1}});

void bm_put_picture_8bit_500x320(benchmark::State& state) {
    const std::vector<uint8_t> file = encode_pcx(painted(500, 320));
    picture* pic = nullptr;
    decode_pcx(file.data(), static_cast<int32_t>(file.size()), PIC_PAL8, &pic);
    target_frame_buffer();
    for (auto _ : state) {
        put_picture(70, 80, pic);
        benchmark::ClobberMemory();
    }
    game_free(pic);
}
BENCHMARK(bm_put_picture_8bit_500x320);

void bm_put_picture_hicolor_full(benchmark::State& state) {
    const std::vector<uint8_t> file = encode_pcx(painted(640, 480));
    picture* pic = nullptr;
    decode_pcx(file.data(), static_cast<int32_t>(file.size()), PIC_HICOLOR, &pic);
    target_frame_buffer();
    for (auto _ : state) {
        put_picture(0, 0, pic);
        benchmark::ClobberMemory();
    }
    game_free(pic);
}
BENCHMARK(bm_put_picture_hicolor_full);

void bm_fill_screen(benchmark::State& state) {
    target_frame_buffer();
    draw_colour = 0x1234;
    for (auto _ : state) {
        fill_rect(0, 0, 639, 479);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bm_fill_screen);

void bm_blend_screen(benchmark::State& state) {
    target_frame_buffer();
    for (auto _ : state) {
        blend_rect(0, 0, 640, 480, 0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bm_blend_screen);

}  // namespace
