// The attack formula of a fight and the weapon-weighted defence.
#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "rules/attack_roll.h"
#include "rules/party.h"

namespace {

struct stats_block {
    int16_t s[STAT_COUNT] = {};
};

// An attacker whose physical roll is always `attack` (a range of one value).
stats_block fixed_attacker(int attack) {
    stats_block a;
    a.s[STAT_ATTACK_MIN] = a.s[STAT_ATTACK_MAX] = int16_t(attack);
    return a;
}

struct recorded_log : attack_log {
    std::string text_seen;
    bool on() const override { return true; }
    void print(const char* text) override { text_seen += text; }
};

}  // namespace

TEST(AttackRoll, BetterOfStrengthAndDexterityGivesTheBonusAndTheLogNamesIt) {
    stats_block a = fixed_attacker(10), d;
    a.s[STAT_STRENGTH] = 40;
    a.s[STAT_DEXTERITY] = 55;
    recorded_log log;
    random_seed(1);
    EXPECT_EQ(attack_roll(a.s, d.s, 1, 0, 0, true, log), 55 / 5 + 10);
    EXPECT_NE(log.text_seen.find("+ 11 (Dexterity/5)"), std::string::npos) << log.text_seen;
    EXPECT_EQ(log.text_seen[0], '>');
    // Without the choice strength alone counts.
    EXPECT_EQ(attack_roll(a.s, d.s, 1, 0, 0, false), 40 / 5 + 10);
}

TEST(AttackRoll, MoreTargetsLowerTheDefenceRollAndNoTargetsCountAsOne) {
    stats_block a = fixed_attacker(50), d;
    d.s[STAT_DEFENSE_MIN] = 20;
    d.s[STAT_DEFENSE_MAX] = 30;
    random_seed(7);
    int lowest = 99, highest = 0;
    for (int i = 0; i < 400; ++i) {
        int hit = attack_roll(a.s, d.s, 3, 0, 0, false);  // three targets: the roll runs from 10
        lowest = std::min(lowest, hit), highest = std::max(highest, hit);
    }
    EXPECT_EQ(lowest, 50 - 30);
    EXPECT_EQ(highest, 50 - 10);
    for (int targets : {0, 1}) {
        random_seed(7);
        for (int i = 0; i < 200; ++i) {
            int hit = attack_roll(a.s, d.s, targets, 0, 0, false);
            ASSERT_GE(hit, 20);
            ASSERT_LE(hit, 30);
        }
    }
    recorded_log log;
    attack_roll(a.s, d.s, 3, 0, 0, false, log);
    EXPECT_NE(log.text_seen.find("-30, disadvantage 2)"), std::string::npos) << log.text_seen;
    // A character unable to dodge is one of 999: its roll starts at 0.
    d.s[STAT_DEFENSE_MIN] = d.s[STAT_DEFENSE_MAX] = 30;
    random_seed(3);
    bool below = false;
    for (int i = 0; i < 200; ++i) below |= attack_roll(a.s, d.s, 999, 0, 0, false) > 20;
    EXPECT_TRUE(below);
}

TEST(AttackRoll, SkillAndDamageBonusAreAddedOnlyWhenTheBlowGetsThrough) {
    stats_block a = fixed_attacker(30), d;
    a.s[STAT_DAMAGE_BONUS] = 4;
    d.s[STAT_DEXTERITY] = 150;  // defence 30 without a roll
    EXPECT_EQ(attack_roll(a.s, d.s, 1, 5, 0, false), 0);
    EXPECT_EQ(attack_roll(a.s, d.s, 1, 5, 1, false), 1 + 5 + 4);  // the projectile's force tips it
    // An invisible defender adds 10 to its defence.
    d.s[STAT_FLAGS] = CF_INVISIBLE;
    EXPECT_EQ(attack_roll(a.s, d.s, 1, 5, 11, false), 1 + 5 + 4);
}

TEST(AttackRoll, ResistancesHalvingAndHealingShapeTheTotal) {
    stats_block a = fixed_attacker(15), d;
    a.s[STAT_MAGIC_ATTACK_MIN] = a.s[STAT_MAGIC_ATTACK_MAX] = 20;
    a.s[STAT_MAGIC_POWER] = 50;  // + 10 to a magical attack
    a.s[STAT_MAGIC_ELEMENT] = 2;
    d.s[STAT_RESIST + 2] = 100;
    d.s[STAT_FLAGS] = CF_HALF_PHYSICAL;
    recorded_log log;
    EXPECT_EQ(attack_roll(a.s, d.s, 1, 0, 0, false, log), 7);  // physical 15 halved, magic resisted whole
    EXPECT_NE(log.text_seen.find("Physical resistance applied: 15 - 8 (half)= 7\n"), std::string::npos);
    EXPECT_NE(log.text_seen.find("(resistance Earth: 100%) = 0\n"), std::string::npos) << log.text_seen;

    d.s[STAT_RESIST + 2] = 50;
    d.s[STAT_FLAGS] = CF_HALF_MAGICAL;
    EXPECT_EQ(attack_roll(a.s, d.s, 1, 0, 0, false), 15 + 15 - 7);  // magic 30 at half, then halved again
    d.s[STAT_FLAGS] = CF_HALF_MAGICAL | CF_DAMAGE_HEALS;
    EXPECT_EQ(attack_roll(a.s, d.s, 1, 0, 0, false), -(15 + 15 - 7));
    // An element outside the five meets no resistance and reads nothing beyond the block.
    a.s[STAT_MAGIC_ELEMENT] = 40;
    d.s[STAT_FLAGS] = 0;
    EXPECT_EQ(attack_roll(a.s, d.s, 1, 0, 0, false), 15 + 30);
    a.s[STAT_MAGIC_ELEMENT] = -3;
    EXPECT_EQ(attack_roll(a.s, d.s, 1, 0, 0, false), 15 + 30);
}

TEST(WeaponWeightedDefence, HandsCountTwiceAtFullConditionAndNothingWhenExhausted) {
    static item_def shield;
    shield.mods[STAT_DEFENSE_MIN] = 5;
    shield.mods[STAT_DEFENSE_MAX] = 10;
    set_party_item_lookup([](int number) -> const item_def* { return number == 1 ? &shield : nullptr; });
    party_member m;
    m.worn[8] = 1;
    m.stats[STAT_VP_MAX] = 40;
    m.vp = 40;
    m.stats[STAT_DEFENSE_MIN] = 8, m.stats[STAT_DEFENSE_MAX] = 20, m.stats[STAT_DEXTERITY] = 30;
    int16_t copy[STAT_COUNT];
    std::copy(std::begin(m.stats), std::end(m.stats), copy);
    weapon_weighted_defence(m, copy);
    EXPECT_EQ(copy[STAT_DEFENSE_MIN], 8 + 5);
    EXPECT_EQ(copy[STAT_DEFENSE_MAX], 20 + 10);
    EXPECT_EQ(copy[STAT_DEXTERITY], 30);
    EXPECT_EQ(m.vp, 39);

    m.vp = 0;
    std::copy(std::begin(m.stats), std::end(m.stats), copy);
    weapon_weighted_defence(m, copy);
    EXPECT_EQ(copy[STAT_DEFENSE_MIN], 8 - 5);
    EXPECT_EQ(copy[STAT_DEFENSE_MAX], 20 - 10);
    EXPECT_EQ(copy[STAT_DEXTERITY], 0);
    EXPECT_EQ(m.vp, 0);
    // No condition points at all: exhausted, no divide by zero.
    m.stats[STAT_VP_MAX] = 0;
    weapon_weighted_defence(m, copy);
    set_party_item_lookup(nullptr);
}
