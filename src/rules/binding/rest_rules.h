#pragma once
// Hands the world what resting and walking need of the characters (the rest
// allowance, an hour and a tick of rest, the load penalty of a step).

// Fills the world's character rules (world/character_rules.h) from the party's
// records. Call it once when the game starts, before the game screen runs.
void install_rest_rules();
