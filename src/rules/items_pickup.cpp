#include "rules/items_pickup.h"

#include <cstdlib>

void picked_up(item_table& items, held_list& held, party_treasure treasure, pickup_world& world) {
    if (held.empty()) return;
    world.raise_pickup_event();
    for (int16_t entry : held) world.count_picked_item(static_cast<int16_t>(std::abs(entry)));
    const item_def* first = items.find(held[0]);
    if (!first) return;
    switch (first->type) {
        case IT_RUNE: {
            const int group = first->value / 10;
            const int rune = first->value % 10;
            // Runes outside the five groups of seven teach nothing.
            if (group >= 0 && group < static_cast<int>(treasure.runes.size()) && rune >= 0 && rune < 7) {
                treasure.runes[group] = static_cast<uint8_t>(treasure.runes[group] | (1u << rune));
                world.rune_learned(group, rune);
            }
            break;
        }
        case IT_MONEY:
            treasure.gold += first->money;
            break;
        case IT_BOOK:
            world.open_book(first->description, first->value);
            break;
        case IT_NOTE:
            world.show_game_text(NOTE_TEXT);
            break;
        default:
            return;
    }
    items.destroy_items(held);
    held.clear();
}

lock_result try_lock(const item_def& item, int key_code, int difficulty, int dexterity, int (*random)(int)) {
    if (item.key_code != 0 && item.key_code == key_code) return lock_result::opened;
    if (item.key_code != -1 || difficulty == -1) return lock_result::failed;
    const int chance = difficulty == 0 ? 100 : difficulty;
    if (chance >= dexterity && random(100) <= chance - dexterity) return lock_result::pick_broken;
    return chance < random(dexterity) ? lock_result::opened : lock_result::stays_shut;
}
