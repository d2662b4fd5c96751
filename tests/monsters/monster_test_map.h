#pragma once
// A loaded map of ten sectors (1-9 places, sector 0 none) and a scratch
// enemies folder for the monsters' .SEQ and .COL files; the map's handles and
// the monster table are cleared when it goes.
#include <filesystem>
#include <string>
#include <vector>

#include "monsters/monster_record.h"

namespace monster_test {

class monster_map {
  public:
    monster_map();
    ~monster_map();
    void write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    // A .SEQ list with the same line for every kind.
    void write_seq(const std::string& anim_name, const std::string& line = "0123456789") const;

  private:
    std::filesystem::path dir_;
    std::string saved_path_;
};

// A definition: number, six-letter animation name, speed 4, every frame count 1.
monster definition(int number, const char* anim_name);
// A placement block entry.
void add_placement(std::vector<uint8_t>& block, int sector, int number, int direction = 0);

constexpr uint16_t FIRST = 0x0300;  // where the tests' animation sets begin

}  // namespace monster_test
