// Saves made where the disk takes no more: a child process whose files may not
// grow past a limit (the way a full disk stops a write part way), with SIGXFSZ
// ignored so that the write fails instead of the process dying.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "base/paths.h"
#include "fresh_game.h"
#include "rules/items.h"
#include "rules/party.h"
#include "rules/shops/shops.h"
#include "rules/spells/spells.h"
#include "saves/game_save.h"
#include "saves/save_list.h"
#include "saves/saved_game.h"
#include "world/map_scripts.h"
#include "world/party_standin.h"

namespace {

std::string fresh_folder(const char* name) {
    auto dir =
        std::filesystem::temp_directory_path() / ("vorthan_full_disk_" + std::to_string(getpid())) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

temp_store store_of(size_t map_size, uint8_t fill) {
    temp_store store;
    store.create("cellars.map", temp_bytes(map_size, fill));
    store.create("_GAME.TMP", temp_bytes(3000, fill));
    store.create("playtime", temp_bytes{1, 0, 0, 0});
    return store;
}

// Runs `body` in a child whose files may grow to `limit` bytes; its result is
// the child's exit code (-1 when the child died of a signal).
int run_with_file_limit(rlim_t limit, const std::function<int()>& body) {
    pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit r{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &r) != 0) ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What the game above the saves is told of failures.
struct failures_world final : saves_world {
    std::vector<std::string> messages;
    std::vector<bool> autosaves;
    void save_failed(const std::string& message, bool autosave) override {
        messages.push_back(message);
        autosaves.push_back(autosave);
    }
};

// A small game in progress, saved into its own folder.
class FullDiskGame : public ::testing::Test {
  protected:
    failures_world world;
    std::string folder;

    void SetUp() override {
        folder = fresh_folder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        item_def dagger;
        std::strcpy(dagger.name, "Dagger");
        start_fresh_game(folder, world, {dagger});
        party_members[0].used = 1;
        std::strcpy(party_members[0].name, "Tomas");
        party_state.gold = 100;
    }
    void TearDown() override { set_saves_world(nullptr); }

    // A long story log makes the next save far larger than the file limit.
    static void write_a_long_story() {
        for (int line = 0; line < 4000; ++line) story_append("The party walked on through the dark cellars.");
    }
};

}  // namespace

TEST(FullDisk, SaveThatDoesNotFitFailsAndKeepsTheOlderSaveWhole) {
    std::string folder = fresh_folder("write");
    std::string path = folder + "/sav.00000001.00000100";
    temp_store older = store_of(20000, 1);
    ASSERT_TRUE(write_saved_game(path, "Older", older));

    int code = run_with_file_limit(100000, [&] {
        // A save under the limit still goes through; the larger one does not.
        if (!write_saved_game(folder + "/sav.00000001.00000101", "Small", store_of(50000, 2))) return 1;
        return write_saved_game(path, "Newer", store_of(300000, 3)) ? 2 : 0;
    });
    EXPECT_EQ(code, 0) << "1: the small save failed; 2: the large save reported success";

    auto game = read_saved_game_file(path);
    ASSERT_TRUE(game) << "the older save no longer reads";
    EXPECT_EQ(game->description, "Older");
    EXPECT_EQ(game->store, older);
    // The cut-off temporary went with the failure.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"sav.00000001.00000100", "sav.00000001.00000101"}));
}

TEST_F(FullDiskGame, SaveGameSaysItFailedAndTheOlderSaveOfThatNameStillLoads) {
    ASSERT_EQ(save_game(0x100, "Older", false), 0);
    const std::string name = saved_game_name(game_identity(), 0x100, false);
    const std::string expected = "Failed to create savegame at path " + folder + "/" + name;

    int code = run_with_file_limit(64 * 1024, [&] {
        party_state.gold = 200;
        write_a_long_story();
        if (save_game(0x100, "Newer", false) == 0) return 1;
        if (world.messages != std::vector<std::string>{expected} ||
            world.autosaves != std::vector<bool>{false})
            return 2;
        return 0;
    });
    EXPECT_EQ(code, 0) << "1: the save reported success; 2: not the failure message expected";

    party_state.gold = 0;
    ASSERT_EQ(load_game(name), 0);
    EXPECT_EQ(party_state.gold, 100);
    EXPECT_EQ(read_saved_game_description(folder + "/" + name), "Older");
}

TEST_F(FullDiskGame, FailedAutosaveKeepsTheOlderAutosaves) {
    set_game_identity(0x5eed0002);
    ASSERT_EQ(save_game(0x100, "Older autosave", true), 0);
    const std::string older = saved_game_name(0x5eed0002, 0x100, true);

    int code = run_with_file_limit(64 * 1024, [&] {
        write_a_long_story();
        if (autosave() == 0) return 1;
        if (world.autosaves != std::vector<bool>{true}) return 2;
        return 0;
    });
    EXPECT_EQ(code, 0) << "1: the autosave reported success; 2: the failure was not told as an autosave's";

    std::vector<save_list_row> rows = build_save_list(folder, 0x5eed0002, false);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, older);
    ASSERT_EQ(load_game(older), 0);
}
