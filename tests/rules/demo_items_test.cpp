// The demo's items and characters (content/demo/items), compiled by the forge
// and read back by the game's readers: every item names the icon and the
// pictures of its look number, the combinations work as the rules apply
// them, and the party can wear what it starts with.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "forge/character_source.h"
#include "forge/item_source.h"
#include "rules/combine.h"
#include "rules/inventory.h"
#include "rules/items.h"
#include "rules/items_file.h"
#include "rules/party_definitions.h"

namespace {

const std::string DEMO_ITEMS = VORTHAN_SOURCE_DIR "/content/demo/items/";
constexpr size_t DEMO_LOOKS = 45;  // items after these borrow a look

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string two_digits(size_t n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02zu", n);
    return text;
}

const forge::compiled_items* installed = nullptr;
const item_def* compiled_item(int number) {
    const auto& defs = installed->file.definitions;
    return number >= 1 && size_t(number) <= defs.size() ? &defs[size_t(number) - 1] : nullptr;
}

class DemoItems : public ::testing::Test {
  protected:
    void SetUp() override {
        items = forge::compile_item_source(read_file(DEMO_ITEMS + "items.src"), "items.src");
        back = parse_items_file(write_items_file(items.file));
        table.set_definitions(back.definitions);
        installed = &items;
        set_party_item_lookup(compiled_item);
    }
    void TearDown() override { set_party_item_lookup(nullptr); }

    int16_t number(const char* name) const { return static_cast<int16_t>(items.numbers.at(name)); }
    const item_def& def(const char* name) const { return back.definitions.at(size_t(number(name) - 1)); }

    forge::compiled_items items;
    items_file back;
    item_table table;
};

}  // namespace

// The item art paints by these names: a mismatch leaves an item invisible.
TEST_F(DemoItems, EveryItemNamesTheIconAndPicturesOfItsLookNumber) {
    // After the looks: the arrow, the fire bolt and the earth and air runes.
    ASSERT_EQ(back.definitions.size(), DEMO_LOOKS + 4);
    EXPECT_EQ(number("dagger"), 1);
    EXPECT_EQ(number("cellar_key"), 36);
    EXPECT_EQ(number("bowstring"), 45);
    for (size_t n = 0; n < DEMO_LOOKS; ++n) {
        const item_def& d = back.definitions[n];
        const std::string nn = two_digits(n);
        EXPECT_EQ(d.icon, n) << d.name;
        ASSERT_LT(d.picture, back.picture_sets[0].size()) << d.name;
        EXPECT_EQ(back.picture_sets[0][d.picture], "ITEM" + nn + ".PCX");
        // Only what is worn in slots 1-8 is drawn on a body.
        const bool on_body = d.placement >= PL_SLOT1 && d.placement <= PL_TWO_HANDS;
        EXPECT_EQ(back.picture_sets[1][d.picture], "ITEM" + nn + (on_body ? "M" : "") + ".PCX");
        EXPECT_EQ(back.picture_sets[2][d.picture], "ITEM" + nn + (on_body ? "F" : "") + ".PCX");
        const bool flies = n == 0 || n == 7 || n == 8;
        for (int view = 0; view < 4; ++view)
            for (int phase = 0; phase < 4; ++phase) {
                const int16_t flight = d.flight_pictures[view * 4 + phase];
                if (!flies) {
                    EXPECT_EQ(flight, 0) << d.name;
                    continue;
                }
                ASSERT_GT(flight, 0);
                EXPECT_EQ(back.picture_sets[3].at(size_t(flight)),
                          "FLY" + nn + std::to_string(view) + std::to_string(phase) + ".PCX");
            }
    }
    const item_def& arrow = def("arrow");
    EXPECT_EQ(arrow.icon, def("arrows").icon);
    EXPECT_EQ(arrow.picture, def("arrows").picture);

    // The game finds the torch and the map among the definitions.
    EXPECT_EQ(table.light_source(), number("torch"));
    EXPECT_EQ(table.map_item(), number("map_scroll"));
    EXPECT_EQ(def("leather_bag").extra_slots, 6);
    EXPECT_EQ(def("lockpick").key_code, -1);
    EXPECT_GT(def("cellar_key").key_code, 0);
}

// A bow shoots the first quiver item of value 0; a monster's bow the first
// of type thrown, which splits on a wall as often as its value says.
TEST_F(DemoItems, BowsShootSingleArrowsThatDoNotSplit) {
    auto first_quiver_item = [&](auto&& also) -> const item_def* {
        for (const item_def& d : back.definitions)
            if (d.placement == PL_QUIVER && also(d)) return &d;
        return nullptr;
    };
    const item_def* shot = first_quiver_item([](const item_def& d) { return d.value == 0; });
    const item_def* monster_shot = first_quiver_item([](const item_def& d) { return d.type == IT_THROWN; });
    ASSERT_NE(shot, nullptr);
    ASSERT_NE(monster_shot, nullptr);
    EXPECT_EQ(shot, &def("arrow"));
    EXPECT_EQ(monster_shot->value, 0);
    EXPECT_GT(shot->mods[STAT_ATTACK_MAX], 0);

    // One click on the quiver takes out one arrow; with the modifier, the bundle.
    party_member archer{};
    archer.arrows = 24;
    held_list held;
    ASSERT_TRUE(click_quiver(table, archer, held, false));
    EXPECT_EQ(held, held_list{number("arrow")});
    EXPECT_EQ(archer.arrows, 23);
    held.clear();
    ASSERT_TRUE(click_quiver(table, archer, held, true));
    EXPECT_EQ(held, held_list{number("arrows")});
    EXPECT_EQ(archer.arrows, 13);
}

TEST_F(DemoItems, CombinationsTurnHeldAndSlotItemsAsTheRulesSay) {
    const std::vector<combine_rule> rules = parse_combine_rules(forge::combitem_text(items));
    ASSERT_EQ(rules.size(), 3u);
    const int count = table.definition_count();
    // A string on a stick: the slot gets the bow, the string is used up; either way round.
    for (auto [held, slot] : {std::pair{"bowstring", "stick"}, std::pair{"stick", "bowstring"}}) {
        auto bow = find_combination(rules, number(held), number(slot), count);
        ASSERT_TRUE(bow) << held;
        EXPECT_EQ(bow->slot, number("short_bow"));
        EXPECT_EQ(bow->held, 0);
    }
    // Flint lights the torch and stays in the hand.
    auto lit = find_combination(rules, number("flint"), number("unlit_torch"), count);
    ASSERT_TRUE(lit);
    EXPECT_EQ(lit->held, number("flint"));
    EXPECT_EQ(lit->slot, number("torch"));
    auto potion = find_combination(rules, number("water_flask"), number("herbs"), count);
    ASSERT_TRUE(potion);
    EXPECT_EQ(potion->slot, number("healing_potion"));
    EXPECT_FALSE(find_combination(rules, number("flint"), number("torch"), count));
}

TEST_F(DemoItems, TheFourStartWearingOnlyWhatTheyMayAndNoneCanWieldTheLongSword) {
    const std::string text =
        forge::compile_character_source(read_file(DEMO_ITEMS + "characters.src"), "characters.src", items);
    party_member defs[CHARACTER_DEFINITIONS];
    uint8_t runes[RUNE_GROUPS] = {};
    definitions_result result = parse_character_definitions(text.data(), text.size(), defs, runes);
    ASSERT_EQ(result.line, 0) << result.error;
    ASSERT_EQ(result.count, 7);  // the four, two empty records and the prisoner

    // The painted portraits: 0 and 2 are men, 1 and 5 women.
    const char* names[] = {"Borin", "Lenka", "Tomas", "Vesna"};
    const int faces[] = {0, 1, 2, 5};
    for (int i = 0; i < 4; ++i) {
        const party_member& m = defs[i];
        EXPECT_STREQ(m.name, names[i]);
        EXPECT_EQ(m.face, faces[i]);
        EXPECT_EQ(m.female, faces[i] == 1 || faces[i] == 5) << m.name;
        EXPECT_EQ(m.level, 1);
        EXPECT_GT(m.hp, 0);
        EXPECT_EQ(m.hp, m.stats[STAT_HP_MAX]);
        // What a character starts wearing would be taken off at once if it
        // could not wear it.
        for (int slot = 1; slot <= SLOT_LEFT_HAND; ++slot)
            EXPECT_TRUE(m.worn[slot] == 0 || still_meets_requirements(table, m, m.worn[slot]))
                << m.name << slot;
        EXPECT_TRUE(two_weapons_allowed(table, m)) << m.name;
        EXPECT_FALSE(can_wear(table, m, number("long_sword"))) << m.name;
    }

    const party_member& borin = defs[0];
    EXPECT_EQ(borin.worn[SLOT_CONTAINER], number("leather_bag"));
    EXPECT_EQ(borin.inventory_size, 12);
    EXPECT_EQ(borin.worn[SLOT_RIGHT_HAND], number("hand_axe"));
    EXPECT_EQ(borin.worn[SLOT_LEFT_HAND], number("round_shield"));
    EXPECT_EQ(borin.inventory[0], number("bread"));
    // Worn defence adds up: tunic, boots and shield on his own 1..4 (the
    // cap, which the tunic would take off, waits in the backpack).
    EXPECT_EQ(borin.stats[STAT_DEFENSE_MIN], 2);
    EXPECT_EQ(borin.stats[STAT_DEFENSE_MAX], 11);
    const party_member& tomas = defs[2];
    EXPECT_EQ(tomas.worn[SLOT_LEFT_HAND], number("short_bow"));
    EXPECT_GT(tomas.arrows, 0);

    // The party knows some runes, and the runes lying in the maps are new to it.
    EXPECT_NE(runes[0] | runes[1], 0);
    for (const char* rune : {"fire_rune", "water_rune", "earth_rune", "air_rune"}) {
        const int code = def(rune).value;
        EXPECT_EQ(runes[code / 10] & (1 << (code % 10)), 0) << rune;
    }
}

// A new game takes the used definitions of 0..5; the prisoner's dialog does
// JOIN 6, which must add a fifth member rather than start the game with him.
TEST_F(DemoItems, TheNewPartyIsTheFourAndThePrisonerJoinsAsTheFifth) {
    const std::string text =
        forge::compile_character_source(read_file(DEMO_ITEMS + "characters.src"), "characters.src", items);
    uint8_t runes[RUNE_GROUPS] = {};
    ASSERT_EQ(parse_character_definitions(text.data(), text.size(), character_definitions, runes).line, 0);
    int starting = 0;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        party_members[slot] = character_definitions[slot];
        starting += party_members[slot].used ? 1 : 0;
    }
    EXPECT_EQ(starting, 4);

    const party_member& radek = character_definitions[6];
    EXPECT_STREQ(radek.name, "Radek");
    EXPECT_EQ(radek.face, 3);  // painted with the speakers' pictures
    EXPECT_FALSE(radek.female);
    EXPECT_TRUE(still_meets_requirements(table, radek, radek.worn[SLOT_LEFT_HAND]));
    EXPECT_FALSE(join_from_definition(6));
    EXPECT_STREQ(party_members[4].name, "Radek");
    EXPECT_EQ(party_members[4].hp, radek.stats[STAT_HP_MAX]);
    EXPECT_TRUE(join_from_definition(5));  // an empty record brings nobody
    EXPECT_FALSE(party_members[5].used);
    for (party_member& m : party_members) m = party_member{};
    for (party_member& m : character_definitions) m = party_member{};
}
