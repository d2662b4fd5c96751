// The forge's dialog language: the demo's dialogs compiled, listed and
// compiled again; faults named by file and line; any bytes listed.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "forge/dialog_source.h"
#include "forge/item_source.h"
#include "story/dialog_format.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

std::vector<uint8_t> relisted(const std::vector<uint8_t>& file) {
    return forge::compile_dialog_source(forge::list_dialog_file(file), "listing").file;
}

std::string fault_of(const std::string& source) {
    try {
        forge::compile_dialog_source(source, "talk.src");
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

struct demo_dialogs {
    forge::compiled_items items;
    forge::compiled_dialogs dialogs;
};

demo_dialogs compile_demo() {
    const std::string demo = VORTHAN_SOURCE_DIR "/content/demo/";
    demo_dialogs out{forge::compile_item_source(read_file(demo + "items/items.src"), "items.src"), {}};
    forge::dialog_references refs;
    refs.items = &out.items;
    refs.characters = forge::character_names_of_source(read_file(demo + "items/characters.src"));
    std::vector<forge::dialog_source_file> sources;
    for (const char* name : {"warden.src", "prisoner.src", "merchant.src"})
        sources.push_back({name, read_file(demo + "dialogs/" + name)});
    out.dialogs = forge::compile_dialog_sources(sources, refs);
    return out;
}

}  // namespace

TEST(DialogSource, TheDemosDialogsListAndCompileBackToTheSameBytes) {
    demo_dialogs demo = compile_demo();
    EXPECT_EQ(relisted(demo.dialogs.file), demo.dialogs.file);
}

TEST(DialogSource, EntriesAreOrderedByOffsetAndEachParagraphBeginsWhereItsEntrySays) {
    const std::vector<uint8_t>& file = compile_demo().dialogs.file;
    uint32_t count = u32_at(file, 0);
    ASSERT_GT(count, 10u);
    size_t code = DIALOG_HEADER_SIZE + DIALOG_ENTRY_SIZE * count;
    uint32_t previous = 0;
    bool warden = false, merchant = false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t word = u32_at(file, DIALOG_HEADER_SIZE + DIALOG_ENTRY_SIZE * i);
        uint32_t offset = u32_at(file, DIALOG_HEADER_SIZE + DIALOG_ENTRY_SIZE * i + 4);
        EXPECT_GE(offset, previous);
        previous = offset;
        ASSERT_LT(code + offset + 2, file.size());
        EXPECT_EQ(file[code + offset], TAG_NUMBER) << "paragraph " << (word & PARAGRAPH_NUMBER_MASK);
        EXPECT_EQ(word & (PARAGRAPH_VISITED | PARAGRAPH_REENTERED), 0u);
        int number = int(word & PARAGRAPH_NUMBER_MASK);
        if (number % DIALOG_BLOCK == 0) {
            // A dialog's entry paragraph sets the dialog's base first.
            uint16_t opcode = uint16_t(file[code + offset + 1] | file[code + offset + 2] << 8);
            uint16_t base = uint16_t(file[code + offset + 4] | file[code + offset + 5] << 8);
            EXPECT_EQ(opcode, DOP_BASE);
            EXPECT_EQ(base, number);
        }
        warden |= number == 0;
        merchant |= number == 2 * DIALOG_BLOCK;
    }
    EXPECT_TRUE(warden && merchant);  // the numbers the maps start them with
    // The warden's greeting is used once, then his "again" paragraph.
    uint32_t greeting = u32_at(file, DIALOG_HEADER_SIZE);
    EXPECT_EQ(greeting >> PARAGRAPH_REDIRECT_SHIFT & PARAGRAPH_NUMBER_MASK, 1u);
}

TEST(DialogSource, EnglishTextsAreKeyedByTheOffsetOfTheirCzechText) {
    demo_dialogs demo = compile_demo();
    ASSERT_FALSE(demo.dialogs.english.empty());
    for (const forge::dialog_translation& t : demo.dialogs.english) {
        ASSERT_LT(t.offset, demo.dialogs.file.size());
        EXPECT_EQ(demo.dialogs.file[t.offset - 1], TAG_TEXT);
    }
    std::string csv = forge::dialogs_csv_text(demo.dialogs);
    EXPECT_NE(csv.find("\"Halt! Who are you and what do you want here?\""), std::string::npos);
}

TEST(DialogSource, FaultsNameTheFileAndLine) {
    EXPECT_EQ(fault_of("dialog a 0\nparagraph p\n  GOTO nowhere\n"), "talk.src:3: unknown paragraph nowhere");
    EXPECT_EQ(fault_of("dialog a 0\nparagraph p\n\n  SAY \"[on]\"\n"),
              "talk.src:4: a word form group needs a form for each gender, [on,ona]");
    EXPECT_EQ(fault_of("dialog a 0\nparagraph p\nparagraph p\n"),
              "talk.src:3: paragraph p is defined twice in its dialog");
    EXPECT_EQ(fault_of("dialog a 0\nparagraph p\n  TEST_FLAG unknown\n"), "talk.src:3: unknown flag unknown");
    EXPECT_EQ(fault_of("SAY \"x\"\n"), "talk.src:1: 'SAY' before the first paragraph");
}

TEST(DialogSource, NamesFlagsRunesAndOtherDialogsParagraphs) {
    std::string source =
        "flag door 20\nflag next\n"
        "dialog a 1\nparagraph p\n  TEST_FLAG next\n  SET_RUNE water:2\n  GOTO b.q\n"
        "dialog b 3\nparagraph q 5\n  COMPARE_VAR $2 >= 7\n  END\n";
    std::vector<uint8_t> file = forge::compile_dialog_source(source, "t.src").file;
    // BASE 128, TEST_FLAG 16, SET_RUNE 11, GOTO 389 - 128.
    std::vector<uint8_t> expected = {2, 167, 0, 2, 128, 0, 2, 163, 0, 2, 16, 0,
                                     2, 178, 0, 2, 11,  0, 2, 139, 0, 2, 5,  1};
    size_t code = DIALOG_HEADER_SIZE + 2 * DIALOG_ENTRY_SIZE;
    ASSERT_GE(file.size(), code + expected.size());
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + long(code), file.begin() + long(code + expected.size())),
              expected);
    EXPECT_EQ(u32_at(file, DIALOG_HEADER_SIZE + DIALOG_ENTRY_SIZE) & PARAGRAPH_NUMBER_MASK, 3u * 128 + 5);
    EXPECT_EQ(relisted(file), file);
}

TEST(DialogSource, TheListingPrintsAnyBytesAndTheyCompileBack) {
    demo_dialogs demo = compile_demo();
    std::vector<uint8_t> file = demo.dialogs.file;
    // Unknown opcodes, bad tags, a text without its end and a cut-off tail.
    uint32_t count = u32_at(file, 0);
    size_t code = DIALOG_HEADER_SIZE + DIALOG_ENTRY_SIZE * count;
    std::vector<uint8_t> junk = {2, 0x2C, 1, 9, 7, 1, 'a', 'b', 3, 5, 0, 2, 0xFF};
    file.insert(file.begin() + long(code + 20), junk.begin(), junk.end());
    for (uint32_t i = 1; i < count; ++i) {
        size_t at = DIALOG_HEADER_SIZE + DIALOG_ENTRY_SIZE * i + 4;
        uint32_t shifted = u32_at(file, at) + uint32_t(junk.size());
        for (int k = 0; k < 4; ++k) file[at + size_t(k)] = uint8_t(shifted >> (8 * k));
    }
    file.push_back(1);
    file.push_back('z');
    std::string listing = forge::list_dialog_file(file);
    EXPECT_NE(listing.find("bytes"), std::string::npos);
    EXPECT_EQ(forge::compile_dialog_source(listing, "listing").file, file);

    // Every prefix lists without failing once the table is whole.
    for (size_t size = code; size < file.size(); size += 7)
        EXPECT_NO_THROW(
            forge::list_dialog_file(std::vector<uint8_t>(file.begin(), file.begin() + long(size))));
    EXPECT_THROW(forge::list_dialog_file(std::vector<uint8_t>{5, 0, 0, 0, 0, 0, 0, 0}), std::runtime_error);
}
