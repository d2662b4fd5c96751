#include "world/character_rules.h"

character_rules_table character_rules;

namespace {

int no_rest_left() {
    return 0;
}
void nothing_spent() {}
bool undisturbed(int) {
    return false;
}
int no_load(int) {
    return 0;
}
void walked_freely(int) {}
bool unprotected(int) {
    return false;
}

}  // namespace

void reset_character_rules() {
    character_rules.rest_allowance = no_rest_left;
    character_rules.spend_rest_tick = nothing_spent;
    character_rules.rest_hour = undisturbed;
    character_rules.rest_tick = undisturbed;
    character_rules.load_penalty = no_load;
    character_rules.walked = walked_freely;
    character_rules.carries_protective_item = unprotected;
}

namespace {
// The defaults are in place from program start.
const bool defaults_ready = (reset_character_rules(), true);
}  // namespace
