// The forge's text and translation tables, read back by the game's readers,
// and the demo's interface texts.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <stdexcept>

#include "base/strings.h"
#include "forge/text_tables.h"
#include "support/temp_folder.h"

namespace {
std::string game(const char* utf8) {
    return *utf8_to_game_codepage(utf8);
}

std::string error_of(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

// The printf conversions of a text, in order.
std::string conversions(const std::string& text) {
    std::string out;
    static const std::regex spec("%[-+ 0#]*[0-9]*(\\.[0-9]+)?[a-z]");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), spec); it != std::sregex_iterator(); ++it)
        out += it->str().back();
    return out;
}
}  // namespace

TEST(ForgeText, TableRoundTripsThroughTheGameReader) {
    std::string table =
        forge::compile_text_table("; comment\n1 Příliš žluťoučký|kůň\n2 plain\n-1\n", "t.txt");
    string_list list;
    ASSERT_EQ(parse_numbered_table(list, table), 0);
    EXPECT_EQ(std::string(string_list_get(list, 1)), game("Příliš žluťoučký\nkůň"));
    EXPECT_STREQ(string_list_get(list, 2), "plain");
    // A byte-order mark at the start is not part of the first record.
    EXPECT_EQ(forge::compile_text_table("\xEF\xBB\xBF"
                                        "1 x\n-1\n",
                                        "t.txt"),
              "1 x\n-1\n");
}

TEST(ForgeText, ScrambledTableReadsBackUnderItsPlainName) {
    temp_folder dir;
    std::string table = forge::compile_text_table("3 Ďábel\n-1\n", "t.txt");
    dir.write("INTRO.ENC", forge::scramble_text_table(table));
    string_list list;
    ASSERT_EQ(read_numbered_table(list, dir / "INTRO.TXT"), 0);
    EXPECT_EQ(std::string(string_list_get(list, 3)), game("Ďábel"));
}

TEST(ForgeText, ErrorsNameFileAndLine) {
    EXPECT_EQ(error_of([] { forge::compile_text_table("1 a\n2 cena 5 €\n-1\n", "src/popisy.txt"); }),
              "src/popisy.txt:2: the character U+20AC '€' is not in the game code page");
    EXPECT_EQ(error_of([] { forge::compile_text_table("1 a\n\nbad\n-1\n", "p.txt"); }),
              "p.txt:3: a record must begin with its number (0-65535) or -1");
    EXPECT_EQ(error_of([] { forge::compile_text_table("1 a\n", "p.txt"); }),
              "p.txt:1: the table does not end with the end mark -1");
    EXPECT_EQ(error_of([] { forge::compile_text_table("1 \xE9t\xE9\n-1\n", "p.txt"); }),
              "p.txt:1: the byte U+00E9 (not UTF-8) is not in the game code page");
}

TEST(ForgeCsv, MapHashIdsKeepTheir32BitPattern) {
    auto table =
        parse_csv_table(forge::compile_csv_table("id,string\n4294967295,Keep\n1194639802,Crypt\n", "m.csv"));
    EXPECT_EQ(table[-1], "Keep");
    EXPECT_EQ(table[1194639802], "Crypt");
}

TEST(ForgeCsv, TableRoundTripsThroughTheGameReader) {
    std::string csv =
        forge::compile_csv_table("id,string\n5,\"Řekni \"\"sýr\"\"\nprosím\"\n2,plain\n", "ui.csv");
    EXPECT_EQ(csv.substr(0, 12), "id,string\n2,");
    auto table = parse_csv_table(csv);
    EXPECT_EQ(table[5], game("Řekni \"sýr\"\nprosím"));
    EXPECT_EQ(table[2], "plain");
}

TEST(ForgeCsv, ErrorsNameFileAndLine) {
    EXPECT_EQ(error_of([] { forge::compile_csv_table("id,string\n1,a\n2,\"x\ny €\"\n", "en/ui.csv"); }),
              "en/ui.csv:4: the character U+20AC '€' is not in the game code page");
    EXPECT_EQ(error_of([] { forge::compile_csv_table("id,string\n1,a\n1,b\n", "u.csv"); }),
              "u.csv:3: the id repeats an earlier one");
    EXPECT_EQ(error_of([] { forge::compile_csv_table("id,string\n-4,a\n", "u.csv"); }),
              "u.csv:2: the id is not 0-4294967295");
    EXPECT_EQ(error_of([] { forge::compile_csv_table("number,text\n1,a\n", "u.csv"); }),
              "u.csv:1: the first line must name the columns id and string");
}

TEST(DemoTexts, InterfaceTextsCompileAndTranslationMatchesThem) {
    std::string source = read_file(VORTHAN_SOURCE_DIR "/content/demo/texts/popisy.txt");
    string_list czech;
    ASSERT_EQ(parse_numbered_table(czech, forge::compile_text_table(source, "popisy.txt")), 0);
    auto english =
        forge::csv_source_entries(read_file(VORTHAN_SOURCE_DIR "/content/demo/lang/en/ui.csv"), "ui.csv");
    // Texts shown by the start-up, input, game screen, menus, game windows and saved games.
    for (int id : {0,   1,   5,   7,   42,  44,  51,  53,  55,  56,  57,  58,  59,  60,  61,  62,
                   63,  66,  71,  75,  76,  77,  78,  79,  80,  81,  98,  99,  118, 120, 140, 141,
                   142, 143, 144, 145, 146, 149, 152, 153, 172, 174, 180, 191, 205, 220, 239})
        EXPECT_NE(string_list_get(czech, id), nullptr) << id;
    for (const auto& [id, en] : english) {
        const char* cz = string_list_get(czech, static_cast<int>(id));
        ASSERT_NE(cz, nullptr) << "English text " << id << " translates nothing";
        EXPECT_EQ(conversions(en), conversions(cz)) << "formats of text " << id << " differ";
    }
}
