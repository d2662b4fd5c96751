#pragma once
// A new game for the saving tests: saved into `folder`, the story's part
// played by `world`, an empty party, no effects, hooks or shops, the item
// table holding `definitions`, the party standing at sector 7 facing south.
#include <string>
#include <vector>

#include "base/paths.h"
#include "rules/items.h"
#include "rules/party.h"
#include "rules/shops/shops.h"
#include "rules/spells/spells.h"
#include "saves/game_save.h"
#include "world/map_scripts.h"
#include "world/party_standin.h"

inline void start_fresh_game(const std::string& folder, saves_world& world,
                             std::vector<item_def> definitions) {
    path_table[PATH_SAVEGAME] = folder;
    set_saves_world(&world);
    new_game_saves();
    reset_party();
    load_effects(std::vector<uint8_t>{0, 0, 0, 0});
    clear_global_hooks();
    game_shops().clear();
    game_items().set_definitions(std::move(definitions));
    new_standin_party(7, 2);
}
