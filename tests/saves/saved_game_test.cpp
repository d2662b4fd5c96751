#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "saves/save_list.h"
#include "saves/saved_game.h"

namespace {

std::string fresh_folder(const char* name) {
    auto dir = std::filesystem::temp_directory_path() / ("vorthan_saves_" + std::to_string(getpid())) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

temp_bytes file_bytes(const std::string& path) {
    auto game = std::filesystem::file_size(path);
    temp_bytes out(game);
    FILE* f = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(std::fread(out.data(), 1, out.size(), f), out.size());
    std::fclose(f);
    return out;
}

}  // namespace

TEST(SavedGame, ExampleStoreGivesTheDocumentedBytes) {
    temp_store store;
    store.create("a", temp_bytes{1, 2});
    temp_bytes expected = {0x54, 0x65, 0x73, 0x74};
    expected.resize(32, 0);
    for (uint8_t b : {0x01, 0x61, 0x02, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00}) expected.push_back(b);
    EXPECT_EQ(saved_game_bytes("Test", store), expected);
}

TEST(SavedGame, RoundTripKeepsEntriesInByteOrderAndCutsLongNames) {
    temp_store store;
    std::string long_name(300, 'n');
    store.create(long_name, temp_bytes{7});
    store.create("_GAME.TMP", temp_bytes(76, 3));
    store.create("CELLARS.MAP", temp_bytes{});
    store.create(
        "\xC8"
        "ERV.MAP",
        temp_bytes{5, 6});
    std::string folder = fresh_folder("round_trip");
    std::string path = folder + "/sav.00000001.00000002";
    ASSERT_TRUE(write_saved_game(path, "A description longer than thirty-one", store));

    auto game = read_saved_game_file(path);
    ASSERT_TRUE(game);
    EXPECT_EQ(game->description, "A description longer than thirt");
    std::vector<std::string> names;
    game->store.for_each([&](const std::string& name, const temp_bytes&) { names.push_back(name); });
    EXPECT_EQ(names, (std::vector<std::string>{"CELLARS.MAP", "_GAME.TMP", std::string(255, 'n'),
                                               "\xC8"
                                               "ERV.MAP"}));
    EXPECT_EQ(game->store.size("_GAME.TMP"), 76);
    EXPECT_EQ(read_saved_game_description(path), "A description longer than thirt");
    // Nothing else is left in the folder: the temporary was renamed.
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
}

TEST(SavedGame, ShortOrCorruptFilesGiveNothing) {
    temp_store store;
    store.create("a", temp_bytes{1, 2});
    store.create("b", temp_bytes(10, 4));
    temp_bytes good = saved_game_bytes("Test", store);
    ASSERT_TRUE(read_saved_game(good));
    for (size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(read_saved_game(std::span(good.data(), cut))) << "cut at " << cut;

    temp_bytes huge = good;
    huge[32 + 2] = 0xFF;  // the first entry claims more data than there is
    EXPECT_FALSE(read_saved_game(huge));

    // The live store switches only to a file that reads whole.
    std::string folder = fresh_folder("load");
    std::string path = folder + "/sav.00000001.06000000";
    ASSERT_TRUE(write_saved_game(path, "Saved", store));
    temp_store live;
    live.create("CELLARS.MAP", temp_bytes{9, 9});
    std::filesystem::resize_file(path, good.size() - 1);
    EXPECT_FALSE(load_saved_game_into(path, live));
    EXPECT_FALSE(load_saved_game_into(folder + "/missing", live));
    EXPECT_EQ(live.size("CELLARS.MAP"), 2);
    ASSERT_TRUE(write_saved_game(path, "Saved", store));
    std::string description;
    ASSERT_TRUE(load_saved_game_into(path, live, &description));
    EXPECT_EQ(description, "Saved");
    EXPECT_EQ(live, store);

    // A description without its NUL is cut to 31 characters.
    temp_bytes full = good;
    std::fill(full.begin(), full.begin() + 32, 'x');
    auto game = read_saved_game(full);
    ASSERT_TRUE(game);
    EXPECT_EQ(game->description, std::string(31, 'x'));
}

TEST(SavedGame, FailedWriteReturnsFalseAndLeavesTheOlderFile) {
    std::string folder = fresh_folder("failed");
    temp_store older;
    older.create("a", temp_bytes{1});
    std::string path = folder + "/sav.00000001.00000002";
    ASSERT_TRUE(write_saved_game(path, "Older", older));
    temp_bytes before = file_bytes(path);

    // The temporary next to the target cannot be created: a folder has its name.
    std::string blocker = path + ".tmp" + std::to_string(getpid());
    ASSERT_EQ(::mkdir(blocker.c_str(), 0755), 0);
    temp_store newer;
    newer.create("b", temp_bytes(1000, 2));
    EXPECT_FALSE(write_saved_game(path, "Newer", newer));
    EXPECT_EQ(file_bytes(path), before);
    ::rmdir(blocker.c_str());

    EXPECT_FALSE(write_saved_game(folder + "/no such folder/sav.00000001.00000003", "New", newer));
    EXPECT_FALSE(std::filesystem::exists(folder + "/no such folder"));
}

TEST(SavedGame, ASaveRemovesTheTemporariesOfSaversThatNoLongerRun) {
    std::string folder = fresh_folder("leftovers");
    pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    auto touch = [&](const std::string& name) {
        std::fclose(std::fopen((folder + "/" + name).c_str(), "wb"));
    };
    const std::string dead = "sav.00000001.00000002.tmp" + std::to_string(gone);
    const std::string dead_autosave = "sav.00000001.00000003-autosave.TMP" + std::to_string(gone);
    const std::string running = "sav.00000001.00000004.tmp" + std::to_string(getpid());
    const std::string not_a_save = "notes.tmp" + std::to_string(gone);
    for (const std::string& name : {dead, dead_autosave, running, not_a_save}) touch(name);

    temp_store store;
    store.create("a", temp_bytes{1});
    ASSERT_TRUE(write_saved_game(folder + "/sav.00000001.00000005", "New", store));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{not_a_save, running, "sav.00000001.00000005"}));
}
