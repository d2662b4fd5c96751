// Skeleton: filled in by the map scripts work.
#include "world/map_scripts.h"

std::array<global_hook, HOOK_COUNT> global_hooks{};
std::array<uint8_t, STORY_FLAG_COUNT / 8> story_flags{};
int32_t game_time = 0;

void send_side_event(int, int) {}
void run_side_script(int, int, int) {}
std::array<uint8_t, GLOBAL_HOOKS_BYTES> global_hooks_bytes() { return {}; }
void set_global_hooks_bytes(const uint8_t*, size_t) {}
bool run_hook(int, int, int) { return true; }
bool story_flag(int) { return false; }
void set_story_flag(int, int) {}
void advance_game_time(int) {}
void reset_game_state() {}
