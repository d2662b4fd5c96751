// The atomic writer flushes the new file and then, once it is renamed into
// place, its folder: only then is a write reported done, so that a power loss
// cannot bring the older file back. fsync is wrapped here to see what is flushed.
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/file_write.h"

namespace {

struct flush {
    std::string path;
    bool target_in_place = false;  // the written file under its own name at that moment
};
std::vector<flush> flushes;
std::string watched_target;

std::string path_of_fd(int fd) {
    char link[64], target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = ::readlink(link, target, sizeof target - 1);
    return n > 0 ? std::string(target, size_t(n)) : std::string();
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int fsync(int fd) {
    flushes.push_back({path_of_fd(fd), !watched_target.empty() && std::filesystem::exists(watched_target)});
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

TEST(AtomicWrite, FileAndThenItsFolderAreFlushedBeforeTheWriteIsDone) {
    auto folder = std::filesystem::canonical(std::filesystem::temp_directory_path()) /
                  ("vorthan_file_write_" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    watched_target = (folder / "sav.00000001.00000002").string();

    flushes.clear();
    ASSERT_TRUE(write_file_atomic(watched_target, "first"));
    ASSERT_EQ(flushes.size(), 2u);
    EXPECT_EQ(flushes[0].path, watched_target + ".tmp" + std::to_string(getpid()));
    EXPECT_FALSE(flushes[0].target_in_place);
    EXPECT_EQ(flushes[1].path, folder.string());
    EXPECT_TRUE(flushes[1].target_in_place);

    // Replacing a file flushes the same way and leaves only the new file.
    flushes.clear();
    ASSERT_TRUE(write_file_atomic(watched_target, "second"));
    ASSERT_EQ(flushes.size(), 2u);
    EXPECT_EQ(flushes[1].path, folder.string());
    EXPECT_EQ(contents(watched_target), "second");
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
    watched_target.clear();
    std::filesystem::remove_all(folder);
}
