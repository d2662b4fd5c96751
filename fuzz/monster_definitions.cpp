// ENEMY.DAT (or a map's own 376-byte definitions) with a placement block.
// An input is: one byte (bit 0: the old layout), a 16-bit length, that many
// bytes of placements, then the definitions. Every definition is given one
// animation name whose .SEQ list exists and a speed of at least 1, so that the
// placement runs to its end; what it leaves must hold together.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/paths.h"
#include "monsters/monster_anim.h"
#include "monsters/monsters.h"
#include "world/map.h"

namespace {

constexpr size_t LONGEST_INPUT = 65536;
constexpr handle_id FIRST = 0x0300;

void prepare_folder() {
    static bool done = false;
    if (done) return;
    done = true;
    const auto dir = std::filesystem::temp_directory_path() / "vorthan_fuzz_monsters";
    std::filesystem::create_directories(dir);
    std::array<std::string, MONSTER_ANIM_KINDS> lines;
    lines.fill("0123456789ABCDEF");
    const std::vector<uint8_t> seq = write_monster_frame_list(lines);
    std::ofstream(dir / "FUZZER.SEQ", std::ios::binary)
        .write(reinterpret_cast<const char*>(seq.data()), static_cast<std::streamsize>(seq.size()));
    path_table[PATH_ENEMIES] = dir.string();
    current_map = loaded_map{};
    current_map.sector_count = 40;
    current_map.sectors.resize(40);
    for (size_t s = 1; s < 40; s += 2) current_map.sectors[s].sector_type = 1;
}

void check_table() {
    for (int sector = 0; sector < current_map.sector_count; ++sector) {
        int count = 0;
        for (int at = first_monster_in(sector); at != 0;) {
            const monster* m = monster_by_number(at);
            if (!m || !m->alive() || m->sector != sector || (m->state & MST_MOB) || ++count > MONSTER_SLOTS)
                __builtin_trap();
            at = m->next_in_sector;
        }
    }
    for (const monster& m : monster_table) {
        if (!m.alive()) continue;
        if (std::memchr(m.name, 0, sizeof m.name) == nullptr || m.speed < 1 || m.color_variant > 0)
            __builtin_trap();
        for (uint8_t count : m.frame_count)
            if (count > MONSTER_MAX_FRAME || (count == 0 && m.frame_count[0] != 0)) __builtin_trap();
        if (monster_set_handle(m) < FIRST ||
            monster_set_handle(m) >= FIRST + MONSTER_SLOTS * MONSTER_SET_HANDLES)
            __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!data || size < 3 || size > LONGEST_INPUT) return 0;
    prepare_folder();
    const bool old_layout = data[0] & 1;
    const size_t block_size = std::min<size_t>(data[1] | (data[2] << 8), size - 3);
    const std::span<const uint8_t> block(data + 3, block_size);
    const std::span<const uint8_t> file(data + 3 + block_size, size - 3 - block_size);
    std::vector<monster> definitions =
        old_layout ? read_old_monster_definitions(file) : read_monster_definitions(file);
    for (monster& d : definitions) {
        std::memcpy(d.anim_name, "FUZZER", 7);
        if (d.speed < 1) d.speed = 1;
    }

    handle_id next = FIRST;
    const int placed = place_monsters(block, definitions, next);
    if (placed < 0 || placed > 254) __builtin_trap();
    check_table();
    rebuild_occupancy();
    check_table();
    for (int slot = 0; slot < MONSTER_SLOTS; slot += 3) leave_occupancy(slot);
    check_table();
    for (unsigned h = FIRST; h < next; ++h) undefine_handle(static_cast<handle_id>(h));

    // Written and read back, the definitions come out as they went in.
    const std::vector<uint8_t> written = write_monster_definitions(definitions);
    if (write_monster_definitions(read_monster_definitions(written)) != written) __builtin_trap();
    return 0;
}
