#pragma once
// Animations over the map view: the teleport's, a weapon's attack and a
// spell's. One runs at a time, in a task of its own that reads a frame each
// time the scene has been redrawn; every redraw meanwhile draws the current
// frame doubled over the view. Palette index 0 of an animation shows the view
// through. Steps and turns wait until it has ended.
#include <cstdint>
#include <string>

#include "core/handles.h"

// Animations named by file (spells) are defined as handles of the items
// folder from here up, the first time each name is played.
constexpr handle_id VIEW_ANIMATION_HANDLES = FIRST_RUNTIME_HANDLE + 0x0440;
constexpr int VIEW_ANIMATION_HANDLE_COUNT = 64;

// Starts the animation of a handle, drawn mirrored or not, repeated `times`
// times (at least once). Nothing happens while another one runs, or when the
// handle has no MGIF data.
void start_view_animation(handle_id animation, bool mirror, int times = 1);
// The same for a file of the items folder; a missing file plays nothing.
void start_view_animation_file(const std::string& file, bool mirror);
bool view_animation_running();
// Draws the current frame over the view whose top-left pixel is at target
// (a 640-pixel-wide screen); nothing when no animation runs.
void draw_view_animation(uint16_t* target);
// Ends a running animation and waits for its task (leaving the map).
void stop_view_animation();
