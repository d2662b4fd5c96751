#pragma once
// Puts the game's windows where the rest of the game opens them: F1 and Esc
// on the game screen. Reads the player's settings from the configuration.
// Called once at start, after the toolkit and the display.
void install_game_windows();
