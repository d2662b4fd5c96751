// The cost of monsters in the view: one frame of draw_view in an open hall
// with eight monsters standing in sight, against the same frame without them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "../tests/monsters/monster_test_map.h"
#include "../tests/world/view_test_map.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "monsters/monster_anim.h"
#include "monsters/monster_draw.h"
#include "monsters/monsters.h"
#include "world/view.h"

namespace {

constexpr uint16_t FADE = 0x2108;
constexpr int W = 96, H = 128;

// A figure of the usual size: a shadow at the feet, a body and a head.
std::vector<uint16_t> figure() {
    std::vector<uint8_t> px(W * H, 0);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            const double bx = (x - 48) / 22.0, by = (y - 66) / 40.0, hx = (x - 48) / 14.0,
                         hy = (y - 22) / 14.0;
            const double sx = (x - 48) / 34.0, sy = (y - 123) / 5.0;
            if (bx * bx + by * by <= 1)
                px[y * W + x] = static_cast<uint8_t>(2 + (x + y) % 14);
            else if (hx * hx + hy * hy <= 1)
                px[y * W + x] = 20;
            else if (sx * sx + sy * sy <= 1)
                px[y * W + x] = 1;
        }
    std::vector<uint16_t> record(3 + (W * H + 1) / 2);
    record[0] = W, record[1] = H, record[2] = PIC_NOPAL8;
    std::memcpy(record.data() + 3, px.data(), px.size());
    return record;
}

struct hall {
    std::unique_ptr<monster_test::monster_map> scratch;
    view_test::grid_map grid;
    int start = 0;
};

// A hall nine sectors wide and six deep, the party at the middle of its south wall.
hall& the_hall() {
    static hall h;
    if (h.scratch) return h;
    h.scratch = std::make_unique<monster_test::monster_map>();
    init_view_tables();
    view_test::clear_pictures();
    set_view_picture_source(view_test::test_picture);
    h.grid = view_test::build_grid_map({"#########", "#.......#", "#.......#", "#.......#", "#.......#",
                                        "#.......#", "#.......#", "#########"},
                                       FADE);
    for (map_sector& s : current_map.sectors) s.sector_type = 1;
    view_test::install_standard_pictures();
    set_fade_colour(64, 64, 64);
    h.scratch->write_seq("FIGURE", "0123");
    std::array<uint8_t, 768> rgb{};
    for (int i = 0; i < 768; i++) rgb[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 7);
    h.scratch->write("FIGURE.COL", write_colour_file(std::span(&rgb, 1)));
    h.start = h.grid.sector(4, 6);
    return h;
}

void place_eight(hall& h) {
    static const int places[8][2] = {{4, 5}, {3, 4}, {5, 4}, {4, 3}, {2, 3}, {6, 2}, {4, 2}, {5, 3}};
    std::vector<uint8_t> block;
    monster def = monster_test::definition(1, "FIGURE");
    std::memset(def.frame_count, 3, sizeof def.frame_count);
    std::fill(std::begin(def.frame_shift), std::end(def.frame_shift), int16_t{48});
    for (const auto& p : places) monster_test::add_placement(block, h.grid.sector(p[0], p[1]), 1, 2);
    handle_id next = monster_test::FIRST;
    place_monsters(block, std::span(&def, 1), next);
    const handle_id set = monster_set_handle(monster_table[0]);
    for (int k = 0; k < MONSTER_ANIM_KINDS; k++)
        for (int f = 0; f <= 3; f++)
            view_test::put_picture(static_cast<handle_id>(set + 1 + 16 * k + f), figure());
}

void BM_DrawViewWithoutMonsters(benchmark::State& state) {
    hall& h = the_hall();
    clear_monster_table();
    reset_view_hooks();
    for (auto _ : state) {
        draw_view(h.start, 0);
        benchmark::DoNotOptimize(back_buffer[VIEW_SCREEN_TOP * SCREEN_PITCH + 320]);
    }
}
BENCHMARK(BM_DrawViewWithoutMonsters)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_DrawViewWithEightMonsters(benchmark::State& state) {
    hall& h = the_hall();
    place_eight(h);
    install_monster_drawing();
    for (auto _ : state) {
        draw_view(h.start, 0);
        benchmark::DoNotOptimize(back_buffer[VIEW_SCREEN_TOP * SCREEN_PITCH + 320]);
    }
    reset_view_hooks();
}
BENCHMARK(BM_DrawViewWithEightMonsters)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The same eight, invisible: what asking about them costs without drawing.
void BM_DrawViewWithEightInvisibleMonsters(benchmark::State& state) {
    hall& h = the_hall();
    place_eight(h);
    for (monster& m : monster_table) m.stats[23] = MF_INVISIBLE;
    install_monster_drawing();
    for (auto _ : state) {
        draw_view(h.start, 0);
        benchmark::DoNotOptimize(back_buffer[VIEW_SCREEN_TOP * SCREEN_PITCH + 320]);
    }
    reset_view_hooks();
}
BENCHMARK(BM_DrawViewWithEightInvisibleMonsters)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

}  // namespace
