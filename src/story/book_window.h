#pragma once
// The party's book in the running game: its lines, adding paragraphs from the
// text files, and the window of two facing pages (F6, the options window,
// the automap, and by itself after new pages when the player wants it).
#include <string>
#include <vector>

#include "story/book.h"

// The book of the running game (saved with the game as "_BOOK.TMP").
std::vector<std::string>& book_lines();
// A new game's empty book; the layout starts afresh.
void new_book();
// Lines loaded with a game replace the book; the layout starts afresh.
void set_book(std::vector<std::string> lines);

// The left page the window shows; kept for the whole run, not saved.
extern int book_page;
// True: the book opens by itself when new pages were added (off by default).
extern bool book_opens_on_new_pages;

// The adventure's book file ("book.txt" of the language, or "kniha.txt" of
// the maps folder), chosen at start-up.
void set_book_file(const std::string& path);
const std::string& book_file();
// The adventure's book file for a language folder (null: none) and a maps folder.
std::string choose_book_file(const std::string* language_folder, const std::string& maps_folder);

// Adds paragraph `paragraph` of a text file (the plain file or its scrambled
// ".ENC" form). False, adding nothing, when the file is missing; a file
// without the paragraph is an authoring error that ends the program.
bool book_add(const std::string& path, int paragraph);
// A paragraph the story adds (a dialog, a book item): the window is set to
// show its first page, the game screen's sign lights up, and the book opens
// once the party is back in the view when the player wants that.
void book_add_from_story(const std::string& path, int paragraph);
// True once after new pages, when the book should open by itself.
bool take_book_open_request();

// Runs the book window until Escape or a right click closes it. Map hook 11
// may forbid it; hook 12 runs when it closes.
void book_window();
bool book_window_running();

// Puts the book into the game: F6, the options window, the automap, book
// items, the dialogs' and the maps' book commands.
void install_book();
