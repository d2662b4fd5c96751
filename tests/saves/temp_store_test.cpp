#include <gtest/gtest.h>

#include "saves/temp_store.h"
#include "world/map.h"

TEST(TempStore, EntriesAreVisitedInByteOrderAndMissingOnesReportMinusOne) {
    temp_store store;
    store.create("b", "22", 2);
    store.create("\xE9t\xE9", "3", 1);  // a byte above 127 sorts after every ASCII name
    store.create("a", "1", 1);
    store.create("_GAME.TMP", "", 0);
    std::vector<std::string> names;
    store.for_each([&](const std::string& name, const temp_bytes&) { names.push_back(name); });
    EXPECT_EQ(names, (std::vector<std::string>{"_GAME.TMP", "a", "b", "\xE9t\xE9"}));

    EXPECT_EQ(store.size("missing"), -1);
    EXPECT_EQ(store.size("_GAME.TMP"), 0);
    char buffer[8] = {};
    EXPECT_EQ(store.read_all("missing", buffer, sizeof buffer), -1);
    EXPECT_EQ(store.read_all("b", buffer, 1), 1);
    EXPECT_EQ(store.read_all("b", buffer, sizeof buffer), 2);
    EXPECT_FALSE(store.open_read("missing"));

    store.remove("b");
    EXPECT_EQ(store.size("b"), -1);
    store.clear();
    EXPECT_TRUE(store.entries().empty());
}

TEST(TempStore, WritersEmptyOrAppendAndReadersKeepTheirOwnCopy) {
    temp_store store;
    store.create("log", "old\n", 4);
    store.open_append("log").write("new\n", 4);
    auto reader = store.open_read("log");
    ASSERT_TRUE(reader);
    store.open_write("log").write("x", 1);
    EXPECT_EQ(store.size("log"), 1);
    EXPECT_EQ(reader->size(), 8u);  // the reader still sees the bytes it was opened on

    temp_writer empty = store.open_write("fresh");
    EXPECT_EQ(store.size("fresh"), 0);
    store.remove("fresh");
    empty.write("ab", 2);
    EXPECT_EQ(store.size("fresh"), 2);
}

TEST(TempReader, ReadsSkipsCharactersAndLinesUpToTheEnd) {
    temp_reader r = temp_reader::over_text("ab\nlonger line\nlast");
    EXPECT_EQ(r.getc(), 'a');
    r.ungetc();
    char line[6];
    ASSERT_TRUE(r.read_line(line, sizeof line));
    EXPECT_STREQ(line, "ab\n");
    ASSERT_TRUE(r.read_line(line, sizeof line));
    EXPECT_STREQ(line, "longe");  // at most size - 1 characters
    r.skip(7);
    char rest[16] = {};
    EXPECT_EQ(r.read(rest, sizeof rest), 4u);
    EXPECT_STREQ(rest, "last");
    EXPECT_EQ(r.getc(), -1);
    EXPECT_FALSE(r.read_line(line, sizeof line));
    EXPECT_STREQ(line, "");
    r.skip(100);
    EXPECT_EQ(r.read(rest, 1), 0u);
    r.ungetc();
    EXPECT_EQ(r.getc(), 't');
}

TEST(TempStore, InstalledStoreHoldsTheWorldsMapStateFiles) {
    install_temp_store_for_maps();
    game_store().clear();
    map_store_write("CELLARS.MAP", {1, 2, 3});
    EXPECT_EQ(game_store().size("CELLARS.MAP"), 3);
    game_store().create("OTHER.MAP", temp_bytes{9});
    std::vector<uint8_t> data;
    ASSERT_TRUE(map_store_read("OTHER.MAP", data));
    EXPECT_EQ(data, std::vector<uint8_t>{9});
    EXPECT_FALSE(map_store_read("NEVER.MAP", data));
    set_map_state_store({});
    game_store().clear();
}
