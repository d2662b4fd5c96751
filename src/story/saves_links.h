#pragma once
// What saving and loading reach in the story: the options switches, the sound
// settings, the dialog state, the hand, the battle, the messages and the
// game screen's sign; and the autosaves of a battle's end and of resting,
// and the story log the map scripts and dialogs write.

// Installs all of it (start-up, after the rest and battle screens are in).
void install_saves_links();
