#include "base/fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
report_fatal_fn hook = nullptr;
before_fatal_fn before_fatal = nullptr;

fatal_message_box_fn message_box = nullptr;

void run_before_fatal() {
    if (!before_fatal) return;
    before_fatal_fn fn = before_fatal;
    before_fatal = nullptr;  // a failure while closing must not come back here
    fn();
}

// A formatted message of the fatal paths (cut at 1023 characters).
struct message {
    char text[1024];
    message(const char* format, va_list args) { std::vsnprintf(text, sizeof text, format, args); }
};

void write_to_stderr(const char* text) {
    std::fputs(text, stderr);
    if (!*text || text[std::strlen(text) - 1] != '\n') std::fputc('\n', stderr);
    std::fflush(stderr);
}
}  // namespace

void set_fatal_hook(report_fatal_fn fn) {
    hook = fn;
}
report_fatal_fn fatal_hook() {
    return hook;
}
void set_before_fatal(before_fatal_fn fn) {
    before_fatal = fn;
}
void set_fatal_message_box(fatal_message_box_fn fn) {
    message_box = fn;
}

void display_error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const message text(format, args);
    va_end(args);
    if (hook) hook(text.text);
    write_to_stderr(text.text);
}

void fatal_error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const message text(format, args);
    va_end(args);
    if (hook) hook(text.text);
    run_before_fatal();
    write_to_stderr(text.text);
    std::exit(1);
}

void report_fatal(const char* text) {
    run_before_fatal();
    write_to_stderr(text);
    if (message_box) message_box(text);
    std::exit(1);
}

std::string exception_text(const std::exception& e) {
    std::string text = e.what();
    try {
        std::rethrow_if_nested(e);
    } catch (const std::exception& nested) {
        text += "\n\n Reason: " + exception_text(nested);
    } catch (...) {
        text += "\n\n Reason: unknown exception of crash";
    }
    return text;
}
