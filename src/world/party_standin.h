#pragma once
// The party as the game screen needs it while the characters themselves do not
// exist yet: where the party stands and looks, and a few members with a name,
// hit points, condition and magic points, a group and a place. It stands in
// for the character records (their statistics, items and portraits); the
// screen reads only what is kept here.
#include <cstdint>
#include <string>
#include <vector>

struct standin_member {
    std::string name;
    int hit_points = 0, max_hit_points = 0;
    int condition = 0, max_condition = 0;
    int magic = 0, max_magic = 0;
    int sector = 0;     // where the member stands on this map
    int direction = 0;  // where it faces
    int group = 1;      // 1.. ; the active group moves with the party
    bool on_this_map = true;
    bool levitating = false;
    bool alive() const { return hit_points > 0; }
};

struct standin_party {
    int sector = 0;     // the party's sector (never 0 while a map is played)
    int direction = 0;  // 0 north, 1 east, 2 south, 3 west
    std::vector<standin_member> members;
    int active_group = 1;
    int selected = -1;  // selected member (display position), -1 none
    int32_t money = 0;
};

extern standin_party party;

// A new party of four at the given place, all in the active group.
void new_standin_party(int sector, int direction);
// Moves the party and every member of the active group on this map.
void place_party(int sector, int direction);
// True when the member stands in the party's sector on this map.
bool member_with_party(const standin_member& m);
