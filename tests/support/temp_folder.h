#pragma once
// A fresh folder under /tmp for one test, removed afterwards; the test's
// current folder is restored too.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

class temp_folder {
  public:
    temp_folder() {
        char pattern[] = "/tmp/vorthan-test-XXXXXX";
        path_ = mkdtemp(pattern);
        saved_cwd_ = std::filesystem::current_path();
    }
    ~temp_folder() {
        std::error_code ec;
        std::filesystem::current_path(saved_cwd_, ec);
        std::filesystem::remove_all(path_, ec);
    }
    temp_folder(const temp_folder&) = delete;
    temp_folder& operator=(const temp_folder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

    // Writes bytes into a file below the folder, creating sub-folders.
    std::string write(std::string_view name, std::string_view bytes) const {
        std::string full = *this / name;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream out(full, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return full;
    }
    std::string mkdir(std::string_view name) const {
        std::string full = *this / name;
        std::filesystem::create_directories(full);
        return full;
    }
    void enter() const { std::filesystem::current_path(path_); }

  private:
    std::string path_;
    std::filesystem::path saved_cwd_;
};

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
