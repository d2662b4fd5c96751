#pragma once
// What the display's main render target will hold once every queued command
// has run, kept on the game side. A rectangle handed over again with the same
// pixels changes nothing, so it is not queued at all: a screen that redraws
// itself while nothing moves costs the display no wake-up and no present.
#include <cstdint>
#include <vector>

#include "platform/display.h"

class shown_picture {
  public:
    shown_picture();

    // Compares the rectangle of `screen` (a 640 x 480 buffer with the given
    // pitch in pixels) with what is shown, takes over its pixels and returns
    // the band of its rows that differ: the same x and w, h = 0 when nothing
    // differs. While the shown picture is unknown the whole rectangle is returned.
    display_rect update(const uint16_t* screen, int pitch, const display_rect& r);
    // The whole screen is sent whatever it holds (the new picture of a transition).
    void replace(const uint16_t* screen, int pitch);
    // The display's picture is no longer known (its textures were made anew):
    // every rectangle passes until the whole screen has been sent again.
    void forget();
    bool known() const { return known_; }

  private:
    std::vector<uint16_t> pixels_;
    bool known_ = true;  // both render targets start black, as pixels_ does
};
