#pragma once
// The pictures the player's view draws, made from one flat source picture:
//
//   front wall   500 x 320, the face seen straight on
//   side walls    74 x 320, the face seen along the left or right edge of the
//                 party's own cell: column 0 is the near end, 320 rows high,
//                 the far end shrunk toward the horizon; left walls start at
//                 the face's left edge, right walls at its right edge (the
//                 player mirrors them)
//   arches       the left half of a 500 x 320 face, and the right half
//                 reversed (the player mirrors it back)
//   floor        640 x 200 hi-colour: view rows 160..359 of a whole floor of
//                 squares seen from a sector
//   ceiling      640 x 90: view rows 0..89
//
// Wall pictures are 8-bit with index 0 transparent and index 1 ending a row
// (written after a row's last visible pixel); floors and ceilings use all
// 256 indexes.
#include <string>

#include "forge/png_import.h"
#include "forge/texture_source.h"

namespace forge {

constexpr int FACE_WIDTH = 500, FACE_HEIGHT = 320, SIDE_WIDTH = 74;

texture_canvas resample(const texture_canvas& source, int width, int height, bool wrap);

texture_canvas front_wall_view(const texture_canvas& source);
texture_canvas side_wall_view(const texture_canvas& source, bool right);
texture_canvas floor_view(const texture_canvas& square);
texture_canvas ceiling_view(const texture_canvas& square);
// A picture that stands on a wall (torch, banner) centred at face position
// (x, y), y upward from the floor: the side pictures show it in perspective,
// cut so that their centre is where the player centres them.
texture_canvas secondary_side_view(const texture_canvas& picture, int x, int y, bool right);
// The two arch pictures from a whole face.
texture_canvas arch_half(const texture_canvas& face, bool right);

// 8-bit pictures for the player: wall pictures keep index 1 free and mark
// row ends with it; surfaces use every index.
indexed_image wall_picture(const texture_canvas& canvas);
indexed_image surface_picture(const texture_canvas& canvas);

}  // namespace forge
