// A fatal data error raised while the display thread runs ends the program
// cleanly: the message on stderr and exit code 1, never a crash or a hang.
// The program is run many times, several at once, to catch a race between
// the exit and the display thread.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/temp_folder.h"

namespace {
constexpr int RUNS = 50;
constexpr int AT_ONCE = 5;

// A virtual X server for the runs when Xvfb is installed: the real renderer
// then presents through the software GL driver, as on a desktop. Without it
// the runs use SDL's dummy video driver.
class virtual_screen {
  public:
    virtual_screen() {
        if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) return;
        const int number = 150 + static_cast<int>(getpid() % 400);
        const std::string name = ":" + std::to_string(number);
        pid_ = fork();
        if (pid_ == 0) {
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        struct stat st;
        for (int i = 0; i < 100 && stat(socket.c_str(), &st) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (stat(socket.c_str(), &st) == 0) display_ = name;
    }
    ~virtual_screen() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    virtual_screen(const virtual_screen&) = delete;
    virtual_screen& operator=(const virtual_screen&) = delete;

    // The environment of a run: this screen, or the dummy video driver.
    std::string environment() const {
        if (display_.empty()) return "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy";
        return "env -u WAYLAND_DISPLAY DISPLAY=" + display_;
    }

  private:
    pid_t pid_ = -1;
    std::string display_;
};

// The demo's archive with the first entry's offset pushed past the end of the
// directory: the archive maps, but its directory does not fit the file.
std::string damaged_archive() {
    std::string bytes = read_file(VORTHAN_DEMO_DIR "/VORTHAN.DDL");
    const uint32_t past_the_end = 8 + 16 * 100000;
    for (int i = 0; i < 4; ++i) bytes[20 + i] = static_cast<char>(past_the_end >> (8 * i));
    return bytes;
}
}  // namespace

TEST(FatalExit, DamagedArchiveEndsWithItsMessageWhileTheDisplayRuns) {
    temp_folder dir;
    dir.write("game.ini", "[paths]\nroot = " + dir.path() + "/root\n");
    dir.write("root/POPISY.TXT", read_file(VORTHAN_DEMO_DIR "/POPISY.TXT"));
    dir.write("root/VORTHAN.DDL", damaged_archive());
    virtual_screen screen;

    // Each run writes its exit code and its stderr into files of its number.
    const std::string one_run = "cd '" + dir.path() + "' && " + screen.environment() +
                                " SDL_AUDIODRIVER=dummy VORTHAN_NO_MESSAGE_BOX=1 HOME='" + dir.path() +
                                "' XDG_DATA_HOME='" + dir.path() +
                                "/xdg' ASAN_OPTIONS=detect_leaks=0 timeout -k 5 20 " VORTHAN_EXE
                                " -f game.ini >/dev/null 2>run\\$0.err; echo \\$? >run\\$0.code";
    const std::string command = "seq " + std::to_string(RUNS) + " | xargs -P " + std::to_string(AT_ONCE) +
                                " -I{} sh -c \"" + one_run + "\" {}";
    ASSERT_EQ(std::system(command.c_str()), 0);

    int clean = 0;
    for (int i = 1; i <= RUNS; ++i) {
        const std::string code = read_file(dir / ("run" + std::to_string(i) + ".code"));
        const std::string err = read_file(dir / ("run" + std::to_string(i) + ".err"));
        EXPECT_EQ(code, "1\n") << "run " << i << ":\n" << err;
        EXPECT_EQ(err.find("Failed to map file:"), 0u) << "run " << i << ":\n" << err;
        EXPECT_NE(err.find("\n\n Reason: "), std::string::npos) << "run " << i;
        clean += code == "1\n" && err.find("Failed to map file:") == 0;
    }
    EXPECT_EQ(clean, RUNS);
}
