#include "story/sound_settings.h"

#include <algorithm>

#include "platform/display.h"

window_sound_hooks window_sound;

namespace {

struct kept_setting {
    int code;
    int value;    // as the getter reports it
    int maximum;  // the value is kept within 0..maximum
    double unit;  // value / unit is the mixer's quantity
};

constexpr kept_setting start_values[] = {
    {SOUND_MASTER, 256, 256, 512.0}, {SOUND_BASS, 0, 255, 25.0},       {SOUND_TREBLE, 0, 255, 25.0},
    {SOUND_SWAP, 0, 1, 1.0},         {SOUND_EFFECTS, 256, 256, 256.0}, {SOUND_MUSIC, 64, 128, 128.0},
};
kept_setting settings[std::size(start_values)] = {
    start_values[0], start_values[1], start_values[2], start_values[3], start_values[4], start_values[5],
};

kept_setting* find(int code) {
    for (auto& s : settings)
        if (s.code == code) return &s;
    return nullptr;
}

// Without a display the switch is only remembered.
bool crt_without_display = true;

}  // namespace

bool sound_has_setting(int code) {
    return code == SOUND_AVAILABLE || code == SOUND_CRT || (code != SOUND_SWAP && find(code));
}

int sound_get_setting(int code) {
    if (code == SOUND_AVAILABLE) return 1;
    if (code == SOUND_CRT) return (display_exists() ? display().crt_enabled() : crt_without_display) ? 1 : 0;
    const kept_setting* s = find(code);
    return s ? s->value : 0;
}

bool sound_set_setting(int code, int value) {
    if (code == SOUND_AVAILABLE) return true;
    if (code == SOUND_CRT) {
        crt_without_display = value != 0;
        if (display_exists()) display().set_crt_enabled(value != 0);
        return true;
    }
    kept_setting* s = find(code);
    if (!s) return false;
    s->value = code == SOUND_SWAP ? (value != 0) : std::clamp(value, 0, s->maximum);
    return true;
}

double sound_setting_level(int code) {
    const kept_setting* s = find(code);
    return s ? s->value / s->unit : 0.0;
}

void reset_sound_settings() {
    std::copy(std::begin(start_values), std::end(start_values), std::begin(settings));
    crt_without_display = true;
}
