#pragma once
// The dialog's animation: an MGIF file from the dialogs folder played into
// the dialog picture (320 x 180 at DIALOG_PICTURE_X, DIALOG_PICTURE_Y) by a
// task of its own, a frame every n timer ticks, once or over and over until
// it is stopped. At most one runs at a time; the dialog stops it when a new
// animation starts and when the dialog ends.
#include <string>

// Starts playing `file` (a name in the dialogs folder), a frame every `ticks`
// timer ticks (fewer than 1 count as 1); once == 0 repeats from the first
// frame until stopped. A running animation is stopped first. A missing file,
// or one that is not an MGIF animation, plays nothing and says nothing. The
// first frame is drawn before this returns.
void start_dialog_animation(const std::string& file, int ticks, int once);
// Stops the animation and waits until its task has ended: nothing is drawn
// after this returns. Nothing happens when none runs.
void stop_dialog_animation();
bool dialog_animation_running();
// While held (a window over the dialog), the animation draws nothing and
// waits where it is; holds nest.
void hold_dialog_animation();
void release_dialog_animation();
// Frames drawn by the animation now running or last run.
int dialog_animation_frames();
