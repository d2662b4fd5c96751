#pragma once
// Golden pictures: RGB555 buffers compared with PNG files kept in the source
// tree. The PNGs hold 8-bit R, G, B (each 5-bit channel c stored as
// c << 3 | c >> 2, so they look right in any viewer); bit 15 is not kept.
// With the environment variable VORTHAN_REGEN_GOLDEN=1 the comparison writes
// the golden file instead and passes.
//
//   #include "support/golden.h"
//   EXPECT_TRUE(golden::matches(VORTHAN_SOURCE_DIR "/tests/gfx/golden/lines.png", frame_buffer, 640, 480));
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace golden {

// Writes width x height pixels (rows pitch pixels apart) as an RGB PNG via a
// temporary file and a rename. False on any failure.
bool write_png(const std::string& path, const uint16_t* pixels, int width, int height, int pitch);
// Reads an 8-bit RGB or RGBA PNG into RGB555 pixels (alpha is dropped).
bool read_png(const std::string& path, std::vector<uint16_t>& pixels, int& width, int& height);
// The 8-bit R, G, B bytes of an RGB555 picture as they go into the PNG.
std::vector<uint8_t> to_rgb888(const uint16_t* pixels, int width, int height, int pitch);

bool regenerating();

// Compares the picture with the golden PNG byte for byte. On a mismatch the
// actual picture is written next to the build (the message says where).
::testing::AssertionResult matches(const std::string& golden_path, const uint16_t* pixels, int width,
                                   int height, int pitch);
// A whole 640 x 480 screen buffer.
inline ::testing::AssertionResult matches(const std::string& golden_path, const uint16_t* screen) {
    return matches(golden_path, screen, 640, 480, 640);
}

}  // namespace golden
