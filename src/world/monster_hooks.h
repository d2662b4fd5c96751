#pragma once
// Where the world hands time and the party's moves to the monsters. The
// monster behaviour (in the rules) fills these in when it is installed;
// until then (and on maps without monsters) nothing happens.

// The monster timer of the game screen (its own id in the world's block).
constexpr int TIMER_MONSTERS = 300;

struct world_monster_hooks {
    void (*look)() = nullptr;       // after every step and turn of the party
    void (*tick)() = nullptr;       // each run of the monster timer
    void (*game_tick)() = nullptr;  // each game tick (the party's slow timer)
};
extern world_monster_hooks world_monsters;

// The monster timer's period in ticks: the game-speed setting.
int monster_timer_period();
