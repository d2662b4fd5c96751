#include "map_test_files.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "base/paths.h"

namespace map_test {

forge::map_model small_map() {
    forge::map_model m;
    m.header.fade_red = 16;
    m.header.fade_green = 32;
    m.header.fade_blue = 64;
    m.header.start_sector = 1;
    m.header.start_direction = 1;
    const char title[] = "Test";
    std::copy(title, title + 4, m.header.title.begin());
    m.textures[TEX_WALLS] = {"W1.PCX", "W2.PCX", "W3.PCX"};
    m.textures[TEX_LEFT_WALLS] = {"W1L.PCX", "W2L.PCX", "W3L.PCX"};
    m.textures[TEX_RIGHT_WALLS] = {"W1R.PCX", "W2R.PCX", "W3R.PCX"};
    m.textures[TEX_FLOORS] = {"F1.PCX", "F2.PCX"};
    m.textures[TEX_CEILINGS] = {"C1.PCX"};
    m.textures[TEX_LEFT_ARCHES] = {"AL.PCX"};
    m.textures[TEX_RIGHT_ARCHES] = {"AR.PCX"};
    m.sectors.resize(5);
    m.coords.resize(5);
    m.sides.resize(20);
    // 1 2
    // 3 4
    const int xs[5] = {0, 0, 1, 0, 1}, ys[5] = {0, 0, 0, 1, 1};
    const uint16_t exits[5][4] = {{0, 0, 0, 0}, {0, 2, 3, 0}, {0, 0, 4, 1}, {1, 4, 0, 0}, {2, 0, 0, 3}};
    for (int s = 1; s < 5; ++s) {
        m.sectors[s].floor = 1;
        m.sectors[s].ceiling = 1;
        m.coords[s] = map_coord{static_cast<int16_t>(xs[s]), static_cast<int16_t>(ys[s]), 0, 0};
        for (int d = 0; d < 4; ++d) {
            m.sectors[s].exits[d] = exits[s][d];
            map_side& side = m.sides[4 * s + d];
            if (exits[s][d]) {
                side.flags = SIDE_TRANSPARENT | SIDE_AUTOMAP;
            } else {
                side.primary = 1;
                side.flags = SIDE_P_VIS | SIDE_NOPLAYER | SIDE_NOMONSTER | SIDE_NOTHING | SIDE_AUTOMAP;
            }
        }
    }
    return m;
}

std::vector<uint8_t> file_of(const forge::map_model& model) {
    return forge::build_map_file(model);
}

maps_folder::maps_folder() {
    char tmpl[] = "/tmp/vorthan-maps-XXXXXX";
    if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
    dir_ = tmpl;
    saved_maps_path_ = path_table[PATH_MAPS];
    path_table[PATH_MAPS] = dir_.string();
}

maps_folder::~maps_folder() {
    path_table[PATH_MAPS] = saved_maps_path_;
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

void maps_folder::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(dir_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + name);
}

void maps_folder::write_text(const std::string& name, const std::string& text) const {
    write(name, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace map_test
