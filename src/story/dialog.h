#pragma once
// Dialogs: conversations and scripted scenes, compiled scripts in
// dialogy.dat run by a small interpreter. One dialog runs at a time. The
// interpreter is a resumable state machine: it runs until an instruction
// hands control to the player (ASK, WAIT, PICK_PORTRAIT) and returns; the
// screen's handlers resume it with the player's pick. It never blocks in a
// loop of its own.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "story/dialog_format.h"

struct dialog_paragraph {
    uint32_t word = 0;    // number, redirect, visited bits
    uint32_t offset = 0;  // of its code in the code area
    int number() const { return int(word & PARAGRAPH_NUMBER_MASK); }
    int redirect() const { return int((word >> PARAGRAPH_REDIRECT_SHIFT) & PARAGRAPH_NUMBER_MASK); }
    bool visited() const { return word & PARAGRAPH_VISITED; }
    bool reentered() const { return word & PARAGRAPH_REENTERED; }
};

struct dialog_file {
    std::vector<dialog_paragraph> paragraphs;
    std::vector<uint8_t> bytes;  // the whole file: inline texts are translated by their offset in it
    size_t code_start = 0;       // where the code area begins in `bytes`
};
// False (and `error` set) when the file cannot be read safely.
bool read_dialog_file(std::span<const uint8_t> bytes, dialog_file& out, std::string* error = nullptr);
// The adventure's dialogs (loaded at start-up).
dialog_file& game_dialogs();

struct history_line {
    char marker = 'E';  // 'E' notes, 'M' spoken lines and picked choices, '0' + n choice n
    std::string text;
};

struct selection_slot {
    uint8_t position = 255;  // party position, 255 none
    std::string name;        // at most 32 bytes
    uint8_t gender = 0;      // 0 male, 1 female
};

enum class dialog_wait { none, ask, wait, pick_portrait, ended };

struct dialog_state {
    bool running = false;
    dialog_wait waiting = dialog_wait::none;
    size_t code_pointer = 0;  // in the code area
    int local_base = 0;
    int current_paragraph = 0;  // relative to local_base
    bool flag = false;
    int16_t variables[DIALOG_VARIABLES] = {};
    selection_slot slots[SELECTION_SLOTS];
    bool allow_any_portrait = false;
    int choice_targets[DIALOG_CHOICES] = {};
    int choice_count = 0;
    int selected_choice = 0;
    std::vector<history_line> history;  // at most DIALOG_HISTORY_LINES: the oldest go first
    int scroll = 0;
    int history_mark = 0;
    std::vector<std::string> main_text;  // wrapped
    std::string picture;                 // a picture file, "SCREEN" for the captured view, empty none
    int picked_target = 0;
    int portrait_cancel_target = 0;  // PICK_PORTRAIT's paragraph on a cancel
    int shop_after = -1;
    int text_mode = 1;  // 2: texts converted from Windows-1250 to the game's code page
    int owner = -1;     // the monster that speaks
    bool too_many_choices_logged = false;
    bool travel = false;  // SET_TRAVEL: the automap offers its travel buttons
};
extern dialog_state dialog;
// The 256 dialog flags: bits 0..15 the speaker's, the rest story flags. They
// are the map scripts' story flags (world/map_scripts.h): a flag a map sets is
// the flag a dialog tests.
std::array<uint8_t, DIALOG_FLAG_BITS / 8>& dialog_flag_bytes();

// Starts a dialog at an absolute paragraph, spoken by a monster (or -1), and
// runs it until it waits or ends. False when no dialog could start.
bool dialog_start(int paragraph, int monster);
// Runs the interpreter from where it stopped until the next wait or the end.
void dialog_run();
// The player picks choice n after ASK (any n after WAIT continues); the
// interpreter runs on.
void dialog_pick(int choice);
// PICK_PORTRAIT: the player picked party position `position`, or -1 for a cancel.
void dialog_portrait_picked(int position);
// May the portrait at that position be picked now (alive, on the sector, or any with ALLOW_ANY_PORTRAIT)?
bool dialog_portrait_allowed(int position);

bool dialog_flag_test(int bit);
void dialog_flag_change(int bit, int mode);  // 0 clears, 1 sets, else toggles
bool dialog_reset_paragraph(int number);

// Saved games: the paragraph count (u32), two bits a paragraph (visited,
// entered again; four a byte from the low bits up), the 32 flag bytes.
void dialog_save_state(std::vector<uint8_t>& out);
// A state saved with another dialogy.dat (another count) is skipped, no
// error: the marks and flags stay as they were. False only when cut short.
// `used` receives the bytes read.
bool dialog_load_state(std::span<const uint8_t> bytes, size_t* used = nullptr);

// What the dialogs reach besides the party, items and map (which they use
// directly): texts, wrapping, the console, the screen, and the parts of the
// game built elsewhere. Each default stands for a part not there: texts are
// empty, lines are not wrapped, nothing is shown, played or opened.
class dialog_world {
  public:
    virtual ~dialog_world() = default;
    virtual std::string map_text(int /*number*/) { return {}; }
    virtual std::string ui_text(int /*number*/) { return {}; }
    // The language's translation of an inline text by its offset in dialogy.dat.
    virtual std::string translate(uint32_t /*offset*/, const std::string& text) { return text; }
    // wrap_text with the dialog's font to a width in pixels.
    virtual std::vector<std::string> wrap(const std::string& text, int /*width*/) { return {text}; }
    virtual void log(const std::string& /*text*/) {}  // the debug console
    virtual bool tracing() const { return false; }
    // An authoring error that ends the program with a non-zero status.
    virtual void fatal(const std::string& /*text*/) {}
    // The dialog starts, waits, or ends: the screen shows it.
    virtual void started() {}
    virtual void show() {}
    virtual void ended() {}
    virtual void book_page(int /*paragraph*/) {}
    virtual void animate(const std::string& /*file*/, int /*ticks*/, int /*once*/) {}
    virtual void stop_animation() {}
    virtual void play_sound(const std::string& /*file*/) {}
    virtual void pass_time_view(int /*ticks*/) {}
    virtual void sleep(int /*hours*/) {}
    virtual void open_shop(int /*shop*/) {}
    // A redirect lets the event loop run once before it is followed.
    virtual void pump_events() {}
    // Asked before each instruction with the count run since the dialog last
    // resumed; false ends the dialog (a script that loops without waiting).
    virtual bool keep_going(long /*instructions*/) { return true; }
};
void set_dialog_world(dialog_world* world);  // null restores the default
dialog_world& dialogs_world();
