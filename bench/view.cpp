// The cost of composing one view in the demo keep's great hall, next to the
// cost of copying a whole screen. With VORTHAN_VIEW_PNG=<folder> the views of
// a few places of the keep are also written as PNG files to look at.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "forge/archive_writer.h"
#include "forge/png_import.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "world/map.h"
#include "world/view.h"

namespace {

std::map<handle_id, picture*> pictures;

picture* demo_picture(handle_id id) {
    auto it = pictures.find(id);
    return it == pictures.end() ? nullptr : it->second;
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int sector_at(int x, int y) {
    for (int s = 1; s < current_map.sector_count; s++)
        if (current_map.coords[s].x == x && current_map.coords[s].y == y) return s;
    return 0;
}

// The keep's map and its textures, decoded the way the player decodes them.
bool load_keep() {
    static int state = 0;
    if (state != 0) return state > 0;
    state = -1;
    const std::vector<uint8_t> map_bytes = read_file(VORTHAN_DEMO_DIR "/maps/KEEP.MAP");
    const std::vector<uint8_t> archive = read_file(VORTHAN_DEMO_DIR "/VORTHAN.DDL");
    if (map_bytes.empty() || archive.empty()) return false;
    std::string error;
    if (parse_map(map_bytes.data(), map_bytes.size(), current_map, &error) != 0) {
        std::fprintf(stderr, "KEEP.MAP: %s\n", error.c_str());
        return false;
    }
    const map_header& h = current_map.header;
    current_map.fade_colour = rgb555(h.fade_red, h.fade_green, h.fade_blue);
    std::map<std::string, std::pair<const uint8_t*, uint32_t>> files;
    for (const forge::archive_listing& e : forge::read_archive(archive.data(), archive.size()))
        files[e.name] = {e.data, e.length};
    for (int kind = 0; kind < TEX_KIND_COUNT; kind++) {
        const texture_list& list = current_map.textures[kind];
        const bool surface = kind == TEX_FLOORS || kind == TEX_CEILINGS;
        for (int i = 1; i <= list.count; i++) {
            std::string name = list.names[i - 1];
            for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            auto it = files.find(name);
            if (it == files.end()) {
                std::fprintf(stderr, "texture %s is not in VORTHAN.DDL\n", name.c_str());
                continue;
            }
            picture* pic = nullptr;
            if (decode_pcx(it->second.first, static_cast<int32_t>(it->second.second),
                           surface ? PIC_HICOLOR : PIC_FADE8, &pic, static_cast<uint8_t>(h.fade_red),
                           static_cast<uint8_t>(h.fade_green), static_cast<uint8_t>(h.fade_blue)) <= 0)
                continue;
            if (surface) pic->type |= PIC_FOG_PENDING;
            pictures[list.handle(i)] = pic;
        }
    }
    init_view_tables();
    set_view_picture_source(demo_picture);
    state = 1;

    if (const char* folder = std::getenv("VORTHAN_VIEW_PNG")) {
        struct place {
            int x, y, direction;
            const char* name;
        } places[] = {
            {12, 4, 1, "hall_east"},   {21, 4, 3, "hall_west"},       {5, 18, 0, "gate_north"},
            {5, 12, 0, "courtyard"},   {16, 10, 2, "corridor_south"}, {19, 13, 1, "store_east"},
            {11, 4, 3, "arch_west"},   {16, 17, 0, "corridor_north"}, {2, 14, 1, "guard_room"},
            {5, 16, 3, "torch_west"},  {14, 3, 0, "hall_torch"},      {20, 4, 1, "hall_banners"},
            {12, 6, 0, "hall_corner"},
        };
        for (const place& p : places) {
            const int s = sector_at(p.x, p.y);
            if (s == 0) continue;
            draw_view(s, p.direction);
            forge::rgba_image image;
            image.width = VIEW_WIDTH;
            image.height = VIEW_HEIGHT;
            for (int y = 0; y < VIEW_HEIGHT; y++)
                for (int x = 0; x < VIEW_WIDTH; x++) {
                    const uint16_t c = back_buffer[(VIEW_SCREEN_TOP + y) * SCREEN_PITCH + x];
                    const int r = (c >> 10) & 31, g = (c >> 5) & 31, b = c & 31;
                    image.rgba.insert(image.rgba.end(), {static_cast<uint8_t>(r << 3 | r >> 2),
                                                         static_cast<uint8_t>(g << 3 | g >> 2),
                                                         static_cast<uint8_t>(b << 3 | b >> 2), 255});
                }
            forge::write_png_file(std::string(folder) + "/" + p.name + ".png", image);
        }
    }
    return true;
}

// Three places of the keep: the west end of the great hall looking east
// (every cell of the grid filled with floor and ceiling), the gate passage
// looking north (walls on both sides down to depth 4, a torch) and the arch
// into the courtyard (arch pictures, wood and ashlar, grass beyond).
void BM_DrawView(benchmark::State& state) {
    if (!load_keep()) {
        state.SkipWithError("the demo adventure is not built (KEEP.MAP, VORTHAN.DDL)");
        return;
    }
    const int sector = sector_at(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const int direction = static_cast<int>(state.range(2));
    for (auto _ : state) {
        draw_view(sector, direction);
        benchmark::DoNotOptimize(back_buffer[VIEW_SCREEN_TOP * SCREEN_PITCH + 320]);
    }
}
BENCHMARK(BM_DrawView)
    ->Args({12, 4, 1})
    ->Args({5, 18, 0})
    ->Args({11, 4, 3})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// For scale: one copy of a whole 640 x 480 screen.
void BM_CopyWholeScreen(benchmark::State& state) {
    for (auto _ : state) {
        std::memcpy(frame_buffer, back_buffer, SCREEN_WIDTH * SCREEN_HEIGHT * sizeof(uint16_t));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyWholeScreen)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace
