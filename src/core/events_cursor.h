// The mouse cursor: a hide counter and the choice of cursor picture. The
// cursor is an overlay of the display, so hiding never touches the screen
// buffers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/handle_ids.h"
#include "core/handles.h"

// Installed by the platform layer: shows the picture (as the picture decoders
// store it, or a raw icon-library picture) of `length` bytes with its hot spot
// as the cursor; a null picture removes the cursor. The display checks the
// record against the length before it draws it.
using cursor_display_fn = void (*)(const void* picture, size_t length, int hot_x, int hot_y);
void set_cursor_display(cursor_display_fn fn);

constexpr int ICON_SIZE = 2993;  // one 45 x 55 8-bit picture with its palette
constexpr int ICONS_PER_LIBRARY = 18;
constexpr int ICON_HOT_X = 22, ICON_HOT_Y = 27;

void hide_cursor();
// Undoes one hide_cursor; the count reaching 0 shows the cursor again.
void show_cursor();
// Shows the cursor whatever the count was.
void force_show_cursor();
bool cursor_visible();
int cursor_hide_count();

// Makes the picture (length bytes) the cursor (shown at once unless the cursor is hidden).
void set_cursor_picture(const void* picture, size_t length, int hot_x, int hot_y);
void set_cursor_hotspot(int hot_x, int hot_y);

// A positive choice is a picture handle (locked while it is the cursor); 0 or
// less is item icon -choice from the icon libraries. Nothing when unchanged.
void set_mouse_cursor(int choice);
int mouse_cursor_choice();
// The handle of the first icon library (the items register it); the others follow it.
void set_icon_library_base(handle_id base);

// Back to the start state: hidden once, no picture, no choice (tests, restart).
void reset_cursor();
