#pragma once
// The five game switches of the options window. They belong to the rules of
// the view, the party bar, battle and saving, which read them from here.

constexpr int NORMAL_BATTLE_STEP = 5;  // ticks between battle steps
constexpr int FAST_BATTLE_STEP = 2;

struct game_choices {
    bool member_names = false;  // the view writes party members' names over them
    bool group_order = false;   // the party bar lists the members group by group
    bool auto_attack = false;   // a member without a plan attacks at the end of planning
    bool autosave = true;
    int battle_step_interval = NORMAL_BATTLE_STEP;  // FAST_BATTLE_STEP with faster battles
};
extern game_choices choices;
