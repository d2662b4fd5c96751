#pragma once
// The demo's saved game at its largest, built in a scripted run of the whole
// program: the party goes down to the cellars and back up to the keep (so
// both maps have their state files), then forty items are created and twenty
// effects run. Used by the kill trials and the saving benchmark.
#include <algorithm>
#include <string>

#include "rules/items.h"
#include "rules/party.h"
#include "rules/spells/spells.h"
#include "saves/temp_store.h"
#include "world/map.h"
#include "world/map_scripts.h"

namespace demo_largest {

constexpr int CREATED_ITEMS = 40;
constexpr int RUNNING_EFFECTS = 20;
// Stone strength: a member is stronger for three game ticks.
constexpr int STONE_STRENGTH = 42;
// Virtual times of the steps, for a script's probes.
constexpr uint64_t DOWN_AT_MS = 1000, UP_AT_MS = 4000, GROWN_AT_MS = 7000;

inline void go_down_to_the_cellars() {
    request_map_change("CELLARS.MAP", 0, 2);
}
inline void go_back_up_to_the_keep() {
    request_map_change("KEEP.MAP", 0, 0);
}

// Both maps left once: the map the party is on and a state file for the other.
inline bool both_maps_visited() {
    return current_map.name == "KEEP.MAP" && game_store().size("CELLARS.MAP") > 0;
}

// Forty created items and twenty running effects: the effect is cast on
// every member there is, and copies of a running one fill the rest (a
// running effect's record is what a save holds, whatever its spell).
inline bool grow() {
    item_table& items = game_items();
    int spare = 1;
    while (items.size() - items.definition_count() < CREATED_ITEMS)
        if (items.clone_item(spare++ % items.definition_count() + 1) == 0) return false;

    std::span<effect_slot> slots = effect_slots();
    int running = int(std::count_if(slots.begin(), slots.end(), [](const effect_slot& s) { return s.used; }));
    for (int member = 0; member < PARTY_SLOTS && running < RUNNING_EFFECTS; ++member)
        if (party_members[member].used && start_effect(STONE_STRENGTH, member + 1, member, true) >= 0)
            ++running;
    auto model = std::find_if(slots.begin(), slots.end(), [](const effect_slot& s) { return s.used; });
    if (model == slots.end()) return false;
    for (effect_slot& slot : slots) {
        if (running >= RUNNING_EFFECTS) break;
        if (slot.used) continue;
        slot = *model;
        ++running;
    }
    return running == RUNNING_EFFECTS;
}

}  // namespace demo_largest
