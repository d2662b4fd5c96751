// Reading ITEMS.DAT at start-up: a file of 1,000 item definitions with its
// picture and sound lists, beside a memcpy of the same records.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "rules/items_file.h"

namespace {

constexpr int ITEM_COUNT = 1000;

std::vector<uint8_t> thousand_items() {
    items_file file;
    for (int set = 0; set < 4; ++set)
        for (int p = 0; p < 100; ++p)
            file.picture_sets[size_t(set)].push_back("ITEM" + std::to_string(p) + ".PCX");
    for (int s = 0; s < 20; ++s) file.sounds.push_back("SOUND" + std::to_string(s) + ".WAV");
    file.definitions.resize(ITEM_COUNT);
    for (int i = 0; i < ITEM_COUNT; ++i) {
        item_def& d = file.definitions[size_t(i)];
        std::snprintf(d.name, sizeof d.name, "item %d", i);
        std::snprintf(d.description, sizeof d.description, "the description of item %d", i);
        for (int j = 0; j < 19; ++j) d.mods[j] = int16_t((i + j) % 9 - 4);
        d.weight = int16_t(i % 40);
        d.type = int16_t(i % 14);
        d.icon = uint16_t(i % 54);
        d.picture = uint16_t(i % 100);
    }
    return write_items_file(file);
}

void BM_ParseItemsFileThousandItems(benchmark::State& state) {
    const std::vector<uint8_t> bytes = thousand_items();
    for (auto _ : state) {
        items_file file = parse_items_file(bytes);
        benchmark::DoNotOptimize(file.definitions.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_ParseItemsFileThousandItems);

void BM_MemcpyThousandItemRecords(benchmark::State& state) {
    const size_t size = size_t(ITEM_COUNT) * ITEM_DEF_SIZE;
    std::vector<uint8_t> from(size, 7), to(size);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyThousandItemRecords);

}  // namespace
