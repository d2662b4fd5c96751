// The handle table's hot paths: fetching loaded data, and defining handles
// against a large archive (directory search plus the alias lookup).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/handles.h"

namespace {

constexpr int ENTRY_COUNT = 2000;

std::string entry_name(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "E%04d.DAT", i);
    return name;
}

std::vector<uint8_t> make_image(int count) {
    const size_t dir = 8, data_start = dir + 16 * static_cast<size_t>(count);
    std::vector<uint8_t> out(data_start + static_cast<size_t>(count) * 8, 0);
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(4, static_cast<uint32_t>(dir));
    for (int i = 0; i < count; ++i) {
        const std::string name = entry_name(i);
        const size_t entry = dir + 16 * static_cast<size_t>(i),
                     record = data_start + 8 * static_cast<size_t>(i);
        std::memcpy(&out[entry], name.data(), name.size());
        put(entry + 12, static_cast<uint32_t>(record));
        put(record, 4);
        put(record + 4, static_cast<uint32_t>(i));
    }
    return out;
}

void* copy_decoder(void* data, int32_t* length, handle_id) {
    void* out = game_alloc(static_cast<size_t>(*length));
    std::memcpy(out, data, static_cast<size_t>(*length));
    return out;
}

void BM_GetHandleDataLoaded(benchmark::State& state) {
    const auto image = make_image(16);
    register_archive_image("bench.ddl", image.data(), image.size());
    define_handle(42, entry_name(7).c_str(), copy_decoder, PATH_DATA);
    benchmark::DoNotOptimize(get_handle_data(42));
    for (auto _ : state) benchmark::DoNotOptimize(get_handle_data(42));
    free_all_handles();
}
BENCHMARK(BM_GetHandleDataLoaded);

void BM_GetHandleDataThroughAlias(benchmark::State& state) {
    const auto image = make_image(16);
    register_archive_image("bench.ddl", image.data(), image.size());
    define_handle(42, entry_name(7).c_str(), copy_decoder, PATH_DATA);
    define_handle(0x8000, entry_name(7).c_str(), copy_decoder, PATH_DATA);
    benchmark::DoNotOptimize(get_handle_data(0x8000));
    for (auto _ : state) benchmark::DoNotOptimize(get_handle_data(0x8000));
    free_all_handles();
}
BENCHMARK(BM_GetHandleDataThroughAlias);

// Defines one handle per entry of a 2,000-entry archive (the later the entry,
// the longer the directory scan; the more handles, the longer the alias scan).
void BM_DefineHandle2000(benchmark::State& state) {
    const auto image = make_image(ENTRY_COUNT);
    std::vector<std::string> names;
    for (int i = 0; i < ENTRY_COUNT; ++i) names.push_back(entry_name(i));
    for (auto _ : state) {
        register_archive_image("bench.ddl", image.data(), image.size());
        for (int i = 0; i < ENTRY_COUNT; ++i)
            benchmark::DoNotOptimize(
                define_handle(static_cast<handle_id>(i), names[i].c_str(), nullptr, PATH_DATA));
        state.PauseTiming();
        free_all_handles();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * ENTRY_COUNT);
}
BENCHMARK(BM_DefineHandle2000)->Unit(benchmark::kMillisecond);

}  // namespace
