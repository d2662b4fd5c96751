// The item table: the definitions read from ITEMS.DAT followed by clones,
// copies that carry their own state (charges, an amount of money, ...).
// Items are named by number = index + 1; 0 is no item.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "rules/item_record.h"

constexpr int MAX_ITEMS = 32767;

// Special-item kinds (type 9, `value`).
constexpr int16_t SPECIAL_LIGHT = 1;
constexpr int16_t SPECIAL_MAP = 2;

// Asks whether anything in the game (party, floor, alcoves, monsters,
// projectiles) still holds the item. The parts that keep items fill it in;
// until they do, every clone counts as held, so none is ever reused.
using item_referenced_fn = bool (*)(int16_t item_number);

class item_table {
  public:
    // Starts the table from the definitions; more than MAX_ITEMS are cut off.
    void set_definitions(std::vector<item_def> definitions);

    int size() const { return static_cast<int>(records_.size()); }
    int definition_count() const { return definition_count_; }
    bool valid(int number) const { return number >= 1 && number <= size(); }
    // The record of an item number, or null for a number outside the table.
    item_def* find(int number) { return valid(number) ? &records_[number - 1] : nullptr; }
    const item_def* find(int number) const { return valid(number) ? &records_[number - 1] : nullptr; }

    // A copy in a free clone slot, a new slot, or (with the table full) the
    // first clone nothing references. 0 when none can be had or the number
    // is not an item.
    int16_t clone_item(int number);
    int16_t clone_record(const item_def& record);
    // Frees every clone in the list (stack marks are taken as their items);
    // definitions and numbers outside the table are left alone.
    void destroy_items(std::span<const int16_t> items);
    // A clone of the money item whose amount is nearest, holding `amount`
    // (at most 65535). 0 when the definitions have no money item.
    int16_t make_money(int32_t amount);
    // Puts these records in place of every clone (a loaded game's items
    // created during play); more than the table holds are cut off.
    void replace_clones(std::vector<item_def> clones);

    void set_reference_check(item_referenced_fn check) { referenced_ = check; }

    // The special items found among the definitions (0 = none).
    int16_t light_source() const { return light_source_; }
    int16_t map_item() const { return map_item_; }

    const std::vector<item_def>& records() const { return records_; }
    // A definition to change in place (translations); the number must be one.
    item_def& definition(int number) { return records_.at(number - 1); }

  private:
    int free_slot_for_clone();

    std::vector<item_def> records_;
    int definition_count_ = 0;
    int free_clones_ = 0;  // clones marked free, so a full scan is only made when one exists
    int16_t light_source_ = 0;
    int16_t map_item_ = 0;
    item_referenced_fn referenced_ = nullptr;
};

// The game's item table, for the whole run.
item_table& game_items();
// Lets the party rules read the game's item table, and keeps clones that a
// character holds from being reused. The floor, alcoves, monsters and
// projectiles join that check when they are built.
void install_game_items();
