#pragma once
// The game screen: the first-person view framed by the top bar (with the
// compass and the money), the bottom panel and the arrow panel; its timers,
// keys and mouse clicks; the periodic scene redraw.
#include <cstdint>

#include "core/handles.h"
#include "world/screen_layout.h"
#include "world/screen_resources.h"

// The state of the screen around the view (the party's moves keep theirs in
// movement.h).
struct scene_state {
    bool running = false;   // the game screen's timers and handlers are installed
    int scene_period = 5;   // ticks between scene redraws
    int compass_frame = 0;  // 0..39
    int arrow = -1;         // highlighted arrow_kind, -1 none
    int arrow_counter = 0;  // 6 when started, counts down per effects step
    int shake_steps = 0;
};
extern scene_state scene;

// One compass step toward the party's direction (the shorter way round).
// Returns true when the frame changed.
bool compass_step();
// The arrow picture's frame for a highlight counter value (-1: the resting picture).
int arrow_frame(int counter);
void start_arrow_highlight(int arrow);
bool arrow_highlight_step();
void shake_screen(int steps);

// Draws the view of the party's place into back_buffer.
void draw_party_view();
// Everything around the view, into frame_buffer.
void draw_screen_frame();
// The periodic redraw (nothing while a move is in progress).
void redraw_scene();

// Installs and removes the timers and handlers of the game screen.
void start_game_screen();
void stop_game_screen();
// In the game task: shows the game screen and waits until it is left
// (EV_GAME_RESULT); returns the result's first value (0 without one).
int run_game_screen();

// The game's windows that open over the screen, put here by the library that
// builds them (the world cannot reach it). While unset, F1 does nothing and
// Esc leaves the game at once.
struct game_screen_windows {
    void (*options)() = nullptr;    // F1: runs the options window until it closes
    bool (*ask_leave)() = nullptr;  // Esc: true when the player chose to leave
    // I and a click on a portrait: the inventory of the member in that slot
    // (it takes the screen over as it needs).
    void (*inventory)(int slot) = nullptr;
    // F2 outside a battle: the save screen, which may still refuse.
    void (*save_screen)() = nullptr;
    void (*load_screen)() = nullptr;  // F3
    void (*quick_save)() = nullptr;   // F5 outside a battle: an autosave
    void (*book)() = nullptr;         // F6: the party's book (it takes the screen over)
};
extern game_screen_windows screen_windows;

// One step of the objects in the air, run by the flying timer; put here by
// the rules. Unset: nothing flies.
extern void (*flying_tick)();

// The flute, put here by the game's sound. F shows the note panel when
// `carried_here` says a member standing in the party's sector carries it;
// every mouse event of the screen goes first to `mouse`, which returns true
// when it took the event. Unset: F does nothing.
struct game_screen_flute {
    bool (*carried_here)() = nullptr;
    bool (*mouse)(const struct mouse_record& mouse) = nullptr;
};
extern game_screen_flute screen_flute;

// A left click on the view itself (the items lying on its floor), with the
// modifier key held or not; put here by the rules. Unset: nothing happens.
extern void (*view_clicked)(int x, int y, bool modifier);

// A running battle: its screen takes the keys and clicks first, draws its
// overlay over the view and its controls over the arrow panel. Put here by
// the battle screen; while none is set (the default) the screen is as
// outside a battle.
class battle_screen {
  public:
    virtual ~battle_screen() = default;
    // A battle runs: F2 shows text 81 and F4 does nothing.
    virtual bool active() const { return false; }
    // True when the key (its scan code) or the left click was taken.
    virtual bool key(int /*scan*/) { return false; }
    virtual bool click(int /*x*/, int /*y*/, bool /*modifier*/) { return false; }
    // Over the view in frame_buffer, after the view was copied there.
    virtual void draw_overlay() {}
    // Over the arrow panel, at the end of draw_screen_frame.
    virtual void draw_controls() {}
};
void set_battle_screen(battle_screen* installed);  // null: no battle screen
battle_screen& battle_on_screen();

// The key and mouse handlers (exposed for tests).
void game_screen_key(struct event_msg& msg, void** data);
void game_screen_mouse(struct event_msg& msg, void** data);
// The arrow under a point of the arrow panel, -1 outside.
int arrow_at(int x, int y);
// The party slot whose portrait in the party bar lies under a point, -1 none.
int party_bar_slot_at(int x, int y);
