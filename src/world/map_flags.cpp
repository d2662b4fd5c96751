// The names of the side and coordinate flags, as the debug console and the map
// source format write them.
#include "world/map.h"

const std::array<const char*, 32> side_flag_names = {
    "AUTOMAP", "!PLR",    "!MONST",    "!THING", "!SOUND", "ALARM",  "PASS",    "TRANSPARENT",
    "P_ANIM",  "P_VIS",   "P_PING",    "P_FORW", "S_ANIM", "S_VIS",  "S_PING",  "S_FORW",
    "LEFT_A",  "RIGHT_A", "ALT_SIDES", "SPEC",   "COPY",   "SEND",   "APLY2ND", "AUTOANIM",
    "",        "",        "",          "",       "",       "SECRET", "TRUESEE", "INVIS",
};

const std::array<const char*, 4> side_flag2_names = {"RECESS", "UP_SIDE", "DOWN_SIDE", "ITPUSH"};

const std::array<const char*, 16> coord_flag_names = {
    "MAPPED", "FLY_OBJECT", "PLAYER", "DEAD_PLAYER", "SPECTXTR", "SAFEPLACE", "UNUSED", "MARKED!",
    "SHADED", "STAIRS",     "DOWN",   "!AUTOMAP",    "!SUMMON",  "",          "",       "",
};
