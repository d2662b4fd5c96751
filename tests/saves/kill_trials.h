#pragma once
// Trials of a saver killed at random moments: a forked child saves numbered
// generations in a loop and reports each finished one through a pipe; the
// parent kills it with SIGKILL after a random delay and then checks the folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "saves/save_list.h"

// What the trials save and how they read it back.
struct kill_trial_target {
    virtual ~kill_trial_target() = default;
    // Saves generation g (run in the child, and in the parent before the trials).
    virtual bool save(uint32_t generation) = 0;
    // The file that generation g is saved to; generations g and g + slots()
    // share a file.
    virtual std::string path_of(uint32_t generation) = 0;
    virtual uint32_t slots() const = 0;
    // The generation a file holds when it reads whole and is exactly that
    // generation's game; nothing otherwise.
    virtual std::optional<uint32_t> read(const std::string& path) = 0;
    // The generation a whole load of the file brings back (the last reported
    // save is loaded this way); by default what read finds.
    virtual std::optional<uint32_t> load(const std::string& path) { return read(path); }
};

struct kill_trial_figures {
    int trials = 0;
    long saves_completed = 0;
    int kills_inside_a_save = 0;  // the child's temporary was left behind
    int unreadable_files = 0;     // listed saves that do not read whole
    int games_lost = 0;           // the last reported save does not load
    int saver_failures = 0;       // the child stopped by itself (a save failed)
    int temporaries_left = -1;    // after one more save once the trials are over
    double save_ms = 0;           // one save, measured before the trials
};

// An empty folder on the build's disk for one test.
inline std::string kill_trial_folder(const char* name) {
    auto dir = std::filesystem::path(VORTHAN_BINARY_DIR) / "test-home" /
               ("kill_trials_" + std::to_string(getpid())) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

// Removes a folder of kill_trial_folder, and the process's folder once empty.
inline void remove_kill_trial_folder(const std::string& folder) {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    std::filesystem::remove(std::filesystem::path(folder).parent_path(), error);
}

namespace kill_trials_detail {

inline std::vector<uint32_t> reported_generations(int fd) {
    std::vector<uint32_t> out;
    uint8_t buffer[4096];
    std::vector<uint8_t> all;
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        all.insert(all.end(), buffer, buffer + n);
    }
    for (size_t i = 0; i + 4 <= all.size(); i += 4)
        out.push_back(uint32_t(all[i]) | uint32_t(all[i + 1]) << 8 | uint32_t(all[i + 2]) << 16 |
                      uint32_t(all[i + 3]) << 24);
    return out;
}

[[noreturn]] inline void run_saver(kill_trial_target& target, uint32_t first, int fd) {
    // Ready: the parent's delay starts here, whatever the fork cost.
    if (::write(fd, "R", 1) != 1) ::_exit(4);
    // Bounded, in case the parent's kill never comes.
    for (uint32_t g = first; g < first + 100000; ++g) {
        if (!target.save(g)) ::_exit(3);
        uint8_t word[4] = {uint8_t(g), uint8_t(g >> 8), uint8_t(g >> 16), uint8_t(g >> 24)};
        if (::write(fd, word, 4) != 4) ::_exit(4);
    }
    ::_exit(5);
}

}  // namespace kill_trials_detail

// Runs the trials in `folder` and returns what they counted; every fault is
// also reported through a test failure naming the trial.
inline kill_trial_figures run_kill_trials(kill_trial_target& target, const std::string& folder, int trials,
                                          uint32_t seed) {
    using clock = std::chrono::steady_clock;
    kill_trial_figures figures;

    // Every slot holds a save before the first kill, so kills land on replacements.
    auto start = clock::now();
    for (uint32_t g = 0; g < target.slots(); ++g)
        if (!target.save(g)) {
            ADD_FAILURE() << "the first saves fail";
            return figures;
        }
    figures.save_ms =
        std::chrono::duration<double, std::milli>(clock::now() - start).count() / target.slots();
    // Kills fall anywhere within the child's first few saves. A child's first
    // save can be slower than the parent's (its pages are copied as it writes
    // them), so the window follows what the children manage.
    long window_us = static_cast<long>(figures.save_ms * 4000) + 1000;

    std::mt19937 random(seed);
    uint32_t next = target.slots();
    for (int trial = 0; trial < trials; ++trial) {
        int fds[2];
        if (::pipe(fds) != 0) {
            ADD_FAILURE() << "pipe";
            break;
        }
        pid_t child = ::fork();
        if (child < 0) {
            ADD_FAILURE() << "fork";
            break;
        }
        if (child == 0) {
            ::close(fds[0]);
            kill_trials_detail::run_saver(target, next, fds[1]);
        }
        ::close(fds[1]);
        char ready = 0;
        while (::read(fds[0], &ready, 1) < 0 && errno == EINTR) {
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<long>(0, window_us)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        std::vector<uint32_t> reported = kill_trials_detail::reported_generations(fds[0]);
        ::close(fds[0]);
        ++figures.trials;
        figures.saves_completed += long(reported.size());
        if (reported.empty())
            window_us = std::min(window_us * 3 / 2, 1000000L);
        else if (reported.size() > 4)
            window_us = std::max(window_us * 3 / 4, 1000L);
        if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)) {
            ++figures.saver_failures;
            ADD_FAILURE() << "trial " << trial << ": the saver stopped by itself, status " << status;
        }

        // Every file is a listed save that reads whole or an unlisted temporary.
        std::set<std::string> listed;
        for (const save_list_row& row : build_save_list(folder, 0, false)) listed.insert(row.name);
        uint32_t newest = next - 1;
        std::string temporary_suffix = ".tmp" + std::to_string(child);
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::string name = entry.path().filename().string();
            if (listed.count(name)) {
                std::optional<uint32_t> generation = target.read(entry.path().string());
                if (!generation) {
                    ++figures.unreadable_files;
                    ADD_FAILURE() << "trial " << trial << ": " << name << " does not read whole";
                } else {
                    newest = std::max(newest, *generation);
                }
            } else if (name.find(".tmp") != std::string::npos) {
                if (name.ends_with(temporary_suffix)) ++figures.kills_inside_a_save;
            } else {
                ++figures.unreadable_files;
                ADD_FAILURE() << "trial " << trial << ": " << name << " is neither a save nor a temporary";
            }
        }

        // The last save reported finished loads: its file holds that
        // generation or a later one of the same slot that finished unreported.
        if (!reported.empty()) {
            uint32_t last = reported.back();
            std::optional<uint32_t> held = target.load(target.path_of(last));
            if (!held || *held < last || (*held - last) % target.slots() != 0) {
                ++figures.games_lost;
                ADD_FAILURE() << "trial " << trial << ": generation " << last << " was reported saved but "
                              << (held ? "the file holds " + std::to_string(*held)
                                       : std::string("does not load"));
            }
            newest = std::max(newest, last);
        }
        next = newest + 1;
    }

    // The next save clears what the killed savers left.
    if (!target.save(next)) ADD_FAILURE() << "the save after the trials fails";
    figures.temporaries_left = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find(".tmp") != std::string::npos) ++figures.temporaries_left;
    return figures;
}

inline void print_kill_trial_figures(const char* what, const kill_trial_figures& f) {
    std::printf(
        "[ figures  ] %s: %d trials, %ld saves finished, %d kills inside a save, %d unreadable files, "
        "%d games lost, %d temporaries left after the next save (one save %.2f ms)\n",
        what, f.trials, f.saves_completed, f.kills_inside_a_save, f.unreadable_files, f.games_lost,
        f.temporaries_left, f.save_ms);
}
