#pragma once
// Reducing a true-colour picture to a 256-entry palette.
#include "forge/png_import.h"

namespace forge {

// Pixels whose alpha is below 128 become index 0, the index the player leaves
// transparent; palette entry 0 is then black. The opaque colours get indexes
// from 1 (from 0 when reserve_index0 is false). A picture with few enough
// colours keeps them exactly; otherwise they are reduced by median cut over
// the 15-bit colours the player can show, and each pixel takes the nearest
// palette colour.
indexed_image quantize(const rgba_image& image, bool reserve_index0 = true);

}  // namespace forge
