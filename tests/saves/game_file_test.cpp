#include "saves/game_file.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

int32_t i32_at(const std::vector<uint8_t>& b, size_t at) {
    return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                   uint32_t(b[at + 3]) << 24);
}
uint16_t u16_at(const std::vector<uint8_t>& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}

game_file known_game() {
    game_file f;
    f.sector = 0x01020304;
    f.direction = 3;
    f.money = -5;
    f.current_group = 2;
    f.autosave = 1;
    f.group_order = 1;
    f.member_names = 0;
    f.hunting_instinct = 1;
    f.turn_speed = 2;
    f.walk_speed = 0;
    f.auto_attack = 1;
    for (int i = 0; i < 8; ++i) f.sound[i] = uint8_t(10 + i);
    f.game_time = 8640 * 3 + 5;
    for (int i = 0; i < RUNE_GROUPS; ++i) f.runes[i] = uint8_t(0x11 * (i + 1));
    f.map_name = "CELLARS.MAP";
    f.rest_counter = 4000;
    f.flags = GAME_FLAG_TRAVEL | (25u << GAME_FLAG_SPEED_SHIFT);
    f.hand = {7, -7, 12};
    item_def made;
    std::strcpy(made.name, "Glowing dagger");
    made.item_flags = IF_CLONE;
    made.charges = 9;
    f.created_items = {made, made};
    f.created_items[1].charges = 3;
    f.effects = {1, 0, 0, 0};
    f.effects.resize(4 + GAME_FILE_EFFECT_SIZE, 0x21);
    std::strcpy(f.members[0].name, "Tomas");
    f.members[0].used = 1;
    f.members[0].hp = 40;
    f.members[2].used = 1;
    std::strcpy(f.members[2].name, "Wolf");
    party_member own;
    own.used = 1;
    std::strcpy(own.name, "Irena");
    f.own_records[2] = own;
    // Five paragraphs: two bytes of marks, then the 32 flag bytes.
    f.dialog_state = {5, 0, 0, 0, 0x09, 0x02};
    f.dialog_state.resize(6 + 32, 0);
    f.dialog_state[6] = 0x80;
    f.party_list = {4, -1, 300};
    return f;
}

}  // namespace

TEST(GameFile, HeadFieldsSitAtTheirOffsets) {
    const std::vector<uint8_t> b = game_file_bytes(known_game());
    EXPECT_EQ(i32_at(b, 0), 0x01020304);
    EXPECT_EQ(b[4], 3);
    for (size_t at : {5, 6, 7, 8, 9, 10, 11, 33, 34, 35, 36, 37, 38, 39, 66, 67}) EXPECT_EQ(b[at], 0) << at;
    EXPECT_EQ(i32_at(b, 12), -5);
    EXPECT_EQ(u16_at(b, 16), 2);
    EXPECT_EQ(b[18], 1);  // autosave
    EXPECT_EQ(b[19], 1);  // group order
    EXPECT_EQ(b[20], 0);  // names
    EXPECT_EQ(b[21], 1);  // hunting instinct
    EXPECT_EQ(b[22], 2);  // turn speed
    EXPECT_EQ(b[23], 0);  // walk speed
    EXPECT_EQ(b[24], 1);  // auto-attack
    for (int i = 0; i < 8; ++i) EXPECT_EQ(b[25 + size_t(i)], 10 + i);
    EXPECT_EQ(i32_at(b, 40), 8640 * 3 + 5);
    EXPECT_EQ(b[44], 0x11);
    EXPECT_EQ(b[48], 0x55);
    EXPECT_STREQ(reinterpret_cast<const char*>(&b[49]), "CELLARS.MAP");
    EXPECT_EQ(u16_at(b, 62), 4);  // three held items and the closing 0
    EXPECT_EQ(u16_at(b, 64), 2);
    EXPECT_EQ(i32_at(b, 68), 4000);
    EXPECT_EQ(i32_at(b, 72), int32_t(1 | 25 << 2));
    // The hand follows the head, then the created items.
    EXPECT_EQ(u16_at(b, 76), 7);
    EXPECT_EQ(u16_at(b, 78), uint16_t(-7));
    EXPECT_EQ(u16_at(b, 82), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(&b[84]), "Glowing dagger");
    const size_t effects = 84 + 2 * ITEM_DEF_SIZE;
    EXPECT_EQ(i32_at(b, effects), 1);
    const size_t party = effects + 4 + GAME_FILE_EFFECT_SIZE;
    EXPECT_STREQ(reinterpret_cast<const char*>(&b[party + 265]), "Tomas");
    const size_t own = party + PARTY_BLOCK_SIZE;
    EXPECT_STREQ(reinterpret_cast<const char*>(&b[own + 265]), "Irena");
    const size_t dialog = own + PARTY_MEMBER_SIZE;
    EXPECT_EQ(i32_at(b, dialog), 5);
    const size_t list = dialog + 6 + 32;
    EXPECT_EQ(u16_at(b, list), 3);
    EXPECT_EQ(b.size(), list + 2 + 6);
}

TEST(GameFile, RoundTripKeepsEveryPart) {
    const game_file f = known_game();
    const std::vector<uint8_t> bytes = game_file_bytes(f);
    auto back = parse_game_file(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sector, f.sector);
    EXPECT_EQ(back->money, f.money);
    EXPECT_EQ(back->map_name, "CELLARS.MAP");
    EXPECT_EQ(back->hand, f.hand);
    ASSERT_EQ(back->created_items.size(), 2u);
    EXPECT_EQ(back->created_items[1].charges, 3);
    EXPECT_EQ(back->effects, f.effects);
    EXPECT_STREQ(back->members[2].name, "Wolf");
    EXPECT_EQ(back->members[2].saved_self, nullptr);
    ASSERT_TRUE(back->own_records[2]);
    EXPECT_STREQ(back->own_records[2]->name, "Irena");
    EXPECT_FALSE(back->own_records[0]);
    EXPECT_EQ(back->dialog_state, f.dialog_state);
    EXPECT_EQ(back->party_list, f.party_list);
    EXPECT_EQ(game_file_bytes(*back), bytes);

    // An empty hand is counted 0, and a file ending before the list has none.
    game_file plain;
    plain.map_name = "A_VERY_LONG_MAP_NAME.MAP";
    std::vector<uint8_t> plain_bytes = game_file_bytes(plain);
    EXPECT_EQ(u16_at(plain_bytes, 62), 0);
    plain_bytes.resize(plain_bytes.size() - 2);
    auto read = parse_game_file(plain_bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->map_name, "A_VERY_LONG_");
    EXPECT_TRUE(read->party_list.empty());
}

TEST(GameFile, CutOrOutOfRangeFilesAreRefused) {
    const std::vector<uint8_t> bytes = game_file_bytes(known_game());
    // Every cut inside the parts (the last two bytes of the list are values it counts).
    const size_t list_at = bytes.size() - 8;  // a file may end before the list
    for (size_t n = 0; n + 1 < bytes.size(); n += 7) {
        if (n == list_at) continue;
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + ptrdiff_t(n));
        EXPECT_FALSE(parse_game_file(cut)) << n;
    }
    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> b = bytes;
        b[at] = value;
        return b;
    };
    EXPECT_FALSE(parse_game_file(with(4, 4)));      // a direction beyond west
    EXPECT_FALSE(parse_game_file(with(62, 3)));     // the hand's 0 is not its last value
    EXPECT_FALSE(parse_game_file(with(63, 0x7F)));  // more held items than bytes
    EXPECT_FALSE(parse_game_file(with(64, 200)));   // more created items than bytes
    const size_t effects = 84 + 2 * ITEM_DEF_SIZE;
    EXPECT_FALSE(parse_game_file(with(effects + 1, 2)));  // 513 effects
    EXPECT_FALSE(parse_game_file(with(effects + 3, 0x80)));  // a negative count
}
