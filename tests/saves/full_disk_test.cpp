// Saves made where the disk takes no more: a child process whose files may not
// grow past a limit (the way a full disk stops a write part way), with SIGXFSZ
// ignored so that the write fails instead of the process dying.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "saves/saved_game.h"

namespace {

std::string fresh_folder(const char* name) {
    auto dir = std::filesystem::temp_directory_path() / ("vorthan_full_disk_" + std::to_string(getpid())) / name;
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
