// Skeleton: filled in by the map state work.
#include "world/map_state.h"

bool build_map_state(std::vector<uint8_t>&) { return false; }
bool save_map_state() { return false; }
int apply_map_state(const uint8_t*, size_t, bool) { return MAP_STATE_MISSING; }
int restore_map_state() { return MAP_STATE_MISSING; }
void park_map() {}
void unpark_map() {}
bool map_parked() { return false; }
