#include "story/sound_settings.h"

#include "platform/display.h"

window_sound_hooks window_sound;

namespace {

// Without a display the switch is only remembered.
bool crt_without_display = true;

void set_crt(bool on) {
    crt_without_display = on;
    if (display_exists()) display().set_crt_enabled(on);
}

bool crt() {
    return display_exists() ? display().crt_enabled() : crt_without_display;
}

struct setting_unit {
    int code;
    int start;    // the value a new mixer reports
    double unit;  // value / unit is the mixer's quantity
};

constexpr setting_unit units[] = {
    {SOUND_MASTER, 256, 512.0}, {SOUND_BASS, 0, 25.0},       {SOUND_TREBLE, 0, 25.0},
    {SOUND_SWAP, 0, 1.0},       {SOUND_EFFECTS, 256, 256.0}, {SOUND_MUSIC, 64, 128.0},
};

}  // namespace

double sound_setting_level(int code) {
    for (const auto& u : units)
        if (u.code == code) return sound_get_setting(code) / u.unit;
    return 0.0;
}

void reset_sound_settings() {
    set_sound_display_seam({set_crt, crt});
    for (const auto& u : units) sound_set_setting(u.code, u.start);
    crt_without_display = true;
}
