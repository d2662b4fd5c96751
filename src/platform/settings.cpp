// The `video` and `controller` sections of the configuration.
#include <strings.h>

#include <cstdio>
#include <string>

#include "base/config.h"
#include "platform/controller.h"
#include "platform/display.h"

namespace {

bool same_text(const char* a, const char* b) {
    return strcasecmp(a, b) == 0;
}

}  // namespace

video_settings load_video_settings(const ini_config* config) {
    video_settings v;
    const ini_keys* section = config ? ini_section(config, "video") : nullptr;
    if (!section) return v;

    const char* aspect = ini_get_string(section, "aspect_ratio", "4:3");
    if (std::sscanf(aspect, "%d:%d", &v.aspect_width, &v.aspect_height) != 2)
        v.aspect_width = v.aspect_height = 0;
    v.fullscreen = ini_get_bool(section, "fullscreen", true);

    const char* composer = ini_get_string(section, "composer", "auto");
    if (same_text(composer, "hardware") || same_text(composer, "hw"))
        v.composer = COMPOSER_HARDWARE;
    else if (same_text(composer, "software") || same_text(composer, "sw"))
        v.composer = COMPOSER_SOFTWARE;
    else
        v.composer = COMPOSER_AUTO;

    v.scale_quality = ini_get_string(section, "scale_quality", "auto");
    v.window_width = ini_get_int(section, "window_width", 640);
    v.window_height = ini_get_int(section, "window_height", 480);

    const char* crt = ini_get_string(section, "crt_filter", "none");
    if (same_text(crt, "none"))
        v.crt = CRT_NONE;
    else if (same_text(crt, "scanlines"))
        v.crt = CRT_SCANLINES;
    else if (same_text(crt, "scanlines_2"))
        v.crt = CRT_SCANLINES_2;
    else if (same_text(crt, "rgbmatrix_2"))
        v.crt = CRT_RGBMATRIX_2;
    else if (same_text(crt, "rgbmatrix_3"))
        v.crt = CRT_RGBMATRIX_3;
    else
        v.crt = CRT_AUTO;

    v.cursor_scale = static_cast<float>(ini_get_int(section, "cursor_size", 100)) * 0.01f;
    return v;
}

controller_settings load_controller_settings(const ini_config* config) {
    controller_settings s = default_controller_settings();
    const ini_keys* section = config ? ini_section(config, "controller") : nullptr;
    if (!section) return s;
    s.enabled = ini_get_bool(section, "enabled", s.enabled);
    s.swap_sticks = ini_get_bool(section, "swap_sticks", s.swap_sticks);
    s.walk_deadzone = static_cast<int16_t>(ini_get_int(section, "walk_deadzone", s.walk_deadzone));
    s.cursor_deadzone = static_cast<int16_t>(ini_get_int(section, "cursor_deadzone", s.cursor_deadzone));
    char key[100];
    for (int n = 0; n < CONTROLLER_BUTTONS; ++n) {
        std::snprintf(key, sizeof key, "button%d", n);
        if (const char* name = ini_get(section, key)) {
            s.actions[n] = key_name_to_action(name);
            if (s.actions[n] == CA_MOD_KEY) s.mod_actions[n] = CA_MOD_KEY;
        }
        std::snprintf(key, sizeof key, "mod+button%d", n);
        if (const char* name = ini_get(section, key)) s.mod_actions[n] = key_name_to_action(name);
    }
    return s;
}
