#pragma once
// The pictures and fonts of the game screen, fetched so that one the
// adventure does not have is simply left out: a missing decoration never
// stops the game.
#include <cstdint>

#include "core/handles.h"

struct picture;

// A picture of the game screen, or null when its file is not in the
// adventure (or its data is not a whole picture).
const picture* screen_picture(handle_id id);
// The same for any resource of the screen (fonts), and a font made current
// only when it exists.
bool screen_resource_available(handle_id id);
bool screen_font(handle_id font, int32_t colour_spec);
// Asks again which pictures exist (a new adventure, tests).
void forget_screen_pictures();
