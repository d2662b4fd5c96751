// The forge's spell language: sources compiled into the spell file, any
// spell file listed back, and the demo's spells, read by the rules' reader.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "forge/item_source.h"
#include "forge/spell_source.h"
#include "rules/spell_record.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string fault_of(const std::string& source, const char* name = "test.src") {
    try {
        forge::compile_spell_source(source, name);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

// A spell file of 105 records whose spell 0 has the given code.
std::vector<uint8_t> file_with_code(const std::vector<uint8_t>& code) {
    std::vector<uint8_t> file(SPELL_COUNT * SPELL_RECORD_SIZE);
    spell_def d;
    d.code = int32_t(file.size());
    write_spell_record(d, file.data(), spell_layout::file);
    for (int i = 1; i < SPELL_COUNT; ++i)
        write_spell_record(spell_def{}, file.data() + size_t(i) * SPELL_RECORD_SIZE, spell_layout::file);
    file.insert(file.end(), code.begin(), code.end());
    return file;
}

std::vector<uint8_t> relisted(const std::vector<uint8_t>& file) {
    return forge::compile_spell_source(forge::list_spell_file(file), "listing").file;
}

const std::vector<std::string> DEMO_GROUPS = {"fire", "water", "earth", "air", "mind"};

}  // namespace

TEST(SpellSource, TheDemosSpellsListAndAssembleBackToTheSameBytes) {
    const std::string demo = VORTHAN_SOURCE_DIR "/content/demo/";
    forge::compiled_items items =
        forge::compile_item_source(read_file(demo + "items/items.src"), "items.src");
    std::vector<forge::spell_source_file> sources;
    for (const std::string& group : DEMO_GROUPS)
        sources.push_back({group + ".src", read_file(demo + "spells/" + group + ".src")});
    forge::compiled_spells spells = forge::compile_spell_sources(sources, &items);
    EXPECT_EQ(relisted(spells.file), spells.file);

    spell_book book;
    ASSERT_TRUE(read_spell_file(spells.file, book));
    ASSERT_EQ(book.spells.size(), size_t(SPELL_COUNT));
    // Every rune group has a spell; the items' spells are there.
    for (int group = 0; group < RUNE_GROUP_COUNT; ++group) {
        bool any = false;
        for (int n = group * 21; n < group * 21 + 21; ++n) any = any || book.find(n);
        EXPECT_TRUE(any) << group;
    }
    for (int n : {3, 21, 84}) ASSERT_TRUE(book.find(n)) << n;
    // The spark launches the fire bolt (items count from 0 in the code).
    const spell_def& spark = *book.find(3);
    EXPECT_EQ(book.bytes[size_t(spark.code)], OP_LAUNCH);
    EXPECT_EQ(book.bytes[size_t(spark.code) + 1] + 1, items.numbers.at("fire_bolt"));
    // A member casting it sees the bolt leave: instruction 148 names the animation.
    const std::string code(book.bytes.begin() + spark.code, book.bytes.end());
    EXPECT_EQ(code.find(std::string(1, char(OP_ANIMATION)) + "OHEN.MGF" + std::string(1, '\0')), 3u);
    EXPECT_STREQ(spark.spell_name, "Spark");
    EXPECT_EQ(spells.names[3], "Spark");
    EXPECT_NE(forge::spells_csv_text(spells).find("21,\"Healing\""), std::string::npos);
}

TEST(SpellSource, RecordFieldsAndCodeLandWhereTheRecordSays) {
    const char* source =
        "spell water 0 0      # 21\n"
        "  name Healing\n"
        "  power 40\n"
        "  cost 12\n"
        "  element water\n"
        "  group -4\n"
        "  target chosen\n"
        "  resistible\n"
        "  monster_cast\n"
        "  choose_place\n"
        "  backfire fire 1 2\n"
        "  heal 10 20\n"
        "  sound \"heal \\\"x\\\".wav\"\n"
        "  end\n"
        "spell 3\n"
        "  stat strength +10\n"
        "  wait_ticks 3\n"
        "  set_flags invisible magic_shield\n"
        "  special summon\n"
        "  end\n";
    forge::compiled_spells spells = forge::compile_spell_source(source, "two.src");
    spell_book book;
    ASSERT_TRUE(read_spell_file(spells.file, book));
    EXPECT_EQ(book.find(0), nullptr);
    const spell_def& heal = book.spells[21];
    EXPECT_EQ(heal.power, 40);
    EXPECT_EQ(heal.cost, 12);
    EXPECT_EQ(heal.element, 1);
    EXPECT_EQ(heal.group, -4);
    EXPECT_EQ(heal.target_kind, ST_CHOSEN);
    EXPECT_EQ(heal.resistible, 1);
    EXPECT_EQ(heal.spell_flags, SPF_MONSTER_CAST | SPF_CHOOSE_PLACE);
    EXPECT_EQ(heal.backfire, 5);
    // Spells' code follows the records in number order.
    const spell_def& three = book.spells[3];
    EXPECT_EQ(three.code, int32_t(SPELL_COUNT * SPELL_RECORD_SIZE));
    const std::vector<uint8_t> three_code = {OP_STAT_INDEX, 0,    0, OP_STAT_ADD, 10, 0, OP_WAIT_TICKS, 3, 0,
                                             OP_SET_FLAGS,  0x11, 0, OP_SPECIAL,  13, 0, OP_END};
    EXPECT_EQ(std::vector<uint8_t>(book.bytes.begin() + three.code, book.bytes.begin() + heal.code),
              three_code);
    // heal 10 20 rolls -20..-10 on the damage pair.
    std::vector<uint8_t> heal_code(book.bytes.begin() + heal.code, book.bytes.end());
    const std::vector<uint8_t> heal_start = {OP_HIT_A, 0xEC, 0xFF, OP_HIT_B, 0xF6, 0xFF, OP_SOUND, 'h'};
    EXPECT_EQ(std::vector<uint8_t>(heal_code.begin(), heal_code.begin() + 8), heal_start);
    EXPECT_EQ(heal_code.back(), OP_END);
    EXPECT_EQ(relisted(spells.file), spells.file);
}

TEST(SpellSource, FaultsNameTheFileAndLine) {
    EXPECT_EQ(fault_of("  power 3\n"), "test.src:1: 'power' before the first spell");
    EXPECT_EQ(fault_of("spell 3\n  damage 1 2\n  explode 4\n  end\n"),
              "test.src:3: unknown keyword or instruction explode");
    EXPECT_EQ(fault_of("spell 105\n"), "test.src:1: 105 lies outside 0..104");
    EXPECT_EQ(fault_of("spell 3\n  wait_ticks 70000\n  end\n"), "test.src:2: 70000 lies outside 0..65535");
    EXPECT_EQ(fault_of("\nspell 3\n  wait_ticks 3\n"), "test.src:2: the code of spell 3 has no 'end'");
    EXPECT_EQ(fault_of("spell 3\n  stat wisdom 3\n  end\n"), "test.src:2: unknown statistic wisdom");
    EXPECT_EQ(fault_of("spell 3\n  launch fire_bolt\n  end\n"),
              "test.src:2: launch takes an item's place from 0 (names need the item source)");
    EXPECT_EQ(fault_of("spell 3\n  sound \"x.wav\n  end\n"), "test.src:2: a text without its closing quote");
    EXPECT_EQ(fault_of("spell 3\n  name A name much longer than the table keeps\n  end\n"),
              "test.src:2: the name is longer than 27 characters");
    // A spell defined twice, across files, names the second place and the first.
    std::vector<forge::spell_source_file> two = {{"a.src", "spell 3\n end\n"},
                                                 {"b.src", "\n\nspell fire 1 0\n end\n"}};
    try {
        forge::compile_spell_sources(two);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "b.src:3: spell 3 is defined twice (first at a.src:1)");
    }
}

TEST(SpellSource, ListingPrintsCodeItCannotReadAsRawBytes) {
    // 144 is no instruction: it and what follows are printed as bytes.
    std::vector<uint8_t> unknown = file_with_code({OP_MAGIC, 5, 0, 144, 90, 0, OP_END});
    std::string listing = forge::list_spell_file(unknown);
    EXPECT_NE(listing.find("  magic 5\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("  bytes 144 90 0 255\n"), std::string::npos) << listing;
    EXPECT_EQ(relisted(unknown), unknown);
    // A string without its zero, an operand cut off by the file's end, code without an end.
    for (const std::vector<uint8_t>& code : {std::vector<uint8_t>{OP_SOUND, 'a', 'b'},
                                             {OP_END, OP_MAGIC, 1},
                                             {OP_WAIT_TICKS, 1, 0},
                                             {OP_SOUND, 1, '"', '\\', 0xFE, 0, OP_END}}) {
        std::vector<uint8_t> file = file_with_code(code);
        EXPECT_EQ(relisted(file), file) << forge::list_spell_file(file);
    }
    // Any code at all reads back the same.
    std::mt19937 rng(14);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> code(1 + rng() % 40);
        for (uint8_t& b : code) b = uint8_t(rng() % 4 == 0 ? rng() : 131 + rng() % 37);
        std::vector<uint8_t> file = file_with_code(code);
        ASSERT_EQ(relisted(file), file) << forge::list_spell_file(file);
    }
    EXPECT_THROW(forge::list_spell_file(std::vector<uint8_t>(10)), std::runtime_error);
}
