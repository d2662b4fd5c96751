#pragma once
// RGB555 (bit 15 = transparent) to the texture formats a renderer may offer.
// A table of channel layouts (widths and shifts per format) drives the
// conversion. Single pixels go through two 256-entry lookup tables (every
// output channel depends on bits of one input byte only: out = low[p & 0xFF] |
// high[p >> 8]); whole rows use the same layout as shift-and-mask arithmetic,
// which the compiler turns into vector code.
#include <array>
#include <cstdint>

enum class texture_layout : uint8_t {
    argb8888,
    rgba8888,
    bgra8888,
    abgr8888,
    argb4444,
    rgba4444,
    bgra4444,
    abgr4444,
    argb2101010,
};

class pixel_converter {
  public:
    explicit pixel_converter(texture_layout layout = texture_layout::argb8888);

    texture_layout layout() const { return layout_; }
    int bytes_per_pixel() const { return bytes_; }
    uint32_t convert(uint16_t p) const { return low_[p & 0xFF] | high_[p >> 8]; }
    // Converts count pixels into dst (packed at bytes_per_pixel, native byte order).
    void convert_row(const uint16_t* src, void* dst, int count) const;

  private:
    texture_layout layout_;
    int bytes_;
    int alpha_bits_, shift_a_, shift_r_, shift_g_, shift_b_;
    std::array<uint32_t, 256> low_{}, high_{};
};

// The reference conversion of one pixel, channel by channel.
uint32_t convert_pixel(texture_layout layout, uint16_t p);
