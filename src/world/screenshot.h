#pragma once
// Screenshots: F1 on any screen writes the drawing target as a 24-bit BMP
// "dump%04d.bmp" into the working folder, numbered after the largest one
// already there.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int SCREENSHOT_SCAN_CODE = 0x3B;

// The BMP file of a 640 x 480 buffer (pitch 640): 54 header bytes, then the
// rows bottom up, each pixel blue, green, red with the 5-bit channels << 3.
std::vector<uint8_t> screenshot_bmp(const uint16_t* pixels);
// The largest n of the names "dumpNNNN.bmp" in the folder, -1 when none.
int largest_screenshot_number(std::string_view folder);
// Writes the current drawing target to the next numbered file in the working
// folder; returns the file name, or "" when it could not be written.
std::string take_screenshot();
// Forgets the numbering (the next screenshot lists the folder again).
void reset_screenshot_numbering();
// The key handler installed at start-up for every screen.
void screenshot_key_handler(struct event_msg& msg, void** data);
