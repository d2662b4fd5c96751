#include "view_test_map.h"

#include <cmath>
#include <cstring>

namespace view_test {

namespace {
std::map<handle_id, std::vector<uint16_t>> pictures;

void set_list(texture_kind kind, handle_id base, int count) {
    current_map.textures[kind].base = base;
    current_map.textures[kind].count = count;
}
}  // namespace

grid_map build_grid_map(const std::vector<std::string>& rows, uint16_t fade_colour) {
    grid_map g;
    g.rows = rows;
    current_map = loaded_map{};
    int next = 1;
    for (int y = 0; y < static_cast<int>(rows.size()); y++)
        for (int x = 0; x < static_cast<int>(rows[y].size()); x++)
            if (rows[y][x] == '.' || rows[y][x] == 'S') g.sector_at[{x, y}] = next++;
    current_map.sector_count = next;
    current_map.sectors.resize(next);
    current_map.sides.resize(next * 4);
    current_map.coords.resize(next);
    static const int dx[4] = {0, 1, 0, -1}, dy[4] = {-1, 0, 1, 0};
    for (const auto& [pos, s] : g.sector_at) {
        map_sector& sector = current_map.sectors[s];
        sector.floor = 1;
        sector.ceiling = 1;
        current_map.coords[s].x = static_cast<int16_t>(pos.first);
        current_map.coords[s].y = static_cast<int16_t>(pos.second);
        if (rows[pos.second][pos.first] == 'S') current_map.coords[s].coord_flags |= MC_SHADED;
        for (int d = 0; d < 4; d++) {
            map_side& side = current_map.sides[s * 4 + d];
            const int n = g.sector(pos.first + dx[d], pos.second + dy[d]);
            sector.exits[d] = static_cast<uint16_t>(n);
            if (n != 0) {
                side.flags = SIDE_TRANSPARENT | SIDE_AUTOMAP;
            } else {
                side.primary = 1;
                side.flags = SIDE_P_VIS | SIDE_NOPLAYER;
            }
        }
    }
    current_map.fade_colour = fade_colour;
    set_list(TEX_WALLS, WALLS, 8);
    set_list(TEX_LEFT_WALLS, LEFT_WALLS, 8);
    set_list(TEX_RIGHT_WALLS, RIGHT_WALLS, 8);
    set_list(TEX_FLOORS, FLOORS, 8);
    set_list(TEX_CEILINGS, CEILINGS, 8);
    set_list(TEX_LEFT_ARCHES, LEFT_ARCHES, 8);
    set_list(TEX_RIGHT_ARCHES, RIGHT_ARCHES, 8);
    return g;
}

void put_picture(handle_id id, std::vector<uint16_t> record) {
    pictures[id] = std::move(record);
}
void clear_pictures() {
    pictures.clear();
}
picture* test_picture(handle_id id) {
    auto it = pictures.find(id);
    return it == pictures.end() ? nullptr : reinterpret_cast<picture*>(it->second.data());
}

std::vector<uint16_t> fade_picture(int width, int height, const std::vector<uint8_t>& pixels,
                                   const std::vector<uint8_t>& rgb_palette, uint16_t fade) {
    std::vector<uint16_t> record(3 + 2560 + (width * height + 1) / 2);
    record[0] = static_cast<uint16_t>(width);
    record[1] = static_cast<uint16_t>(height);
    record[2] = PIC_FADE8;
    std::vector<uint8_t> rgb(768, 0);
    std::memcpy(rgb.data(), rgb_palette.data(), std::min<size_t>(768, rgb_palette.size()));
    build_fade_palettes(rgb.data(), static_cast<uint8_t>(((fade >> 10) & 31) << 3),
                        static_cast<uint8_t>(((fade >> 5) & 31) << 3), static_cast<uint8_t>((fade & 31) << 3),
                        record.data() + 3);
    std::memcpy(reinterpret_cast<uint8_t*>(record.data() + 3 + 2560), pixels.data(), pixels.size());
    return record;
}

std::vector<uint16_t> hicolor_picture(int width, int height, const std::vector<uint16_t>& pixels,
                                      bool fog_pending) {
    std::vector<uint16_t> record(3 + width * height);
    record[0] = static_cast<uint16_t>(width);
    record[1] = static_cast<uint16_t>(height);
    record[2] = static_cast<uint16_t>(PIC_HICOLOR | (fog_pending ? PIC_FOG_PENDING : 0));
    std::copy(pixels.begin(), pixels.end(), record.begin() + 3);
    return record;
}

namespace {

// Palette: 2 = mortar, 3..9 = brick shades of one hue.
std::vector<uint8_t> brick_palette(int hue) {
    std::vector<uint8_t> rgb(768, 0);
    rgb[3] = rgb[4] = rgb[5] = 255;  // index 1 (never shown)
    rgb[6] = 70, rgb[7] = 66, rgb[8] = 60;
    for (int i = 3; i < 10; i++) {
        const int v = 100 + 18 * (i - 3);
        rgb[i * 3 + 0] = static_cast<uint8_t>(hue == 0 ? v : v / 2);
        rgb[i * 3 + 1] = static_cast<uint8_t>(hue == 1 ? v : v * 2 / 3);
        rgb[i * 3 + 2] = static_cast<uint8_t>(hue == 2 ? v : v / 2);
    }
    return rgb;
}

uint8_t brick_index(int u, int v) {
    const int course = v / 40;
    const int shifted = u + (course & 1) * 50;
    if (v % 40 < 4 || shifted % 100 < 5) return 2;
    return static_cast<uint8_t>(3 + (course * 3 + shifted / 100) % 7);
}

}  // namespace

std::vector<uint16_t> brick_wall(uint16_t fade, int hue) {
    std::vector<uint8_t> px(500 * 320);
    for (int y = 0; y < 320; y++)
        for (int x = 0; x < 500; x++) px[y * 500 + x] = brick_index(x, y);
    return fade_picture(500, 320, px, brick_palette(hue), fade);
}

// The face seen along the left edge: the near column 320 rows high, the far
// one shrunk toward the horizon; texture columns foreshortened.
std::vector<uint16_t> brick_side_wall(uint16_t fade, int hue) {
    std::vector<uint8_t> px(74 * 320, 0);
    const double horizon = 150.0 * 320 / 455;
    for (int t = 0; t < 74; t++) {
        const double s = 1.0 - 0.3 * t / 74;
        const double u = (1.0 / s - 1.0) / (1.0 / 0.7 - 1.0);
        const double top = horizon - horizon * s, bottom = horizon + (320 - horizon) * s;
        for (int y = 0; y < 320; y++) {
            if (y < top || y >= bottom) continue;
            const int v = static_cast<int>((y - top) / (bottom - top) * 320);
            px[y * 74 + t] = brick_index(static_cast<int>(u * 500), v);
        }
    }
    return fade_picture(74, 320, px, brick_palette(hue), fade);
}

std::vector<uint16_t> chequered_floor(uint16_t a, uint16_t b) {
    std::vector<uint16_t> px(640 * 200);
    for (int j = 0; j < 200; j++) {
        const int dy = 160 + j - 112;
        const double depth = 305.0 / dy;
        for (int x = 0; x < 640; x++) {
            const double across = (x - 320 + 0.5) / 714.0 * depth + 0.5;
            const double along = (depth - 1.0) / (1.0 / 0.7 - 1.0);
            const int cx = static_cast<int>(std::floor(across * 2)),
                      cz = static_cast<int>(std::floor(along * 2));
            px[j * 640 + x] = ((cx + cz) & 1) ? a : b;
        }
    }
    return hicolor_picture(640, 200, px);
}

std::vector<uint16_t> chequered_ceiling(uint16_t a, uint16_t b) {
    std::vector<uint16_t> px(640 * 90);
    for (int j = 0; j < 90; j++) {
        const double depth = 150.0 / (112 - j);
        for (int x = 0; x < 640; x++) {
            const double across = (x - 320 + 0.5) / 714.0 * depth + 0.5;
            const double along = (depth - 1.0) / (1.0 / 0.7 - 1.0);
            const int cx = static_cast<int>(std::floor(across)), cz = static_cast<int>(std::floor(along));
            px[j * 640 + x] = ((cx + cz) & 1) ? a : b;
        }
    }
    return hicolor_picture(640, 90, px);
}

std::vector<uint16_t> solid_hicolor(int width, int height, uint16_t colour) {
    return hicolor_picture(width, height, std::vector<uint16_t>(width * height, colour));
}

void install_standard_pictures() {
    const uint16_t fade = current_map.fade_colour;
    put_picture(WALLS + 1, brick_wall(fade, 0));
    put_picture(LEFT_WALLS + 1, brick_side_wall(fade, 0));
    put_picture(RIGHT_WALLS + 1, brick_side_wall(fade, 0));
    put_picture(FLOORS + 1, chequered_floor(0x294A, 0x1CE7));
    put_picture(CEILINGS + 1, chequered_ceiling(0x1884, 0x14A5));
}

}  // namespace view_test
