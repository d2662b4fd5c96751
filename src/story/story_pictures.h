#pragma once
// The pictures and texts the game's windows draw, found without failing: a
// picture whose file is missing or damaged is simply not drawn.
#include "core/handles.h"
#include "gfx/picture.h"

// The picture of a handle, or null when its file is missing or not a picture.
const picture* window_picture(handle_id id);
// A numbered interface text ("" when it is missing).
const char* interface_text(int number);
