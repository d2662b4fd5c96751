#include "rules/items.h"

#include <cstdlib>

#include "rules/party.h"

void item_table::set_definitions(std::vector<item_def> definitions) {
    if (definitions.size() > static_cast<size_t>(MAX_ITEMS)) definitions.resize(MAX_ITEMS);
    records_ = std::move(definitions);
    definition_count_ = size();
    free_clones_ = 0;
    light_source_ = 0;
    map_item_ = 0;
    for (int i = 0; i < definition_count_; ++i) {
        const item_def& item = records_[i];
        if (item.type != IT_SPECIAL) continue;
        if (item.value == SPECIAL_LIGHT) light_source_ = static_cast<int16_t>(i + 1);
        if (item.value == SPECIAL_MAP) map_item_ = static_cast<int16_t>(i + 1);
    }
}

int item_table::free_slot_for_clone() {
    if (free_clones_ > 0) {
        for (int i = definition_count_; i < size(); ++i) {
            if (records_[i].item_flags & IF_CLONE_FREE) {
                --free_clones_;
                return i;
            }
        }
    }
    if (size() < MAX_ITEMS) {
        records_.emplace_back();
        return size() - 1;
    }
    // Full: take back the first clone that nothing holds. Without a way to
    // ask, a clone might be in someone's hands, so none is taken.
    if (!referenced_) return -1;
    for (int i = definition_count_; i < size(); ++i)
        if (!referenced_(static_cast<int16_t>(i + 1))) return i;
    return -1;
}

int16_t item_table::clone_record(const item_def& record) {
    const item_def copy = record;  // the record may live in the slot that is reused
    const int slot = free_slot_for_clone();
    if (slot < 0) return 0;
    records_[slot] = copy;
    records_[slot].item_flags = static_cast<uint16_t>((copy.item_flags | IF_CLONE) & ~IF_CLONE_FREE);
    return static_cast<int16_t>(slot + 1);
}

int16_t item_table::clone_item(int number) {
    const item_def* source = find(number);
    if (!source) return 0;
    return clone_record(*source);
}

void item_table::destroy_items(std::span<const int16_t> items) {
    for (int16_t entry : items) {
        const int number = std::abs(static_cast<int>(entry));
        if (number <= definition_count_ || !valid(number)) continue;
        item_def& item = records_[number - 1];
        if ((item.item_flags & IF_CLONE) && !(item.item_flags & IF_CLONE_FREE)) {
            item.item_flags |= IF_CLONE_FREE;
            ++free_clones_;
        }
    }
}

int16_t item_table::make_money(int32_t amount) {
    if (amount < 0) amount = 0;
    if (amount > 0xFFFF) amount = 0xFFFF;
    int best = -1;
    int32_t best_distance = 0;
    for (int i = 0; i < definition_count_; ++i) {
        if (records_[i].type != IT_MONEY) continue;
        const int32_t distance = std::abs(static_cast<int32_t>(records_[i].money) - amount);
        if (best < 0 || distance < best_distance) {
            best = i;
            best_distance = distance;
        }
    }
    if (best < 0) return 0;
    const int16_t clone = clone_item(best + 1);
    if (clone) records_[clone - 1].money = static_cast<uint16_t>(amount);
    return clone;
}

void item_table::replace_clones(std::vector<item_def> clones) {
    records_.resize(static_cast<size_t>(definition_count_));
    free_clones_ = 0;
    for (item_def& clone : clones) {
        if (size() >= MAX_ITEMS) break;
        if (clone.item_flags & IF_CLONE_FREE) ++free_clones_;
        records_.push_back(clone);
    }
}

item_table& game_items() {
    static item_table table;
    return table;
}

void install_game_items() {
    set_party_item_lookup([](int number) -> const item_def* { return game_items().find(number); });
    game_items().set_reference_check([](int16_t number) { return party_holds_item(number); });
}
