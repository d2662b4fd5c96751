#pragma once
// What the dialog interpreter's files share: the failure that ends a dialog,
// the operand reader, paragraphs, texts and choices, the party's side.
#include <string>
#include <string_view>

#include "story/dialog.h"

namespace dialog_detail {

// Thrown after a failure was logged: the interpreter ends the dialog and the
// game goes on.
struct dialog_stop {};

// Writes a message in the trace format (with the paragraph it came from).
void trace(const std::string& message);
// Logs the message and ends the dialog.
[[noreturn]] void fail(const std::string& message);
// An authoring error in a text: fatal for the game, and the dialog ends.
[[noreturn]] void fatal_text(const std::string& message);

// Paragraphs (absolute numbers); -1 when missing.
int paragraph_index(int number);
// Goes to a paragraph relative to local_base (redirects followed, marks set).
void go_to(int relative);
// The paragraph that holds a code position (the last entry whose offset does not exceed it).
int paragraph_holding(size_t code_pointer);

// Operands at the code pointer.
int read_number();
std::string read_string();  // expanded, joined, converted
int read_variable_index();  // a number naming a dialog variable
int read_flag_bit();
int read_slot_number();

// Strings.
std::string expand(std::string_view source);
void append_history(char marker, const std::string& text);
void offer_choice(int target, const std::string& text);
bool compare(int left, int right, int op);

// Members.
void select_member(int stat, int threshold, int keep_held);
void select_slot_member(int position);
int selected_position();  // -1 when slot 0 holds no present record
void raise_stat(int index, int value);
void add_stat(int index, int amount, int maximum);
int compared_stat(int index);

// The party's goods and places.
void stow_held();
bool has_item(int item);
void take_item(int item);
void give_item(int item);
void join(int definition);
void dismiss();
void set_rune(int rune);
bool rune_known(int rune);
void pass_time(int view_steps, int hours);
void buy_meal(int price);
bool party_together();
int party_sector();
void move_party(int sector, int direction);
void map_action(int sector, int side);
void fight();
void cast(int spell);
bool select_face(int face);

// One instruction; the opcode has been read.
void execute(int opcode);
void end_dialog();

}  // namespace dialog_detail
