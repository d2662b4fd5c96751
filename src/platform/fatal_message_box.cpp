#include "platform/fatal_message_box.h"

#include <SDL2/SDL.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "base/fatal.h"

namespace {
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

void show_fatal_message_box(const char* text) {
    // Unattended runs (tests, scripts) set VORTHAN_NO_MESSAGE_BOX: nobody
    // would close the box, and the text is on stderr already.
    if (std::getenv("VORTHAN_NO_MESSAGE_BOX")) return;
    if (real_display_present()) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, executable_path().c_str(), text, nullptr);
    }
}
}  // namespace

void install_fatal_message_box() {
    set_fatal_message_box(show_fatal_message_box);
}
