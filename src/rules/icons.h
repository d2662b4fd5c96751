// The icon libraries IKONY00.LIB, IKONY01.LIB, ...: each a plain run of 18
// pictures of 45 x 55 pixels with their palettes, 2993 bytes apiece.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/events_cursor.h"  // ICONS_PER_LIBRARY: the cursor draws from the same libraries

constexpr int ICON_WIDTH = 45;
constexpr int ICON_HEIGHT = 55;
constexpr int ICON_HEADER_BYTES = 6;
constexpr int ICON_PALETTE_BYTES = 512;
constexpr int ICON_PICTURE_BYTES = ICON_HEADER_BYTES + ICON_PALETTE_BYTES + ICON_WIDTH * ICON_HEIGHT;
static_assert(ICON_PICTURE_BYTES == ICON_SIZE, "the cursor reads icons of the same size");

// "IKONY%02d.LIB".
std::string icon_library_name(int library);

// How many libraries exist: names are tried from 00 up to the first missing one.
int count_icon_libraries(const std::function<bool(const std::string& name)>& exists);

class icon_libraries {
  public:
    // Adds the next library (number = libraries added so far).
    void add_library(std::vector<uint8_t> bytes);
    int library_count() const { return static_cast<int>(libraries_.size()); }

    // The 2993 bytes of icon `icon` (picture icon % 18 of library icon / 18),
    // or an empty span when that library is not present or too short: such
    // an icon draws nothing.
    std::span<const uint8_t> icon_picture(uint16_t icon) const;

  private:
    std::vector<std::vector<uint8_t>> libraries_;
};
