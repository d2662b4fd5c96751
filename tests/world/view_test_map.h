#pragma once
// A small map built in memory for the view tests: a grid of characters, one
// sector per open cell, walls toward every closed cell, and pictures kept by
// the test instead of the handle table.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gfx/picture.h"
#include "world/map.h"

namespace view_test {

// '.' open sector, 'S' shaded open sector, any other character: solid rock.
// Sector numbers run row by row from 1. Every side toward an open neighbour
// is TRANSPARENT | AUTOMAP, every side toward rock shows wall picture 1.
struct grid_map {
    std::vector<std::string> rows;
    std::map<std::pair<int, int>, int> sector_at;  // (x, y) -> sector
    int sector(int x, int y) const {
        auto it = sector_at.find({x, y});
        return it == sector_at.end() ? 0 : it->second;
    }
};
grid_map build_grid_map(const std::vector<std::string>& rows, uint16_t fade_colour = 0x2108);

// The texture lists' handle bases.
constexpr handle_id WALLS = 0x200, LEFT_WALLS = 0x220, RIGHT_WALLS = 0x240, FLOORS = 0x260, CEILINGS = 0x280,
                    LEFT_ARCHES = 0x2A0, RIGHT_ARCHES = 0x2C0;

// Pictures handed to the view by handle.
void put_picture(handle_id id, std::vector<uint16_t> record);
void clear_pictures();
picture* test_picture(handle_id id);

// A PIC_FADE8 picture with the ten palettes of the given 8-bit palette.
std::vector<uint16_t> fade_picture(int width, int height, const std::vector<uint8_t>& pixels,
                                   const std::vector<uint8_t>& rgb_palette, uint16_t fade);
std::vector<uint16_t> hicolor_picture(int width, int height, const std::vector<uint16_t>& pixels,
                                      bool fog_pending = false);

// Pictures with recognisable patterns: bricks on a front face, the same in
// perspective on a side face, a chequered floor and ceiling.
std::vector<uint16_t> brick_wall(uint16_t fade, int hue);
std::vector<uint16_t> brick_side_wall(uint16_t fade, int hue);
std::vector<uint16_t> chequered_floor(uint16_t a, uint16_t b);
std::vector<uint16_t> chequered_ceiling(uint16_t a, uint16_t b);
std::vector<uint16_t> solid_hicolor(int width, int height, uint16_t colour);

// Registers the standard pictures for list entry 1 of every list.
void install_standard_pictures();

}  // namespace view_test
