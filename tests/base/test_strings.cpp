// String lists, numbered tables (plain and scrambled), text lines, code pages,
// CSV tables and the language folder.
#include <gtest/gtest.h>

#include "base/paths.h"
#include "base/strings.h"
#include "support/temp_folder.h"

namespace {
std::string game(const char* utf8) {
    return *utf8_to_game_codepage(utf8);
}
}  // namespace

TEST(StringList, SetGrowsToDoubleOrIndexAndAddFillsFirstHole) {
    string_list list = string_list_create(4);
    string_list_set(list, 5, "five");
    EXPECT_EQ(string_list_count(list), 8);
    string_list_set(list, 40, "forty");
    EXPECT_EQ(string_list_count(list), 41);
    EXPECT_EQ(string_list_add(list, "first"), 0);
    EXPECT_EQ(string_list_add(list, "second"), 1);
    string_list_set(list, 0, nullptr);
    EXPECT_EQ(string_list_get(list, 0), nullptr);
    EXPECT_EQ(string_list_add(list, "again"), 0);
    EXPECT_EQ(string_list_get(list, -1), nullptr);
    EXPECT_EQ(string_list_get(list, 1000), nullptr);
    EXPECT_EQ(string_list_set(list, -3, "x"), nullptr);
}

TEST(StringList, InsertShiftsAndCompactKeepsOrder) {
    string_list list = string_list_create(0);
    string_list_add(list, "a");
    string_list_add(list, "c");
    string_list_insert(list, 1, "b");
    string_list_set(list, 6, "d");
    EXPECT_STREQ(string_list_get(list, 1), "b");
    EXPECT_STREQ(string_list_get(list, 2), "c");
    string_list_compact(list);
    EXPECT_STREQ(string_list_get(list, 0), "a");
    EXPECT_STREQ(string_list_get(list, 3), "d");
    EXPECT_EQ(string_list_get(list, 4), nullptr);
    string_list_free(list);
    EXPECT_EQ(string_list_count(list), 0);
}

TEST(NumberedTable, RecordsBarsBlanksAndReplacement) {
    string_list list = string_list_create(4);
    EXPECT_EQ(parse_numbered_table(list, "12 Hello|world  \n5\n7\t\tTabbed \r\n7 again\n-1\nignored"), 0);
    EXPECT_STREQ(string_list_get(list, 12), "Hello\nworld");
    EXPECT_STREQ(string_list_get(list, 5), "");
    EXPECT_STREQ(string_list_get(list, 7), "again");
    EXPECT_EQ(string_list_get(list, 6), nullptr);
}

TEST(NumberedTable, MissingEndMarkKeepsRecordsButFails) {
    string_list list;
    EXPECT_EQ(parse_numbered_table(list, "1 one\n2 two\n"), TABLE_NO_END_MARK);
    EXPECT_STREQ(string_list_get(list, 2), "two");
    EXPECT_EQ(parse_numbered_table(list, ""), TABLE_NO_END_MARK);
}

TEST(NumberedTable, SyntaxErrorsReportTheirLine) {
    string_list list;
    EXPECT_EQ(parse_numbered_table(list, "; comment\n\n1 a\nxyz\n-1\n"), 4);
    EXPECT_EQ(parse_numbered_table(list, "1 a\r\n\r\n; c 1\r\n-\n"), 4);
    // Numbers that are not entry indexes are errors, not huge lists.
    EXPECT_EQ(parse_numbered_table(list, "1 a\n65536 big\n-1\n"), 2);
    EXPECT_EQ(parse_numbered_table(list, "99999999999999999999 big\n-1\n"), 1);
    EXPECT_EQ(parse_numbered_table(list, "-2 neg\n-1\n"), 1);
    EXPECT_LT(string_list_count(list), 70000);
    string_list top;
    EXPECT_EQ(parse_numbered_table(top, "65535 last\n-1\n"), 0);
    EXPECT_STREQ(string_list_get(top, 65535), "last");
}

TEST(NumberedTable, OverlongLineIsCutNotReadAsNextRecord) {
    std::string text = "1 " + std::string(1021, 'a') + "2 tail\n3 next\n-1\n";
    string_list list;
    EXPECT_EQ(parse_numbered_table(list, text), 0);
    EXPECT_EQ(std::string(string_list_get(list, 1)), std::string(1021, 'a'));
    EXPECT_EQ(string_list_get(list, 2), nullptr);
    EXPECT_STREQ(string_list_get(list, 3), "next");
}

TEST(NumberedTable, ReadsFileOrItsScrambledForm) {
    temp_folder dir;
    std::string text = "; texts\n1 " + game("Žluťoučký kůň") + "\n2 second\n-1\n";
    dir.write("plain.txt", text);
    dir.write("HIDDEN.ENC", scramble_enc(text));
    string_list plain, hidden;
    EXPECT_EQ(read_numbered_table(plain, dir / "plain.txt"), 0);
    EXPECT_EQ(string_list_count(plain), 256);
    EXPECT_EQ(read_numbered_table(hidden, dir / "hidden.txt"), 0);
    EXPECT_EQ(plain.entries, hidden.entries);
    EXPECT_EQ(std::string(string_list_get(hidden, 1)), game("Žluťoučký kůň"));
    string_list none;
    EXPECT_EQ(read_numbered_table(none, dir / "none.txt"), TABLE_NOT_FOUND);
}

TEST(NumberedTable, ScramblingIsUndoneByteForByte) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += char(i);
    EXPECT_EQ(unscramble_enc(scramble_enc(all)), all);
    EXPECT_EQ(unscramble_enc(std::string("\x01\x01\xFF", 3)), std::string("\x01\x02\x01", 3));
}

TEST(TextLines, LongLinesSplitAndLineEndsDropped) {
    temp_folder dir;
    std::string long_line(300, 'x');
    dir.write("a.adv", "first\r\n" + long_line + "\nlast");
    auto lines = read_text_lines(dir / "a.adv");
    ASSERT_TRUE(lines);
    ASSERT_EQ(string_list_count(*lines), 4);
    EXPECT_STREQ(string_list_get(*lines, 0), "first");
    EXPECT_EQ(std::string(string_list_get(*lines, 1)), std::string(255, 'x'));
    EXPECT_EQ(std::string(string_list_get(*lines, 2)), std::string(45, 'x'));
    EXPECT_STREQ(string_list_get(*lines, 3), "last");
    EXPECT_FALSE(read_text_lines(dir / "missing.adv"));
}

TEST(CodePage, CzechLettersRoundTripAndOtherBytesStay) {
    const char* letters = "áčďéěíĺľňóŕřšťúůýžÁČĎÉĚÍĹĽŇÓŔŘŠŤÚŮÝŽ";
    std::string g = game(letters);
    EXPECT_EQ(g.size(), 36u);
    std::string w = to_windows1250(g);
    EXPECT_EQ(static_cast<unsigned char>(w[0]), 0xE1);   // á
    EXPECT_EQ(static_cast<unsigned char>(w[35]), 0x8E);  // Ž
    EXPECT_EQ(to_game_codepage(w), g);
    EXPECT_EQ(game_codepage_to_utf8(g), letters);
    std::string plain = "ASCII stays: 0-9 \"quotes\" |\n";
    EXPECT_EQ(to_windows1250(plain), plain);
    EXPECT_EQ(to_game_codepage(plain), plain);
}

TEST(CodePage, Utf8OutsideTheCodePageIsRefusedWithOffset) {
    size_t bad = 0;
    EXPECT_FALSE(utf8_to_game_codepage("cena 5 €", &bad));
    EXPECT_EQ(bad, 7u);
    EXPECT_FALSE(utf8_to_game_codepage("\xE1", &bad));  // a Latin-1 byte, not UTF-8
    EXPECT_FALSE(utf8_to_game_codepage("ö", &bad));
}

TEST(Csv, QuotedFieldsWithDoubledQuotesSpanLines) {
    auto table = parse_csv_table(
        "extra,string,id\r\n"
        "x,\"He said \"\"hi\"\"\",1\r\n"
        "\x01\x02y,\"two\nlines\" junk,2\n"
        "z,plain,3\n"
        "z,,4\n"
        "z,\"unterminated");
    EXPECT_EQ(table[1], "He said \"hi\"");
    EXPECT_EQ(table[2], "two\nlines");
    EXPECT_EQ(table[3], "plain");
    EXPECT_EQ(table[4], "");
    EXPECT_EQ(table.size(), 4u);
}

TEST(Csv, RecordsKnowTheirLineAndBadIdsAreSkipped) {
    auto records = parse_csv_records("id,string\n1,\"a\nb\"\nx,skipped\n99999999999,big\n\n7,seven\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].line, 2);
    EXPECT_EQ(records[1].id, 7);
    EXPECT_EQ(records[1].line, 7);
    EXPECT_TRUE(parse_csv_records("name,text\n1,a\n").empty());
}

TEST(Csv, WrittenTableReadsBackInTheGameCodePage) {
    temp_folder dir;
    string_list list;
    string_list_set(list, 3, game("Řekl \"ahoj\"\na šel").c_str());
    string_list_set(list, 10, "ten");
    std::string text = csv_table_text(list);
    EXPECT_EQ(text.substr(0, 10), "id,string\n");
    EXPECT_NE(text.find("3,\"\xD8"
                        "ekl \"\"ahoj\"\"\na \x9A"
                        "el\"\n"),
              std::string::npos);
    ASSERT_EQ(write_csv_table(dir / "t.csv", list), 0);
    auto back = read_csv_table(dir / "t.csv");
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)[3], *list.entries[3]);
    EXPECT_EQ((*back)[10], "ten");
}

TEST(Csv, EmptyListIsNotStoredAndUnwritablePathFails) {
    temp_folder dir;
    string_list empty = string_list_create(10);
    testing::internal::CaptureStdout();
    EXPECT_EQ(write_csv_table(dir / "e.csv", empty), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Empty string table not stored: " + dir / "e.csv" + "\n");
    EXPECT_FALSE(file_exists(dir / "e.csv"));
    string_list one;
    string_list_set(one, 0, "x");
    testing::internal::CaptureStderr();
    EXPECT_EQ(write_csv_table(dir / "no/such/folder.csv", one), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Failed to open " + dir / "no/such/folder.csv" + " for writing\n");
}

TEST(Extension, ReplacedFromFirstDotOfLastComponent) {
    EXPECT_EQ(replace_extension("POPISY.TXT", ".ENC"), "POPISY.ENC");
    EXPECT_EQ(replace_extension("a.b/c\\name", ".csv"), "a.b/c\\name.csv");
    EXPECT_EQ(replace_extension("dir/x.tar.gz", ".csv"), "dir/x.csv");
}

TEST(Language, OverrideReplacesOnlyExistingEntries) {
    temp_folder dir;
    dir.write("lang/en/map_LEVEL.csv", "id,string\n1,One\n3,Three\n200,Beyond\n");
    string_list list = string_list_create(4);
    string_list_set(list, 1, "jedna");
    set_language_folder(nullptr);
    override_from_language(list, "LEVEL.MAP", "map_");
    EXPECT_STREQ(string_list_get(list, 1), "jedna");
    set_language_folder((dir / "lang/en").c_str());
    override_from_language(list, "LEVEL.MAP", "map_");
    EXPECT_STREQ(string_list_get(list, 1), "One");
    EXPECT_STREQ(string_list_get(list, 3), "Three");
    EXPECT_EQ(string_list_count(list), 4);
    override_from_language(list, "MISSING.MAP", "map_");
    EXPECT_STREQ(string_list_get(list, 1), "One");

    EXPECT_TRUE(language_file("MAP_level.CSV"));
    EXPECT_FALSE(language_file("book.txt"));
    auto table = open_language_table("map_LEVEL.txt");
    ASSERT_TRUE(table);
    EXPECT_STREQ(language_text(&*table, 200, "d"), "Beyond");
    EXPECT_STREQ(language_text(&*table, 2, "d"), "d");
    EXPECT_STREQ(language_text(nullptr, 1, "d"), "d");
    set_language_folder(nullptr);
    EXPECT_EQ(language_folder(), nullptr);
    EXPECT_FALSE(open_language_table("map_LEVEL.txt"));
}

TEST(UiStrings, BuiltInTextsAndTranslation) {
    temp_folder dir;
    dir.write("POPISY.TXT", "0 mine\n51 mine\n98 Own title\n144 mine\n200 " + game("Šíp") + "\n-1\n");
    dir.write("lang/xx/ui.csv", "id,string\n200,Arrow\n");
    reset_folder_settings();
    path_table[PATH_DATA] = dir.path();
    set_language_folder((dir / "lang/xx").c_str());
    ASSERT_EQ(load_ui_strings(false), 0);
    EXPECT_STREQ(string_list_get(ui_strings, 98), "Own title");
    EXPECT_STREQ(string_list_get(ui_strings, 99), "CRT Filter (>720p)");
    EXPECT_EQ(std::string(string_list_get(ui_strings, 144)), game("Zrychlit souboje"));
    EXPECT_EQ(std::string(string_list_get(ui_strings, 51)),
              game("Celkově Hudba Efekty  Výšky  Basy Rychlost"));
    EXPECT_EQ(std::string(string_list_get(ui_strings, 0)).substr(0, 30),
              game("Byl nalezen připojený ovladač\n"));
    EXPECT_EQ(std::string(string_list_get(ui_strings, 200)), game("Šíp"));
    ASSERT_EQ(load_ui_strings(true), 0);
    EXPECT_STREQ(string_list_get(ui_strings, 200), "Arrow");
    set_language_folder(nullptr);
    reset_folder_settings();
}
