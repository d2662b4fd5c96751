#include "rules/binding/hit_marks.h"

#include "core/event_ids.h"
#include "core/timers.h"
#include "rules/party.h"
#include "world/panel.h"

namespace {

static_assert(PARTY_SLOTS <= 6, "one timer id per slot: TIMER_HIT_MARK + 0..5");

int marks[PARTY_SLOTS] = {};

bool valid_slot(int slot) {
    return slot >= 0 && slot < PARTY_SLOTS;
}

void show_party_bar_again() {
    panel_back_to_party(false);
    refresh_panel();
}

void mark_ends(timer_node* timer) {
    const int slot = timer->id - TIMER_HIT_MARK;
    if (!valid_slot(slot)) return;
    marks[slot] = 0;
    show_party_bar_again();
}

}  // namespace

void show_hit_mark(int slot, int amount, int ticks) {
    if (!valid_slot(slot) || amount <= 0) return;
    marks[slot] = amount;
    remove_timers(TIMER_HIT_MARK + slot);
    add_timer(TIMER_HIT_MARK + slot, ticks > 0 ? ticks : 1, 1, mark_ends);
    show_party_bar_again();
}

int hit_mark(int slot) {
    return valid_slot(slot) ? marks[slot] : 0;
}

void clear_hit_marks() {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        marks[slot] = 0;
        remove_timers(TIMER_HIT_MARK + slot);
    }
}
