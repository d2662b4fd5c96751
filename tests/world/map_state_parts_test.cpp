// The parts of the map state record kept above the world: the monster table,
// the objects in the air and the monsters' paths, with the automap's notes,
// through leaving a map and coming back, and records that do not fit.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "base/paths.h"
#include "map_rules_fixture.h"
#include "monsters/monster_anim.h"
#include "monsters/monsters.h"
#include "rules/flight/flight.h"
#include "rules/monsters_ai/monster_ai.h"
#include "world/map_services.h"
#include "world/map_state.h"

using map_rules_test::MapRules;
using map_rules_test::rules_map;
using map_rules_test::store;

namespace {

monster goblin() {
    monster m;
    std::snprintf(m.name, sizeof m.name, "Goblin");
    std::snprintf(m.anim_name, sizeof m.anim_name, "GOBLIN");
    m.anim_set = 1;  // the definition number placements name
    m.speed = 4;
    m.hp = 10;
    std::memset(m.frame_count, 1, sizeof m.frame_count);
    return m;
}

// A map's own definitions are in the older 376-byte layout: the record
// without bytes 341 .. 343.
std::array<uint8_t, MONSTER_DEF_SIZE> old_layout(const monster& m) {
    std::vector<uint8_t> wide;
    write_monster(m, wide);
    std::array<uint8_t, MONSTER_DEF_SIZE> old{};
    std::copy(wide.begin(), wide.begin() + 341, old.begin());
    std::copy(wide.begin() + 344, wide.begin() + 379, old.begin() + 341);
    return old;
}

void place(std::vector<uint8_t>& block, int sector, int definition) {
    block.insert(block.end(), {uint8_t(sector), uint8_t(sector >> 8), uint8_t(definition), uint8_t(definition >> 8)});
}

// The rules map with two goblins (slots 0 and 1, in sectors 1 and 4), a
// floor list at place 13 and one alcove.
forge::map_model monster_map() {
    forge::map_model m = rules_map();
    for (size_t s = 1; s < m.sectors.size(); ++s) m.sectors[s].sector_type = 1;  // places monsters may stand on
    m.monster_defs.push_back(old_layout(goblin()));
    place(m.monsters, 1, 1);
    place(m.monsters, 4, 1);
    m.items.push_back({4 * 3 + 1, {5, -1, 0}});
    m.recesses.push_back({});
    return m;
}

std::vector<uint8_t> table_bytes() {
    std::vector<uint8_t> out;
    for (const monster& m : monster_table) write_monster(m, out);
    out.insert(out.end(), sector_monsters.begin(), sector_monsters.end());
    return out;
}

class MapStateParts : public MapRules {
  protected:
    std::string saved_enemies;

    void SetUp() override {
        MapRules::SetUp();
        saved_enemies = path_table[PATH_ENEMIES];
        path_table[PATH_ENEMIES] = folder.path().string();
        std::array<std::string, MONSTER_ANIM_KINDS> lines;
        lines.fill("0123");
        folder.write("GOBLIN.SEQ", write_monster_frame_list(lines));
        folder.write("SHAMAN.SEQ", write_monster_frame_list(lines));
        install_monster_table();
        install_monster_map_state();
        install_flight_map_state();
        install_monster_paths_map_state();
        clear_flying_objects();
    }
    void TearDown() override {
        MapRules::TearDown();
        for (map_state_part part :
             {map_state_part::monsters, map_state_part::flying_objects, map_state_part::monster_extras})
            set_map_state_section(part, {});
        clear_flying_objects();
        path_table[PATH_ENEMIES] = saved_enemies;
    }
    // The map as its file has it, with no record stored.
    void enter_fresh() {
        if (!current_map.name.empty()) unload_map(1);
        store.erase("RULES.MAP");
        clear_flying_objects();
        ASSERT_EQ(load_map("RULES.MAP"), MAP_OK);
    }
    static void move_monster(int slot, int sector) {
        leave_occupancy(slot);
        monster_table[size_t(slot)].sector = int16_t(sector);
        enter_occupancy(slot);
    }
    static flying_object thrown_list(int sector) {
        flying_object p;
        p.fly_sector = sector;
        p.fly_dir = 1;
        p.progress = -10;
        p.offset = 32;
        p.height = 70;
        p.items = {5, -5, 7};
        p.speed = 20;
        p.fall = 2;
        p.owner = 2;
        p.force = 3;
        p.splits = 1;
        p.came_from = 1;
        p.fly_flags = FLY_ARMED;
        return p;
    }
};

}  // namespace

TEST_F(MapStateParts, MonstersThingsInTheAirPathsAndNotesSurviveLeavingTheMap) {
    load(monster_map());
    ASSERT_TRUE(monster_table[0].alive() && monster_table[1].alive());
    ASSERT_EQ(first_monster_in(1), 1);
    // The first goblin walks to sector 2, hurt; the second dies; a shaman is
    // summoned with pictures of its own.
    move_monster(0, 2);
    monster_table[0].hp = 3;
    monster_table[0].pos_x = 100;
    set_monster_path(0, {4, 3});
    monster_table[1].state &= uint8_t(~MST_LIVE);
    leave_occupancy(1);
    monster shaman = goblin();
    std::snprintf(shaman.anim_name, sizeof shaman.anim_name, "SHAMAN");
    ASSERT_GT(summon_monster_on_map(5, shaman, 3, 0), 0);
    // Two things in the air: a thrown list, newest first, behind a monster's arrow.
    flying_object arrow;
    arrow.fly_sector = 4;
    arrow.item = 9;
    arrow.owner = -1;
    arrow.speed = 32;
    arrow.height = 80;
    arrow.fly_flags = FLY_LEVEL | FLY_MAGICAL;
    flying_objects() = {thrown_list(3), arrow};
    // A note made on the automap: x, y, layer and the text.
    std::vector<uint8_t> note(12, 0);
    note[0] = 7;
    for (char c : std::string("Lever")) note.push_back(uint8_t(c));
    note.push_back(0);
    current_map.automap_notes = {note};

    unload_map(1);
    EXPECT_FALSE(has_monster_path(0));  // paths do not go on to the next map
    clear_flying_objects();
    ASSERT_EQ(load_map("RULES.MAP"), MAP_OK);

    const monster& walker = monster_table[0];
    EXPECT_TRUE(walker.alive());
    EXPECT_EQ(walker.sector, 2);
    EXPECT_EQ(walker.hp, 3);
    EXPECT_EQ(walker.pos_x, 100);
    EXPECT_EQ(first_monster_in(2), 1);
    EXPECT_EQ(first_monster_in(1), 0);
    EXPECT_TRUE(has_monster_path(0));
    // The dead one keeps its record for coming back, out of its sector.
    EXPECT_FALSE(monster_table[1].alive());
    EXPECT_GE(monster_table[1].anim_set, 0);
    EXPECT_EQ(first_monster_in(4), 0);
    // The summoned one went with its pictures.
    EXPECT_FALSE(monster_table[5].alive());
    EXPECT_EQ(monster_table[5].anim_set, -1);
    EXPECT_EQ(first_monster_in(3), 0);

    ASSERT_EQ(flying_objects().size(), 2u);
    const flying_object& list = flying_objects()[0];
    EXPECT_EQ(list.fly_sector, 3);
    EXPECT_EQ(list.items, (held_list{5, -5, 7}));
    EXPECT_EQ(list.progress, -10);
    EXPECT_EQ(list.offset, 32);
    EXPECT_EQ(list.force, 3);
    EXPECT_EQ(list.came_from, 1);
    EXPECT_EQ(list.fly_flags, FLY_ARMED);
    EXPECT_EQ(flying_objects()[1].item, 9);
    EXPECT_TRUE(flying_objects()[1].items.empty());
    EXPECT_EQ(flying_objects()[1].owner, -1);
    EXPECT_TRUE(current_map.coords[3].coord_flags & MC_FLY_OBJECT);

    EXPECT_EQ(current_map.automap_notes, (std::vector<std::vector<uint8_t>>{note}));
    // Another map's automap takes the notes too.
    current_map.automap_notes.clear();
    EXPECT_EQ(map_state_apply("RULES.MAP", current_map.sector_count, true), MAP_STATE_OK);
    EXPECT_EQ(current_map.automap_notes.size(), 1u);
}

TEST_F(MapStateParts, PartsThatDoNotFitRefuseTheRecordWhole) {
    load(monster_map());
    move_monster(0, 2);
    set_monster_path(0, {4, 3});
    flying_objects() = {thrown_list(3)};
    map_state_store();
    const std::vector<uint8_t> good = store.at("RULES.MAP");
    enter_fresh();
    const std::vector<uint8_t> monsters_as_placed = table_bytes();

    auto unchanged = [&] {
        return table_bytes() == monsters_as_placed && flying_objects().empty() && !has_monster_path(0);
    };
    for (size_t size = 0; size < good.size(); ++size) {
        ASSERT_EQ(map_state_apply_bytes(good.data(), size), MAP_STATE_UNFIT) << "cut at " << size;
        ASSERT_TRUE(unchanged()) << "cut at " << size;
    }

    // A 5-sector map with nothing else changed: the monsters follow the
    // header, the bits, the note count and the two empty side and sector
    // lists; the record ends with the object in the air (tag, 64 bytes, three
    // items and 0), the end of the things in the air and the path (slot,
    // count, three entries, the end).
    const size_t monsters_at = 1 + 4 + 4 + 1 + 1 + 4 + 4 + 4;
    const size_t paths_at = good.size() - (2 + 4 + 3 * 2 + 2);
    const size_t flying_at = paths_at - 4 - (4 + 64 + 4 * 2);
    ASSERT_EQ(good[monsters_at], 0);  // slot 0's record first
    ASSERT_EQ(good[flying_at], 64);
    ASSERT_EQ(good[paths_at] | good[paths_at + 1], 0);  // slot 0's path
    auto put_u32 = [](std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    struct lie {
        const char* what;
        size_t at;
        uint32_t value;
    };
    const lie lies[] = {
        {"monster place 255", monsters_at, 255},
        {"a monster in a sector beyond the map", monsters_at + 4 + 224, 5},
        {"a monster of a set the map has not", monsters_at + 4 + 316, 40},
        {"an object tagged other than 64", flying_at, 65},
        {"an object in a sector beyond the map", flying_at + 4, 9},
        {"a path through a sector beyond the map", paths_at + 6, 77},
    };
    for (const lie& l : lies) {
        std::vector<uint8_t> bad = good;
        if (std::string(l.what).find("monster in") != std::string::npos ||
            std::string(l.what).find("set") != std::string::npos) {
            bad[l.at] = uint8_t(l.value);
            bad[l.at + 1] = 0;
        } else {
            put_u32(bad, l.at, l.value);
        }
        EXPECT_EQ(map_state_apply_bytes(bad.data(), bad.size()), MAP_STATE_UNFIT) << l.what;
        EXPECT_TRUE(unchanged()) << l.what;
    }
    {
        // The object's record cut short inside a whole record.
        std::vector<uint8_t> bad = good;
        bad.erase(bad.begin() + std::ptrdiff_t(flying_at + 4 + 40), bad.begin() + std::ptrdiff_t(flying_at + 4 + 64));
        EXPECT_EQ(map_state_apply_bytes(bad.data(), bad.size()), MAP_STATE_UNFIT);
        EXPECT_TRUE(unchanged());
    }
    EXPECT_EQ(map_state_apply_bytes(good.data(), good.size()), MAP_STATE_OK);
    EXPECT_EQ(first_monster_in(2), 1);
    EXPECT_EQ(flying_objects().size(), 1u);
    EXPECT_TRUE(has_monster_path(0));
}

TEST_F(MapStateParts, ItemsTheTableDoesNotKnowAreLeftOutAndTheFileKeptForThem) {
    map_services.item_count = [] { return 20; };
    load(monster_map());
    current_map.items = {{4 * 2, {9, 0}}, {4 * 3 + 1, {30, 0}}};  // place 13 held the file's {5, -1}
    current_map.recesses[0][12] = 31;                           // an alcove's first item
    monster_table[0].carried[0] = 8;
    monster_table[0].carried[1] = 25;
    flying_object unknown = thrown_list(3);
    unknown.items = {4, -21};
    flying_objects() = {thrown_list(2), unknown};
    unload_map(1);
    clear_flying_objects();
    ASSERT_EQ(load_map("RULES.MAP"), MAP_OK);

    ASSERT_EQ(current_map.items.size(), 2u);
    EXPECT_EQ(current_map.items[0].place, 8u);
    EXPECT_EQ(current_map.items[1].place, 13u);
    EXPECT_EQ(current_map.items[1].items, (std::vector<int16_t>{5, -1, 0}));
    EXPECT_EQ(current_map.recesses[0][12], 0);
    EXPECT_EQ(monster_table[0].carried[0], 8);
    EXPECT_EQ(monster_table[0].carried[1], 0);
    ASSERT_EQ(flying_objects().size(), 1u);
    EXPECT_EQ(flying_objects()[0].fly_sector, 2);
}
