#include "startup/fatal.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
report_fatal_fn hook = nullptr;
before_fatal_fn before_fatal = nullptr;

// The message box goes up only on a real display: an environment that names
// one and a video driver that is not a headless stand-in.
bool real_display_present() {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return false;
    bool was_up = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (!was_up && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

std::string executable_path() {
    char buffer[261] = {};
    ssize_t n = readlink("/proc/self/exe", buffer, 260);
    if (n <= 0) return "Vorthan";
    buffer[n] = 0;
    return buffer;
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

void display_error(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (hook) hook(text);
    std::fputs(text, stderr);
    if (!*text || text[std::strlen(text) - 1] != '\n') std::fputc('\n', stderr);
    std::fflush(stderr);
}

void report_fatal(const char* text) {
    if (before_fatal) {
        before_fatal_fn fn = before_fatal;
        before_fatal = nullptr;  // a failure while closing must not come back here
        fn();
    }
    std::fputs(text, stderr);
    if (!*text || text[std::strlen(text) - 1] != '\n') std::fputc('\n', stderr);
    std::fflush(stderr);
    if (real_display_present()) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, executable_path().c_str(), text, nullptr);
    }
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
