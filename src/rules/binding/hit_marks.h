#pragma once
// The hit a member took, shown on its portrait in the party bar for a while
// (the party bar draws it from the roster's hit_shown).

// Shows the amount on the slot's portrait for that many ticks; a new hit
// replaces the amount and starts the time again. Nothing for an amount <= 0.
void show_hit_mark(int slot, int amount, int ticks);
// The amount shown on the slot's portrait, 0 for none.
int hit_mark(int slot);
// Takes every mark away at once, with its timer.
void clear_hit_marks();
