#pragma once
// A stand-in for the battle rounds, kept until the battle itself is built.
//
// A monster that engages sets the battle flag, and during a battle the
// monster timer no longer walks the monsters by their own rules: the battle
// is to run their turns. Without it an engaged monster would stand forever
// and the flag would never clear. This keeps such a battle going on the
// monsters' side only: the monsters keep stepping on the monster timer (it
// stands in for the battle's animation timer), and once a round every
// engaged monster gets its actions and plays its turns one after another,
// so that it strikes, closes in or flees. After each round and each look the
// battle flag becomes the OR of the BATTLE bits of the living monsters, so
// the game goes back to normal when none is engaged any more. The party
// does not fight back here.
//
// The battle rounds replace all of this: install_battle_standin is then no
// longer called.

// Game time from the start of a battle to its first round, and between the
// starts of two rounds.
constexpr int STANDIN_ROUND_MS = 3000;
// Monster-timer runs a single action may take (its walk or its attack)
// before the round goes on without waiting for it.
constexpr int STANDIN_ACTION_TICKS = 200;

// One run of the monster timer: outside a battle every monster takes its
// step; during one they step as well and the rounds come due.
void standin_monsters_tick();
// The look after the party's steps and turns, with the battle flag recomputed.
void standin_monsters_look();
// The battle flag becomes the OR of the BATTLE bits of the living monsters; returns it.
bool recompute_battle_flag();
// Forgets any round under way.
void reset_battle_standin();
// Puts the stand-in on the world's monster timer and look; start-up calls it
// after the monsters' behaviour and fight are installed.
void install_battle_standin();
