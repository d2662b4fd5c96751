// The character and item records keep every byte in place through a read and
// a write, find each field at its offset, and refuse short input.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "rules/item_record.h"
#include "rules/party_record.h"

namespace {

std::vector<uint8_t> pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 7 + 3);
    return bytes;
}

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

}  // namespace

TEST(PartyRecord, EveryByteSurvivesReadAndWriteExceptRunTimePointers) {
    auto bytes = pattern(PARTY_MEMBER_SIZE);
    std::memset(&bytes[248], 0, 16);  // plan, plan_cursor
    bytes[265 + 16] = 0;              // the name's last byte
    std::memset(&bytes[296], 0, 8);   // saved_self
    party_member m;
    bool follows = true;
    ASSERT_TRUE(read_party_member(bytes.data(), bytes.size(), m, &follows));
    EXPECT_FALSE(follows);
    std::vector<uint8_t> out;
    append_party_member(m, out);
    EXPECT_EQ(out, bytes);
}

TEST(PartyRecord, FieldsSitAtTheirOffsets) {
    std::vector<uint8_t> bytes(PARTY_MEMBER_SIZE, 0);
    bytes[0] = 1;
    bytes[3] = 0x2a;
    put16(bytes, 6, uint16_t(-17));
    put16(bytes, 8 + 2 * STAT_HP_MAX, 55);
    put16(bytes, 70, 40);
    put16(bytes, 80 + 2 * STAT_FLAGS, 0x8010);
    put16(bytes, 128 + 2 * 12, 9);
    put16(bytes, 158 + 2 * 29, 31);
    put16(bytes, 218, 7);
    bytes[236] = 0x40, bytes[237] = 0x42, bytes[238] = 0x0f;  // 1,000,000
    bytes[240] = 1;
    std::memcpy(&bytes[265], "Ardent", 6);
    put16(bytes, 284, 5);
    bytes[292] = 0xff, bytes[293] = 0xff, bytes[294] = 0xff, bytes[295] = 0xff;
    bytes[296] = 1;
    bytes[304] = 0x78, bytes[305] = 0x56, bytes[306] = 0x34, bytes[307] = 0x12;
    party_member m;
    bool follows = false;
    ASSERT_TRUE(read_party_member(bytes.data(), bytes.size(), m, &follows));
    EXPECT_EQ(m.used, 1);
    EXPECT_EQ(m.face, 0x2a);
    EXPECT_EQ(m.sector, -17);
    EXPECT_EQ(m.stats[STAT_HP_MAX], 55);
    EXPECT_EQ(m.hp, 40);
    EXPECT_EQ(uint16_t(m.base_stats[STAT_FLAGS]), 0x8010);
    EXPECT_EQ(m.worn[12], 9);
    EXPECT_EQ(m.inventory[29], 31);
    EXPECT_EQ(m.level, 7);
    EXPECT_EQ(m.experience, 1000000);
    EXPECT_EQ(m.female, 1);
    EXPECT_STREQ(m.name, "Ardent");
    EXPECT_EQ(m.free_points, 5);
    EXPECT_EQ(m.water, -1);
    EXPECT_TRUE(follows);
    EXPECT_EQ(m.saved_self, nullptr);
    EXPECT_EQ(m.map_hash, 0x12345678u);
}

TEST(PartyRecord, ShortInputAndUnterminatedNameAreHandled) {
    auto bytes = pattern(PARTY_MEMBER_SIZE);
    party_member m;
    m.level = 3;
    EXPECT_FALSE(read_party_member(bytes.data(), PARTY_MEMBER_SIZE - 1, m));
    EXPECT_EQ(m.level, 3);
    std::memset(&bytes[265], 'x', 17);
    ASSERT_TRUE(read_party_member(bytes.data(), bytes.size(), m));
    EXPECT_EQ(std::strlen(m.name), 16u);
}

TEST(PartyRecord, StatisticsHaveTheirNamesAndRanges) {
    EXPECT_STREQ(stat_name(STAT_STRENGTH), "strength");
    EXPECT_STREQ(stat_name(STAT_RESIST + 4), "resist[4]");
    EXPECT_STREQ(stat_name(STAT_FLAGS), "flags");
    EXPECT_STREQ(stat_name(24), "");
    EXPECT_EQ(stat_min(STAT_HP_MAX), 1);
    EXPECT_EQ(stat_max(STAT_DEFENSE_MAX), 199);
    EXPECT_EQ(stat_max(STAT_RESIST), 99);
    EXPECT_EQ(stat_max(STAT_VP_REGEN), 90);
}

TEST(ItemRecord, EveryByteSurvivesReadAndWrite) {
    auto bytes = pattern(ITEM_DEF_SIZE);
    bytes[31] = 0;
    bytes[63] = 0;
    item_def it;
    ASSERT_TRUE(read_item_def(bytes.data(), bytes.size(), it));
    std::vector<uint8_t> out;
    append_item_def(it, out);
    EXPECT_EQ(out, bytes);
}

TEST(ItemRecord, FieldsSitAtTheirOffsets) {
    std::vector<uint8_t> bytes(ITEM_DEF_SIZE, 0);
    std::memcpy(&bytes[0], "Sword", 5);
    std::memcpy(&bytes[32], "sharp", 5);
    put16(bytes, 64 + 2 * STAT_STRENGTH, uint16_t(-5));
    put16(bytes, 64 + 2 * (STAT_RESIST + 1), 50);
    put16(bytes, 102, 3);
    put16(bytes, 108, 4);
    put16(bytes, 110, CF_MAGIC_SHIELD);
    put16(bytes, 112, 30);
    put16(bytes, 120, 12);
    put16(bytes, 122, 6);
    put16(bytes, 124, IT_MELEE);
    put16(bytes, 126, PL_ONE_HAND);
    put16(bytes, 128, IF_CLONE | IF_BOUND);
    put16(bytes, 138, 40);
    put16(bytes, 142, 99);
    put16(bytes, 144, uint16_t(-1));
    put16(bytes, 150, 77);
    bytes[154] = 5;
    put16(bytes, 156, 2);
    put16(bytes, 158 + 2 * 15, 8);
    put16(bytes, 190, 65000);
    bytes[195] = 4;
    bytes[196] = 255;
    item_def it;
    ASSERT_TRUE(read_item_def(bytes.data(), bytes.size(), it));
    EXPECT_STREQ(it.name, "Sword");
    EXPECT_STREQ(it.description, "sharp");
    EXPECT_EQ(item_stat(it, STAT_STRENGTH), -5);
    EXPECT_EQ(item_stat(it, STAT_RESIST + 1), 50);
    EXPECT_EQ(item_stat(it, STAT_MAGIC_ATTACK_MIN), 3);
    EXPECT_EQ(item_stat(it, STAT_DAMAGE_BONUS), 4);
    EXPECT_EQ(item_stat(it, STAT_FLAGS), CF_MAGIC_SHIELD);
    EXPECT_EQ(item_stat(it, 24), 0);
    EXPECT_EQ(it.requirements[0], 30);
    EXPECT_EQ(it.weight, 12);
    EXPECT_EQ(it.extra_slots, 6);
    EXPECT_EQ(it.type, IT_MELEE);
    EXPECT_EQ(it.placement, PL_ONE_HAND);
    EXPECT_EQ(it.item_flags, IF_CLONE | IF_BOUND);
    EXPECT_EQ(it.icon, 40);
    EXPECT_EQ(it.value, 99);
    EXPECT_EQ(it.key_code, -1);
    EXPECT_EQ(it.body_pos_7[0], 77);
    EXPECT_EQ(it.weapon_class, 5);
    EXPECT_EQ(it.sound, 2);
    EXPECT_EQ(it.flight_pictures[15], 8);
    EXPECT_EQ(it.money, 65000);
    EXPECT_EQ(it.attack_anim[3], 4);
    EXPECT_EQ(it.floor_inset, 255);
}

TEST(ItemRecord, ShortInputIsRefusedAndTextsAreTerminated) {
    auto bytes = pattern(ITEM_DEF_SIZE);
    item_def it;
    EXPECT_FALSE(read_item_def(bytes.data(), ITEM_DEF_SIZE - 1, it));
    EXPECT_FALSE(read_item_def(nullptr, 0, it));
    std::memset(bytes.data(), 'n', 64);
    ASSERT_TRUE(read_item_def(bytes.data(), bytes.size(), it));
    EXPECT_EQ(std::strlen(it.name), 31u);
    EXPECT_EQ(std::strlen(it.description), 31u);
}
