// Monster sources compiled by the forge and read back by the game's own
// reader of ENEMY.DAT: fields by name, definitions numbered in order, loot
// by item name, and the faults the forge refuses with their line.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>

#include "forge/item_source.h"
#include "forge/monster_source.h"
#include "monsters/monster_record.h"
#include "rules/party_record.h"

namespace {

const char* const ITEMS = "item bread\nitem arrows\nitem short_sword\n";

forge::compiled_items items() {
    return forge::compile_item_source(ITEMS, "items.src");
}

const char* const TWO = R"(# two definitions
monster archer
  name Kostlivý lučištník
  anim ARCHER
  frames 3 3 3 3 2 1
  frame_shift 40 40 40 40 44 36
  hit_frame 2
  attack_min 3
  attack_max 7
  stat speed 20
  hp 22
  speed 10
  sight 6
  reach 4
  morale 60
  strategy watch rogue
  strategy walk
  state sens respwn
  flags knock_back panic
  sounds - BOW.WAV HURT.WAV -
  color_variant random 3
  kill_experience 30
  experience 90
  money 8
  script 5
  loot arrows
  loot bread arrows
monster ogre
  anim OGRBIG
  frames 3 0 0 0 2 1
  frame_shift 48
  hp 50
  hp_max 70
  speed 6
  strategy big
  sounds STEP.WAV BOW.WAV - -
  color_variant 2
)";

std::vector<monster> compile_and_read(const char* source) {
    forge::compiled_monsters out = forge::compile_monster_source(source, "monsters.src", items());
    return read_monster_definitions(forge::enemy_file_bytes(out));
}

std::string fault_of(const std::string& source) {
    try {
        forge::compile_monster_source(source, "monsters.src", items());
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

std::string minimal(const std::string& extra) {
    return "monster rat\n anim RATLIN\n frames 3 3 3 3 2 1\n hp 10\n speed 16\n" + extra;
}

}  // namespace

TEST(MonsterSource, FieldsReadBackThroughTheGamesReader) {
    std::vector<monster> defs = compile_and_read(TWO);
    ASSERT_EQ(defs.size(), 2u);
    const monster& a = defs[0];
    EXPECT_STREQ(a.name, "Kostliv\x98 lu\x87i\xa8tn\xa1k");  // the game's code page
    EXPECT_EQ(std::string(a.anim_name), "ARCHER");
    EXPECT_EQ(a.frame_count[4], 2);
    EXPECT_EQ(a.frame_shift[0], 40);
    EXPECT_EQ(a.frame_shift[4 * 16 + 15], 44);
    EXPECT_EQ(a.frame_shift[5 * 16 + 1], 36);
    EXPECT_EQ(a.hit_frame, 2);
    EXPECT_EQ(a.stats[STAT_ATTACK_MIN], 3);
    EXPECT_EQ(a.stats[STAT_ATTACK_MAX], 7);
    EXPECT_EQ(a.stats[STAT_SPEED], 20);  // `stat speed` is the statistic ...
    EXPECT_EQ(a.speed, 10);              // ... a bare `speed` the movement
    EXPECT_EQ(a.hp, 22);
    EXPECT_EQ(a.stats[STAT_HP_MAX], 22);  // hp gives the maximum too
    EXPECT_EQ(a.sight, 6);
    EXPECT_EQ(a.reach, 4);
    EXPECT_EQ(a.morale, 60);
    EXPECT_EQ(a.strategy, MS_WATCH | MS_ROGUE | MS_WALK);  // lines add up
    EXPECT_EQ(a.state, MST_SENS | MST_RESPWN);             // never LIVE: placing sets it
    EXPECT_EQ(uint16_t(a.stats[STAT_FLAGS]), MF_KNOCK_BACK | MF_PANIC);
    EXPECT_EQ(a.color_variant, 3);
    EXPECT_EQ(a.kill_experience, 30);
    EXPECT_EQ(a.experience, 90);
    EXPECT_EQ(a.money, 8);
    EXPECT_EQ(a.script, 5);
    EXPECT_EQ(a.carried[0], 2);  // items numbered from 1 in the item source
    EXPECT_EQ(a.carried[1], 1);
    EXPECT_EQ(a.carried[2], 2);
    EXPECT_EQ(a.carried[3], 0);

    const monster& o = defs[1];
    EXPECT_STREQ(o.name, "ogre");  // no name: its source name
    EXPECT_EQ(o.hp, 50);
    EXPECT_EQ(o.stats[STAT_HP_MAX], 70);
    EXPECT_EQ(o.frame_count[1], 0);  // left to the game: kind 0's count
    EXPECT_EQ(o.frame_shift[95], 48);
    EXPECT_EQ(o.color_variant, -2);  // always variant 2
    EXPECT_EQ(o.strategy, MS_BIG);
}

TEST(MonsterSource, DefinitionsAndSoundsAreNumberedInOrderFromOne) {
    forge::compiled_monsters out = forge::compile_monster_source(TWO, "monsters.src", items());
    EXPECT_EQ(out.numbers.at("archer"), 1);
    EXPECT_EQ(out.numbers.at("ogre"), 2);
    std::vector<monster> defs = read_monster_definitions(forge::enemy_file_bytes(out));
    EXPECT_EQ(defs[0].anim_set, 1);
    EXPECT_EQ(defs[1].anim_set, 2);
    // Each file once, in the order first named; 0 is none.
    ASSERT_EQ(out.sounds, (std::vector<std::string>{"BOW.WAV", "HURT.WAV", "STEP.WAV"}));
    EXPECT_EQ(defs[0].sounds[0], 0);
    EXPECT_EQ(defs[0].sounds[1], 1);
    EXPECT_EQ(defs[0].sounds[2], 2);
    EXPECT_EQ(defs[1].sounds[0], 3);
    EXPECT_EQ(defs[1].sounds[1], 1);
    std::vector<uint8_t> list = forge::sound_list_bytes(out.sounds);
    const uint8_t expected[] = {3, 0, 0, 0, 'B', 'O', 'W', '.', 'W', 'A', 'V', 0};
    ASSERT_GE(list.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(list.data(), expected, sizeof expected), 0);
    EXPECT_EQ(list.size(), 4u + 8 + 9 + 9);
}

TEST(MonsterSource, FaultsNameTheirLine) {
    EXPECT_EQ(fault_of("  hp 4\n"), "monsters.src:1: 'hp' before the first monster");
    EXPECT_EQ(fault_of(minimal(" loot sword\n")), "monsters.src:6: unknown item sword");
    EXPECT_EQ(fault_of(minimal(" strategy walk fly\n")), "monsters.src:6: unknown strategy fly");
    EXPECT_EQ(fault_of(minimal(" state live\n")), "monsters.src:6: unknown state live");
    EXPECT_EQ(fault_of(minimal(" flags 4\n")), "monsters.src:6: unknown flag 4");
    EXPECT_EQ(fault_of(minimal(" morale 101\n")), "monsters.src:6: 101 lies outside 0..100");
    EXPECT_EQ(fault_of(minimal(" anim RAT\n")),
              "monsters.src:6: anim RAT is not six upper-case letters or digits");
    EXPECT_EQ(fault_of(minimal(" frames 3 3 16 3 2 1\n")), "monsters.src:6: 16 lies outside 0..15");
    EXPECT_EQ(fault_of(minimal(" colour 2\n")), "monsters.src:6: unknown keyword colour");
    EXPECT_EQ(fault_of(minimal("monster rat\n")), "monsters.src:6: monster rat is named twice");
    EXPECT_EQ(fault_of(minimal(" name Příliš dlouhé jméno pro obří krysu\n")),
              "monsters.src:6: 'Příliš dlouhé jméno pro obří krysu' is longer than 29 characters");
    EXPECT_EQ(fault_of(minimal(" loot bread bread bread bread bread bread bread bread\n"
                               " loot bread bread bread bread bread bread bread bread bread\n")),
              "monsters.src:7: a monster carries at most 16 items");
}

TEST(MonsterSource, RefusesWhatTheGameCouldNotPlay) {
    // The game ends the program for a monster that cannot move.
    EXPECT_EQ(fault_of("monster rat\n anim RATLIN\n frames 3 3 3 3 2 1\n hp 10\n"),
              "monsters.src:1: the monster has no speed: a monster that cannot move is refused");
    EXPECT_EQ(fault_of(minimal(" speed 0\n")), "monsters.src:6: 0 lies outside 1..255");
    // Hit points feed divisions by the maximum.
    EXPECT_EQ(fault_of("monster rat\n anim RATLIN\n frames 3 3 3 3 2 1\n speed 4\n"),
              "monsters.src:1: the monster has no hp");
    EXPECT_EQ(fault_of(minimal(" hp_max 5\n")), "monsters.src:1: hp is above hp_max");
    // A blow that lands on a frame the attack never shows never lands.
    EXPECT_EQ(fault_of(minimal(" hit_frame 3\n")),
              "monsters.src:6: hit_frame 3 lies beyond the attack's last frame 2");
    EXPECT_EQ(fault_of("monster rat\n anim RATLIN\n frames 1 0 0 0 0 0\n hp 3\n speed 4\n hit_frame 1\n"),
              "");
    EXPECT_EQ(fault_of("monster rat\n frames 3 3 3 3 2 1\n hp 3\n speed 4\n"),
              "monsters.src:1: the monster has no anim");
}

TEST(MonsterSource, TheDemosDefinitionsCompile) {
    std::ifstream item_file(VORTHAN_SOURCE_DIR "/content/demo/items/items.src", std::ios::binary);
    std::ifstream monster_file(VORTHAN_SOURCE_DIR "/content/demo/monsters/monsters.src", std::ios::binary);
    ASSERT_TRUE(item_file && monster_file);
    std::string item_text((std::istreambuf_iterator<char>(item_file)), std::istreambuf_iterator<char>());
    std::string monster_text((std::istreambuf_iterator<char>(monster_file)),
                             std::istreambuf_iterator<char>());
    forge::compiled_items demo_items = forge::compile_item_source(item_text, "items.src");
    forge::compiled_monsters out = forge::compile_monster_source(monster_text, "monsters.src", demo_items);
    std::vector<monster> defs = read_monster_definitions(forge::enemy_file_bytes(out));
    ASSERT_EQ(defs.size(), 10u);
    auto def = [&](const char* name) { return defs[size_t(out.numbers.at(name) - 1)]; };
    EXPECT_EQ(def("archer").reach, 4);
    EXPECT_TRUE(def("archer").strategy & MS_ROGUE);
    EXPECT_TRUE(def("shaman").state & MST_CAST);
    EXPECT_TRUE(def("ogre").strategy & MS_BIG);
    EXPECT_TRUE(def("goblin").strategy & MS_PICKING);
    EXPECT_TRUE(def("goblin_grey").strategy & MS_GUARD);
    EXPECT_TRUE(def("archer_guard").strategy & MS_GUARD);
    EXPECT_TRUE(def("rat_nest").state & MST_RESPWN);
    EXPECT_TRUE(def("ghost_rat").stats[23] & MF_INVISIBLE);
    EXPECT_TRUE(def("goblin_red").strategy & MS_WALK);
    EXPECT_GE(def("rat").morale, 80);  // the higher the morale, the sooner it flees when hurt
    EXPECT_EQ(def("goblin").color_variant, 0);
    EXPECT_EQ(def("goblin_grey").color_variant, -1);
    EXPECT_EQ(def("goblin_red").color_variant, -2);
    // The art stands each creature at the middle column of its set's width.
    std::map<std::string, int> widths;
    std::ifstream width_file(VORTHAN_SOURCE_DIR "/content/demo/monsters/art_widths.txt");
    std::string set;
    for (int w = 0; width_file >> set >> w;) widths[set] = w;
    for (const monster& m : defs) {
        if (auto w = widths.find(m.anim_name); w != widths.end()) {
            for (int16_t shift : m.frame_shift) EXPECT_EQ(shift, w->second / 2) << m.name;
        }
        EXPECT_EQ(std::strlen(m.anim_name), 6u) << m.name;
        EXPECT_GE(m.speed, 1) << m.name;
        EXPECT_GE(m.stats[STAT_HP_MAX], m.hp) << m.name;
    }
}
