#include "monster_test_map.h"

#include <cstring>
#include <fstream>

#include <unistd.h>

#include "base/paths.h"
#include "monsters/monster_anim.h"
#include "monsters/monsters.h"
#include "world/map.h"

namespace monster_test {

monster_map::monster_map() {
    dir_ = std::filesystem::temp_directory_path() / ("vorthan_monsters_" + std::to_string(::getpid()) + "_" +
                                                     std::to_string(reinterpret_cast<uintptr_t>(this)));
    std::filesystem::create_directories(dir_);
    saved_path_ = path_table[PATH_ENEMIES];
    path_table[PATH_ENEMIES] = dir_.string();
    current_map = loaded_map{};
    current_map.name = "TEST.MAP";
    current_map.sector_count = 10;
    current_map.sectors.resize(10);
    for (size_t s = 1; s < 10; ++s) current_map.sectors[s].sector_type = 1;
    clear_monster_table();
}

monster_map::~monster_map() {
    for (unsigned h = FIRST; h < FIRST + 4 * MONSTER_SET_HANDLES; ++h)
        undefine_handle(static_cast<handle_id>(h));
    current_map = loaded_map{};
    clear_monster_table();
    path_table[PATH_ENEMIES] = saved_path_;
    std::filesystem::remove_all(dir_);
}

void monster_map::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void monster_map::write_seq(const std::string& anim_name, const std::string& line) const {
    std::array<std::string, MONSTER_ANIM_KINDS> lines;
    lines.fill(line);
    write(anim_name + ".SEQ", write_monster_frame_list(lines));
}

monster definition(int number, const char* anim_name) {
    monster m;
    std::snprintf(m.name, sizeof m.name, "Monster %d", number);
    std::snprintf(m.anim_name, sizeof m.anim_name, "%s", anim_name);
    m.anim_set = static_cast<int16_t>(number);
    m.speed = 4;
    m.hp = 10;
    std::memset(m.frame_count, 1, sizeof m.frame_count);
    return m;
}

void add_placement(std::vector<uint8_t>& block, int sector, int number, int direction) {
    const int word = number | (direction << 14);
    block.insert(block.end(), {static_cast<uint8_t>(sector), static_cast<uint8_t>(sector >> 8),
                               static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)});
}

}  // namespace monster_test
