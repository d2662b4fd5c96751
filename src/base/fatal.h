#pragma once
// Fatal errors: the one way every part of the program reports a failure it
// cannot survive.
#include <exception>
#include <string>

// With the fatal hook installed: formats (1024 bytes, truncating) and calls the
// hook, which never returns. Without it: prints to stderr and RETURNS; the
// caller then ends the process (exit(1)).
void display_error(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A failure the program cannot survive: formats the text like display_error
// and hands it to the fatal hook; without a hook (or when the hook returns)
// it runs the before-fatal step, writes the text to stderr and ends the
// process with exit code 1. Never returns.
[[noreturn]] void fatal_error(const char* format, ...) __attribute__((format(printf, 1, 2)));

using report_fatal_fn = void (*)(const char* text);  // [[noreturn]] in practice
void set_fatal_hook(report_fatal_fn hook);           // nullptr to clear
report_fatal_fn fatal_hook();

// Writes the text to stderr, shows it in the message box when one is
// installed, and ends the process with exit code 1.
[[noreturn]] void report_fatal(const char* text);

// Runs once before a fatal error ends the process: the start sequence closes
// the display here (its thread is joined), so that the process never exits
// while the display thread is presenting, and the message box is not hidden
// behind a full-screen window.
using before_fatal_fn = void (*)();
void set_before_fatal(before_fatal_fn fn);

// Shows the fatal text to the player in a window of its own; the platform
// installs it (this library knows no windows). It returns when the player
// has read the text.
using fatal_message_box_fn = void (*)(const char* text);
void set_fatal_message_box(fatal_message_box_fn fn);

// The text of a caught exception: its message, then "\n\n Reason: " and the
// text of each nested exception, outermost first.
std::string exception_text(const std::exception& e);
