#pragma once
// Map files for the loader tests, made by the forge's writer: a small valid
// map model, byte-level edits of it, and a scratch maps folder.
#include <filesystem>
#include <string>
#include <vector>

#include "forge/map_writer.h"

namespace map_test {

// A 2 x 2 room (sectors 1-4, layer 0) plus sector 0: 1 2 in the top row,
// 3 4 below; three wall pictures, two floors, one ceiling, one arch pair.
// Start: sector 1 facing east.
forge::map_model small_map();

// The file of a model with its blocks in the writer's order.
std::vector<uint8_t> file_of(const forge::map_model& model);

// A scratch maps folder (path_table[PATH_MAPS] points at it while it lives).
class maps_folder {
  public:
    maps_folder();
    ~maps_folder();
    void write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    void write_text(const std::string& name, const std::string& text) const;
    const std::filesystem::path& path() const { return dir_; }

  private:
    std::filesystem::path dir_;
    std::string saved_maps_path_;
};

}  // namespace map_test
