#include "rules/battle/battle.h"
#include "rules/battle_desk/battle_desk.h"
#include "world/screen_layout.h"

namespace {

constexpr int BUTTON_LEFT = 5, BUTTON_TOP = 6, BUTTON_W = 31, BUTTON_H = 42;
constexpr int BUTTON_STEP_X = 33, BUTTON_STEP_Y = 46;

// The hand box: centred over the view, a field of 60 x 76 per choice.
constexpr int HAND_FIELD_W = 60, HAND_FIELD_H = 76, HAND_GAP = 12, HAND_TITLE = 22;
constexpr int HAND_BOX_Y = 120;

}  // namespace

desk_rect desk_button_in_picture(int button) {
    if (button < 0 || button >= DESK_BUTTONS) return {};
    return {BUTTON_LEFT + BUTTON_STEP_X * (button % 4), BUTTON_TOP + BUTTON_STEP_Y * (button / 4), BUTTON_W,
            BUTTON_H};
}

desk_rect desk_button_rect(int button) {
    desk_rect r = desk_button_in_picture(button);
    if (r.w == 0) return r;
    r.x += ARROWS_X;
    r.y += ARROWS_Y;
    return r;
}

int desk_button_at(int x, int y) {
    for (int button = 0; button < DESK_BUTTONS; ++button)
        if (desk_button_rect(button).contains(x, y)) return button;
    return -1;
}

int desk_button_for_key(int scan) {
    // F5..F10, F11, F12 in button order; I and Backspace keep the sense they
    // have on the game screen (the inventory, taking back); Enter and Space go.
    constexpr int function_keys[DESK_BUTTONS] = {63, 64, 65, 66, 67, 68, 87, 88};
    for (int button = 0; button < DESK_BUTTONS; ++button)
        if (function_keys[button] == scan) return button;
    switch (scan) {
        case 23:
            return DESK_INVENTORY;
        case 14:
            return DESK_CLEAR;
        case 28:
        case 57:
            return DESK_GO;
        default:
            return -1;
    }
}

int desk_button_kind(int button) {
    constexpr int kinds[DESK_BUTTONS] = {BA_ATTACK,    BA_CAST, BA_RUN,   BA_WALK,
                                         BA_INVENTORY, BA_REST, BA_CLEAR, 0};
    return button >= 0 && button < DESK_BUTTONS ? kinds[button] : 0;
}

desk_rect hand_box_rect(bool both_offered) {
    // The box of two is the box of three without its last field.
    const int widest = HAND_GAP + 3 * (HAND_FIELD_W + HAND_GAP);
    const int w = both_offered ? widest : widest - (HAND_FIELD_W + HAND_GAP);
    return {320 - widest / 2, HAND_BOX_Y, w, HAND_TITLE + HAND_FIELD_H + HAND_GAP};
}

desk_rect hand_field_rect(int choice) {
    const desk_rect box = hand_box_rect(true);
    return {box.x + HAND_GAP + choice * (HAND_FIELD_W + HAND_GAP), box.y + HAND_TITLE, HAND_FIELD_W,
            HAND_FIELD_H};
}

int hand_field_at(int x, int y, bool both_offered) {
    for (int choice = 0; choice < (both_offered ? 3 : 2); ++choice)
        if (hand_field_rect(choice).contains(x, y)) return choice;
    return -1;
}
