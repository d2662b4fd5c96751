#pragma once
// The battle screen. While the party plans a round the arrow panel turns
// into the planning controls ("m_souboj.pcx"): eight buttons, one per kind of
// action and one that ends the planning and starts the round. A click on a
// portrait chooses the acting member, a click on the view while an item is
// held plans its throw, and when both hands hold different weapons a small
// box over the view asks which hand attacks. The acting member's plan is
// listed at the top-left of the view. While a member walks in the round the
// arrows step it alone; Enter or Space ends its walk.
//
// The layout (rectangles, keys, the picture's frames) is written down in
// docs/formats.md, "Battle screen".

// The buttons, in the order of the picture's frames and of the keys F5..F12.
enum desk_button : int {
    DESK_ATTACK = 0,
    DESK_CAST = 1,
    DESK_RUN = 2,
    DESK_WALK = 3,
    DESK_INVENTORY = 4,
    DESK_REST = 5,
    DESK_CLEAR = 6,
    DESK_GO = 7,
    DESK_BUTTONS = 8,
};

struct desk_rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// "m_souboj.pcx": the panel at rest, then one frame per button pressed, each
// DESK_FRAME_ROWS rows, DESK_PICTURE_WIDTH wide, drawn at the arrow panel.
constexpr int DESK_PICTURE_WIDTH = 142;
constexpr int DESK_FRAME_ROWS = 102;
constexpr int DESK_FRAMES = 1 + DESK_BUTTONS;
// Inside the picture (and the arrow panel): four columns, two rows.
desk_rect desk_button_in_picture(int button);
// On the screen.
desk_rect desk_button_rect(int button);
int desk_button_at(int x, int y);  // -1 outside every button
// The button a key plays (its scan code), -1 none.
int desk_button_for_key(int scan);
// The action kind a button plans (0 for the button that ends planning).
int desk_button_kind(int button);

// The hand choice: a box over the view with a field per choice.
enum hand_choice : int { HAND_FIRST = 0, HAND_SECOND = 1, HAND_BOTH = 2 };
desk_rect hand_box_rect(bool both_offered);
desk_rect hand_field_rect(int choice);
int hand_field_at(int x, int y, bool both_offered);  // -1 outside the fields

// Where the acting member's plan is listed over the view.
constexpr int PLAN_LIST_X = 8, PLAN_LIST_Y = 24, PLAN_LINE_HEIGHT = 16;

// What the screen shows of its own (exposed for tests).
struct battle_desk_state {
    int pressed = -1;  // a button lit after a click or its key
    bool choosing_hand = false;
    bool both_offered = false;  // the hand box offers "both"
};
extern battle_desk_state desk;

// The screen pieces drawn into frame_buffer.
void draw_desk_controls();  // the planning controls over the arrow panel
void draw_desk_overlay();   // the plan list and the hand box over the view

// Puts the battle screen into the game: the game screen's battle hooks, the
// steps of a walking member, and the battle's calls into the screen. Call
// after install_battle (the panel's view of the battle is the battle's own).
void install_battle_desk();
void remove_battle_desk();

// What the battle screen reaches above the rules; while an entry is unset
// nothing happens there.
struct battle_desk_links {
    void (*autosave)() = nullptr;  // a battle ended: an autosave when the switch is on
};
extern battle_desk_links desk_links;
