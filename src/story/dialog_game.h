#pragma once
// The dialogs in the running game: dialogy.dat read at start, the world the
// interpreter reaches (texts and their translation, wrapping, the console,
// the dialog screen), and the places that start dialogs: the map's dialog
// command and monsters that talk.
#include <cstdint>
#include <span>

#include "core/event_ids.h"

// Starts a dialog asked for while the party moves once the move has ended.
constexpr int TIMER_DIALOG_START = 448;
static_assert(id_blocks::story.holds(TIMER_DIALOG_START));

// Reads the adventure's dialogs from bytes (empty: no dialogs); a file that
// cannot be read safely leaves none and is reported on the console. False then.
bool load_dialogs(std::span<const uint8_t> bytes);
// Start-up: dialogy.dat from the maps folder (a missing file: no dialogs, the
// game starts), the game's dialog world, and the callers wired to it.
void install_dialogs();
// The map's dialog command: the dialog at that absolute paragraph starts as
// soon as the party stands still.
void start_dialog_when_still(int paragraph, int monster);
