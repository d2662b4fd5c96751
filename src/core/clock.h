// The game's time: milliseconds since start from an exchangeable source,
// and the tick counts derived from it.
#pragma once

#include <cstdint>

// Returns milliseconds since some fixed start.
using clock_source_fn = int64_t (*)();

// Milliseconds since start-up (steady clock unless a source is installed).
int64_t clock_ms();
// Tests install a controllable source; nullptr restores the steady clock.
void set_clock_source(clock_source_fn source);

constexpr int DEFAULT_TICK_LENGTH = 25;
constexpr int MAX_TICKS_PER_EVENT = 25;

// Milliseconds per game tick (the game-speed setting); values below 1 count as 1.
int tick_length();
void set_tick_length(int milliseconds);

// Ticks the game clock has counted so far.
int64_t game_ticks();
// Resets the counts of both clocks (start of a run, tests).
void reset_clocks();
